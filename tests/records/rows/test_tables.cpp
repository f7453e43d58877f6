// Each table's column list against the schema: a record written as a row
// and read back is the same record.
#include "RowsFixture.h"
#include "records/rows/Tables.h"

using namespace ecr;
using namespace ecr::records;
using namespace ecr::rows;

namespace {

// Writes the row with the table's insert and reads it back with its select.
template <class Record>
Record roundTrip(db::Database& db, const Columns& c, Row (*toRow)(const Record&), Record (*fromRow)(const Row&),
                 const Record& r) {
    db.execute(std::string("DELETE FROM ") + c.table);
    db.execute(c.insert(), toRow(r));
    auto rows = db.query(c.select());
    EXPECT_EQ(rows.size(), 1u) << c.table;
    return rows.empty() ? Record{} : fromRow(rows.rows[0]);
}

} // namespace

TEST_F(RowsFixture, RecordsRoundTripThroughTheirRows) {
    CashierRecord cashier{7, "王芳", "3333", {}};
    cashier.rights.fill(1);
    cashier.rights[4] = 0;
    EXPECT_EQ(roundTrip(*db, CashierColumns(), CashierRow, CashierFromRow, cashier), cashier);

    const DepartRecord depart{100, "Drinks", 12.5, 17, 1, 100, 2};
    EXPECT_EQ(roundTrip(*db, DepartColumns(), DepartRow, DepartFromRow, depart), depart);

    const KeyRecord key{384, 6901234567892LL, 2, "P"};
    EXPECT_EQ(roundTrip(*db, KeyColumns(), KeyRow, KeyFromRow, key), key);

    const PluRecord plu{6363, "0069", "Tea", 3, 7.5, 6.5, 4.25, -2.5, 10.125, 1};
    EXPECT_EQ(roundTrip(*db, PluColumns(), PluRow, PluFromRow, plu), plu);

    const MemberRecord member{3131, "88", "Li Wei", "1 Main St", "555", 120, 4};
    EXPECT_EQ(roundTrip(*db, MemberColumns(), MemberRow, MemberFromRow, member), member);

    BundleRecord bundle{1515, "502", "Lunch menu", 6.5, 0, {}};
    bundle.items[0] = {"6901234567908", 1};
    bundle.items[9] = {"2000001", 2.5};
    EXPECT_EQ(roundTrip(*db, BundleColumns(), BundleRow, BundleFromRow, bundle), bundle);

    const PromotionRecord promotion{731, "12", "2009-10-01 07:00:00", "2009-10-31 22:00:00", 3, 1.25, "2000002", 1,
                                    "Three for two"};
    EXPECT_EQ(roundTrip(*db, PromotionColumns(), PromotionRow, PromotionFromRow, promotion), promotion);
}

TEST_F(RowsFixture, JournalAndParameterColumnsAreThoseOfTheTables) {
    // Every column the page builders read exists, in the order they read it.
    db->execute("INSERT INTO plurecord(billnumber,pluid,price,quantity,time,operation,depart,cashier,opentable,sid) "
                "VALUES(42,'12',12.34,1.5,'2009-10-07 09:05:00',1,2,3,0,1003)");
    auto rows = db->query(JournalColumns().select());
    ASSERT_EQ(rows.size(), 1u);
    const JournalRecord j = JournalFromRow(rows.rows[0]);
    EXPECT_EQ(j, (JournalRecord{1003, 42, "12", 12.34, 1.5, "2009-10-07 09:05:00", 1, 2, 3, 0}));
    std::vector<std::string> names;
    for (const auto& c : ParamColumns()) names.push_back(c.name);
    EXPECT_EQ(names, db->columns("params"));
}
