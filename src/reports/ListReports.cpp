// Reports of the PLU file and of the members: no period.
#include "Ids.h"
#include "ReportParts.h"
#include "Reports.h"
#include "db/Database.h"

namespace ecr::reports {

using namespace detail;

Document PluListReport(db::Database& db, const ReportQuery&) {
    Document d;
    d.title = Text(db, 110043);
    d.columns = {TextColumn(db, 111282, 1200, 15),   TextColumn(db, 111283, 2500, 18),
                 TextColumn(db, 111284, 1200, 18),   NumberColumn(db, 111287, 1200, 18),
                 NumberColumn(db, 111448, 1200, 18), NumberColumn(db, 111449, 1200, 18),
                 NumberColumn(db, 111291, 1200, 18), NumberColumn(db, 111292, 1200, 18)};
    auto st = db.prepare("SELECT id, name, depart, price, memberprice, averageprice, safestock, stockvalue FROM plu"
                         " ORDER BY " + PluOrder("id"));
    while (st->step())
        d.addRow({st->columnText(0), st->columnText(1), st->columnText(2), AmountText(st->columnDouble(3)),
                  AmountText(st->columnDouble(4)), AmountText(st->columnDouble(5)), QuantityText(st->columnDouble(6)),
                  QuantityText(st->columnDouble(7))});
    d.noData = d.rowCount() == 0;
    return d;
}

Document LowStockReport(db::Database& db, const ReportQuery&) {
    Document d;
    d.title = Text(db, 110042);
    d.columns = {TextColumn(db, 111282, 1200, 5),    TextColumn(db, 111283, 2500, 18),
                 TextColumn(db, 111284, 1200, 18),   NumberColumn(db, 111287, 1200, 18),
                 NumberColumn(db, 111291, 1200, 10), NumberColumn(db, 111292, 1200, 10)};
    auto st = db.prepare("SELECT id, name, depart, price, safestock, stockvalue FROM plu WHERE stockvalue<safestock"
                         " ORDER BY " + PluOrder("id"));
    while (st->step())
        d.addRow({st->columnText(0), st->columnText(1), st->columnText(2), AmountText(st->columnDouble(3)),
                  QuantityText(st->columnDouble(4)), QuantityText(st->columnDouble(5))});
    d.noData = d.rowCount() == 0;
    return d;
}

Document MemberReport(db::Database& db, const ReportQuery& q) {
    Document d;
    d.title = Text(db, 111293);
    d.subtitle = Text(db, 111296) + ":   " +
                 (q.scoreAbove ? Text(db, 111295) + "  " + QuantityText(*q.scoreAbove) : Text(db, 111294));
    d.sheetSubtitle = d.subtitle;
    d.subtitleAlign = LineAlign::Left;
    // Member numbers and phone numbers keep their leading zeros: every cell is text.
    d.columns = {TextColumn(db, 111297, 1600, 12), TextColumn(db, 111298, 1600, 12), TextColumn(db, 111299, 1600, 12),
                 TextColumn(db, 111300, 3200, 25), TextColumn(db, 111301, 1600, 12)};
    std::string sql = "SELECT userid, username, score, useraddress, tel FROM member";
    if (q.scoreAbove) sql += " WHERE score>?1";
    sql += " ORDER BY userid";
    auto st = db.prepare(sql);
    if (q.scoreAbove) st->bind(1, *q.scoreAbove);
    while (st->step())
        d.addRow({st->columnText(0), st->columnText(1), QuantityText(st->columnDouble(2)), st->columnText(3),
                  st->columnText(4)});
    d.noData = d.rowCount() == 0;
    return d;
}

} // namespace ecr::reports
