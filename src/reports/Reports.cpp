#include "Reports.h"

#include "Ids.h"
#include "ReportParts.h"
#include "app/AppState.h"
#include "app/Messages.h"
#include "db/Database.h"

namespace ecr::reports {

namespace detail {

std::string Text(db::Database& db, int id) { return GetMessage(db, App().langCode, id); }

Column TextColumn(db::Database& db, int captionId, int twips, double sheetWidth) {
    return {Text(db, captionId), twips, sheetWidth, ColumnKind::Text};
}

Column NumberColumn(db::Database& db, int captionId, int twips, double sheetWidth) {
    return {Text(db, captionId), twips, sheetWidth, ColumnKind::Number};
}

Document PeriodDocument(db::Database& db, int titleId, const Period& period) {
    Document d;
    d.title = Text(db, titleId);
    const std::string from = Text(db, msg::StartTime) + ": " + period.start;
    const std::string to = Text(db, msg::EndTime) + ": " + period.end;
    d.subtitle = from + " " + to;
    d.sheetSubtitle = from + "  " + to;
    return d;
}

void StorePeriod(db::Database& db, const Period& period) {
    db::Transaction tx(db);
    db.execute("DELETE FROM rpt_time");
    db.execute("INSERT INTO rpt_time(starttime, endtime) VALUES(?, ?)", {period.start, period.end});
    tx.commit();
}

std::string PluOrder(const std::string& column) {
    return "length(ltrim(" + column + ",'0')), ltrim(" + column + ",'0'), " + column;
}

} // namespace detail

namespace {

const ReportInfo kReportTable[] = {
    {"low-stock", "frmRpt7", 110042, 111101, false, Filter::None, LowStockReport},
    {"plu-list", "frmRpt6", 110043, 110043, false, Filter::None, PluListReport},
    {"summary", "frmRpt1", 110044, 110044, true, Filter::None, SummaryReport},
    {"plu-profit", "frmRpt11", 111437, 111437, true, Filter::None, PluProfitReport},
    {"departments", "frmRpt12", 111438, 111438, true, Filter::None, DepartmentReport},
    {"lines", "frmRpt2", 110045, 110045, true, Filter::Department, JournalLinesReport},
    {"plu-lines", "frmRpt3", 110046, 110046, true, Filter::Plu, PluLinesReport},
    {"payments", "frmRpt4", 110047, 110047, true, Filter::None, PaymentLinesReport},
    {"returns", "frmRpt5", 110048, 110048, true, Filter::None, ReturnLinesReport},
    {"dept-prices", "frmRpt8", 111389, 111389, true, Filter::None, DeptPriceReport},
    {"cashiers", "frmRpt9", 111622, 111622, true, Filter::None, CashierReport},
    {"top25", "frmRpt10", 111630, 111630, true, Filter::None, Top25Report},
    {"hourly", "frmRptHourly", msg::HourlyTitle, msg::HourlyTitle, true, Filter::None, HourlyReport},
    {"members", "frmMemberRpt", 111293, 111293, false, Filter::Score, MemberReport},
};

} // namespace

std::span<const ReportInfo> AllReports() { return kReportTable; }

const ReportInfo* FindReport(std::string_view name) {
    for (const ReportInfo& r : kReportTable)
        if (name == r.name || name == r.form) return &r;
    return nullptr;
}

} // namespace ecr::reports
