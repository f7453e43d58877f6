// frmImport offscreen: the preview before anything is written, the import
// with its progress panel, and every way it can end.
#include "app/ErrorLog.h"
#include "gui/GuiFixture.h"
#include "import/forms/ImportForm.h"

#include <QFileDialog>
#include <QFileSystemModel>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTimer>

#include <fstream>
#include <sstream>
#include <unistd.h>

using namespace ecr;
using ecr::import::ImportForm;
using Icon = ecr::ui::Prompter::Icon;

namespace {

struct ImportFormTest : GuiFixture {
    ImportFormTest() {
        App().langCode = 3;
        SetErrorLogFolder(dir.path.string());
    }
    static std::string fixture(const char* name) { return std::string(ECR_FIXTURES) + "/" + name; }
    // A CSV file of n rows with codes 1..n.
    std::string csv(int n) {
        const std::string path = dir.file("rows" + std::to_string(n) + ".csv");
        std::ofstream f(path);
        f << "Code,Name,Dept,Price\n";
        for (int i = 1; i <= n; ++i) f << i << ",Item " << i << ",1,2.5\n";
        return path;
    }
    long long pluCount() { return db->scalar("SELECT count(*) FROM plu").toInt(); }
    static QString cell(const ImportForm& f, int row, int col) {
        return f.previewModel().data(f.previewModel().index(row, col), Qt::DisplayRole).toString();
    }
    static void typeFile(ImportForm& f, const std::string& path) {
        child<QLineEdit>(&f, "txtFileName")->setText(QString::fromStdString(path));
    }
    static void waitForImport(ImportForm& f) {
        EXPECT_TRUE(QTest::qWaitFor([&f] { return !f.importing(); }, 10000));
    }
};

} // namespace

TEST_F(ImportFormTest, ChoosingAFileShowsThePreviewAndWritesNothing) {
    ImportForm f;
    // The file dialog offers the four formats; the chosen file is previewed.
    bool offered = false;
    QTimer::singleShot(0, [&] {
        auto* d = f.findChild<QFileDialog*>("dlgOpenFile");
        ASSERT_NE(d, nullptr);
        offered = d->nameFilters().value(0).endsWith("(*.xlsx *.ods *.xls *.csv)");
        d->selectFile(QString::fromStdString(fixture("plu.xls")));
        QMetaObject::invokeMethod(d, "accept");
    });
    QTest::mouseClick(child<QPushButton>(&f, "cmdOpenFile"), Qt::LeftButton);
    EXPECT_TRUE(offered);
    EXPECT_EQ(child<QLineEdit>(&f, "txtFileName")->text().toStdString(), fixture("plu.xls"));

    ASSERT_EQ(f.previewModel().rowCount(), 9);
    const QStringList row3 = {cell(f, 1, 0), cell(f, 1, 1), cell(f, 1, 2), cell(f, 1, 3), cell(f, 1, 4)};
    EXPECT_EQ(row3, (QStringList{"3", "E120415", "1001", "可乐", "E120402 9"}));
    EXPECT_EQ(cell(f, 0, 1), "E120413");
    EXPECT_EQ(cell(f, 6, 4), "E120417 E120401 E111308 20 一二三四五六七八九十");
    EXPECT_EQ(child<QLabel>(&f, "lblCounts")->text(), "E120416 5 0 4 1");
    EXPECT_EQ(pluCount(), 0);
    EXPECT_TRUE(prompter.shown.isEmpty());
}

TEST_F(ImportFormTest, ImportWritesWithTheProgressPanelAndCloses) {
    db->execute("INSERT INTO plu(id,name,sid) VALUES('3','old',0)");
    ImportForm f;
    f.show();
    typeFile(f, csv(1000));
    prompter.answers = {true};
    QTest::mouseClick(child<QPushButton>(&f, "cmdImport"), Qt::LeftButton);
    ASSERT_EQ(prompter.shown.size(), 1);
    EXPECT_TRUE(prompter.shown[0].question);
    EXPECT_EQ(prompter.shown[0].title, "E111115");
    EXPECT_EQ(prompter.shown[0].text, "E111130");
    EXPECT_EQ(f.previewModel().rowCount(), 1000);

    // Writing: the panel shows, the controls are off, closing is refused.
    ASSERT_TRUE(f.importing());
    EXPECT_TRUE(child<QFrame>(&f, "fraProgress")->isVisible());
    EXPECT_EQ(child<QLabel>(&f, "lblProgress")->text(), "E111131(E111132 1000)");
    auto* bar = child<QProgressBar>(&f, "ProgressBar1");
    EXPECT_EQ(bar->minimum(), 1);
    EXPECT_EQ(bar->maximum(), 1001);
    EXPECT_EQ(bar->value(), 1);
    QList<int> progress;
    QObject::connect(bar, &QProgressBar::valueChanged, [&progress](int v) { progress << v; });
    for (const char* name : {"txtFileName", "cmdOpenFile", "cmdImport", "cmdExit", "tblPreview"})
        EXPECT_FALSE(f.findChild<QWidget*>(name)->isEnabled()) << name;
    f.reject();
    EXPECT_TRUE(f.isVisible());

    waitForImport(f);
    EXPECT_EQ(progress, (QList<int>{257, 513, 769, 1001})); // the last row written, 256 rows a turn
    EXPECT_EQ(pluCount(), 1000);
    EXPECT_EQ(db->scalar("SELECT name || '/' || sid FROM plu WHERE id='3'").toText(), "Item 3/0");
    EXPECT_EQ(db->scalar("SELECT max(sid) FROM plu").toInt(), 1539); // 999 new rows after slot 0: 1..63, 14 pages, 1500..1539
    ASSERT_EQ(prompter.shown.size(), 2);
    EXPECT_EQ(prompter.shown[1].icon, Icon::Information);
    EXPECT_EQ(prompter.shown[1].text, "E111133");
    EXPECT_EQ(f.result(), QDialog::Accepted);
    EXPECT_FALSE(f.isVisible());
}

TEST_F(ImportFormTest, WaysOutWithoutWriting) {
    struct Case {
        const char* what;
        std::string file;
        bool answer;
        QList<Icon> icons;
        QStringList texts;
    };
    const Case cases[] = {
        {"blank file name", "   ", true, {}, {}},
        {"answered No", fixture("plu.ods"), false, {Icon::Question}, {"E111130"}},
        {"missing file", dir.file("gone.xlsx"), true, {Icon::Critical}, {"E111127"}},
        {"not a spreadsheet", fixture("not-a-workbook.zip"), true, {Icon::Critical},
         {"E120405 " + QString::fromStdString(fixture("not-a-workbook.zip"))}},
        {"too many rows", csv(10241), true, {Icon::Information},
         {"E120406 10240"}},
    };
    for (const auto& c : cases) {
        prompter.shown.clear();
        prompter.answers = {c.answer};
        ImportForm f;
        f.show();
        typeFile(f, c.file);
        QTest::mouseClick(child<QPushButton>(&f, "cmdImport"), Qt::LeftButton);
        QList<Icon> icons;
        QStringList texts;
        for (const auto& s : prompter.shown) {
            icons << s.icon;
            texts << s.text;
        }
        EXPECT_EQ(icons, c.icons) << c.what;
        EXPECT_EQ(texts, c.texts) << c.what;
        EXPECT_FALSE(f.importing()) << c.what;
        EXPECT_TRUE(f.isVisible()) << c.what;
        EXPECT_EQ(pluCount(), 0) << c.what;
    }
}

TEST_F(ImportFormTest, ADatabaseErrorRollsBackAndSaysSo) {
    db->execute("INSERT INTO plu(id,name,sid) VALUES('1','before',0)");
    db->execute("CREATE TRIGGER no_700 BEFORE INSERT ON plu WHEN NEW.id = '700' "
                "BEGIN SELECT RAISE(ABORT, 'disk is full'); END");
    ImportForm f;
    f.show();
    typeFile(f, csv(1000));
    QTest::mouseClick(child<QPushButton>(&f, "cmdImport"), Qt::LeftButton);
    waitForImport(f);
    ASSERT_EQ(prompter.shown.size(), 2);
    EXPECT_EQ(prompter.shown[1].icon, Icon::Critical);
    EXPECT_EQ(prompter.shown[1].title, "E111236");
    EXPECT_EQ(prompter.shown[1].text, "E111134");
    EXPECT_EQ(pluCount(), 1);
    EXPECT_EQ(db->scalar("SELECT name FROM plu").toText(), "before");
    EXPECT_EQ(db->transactionDepth(), 0);
    EXPECT_TRUE(f.isVisible());
    EXPECT_FALSE(child<QFrame>(&f, "fraProgress")->isVisible());
    EXPECT_TRUE(child<QPushButton>(&f, "cmdImport")->isEnabled());
    std::ifstream log(dir.file("ecr.log"));
    const std::string logged((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
    EXPECT_NE(logged.find("Location:      frmImport_cmdImport_Click"), std::string::npos);
    EXPECT_NE(logged.find("Error Message: disk is full"), std::string::npos) << logged;
}

// The file dialog must not open the files it lists: opening and closing the
// open database file would drop the locks SQLite holds on it.
TEST_F(ImportFormTest, BrowsingTheDatabaseFolderKeepsTheDatabaseLocks) {
    auto locksHeld = [] {
        std::ifstream in("/proc/locks");
        const std::string pid = " " + std::to_string(::getpid()) + " ";
        int n = 0;
        for (std::string line; std::getline(in, line);) n += line.find(pid) != std::string::npos;
        return n;
    };
    const int before = locksHeld();
    ASSERT_GT(before, 0); // the open database in WAL mode
    ImportForm f;
    child<QLineEdit>(&f, "txtFileName")->setText(QString::fromStdString(dir.file("x.csv")));
    bool listed = false;
    QTimer::singleShot(0, [&] {
        auto* d = f.findChild<QFileDialog*>("dlgOpenFile");
        ASSERT_NE(d, nullptr);
        d->selectNameFilter(d->nameFilters().value(1)); // all files, the database among them
        auto* model = d->findChild<QFileSystemModel*>();
        ASSERT_NE(model, nullptr);
        const QString dbFile = QString::fromStdString(dir.file("ecr.db"));
        listed = QTest::qWaitFor([&] {
            const QModelIndex i = model->index(dbFile, 2);
            return i.isValid() && !model->data(i).toString().isEmpty();
        }, 30000); // the model lists the folder on its own thread: slow on a busy machine
        QTest::qWait(50);
        d->reject();
    });
    QTest::mouseClick(child<QPushButton>(&f, "cmdOpenFile"), Qt::LeftButton);
    EXPECT_TRUE(listed);
    EXPECT_EQ(locksHeld(), before);

    // Nor is the database itself read as a spreadsheet.
    typeFile(f, dir.file("ecr.db"));
    QTest::mouseClick(child<QPushButton>(&f, "cmdImport"), Qt::LeftButton);
    ASSERT_EQ(prompter.shown.size(), 1);
    EXPECT_EQ(prompter.shown[0].text, "E120405 " + QString::fromStdString(dir.file("ecr.db")));
    EXPECT_EQ(locksHeld(), before);
}
