// Reports that fold the journal per department, per PLU or per cashier.
#include "Ids.h"
#include "ReportParts.h"
#include "Reports.h"
#include "app/Config.h"
#include "app/GlobalFunc.h"
#include "db/Database.h"

#include <cmath>
#include <map>

namespace ecr::reports {

using namespace detail;

namespace {

bool isSale(int op) { return op == 0 || op == 1 || op == 2 || op == 6; }
bool isReturn(int op) { return op == 8 || op == 9 || op == 10 || op == 14; }

// One department or PLU folded from its rows per operation code.
struct Folded {
    std::string key;
    std::string name;
    std::string nameTime; // time of the newest line that carried the name
    double averagePrice = 0;
    double saleAmount = 0, saleQuantity = 0, returnAmount = 0, returnQuantity = 0, tax = 0;

    // Returns count against the sales whatever the sign the register gave
    // their quantity, so the cost of goods is that of the net quantity.
    double grossProfit() const {
        return (saleAmount + returnAmount) - (saleQuantity - std::fabs(returnQuantity)) * averagePrice;
    }
};

// Rows come ordered by key: key, name, operation, sum(price), sum(quantity),
// tax share, max(time), [AveragePrice]. A key renamed during the period
// shows once, under the name of its newest line.
std::vector<Folded> fold(db::Statement& st, bool withAverage) {
    std::vector<Folded> out;
    while (st.step()) {
        const std::string key = st.columnText(0);
        if (out.empty() || out.back().key != key) {
            out.push_back({});
            out.back().key = key;
        }
        Folded& f = out.back();
        const std::string time = st.columnText(6);
        if (f.nameTime.empty() || time >= f.nameTime) {
            f.name = st.columnText(1);
            f.nameTime = time;
        }
        if (withAverage) f.averagePrice = st.columnDouble(7);
        const int op = static_cast<int>(st.columnInt(2));
        if (isSale(op)) {
            f.saleAmount += st.columnDouble(3);
            f.saleQuantity += st.columnDouble(4);
            f.tax += st.columnDouble(5);
        } else if (isReturn(op)) {
            f.returnAmount += st.columnDouble(3);
            f.returnQuantity += st.columnDouble(4);
        }
    }
    return out;
}

std::string departName(db::Database& db, const Folded& f) {
    return f.key == "0" ? Text(db, msg::DepartZero) : f.name;
}

} // namespace

Document DepartmentReport(db::Database& db, const ReportQuery& q) {
    Document d = PeriodDocument(db, 111438, q.period);
    d.columns = {TextColumn(db, 111441, 1500, 18),   TextColumn(db, 111442, 2000, 18),
                 NumberColumn(db, 111443, 1500, 18), NumberColumn(db, 111444, 1500, 18),
                 NumberColumn(db, 111445, 1500, 18), NumberColumn(db, 111446, 1500, 18),
                 NumberColumn(db, 111447, 1500, 18)};
    auto st = db.prepare(std::string("SELECT depart, departname, operation, sum(price), sum(quantity), sum(") + kTaxShare +
                         "), max(time) FROM plurecord WHERE " + kCounted +
                         " AND operation IN (0,1,2,6,8,9,10,14)"
                         " GROUP BY depart, departname, operation ORDER BY depart, departname, operation");
    st->bind(1, q.period.start).bind(2, q.period.end);
    double sales = 0, returns = 0;
    for (const Folded& f : fold(*st, false)) {
        d.addRow({f.key, departName(db, f), AmountText(f.saleAmount), QuantityText(f.saleQuantity),
                  AmountText(f.returnAmount), QuantityText(f.returnQuantity), AmountText(f.tax)});
        sales += f.saleAmount;
        returns += f.returnAmount;
    }
    d.noData = d.rowCount() == 0;
    d.addTotal(Text(db, 111181), sales, true);
    d.addTotal(Text(db, 111183), returns, true);
    d.chart = Chart{Text(db, msg::DepartmentChart), 1, 2};
    return d;
}

Document PluProfitReport(db::Database& db, const ReportQuery& q) {
    Document d = PeriodDocument(db, 111437, q.period);
    d.columns = {TextColumn(db, 111439, 1200, 18),   TextColumn(db, 111440, 1800, 18),
                 NumberColumn(db, 111443, 1200, 18), NumberColumn(db, 111444, 1200, 18),
                 NumberColumn(db, 111445, 1200, 18), NumberColumn(db, 111446, 1200, 18),
                 NumberColumn(db, 111447, 1200, 18), NumberColumn(db, 111570, 1200, 18)};
    // Lines of PLUs in the PLU file only: their cost is known.
    auto st = db.prepare(std::string("SELECT a.pluid, a.pluname, a.operation, sum(a.price), sum(a.quantity), sum(a.") +
                         kTaxShare + "), max(a.time), b.AveragePrice FROM plurecord a JOIN plu b ON a.pluid=b.id"
                         " WHERE a.billnumber>0 AND a.opentable=0 AND a.time>=?1 AND a.time<=?2"
                         " AND a.operation IN (0,1,2,8,9,10)"
                         " GROUP BY a.pluid, a.pluname, a.operation ORDER BY " + PluOrder("a.pluid") + ", a.operation");
    st->bind(1, q.period.start).bind(2, q.period.end);
    double profit = 0;
    for (const Folded& f : fold(*st, true)) {
        d.addRow({f.key, f.name, AmountText(f.saleAmount), QuantityText(f.saleQuantity), AmountText(f.returnAmount),
                  QuantityText(f.returnQuantity), AmountText(f.tax), AmountText(f.grossProfit())});
        profit += f.grossProfit();
    }
    d.noData = d.rowCount() == 0;
    d.addTotal(Text(db, 111571), profit, true);
    return d;
}

Document Top25Report(db::Database& db, const ReportQuery& q) {
    Document d = PeriodDocument(db, 111630, q.period);
    d.columns = {TextColumn(db, 111282, 1200, 15),   TextColumn(db, 111283, 2000, 18),
                 NumberColumn(db, 111443, 1200, 18), NumberColumn(db, 111444, 1200, 18),
                 NumberColumn(db, 111445, 1200, 18), NumberColumn(db, 111446, 1200, 18),
                 NumberColumn(db, 111570, 1200, 18)};
    StorePeriod(db, q.period);
    db::Transaction tx(db);
    auto st = db.prepare("SELECT a.pluid, a.pluname, a.operation, sum(a.price), sum(a.quantity), 0, max(a.time),"
                         " c.AveragePrice FROM plurecord a JOIN plu c ON a.pluid=c.id"
                         " WHERE a.pluid IN (SELECT pluid FROM q_plu25_plurecord_top25) AND a.billnumber>0 AND a.opentable=0 AND a.time>=?1 AND a.time<=?2"
                         " AND a.operation IN (0,1,2,6,8,9,10,14)"
                         " GROUP BY a.pluid, a.pluname, a.operation ORDER BY a.pluid, a.operation");
    st->bind(1, q.period.start).bind(2, q.period.end);
    const std::vector<Folded> plus = fold(*st, true);
    db.execute("DELETE FROM rpt_top25plu");
    auto& insert = db.prepared("INSERT INTO rpt_top25plu(pluid, pluname, saleprice, salequantity, returnprice,"
                               " returnquantity, grossprofits) VALUES(?,?,?,?,?,?,?)");
    for (const Folded& f : plus)
        insert.run({f.key, f.name, f.saleAmount, f.saleQuantity, f.returnAmount, f.returnQuantity, f.grossProfit()});
    tx.commit();

    auto rows = db.prepare("SELECT pluid, pluname, saleprice, salequantity, returnprice, returnquantity, grossprofits"
                           " FROM rpt_top25plu ORDER BY salequantity DESC, " + PluOrder("pluid"));
    while (rows->step())
        d.addRow({rows->columnText(0), rows->columnText(1), AmountText(rows->columnDouble(2)),
                  QuantityText(rows->columnDouble(3)), AmountText(rows->columnDouble(4)),
                  QuantityText(rows->columnDouble(5)), AmountText(rows->columnDouble(6))});
    d.noData = d.rowCount() == 0;
    d.chart = Chart{Text(db, msg::Top25Chart), 1, 2};
    return d;
}

Document DeptPriceReport(db::Database& db, const ReportQuery& q) {
    Document d = PeriodDocument(db, 111389, q.period);
    d.columns = {TextColumn(db, 111390, 2000, 15), TextColumn(db, 111391, 2000, 15), TextColumn(db, 111392, 2000, 15),
                 NumberColumn(db, 111393, 2000, 15), NumberColumn(db, 111394, 2000, 15)};
    auto st = db.prepare(std::string("SELECT depart, departname, sum(unitprice), count(unitprice), max(unitprice),"
                                     " sum(quantity), sum(price), max(time) FROM plurecord WHERE ") +
                         kCounted + " AND operation IN (0,1,2,6) GROUP BY depart, departname ORDER BY depart");
    st->bind(1, q.period.start).bind(2, q.period.end);
    struct Dept {
        std::string key, name, nameTime;
        double unitSum = 0, unitCount = 0, unitMax = 0, quantity = 0, amount = 0;
        bool anyMax = false;
    };
    std::vector<Dept> depts;
    while (st->step()) {
        const std::string key = st->columnText(0);
        if (depts.empty() || depts.back().key != key) {
            depts.push_back({});
            depts.back().key = key;
        }
        Dept& x = depts.back();
        if (x.nameTime.empty() || st->columnText(7) >= x.nameTime) {
            x.name = st->columnText(1);
            x.nameTime = st->columnText(7);
        }
        x.unitSum += st->columnDouble(2);
        x.unitCount += st->columnDouble(3);
        if (!st->columnIsNull(4) && (!x.anyMax || st->columnDouble(4) > x.unitMax)) {
            x.unitMax = st->columnDouble(4);
            x.anyMax = true;
        }
        x.quantity += st->columnDouble(5);
        x.amount += st->columnDouble(6);
    }
    double quantity = 0, amount = 0;
    for (const Dept& x : depts) {
        const double average = x.unitCount > 0 ? x.unitSum / x.unitCount : 0;
        d.addRow({x.key, x.key == "0" ? Text(db, msg::DepartZero) : x.name,
                  AmountText(average) + " / " + AmountText(x.unitMax), QuantityText(x.quantity), AmountText(x.amount)});
        quantity += x.quantity;
        amount += x.amount;
    }
    d.noData = d.rowCount() == 0;
    d.addTotal(Text(db, 111395), quantity, false);
    d.addTotal(Text(db, 111396), amount, true);
    return d;
}

Document CashierReport(db::Database& db, const ReportQuery& q) {
    Document d = PeriodDocument(db, 111622, q.period);
    d.landscape = true;
    d.columns = {TextColumn(db, 111623, 800, 15),   TextColumn(db, 111003, 1000, 15), NumberColumn(db, 111274, 1000, 15),
                 NumberColumn(db, 111275, 900, 15), NumberColumn(db, 111276, 900, 15), NumberColumn(db, 111277, 900, 15),
                 NumberColumn(db, 111278, 900, 15)};
    for (int id : {111591, 111621, 111555, 111556, 111592, 111593}) d.columns.push_back(NumberColumn(db, id, 900, 15));
    // Foreign payment media are named in the parameters.
    const db::Rows media = db.query("SELECT Price3, Price4, Price5, Price6 FROM params LIMIT 1");
    for (int m = 0; m < 4; ++m) {
        std::string name = media.empty() ? "" : TrimBlanks(media.at(0, static_cast<std::size_t>(m)).toText());
        if (name.empty()) name = "PayWay" + std::to_string(m + 3);
        d.columns.push_back({name, 900, 15, ColumnKind::Number});
    }

    StorePeriod(db, q.period);
    std::map<long long, double> bills;
    for (const auto& r : db.query("SELECT cashier, count(*) FROM q_plurecord_cashier GROUP BY cashier").rows)
        bills[r[0].toInt()] = r[1].toDouble();
    struct Sums {
        double sales = 0, returnQuantity = 0, returns = 0, net = 0;
    };
    std::map<long long, Sums> sums;
    for (const auto& r : db.query("SELECT a.cashier, a.pricetotal, b.quantitytotal, b.pricetotal,"
                                  " a.pricetotal+b.pricetotal FROM rpt_cashier_summary1 a"
                                  " LEFT JOIN rpt_cashier_summary2 b ON a.cashier=b.cashier")
                             .rows)
        sums[r[0].toInt()] = {r[1].toDouble(), r[2].toDouble(), r[3].toDouble(), r[4].toDouble()};

    static const int kCodes[] = {16, 17, 18, 19, 32, 33, 34, 35, 36, 37};
    std::string sql = "SELECT cashier, count(*)";
    for (int code : kCodes) sql += ", sum(CASE WHEN operation=" + std::to_string(code) + " THEN price END)";
    sql += std::string(" FROM plurecord WHERE ") + kCounted + " GROUP BY cashier";
    std::map<long long, std::vector<double>> payments;
    std::map<long long, long long> lines;
    auto st = db.prepare(sql);
    st->bind(1, q.period.start).bind(2, q.period.end);
    while (st->step()) {
        std::vector<double>& p = payments[st->columnInt(0)];
        for (int i = 0; i < 10; ++i) p.push_back(st->columnDouble(2 + i));
        lines[st->columnInt(0)] = st->columnInt(1);
    }

    long long anyLine = 0;
    for (const auto& c : db.query("SELECT id, name FROM cashier ORDER BY id").rows) {
        const long long id = c[0].toInt();
        std::string name = c[1].toText();
        if (TrimBlanks(name).empty()) name = Text(db, 111631) + " " + std::to_string(id);
        const Sums s = sums.count(id) ? sums[id] : Sums{};
        std::vector<double> p = payments.count(id) ? payments[id] : std::vector<double>(10, 0.0);
        std::vector<std::string> row = {std::to_string(id),          name,
                                        QuantityText(bills[id]),     AmountText(s.sales),
                                        QuantityText(s.returnQuantity), AmountText(s.returns),
                                        AmountText(s.net)};
        for (int i = 0; i < 6; ++i) row.push_back(AmountText(p[static_cast<std::size_t>(i)]));
        for (int m = 0; m < 4; ++m)
            row.push_back(AmountText(ToNativeCurrency(db, p[static_cast<std::size_t>(6 + m)], 3 + m)));
        d.addRow(std::move(row));
        anyLine += lines[id];
    }
    d.noData = anyLine == 0;
    return d;
}

} // namespace ecr::reports
