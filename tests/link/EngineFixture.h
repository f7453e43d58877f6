// The engine against a scripted register: a fake transport answers frames at
// once (from the clock's queue), time only moves when the test says so.
#pragma once

#include "TempDir.h"
#include "app/AppState.h"
#include "app/ErrorLog.h"
#include "db/Schema.h"
#include "link/Clock.h"
#include "link/Frames.h"
#include "link/TransferEngine.h"
#include "records/rows/DbPageIO.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>

// Port that records frames and hands them to a script; no device involved.
struct FakeTransport : ecr::link::Transport {
    bool failOpen = false;
    int failOpenAfter = -1; // opens that succeed before every later one fails
    QString openError = "Permission denied";
    bool openNow = false;
    int opens = 0, closes = 0, clears = 0;
    std::vector<ecr::Bytes> written;
    std::function<void(const ecr::Bytes&)> onWrite;

    bool open(QString& text, int& code) override {
        ++opens;
        if (failOpen || (failOpenAfter >= 0 && opens > failOpenAfter)) {
            text = openError;
            code = 2;
            return false;
        }
        openNow = true;
        return true;
    }
    void close() override {
        if (openNow) ++closes;
        openNow = false;
    }
    bool isOpen() const override { return openNow; }
    void write(const QByteArray& f) override {
        EXPECT_TRUE(openNow) << "write on a closed port";
        written.emplace_back(f.begin(), f.end());
        if (onWrite) onWrite(written.back());
    }
    void clearInput() override { ++clears; }
    std::string deviceName() const override { return "/dev/fake0"; }
    // The device fails while open, as an unplugged adapter does.
    void vanish(const QString& text) {
        openNow = false;
        emit failed(text);
    }
    void reply(const ecr::Bytes& b) {
        emit bytesReceived(QByteArray(reinterpret_cast<const char*>(b.data()), static_cast<qsizetype>(b.size())));
    }
};

// What the scripted register does with one request.
struct Answer {
    enum Kind { Normal, Silence, Bytes } kind = Normal;
    ecr::Bytes bytes;
    static Answer silence() { return {Silence, {}}; }
    static Answer raw(ecr::Bytes b) { return {Bytes, std::move(b)}; }
};

struct EngineFixture : ::testing::Test {
    TempDir dir;
    std::unique_ptr<ecr::db::Database> db = ecr::db::OpenOrCreate(dir.file("ecr.db"));
    // The kinds of this test's page I/O: a copy it may change freely.
    ecr::rows::PageRegistry kinds = ecr::rows::DatabaseKinds();
    ecr::rows::DbPageIO io{*db, ecr::App(), kinds};
    ecr::link::ManualClock clock;
    FakeTransport port;
    ecr::link::TransferEngine engine{port, io, clock};

    // The register: memory, request count per page, and an optional rule.
    std::map<int, ecr::Bytes> memory;
    std::map<int, int> attempts;
    std::vector<int> requested; // page address of every read or write, in order
    std::function<std::optional<Answer>(int page, int attempt, bool write)> rule;

    std::vector<ecr::link::TransferResult> results;
    std::vector<ecr::link::EngineState> states;
    std::vector<int> pages;
    std::vector<std::pair<int, int>> failedAttempts;
    std::vector<bool> portChanges;

    void SetUp() override {
        ecr::App() = ecr::AppState{};
        ecr::App().conn = db.get();
        ecr::SetErrorLogFolder(dir.path.string());
        using E = ecr::link::TransferEngine;
        QObject::connect(&engine, &E::finished, [this](const ecr::link::TransferResult& r) { results.push_back(r); });
        QObject::connect(&engine, &E::stateChanged, [this](ecr::link::EngineState s) { states.push_back(s); });
        QObject::connect(&engine, &E::pageStarted, [this](int p, const QString&) { pages.push_back(p); });
        QObject::connect(&engine, &E::attemptFailed,
                         [this](int p, int a, const ecr::link::LinkMessage&) { failedAttempts.emplace_back(p, a); });
        QObject::connect(&engine, &E::portOpenChanged, [this](bool o) { portChanges.push_back(o); });
        port.onWrite = [this](const ecr::Bytes& f) { answer(f); };
    }
    void TearDown() override {
        ecr::App().conn = nullptr;
        ecr::SetErrorLogFolder("");
    }

    void answer(const ecr::Bytes& f) {
        using namespace ecr::link;
        if (f.size() < 3) return;
        const bool clockFrame = f[2] == code::Clock;
        const int page = clockFrame ? 0 : f[3] | (f[4] << 8);
        const bool write = f[2] == code::Write;
        const int attempt = ++attempts[page];
        requested.push_back(page);
        std::optional<Answer> a = rule ? rule(page, attempt, write) : std::nullopt;
        ecr::Bytes out;
        if (a && a->kind == Answer::Silence) return;
        if (a && a->kind == Answer::Bytes) {
            out = a->bytes;
        } else if (write || clockFrame) {
            if (write) memory[page] = ecr::Bytes(f.begin() + 5, f.end() - 1);
            out = ResultFrame(code::Ok);
        } else {
            auto it = memory.find(page);
            out = PageFrame(code::Page, page, it == memory.end() ? ecr::Bytes(4096, 0xFF) : it->second);
        }
        // Delivered from the event loop, as a serial port would.
        clock.post([this, out] { port.reply(out); });
    }

    // Runs everything that is due now.
    void settle() {
        while (clock.runPending() > 0) {
        }
    }
    // Lets time pass in steps until a result arrives (or maxMs is used up).
    void runFor(std::int64_t maxMs) {
        settle();
        for (std::int64_t t = 0; t < maxMs && results.empty(); t += 100) clock.advance(100);
    }
    const ecr::link::TransferResult& only() {
        EXPECT_EQ(results.size(), 1u);
        return results.back();
    }
    long long count(const std::string& table) { return db->scalar("SELECT count(*) FROM " + table).toInt(); }
};
