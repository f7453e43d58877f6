// A seeded database and the page kinds over it, for row-mapping tests.
#pragma once

#include "TempDir.h"
#include "app/ErrorLog.h"
#include "db/Schema.h"
#include "records/rows/PageRegistry.h"

#include <gtest/gtest.h>

#include <fstream>

struct RowsFixture : ::testing::Test {
    TempDir dir;
    std::unique_ptr<ecr::db::Database> db = ecr::db::OpenOrCreate(dir.file("ecr.db"));
    ecr::AppState state;
    ecr::rows::PageContext ctx{*db, state};
    ecr::link::StoreResult last; // what the last store() reported

    // Errors are logged into the test's folder.
    RowsFixture() { ecr::SetErrorLogFolder(dir.path.string()); }
    ~RowsFixture() override { ecr::SetErrorLogFolder(""); }
    std::string firstLogLine() const {
        std::ifstream log(ecr::ErrorLogPath());
        std::string first;
        std::getline(log, first);
        return first;
    }

    ecr::Bytes blankPage() const { return ecr::Bytes(ecr::records::kPageSize, 0xFF); }
    long long count(const std::string& table) { return db->scalar("SELECT count(*) FROM " + table).toInt(); }
    std::string text(const std::string& sql) { return db->scalar(sql).toText(); }
    // Stores a received page of the kind; "" or the error.
    std::string store(int kind, ecr::ByteView page, int pageIndex) {
        last = ecr::rows::StoreReceivedPage(ecr::rows::DatabaseKinds(), ctx, kind, page, pageIndex);
        return last.error;
    }
    ecr::Bytes build(int kind, int pageIndex) {
        return ecr::rows::BuildPage(ecr::rows::DatabaseKinds(), ctx, kind, pageIndex);
    }
};
