// The reports: one function per report builds its document from the
// database, the period and the filter as bound values. The table of reports
// is what the forms and ecrctl share.
#pragma once

#include "Document.h"
#include "Period.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace ecr::db {
class Database;
}

namespace ecr::reports {

struct ReportQuery {
    Period period;
    std::string depart;               // department number (digits) of the journal lines
    std::string plu;                  // PLU code (digits) of the PLU lines; empty matches nothing
    std::optional<double> scoreAbove; // members: only scores above it; none lists all
};

enum class Filter { None, Department, Plu, Score };

using BuildFn = Document (*)(db::Database&, const ReportQuery&);

struct ReportInfo {
    const char* name; // ecrctl's name
    const char* form; // the form's object name
    int titleId;      // printed title
    int captionId;    // window caption
    bool period;      // has period pickers
    Filter filter;
    BuildFn build;
};

// Every report, in the order of the report menu.
std::span<const ReportInfo> AllReports();
const ReportInfo* FindReport(std::string_view name); // by ecrctl name or form name

// Texts are read in the current interface language from the database.
Document SummaryReport(db::Database& db, const ReportQuery& q);     // frmRpt1
Document JournalLinesReport(db::Database& db, const ReportQuery& q); // frmRpt2, by department
Document PluLinesReport(db::Database& db, const ReportQuery& q);    // frmRpt3
Document PaymentLinesReport(db::Database& db, const ReportQuery& q); // frmRpt4
Document ReturnLinesReport(db::Database& db, const ReportQuery& q); // frmRpt5
Document PluListReport(db::Database& db, const ReportQuery& q);     // frmRpt6
Document LowStockReport(db::Database& db, const ReportQuery& q);    // frmRpt7
Document DeptPriceReport(db::Database& db, const ReportQuery& q);   // frmRpt8
Document CashierReport(db::Database& db, const ReportQuery& q);     // frmRpt9
Document Top25Report(db::Database& db, const ReportQuery& q);       // frmRpt10
Document PluProfitReport(db::Database& db, const ReportQuery& q);   // frmRpt11
Document DepartmentReport(db::Database& db, const ReportQuery& q);  // frmRpt12
Document MemberReport(db::Database& db, const ReportQuery& q);      // frmMemberRpt
Document HourlyReport(db::Database& db, const ReportQuery& q);      // sales by hour of day

// The printed title of the journal lines report: "%1" replaced by the
// department number between blanks; the window caption leaves it out.
std::string JournalLinesTitle(db::Database& db, const std::string& depart);

} // namespace ecr::reports
