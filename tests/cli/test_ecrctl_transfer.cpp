// ecrctl against ecr-sim over a real pseudo-terminal: every record kind in
// the directions it has, the clock, bitmaps and pictures as the logo, and what
// register faults, usage errors and port errors leave behind.
#include "RegisterCli.h"
#include "records/Fields.h"
#include "records/Journal.h"
#include "records/Logo.h"
#include "records/PageKinds.h"
#include "records/Plu.h"
#include "records/picture/LogoPicture.h"

#include <QImage>

#include <filesystem>

using namespace ecr;
using namespace ecr::records;
using TransferE2E = RegisterCli;

namespace {

std::vector<int> range(int first, int last) {
    std::vector<int> v;
    for (int a = first; a <= last; ++a) v.push_back(a);
    return v;
}

// The bytes of a page outside [from, to).
Bytes outside(const Bytes& page, std::size_t from, std::size_t to) {
    Bytes b(page.begin(), page.begin() + static_cast<std::ptrdiff_t>(from));
    b.insert(b.end(), page.begin() + static_cast<std::ptrdiff_t>(to), page.end());
    return b;
}

} // namespace

TEST_F(TransferE2E, EveryKindUploadedFromTheRegisterAndDownloadedBack) {
    // Rows that the register's pages replace.
    db->executeScript("INSERT INTO cashier(id,name) VALUES(7,'Gone');"
                      "INSERT INTO depart(id,name) VALUES(100,'Gone');"
                      "INSERT INTO member(userid,username,sid) VALUES('999','Gone',5);"
                      "INSERT INTO bundle(bundlenumber,bundlename,sid) VALUES('999','Gone',5);"
                      "INSERT INTO promotion(address,promotionname,pluid) VALUES(5,'Gone','1');"
                      "INSERT INTO fiscal(fyear,fday,mdate) VALUES(1999,1,'1999-01-01 00:00:00');");
    struct Kind {
        const char* name;
        std::vector<int> pages; // read by the upload, written by the download
        const char* sql;        // checked after the upload
        const char* stored;
        bool written;
    };
    // No info row: keyboard 2, so 160 PLU pages.
    const Kind kinds[] = {
        {"params", {kind::Params}, "SELECT NoteHead1 || '|' || NoteEnd1 || '|' || PointEn || '|' || Price5 FROM params",
         "CORNER SHOP|Thank you for your visit!|2|USD", true},
        {"cashiers", {kind::Cashier},
         "SELECT count(*) || '|' || (SELECT a7 FROM cashier WHERE name='Anna Berg') FROM cashier", "6|0", true},
        {"departments", {kind::Depart},
         "SELECT count(*) || '|' || (SELECT name FROM depart WHERE id=8) || '|' || "
         "(SELECT price FROM depart WHERE id=9) FROM depart",
         "12|饮料|6.8", true},
        {"keys", {kind::Keyboard},
         "SELECT count(*) || '|' || sum(function='P') || '|' || "
         "(SELECT content FROM hotkey WHERE keyaddress=151 AND function='F') FROM hotkey",
         "385|24|151", true},
        {"plu", range(4192, 4351),
         "SELECT count(*) || '|' || (SELECT name || '|' || price || '|' || safestock || '|' || stockvalue FROM plu "
         "WHERE id='6901234567908') || '|' || (SELECT safestock FROM plu WHERE id='6901234567892') FROM plu",
         "100|Cola 0.33l|1.2|5.0|18.0|-2.0", true}, // the newer stock slot; a negative minimum stock
        {"members", range(4144, 4175), "SELECT group_concat(userid, ',') FROM (SELECT userid FROM member ORDER BY sid)",
         "13800138000,13912345678,1001,1002,1003,1004", true},
        {"bundles", range(4176, 4191), "SELECT group_concat(bundlenumber, ',') FROM bundle", "501,502,503", true},
        {"promotions", range(4136, 4143),
         "SELECT group_concat(promotionname, ',') || '|' || (SELECT edate FROM promotion WHERE address=0) "
         "FROM (SELECT * FROM promotion ORDER BY address)",
         "Cola six-pack,2 pizzas,Coffee + croissant,Milk week|2009-10-31 23:59:00", true},
        {"fiscal", range(4096, 4111),
         "SELECT count(*) || '|' || (SELECT fday || '|' || saleprice || '|' || bill FROM fiscal "
         "WHERE mdate='2009-05-15 00:00:00') FROM fiscal",
         "135|143|891.45|113", false},
        {"flashcash", {kind::FlashCash}, "SELECT group_concat(total, ',') FROM (SELECT total FROM flashcash ORDER BY type)",
         "1024.75,455.1,64.8,200.0,0.0,45.0,0.0,15.5,2650.9,0.0,8.2,99.99", false},
    };
    auto sim = start(demo);
    for (const Kind& k : kinds) {
        SCOPED_TRACE(k.name);
        const Result r = run(*sim, {"upload", k.name});
        EXPECT_EQ(r.code, 0) << r.err;
        EXPECT_EQ(r.out, text(111235) + "\n");
        EXPECT_EQ(sim->requests("read"), k.pages);
        EXPECT_EQ(value(k.sql), k.stored);
    }
    // An upload that continues at a later page keeps the rows of the first.
    ASSERT_EQ(run(*sim, {"upload", "members", "--pages", "2-32"}).code, 0);
    EXPECT_EQ(value("SELECT count(*) FROM member"), "6");
    sim->log();

    db->execute("UPDATE plu SET price=1.25 WHERE id='6901234567908'");
    db->execute("UPDATE params SET NoteHead1='NEW SHOP NAME'");
    const std::string plus = dump("plu", "sid");
    for (const Kind& k : kinds) {
        if (!k.written) continue;
        SCOPED_TRACE(k.name);
        const Result r = run(*sim, {"download", k.name});
        EXPECT_EQ(r.code, 0) << r.err;
        EXPECT_EQ(r.out, text(111118) + "\n");
        std::vector<std::string> expected;
        if (k.pages[0] == kind::Params) expected.push_back("read 4112 page"); // the register's own page first
        for (int a : k.pages) expected.push_back("write " + std::to_string(a) + " ok");
        EXPECT_EQ(sim->log(), expected);
    }
    // Pages go back byte for byte but for the edits, and PLU stocks, which
    // go back in the first of their two slots.
    const auto mem = registerNow();
    for (const Kind& k : kinds) {
        if (!k.written || k.pages[0] == kind::Plu) continue;
        for (int a : k.pages) {
            if (a == kind::Params) {
                const Bytes params = mem.read(a);
                EXPECT_EQ(std::string(params.begin() + 280, params.begin() + 294), "NEW SHOP NAME ");
                // The bytes no column holds are the register's own.
                EXPECT_EQ(outside(params, 280, 323), outside(demo.read(a), 280, 323));
            } else {
                EXPECT_EQ(mem.read(a), demo.read(a)) << a;
            }
        }
    }
    auto cola = DecodePlu(RecordAt(ByteView(mem.read(kind::Plu)), 1, kPluRecordSize), 0, 1, 2);
    ASSERT_TRUE(cola);
    EXPECT_DOUBLE_EQ(cola->price, 1.25);
    EXPECT_DOUBLE_EQ(cola->stockvalue, 18);
    // What was written comes back as it was, negative minimum stock included.
    ASSERT_EQ(run(*sim, {"upload", "plu", "--pages", "1-2"}).code, 0);
    EXPECT_EQ(dump("plu", "sid"), plus);
}

TEST_F(TransferE2E, JournalFollowsTheAllocationTableAndEndsOnAnErasedPage) {
    auto sim = start(demo);
    for (const char* k : {"plu", "bundles", "departments"}) ASSERT_EQ(run(*sim, {"upload", k}).code, 0) << k;
    sim->log();
    // Version 320: the allocation table says pages 0, 2, 3 and 4 hold data;
    // page 3 is erased, so the read ends there and page 4 is never asked for.
    Result r = run(*sim, {"upload", "journal"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err, "end of data after page 4\n");
    EXPECT_EQ(sim->requests("read"), (std::vector<int>{4134, 4135, 4352, 4354, 4355}));
    EXPECT_EQ(value("SELECT count(*) || '|' || (SELECT min(sid) || '-' || max(sid) FROM plurecord WHERE sid < 1000) "
                    "|| '|' || (SELECT min(sid) || '-' || max(sid) FROM plurecord WHERE sid >= 1000) FROM plurecord"),
              "96|0-47|2000-2047");

    // Written back: the allocation pages first, then the pages it marks.
    r = run(*sim, {"download", "journal"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(sim->requests("write"), (std::vector<int>{4134, 4135, 4352, 4354, 4355, 4356}));
    const auto mem = registerNow();
    for (int address : {4352, 4354}) {
        Bytes expected = demo.read(address);
        // A bundle line is kept with department 0, so it goes back as one.
        for (int i = 0; i < kJournalRecords; ++i)
            if (expected[static_cast<std::size_t>(i * 32 + 25)] == kBundleDepart) expected[static_cast<std::size_t>(i * 32 + 25)] = 0;
        EXPECT_EQ(mem.read(address), expected) << address;
    }
    EXPECT_EQ(mem.read(4134), demo.read(4134));
    EXPECT_EQ(mem.read(4356), Bytes(kPageSize, 0xFF)); // never read, so no rows to write
}

TEST_F(TransferE2E, SetClock) {
    auto sim = start({});
    Result r = run(*sim, {"set-clock", "--time", "2009-10-17 09:05"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, text(111415) + "\n");
    EXPECT_EQ(sim->lines(), "clock 2009-10-17 09:05 ok\n");
    r = run(*sim, {"set-clock"}); // this computer's time
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(run(*sim, {"set-clock", "--time", "2009-13-01 09:05"}).code, 2);
    EXPECT_EQ(run(*sim, {"set-clock", "--time", "yesterday"}).code, 2);
}

namespace {

// A BMP file: 16 x 2 pixels at the given bits per pixel, rows bottom first.
void writeBitmap(const std::string& path, int bitsPerPixel, const Bytes& pixels) {
    Bytes f(62, 0);
    f[0] = 'B';
    f[1] = 'M';
    f[2] = static_cast<std::uint8_t>(f.size() + pixels.size());
    f[10] = 62;
    f[14] = 40;
    f[18] = 16; // width
    f[22] = 2;  // height
    f[26] = 1;
    f[28] = static_cast<std::uint8_t>(bitsPerPixel);
    f.insert(f.end(), pixels.begin(), pixels.end());
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(f.data()), static_cast<std::streamsize>(f.size()));
}

} // namespace

TEST_F(TransferE2E, SendLogoWritesTheConvertedBitmap) {
    auto sim = start({});
    const std::string bmp = dir.file("logo.bmp");
    writeBitmap(bmp, 1, {0x00, 0xFF, 0, 0, 0x0F, 0xF0, 0, 0}); // bottom row, then top row
    Result r = run(*sim, {"send-logo", QString::fromStdString(bmp)});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, text(111128) + "\n");
    EXPECT_EQ(sim->lines(), "write 4128 ok\n");
    Bytes expected(4096, 0x00);
    expected[0] = 0xF0; // top row first, inverted
    expected[1] = 0x0F;
    expected[2] = 0xFF;
    EXPECT_EQ(registerNow().read(kind::Logo), expected);

    writeBitmap(bmp, 24, Bytes(2 * 48, 0));
    r = run(*sim, {"send-logo", QString::fromStdString(bmp)});
    EXPECT_EQ(r.code, 2);
    // A colour bitmap could be converted: the refusal says how.
    EXPECT_EQ(r.err, text(111216) + "\n(--dither converts it into a logo)\n");
    r = run(*sim, {"send-logo", QString::fromStdString(dir.file("none.bmp"))});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err, text(111127) + " (" + dir.file("none.bmp") + ")\n");
    r = run(*sim, {"send-logo", QString::fromStdString(dir.path.string())});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err, text(120108, {dir.path.string()}) + "\n");
    EXPECT_EQ(sim->lines(), "write 4128 ok\n"); // the refused files never reached the register

    // A 700 x 200 picture: refused as it is, reduced to fit the logo pages
    // and dithered when asked.
    QImage picture(700, 200, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) picture.setPixel(x, y, qRgb(x * 255 / 699, 128, y));
    const QString png = QString::fromStdString(dir.file("shop.png"));
    ASSERT_TRUE(picture.save(png, "PNG"));
    r = run(*sim, {"send-logo", png});
    EXPECT_EQ(r.code, 2) << r.err;
    EXPECT_EQ(r.err, text(kLogoNotBitmapId) + "\n(--dither converts it into a logo)\n");
    EXPECT_EQ(sim->lines(), "write 4128 ok\n");
    sim->log();

    r = run(*sim, {"send-logo", "--dither", png});
    ASSERT_EQ(r.code, 0) << r.err;
    const records::LogoChoice dithered = records::ReadLogoPicture(png.toStdString(), true);
    ASSERT_TRUE(dithered.ok() && dithered.scaled());
    const std::vector<Bytes> pages = records::LogoPages(dithered.image.bytes);
    ASSERT_EQ(sim->requests("write"), range(kind::Logo, kind::Logo + static_cast<int>(pages.size()) - 1));
    const auto mem = registerNow();
    for (std::size_t p = 0; p < pages.size(); ++p) EXPECT_EQ(mem.read(kind::Logo + static_cast<int>(p)), pages[p]) << p;
}

TEST_F(TransferE2E, RegisterFaultsFailWithTheirMessageAndChangeNothing) {
    struct Fault {
        const char* fault;
        const char* command;
        const char* kind;
        std::string message;
    };
    const Fault faults[] = {
        {"checksum@4113", "upload", "cashiers", text(111212)},
        {"address@4116", "upload", "departments", text(111211)},
        {"result3@4113", "upload", "cashiers", text(111213)},
        {"result10@4113", "upload", "cashiers", "result = &HA"}, // a code without a text
        {"silence@4113", "upload", "cashiers", text(111120)},    // the real clock's time-out
        {"result1@4113", "download", "cashiers", text(111214)},
        {"result3@4116", "download", "departments", text(111213)},
        {"checksum@4116", "download", "departments", text(111214)},
    };
    db->executeScript("INSERT INTO cashier(id,name,passwd) VALUES(7,'Kept','77');"
                      "INSERT INTO depart(id,name,price,tax) VALUES(3,'Kept',1.25,7);");
    const std::string tables = dump("cashier") + dump("depart");
    for (const Fault& f : faults) {
        SCOPED_TRACE(f.fault);
        auto sim = start(demo, {"--fault", f.fault});
        const Result r = run(*sim, {f.command, f.kind});
        EXPECT_EQ(r.code, 1);
        EXPECT_EQ(r.err, f.message + "\n");
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(dump("cashier") + dump("depart"), tables);
        const auto after = registerNow();
        EXPECT_EQ(after.read(kind::Cashier), demo.read(kind::Cashier));
        EXPECT_EQ(after.read(kind::Depart), demo.read(kind::Depart));
    }
}

TEST_F(TransferE2E, UsageErrorsReachNeitherTheDatabaseNorTheRegister) {
    auto sim = start({});
    const QString usageDb = QString::fromStdString(dir.file("usage.db"));
    const QStringList at{"--db", usageDb, "--port", sim->path};
    const std::vector<QStringList> cases = {
        at + QStringList{"upload"},
        at + QStringList{"upload", "spoons"},
        at + QStringList{"download", "fiscal"},
        at + QStringList{"download", "flashcash"},
        at + QStringList{"upload", "cashiers", "--pages", "1-2"},
        at + QStringList{"upload", "cashiers", "extra"},
        at + QStringList{"upload", "plu", "--pages", "1-2", "--pages", "3-4"},
        at + QStringList{"send-logo"},
        at + QStringList{"send-logo", "logo.png", "--dither", "--dither"},
        at + QStringList{"set-clock", "--time", "2009-10-17 09:05", "--time", "2009-10-17 09:06"},
        QStringList{"--baud", "115200x"} + at + QStringList{"upload", "cashiers"},
        QStringList{"--baud", "57600.0"} + at + QStringList{"upload", "cashiers"},
        QStringList{"--baud", "1200"} + at + QStringList{"upload", "cashiers"},
        QStringList{"--lang", "8"} + at + QStringList{"upload", "cashiers"},
        QStringList{"--lang", "3x"} + at + QStringList{"upload", "cashiers"},
        QStringList{"--codepage", "NO-SUCH-PAGE"} + at + QStringList{"upload", "cashiers"},
        QStringList{"--db", "", "--port", sim->path, "upload", "cashiers"},
    };
    for (const QStringList& args : cases) {
        const Result r = cli_harness::RunEcrctl(args);
        EXPECT_EQ(r.code, 2) << args.join(' ').toStdString() << "\n" << r.err;
        EXPECT_EQ(r.err.rfind("ecrctl: ", 0), 0u) << r.err;
    }
    std::error_code ec;
    EXPECT_FALSE(std::filesystem::exists(usageDb.toStdString(), ec)); // refused before the database was opened
    Result r = cli_harness::RunEcrctl(at + QStringList{"upload", "members", "--pages", "5-3"});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err, text(111526) + "\n");
    EXPECT_EQ(sim->lines(), ""); // none of these reached the register
}

TEST_F(TransferE2E, PortErrorsNameTheDevice) {
    const QString dbArg = QString::fromStdString(dbPath);
    Result r = cli_harness::RunEcrctl({"--db", dbArg, "--port", "/dev/ecr-no-such-port", "upload", "cashiers"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, text(120106, {"/dev/ecr-no-such-port", "No such file or directory"}) + "\n");
    const std::string logText = log();
    EXPECT_NE(logText.find("Location:      Comm_InitComm\r\n"), std::string::npos);
    EXPECT_NE(logText.find("Error Message: /dev/ecr-no-such-port: No such file or directory\r\n"), std::string::npos);
    // A bare name that is a file of the current folder means that file.
    std::ofstream(dir.file("regular.txt")) << "not a port\n";
    r = cli_harness::RunEcrctl({"--db", dbArg, "--port", "regular.txt", "upload", "cashiers"}, 60000,
                               QString::fromStdString(dir.path.string()));
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err.rfind(text(120106, {dir.file("regular.txt"), ""}), 0), 0u) << r.err;
    // --port is for this run only.
    EXPECT_TRUE(db->scalar("SELECT portname FROM info").isNull());
}
