// Reports over single journal lines and the period's totals: the journal
// line reports, the period summary and the sales by hour of day.
#include "Ids.h"
#include "ReportParts.h"
#include "Reports.h"
#include "app/GlobalFunc.h"
#include "db/Database.h"

#include <array>
#include <cmath>
#include <map>

namespace ecr::reports {

using namespace detail;

namespace {

bool isReturn(int op) { return op == 8 || op == 9 || op == 10 || op == 14; }

enum class LinesKind { ByDepartment, ByPlu, WithPayments, Returns };

struct LinesQuery {
    int titleId;
    const char* operations;
    const char* filter;  // extra condition on ?3, or ""
    const char* orderBy;
};

// Sums every journal line report keeps while it walks its rows.
struct LineTotals {
    long long bills = 0;
    long long lastBill = -1;
    double positive = 0, salesAndAdjustments = 0, all = 0;
    double returnQuantity = 0, returnAmount = 0, tax = 0;
    std::array<double, 4> adjustments{}; // codes 16..19

    void add(long long bill, int op, double quantity, double price, double taxShare) {
        if (bill != lastBill) {
            ++bills;
            lastBill = bill;
        }
        if (price > 0) positive += price;
        all += price;
        if (op == 0 || op == 1 || op == 2 || op == 6 || (op >= 16 && op <= 19)) salesAndAdjustments += price;
        if (isReturn(op)) {
            returnQuantity += quantity;
            returnAmount += price;
        }
        if (op >= 16 && op <= 19) adjustments[static_cast<std::size_t>(op - 16)] += price;
        tax += taxShare;
    }
};

Document journalLines(db::Database& db, const ReportQuery& q, LinesKind kind) {
    static const LinesQuery queries[] = {
        {110045, "0,1,2,6,8,9,10", " AND depart=?3", "billnumber, pluid, depart, operation, sid"},
        {110046, "0,1,2,8,9,10", " AND pluid=?3", "billnumber, pluid, operation, sid"},
        {110047, "0,1,2,6,8,9,10,14,16,17,18,19", "", "billnumber, pluid, operation, sid"},
        {110048, "8,9,10,14", "", "billnumber, pluid, operation, sid"},
    };
    const LinesQuery& lq = queries[static_cast<int>(kind)];
    Document d = PeriodDocument(db, lq.titleId, q.period);
    if (kind == LinesKind::ByDepartment) d.title = JournalLinesTitle(db, q.depart);
    d.columns = {TextColumn(db, 111280, 1200, 10),  TextColumn(db, 111281, 1200, 18),
                 TextColumn(db, 111282, 1200, 18),  TextColumn(db, 111283, 1200, 18),
                 TextColumn(db, 111284, 1200, 10),  TextColumn(db, 111285, 1200, 18),
                 NumberColumn(db, 111286, 1200, 10), NumberColumn(db, 111287, 1200, 10),
                 NumberColumn(db, 111288, 1200, 12)};

    // Payment lines carry no PLU; they are named by their kind.
    std::array<std::string, 4> adjustmentNames;
    if (kind == LinesKind::WithPayments)
        adjustmentNames = {Text(db, 111226), Text(db, 111410), Text(db, 111555), Text(db, 111556)};

    const std::string sql = std::string("SELECT billnumber, time, pluid, pluname, depart, departname, operation, "
                                        "quantity, price, ") +
                            kTaxShare + " FROM plurecord WHERE " + kCounted + " AND operation IN (" + lq.operations +
                            ")" + lq.filter + " ORDER BY " + lq.orderBy;
    auto st = db.prepare(sql);
    st->bind(1, q.period.start).bind(2, q.period.end);
    if (kind == LinesKind::ByDepartment) st->bind(3, q.depart);
    if (kind == LinesKind::ByPlu) st->bind(3, q.plu);

    LineTotals t;
    while (st->step()) {
        const long long bill = st->columnInt(0);
        const int op = static_cast<int>(st->columnInt(6));
        const double quantity = st->columnDouble(7);
        const double price = st->columnDouble(8);
        const double taxShare = st->columnDouble(9);
        std::string name = st->columnText(3);
        if (kind == LinesKind::WithPayments && op >= 16 && op <= 19) name = adjustmentNames[static_cast<std::size_t>(op - 16)];
        d.addCell(std::to_string(bill));
        d.addCell(st->columnText(1));
        d.addCell(st->columnText(2));
        d.addCell(std::move(name));
        d.addCell(st->columnText(4));
        d.addCell(st->columnText(5));
        d.addCell(QuantityText(quantity));
        d.addCell(AmountText(price));
        d.addCell(AmountText(taxShare));
        t.add(bill, op, quantity, price, taxShare);
    }
    d.noData = d.rowCount() == 0;

    switch (kind) {
    case LinesKind::ByDepartment:
    case LinesKind::ByPlu:
        if (kind == LinesKind::ByDepartment) d.addTotal(Text(db, 111274), static_cast<double>(t.bills), false);
        d.addTotal(Text(db, 111289), t.positive, true);
        d.addTotal(Text(db, 111276), t.returnQuantity, false);
        d.addTotal(Text(db, 111277), t.returnAmount, true);
        d.addTotal(Text(db, 111184), t.positive + t.returnAmount, true);
        break;
    case LinesKind::WithPayments:
        d.addTotal(Text(db, 111274), static_cast<double>(t.bills), false);
        d.addTotal(Text(db, 111289), t.salesAndAdjustments, true);
        d.addTotal(Text(db, 111276), t.returnQuantity, false);
        d.addTotal(Text(db, 111277), t.returnAmount, true);
        d.addTotal(Text(db, 111184), t.salesAndAdjustments + t.returnAmount, true);
        d.addTotal(Text(db, 111226), t.adjustments[0], true);
        d.addTotal(Text(db, 111410), t.adjustments[1], true);
        d.addTotal(Text(db, 111561), t.adjustments[2], true);
        d.addTotal(Text(db, 111560), t.adjustments[3], true);
        break;
    case LinesKind::Returns:
        d.addTotal(Text(db, 111289), t.all, true);
        d.addTotal(Text(db, 111276), t.returnQuantity, false);
        break;
    }
    d.addTotal(Text(db, 111290), t.tax, true);
    return d;
}

} // namespace

std::string JournalLinesTitle(db::Database& db, const std::string& depart) {
    return SubstituteArgs(Text(db, 110045), {" " + depart + " "});
}

Document JournalLinesReport(db::Database& db, const ReportQuery& q) { return journalLines(db, q, LinesKind::ByDepartment); }
Document PluLinesReport(db::Database& db, const ReportQuery& q) { return journalLines(db, q, LinesKind::ByPlu); }
Document PaymentLinesReport(db::Database& db, const ReportQuery& q) { return journalLines(db, q, LinesKind::WithPayments); }
Document ReturnLinesReport(db::Database& db, const ReportQuery& q) { return journalLines(db, q, LinesKind::Returns); }

Document SummaryReport(db::Database& db, const ReportQuery& q) {
    Document d = PeriodDocument(db, 110044, q.period);
    d.footer = false;
    d.columns = {TextColumn(db, msg::SummaryItem, 4000, 28), NumberColumn(db, msg::SummaryValue, 5000, 35)};

    StorePeriod(db, q.period);
    const double bills = db.scalar("SELECT count(*) FROM q_plurecord").toDouble();

    // One pass over the period: the payment codes each get their own sum.
    static const int kPaymentCodes[] = {16, 17, 18, 19, 32, 33, 34, 35, 36, 37};
    static const int kPaymentCaptions[] = {111591, 111621, 111555, 111556, 111592,
                                           111593, 111551, 111552, 111553, 111554};
    std::string sql = "SELECT count(*),"
                      " sum(CASE WHEN operation IN (0,1,2,6,16,17,18,19) THEN price END),"
                      " sum(CASE WHEN operation IN (8,9,10) THEN quantity END),"
                      " sum(CASE WHEN operation IN (8,9,10,14) THEN price END),";
    for (int code : kPaymentCodes) sql += " sum(CASE WHEN operation=" + std::to_string(code) + " THEN price END),";
    sql += std::string(" sum(CASE WHEN operation IN (0,1,2,6,8,9,10,14) THEN ") + kTaxShare + " END)" +
           " FROM plurecord WHERE " + kCounted +
           " AND operation IN (0,1,2,6,8,9,10,14,16,17,18,19,32,33,34,35,36,37)";
    auto st = db.prepare(sql);
    st->bind(1, q.period.start).bind(2, q.period.end);
    st->step();
    // Null sums (no line) read 0.
    const double sales = st->columnDouble(1);
    const double returnAmount = st->columnDouble(3);
    d.noData = st->columnInt(0) == 0;

    auto add = [&](int caption, const std::string& value) { d.addRow({Text(db, caption), value}); };
    add(111274, QuantityText(bills));
    add(111275, AmountText(sales));
    add(111276, QuantityText(st->columnDouble(2)));
    add(111277, AmountText(returnAmount));
    add(111278, AmountText(sales + returnAmount));
    for (std::size_t i = 0; i < std::size(kPaymentCodes); ++i)
        add(kPaymentCaptions[i], AmountText(st->columnDouble(static_cast<int>(4 + i))));
    add(111279, AmountText(st->columnDouble(14)));
    return d;
}

Document HourlyReport(db::Database& db, const ReportQuery& q) {
    Document d = PeriodDocument(db, msg::HourlyTitle, q.period);
    d.columns = {TextColumn(db, msg::Hour, 1800, 14), NumberColumn(db, 111274, 1500, 12),
                 NumberColumn(db, 111286, 1500, 12), NumberColumn(db, 111278, 2000, 15)};
    // The lines the period's bill count reads; a bill counts in the hour of its first line.
    const std::string counted = std::string(kCounted) +
                                " AND operation IN (0,1,2,6,8,9,10,14,16,17,18,19,32,33,34,35,36,37)";
    struct Hour {
        double bills = 0, quantity = 0, net = 0;
    };
    std::map<int, Hour> hours;
    {
        auto st = db.prepare("SELECT CAST(substr(time,12,2) AS INTEGER),"
                             " sum(CASE WHEN operation IN (0,1,2,6,8,9,10,14) THEN quantity END),"
                             " sum(CASE WHEN operation IN (0,1,2,6,8,9,10,14,16,17,18,19) THEN price END)"
                             " FROM plurecord WHERE " + counted + " GROUP BY 1");
        st->bind(1, q.period.start).bind(2, q.period.end);
        while (st->step()) {
            Hour& h = hours[static_cast<int>(st->columnInt(0))];
            h.quantity = st->columnDouble(1);
            h.net = st->columnDouble(2);
        }
    }
    {
        auto st = db.prepare("SELECT h, count(*) FROM (SELECT CAST(substr(min(time),12,2) AS INTEGER) AS h"
                             " FROM plurecord WHERE " + counted + " GROUP BY billnumber) GROUP BY h");
        st->bind(1, q.period.start).bind(2, q.period.end);
        while (st->step()) hours[static_cast<int>(st->columnInt(0))].bills = st->columnDouble(1);
    }
    d.noData = hours.empty();
    Hour total;
    if (!hours.empty()) {
        // Quiet hours between the first and the last busy one show as zeros.
        for (int h = hours.begin()->first; h <= hours.rbegin()->first; ++h) {
            const Hour v = hours.count(h) ? hours[h] : Hour{};
            char label[32];
            std::snprintf(label, sizeof label, "%02d:00-%02d:59", h, h);
            d.addRow({label, QuantityText(v.bills), QuantityText(v.quantity), AmountText(v.net)});
            total.bills += v.bills;
            total.quantity += v.quantity;
            total.net += v.net;
        }
    }
    d.addTotal(Text(db, 111274), total.bills, false);
    d.addTotal(Text(db, 111286), total.quantity, false);
    d.addTotal(Text(db, 111278), total.net, true);
    d.chart = Chart{Text(db, msg::HourlyChart), 0, 3};
    return d;
}

} // namespace ecr::reports
