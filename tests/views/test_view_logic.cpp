// What the views read: the journal's months, bill pages and line pages over
// the month index, the fiscal export and the flash-cash names.
#include "app/CoreFixture.h"
#include "views/FiscalQueries.h"
#include "views/FlashCash.h"
#include "views/JournalQueries.h"

#include <QStringList>

using namespace ecr;
using namespace ecr::views;

// Failures print Qt strings as text.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QStringList& l, std::ostream* os) { *os << '{' << l.join(", ").toStdString() << '}'; }
QT_END_NAMESPACE

namespace {

struct ViewLogicTest : CoreFixture {
    ViewLogicTest() {
        App() = AppState{};
        App().conn = db.get();
        App().langCode = 3;
    }
    ~ViewLogicTest() override { App() = AppState{}; }

    int sid = 0;
    void line(long long bill, const std::string& time, int cashier = 1, double quantity = 1, double price = 1,
              int operation = 0, const std::string& pluid = "1") {
        db->execute("INSERT INTO plurecord(billnumber,pluid,price,quantity,time,operation,depart,cashier,opentable,sid)"
                    " VALUES(?,?,?,?,?,?,2,?,0,?)",
                    {bill, pluid, price, quantity, time, operation, cashier, sid++});
    }
    // Cells of the page as the model shows them.
    static std::vector<QStringList> shown(const PagedListModel& m) {
        std::vector<QStringList> out;
        for (int r = 0; r < m.rowCount(); ++r) {
            QStringList row;
            for (int c = 0; c < m.columnCount(); ++c) row << m.data(m.index(r, c)).toString();
            out.push_back(row);
        }
        return out;
    }
    static PagedListModel model(int columns) {
        return PagedListModel(std::vector<PagedListModel::Column>(static_cast<std::size_t>(columns)),
                              [](const PagedListModel::Row& r, int c) {
                                  return QString::fromStdString(r[static_cast<std::size_t>(c)].toText());
                              });
    }
};

} // namespace

TEST_F(ViewLogicTest, MonthsAreTheYearMonthsThatHoldLinesOldestFirst) {
    EXPECT_TRUE(JournalMonths(*db).empty());
    line(1, "2010-01-31 23:59:00");
    line(2, "2009-12-01 00:00:00");
    line(3, "2010-03-15 10:00:00");
    line(4, "2010-01-01 00:00:00");
    line(5, ""); // a record whose date was no date
    EXPECT_EQ(JournalMonths(*db), (std::vector<std::string>{"200912", "201001", "201003"}));
    // Keys to the prefix of the time texts.
    const std::pair<const char*, const char*> keys[] = {
        {"200910", "2009-10"}, {"20091", ""}, {"2009100", ""}, {"2009x0", ""}, {"", ""}};
    for (const auto& [key, prefix] : keys) EXPECT_EQ(MonthPrefix(key), prefix) << key;
}

TEST_F(ViewLogicTest, BillPagesHoldThirtyBillsAndMoveWithinTheirCount) {
    // 31 bills in October, the first over two time stamps and two cashiers;
    // November's lines never count.
    line(1, "2009-10-02 09:00:00", 1, 2, 3.5);
    line(1, "2009-10-02 09:00:00", 1, 1.25, 1.1);
    line(1, "2009-10-02 09:01:00", 2, 1, 4);
    for (int b = 2; b <= 30; ++b) line(b, "2009-10-03 10:00:00");
    line(31, "2009-10-31 23:59:00");
    line(1, "2009-11-01 00:00:00");

    PagedListModel m = model(5);
    m.open(*db, BillQuery("200910"));
    EXPECT_EQ(m.total(), 32);
    EXPECT_EQ(m.position(), "1(2)");
    ASSERT_EQ(m.rowCount(), 30);
    const auto rows = shown(m);
    EXPECT_EQ(rows[0], QStringList({"1", "2009-10-02", "1", "3.25", "4.6"}));
    EXPECT_EQ(rows[1], QStringList({"1", "2009-10-02", "2", "1", "4"}));
    EXPECT_EQ(rows[2][0], "2");

    // From each position, each move: the page reached.
    struct Step {
        PageMove move;
        const char* position;
        int rows;
    };
    const Step steps[] = {{PageMove::Prev, "1(2)", 30}, {PageMove::Next, "2(2)", 2}, {PageMove::Next, "2(2)", 2},
                          {PageMove::First, "1(2)", 30}, {PageMove::Last, "2(2)", 2}, {PageMove::Prev, "1(2)", 30}};
    for (const Step& s : steps) {
        m.move(*db, s.move);
        EXPECT_EQ(m.position(), s.position) << static_cast<int>(s.move);
        EXPECT_EQ(m.rowCount(), s.rows);
    }
    m.move(*db, PageMove::Last);
    EXPECT_EQ(shown(m).back(), QStringList({"31", "2009-10-31", "1", "1", "1"}));

    // Rows that went meanwhile: the page is counted again.
    db->execute("DELETE FROM plurecord WHERE billnumber > 20");
    m.move(*db, PageMove::Next);
    EXPECT_EQ(m.position(), "1(1)");
    EXPECT_EQ(m.rowCount(), 21);
    // A month without lines: no rows and no position.
    m.open(*db, BillQuery("200901"));
    EXPECT_EQ(m.rowCount(), 0);
    EXPECT_EQ(m.position(), "");
    m.move(*db, PageMove::Next);
    EXPECT_EQ(m.position(), "");
}

// Pages past the middle are read from the end of the month: whatever move
// reaches a page, it holds the same rows in the same order as the whole
// list read front to back.
TEST_F(ViewLogicTest, EveryPageHoldsItsSliceOfTheListWhicheverEndItIsReadFrom) {
    // 95 bills (4 pages: 30, 30, 30, 5), numbers out of order, some numbers
    // twice on other days or under another cashier, one bill without a number.
    for (int i = 0; i < 90; ++i) line((i * 37) % 90 + 1, "2009-10-0" + std::to_string(i % 9 + 1) + " 10:00:00");
    for (int b : {3, 50, 88}) line(b, "2009-10-20 11:00:00", 2);
    line(50, "2009-10-20 11:00:00", 3);
    db->execute("INSERT INTO plurecord(price,quantity,time,cashier,sid) VALUES(1,1,'2009-10-21 08:00:00',1,999)");
    std::vector<QStringList> whole;
    for (const auto& r : db->query("SELECT billnumber, substr(time,1,10), cashier FROM plurecord"
                                   " WHERE time LIKE '2009-10%' GROUP BY billnumber, time, cashier"
                                   " ORDER BY billnumber, time, cashier")
                             .rows)
        whole.push_back({QString::fromStdString(r[0].toText()), QString::fromStdString(r[1].toText()),
                         QString::fromStdString(r[2].toText())});
    ASSERT_EQ(whole.size(), 95u);
    ASSERT_EQ(whole[0][0], ""); // the bill without a number comes first

    PagedListModel m = model(3);
    m.open(*db, BillQuery("200910"));
    auto expectPage = [&](int page, const char* how) {
        ASSERT_EQ(m.page(), page) << how;
        std::vector<QStringList> slice(whole.begin() + (page - 1) * kPageRows,
                                       whole.begin() + std::min<int>(page * kPageRows, 95));
        EXPECT_EQ(shown(m), slice) << how << " page " << page;
    };
    expectPage(1, "open");
    const std::pair<PageMove, int> moves[] = {{PageMove::Next, 2}, {PageMove::Next, 3}, {PageMove::Next, 4},
                                              {PageMove::Prev, 3}, {PageMove::First, 1}, {PageMove::Last, 4},
                                              {PageMove::Prev, 3}, {PageMove::Prev, 2}, {PageMove::Prev, 1}};
    for (const auto& [move, page] : moves) {
        m.move(*db, move);
        expectPage(page, "move");
    }
    EXPECT_EQ(m.position(), "1(4)");
}

TEST_F(ViewLogicTest, LinesAreThoseOfTheBillInItsMonthInRegisterOrder) {
    line(7, "2009-10-05 12:00:00", 1, 1, 2, 0, "1001");
    line(7, "2009-11-05 12:00:00", 1, 1, 9, 0, "9999");
    line(8, "2009-10-05 12:00:00", 1, 1, 3, 0, "2002");
    line(7, "2009-10-28 08:00:00", 3, 1, 5, 16, "1003"); // the number again later that month
    PagedListModel m = model(6);
    m.open(*db, LineQuery("200910", 7));
    ASSERT_EQ(m.rowCount(), 2);
    EXPECT_EQ(shown(m)[0], QStringList({"1001", "2", "2", "1", "0", "0"}));
    EXPECT_EQ(shown(m)[1][0], "1003");
    m.open(*db, LineQuery("200911", 7));
    ASSERT_EQ(m.rowCount(), 1);
    EXPECT_EQ(shown(m)[0][0], "9999");
}

// The pages are answered from the month index, never by a pass over the
// journal or a sort of a month: what keeps them fast on a full journal.
TEST_F(ViewLogicTest, PagesSearchTheMonthIndex) {
    auto plan = [&](const std::string& sql, const db::Params& p) {
        std::string all;
        for (const auto& r : db->query("EXPLAIN QUERY PLAN " + sql, p).rows) all += r[3].toText() + "\n";
        return all;
    };
    const PagedQuery bills = BillQuery("200910");
    const PagedQuery lines = LineQuery("200910", 7);
    db::Params page = bills.params;
    page.insert(page.end(), {30, 0});
    for (const std::string& p :
         {plan(bills.count, bills.params), plan(bills.rows, page), plan(bills.reversed, page)}) {
        EXPECT_NE(p.find("SEARCH plurecord USING COVERING INDEX plurecord_month_bill"), std::string::npos) << p;
        EXPECT_EQ(p.find("TEMP B-TREE"), std::string::npos) << p;
    }
    EXPECT_NE(plan(lines.count, lines.params).find("USING COVERING INDEX plurecord_month_bill"), std::string::npos);
}

TEST_F(ViewLogicTest, OperationsShowTheirCatalogueNameWithTheCode) {
    const std::pair<long long, const char*> cases[] = {
        {16, "Discount (16)"}, {33, "Cheque (33)"}, {37, "Payment 6 (37)"}, {0, "0"}, {14, "14"}, {255, "255"}};
    for (const auto& [code, text] : cases) EXPECT_EQ(OperationText(code), text) << code;
}

TEST_F(ViewLogicTest, FiscalDatesRecordsAndExportSheet) {
    db->executeScript("INSERT INTO fiscal(fyear,fday,saleprice,refundprice,taxprice,bill,refundnum,mdate) VALUES"
                      "(2009,33,10.5,0,0.63,4,0,'2009-02-01 00:00:00'),"
                      "(2010,417,20,1.25,1.2,8,1,'2010-02-01 00:00:00'),"
                      "(2009,421,7,0,0,1,0,'2010-02-01 00:00:00'),"
                      "(2009,1,99.99,0,6,12,0,'2009-01-01 00:00:00');");
    const std::vector<std::string> dates = FiscalDates(*db);
    EXPECT_EQ(dates, (std::vector<std::string>{"2009-01-01 00:00:00", "2009-02-01 00:00:00", "2010-02-01 00:00:00"}));
    const db::Rows day = FiscalRecordsOf(*db, dates[2]);
    ASSERT_EQ(day.size(), 2u);
    EXPECT_EQ(day.rows[0][0].toInt(), 421); // year 2009 before 2010
    EXPECT_EQ(day.rows[1], (std::vector<db::Value>{417, 20.0, 1.25, 1.2, 8, 1}));
    EXPECT_EQ(FiscalCount(*db), 4);

    const sheets::SheetData s = FiscalExportSheet(*db, "Fiscal Data", {"a", "b", "c", "d", "e", "f", "g"});
    EXPECT_EQ(s.name, "Fiscal Data");
    EXPECT_EQ(s.columnWidths, std::vector<double>(7, 20));
    ASSERT_EQ(s.rows.size(), 5u);
    EXPECT_EQ(s.rows[0][6], sheets::Cell(std::string("g")));
    EXPECT_EQ(s.rows[1], (std::vector<sheets::Cell>{std::string("2009-01-01"), 1.0, 99.99, 0.0, 6.0, 12.0, 0.0}));
    EXPECT_EQ(s.rows[3][1], sheets::Cell(421.0));
}

TEST_F(ViewLogicTest, FlashCashTypesAreNamedByTheCatalogueAndThePaymentMethods) {
    for (int t = 0; t <= 12; ++t) db->execute("INSERT INTO flashcash(type,total) VALUES(?,?)", {t, t * 1.5});
    // Without parameters the payment methods have no names.
    auto names = [&] {
        std::vector<std::string> out;
        for (const auto& r : FlashCashRows(*db)) out.push_back(r.name);
        return out;
    };
    const std::vector<std::string> withoutParams = {"Cash", "Bank Card", "Cheque", "", "", "", "", "Amount Off",
                                                    "Surcharge", "Cash In", "Cash Out", "Cash in Drawer", ""};
    EXPECT_EQ(names(), withoutParams);
    db->execute("INSERT INTO params(Price3, Price4, Price5, Price6) VALUES(' USD ', 'Visa', NULL, '')");
    std::vector<std::string> named = withoutParams;
    named[3] = "USD";
    named[4] = "Visa";
    EXPECT_EQ(names(), named);
    // Read afresh at every fill: a renamed method shows its new name.
    db->execute("UPDATE params SET Price4='Alipay'");
    EXPECT_EQ(names()[4], "Alipay");
    EXPECT_EQ(FlashCashRows(*db)[4].total, 6.0);
    EXPECT_EQ(FlashCashTypeName(-1, PaymentNames(*db)), "");
    DeleteFlashCash(*db);
    EXPECT_TRUE(FlashCashRows(*db).empty());
}
