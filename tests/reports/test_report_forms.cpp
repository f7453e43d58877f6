// The preview's paging, the print options with a recording printer, and the
// report forms' pickers, filters, preview and export.
#include "editors/FormsFixture.h"

#include "app/GlobalFunc.h"
#include "import/Spreadsheet.h"
#include "reports/Ids.h"
#include "reports/forms/FormKit.h"
#include "reports/forms/PagePrinter.h"
#include "reports/forms/PrintForms.h"
#include "reports/forms/ReportForm.h"

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QRadioButton>
#include <QTimeEdit>

using namespace ecr;
using namespace ecr::reports;
using namespace ecr::reports::forms;

namespace {

// Records the pages it is asked to print.
struct RecordingPrinter : PagePrinter {
    std::vector<std::vector<int>> jobs;
    int setUps = 0;
    RecordingPrinter() { SetPrinter(this); }
    ~RecordingPrinter() override { SetPrinter(nullptr); }
    QPageSize pageSize() const override { return QPageSize(QPageSize::A4); }
    bool setUp(QWidget*) override {
        ++setUps;
        return true;
    }
    bool print(Renderer& r, const std::vector<int>& pages, QString*) override {
        for (int p : pages) EXPECT_TRUE(r.hasPage(p - 1)) << p;
        jobs.push_back(pages);
        return true;
    }
};

std::shared_ptr<Document> numbered(int rows) {
    auto d = std::make_shared<Document>();
    d->title = "Numbered";
    d->columns = {{"No.", 1200, 10, ColumnKind::Number}};
    for (int i = 1; i <= rows; ++i) d->addRow({std::to_string(i)});
    return d;
}

struct ReportFormsTest : FormsFixture {
    RecordingPrinter printer;

    ReportFormsTest() {
        TempDir& d = dir;
        ui::Exports().folder = QString::fromStdString(d.file("exports"));
        ui::Exports().open = [this](const QString& path) { openedExports << path; };
    }
    ~ReportFormsTest() override { ui::Exports() = {}; }
    QStringList openedExports;

    static QString pageLabel(PrintForm& f) { return child<QLabel>(&f, "lblPage")->text(); }
    static QString pageOf(int page, int count) {
        return QString::fromStdString(SubstituteArgs(Caption(msg::PageOf).toStdString(),
                                                     {std::to_string(page), std::to_string(count)}));
    }
};

} // namespace

TEST_F(ReportFormsTest, PreviewPagesByToolbarKey) {
    PrintForm f(numbered(400), nullptr);
    f.show();
    const int n = f.pageCount();
    ASSERT_GE(n, 4);
    EXPECT_EQ(f.page(), 1);
    EXPECT_EQ(pageLabel(f), pageOf(1, n));
    EXPECT_DOUBLE_EQ(f.zoom(), 1.0);

    struct Step {
        const char* key;
        int page;
    };
    // Beyond either end the page stays.
    const Step steps[] = {{"prev", 1}, {"next", 2}, {"next", 3}, {"last", n}, {"next", n},
                          {"prev", n - 1}, {"first", 1}, {"first", 1}};
    for (const Step& s : steps) {
        f.Toolbar1_ButtonClick(s.key);
        EXPECT_EQ(f.page(), s.page) << s.key;
        EXPECT_EQ(pageLabel(f), pageOf(s.page, n));
        EXPECT_EQ(f.button("prev")->isEnabled(), s.page > 1);
        EXPECT_EQ(f.button("next")->isEnabled(), s.page < n);
    }
    f.button("next")->trigger();
    EXPECT_EQ(f.page(), 2);

    // Zoom: the page view follows; whole page fits the window.
    QWidget* vp = child<QWidget>(&f, "vp");
    const int width100 = vp->width();
    f.setZoomPercent(200);
    EXPECT_GT(vp->width(), width100 * 19 / 10);
    QComboBox* zoom = child<QComboBox>(&f, "cboZoom");
    zoom->setCurrentIndex(zoom->findData(-2));
    emit zoom->activated(zoom->currentIndex());
    EXPECT_LT(f.zoom(), 1.0);
    f.Toolbar1_ButtonClick("exit");
    EXPECT_FALSE(f.isVisible());
}

TEST_F(ReportFormsTest, PrintOptionsModes) {
    struct Case {
        int rows; // 3 rows fit one page, 400 take several
        int option;
        QString from, to;
        std::vector<int> printed; // empty: nothing printed, and said so
    };
    const Case cases[] = {
        {3, 1, "", "", {1}},        // odd pages of a one-page document: page 1
        {3, 2, "", "", {}},         // even pages of it: none
        {400, 0, "2", "3", {2, 3}},
        {400, 0, "", "2", {1, 2}},  // no number reads 0: from the first page
        {400, 0, "2", "999", {}},   // filled in below: to the last page
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.rows << " rows, option " << c.option << " " << c.from.toStdString()
                                        << "-" << c.to.toStdString());
        PrintForm f(numbered(c.rows), nullptr);
        std::vector<int> expected = c.printed;
        if (c.to == "999")
            for (int p = 2; p <= f.pageCount(); ++p) expected.push_back(p);
        const auto mark = prompter.shown.size();
        printer.jobs.clear();
        auto watch = whenModal("frmPrintSet", [&](QDialog* d) {
            EXPECT_EQ(text(d, "txtPageNo(0)"), "1");
            EXPECT_EQ(text(d, "txtPageNo(1)"), QString::number(f.pageCount()));
            child<QRadioButton>(d, c.option == 0 ? "Option1(0)" : c.option == 1 ? "Option1(1)" : "Option1(2)")
                ->setChecked(true);
            if (c.option == 0) {
                setText(d, "txtPageNo(0)", c.from);
                setText(d, "txtPageNo(1)", c.to);
            }
            click(d, "cmdOK");
        });
        f.Toolbar1_ButtonClick("print");
        EXPECT_TRUE(*watch);
        if (expected.empty()) {
            EXPECT_TRUE(printer.jobs.empty());
            EXPECT_EQ(messagesSince(mark), QStringList{"S120313"});
        } else {
            EXPECT_EQ(printer.jobs, std::vector<std::vector<int>>{expected});
            EXPECT_TRUE(messagesSince(mark).isEmpty());
        }
    }
}

TEST_F(ReportFormsTest, PrintOptionsCancelledOrClosedPrintNothing) {
    PrintForm f(numbered(3), nullptr);
    for (bool closeBox : {false, true}) {
        auto watch = whenModal("frmPrintSet", [&](QDialog* d) {
            if (closeBox)
                d->close();
            else
                click(d, "cmdCancel");
        });
        f.Toolbar1_ButtonClick("print");
        EXPECT_TRUE(*watch);
    }
    EXPECT_TRUE(printer.jobs.empty());
    EXPECT_TRUE(prompter.shown.isEmpty());

    // The printer set-up goes through the printer; page boxes take digits only.
    PrintSetForm options(7, nullptr);
    click(&options, "cmdPrinterSetup");
    EXPECT_EQ(printer.setUps, 1);
    EXPECT_TRUE(options.printerChanged());
    QLineEdit* from = child<QLineEdit>(&options, "txtPageNo(0)");
    from->clear();
    QTest::keyClicks(from, "1a-2.");
    EXPECT_EQ(from->text(), "12");
    child<QRadioButton>(&options, "Option1(2)")->setChecked(true);
    EXPECT_FALSE(from->isEnabled());
}

TEST_F(ReportFormsTest, JournalLinesNeedADepartment) {
    const std::string today = QDate::currentDate().toString("yyyy-MM-dd").toStdString();
    db->execute("INSERT INTO plurecord(billnumber, pluid, pluname, price, quantity, time, operation, depart, departname,"
                " taxvalue, cashier, opentable, sid) VALUES(7, '1', 'Apple', 2.5, 1, ?, 0, 3, 'Fruit', 0, 1, 0, 0)",
                {today + " 12:00:00"});
    ReportForm form(*FindReport("frmRpt2"), nullptr);
    EXPECT_EQ(form.windowTitle(), MenuCaption(Caption(110045)));
    form.show();
    auto refused = whenModal("frmPrint", [](QDialog*) {});
    click(&form, "cmdFind");
    EXPECT_FALSE(*refused);
    refused.reset();
    EXPECT_EQ(messagesSince(0), QStringList{"S120312"});

    setText(&form, "txtDepartId", "3");
    std::string title;
    std::size_t rows = 0;
    auto shown = whenModal("frmPrint", [&](QDialog* d) {
        auto* preview = static_cast<PrintForm*>(d);
        title = preview->document().title;
        rows = preview->document().rowCount();
    });
    click(&form, "cmdFind");
    EXPECT_TRUE(*shown);
    EXPECT_EQ(title, JournalLinesTitle(*db, "3"));
    EXPECT_EQ(rows, 1u);
    EXPECT_EQ(prompter.shown.size(), 1);
}

TEST_F(ReportFormsTest, PeriodPickersPresetsAndFilters) {
    ReportForm form(*FindReport("frmRpt12"), nullptr);
    const QDate today = QDate::currentDate();
    EXPECT_EQ(child<QDateEdit>(&form, "dtpStartDate(0)")->date(), today);
    EXPECT_EQ(child<QTimeEdit>(&form, "dtpStartDate(1)")->time(), QTime(0, 0, 0));
    EXPECT_EQ(child<QDateEdit>(&form, "dtpEndDate(0)")->date(), today);
    EXPECT_EQ(child<QTimeEdit>(&form, "dtpEndDate(1)")->time(), QTime(23, 59, 59));
    const std::string day = today.toString("yyyy-MM-dd").toStdString();
    EXPECT_EQ(form.query()->period.start, day + " 00:00:00");
    EXPECT_EQ(form.query()->period.end, day + " 23:59:59");
    child<QTimeEdit>(&form, "dtpEndDate(1)")->setTime(QTime(12, 0, 0));
    form.applyPreset(Preset::LastMonth);
    const auto [first, last] = PresetDays(Preset::LastMonth, today);
    EXPECT_EQ(form.query()->period.start, first.toString("yyyy-MM-dd").toStdString() + " 00:00:00");
    EXPECT_EQ(form.query()->period.end, last.toString("yyyy-MM-dd").toStdString() + " 23:59:59");

    ReportForm list(*FindReport("frmRpt7"), nullptr);
    EXPECT_EQ(list.findChild<QDateEdit*>(), nullptr);
    EXPECT_EQ(child<QLabel>(&list, "Label1")->text(), Caption(111199));

    ReportForm members(*FindReport("frmMemberRpt"), nullptr);
    QLineEdit* score = child<QLineEdit>(&members, "txtScore");
    EXPECT_FALSE(score->isEnabled());
    EXPECT_FALSE(members.query()->scoreAbove);
    child<QRadioButton>(&members, "Option2")->setChecked(true);
    EXPECT_TRUE(score->isEnabled());
    EXPECT_EQ(members.query()->scoreAbove, 0.0); // empty reads 0
    QTest::keyClicks(score, "1x00");
    EXPECT_EQ(members.query()->scoreAbove, 100.0);
    child<QRadioButton>(&members, "optAll")->setChecked(true);
    EXPECT_FALSE(score->isEnabled());
}

TEST_F(ReportFormsTest, EmptyReportSaysSoAndStillPreviews) {
    ReportForm form(*FindReport("frmRpt1"), nullptr);
    std::size_t rows = 0;
    auto shown = whenModal("frmPrint", [&](QDialog* d) { rows = static_cast<PrintForm*>(d)->document().rowCount(); });
    click(&form, "cmdFind");
    EXPECT_TRUE(*shown);
    EXPECT_EQ(rows, 16u);
    EXPECT_EQ(messagesSince(0), QStringList{"S111193"});
}

TEST_F(ReportFormsTest, ExportWritesTheSheetAndNamesTheFile) {
    db->executeScript("INSERT INTO member(userid, username, score, useraddress, tel) VALUES"
                      "('007', 'Bond', 5, 'London', '0044');");
    ReportForm form(*FindReport("frmMemberRpt"), nullptr);
    click(&form, "cmdExport");
    ASSERT_EQ(openedExports.size(), 1);
    const QString path = openedExports[0];
    EXPECT_TRUE(path.startsWith(QString::fromStdString(dir.file("exports"))));
    EXPECT_EQ(messagesSince(0), QStringList{"S111196\n" + path});
    const sheets::ReadSheet s = sheets::ReadFirstSheet(path.toStdString());
    EXPECT_EQ(s.at(0, 0).text, "S111293");
    EXPECT_EQ(s.at(1, 0).text, "S111296:   S111294");
    EXPECT_EQ(s.at(3, 0).text, "007");
    EXPECT_EQ(s.at(3, 4).text, "0044");
}
