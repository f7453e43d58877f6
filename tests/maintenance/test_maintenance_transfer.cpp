// The logo and the whole-register backup and restore from their forms,
// against the simulated register on a pseudo-terminal: the real serial
// transport, the engine on a clock the test moves.
#include "editors/SimLinkFixture.h"
#include "link/Clock.h"
#include "link/RegisterCopy.h"
#include "link/SerialTransport.h"
#include "link/TransferEngine.h"
#include "maintenance/LogoForm.h"
#include "maintenance/RegisterBackupForm.h"
#include "records/Logo.h"
#include "records/PageKinds.h"
#include "records/rows/DbPageIO.h"
#include "sim/Demo.h"
#include "sim/SimServer.h"
#include "ui/RegisterLink.h"

#include <QCheckBox>
#include <QImage>
#include <QLabel>

#include <chrono>
#include <filesystem>
#include <fstream>

using namespace ecr;
using namespace ecr::maintenance;
using Icon = ecr::ui::Prompter::Icon;
namespace fs = std::filesystem;

namespace {

struct SimFormsTest : SimLinkFixture {
    bool shownSince(qsizetype mark, const QString& text) const { return messagesSince(mark).contains(text); }
    void fault(const std::string& rule) {
        std::string err;
        auto f = sim::ParseFault(rule, err);
        ASSERT_TRUE(f) << err;
        reg.addFault(*f);
    }
    static void writeFile(const std::string& path, const Bytes& bytes) {
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    static bool enabled(QWidget* f, const char* name) { return child<QWidget>(f, name)->isEnabled(); }
};

records::LogoImage logoOfBytes(int width, int height) {
    records::LogoImage logo{width, height, {}};
    const int row = records::LogoRowBytes(width);
    for (int i = 0; i < height * row; ++i) {
        auto b = static_cast<std::uint8_t>((i * 13 + 5) & 0xFF);
        // Pixels beyond the width are never ink.
        if (i % row == row - 1 && width % 8) b &= records::LeftBitsMask(width % 8);
        logo.bytes.push_back(b);
    }
    return logo;
}

} // namespace

TEST_F(SimFormsTest, TheLogoIsWrittenFromItsFirstPageAndARefusedFileSendsNothing) {
    const struct {
        const char* name;
        int width, height; // logo bytes: row bytes x height
        int pages;
    } cases[] = {
        {"4096 bytes", 32, 1024, 1},
        {"4097 bytes", 136, 241, 2},
        {"width 12", 12, 40, 1},
    };
    for (const auto& c : cases) {
        memory.clear();
        const records::LogoImage logo = logoOfBytes(c.width, c.height);
        const std::string file = dir.file(std::string(c.name) + ".bmp");
        writeFile(file, records::MonochromeBitmap(logo));
        LogoForm f;
        f.show();
        setText(&f, "txtFileName", QString::fromStdString(file));
        const qsizetype mark = prompter.shown.size();
        const int logoRequests = reg.requests(records::kind::Logo);
        click(&f, "cmdDownload");
        EXPECT_TRUE(child<QWidget>(&f, "fraProgress")->isVisible()) << c.name;
        EXPECT_FALSE(enabled(&f, "cmdExit")) << c.name;
        ASSERT_TRUE(runUntil([&] { return prompter.shown.size() > mark; })) << c.name;
        EXPECT_EQ(messagesSince(mark), QStringList{"S111128"}) << c.name;
        EXPECT_EQ(prompter.shown.last().icon, Icon::Information);
        EXPECT_FALSE(engine->portOpen()) << c.name;
        EXPECT_TRUE(enabled(&f, "cmdExit")) << c.name;

        // The register holds the logo bytes from the first data byte of page
        // 4128 on, the rest of the last page 0x00, and nothing beyond it.
        Bytes expected = logo.bytes;
        expected.resize(static_cast<std::size_t>(c.pages) * 4096, 0x00);
        Bytes written;
        for (int p = 0; p < c.pages; ++p) {
            ASSERT_TRUE(memory.has(records::kind::Logo + p)) << c.name << " page " << p;
            const Bytes page = memory.read(records::kind::Logo + p);
            written.insert(written.end(), page.begin(), page.end());
        }
        EXPECT_EQ(written, expected) << c.name;
        EXPECT_FALSE(memory.has(records::kind::Logo + c.pages)) << c.name;
        EXPECT_EQ(reg.requests(records::kind::Logo), logoRequests + 1) << c.name;
    }

    // A colour bitmap is refused before the port opens: nothing reaches the register.
    memory.clear();
    const int logoRequests = reg.requests(records::kind::Logo);
    ASSERT_TRUE(QImage(30, 10, QImage::Format_RGB888).save(QString::fromStdString(dir.file("colour.bmp")), "BMP"));
    LogoForm f;
    f.show();
    setText(&f, "txtFileName", QString::fromStdString(dir.file("colour.bmp")));
    const qsizetype mark = prompter.shown.size();
    click(&f, "cmdDownload");
    EXPECT_EQ(messagesSince(mark), QStringList{"S111216"});
    EXPECT_FALSE(engine->busy());
    EXPECT_FALSE(engine->portOpen());
    EXPECT_TRUE(memory.addresses().empty());
    EXPECT_EQ(reg.requests(records::kind::Logo), logoRequests);
    // A file that is gone by the time of the download.
    setText(&f, "txtFileName", QString::fromStdString(dir.file("gone.bmp")));
    click(&f, "cmdDownload");
    EXPECT_EQ(prompter.shown.last().text, "S111127");
    EXPECT_TRUE(memory.addresses().empty());
}

TEST_F(SimFormsTest, ClosingTheLogoFormWaitsForThePortAndAStopEndsTheWrite) {
    const records::LogoImage logo = logoOfBytes(136, 241); // two pages
    writeFile(dir.file("logo.bmp"), records::MonochromeBitmap(logo));
    fault("silence@4128#1");
    LogoForm f;
    f.show();
    setText(&f, "txtFileName", QString::fromStdString(dir.file("logo.bmp")));
    click(&f, "cmdDownload");
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
