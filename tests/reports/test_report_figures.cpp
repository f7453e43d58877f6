// Every report's rows and totals on the hand-made journal of JournalFixture.
#include "JournalFixture.h"

#include "reports/Reports.h"

using namespace ecr::reports;
using Rows = std::vector<std::vector<std::string>>;
using Strings = std::vector<std::string>;

namespace {

struct Expected {
    const char* report;
    Rows rows;
    Strings totals;
};

} // namespace

TEST_F(JournalFixture, EveryReportOfTheDay) {
    const std::string t0 = "2024-03-05 00:00:00", t10 = "2024-03-05 10:16:30", t23 = "2024-03-05 23:59:59";
    const Expected cases[] = {
        {"summary",
         {{"Bills", "3"},
          {"Sales", "84.50"},
          {"Return Qty", "-4"},
          {"Return Amount", "-25.00"},
          {"Net Sales", "59.50"},
          {"Discount", "-3.00"},
          {"Service Charge", "2.00"},
          {"Amount Off", "-1.00"},
          {"Surcharge", "0.50"},
          {"Bank Card", "37.00"},
          {"Cheque", "-25.50"},
          {"Payment 3", "6.00"},
          {"Payment 4", "10.00"},
          {"Payment 5", "5.00"},
          {"Payment 6", "2.00"},
          {"Tax", "1.00"}},
         {}},
        {"lines",
         {{"1", t0, "1", "Apple", "1", "Food", "2", "20.00", "1.82"},
          {"1", t0, "1", "Apple", "1", "Food", "1", "10.00", "0.91"},
          {"2", t10, "4", "Bread", "1", "Food", "2", "6.00", "0.55"},
          {"3", t23, "4", "Bread", "1", "Food", "-1", "-3.00", "-0.27"}},
         {"Bills=3", "Sales=36.00", "Return Qty=-1", "Return Amount=-3.00", "Net Sales=33.00", "Total Tax=3.00"}},
        {"plu-lines",
         {{"1", t0, "1", "Apple", "1", "Food", "2", "20.00", "1.82"},
          {"1", t0, "1", "Apple", "1", "Food", "1", "10.00", "0.91"}},
         {"Sales=30.00", "Return Qty=0", "Return Amount=0.00", "Net Sales=30.00", "Total Tax=2.73"}},
        {"payments",
         {{"1", t0, "", "Service Charge", "0", "", "0", "2.00", "0.00"},
          {"1", t0, "1", "Apple", "1", "Food", "2", "20.00", "1.82"},
          {"1", t0, "1", "Apple", "1", "Food", "1", "10.00", "0.91"},
          {"1", t0, "2", "Cola", "2", "Beverages", "1", "5.00", "0.00"},
          {"2", t10, "", "Discount", "0", "", "0", "-3.00", "0.00"},
          {"2", "2024-03-05 10:15:00", "2", "Cola", "2", "Drinks", "3", "15.00", "0.00"},
          {"2", t10, "4", "Bread", "1", "Food", "2", "6.00", "0.55"},
          {"2", t10, "501", "Lunch set", "0", "", "1", "30.00", "0.00"},
          {"3", t23, "", "Amount Off", "0", "", "0", "-1.00", "0.00"},
          {"3", t23, "", "Surcharge", "0", "", "0", "0.50", "0.00"},
          {"3", t23, "1", "Apple", "1", "Food", "-1", "-10.00", "-0.91"},
          {"3", t23, "3", "Tea", "3", "Tea room", "-1", "-4.00", "-0.36"},
          {"3", t23, "3", "Tea", "3", "Tea room", "-2", "-8.00", "-0.73"},
          {"3", t23, "4", "Bread", "1", "Food", "-1", "-3.00", "-0.27"}},
         {"Bills=3", "Sales=84.50", "Return Qty=-5", "Return Amount=-25.00", "Net Sales=59.50", "Discount=-3.00",
          "Service Charge=2.00", "Amount Off=-1.00", "Surcharge=0.50", "Total Tax=1.00"}},
        {"returns",
         {{"3", t23, "1", "Apple", "1", "Food", "-1", "-10.00", "-0.91"},
          {"3", t23, "3", "Tea", "3", "Tea room", "-1", "-4.00", "-0.36"},
          {"3", t23, "3", "Tea", "3", "Tea room", "-2", "-8.00", "-0.73"},
          {"3", t23, "4", "Bread", "1", "Food", "-1", "-3.00", "-0.27"}},
         {"Sales=-25.00", "Return Qty=-5", "Total Tax=-2.27"}},
        {"departments",
         {{"0", "Bundles (no department)", "30.00", "1", "0.00", "0", "0.00"},
          {"1", "Food", "36.00", "5", "-13.00", "-2", "3.27"},
          {"2", "Drinks", "20.00", "4", "0.00", "0", "0.00"},
          {"3", "Tea room", "0.00", "0", "-12.00", "-3", "0.00"}},
         {"Total Sales=86.00", "Total Returns=-25.00"}},
        {"plu-profit",
         {{"1", "Apple", "30.00", "3", "0.00", "0", "2.73", "12.00"},
          {"2", "Cola", "20.00", "4", "0.00", "0", "0.00", "12.00"},
          {"3", "Tea", "0.00", "0", "-12.00", "-3", "0.00", "-7.50"},
          {"4", "Bread", "0.00", "0", "-3.00", "-1", "0.00", "-2.00"}},
         {"Total Gross Profit=14.50"}},
        {"dept-prices",
         {{"0", "Bundles (no department)", "30.00 / 30.00", "1", "30.00"},
          {"1", "Food", "7.67 / 10.00", "5", "36.00"},
          {"2", "Drinks", "5.00 / 5.00", "4", "20.00"}},
         {"Total Quantity=10", "Total Amount=86.00"}},
        {"cashiers",
         {{"1", "Ann", "2", "35.00", "-5", "-25.00", "10.00", "0.00", "2.00", "-1.00", "0.50", "37.00", "-25.50", "0.00",
           "0.00", "40.00", "3.00"},
          {"2", "Bob", "1", "51.00", "0", "0.00", "51.00", "-3.00", "0.00", "0.00", "0.00", "0.00", "0.00", "42.00",
           "0.00", "0.00", "0.00"},
          {"3", "Cashier 3", "0", "0.00", "0", "0.00", "0.00", "0.00", "0.00", "0.00", "0.00", "0.00", "0.00", "0.00",
           "0.00", "0.00", "0.00"}},
         {}},
        {"top25",
         {{"2", "Cola", "20.00", "4", "0.00", "0", "12.00"},
          {"1", "Apple", "30.00", "3", "-10.00", "-1", "8.00"},
          {"4", "Bread", "6.00", "2", "-3.00", "-1", "2.00"}},
         {}},
    };
    for (const Expected& e : cases) {
        SCOPED_TRACE(e.report);
        const ReportInfo* info = FindReport(e.report);
        ASSERT_NE(info, nullptr);
        ReportQuery q = day();
        q.depart = "1";
        q.plu = "1";
        const Document d = info->build(*db, q);
        EXPECT_EQ(rows(d), e.rows);
        EXPECT_EQ(totals(d), e.totals);
        EXPECT_FALSE(d.noData);
        EXPECT_EQ(d.subtitle, "Start time: 2024-03-05 00:00:00 End time: 2024-03-05 23:59:59");
        EXPECT_EQ(d.sheetSubtitle, "Start time: 2024-03-05 00:00:00  End time: 2024-03-05 23:59:59");
    }
}

TEST_F(JournalFixture, CaptionsTitlesAndCharts) {
    ReportQuery q = day();
    q.depart = "12";
    const Document lines = JournalLinesReport(*db, q);
    EXPECT_EQ(lines.title, "Sales Details of Department 12 ");
    const Document cashiers = CashierReport(*db, day());
    const Strings c = captions(cashiers);
    ASSERT_EQ(c.size(), 17u);
    // Foreign media by their names in the parameters, trimmed, or PayWayN.
    EXPECT_EQ(Strings(c.end() - 4, c.end()), (Strings{"USD", "PayWay4", "EUR", "PayWay6"}));
    EXPECT_TRUE(cashiers.landscape);

    const Document depts = DepartmentReport(*db, day());
    ASSERT_TRUE(depts.chart);
    EXPECT_EQ(depts.chart->caption, "Sales amount by department");
    EXPECT_EQ(depts.cell(1, static_cast<std::size_t>(depts.chart->labelColumn)), "Food");
    EXPECT_EQ(depts.number(1, static_cast<std::size_t>(depts.chart->valueColumn)), 36.0);
    EXPECT_TRUE(Top25Report(*db, day()).chart);
    EXPECT_FALSE(SummaryReport(*db, day()).footer);
}

TEST_F(JournalFixture, Top25RanksTheBestSellingPlusOfThePluFile) {
    const Document d = Top25Report(*db, day("2024-03-07"));
    ASSERT_EQ(d.rowCount(), 25u);
    // 227 sold 27 times first; 202 and 201 (50 more on bill 0) drop out; the
    // bundle sold 100 times takes no place.
    for (std::size_t r = 0; r < 25; ++r) {
        const int n = 27 - static_cast<int>(r);
        EXPECT_EQ(d.row(r), (Strings{std::to_string(200 + n), "Item " + std::to_string(200 + n), std::to_string(n) + ".00",
                                     std::to_string(n), "0.00", "0", AmountText(n / 2.0)}));
    }
    // The scratch table holds what was printed.
    EXPECT_EQ(db->scalar("SELECT count(*) FROM rpt_top25plu").toInt(), 25);
    EXPECT_EQ(db->scalar("SELECT starttime || '/' || endtime FROM rpt_time").toText(),
              "2024-03-07 00:00:00/2024-03-07 23:59:59");
}

TEST_F(JournalFixture, HourlySalesFromTheFirstToTheLastBusyHour) {
    const Document d = HourlyReport(*db, day());
    ASSERT_EQ(d.rowCount(), 24u);
    EXPECT_EQ(d.row(0), (Strings{"00:00-00:59", "1", "4", "37.00"}));
    EXPECT_EQ(d.row(9), (Strings{"09:00-09:59", "0", "0", "0.00"}));
    EXPECT_EQ(d.row(10), (Strings{"10:00-10:59", "1", "6", "48.00"}));
    EXPECT_EQ(d.row(23), (Strings{"23:00-23:59", "1", "-5", "-25.50"}));
    // The bills add up to the period's count, the net to the summary's.
    EXPECT_EQ(totals(d), (Strings{"Bills=3", "Quantity=5", "Net Sales=59.50"}));
    ASSERT_TRUE(d.chart);
    EXPECT_EQ(d.chart->valueColumn, 3);
}

TEST_F(JournalFixture, EmptyPeriodsAndUnmatchedFilters) {
    ReportQuery backwards;
    backwards.period = {"2024-03-05 23:59:59", "2024-03-05 00:00:00"};
    backwards.depart = "1";
    backwards.plu = "1";
    for (const ReportInfo& info : AllReports()) {
        if (!info.period) continue;
        SCOPED_TRACE(info.name);
        const Document d = info.build(*db, backwards);
        EXPECT_TRUE(d.noData);
        // The document still has its title, period line and captions.
        EXPECT_FALSE(d.title.empty());
        EXPECT_FALSE(d.subtitle.empty());
        EXPECT_FALSE(d.columns.empty());
        if (std::string(info.name) != "summary" && std::string(info.name) != "cashiers") {
            EXPECT_EQ(d.rowCount(), 0u);
        }
        // Null sums read 0.
        for (const auto& t : d.totals) EXPECT_TRUE(t.text == "0" || t.text == "0.00") << t.caption << "=" << t.text;
    }
    const Document summary = SummaryReport(*db, backwards);
    for (std::size_t r = 0; r < summary.rowCount(); ++r)
        EXPECT_TRUE(summary.cell(r, 1) == "0" || summary.cell(r, 1) == "0.00") << summary.cell(r, 0);

    ReportQuery q = day();
    for (const char* depart : {"", "9", "abc"}) {
        q.depart = depart;
        EXPECT_TRUE(JournalLinesReport(*db, q).noData) << depart;
    }
    q.depart = "01"; // the number, not the text
    EXPECT_EQ(JournalLinesReport(*db, q).rowCount(), 4u);
    for (const char* plu : {"", "01", "5"}) {
        q.plu = plu;
        EXPECT_TRUE(PluLinesReport(*db, q).noData) << plu;
    }
}

TEST_F(JournalFixture, PluListsAndMembers) {
    const Document list = PluListReport(*db, {});
    ASSERT_EQ(list.rowCount(), 31u);
    EXPECT_EQ(list.row(0), (Strings{"1", "Apple", "1", "10.00", "9.00", "6.00", "10", "5"}));
    EXPECT_EQ(list.row(3), (Strings{"4", "Bread", "1", "3.00", "3.00", "1.00", "0", "0"}));
    EXPECT_EQ(list.cell(4, 0), "201"); // by number: 4 before 201
    EXPECT_TRUE(list.subtitle.empty());
    EXPECT_TRUE(list.totals.empty());

    const Document low = LowStockReport(*db, {});
    EXPECT_EQ(low.title, "Low Stock Report");
    EXPECT_EQ(rows(low), (Rows{{"1", "Apple", "1", "10.00", "10", "5"}, {"3", "Tea", "3", "4.00", "0", "-1"}}));

    struct Case {
        std::optional<double> above;
        const char* filterLine;
        Strings ids;
    };
    const Case cases[] = {
        {std::nullopt, "Filter:   All members", {"0004", "M001", "M002", "M003"}},
        {100, "Filter:   Points above  100", {"0004", "M002"}}, // exactly 100 is not above
        {0, "Filter:   Points above  0", {"0004", "M001", "M002"}},
        {1000, "Filter:   Points above  1000", {}},
    };
    for (const Case& c : cases) {
        ReportQuery q;
        q.scoreAbove = c.above;
        const Document d = MemberReport(*db, q);
        EXPECT_EQ(d.subtitle, c.filterLine);
        EXPECT_EQ(d.subtitleAlign, LineAlign::Left);
        Strings ids;
        for (std::size_t r = 0; r < d.rowCount(); ++r) ids.emplace_back(d.cell(r, 0));
        EXPECT_EQ(ids, c.ids) << c.filterLine;
        EXPECT_EQ(d.noData, c.ids.empty());
    }
    ReportQuery all;
    EXPECT_EQ(MemberReport(*db, all).row(1), (Strings{"M001", "Ann", "100", "1 Main St", "0123"}));
}

TEST(ReportFormats, AmountsAndQuantitiesAsPrinted) {
    const std::pair<double, const char*> amounts[] = {
        {0, "0.00"}, {-0.0, "0.00"}, {-0.004, "0.00"}, {2.675, "2.68"}, {0.1 + 0.2, "0.30"}, {-1.005, "-1.01"},
        {1234567.891, "1234567.89"}};
    for (auto [v, text] : amounts) EXPECT_EQ(AmountText(v), text) << v;
    const std::pair<double, const char*> quantities[] = {
        {0, "0"}, {-0.0, "0"}, {3, "3"}, {1.235, "1.235"}, {1.5, "1.5"}, {0.1 + 0.2, "0.3"}, {-2.0004, "-2"}};
    for (auto [v, text] : quantities) EXPECT_EQ(QuantityText(v), text) << v;
}
