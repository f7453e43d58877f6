#include "RowsFixture.h"
#include "records/Cashier.h"
#include "records/Department.h"


using namespace ecr;
using namespace ecr::records;

TEST_F(RowsFixture, CashierPageReplacesTableAndRoundTrips) {
    db->execute("INSERT INTO cashier(id,name) VALUES(50,'old')");
    Bytes page = blankPage();
    CashierRecord a;
    a.id = 1;
    a.name = "收银员一";
    a.passwd = "0042";
    a.rights.fill(1);
    a.rights[6] = 0; // a9
    CashierRecord z = a;
    z.id = 99;
    z.name = "Last";
    EncodeCashier(a, ByteSpan(page).subspan(40, 40));
    EncodeCashier(z, ByteSpan(page).subspan(99 * 40, 40));
    ASSERT_EQ(store(kind::Cashier, page, 0), "");
    EXPECT_EQ(count("cashier"), 2);
    EXPECT_EQ(text("SELECT passwd FROM cashier WHERE id=1"), "0042");
    EXPECT_EQ(db->scalar("SELECT a9 + a0 FROM cashier WHERE id=99").toInt(), 1);
    EXPECT_EQ(build(kind::Cashier, 0), page);
}

TEST_F(RowsFixture, DepartmentRecord100AtOffset3200RoundTrips) {
    db->execute("INSERT INTO depart(id,name,price,discounten,tax,addr,KitchenEn) VALUES(100,'Last',1.005,1,-1,100,3)");
    db->execute("INSERT INTO depart(id,name,price,discounten,tax,addr,KitchenEn) VALUES(1,'饮料',2,0,5,1,0)");
    Bytes page = build(kind::Depart, 0);
    EXPECT_EQ(page[3200], 'L');
    EXPECT_EQ(page[3200 + 20], 101); // 1.005 rounded to 1.01
    EXPECT_EQ(page[3200 + 28], 0x00);
    EXPECT_EQ(page[3200 + 31], 0xFF);
    ASSERT_EQ(store(kind::Depart, page, 0), "");
    EXPECT_EQ(count("depart"), 2);
    EXPECT_DOUBLE_EQ(db->scalar("SELECT price FROM depart WHERE id=100").toDouble(), 1.01);
    EXPECT_DOUBLE_EQ(db->scalar("SELECT tax FROM depart WHERE id=100").toDouble(), -1);
    EXPECT_EQ(text("SELECT name FROM depart WHERE id=1"), "饮料");
    EXPECT_EQ(build(kind::Depart, 0), page);
}

TEST_F(RowsFixture, FailingPageLeavesTableAsItWas) {
    db->execute("INSERT INTO depart(id,name) VALUES(5,'keep')");
    // A trigger makes the insert of record 3 fail halfway through the page.
    db->executeScript("CREATE TRIGGER boom BEFORE INSERT ON depart WHEN NEW.id = 3 "
                      "BEGIN SELECT RAISE(ABORT, 'disk says no'); END;");
    Bytes page = blankPage();
    for (int id : {1, 2, 3, 4}) EncodeDepart({id, "D" + std::to_string(id), 1, 0, 1, id, 0}, ByteSpan(page).subspan(id * 32, 32));
    const std::string err = store(kind::Depart, page, 0);
    EXPECT_EQ(err, "disk says no");
    EXPECT_EQ(text("SELECT group_concat(name) FROM depart"), "keep");
    EXPECT_EQ(firstLogLine(), "Location:      GetData_GetDepartmentStruct\r");
}

TEST_F(RowsFixture, AllBlankPagesGiveNoRows) {
    db->execute("INSERT INTO cashier(id,name) VALUES(1,'x')");
    ASSERT_EQ(store(kind::Cashier, blankPage(), 0), "");
    ASSERT_EQ(store(kind::Depart, blankPage(), 0), "");
    EXPECT_EQ(count("cashier"), 0);
    EXPECT_EQ(count("depart"), 0);
    // An empty table builds an all-0xFF page.
    EXPECT_EQ(build(kind::Cashier, 0), blankPage());
}
