// ecrctl runs against ecr-sim: a database and a register image in a scratch
// folder, the program's state on that database in English (the language the
// harness gives ecrctl), and the demo register's memory.
#pragma once

#include "CliHarness.h"
#include "TempDir.h"
#include "app/AppState.h"
#include "app/Config.h"
#include "app/GlobalFunc.h"
#include "db/Schema.h"
#include "link/LinkText.h"
#include "sim/Demo.h"
#include "sim/RegisterMemory.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>

struct RegisterCli : ::testing::Test {
    using Result = cli_harness::Result;
    using Sim = cli_harness::Sim;

    TempDir dir;
    std::string dbPath = dir.file("ecr.db");
    std::string image = dir.file("register.img");
    std::unique_ptr<ecr::db::Database> db = ecr::db::OpenOrCreate(dbPath);
    ecr::sim::RegisterMemory demo;

    RegisterCli() {
        ecr::App() = ecr::AppState{};
        ecr::App().conn = db.get();
        ecr::LoadStartupState(*db, ecr::App());
        ecr::App().langCode = 3;
        ecr::sim::FillDemo(demo);
    }
    ~RegisterCli() override { ecr::App().conn = nullptr; }

    // A register holding the given memory, saved in the image file.
    std::unique_ptr<Sim> start(const ecr::sim::RegisterMemory& memory, const QStringList& extra = {}) {
        EXPECT_EQ(memory.save(image), "");
        auto s = std::make_unique<Sim>(QStringList{"--image", QString::fromStdString(image)} + extra);
        EXPECT_FALSE(s->path.isEmpty());
        return s;
    }
    QStringList at(const Sim& sim) const { return {"--db", QString::fromStdString(dbPath), "--port", sim.path}; }
    Result run(const Sim& sim, const QStringList& args) const { return cli_harness::RunEcrctl(at(sim) + args); }
    // The register's memory as it is now.
    ecr::sim::RegisterMemory registerNow() const {
        ecr::sim::RegisterMemory m;
        EXPECT_EQ(m.load(image), "");
        return m;
    }
    std::string value(const std::string& sql) const { return db->scalar(sql).toText(); }
    // Every row of a table, for before/after comparisons.
    std::string dump(const std::string& table, const std::string& order = "1") const {
        std::string s;
        for (const auto& row : db->query("SELECT * FROM " + table + " ORDER BY " + order).rows) {
            for (const auto& v : row) s += v.toText() + "|";
            s += "\n";
        }
        return s;
    }
    static std::string text(int id, const std::vector<std::string>& args = {}) {
        return ecr::SubstituteArgs(ecr::link::LinkText(id), args);
    }
    std::string log() const {
        std::ifstream in(dir.file("ecr.log"), std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
};
