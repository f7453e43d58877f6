// A fresh database file created as the programs create it.
#pragma once

#include "TempDir.h"
#include "app/AppState.h"
#include "db/Schema.h"

#include <gtest/gtest.h>

struct CoreFixture : ::testing::Test {
    TempDir dir;
    std::unique_ptr<ecr::db::Database> db = ecr::db::OpenOrCreate(dir.file("ecr.db"));
    ecr::AppState state;
};
