// Creating a database file: schema, message catalogue, key captions and the
// one journal-allocation row.
#pragma once

#include "Database.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace ecr::embedded {
// Bytes of a data file compiled into the program ("schema.sql", "msglist.tsv",
// "buttontext.tsv"); empty when unknown.
std::string_view file(std::string_view name);
} // namespace ecr::embedded

namespace ecr::db {

// Splits a TSV data file into rows of fields; the first line (the header) is
// returned as row 0. "\n" and "\t" in a field stand for a line break and a tab.
std::vector<std::vector<std::string>> ParseTsv(std::string_view text);

// Creates every table and view and loads the seed rows, in one transaction.
void InitializeSchema(Database& db);

// Tables the schema creates that the database lacks, in schema order.
std::vector<std::string> MissingTables(Database& db);

// Brings the stored queries (views) of an existing file up to those of the
// schema: a view whose SQL differs is replaced. Views hold no data.
void RefreshStoredQueries(Database& db);

// Creates the indexes of the schema an existing file lacks (a file made by an
// earlier version of the program); those it has stay.
void AddMissingIndexes(Database& db);

// Adds the catalogue texts a database made by an earlier version of the
// program lacks; texts it has (and may have changed) stay as they are.
void AddMissingTexts(Database& db);

// Opens the file, creating and seeding it first when it does not exist, and
// refreshes the stored queries and adds missing indexes and texts of an
// existing one.
// Throws DbError when it cannot be opened or created.
std::unique_ptr<Database> OpenOrCreate(const std::string& path, bool* created = nullptr);

} // namespace ecr::db
