#include "JournalQueries.h"

#include "app/Messages.h"

#include <cctype>

namespace ecr::views {

namespace {

bool digits(const std::string& s, std::size_t from, std::size_t n) {
    if (s.size() < from + n) return false;
    for (std::size_t i = from; i < from + n; ++i)
        if (!std::isdigit(static_cast<unsigned char>(s[i]))) return false;
    return true;
}

} // namespace

std::vector<std::string> JournalMonths(db::Database& db) {
    // Each step finds the first time stamp past the month of the one before:
    // "~" sorts after every character a time text holds.
    const auto rows = db.query("WITH RECURSIVE m(t) AS ("
                               " SELECT (SELECT min(time) FROM plurecord WHERE time >= '0')"
                               " UNION ALL"
                               " SELECT (SELECT min(time) FROM plurecord WHERE time >= substr(m.t,1,7) || '~')"
                               " FROM m WHERE m.t IS NOT NULL)"
                               " SELECT t FROM m WHERE t IS NOT NULL");
    std::vector<std::string> months;
    for (const auto& r : rows.rows) {
        const std::string t = r[0].toText();
        if (digits(t, 0, 4) && t[4] == '-' && digits(t, 5, 2)) months.push_back(t.substr(0, 4) + t.substr(5, 2));
    }
    return months;
}

std::string MonthPrefix(const std::string& key) {
    if (key.size() != 6 || !digits(key, 0, 6)) return {};
    return key.substr(0, 4) + "-" + key.substr(4, 2);
}

PagedQuery BillQuery(const std::string& monthKey) {
    // The expression substr(time,1,7) is the one the month index holds. The
    // rows are ordered by what they are grouped by, a total order, so the
    // index read backwards gives them exactly reversed.
    const std::string rows = "SELECT billnumber, substr(time,1,10), cashier, sum(quantity), sum(price) FROM plurecord"
                             " WHERE substr(time,1,7)=? GROUP BY billnumber, time, cashier ORDER BY ";
    return {"SELECT count(*) FROM (SELECT 1 FROM plurecord WHERE substr(time,1,7)=?"
            " GROUP BY billnumber, time, cashier)",
            rows + "billnumber, time, cashier LIMIT ? OFFSET ?",
            {MonthPrefix(monthKey)},
            rows + "billnumber DESC, time DESC, cashier DESC LIMIT ? OFFSET ?"};
}

PagedQuery LineQuery(const std::string& monthKey, long long billnumber) {
    return {"SELECT count(*) FROM plurecord WHERE substr(time,1,7)=? AND billnumber=?",
            "SELECT pluid, depart, price, quantity, operation, opentable FROM plurecord"
            " WHERE substr(time,1,7)=? AND billnumber=? ORDER BY sid LIMIT ? OFFSET ?",
            {MonthPrefix(monthKey), billnumber}};
}

std::string OperationText(long long code) {
    // The codes the catalogue names: those the sales summary sums one by one.
    struct Named {
        int code;
        int caption;
    };
    static constexpr Named kNamed[] = {{16, 111591}, {17, 111621}, {18, 111555}, {19, 111556}, {32, 111592},
                                       {33, 111593}, {34, 111551}, {35, 111552}, {36, 111553}, {37, 111554}};
    const std::string number = std::to_string(code);
    for (const Named& n : kNamed)
        if (n.code == code) {
            const std::string name = Msg(n.caption);
            return name.empty() ? number : name + " (" + number + ")";
        }
    return number;
}

} // namespace ecr::views
