#include "FlashCash.h"

#include "app/GlobalFunc.h"
#include "app/Messages.h"

namespace ecr::views {

std::array<std::string, 4> PaymentNames(db::Database& db) {
    std::array<std::string, 4> names;
    const auto rows = db.query("SELECT Price3, Price4, Price5, Price6 FROM params LIMIT 1");
    if (rows.empty()) return names;
    for (std::size_t i = 0; i < names.size(); ++i) names[i] = TrimBlanks(rows.rows[0][i].toText());
    return names;
}

std::string FlashCashTypeName(long long type, const std::array<std::string, 4>& paymentNames) {
    static constexpr int kCaptions[] = {111548, 111549, 111550, 0, 0, 0, 0, 111555, 111556, 111557, 111558, 111559};
    if (type >= 3 && type <= 6) return paymentNames[static_cast<std::size_t>(type - 3)];
    if (type < 0 || type >= static_cast<long long>(std::size(kCaptions))) return {};
    return Msg(kCaptions[type]);
}

std::vector<FlashCashRow> FlashCashRows(db::Database& db) {
    const auto names = PaymentNames(db);
    std::vector<FlashCashRow> out;
    for (const auto& r : db.query("SELECT type, total FROM flashcash ORDER BY type, rowid").rows) {
        const long long type = r[0].toInt();
        out.push_back({type, FlashCashTypeName(type, names), r[1].toDouble()});
    }
    return out;
}

void DeleteFlashCash(db::Database& db) { db.execute("DELETE FROM flashcash"); }

} // namespace ecr::views
