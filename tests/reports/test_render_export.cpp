// The painter's pages, PDF, the spreadsheet read back, CSV and print ranges.
#include "JournalFixture.h"

#include "import/Spreadsheet.h"
#include "reports/Export.h"
#include "reports/PrintRange.h"
#include "reports/Renderer.h"
#include "reports/TextWrap.h"

#include <QPaintEngine>
#include <QPainter>

#include <orcus/orcus_xlsx.hpp>
#include <orcus/spreadsheet/document.hpp>
#include <orcus/spreadsheet/factory.hpp>
#include <orcus/spreadsheet/sheet.hpp>

#include <fstream>
#include <random>
#include <regex>
#include <sstream>

using namespace ecr::reports;
using Strings = std::vector<std::string>;

namespace {

// A paint device at 720 dots per inch (one dot a unit) that keeps the texts
// painted on it with their positions.
class TextRecorder : public QPaintDevice {
public:
    struct Drawn {
        QString text;
        QPointF at;
        bool bold;
    };
    std::vector<Drawn> texts;

    QPaintEngine* paintEngine() const override { return &engine_; }

private:
    struct Engine : QPaintEngine {
        TextRecorder* owner = nullptr;
        bool begin(QPaintDevice*) override { return true; }
        bool end() override { return true; }
        void updateState(const QPaintEngineState&) override {}
        void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
        void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
        void drawPath(const QPainterPath&) override {}
        void drawLines(const QLineF*, int) override {}
        void drawRects(const QRectF*, int) override {}
        void drawTextItem(const QPointF& p, const QTextItem& item) override {
            owner->texts.push_back({item.text(), painter()->transform().map(p), item.font().bold()});
        }
        Type type() const override { return User; }
    };
    int metric(PaintDeviceMetric m) const override {
        switch (m) {
        case PdmWidth: return 5953;
        case PdmHeight: return 8419;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY: return 720;
        case PdmDepth: return 32;
        case PdmDevicePixelRatio: return 1;
        case PdmDevicePixelRatioScaled: return 1 * QPaintDevice::devicePixelRatioFScale();
        default: return 0;
        }
    }
    mutable Engine engine_;

public:
    TextRecorder() { engine_.owner = this; }
};

Strings pageTexts(Renderer& r, int page) {
    TextRecorder rec;
    QPainter p(&rec);
    r.paintPageAt(p, page, 720);
    p.end();
    Strings out;
    for (const auto& t : rec.texts) out.push_back(t.text.toStdString());
    return out;
}

Document numberedDocument(int rows, const std::string& longText = "") {
    Document d;
    d.title = "Numbered";
    d.subtitle = "From here to there";
    d.columns = {{"No.", 1200, 10, ColumnKind::Number}, {"Text", 2400, 20, ColumnKind::Text}};
    for (int i = 0; i < rows; ++i) d.addRow({std::to_string(i + 1), longText.empty() ? "row" : longText});
    d.addTotal("Count", rows, false);
    return d;
}

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

const QDate kPrintDate(2024, 3, 8);

// The workbook as orcus reads it, for what ReadFirstSheet does not keep
// (merged cells, column widths).
struct OrcusBook {
    orcus::spreadsheet::document doc{orcus::spreadsheet::range_size_t{1048576, 16384}};
    explicit OrcusBook(const std::string& path) {
        orcus::spreadsheet::import_factory factory{doc};
        orcus::orcus_xlsx reader(&factory);
        reader.read_file(path);
    }
    const orcus::spreadsheet::sheet& sheet() const { return *doc.get_sheet(0); }
};

} // namespace

TEST(Renderer, PagesCoverEveryRowOnceWithTheHeaderOnEachPage) {
    const Document d = numberedDocument(300);
    Renderer r(d, QPageSize(QPageSize::A4), kPrintDate, ReportFontFamily(3));
    ASSERT_TRUE(r.hasPage(0));
    EXPECT_EQ(r.pagesLaidOut(), 1); // only as far as asked
    const int pages = r.pageCount();
    ASSERT_GT(pages, 3);
    int next = 0;
    for (int p = 0; p < pages; ++p) {
        const auto [first, last] = r.rowsOnPage(p);
        EXPECT_EQ(first, next) << "page " << p;
        next = last;
    }
    EXPECT_EQ(next, 300);
    // The title block leaves the first page fewer rows than the next.
    EXPECT_LT(r.rowsOnPage(0).second, r.rowsOnPage(1).second - r.rowsOnPage(1).first);
    EXPECT_FALSE(r.hasPage(pages));

    const Strings first = pageTexts(r, 0);
    ASSERT_GE(first.size(), 4u);
    EXPECT_EQ(first[0], "Numbered");
    EXPECT_EQ(first[1], "From here to there");
    EXPECT_EQ(first[2], "No.");
    EXPECT_EQ(first[3], "Text");
    EXPECT_EQ(Strings(first.end() - 2, first.end()), (Strings{"2024-03-08", "- 1 -"}));

    const Strings second = pageTexts(r, 1);
    const int firstRow = r.rowsOnPage(1).first;
    EXPECT_EQ(Strings(second.begin(), second.begin() + 3), (Strings{"No.", "Text", std::to_string(firstRow + 1)}));
    EXPECT_EQ(second.back(), "- 2 -");

    // The totals close the last page, after the last row.
    const Strings last = pageTexts(r, pages - 1);
    auto count = std::find(last.begin(), last.end(), "Count: 300");
    ASSERT_NE(count, last.end());
    EXPECT_NE(std::find(last.begin(), count, "300"), count);
}

// Pages are laid out by counting lines and painted by breaking them: both
// must give the same number of lines, or rows overflow their cells.
TEST(TextWrap, CountingAsciiLinesAgreesWithBreakingThem) {
    QFont font(ReportFontFamily(3));
    font.setPixelSize(90);
    font.setKerning(false);
    detail::Measurer m(font);
    std::vector<std::string> texts = {"", " ", "a", "2024-03-05 23:59:59", "  leading blanks", "trailing blanks   ",
                                      "a  b   c", "averyveryverylongwordwithoutanyblanksatall", "Mineral water 1.5l",
                                      "x y z w v u t s r q p o n m l k j i h g f e d c b a"};
    std::mt19937 random(16);
    for (int i = 0; i < 200; ++i) {
        std::string t;
        const int length = static_cast<int>(random() % 40);
        for (int k = 0; k < length; ++k) t += random() % 4 == 0 ? ' ' : static_cast<char>('!' + random() % 94);
        texts.push_back(t);
    }
    for (const std::string& t : texts) {
        ASSERT_TRUE(detail::isPlainAscii(t));
        for (double width = 1; width < 1200; width *= 1.37)
            ASSERT_EQ(detail::asciiLineCount(t, width, m), static_cast<int>(detail::wrap(QString::fromStdString(t), width, m).size()))
                << "'" << t << "' in " << width;
    }
    EXPECT_FALSE(detail::isPlainAscii("caf\xc3\xa9"));
    EXPECT_FALSE(detail::isPlainAscii("two\nlines"));
}

TEST(Renderer, WrappedCellsTakeMoreRoomAndOverlongRowsStillEnd) {
    const Document shortRows = numberedDocument(200);
    const Document wrapped = numberedDocument(200, "a long name that wraps over three lines at least in this column");
    Renderer a(shortRows, QPageSize(QPageSize::A4), kPrintDate, ReportFontFamily(3));
    Renderer b(wrapped, QPageSize(QPageSize::A4), kPrintDate, ReportFontFamily(3));
    const int perPageShort = a.rowsOnPage(1).second - a.rowsOnPage(1).first;
    const int perPageWrapped = b.rowsOnPage(1).second - b.rowsOnPage(1).first;
    EXPECT_GE(perPageShort, 2 * perPageWrapped);
    EXPECT_GT(perPageWrapped, 0);
    // The wrapped cell is painted whole, on three lines or more.
    const std::string text(wrapped.cell(0, 1));
    const Strings texts = pageTexts(b, 1);
    auto line = std::find_if(texts.begin(), texts.end(), [](const std::string& t) { return t.starts_with("a long"); });
    ASSERT_NE(line, texts.end());
    std::string joined = *line;
    int lines = 1;
    while (joined.size() < text.size() && ++line != texts.end()) {
        joined += " " + *line;
        ++lines;
    }
    EXPECT_EQ(joined, text);
    EXPECT_GE(lines, 3);

    const Document huge = numberedDocument(3, std::string(20000, 'x'));
    Renderer c(huge, QPageSize(QPageSize::A4), kPrintDate, ReportFontFamily(3));
    EXPECT_LE(c.pageCount(), 6);
    EXPECT_EQ(c.rowsOnPage(c.pageCount() - 1).second, 3);
}

TEST(Renderer, ChartBarsFollowTheTotalsAndNoFooterWhenAsked) {
    Document d = numberedDocument(3);
    d.chart = Chart{"Bars", 1, 0};
    d.footer = false;
    Renderer r(d, QPageSize(QPageSize::A4), kPrintDate, ReportFontFamily(3));
    ASSERT_EQ(r.pageCount(), 1);
    const Strings texts = pageTexts(r, 0);
    auto caption = std::find(texts.begin(), texts.end(), "Bars");
    ASSERT_NE(caption, texts.end());
    EXPECT_LT(std::find(texts.begin(), texts.end(), "Count: 3"), caption);
    // Each bar: its label and its value.
    EXPECT_EQ(Strings(caption + 1, texts.end()), (Strings{"row", "1", "row", "2", "row", "3"}));
}

TEST_F(JournalFixture, PdfOfAReport) {
    const Document d = DepartmentReport(*db, day());
    const std::string path = dir.file("departments.pdf");
    QString error;
    ASSERT_TRUE(WritePdf(d, QString::fromStdString(path), kPrintDate, ReportFontFamily(3), &error))
        << error.toStdString();
    const std::string bytes = fileBytes(path);
    ASSERT_EQ(bytes.substr(0, 5), "%PDF-");
    const std::regex page(R"(/Type\s*/Page[^s])");
    EXPECT_EQ(std::distance(std::sregex_iterator(bytes.begin(), bytes.end(), page), std::sregex_iterator()), 1);

    EXPECT_FALSE(WritePdf(d, QString::fromStdString(dir.file("no/such/folder/x.pdf")), kPrintDate,
                          ReportFontFamily(3), &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST_F(JournalFixture, SpreadsheetReadBack) {
    const Document d = DepartmentReport(*db, day());
    const std::string path = dir.file("departments.xlsx");
    WriteXlsx(d, path);
    const ecr::sheets::ReadSheet s = ecr::sheets::ReadFirstSheet(path);
    EXPECT_EQ(s.name, "Department Sales");
    EXPECT_EQ(s.at(0, 0).text, "Department Sales");
    EXPECT_EQ(s.at(1, 0).text, d.sheetSubtitle);
    for (int c = 0; c < 7; ++c) EXPECT_EQ(s.at(2, c).text, d.columns[static_cast<std::size_t>(c)].caption);
    // Department numbers stay text; amounts and quantities are numbers.
    EXPECT_EQ(s.at(4, 0).type, ecr::sheets::ReadCell::Type::Text);
    EXPECT_EQ(s.at(4, 0).text, "1");
    EXPECT_EQ(s.at(4, 1).text, "Food");
    EXPECT_EQ(s.at(4, 2).type, ecr::sheets::ReadCell::Type::Number);
    EXPECT_DOUBLE_EQ(s.at(4, 2).number, 36);
    EXPECT_DOUBLE_EQ(s.at(4, 5).number, -2);
    // Totals right after the rows, in the last two columns.
    EXPECT_EQ(s.at(7, 5).text, "Total Sales");
    EXPECT_DOUBLE_EQ(s.at(7, 6).number, 86);
    EXPECT_EQ(s.at(8, 5).text, "Total Returns");
    EXPECT_DOUBLE_EQ(s.at(8, 6).number, -25);
    // The chart is a part of the file.
    EXPECT_NE(fileBytes(path).find("xl/charts/chart1.xml"), std::string::npos);

    // The title and period rows are merged across the table.
    const OrcusBook book(path);
    for (int row : {0, 1}) {
        const orcus::spreadsheet::range_t merged = book.sheet().get_merge_cell_range(row, 0);
        EXPECT_EQ(merged.first.row, row);
        EXPECT_EQ(merged.last.row, row);
        EXPECT_EQ(merged.first.column, 0);
        EXPECT_EQ(merged.last.column, 6);
    }
}

TEST_F(JournalFixture, SpreadsheetColumnWidthsFollowTheReport) {
    const Document d = LowStockReport(*db, {}); // 5, 18, 18, 18, 10, 10 characters
    const std::string path = dir.file("low.xlsx");
    WriteXlsx(d, path);
    const OrcusBook book(path);
    std::vector<double> widths;
    for (int c = 0; c < 6; ++c) widths.push_back(static_cast<double>(book.sheet().get_col_width(c, nullptr, nullptr)));
    EXPECT_LT(widths[0], widths[4]);
    EXPECT_LT(widths[4], widths[1]);
    EXPECT_EQ(widths[1], widths[3]);
    EXPECT_EQ(widths[4], widths[5]);
    EXPECT_NEAR(widths[1] / widths[4], 18.0 / 10.0, 0.15);
}

TEST_F(JournalFixture, MemberSpreadsheetKeepsLeadingZerosAsText) {
    ReportQuery q;
    q.scoreAbove = 100;
    const Document d = MemberReport(*db, q);
    const std::string path = dir.file("members.xlsx");
    WriteXlsx(d, path);
    const ecr::sheets::ReadSheet s = ecr::sheets::ReadFirstSheet(path);
    EXPECT_EQ(s.at(1, 0).text, "Filter:   Points above  100");
    EXPECT_EQ(s.at(3, 0).type, ecr::sheets::ReadCell::Type::Text);
    EXPECT_EQ(s.at(3, 0).text, "0004");
    EXPECT_EQ(s.at(3, 2).type, ecr::sheets::ReadCell::Type::Text);
    EXPECT_EQ(s.at(3, 2).text, "100.5");
    EXPECT_EQ(s.at(3, 4).text, "0789");
    EXPECT_EQ(s.at(4, 0).text, "M002");
    EXPECT_EQ(s.rows.size(), 5u);

    EXPECT_THROW(WriteXlsx(d, dir.file("no/such/folder/x.xlsx")), ExportError);
}

TEST(Csv, CaptionsRowsAndTotalsQuoted) {
    Document d;
    d.columns = {{"Code"}, {"Name, full"}, {"Amount", 1200, 10, ColumnKind::Number}};
    d.addRow({"0012", "Tea \"green\"", "3.50"});
    d.addRow({"13", "two\nlines", "-1.00"});
    d.addRow({"14", "茶", "0.00"});
    d.addTotal("Sales, net", 2.5, true);
    d.addTotal("Bills", 3, false);
    EXPECT_EQ(CsvText(d), "Code,\"Name, full\",Amount\r\n"
                          "0012,\"Tea \"\"green\"\"\",3.50\r\n"
                          "13,\"two\nlines\",-1.00\r\n"
                          "14,茶,0.00\r\n"
                          "\r\n"
                          "\"Sales, net\",2.50\r\n"
                          "Bills,3\r\n");
    d.totals.clear();
    const std::string noTotals = CsvText(d);
    EXPECT_TRUE(noTotals.ends_with("14,茶,0.00\r\n"));
    EXPECT_EQ(noTotals.find("\r\n\r\n"), std::string::npos);
}

TEST(PrintRange, ModesAndRanges) {
    struct Case {
        PrintMode mode;
        int from, to, count;
        std::vector<int> pages;
    };
    const Case cases[] = {
        {PrintMode::Range, 1, 3, 5, {1, 2, 3}},
        {PrintMode::Range, 4, 9, 5, {4, 5}},  // beyond the end: what exists
        {PrintMode::Range, 0, 2, 5, {1, 2}},  // a page 0 (text that is no number) starts at 1
        {PrintMode::Range, 6, 9, 5, {}},      // wholly outside
        {PrintMode::Range, 3, 2, 5, {}},      // ends before it starts
        {PrintMode::Odd, 0, 0, 5, {1, 3, 5}},
        {PrintMode::Even, 0, 0, 5, {2, 4}},
        {PrintMode::Odd, 0, 0, 1, {1}},
        {PrintMode::Even, 0, 0, 1, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PagesToPrint(c.mode, c.from, c.to, c.count), c.pages)
            << static_cast<int>(c.mode) << " " << c.from << "-" << c.to << " of " << c.count;
}

TEST(Period, PresetsAndTimes) {
    const QDate wednesday(2024, 3, 6);
    const std::pair<Preset, std::pair<QDate, QDate>> presets[] = {
        {Preset::Today, {wednesday, wednesday}},
        {Preset::Yesterday, {QDate(2024, 3, 5), QDate(2024, 3, 5)}},
        {Preset::ThisWeek, {QDate(2024, 3, 4), QDate(2024, 3, 10)}},
        {Preset::LastWeek, {QDate(2024, 2, 26), QDate(2024, 3, 3)}},
        {Preset::ThisMonth, {QDate(2024, 3, 1), QDate(2024, 3, 31)}},
        {Preset::LastMonth, {QDate(2024, 2, 1), QDate(2024, 2, 29)}},
    };
    for (const auto& [preset, days] : presets) EXPECT_EQ(PresetDays(preset, wednesday), days) << int(preset);
    EXPECT_EQ(PresetDays(Preset::LastMonth, QDate(2024, 1, 15)), std::make_pair(QDate(2023, 12, 1), QDate(2023, 12, 31)));

    const Period p = DaysPeriod(QDate(2024, 2, 26), QDate(2024, 3, 3));
    EXPECT_EQ(p.start, "2024-02-26 00:00:00");
    EXPECT_EQ(p.end, "2024-03-03 23:59:59");

    struct TimeCase {
        const char* text;
        bool endOfDay;
        std::optional<std::string> stored;
    };
    const TimeCase times[] = {
        {"2024-03-05", false, "2024-03-05 00:00:00"},
        {"2024-03-05", true, "2024-03-05 23:59:59"},
        {"2024-03-05 12:30:05", true, "2024-03-05 12:30:05"},
        {"2024-02-30", false, std::nullopt},
        {"2024-03-05 24:00:00", false, std::nullopt},
        {"2024-3-5", false, std::nullopt},
        {"2024-03-05 12:30", false, std::nullopt},
        {"", false, std::nullopt},
        {"2024-03-05 12:30:05 ", false, std::nullopt},
    };
    for (const TimeCase& t : times) EXPECT_EQ(ParseReportTime(t.text, t.endOfDay), t.stored) << t.text;
}
