// The logo and the whole-register backup and restore from their forms,
// against the simulated register on a pseudo-terminal: the real serial
// transport, the engine on a clock the test moves.
#include "LogoFiles.h"
#include "editors/SimLinkFixture.h"
#include "link/RegisterCopy.h"
#include "maintenance/LogoForm.h"
#include "maintenance/RegisterBackupForm.h"
#include "records/Logo.h"
#include "records/PageKinds.h"
#include "sim/Demo.h"

#include <QCheckBox>
#include <QImage>
#include <QLabel>

#include <filesystem>

using namespace ecr;
using namespace ecr::maintenance;
using Icon = ecr::ui::Prompter::Icon;
namespace fs = std::filesystem;

namespace {

struct SimFormsTest : SimLinkFixture {
    void fault(const std::string& rule) {
        std::string err;
        auto f = sim::ParseFault(rule, err);
        ASSERT_TRUE(f) << err;
        reg.addFault(*f);
    }
    static bool enabled(QWidget* f, const char* name) { return child<QWidget>(f, name)->isEnabled(); }
    // Starts the logo form's download of the file.
    qsizetype download(LogoForm& f, const std::string& file) {
        f.show();
        setText(&f, "txtFileName", QString::fromStdString(file));
        const qsizetype mark = prompter.shown.size();
        click(&f, "cmdDownload");
        return mark;
    }
};

} // namespace

// The register holds the logo bytes from the first data byte of page 4128
// on, the rest of the last page 0x00, and nothing beyond it.
TEST_F(SimFormsTest, TheLogoIsWrittenFromItsFirstPageAndARefusedFileSendsNothing) {
    const records::LogoImage logo = PatternLogo(136, 241); // 4097 bytes: two pages
    WriteFile(dir.file("logo.bmp"), records::MonochromeBitmap(logo));
    LogoForm f;
    qsizetype mark = download(f, dir.file("logo.bmp"));
    EXPECT_TRUE(child<QWidget>(&f, "fraProgress")->isVisible());
    EXPECT_FALSE(enabled(&f, "cmdExit"));
    ASSERT_TRUE(runUntil([&] { return prompter.shown.size() > mark; }));
    EXPECT_EQ(messagesSince(mark), QStringList{"S111128"});
    EXPECT_EQ(prompter.shown.last().icon, Icon::Information);
    EXPECT_FALSE(engine->portOpen());
    EXPECT_TRUE(enabled(&f, "cmdExit"));
    Bytes expected = logo.bytes;
    expected.resize(2 * 4096, 0x00);
    ASSERT_TRUE(memory.has(records::kind::Logo + 1));
    Bytes written = memory.read(records::kind::Logo);
    const Bytes second = memory.read(records::kind::Logo + 1);
    written.insert(written.end(), second.begin(), second.end());
    EXPECT_EQ(written, expected);
    EXPECT_FALSE(memory.has(records::kind::Logo + 2));
    EXPECT_EQ(reg.requests(records::kind::Logo), 1);

    // A colour bitmap, or a file gone by the time of the download, is
    // refused before the port opens: nothing reaches the register.
    memory.clear();
    ASSERT_TRUE(QImage(30, 10, QImage::Format_RGB888).save(QString::fromStdString(dir.file("colour.bmp")), "BMP"));
    const std::pair<const char*, const char*> refused[] = {{"colour.bmp", "S111216"}, {"gone.bmp", "S111127"}};
    for (const auto& [file, message] : refused) {
        LogoForm g;
        mark = download(g, dir.file(file));
        EXPECT_EQ(messagesSince(mark), QStringList{message}) << file;
        EXPECT_FALSE(engine->busy());
        EXPECT_FALSE(engine->portOpen());
        EXPECT_TRUE(memory.addresses().empty()) << file;
    }
    EXPECT_EQ(reg.requests(records::kind::Logo), 1);
}

TEST_F(SimFormsTest, ClosingTheLogoFormWaitsForThePortAndAStopEndsTheWrite) {
    WriteFile(dir.file("logo.bmp"), records::MonochromeBitmap(PatternLogo(136, 241))); // two pages
    fault("silence@4128#1");
    LogoForm f;
    download(f, dir.file("logo.bmp"));
    ASSERT_TRUE(runUntil([&] { return reg.requests(records::kind::Logo) == 1; }));
    ASSERT_TRUE(engine->portOpen());
    const qsizetype mark = prompter.shown.size();
    f.reject();
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(messagesSince(mark), QStringList{"S111609"});
    EXPECT_EQ(prompter.shown.last().title, "S111608");
    click(&f, "cmdStop");
    ASSERT_TRUE(runUntil([&] { return !engine->busy(); }));
    EXPECT_FALSE(engine->portOpen());
    EXPECT_FALSE(memory.has(records::kind::Logo + 1)) << "the pages after a stop are not sent";
    f.reject();
    EXPECT_FALSE(f.isVisible());
}

TEST_F(SimFormsTest, WholeRegisterSavedWithAStopRestoredIntoABlankRegisterAndVerified) {
    sim::FillDemo(memory);
    const std::vector<int> addresses = link::RegisterCopy::Addresses(2);
    std::map<int, Bytes> before;
    for (int a : addresses) before[a] = memory.read(a);
    const int pluBase = link::RegisterCopy::Parts(2)[4].base;
    fault("silence@" + std::to_string(pluBase + 3) + "#1"); // the fourth PLU page's first read
    const QString file = QString::fromStdString(dir.file("shop"));
    const QString saved = file + ".ecrbak";

    {
        RegisterBackupForm f(RegisterBackupForm::Mode::Save);
        f.show();
        setText(&f, "txtFileName", file);
        click(&f, "cmdStart");
        EXPECT_EQ(text(&f, "txtFileName"), saved);
        ASSERT_TRUE(runUntil([&] { return reg.requests(pluBase + 3) == 1; }));
        EXPECT_EQ(child<QLabel>(&f, "lblProgress")->text().left(7), "S120728");
        EXPECT_FALSE(enabled(&f, "cmdExit"));
        click(&f, "cmdStop");
        ASSERT_TRUE(runUntil([&] { return f.paused(); }));
        EXPECT_TRUE(enabled(&f, "cmdContinue"));
        EXPECT_FALSE(fs::exists(saved.toStdString())) << "nothing is written before every page was read";
        const qsizetype mark = prompter.shown.size();
        click(&f, "cmdContinue");
        ASSERT_TRUE(runUntil([&] { return prompter.shown.size() > mark; }));
        EXPECT_EQ(messagesSince(mark), QStringList{"S120731 " + QString::number(addresses.size()) + " " + saved});
        EXPECT_EQ(reg.requests(pluBase + 3), 2) << "continue asks for the stopped page again";
        EXPECT_EQ(reg.requests(pluBase + 2), 1);
        EXPECT_FALSE(child<QWidget>(&f, "fraProgress")->isVisible());
    }

    memory.clear();
    fault("silence@" + std::to_string(pluBase + 5) + "#1"); // the sixth PLU page's first write
    {
        RegisterBackupForm f(RegisterBackupForm::Mode::Restore);
        f.show();
        setText(&f, "txtFileName", saved);
        child<QCheckBox>(&f, "chkVerify")->setChecked(true);
        const qsizetype mark = prompter.shown.size();
        click(&f, "cmdStart");
        // Same register: only the question that names what is replaced, No by default.
        ASSERT_EQ(messagesSince(mark), QStringList{"S120741 " + QString::number(addresses.size())});
        EXPECT_FALSE(prompter.shown.last().defaultYes);
        EXPECT_TRUE(child<QLabel>(&f, "lblInfo")->text().startsWith("S120740 "));
        ASSERT_TRUE(runUntil([&] { return reg.requests(pluBase + 5) == 1; }));
        EXPECT_EQ(child<QLabel>(&f, "lblProgress")->text().left(7), "S120729");
        click(&f, "cmdStop");
        ASSERT_TRUE(runUntil([&] { return f.paused(); }));
        click(&f, "cmdContinue");
        ASSERT_TRUE(runUntil([&] { return prompter.shown.size() > mark + 1; }));
        EXPECT_EQ(prompter.shown.last().text, "S120733 " + QString::number(addresses.size()));
        EXPECT_EQ(prompter.shown.last().icon, Icon::Information);
    }
    std::vector<int> differing;
    for (int a : addresses)
        if (memory.read(a) != before[a]) differing.push_back(a);
    EXPECT_EQ(differing, std::vector<int>{});
}

TEST_F(SimFormsTest, ADamagedOrForeignBackupIsRefusedBeforeThePortOpens) {
    sim::FillDemo(memory);
    const std::string saved = dir.file("shop.ecrbak");
    {
        RegisterBackupForm f(RegisterBackupForm::Mode::Save);
        f.show();
        setText(&f, "txtFileName", QString::fromStdString(saved));
        const qsizetype mark = prompter.shown.size();
        click(&f, "cmdStart");
        ASSERT_TRUE(runUntil([&] { return prompter.shown.size() > mark; }));
    }
    fs::copy_file(saved, dir.file("cut.ecrbak"));
    fs::resize_file(dir.file("cut.ecrbak"), fs::file_size(saved) / 2);
    memory.clear();

    RegisterBackupForm f(RegisterBackupForm::Mode::Restore);
    f.show();
    const QString cut = QString::fromStdString(dir.file("cut.ecrbak"));
    setText(&f, "txtFileName", cut);
    qsizetype mark = prompter.shown.size();
    click(&f, "cmdStart");
    ASSERT_EQ(messagesSince(mark).size(), 1);
    EXPECT_TRUE(messagesSince(mark)[0].startsWith("S120735 " + cut + " it is damaged")) << messagesSince(mark)[0].toStdString();
    EXPECT_EQ(prompter.shown.last().icon, Icon::Critical);
    EXPECT_FALSE(engine->portOpen());
    EXPECT_FALSE(f.running());
    EXPECT_TRUE(memory.addresses().empty());

    // Another register's backup is named and answered No: nothing is sent.
    db->execute("INSERT INTO info(keyboard, ver) VALUES(2, 330)");
    setText(&f, "txtFileName", QString::fromStdString(saved));
    mark = prompter.shown.size();
    prompter.answers = {false};
    click(&f, "cmdStart");
    ASSERT_EQ(messagesSince(mark).size(), 1);
    EXPECT_EQ(messagesSince(mark)[0], "S120736 S120739 100320 100330");
    EXPECT_FALSE(prompter.shown.last().defaultYes);
    EXPECT_FALSE(f.running());
    runUntil([] { return false; }, 50);
    EXPECT_TRUE(memory.addresses().empty());
}

TEST_F(SimFormsTest, ClosingAPausedRunGivesUpAndSaysWhatIsLeft) {
    sim::FillDemo(memory);
    const int cashiers = link::RegisterCopy::Parts(2)[1].base;
    fault("silence@" + std::to_string(cashiers) + "#1");
    const std::string saved = dir.file("shop.ecrbak");
    RegisterBackupForm f(RegisterBackupForm::Mode::Save);
    f.show();
    setText(&f, "txtFileName", QString::fromStdString(saved));
    click(&f, "cmdStart");
    ASSERT_TRUE(runUntil([&] { return reg.requests(cashiers) == 1; }));
    // Closing the form is refused while the port is open.
    qsizetype mark = prompter.shown.size();
    f.reject();
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(messagesSince(mark), QStringList{"S111609"});
    click(&f, "cmdStop");
    ASSERT_TRUE(runUntil([&] { return f.paused(); }));
    mark = prompter.shown.size();
    click(&f, "cmdClose");
    EXPECT_EQ(messagesSince(mark), QStringList{"S120743"});
    EXPECT_FALSE(f.paused());
    EXPECT_FALSE(child<QWidget>(&f, "fraProgress")->isVisible());
    EXPECT_TRUE(enabled(&f, "cmdStart"));
    EXPECT_FALSE(fs::exists(saved));
    EXPECT_EQ(engine->state(), link::EngineState::Idle);
    // The engine is back on its own page I/O: the next run starts afresh.
    mark = prompter.shown.size();
    click(&f, "cmdStart");
    ASSERT_TRUE(runUntil([&] { return prompter.shown.size() > mark; }));
    EXPECT_EQ(messagesSince(mark),
              QStringList{"S120731 " + QString::number(link::RegisterCopy::Addresses(2).size()) + " " +
                          QString::fromStdString(saved)});
    f.reject();
    EXPECT_FALSE(f.isVisible());
}
