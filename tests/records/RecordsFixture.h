// A seeded database and a page context for record tests.
#pragma once

#include "TempDir.h"
#include "db/Schema.h"
#include "records/PageRegistry.h"

#include <gtest/gtest.h>

struct RecordsFixture : ::testing::Test {
    TempDir dir;
    std::unique_ptr<ecr::db::Database> db = ecr::db::OpenOrCreate(dir.file("ecr.db"));
    ecr::AppState state;
    ecr::records::JournalPageTable journal;
    ecr::records::PageContext ctx{*db, state, journal};
    static void SetUpTestSuite() { ecr::records::RegisterRecordKinds(); }
    ecr::Bytes blankPage() const { return ecr::Bytes(ecr::records::kPageSize, 0xFF); }
    long long count(const std::string& table) { return db->scalar("SELECT count(*) FROM " + table).toInt(); }
};
