// Forms against the simulated register on a pseudo-terminal: the real serial
// transport, the engine on a clock the test moves.
#pragma once

#include "FormsFixture.h"
#include "link/Clock.h"
#include "link/SerialTransport.h"
#include "link/TransferEngine.h"
#include "records/PageKinds.h"
#include "records/rows/DbPageIO.h"
#include "sim/SimServer.h"
#include "ui/RegisterLink.h"

#include <chrono>
#include <functional>
#include <memory>

struct SimLinkFixture : FormsFixture {
    ecr::sim::RegisterMemory memory;
    ecr::sim::SimRegister reg{memory};
    ecr::sim::SimServer server{reg};
    std::string port;
    ecr::link::SerialTransport transport{[this] { return ecr::link::PortSettings{port, 115200}; }};
    ecr::link::ManualClock clock;
    ecr::rows::DbPageIO io{*db, ecr::App()};
    std::unique_ptr<ecr::link::TransferEngine> engine;

    SimLinkFixture() {
        QString err;
        EXPECT_TRUE(server.start(err)) << err.toStdString();
        port = server.path().toStdString();
        engine = std::make_unique<ecr::link::TransferEngine>(transport, io, clock);
        ecr::ui::SetEngine(engine.get());
    }
    ~SimLinkFixture() override {
        ecr::ui::SetEngine(nullptr);
        engine.reset();
    }

    // Runs the event loop and what the engine posted on its clock until done
    // (false when the wall-clock limit passes first).
    bool runUntil(const std::function<bool()>& done, int ms = 30000) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (!done()) {
            if (std::chrono::steady_clock::now() > end) return false;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 2);
            clock.runPending();
        }
        return true;
    }
    // As runUntil, with every new request of the page left unanswered: its
    // reply wait passes on the test's clock as soon as the register has it.
    bool runUntilTimingOut(int page, const std::function<bool()>& done) {
        int seen = reg.requests(page);
        return runUntil([&] {
            if (reg.requests(page) > seen) {
                seen = reg.requests(page);
                clock.advance(ecr::link::kReplyTimeoutMs);
            }
            return done();
        });
    }
    bool shown(const QString& text, qsizetype from = 0) const { return messagesSince(from).contains(text); }
    void fault(const char* rule) {
        std::string err;
        auto f = ecr::sim::ParseFault(rule, err);
        ASSERT_TRUE(f) << err;
        reg.addFault(*f);
    }
};
