// The logo form's choice of a picture, the database backup and selection
// forms and initialising data, offscreen with marked catalogue texts.
#include "LogoFiles.h"
#include "editors/FormsFixture.h"
#include "maintenance/DbFileForm.h"
#include "maintenance/LogoForm.h"
#include "db/Maintenance.h"
#include "records/Logo.h"
#include "ui/DatabaseSession.h"

#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPixmap>

#include <filesystem>

using namespace ecr;
using namespace ecr::maintenance;
using Icon = ecr::ui::Prompter::Icon;
namespace fs = std::filesystem;

namespace {

// A grey gradient with a black frame, as a photo or drawing would be.
QImage picture(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int g = 255 * x / std::max(1, w - 1);
            img.setPixel(x, y, qRgb(g, g / 2, 255 - g));
        }
    QPainter p(&img);
    p.setPen(Qt::black);
    p.drawRect(0, 0, w - 1, h - 1);
    return img;
}

struct LogoFormTest : FormsFixture {
    static QString label(QWidget* f, const char* name) { return child<QLabel>(f, name)->text(); }
};

struct DbFormTest : FormsFixture {
    ui::DatabaseSession session{App()};
    std::string a = dir.file("a.db");

    DbFormTest() {
        ui::SetSession(&session);
        session.open(a);
        markSession(*session.database());
    }
    ~DbFormTest() override { ui::SetSession(nullptr); }
    // The marked texts on the session's database, which the forms now read.
    void markSession(db::Database& d) {
        d.execute("UPDATE msglist SET Simplified = 'S' || msgid, English = 'E' || msgid WHERE msgid IN "
                  "(111115, 111267, 111268, 111464, 111465, 111596, 111597)");
        d.execute("UPDATE msglist SET Simplified = 'S120711 %1', English = 'E120711 %1' WHERE msgid = 120711");
    }
    std::string log() const {
        std::ifstream in(dir.file("ecr.log"));
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    long long rows(db::Database& d, const char* table) {
        return d.scalar(std::string("SELECT count(*) FROM ") + table).toInt();
    }
};

} // namespace

TEST_F(LogoFormTest, ChoosingAPictureShowsItAsPrintedOrSaysWhyItCannotBeSent) {
    const records::LogoImage mono = PatternLogo(12, 3);
    WriteFile(dir.file("mono.bmp"), records::MonochromeBitmap(mono));
    WriteFile(dir.file("big.bmp"), Bytes(records::kLogoMaxFileSize + 1, 'B'));
    WriteFile(dir.file("notes.bmp"), Bytes(200, 'x'));
    ASSERT_TRUE(picture(40, 20).convertToFormat(QImage::Format_RGB888).save(QString::fromStdString(dir.file("colour.bmp")), "BMP"));
    ASSERT_TRUE(picture(900, 300).save(QString::fromStdString(dir.file("photo.png")), "PNG"));
    const QString tick = "\nS120707 S120700"; // the hint to tick the conversion box

    const struct {
        const char* file;
        bool dither;
        QString error;   // "" when taken
        QString size;    // lblLogoSize
        QString note;    // lblNote
    } cases[] = {
        {"mono.bmp", false, "", "S120701 12 3 6 1", ""},
        {"mono.bmp", true, "", "S120701 12 3 6 1", ""}, // a monochrome bitmap is never dithered
        {"colour.bmp", false, "S111216" + tick, "", "S120707 S120700"},
        {"colour.bmp", true, "", "S120701 40 20 100 1", "S120702 40 20"},
        {"photo.png", false, "S111215" + tick, "", "S120707 S120700"},
        {"photo.png", true, "", "", "S120703 900 300"},
        {"big.bmp", true, "S120709", "", ""},
        {"notes.bmp", true, "S111215", "", ""},
        {"missing.bmp", false, "S111127", "", ""},
    };
    for (const auto& c : cases) {
        LogoForm f;
        child<QCheckBox>(&f, "chkDither")->setChecked(c.dither);
        const qsizetype mark = prompter.shown.size();
        const bool taken = f.choose(QString::fromStdString(dir.file(c.file)));
        EXPECT_EQ(taken, c.error.isEmpty()) << c.file;
        EXPECT_EQ(messagesSince(mark), c.error.isEmpty() ? QStringList{} : QStringList{c.error}) << c.file;
        if (!c.size.isEmpty()) {
            EXPECT_EQ(label(&f, "lblLogoSize"), c.size) << c.file;
        }
        EXPECT_EQ(label(&f, "lblNote"), c.note) << c.file;
        EXPECT_EQ(child<QWidget>(&f, "cmdSaveBmp")->isEnabled(), taken) << c.file;
        const QPixmap shown = child<QLabel>(&f, "Image1")->pixmap();
        if (!taken) {
            EXPECT_TRUE(shown.isNull()) << c.file;
            EXPECT_TRUE(f.logo().bytes.empty()) << c.file;
            continue;
        }
        // The preview is the logo at its own size, ink black on white.
        ASSERT_EQ(shown.size(), QSize(f.logo().width, f.logo().height)) << c.file;
        const QImage img = shown.toImage();
        int wrong = 0;
        for (int y = 0; y < f.logo().height; ++y)
            for (int x = 0; x < f.logo().width; ++x)
                wrong += (img.pixel(x, y) == qRgb(0, 0, 0)) != f.logo().ink(x, y);
        EXPECT_EQ(wrong, 0) << c.file;
        EXPECT_LE(records::MonochromeBitmapSize(f.logo().width, f.logo().height), records::kLogoMaxFileSize) << c.file;
    }

    LogoForm f;
    ASSERT_TRUE(f.choose(QString::fromStdString(dir.file("mono.bmp"))));
    EXPECT_EQ(f.logo(), mono);
}

TEST_F(LogoFormTest, AConvertedLogoSavedAsABitmapReadsBackTheSame) {
    ASSERT_TRUE(picture(300, 120).save(QString::fromStdString(dir.file("photo.png")), "PNG"));
    LogoForm f;
    child<QCheckBox>(&f, "chkDither")->setChecked(true);
    ASSERT_TRUE(f.choose(QString::fromStdString(dir.file("photo.png"))));
    const QString saved = QString::fromStdString(dir.file("photo-logo.bmp"));
    ASSERT_TRUE(f.saveBitmap(saved));
    EXPECT_EQ(prompter.shown.last().text, "S120705 " + saved);
    records::LogoImage back;
    ASSERT_TRUE(records::LogoFileToImage(saved.toStdString(), back).ok());
    EXPECT_EQ(back, f.logo());

    // The saved bitmap is taken as it is, without the conversion.
    LogoForm g;
    ASSERT_TRUE(g.choose(saved));
    EXPECT_EQ(g.logo(), f.logo());
    EXPECT_EQ(child<QLabel>(&g, "lblNote")->text(), "");

    // A folder that cannot be written into is said, and nothing is claimed.
    const qsizetype mark = prompter.shown.size();
    EXPECT_FALSE(f.saveBitmap(QString::fromStdString(dir.file("nowhere/logo.bmp"))));
    ASSERT_EQ(messagesSince(mark).size(), 1);
    EXPECT_TRUE(messagesSince(mark)[0].startsWith("S120109 ")) << messagesSince(mark)[0].toStdString();
}

TEST_F(DbFormTest, BackupRefusesTheOpenDatabaseInTheInterfaceLanguageAndCopiesEverythingElse) {
    session.database()->execute("INSERT INTO depart(id, name) VALUES(1, 'Food')");
    const struct {
        std::string target;
        int lang;
        Icon icon;
        QString title, text;
        bool done;
    } cases[] = {
        {"", 1, Icon::Information, "S111115", "S111267", false},
        {a, 1, Icon::Exclamation, "错误", "数据库备份失败 ! 文件正在使用中! 请选择其他文件名!", false},
        {a, 3, Icon::Exclamation, "Error", "Database File Backup Failed ! File Are Use! Please Try Again!", false},
        {dir.file("copy.db"), 1, Icon::Information, "S111115", "S111268", true},
        {dir.file("copy.db"), 3, Icon::Information, "E111115", "E111268", true}, // replaced after the question
    };
    for (const auto& c : cases) {
        App().langCode = c.lang;
        DbFileForm f(DbFileForm::Mode::Backup);
        setText(&f, "txtFileName", QString::fromStdString(c.target));
        const qsizetype mark = prompter.shown.size();
        EXPECT_EQ(f.save(), c.done) << c.target;
        ASSERT_FALSE(messagesSince(mark).isEmpty()) << c.target;
        const auto& last = prompter.shown.last();
        EXPECT_EQ(last.icon, c.icon) << c.target;
        EXPECT_EQ(last.title, c.title) << c.target;
        EXPECT_EQ(last.text, c.text) << c.target;
        EXPECT_EQ(f.result(), c.done ? QDialog::Accepted : QDialog::Rejected) << c.target;
    }
    // The second copy asked before it replaced the first, No by default.
    EXPECT_EQ(prompter.shown[prompter.shown.size() - 2].text, "E120711 " + QString::fromStdString(dir.file("copy.db")));
    EXPECT_FALSE(prompter.shown[prompter.shown.size() - 2].defaultYes);
    EXPECT_EQ(rows(*db::Database::open(dir.file("copy.db"), false), "depart"), 1);

    // The browse step refuses the open database the same way and keeps the name.
    App().langCode = 1;
    DbFileForm f(DbFileForm::Mode::Backup);
    setText(&f, "txtFileName", "keep.db");
    EXPECT_FALSE(f.takeChosenFile(QString::fromStdString(a)));
    EXPECT_EQ(text(&f, "txtFileName"), "keep.db");
    EXPECT_TRUE(f.takeChosenFile(QString::fromStdString(dir.file("other.db"))));
    EXPECT_EQ(text(&f, "txtFileName"), QString::fromStdString(dir.file("other.db")));

    // Answered No: the older file stays as it was.
    const auto size = fs::file_size(dir.file("copy.db"));
    session.database()->execute("INSERT INTO depart(id, name) VALUES(2, 'More')");
    prompter.answers = {false};
    setText(&f, "txtFileName", QString::fromStdString(dir.file("copy.db")));
    EXPECT_FALSE(f.save());
    EXPECT_EQ(fs::file_size(dir.file("copy.db")), size);
    EXPECT_EQ(rows(*db::Database::open(dir.file("copy.db"), false), "depart"), 1);

    // A copy that fails is logged under the form's location and shown.
    setText(&f, "txtFileName", QString::fromStdString(dir.file("nowhere/copy.db")));
    EXPECT_FALSE(f.save());
    EXPECT_EQ(prompter.shown.last().icon, Icon::Critical);
    EXPECT_TRUE(prompter.shown.last().text.startsWith("S111465\n")) << prompter.shown.last().text.toStdString();
    EXPECT_NE(log().find("frmBackupDb_cmdSave_Click"), std::string::npos);
}

TEST_F(DbFormTest, SelectingAFileWithoutTheEightTablesKeepsTheOpenDatabase) {
    session.database()->execute("INSERT INTO depart(id, name) VALUES(1, 'From A')");
    {
        auto b = db::OpenOrCreate(dir.file("b.db"));
        b->execute("INSERT INTO depart(id, name) VALUES(5, 'From B')");
        auto c = db::OpenOrCreate(dir.file("no-msglist.db"));
        c->execute("DROP TABLE msglist");
    }
    std::ofstream(dir.file("notes.db")) << "some notes, not a database at all, long enough for a header\n";
    const struct {
        std::string file;
        bool taken;
    } cases[] = {
        {dir.file("no-msglist.db"), false},
        {dir.file("notes.db"), false},
        {dir.file("missing.db"), false},
        {dir.file("b.db"), true},
    };
    for (const auto& c : cases) {
        const std::string before = App().dbPath;
        DbFileForm f(DbFileForm::Mode::Select);
        setText(&f, "txtFileName", QString::fromStdString(c.file));
        const qsizetype mark = prompter.shown.size();
        EXPECT_EQ(f.save(), c.taken) << c.file;
        if (c.taken) {
            EXPECT_EQ(App().dbPath, c.file);
            EXPECT_EQ(App().dbFileName, "b.db");
            EXPECT_EQ(App().conn, session.database());
            EXPECT_EQ(App().conn->scalar("SELECT name FROM depart").toText(), "From B");
            EXPECT_TRUE(messagesSince(mark).isEmpty());
            continue;
        }
        EXPECT_EQ(App().dbPath, before) << c.file;
        EXPECT_EQ(App().conn->scalar("SELECT name FROM depart").toText(), "From A") << c.file;
        ASSERT_EQ(messagesSince(mark), QStringList{"S111464"}) << c.file;
        EXPECT_EQ(prompter.shown.last().icon, Icon::Critical);
    }
    EXPECT_FALSE(fs::exists(dir.file("missing.db")));
    const std::string logged = log();
    std::size_t records = 0;
    for (auto at = logged.find("frmSelectDb_cmdSave_Click"); at != std::string::npos;
         at = logged.find("frmSelectDb_cmdSave_Click", at + 1))
        ++records;
    EXPECT_EQ(records, 3u);
    EXPECT_NE(logged.find("msglist"), std::string::npos);
}

TEST_F(DbFormTest, InitialisingDataAsksWithNoAsDefaultAndIsAllOrNothing) {
    db::Database& d = *session.database();
    auto fill = [&] {
        d.executeScript("DELETE FROM plu; DELETE FROM depart; DELETE FROM plurecord;"
                        "INSERT INTO plu(id, name, sid) VALUES('1001', 'Tea', 0);"
                        "INSERT INTO depart(id, name) VALUES(1, 'Food');"
                        "INSERT INTO plurecord(billnumber, pluid) VALUES(1, '1001');");
    };
    fill();
    d.execute("INSERT INTO params(PointEn) VALUES(2)");

    prompter.answers = {false};
    EXPECT_FALSE(InitialiseDataAsked(nullptr));
    ASSERT_EQ(prompter.shown.size(), 1);
    EXPECT_TRUE(prompter.shown[0].question);
    EXPECT_FALSE(prompter.shown[0].defaultYes);
    EXPECT_EQ(prompter.shown[0].text, "S111596");
    EXPECT_EQ(prompter.shown[0].title, "S111115");
    for (const char* t : {"plu", "depart", "plurecord", "params"}) EXPECT_EQ(rows(d, t), 1) << t;

    // A table that cannot be emptied leaves every table as it was.
    d.executeScript("CREATE TRIGGER keep BEFORE DELETE ON plurecord BEGIN SELECT RAISE(ABORT, 'locked'); END;");
    EXPECT_FALSE(InitialiseDataAsked(nullptr));
    EXPECT_EQ(prompter.shown.last().icon, Icon::Critical);
    EXPECT_TRUE(prompter.shown.last().text.contains("locked"));
    for (const char* t : {"plu", "depart", "plurecord"}) EXPECT_EQ(rows(d, t), 1) << t;
    EXPECT_NE(log().find("mnuInitData_Click"), std::string::npos);

    d.executeScript("DROP TRIGGER keep;");
    EXPECT_TRUE(InitialiseDataAsked(nullptr));
    EXPECT_EQ(prompter.shown.last().text, "S111597");
    for (const char* t : {"plu", "depart", "plurecord"}) EXPECT_EQ(rows(d, t), 0) << t;
    EXPECT_EQ(rows(d, "params"), 1);
    EXPECT_GT(rows(d, "msglist"), 400);
}
