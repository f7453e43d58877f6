#include "FiscalQueries.h"

namespace ecr::views {

std::vector<std::string> FiscalDates(db::Database& db) {
    std::vector<std::string> dates;
    for (const auto& r : db.query("SELECT DISTINCT mdate FROM fiscal WHERE mdate IS NOT NULL ORDER BY mdate").rows)
        dates.push_back(r[0].toText());
    return dates;
}

std::string FiscalDateText(const std::string& mdate) { return mdate.substr(0, 10); }

db::Rows FiscalRecordsOf(db::Database& db, const std::string& mdate) {
    return db.query("SELECT fday, saleprice, refundprice, taxprice, bill, refundnum FROM fiscal WHERE mdate=?"
                    " ORDER BY fyear, fday",
                    {mdate});
}

long long FiscalCount(db::Database& db) { return db.scalar("SELECT count(*) FROM fiscal").toInt(); }

sheets::SheetData FiscalExportSheet(db::Database& db, const std::string& sheetName,
                                    const std::vector<std::string>& captions) {
    sheets::SheetData sheet;
    sheet.name = sheetName;
    sheet.columnWidths.assign(captions.size(), 20);
    sheet.rows.emplace_back(captions.begin(), captions.end());
    sheet.boldRows = {0};
    const auto rows = db.query("SELECT mdate, fday, saleprice, refundprice, taxprice, bill, refundnum FROM fiscal"
                               " ORDER BY mdate, fyear, fday");
    for (const auto& r : rows.rows) {
        // The date stays text: a spreadsheet would turn it into its own date.
        std::vector<sheets::Cell> row{FiscalDateText(r[0].toText())};
        for (std::size_t c = 1; c < r.size(); ++c) row.emplace_back(r[c].toDouble());
        sheet.rows.push_back(std::move(row));
    }
    return sheet;
}

} // namespace ecr::views
