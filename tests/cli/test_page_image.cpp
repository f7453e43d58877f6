// The engine's page I/O over a page-image file, against ecr-sim on a
// pseudo-terminal: every programming kind read from a demo register into the
// file, written back into a blank register, and the two memories compared
// page by page.
#include "CliHarness.h"
#include "TempDir.h"
#include "app/AppState.h"
#include "link/Clock.h"
#include "link/SerialTransport.h"
#include "link/TransferEngine.h"
#include "link/TransferPlans.h"
#include "records/rows/ImagePageIO.h"
#include "sim/Demo.h"
#include "sim/RegisterMemory.h"

#include <gtest/gtest.h>

#include <QEventLoop>
#include <QTimer>

#include <set>

using namespace ecr;
using cli_harness::Sim;

namespace {

constexpr std::string_view kProgramming[] = {"params", "cashiers", "departments", "keys",
                                             "plu",    "members",  "promotions",  "bundles"};

// Runs one kind's transfer to its end.
link::TransferResult transfer(link::TransferEngine& engine, std::string_view kind, link::Direction d) {
    link::TransferResult result;
    result.outcome = link::Outcome::TimedOut;
    QEventLoop loop;
    auto done = QObject::connect(&engine, &link::TransferEngine::finished, &loop,
                                 [&](const link::TransferResult& r) {
                                     result = r;
                                     loop.quit();
                                 });
    QTimer::singleShot(120000, &loop, &QEventLoop::quit);
    if (!link::StartKindTransfer(engine, *link::FindKindPlan(kind), d)) return result;
    loop.exec();
    QObject::disconnect(done);
    return result;
}

} // namespace

TEST(PageImage, EveryProgrammingKindRoundTripsThroughTheFile) {
    cli_harness::qtApp();
    App() = AppState{};
    TempDir dir;
    sim::RegisterMemory demo;
    sim::FillDemo(demo);
    ASSERT_EQ(demo.save(dir.file("demo.img")), "");
    Sim full({"--image", QString::fromStdString(dir.file("demo.img"))});
    Sim blank({"--image", QString::fromStdString(dir.file("blank.img"))});
    ASSERT_FALSE(full.path.isEmpty());
    ASSERT_FALSE(blank.path.isEmpty());

    rows::ImagePageIO image(dir.file("register.ecrimg"));
    image.setMeta(rows::meta::Keyboard, "2");
    image.setMeta(rows::meta::RegisterVersion, "100322");
    std::string device = full.path.toStdString();
    link::SerialTransport port([&device] { return link::PortSettings{device, 115200}; });
    link::QtClock clock;
    link::TransferEngine engine(port, image, clock);

    for (std::string_view kind : kProgramming)
        EXPECT_EQ(transfer(engine, kind, link::Direction::Read).outcome, link::Outcome::Done) << kind;
    device = blank.path.toStdString();
    for (std::string_view kind : kProgramming)
        EXPECT_EQ(transfer(engine, kind, link::Direction::Write).outcome, link::Outcome::Done) << kind;

    // Every page of the programming kinds is the same in both registers, and
    // the blank one received nothing else.
    sim::RegisterMemory written;
    ASSERT_EQ(written.load(dir.file("blank.img")), "");
    std::set<int> compared;
    for (std::string_view kind : kProgramming) {
        const link::ResolvedPlan r = link::Resolve(*link::FindKindPlan(kind), link::Direction::Write, 2);
        for (int a = r.base; a < r.base + r.pages; ++a) {
            EXPECT_EQ(written.read(a), demo.read(a)) << kind << " page " << a;
            compared.insert(a);
        }
    }
    for (int a : written.addresses()) EXPECT_TRUE(compared.count(a)) << "page " << a << " was written";
    EXPECT_EQ(compared.size(), 1u + 1 + 1 + 1 + 160 + 32 + 8 + 16);
    // The demo's data pages were among them.
    for (int a : {4112, 4113, 4115, 4116, 4136, 4144, 4176, 4192, 4193}) EXPECT_TRUE(demo.has(a)) << a;
}
