// The PLU import without windows: row conversions and refusals, the data
// rows, slots, duplicates, the row limit, the transaction, and real files of
// every format.
#include "TempDir.h"
#include "app/CodePage.h"
#include "app/Messages.h"
#include "db/Schema.h"
#include "import/PluImport.h"
#include "import/SheetReaders.h"
#include "records/Limits.h"

#include <gtest/gtest.h>
#include <xlsxwriter.h>

#include <tuple>

using namespace ecr;
using namespace ecr::import;
using records::PluRecord;
using sheets::ReadCell;
namespace limitmsg = records::limitmsg;

namespace {

ReadCell T(std::string text) {
    ReadCell c;
    c.type = ReadCell::Type::Text;
    c.text = std::move(text);
    return c;
}
ReadCell N(double v) {
    ReadCell c;
    c.type = ReadCell::Type::Number;
    c.number = v;
    c.text = sheets::detail::NumberText(v);
    return c;
}
ReadCell D(const char* text) {
    ReadCell c;
    c.type = ReadCell::Type::Date;
    c.text = text;
    return c;
}
const ReadCell E;

// A sheet with a heading row and the given data rows.
sheets::ReadSheet sheetOf(std::vector<std::vector<ReadCell>> data) {
    sheets::ReadSheet s;
    s.rows.push_back({T("Code"), T("Name"), T("Dept"), T("Price")});
    for (auto& r : data) s.rows.push_back(std::move(r));
    return s;
}

// A sheet of n data rows with codes 1..n.
sheets::ReadSheet numberedSheet(int n, int firstCode = 1) {
    std::vector<std::vector<ReadCell>> rows;
    for (int i = 0; i < n; ++i) rows.push_back({N(firstCode + i), T("P" + std::to_string(firstCode + i)), N(1), N(2.5)});
    return sheetOf(std::move(rows));
}

struct ImportTest : ::testing::Test {
    TempDir dir;
    std::unique_ptr<db::Database> db = db::OpenOrCreate(dir.file("ecr.db"));
    ImportSettings english{3, 2, 2};

    void SetUp() override { ASSERT_TRUE(SetRegisterCodePage("CP936")); }

    ImportPlan write(const sheets::ReadSheet& s, const ImportSettings& settings) {
        ImportWriter w(*db, s, settings);
        w.finish();
        return w.plan();
    }
    void addPlu(const std::string& id, long long sid, const std::string& name = "old") {
        db->execute("INSERT INTO plu(id,name,depart,price,safestock,stockvalue,a0,memberprice,AveragePrice,sid) "
                    "VALUES(?,?,1,1,0,0,0,0,0,?)",
                    {id, name, sid});
    }
    // The first column of a query's rows.
    std::vector<std::string> column(const std::string& sql) {
        std::vector<std::string> out;
        for (const auto& r : db->query(sql).rows) out.push_back(r[0].toText());
        return out;
    }
    // id -> sid of the table, in sid order, as "id:sid" texts.
    std::vector<std::string> slots() { return column("SELECT id || ':' || sid FROM plu ORDER BY sid, id"); }
    std::string text(const Note& n) {
        return NoteText(n, [this](int id) {
            int i = id;
            return GetMessage(*db, 3, i);
        });
    }
};

} // namespace

TEST_F(ImportTest, EachColumnIsConvertedOrTheRowRejectedWithItsReason) {
    struct Case {
        const char* what;
        std::vector<ReadCell> row;
        int lang;
        PluRecord stored;           // when accepted (sid not compared)
        std::optional<Note> reason; // when rejected
        std::vector<Note> warnings;
    };
    auto rec = [](std::string id, std::string name, int depart, double price = 0, double member = 0, double average = 0,
                  double safe = 0, double stock = 0, int a0 = 0) {
        PluRecord r;
        r.id = std::move(id);
        r.name = std::move(name);
        r.depart = depart;
        r.price = price;
        r.memberprice = member;
        r.averagePrice = average;
        r.safestock = safe;
        r.stockvalue = stock;
        r.a0 = a0;
        return r;
    };
    const std::string elevenHan = "一二三四五六七八九十百";
    const Case cases[] = {
        {"all columns", {T("001"), T("Tea"), N(3), N(2.5), N(2.3), N(2), N(5), N(100), T("YES")}, 3,
         rec("001", "Tea", 3, 2.5, 2.3, 2, 5, 100, 1)},
        {"numeric code as shown", {N(1001), T("Cola")}, 3, rec("1001", "Cola", 0)},
        {"blanks, tab and line ends", {T("  12\t34 "), T(" A\tB\r\nC ")}, 3, rec("1234", "ABC", 0)},
        {"16 digits", {T("1234567890123456"), T("x")}, 3, rec("1234567890123456", "x", 0)},
        {"21 characters cut to 20, more than 16 digits", {T("123456789012345678901"), T("x")}, 3, {},
         Note{limitmsg::BadCode, 111307, {}}},
        {"17 digits", {T("12345678901234567"), T("x")}, 3, {}, Note{limitmsg::BadCode, 111307, {}}},
        {"letters in the code", {T("12a"), T("x")}, 3, {}, Note{limitmsg::BadCode, 111307, {}}},
        {"a date is no code", {D("2024-01-02"), T("x")}, 3, {}, Note{msg::DateCode, 111307, {"2024-01-02"}}},
        {"20 characters of a longer name", {T("5"), T("ABCDEFGHIJKLMNOPQRSTUVWXYZ")}, 3, rec("5", "ABCDEFGHIJKLMNOPQRST", 0)},
        {"eleven Chinese characters cut to 20 bytes", {T("5"), T(elevenHan)}, 3, rec("5", "一二三四五六七八九十", 0), {},
         {Note{msg::NameCut, 111308, {"20", "一二三四五六七八九十"}}}},
        {"a character the code page lacks", {T("5"), T("Smile \U0001F600")}, 3, {},
         Note{limitmsg::Unencodable, 111308, {"\U0001F600"}}},
        {"department: first two characters", {T("5"), T("x"), N(123)}, 3, rec("5", "x", 12)},
        {"department text 123", {T("5"), T("x"), T("123")}, 3, rec("5", "x", 12)},
        {"department 5.7", {T("5"), T("x"), N(5.7)}, 3, rec("5", "x", 5)},
        {"department by the leading number", {T("5"), T("x"), T("8x")}, 3, rec("5", "x", 8)},
        {"negative department", {T("5"), T("x"), N(-5)}, 3, {}, Note{limitmsg::OutOfRange, 111309, {"-5", "0", "100"}}},
        {"prices by the leading number, four decimals", {T("5"), T("x"), E, T("1.5 kg"), N(2.123456), T("abc")}, 3,
         rec("5", "x", 0, 1.5, 2.1235, 0)},
        {"price beyond four bytes", {T("5"), T("x"), E, N(30000000)}, 3, {},
         Note{limitmsg::OutOfRange, 111310, {"30000000", "-21474836.48", "21474836.47"}}},
        {"average price beyond four bytes", {T("5"), T("x"), E, E, E, N(-30000000)}, 3, {},
         Note{limitmsg::OutOfRange, 111449, {"-30000000", "-21474836.48", "21474836.47"}}},
        {"stock", {T("5"), T("x"), E, E, E, E, N(-3), N(1.25)}, 3, rec("5", "x", 0, 0, 0, 0, -3, 1.25)},
        {"stock beyond four bytes", {T("5"), T("x"), E, E, E, E, E, N(3e6)}, 3, {},
         Note{limitmsg::OutOfRange, 111312, {"3000000", "-2147483.647", "2147483.647"}}},
        {"the first reason is the one given", {T("x1"), T("\U0001F600"), N(-1)}, 3, {}, Note{limitmsg::BadCode, 111307, {}}},
        {"yes in any case", {T("5"), T("x"), E, E, E, E, E, E, T(" yes ")}, 3, rec("5", "x", 0, 0, 0, 0, 0, 0, 1)},
        {"是 is no yes in English", {T("5"), T("x"), E, E, E, E, E, E, T("是")}, 3, rec("5", "x", 0)},
        {"是 in Simplified Chinese", {T("5"), T("x"), E, E, E, E, E, E, T("是")}, 1, rec("5", "x", 0, 0, 0, 0, 0, 0, 1)},
        {"YES is no yes in Simplified Chinese", {T("5"), T("x"), E, E, E, E, E, E, T("YES")}, 1, rec("5", "x", 0)},
    };
    for (const auto& c : cases) {
        ImportSettings s = english;
        s.langCode = c.lang;
        const ImportPlan plan = PlanImport(*db, sheetOf({c.row}), s);
        ASSERT_EQ(plan.rows.size(), 1u) << c.what;
        const PlannedRow& r = plan.rows[0];
        EXPECT_EQ(r.sheetRow, 2) << c.what;
        EXPECT_EQ(r.reason, c.reason) << c.what << (r.reason ? ": " + text(*r.reason) : "");
        EXPECT_EQ(r.warnings, c.warnings) << c.what;
        if (c.reason) {
            EXPECT_EQ(r.action, Action::Reject) << c.what;
            continue;
        }
        EXPECT_EQ(r.action, Action::Insert) << c.what;
        PluRecord got = r.plu;
        got.sid = 0;
        EXPECT_EQ(got, c.stored) << c.what << ": " << got.id << " " << got.name << " " << got.depart << " " << got.price
                                 << " " << got.memberprice;
    }
}

TEST_F(ImportTest, DataRowsEndBeforeTheFirstEmptyColumnA) {
    EXPECT_EQ(CountDataRows(sheetOf({})), 0);
    EXPECT_EQ(CountDataRows(sheetOf({{E, T("no code")}, {T("1"), T("after")}})), 0);
    EXPECT_EQ(CountDataRows(sheetOf({{T("1")}, {T("2")}, {T("   "), T("blank code")}, {T("4")}})), 2);
    EXPECT_EQ(CountDataRows(sheetOf({{T("1")}, {D("2024-01-02")}, {T("3")}})), 3);

    // An empty A2 imports nothing, and that is a successful import.
    addPlu("9", 0);
    const ImportPlan plan = write(sheetOf({{E, T("no code")}, {T("1"), T("after")}}), english);
    EXPECT_EQ(plan.rows.size(), 0u);
    EXPECT_EQ(slots(), std::vector<std::string>{"9:0"});
}

TEST_F(ImportTest, NewRowsTakeSlotsZeroToSixtyThreeOfEachHundredAndUpdatesKeepTheirs) {
    const ImportPlan first = write(numberedSheet(70), english);
    EXPECT_EQ(first.inserts, 70);
    std::vector<std::string> expected;
    for (int i = 0; i < 70; ++i) expected.push_back(std::to_string(i + 1) + ":" + std::to_string(i < 64 ? i : 100 + i - 64));
    EXPECT_EQ(slots(), expected);

    // The same file again: every row an update, no new slot.
    db->execute("UPDATE plu SET name='changed'");
    const ImportPlan again = write(numberedSheet(70), english);
    EXPECT_EQ(again.inserts, 0);
    EXPECT_EQ(again.updates, 70);
    EXPECT_EQ(slots(), expected);
    EXPECT_EQ(db->scalar("SELECT count(*) FROM plu WHERE name='changed'").toInt(), 0);

    // After 163 comes 200.
    db->execute("DELETE FROM plu");
    addPlu("a", 163);
    write(numberedSheet(2), english);
    EXPECT_EQ(slots(), (std::vector<std::string>{"a:163", "1:200", "2:201"}));
}

TEST_F(ImportTest, NewRowsStayInsideTheRegisterPagesUpdatesNeedNoPlace) {
    // After the last place of the last page comes the lowest free one; with
    // every place taken a new row is rejected while an update still goes in.
    struct Case {
        int keyboard;
        int pages;
    };
    for (const Case c : {Case{0, 64}, Case{1, 160}}) {
        db->execute("DELETE FROM plu");
        const long long last = (c.pages - 1) * 100LL + 63;
        addPlu("7", last - 1);
        ImportSettings s = english;
        s.keyboard = c.keyboard;
        const ImportPlan first = write(sheetOf({{T("1")}, {T("2")}}), s);
        ASSERT_EQ(first.inserts, 2) << c.keyboard;
        EXPECT_EQ(first.rows[0].plu.sid, last);
        EXPECT_EQ(first.rows[1].plu.sid, 0);

        db::Transaction tx(*db);
        for (int p = 0; p < c.pages; ++p)
            for (int i = 0; i < 64; ++i)
                if (const long long sid = p * 100LL + i; sid != 0 && sid != last - 1 && sid != last)
                    addPlu("f" + std::to_string(sid), sid);
        tx.commit();
        const ImportPlan full = write(sheetOf({{T("3")}, {T("7"), T("new name")}}), s);
        ASSERT_EQ(full.rows.size(), 2u);
        EXPECT_EQ(full.rows[0].action, Action::Reject);
        EXPECT_EQ(full.rows[0].reason, (Note{msg::NoRoom, 0, {std::to_string(c.pages)}}));
        EXPECT_EQ(full.rows[1].action, Action::Update);
        EXPECT_EQ(db->scalar("SELECT name FROM plu WHERE id='7'").toText(), "new name");
        EXPECT_EQ(db->scalar("SELECT count(*) FROM plu").toInt(), c.pages * 64);
    }
}

TEST_F(ImportTest, OfRowsWithTheSameCodeTheLastIsImported) {
    const ImportPlan plan = write(sheetOf({{T("7"), T("first"), N(1)},
                                           {T("8"), T("other")},
                                           {T("7"), T("second"), N(2)},
                                           {T("7"), T("\U0001F600 third"), N(3)}, // rejected: cannot win
                                           {T(" 7 "), T("last"), N(4)}}),
                                  english);
    ASSERT_EQ(plan.rows.size(), 5u);
    EXPECT_EQ(plan.rows[0].reason, (Note{msg::Duplicate, 0, {"6"}}));
    EXPECT_EQ(plan.rows[2].reason, (Note{msg::Duplicate, 0, {"6"}}));
    EXPECT_EQ(plan.rows[3].reason->messageId, limitmsg::Unencodable);
    EXPECT_EQ(plan.rows[4].action, Action::Insert);
    EXPECT_EQ(plan.inserts, 2);
    EXPECT_EQ(plan.rejects, 3);
    EXPECT_EQ(db->scalar("SELECT name || '/' || depart || '/' || sid FROM plu WHERE id='7'").toText(), "last/4/1");
}

TEST_F(ImportTest, AtMost10240RowsAndMoreLeaveTheTableUnchanged) {
    addPlu("keep", 5);
    // Files written by libxlsxwriter with 10,240 and 10,241 data rows.
    auto writeFile = [&](int rows) {
        const std::string path = dir.file("rows" + std::to_string(rows) + ".xlsx");
        lxw_workbook* wb = workbook_new(path.c_str());
        lxw_worksheet* ws = workbook_add_worksheet(wb, nullptr);
        worksheet_write_string(ws, 0, 0, "Code", nullptr);
        for (int r = 1; r <= rows; ++r) {
            worksheet_write_number(ws, static_cast<lxw_row_t>(r), 0, 100000 + r, nullptr);
            worksheet_write_string(ws, static_cast<lxw_row_t>(r), 1, "Item", nullptr);
        }
        EXPECT_EQ(workbook_close(wb), LXW_NO_ERROR);
        return path;
    };
    const std::string tooMany = writeFile(kMaxImportRows + 1);
    try {
        ReadImportFile(tooMany);
        ADD_FAILURE() << "10241 rows were read";
    } catch (const ImportRefused& e) {
        EXPECT_EQ(e.note(), (Note{msg::TooManyRows, 0, {"10240"}}));
    }
    EXPECT_THROW(PlanImport(*db, numberedSheet(kMaxImportRows + 1), english), ImportRefused);
    EXPECT_THROW(ImportWriter(*db, numberedSheet(kMaxImportRows + 1), english), ImportRefused);
    EXPECT_EQ(slots(), std::vector<std::string>{"keep:5"});
    EXPECT_EQ(db->transactionDepth(), 0);

    // 10,240 rows fill the 160 pages of an empty table exactly: slots 0 to 15963.
    db->execute("DELETE FROM plu");
    const ImportPlan plan = write(ReadImportFile(writeFile(kMaxImportRows)), english);
    EXPECT_EQ(plan.inserts, kMaxImportRows);
    EXPECT_EQ(plan.rejects, 0);
    EXPECT_EQ(db->scalar("SELECT count(*) FROM plu").toInt(), kMaxImportRows);
    EXPECT_EQ(db->scalar("SELECT max(sid) FROM plu").toInt(), 15963);
}

TEST_F(ImportTest, ADatabaseErrorMidImportLeavesTheTableAsItWas) {
    addPlu("1", 0, "before");
    db->execute("CREATE TRIGGER no_500 BEFORE INSERT ON plu WHEN NEW.id = '500' "
                "BEGIN SELECT RAISE(ABORT, 'disk is full'); END");
    ImportWriter w(*db, numberedSheet(600), english);
    EXPECT_TRUE(w.step(300)); // row 1 updated, rows 2..300 inserted
    EXPECT_EQ(db->scalar("SELECT count(*) FROM plu").toInt(), 300);
    EXPECT_THROW(w.finish(), db::DbError);
    EXPECT_EQ(slots(), std::vector<std::string>{"1:0"});
    EXPECT_EQ(db->scalar("SELECT name FROM plu").toText(), "before");
    EXPECT_EQ(db->transactionDepth(), 0);
    EXPECT_THROW(w.finish(), std::logic_error); // a rolled-back import is not finished later

    // A writer dropped before it finishes rolls back too.
    db->execute("DROP TRIGGER no_500");
    {
        ImportWriter dropped(*db, numberedSheet(10), english);
        dropped.step(10);
    }
    EXPECT_EQ(slots(), std::vector<std::string>{"1:0"});
}

// The fixtures of every format give the same import; what each rejected row
// says is checked where ecrctl prints it.
TEST_F(ImportTest, FilesOfEveryFormatImportAlike) {
    const std::vector<std::string> table = {
        "001|Tea|3|2.5|2.3|2.0|5.0|100.0|1|0",   "1002|Formula|4|5.0|0.0|0.0|1.5|7.25|1|1",
        "2002|一二三四五六七八九十|6|9.99|9.5|8.0|1.0|2.0|0|2", "1001|Colalater|7|4.5|4.0|3.5|0.0|60.0|1|3",
        "3003|Spaced|8|1.5|0.0|0.0|0.0|0.0|0|4"};
    for (const char* file : {"plu-openpyxl.xlsx", "plu.ods", "plu.xls"}) {
        db->execute("DELETE FROM plu");
        const ImportPlan plan = write(ReadImportFile(std::string(ECR_FIXTURES) + "/" + file), english);
        EXPECT_EQ(plan.rows.size(), 9u) << file;
        EXPECT_EQ(std::tie(plan.inserts, plan.updates, plan.rejects, plan.warnings), std::tuple(5, 0, 4, 1)) << file;
        EXPECT_EQ(column("SELECT id||'|'||name||'|'||depart||'|'||price||'|'||memberprice||'|'||AveragePrice||'|'||"
                         "safestock||'|'||stockvalue||'|'||a0||'|'||sid FROM plu ORDER BY sid"),
                  table)
            << file;
    }

    // The GBK text file, in Simplified Chinese: 是 sets the flag.
    db->execute("DELETE FROM plu");
    ImportSettings chinese = english;
    chinese.langCode = 1;
    const ImportPlan plan = write(ReadImportFile(std::string(ECR_FIXTURES) + "/plu-gbk.csv"), chinese);
    EXPECT_EQ(plan.inserts, 4);
    EXPECT_EQ(column("SELECT id||'|'||name||'|'||depart||'|'||price||'|'||a0||'|'||sid FROM plu ORDER BY sid"),
              (std::vector<std::string>{"0012|苹果|1|3.5|1|0", "13|梨;红|2|4.0|0|1", "14|葡萄新疆|2|6.8|0|2",
                                        "15|\"大\"枣|3|12.0|0|3"}));
}
