// Looking after the database file itself: an online backup, the check that
// another file is one of the program's databases, and emptying the register
// data. Used by the desktop program's session and by ecrctl alike.
#pragma once

#include "Database.h"

#include <string>
#include <vector>

namespace ecr::db {

// The tables a file must have to be taken as the program's database.
inline constexpr const char* kRequiredTables[] = {"cashier", "depart", "hotkey", "member",
                                                  "msglist", "params", "plu",    "plurecord"};

// The tables initialising data empties: the register's programming, sales
// journal and totals. Parameters, the journal allocation, the program's
// settings, the catalogue and the key captions stay.
inline constexpr const char* kRegisterDataTables[] = {"bundle", "cashier", "depart",   "fiscal",   "flashcash",
                                                      "hotkey", "member",  "plu",      "plurecord", "promotion"};

// The required tables a file lacks (names compared without regard to case),
// read on a connection of its own that writes nothing. Throws DbError when
// the file cannot be read as a database (or does not exist).
std::vector<std::string> MissingRequiredTables(const std::string& path);

// True when path names the database file at dbPath, or the journal files
// beside it: a backup written there would destroy the database.
bool IsDatabaseFile(const std::string& path, const std::string& dbPath);

// Writes a consistent copy of the database into path through SQLite's backup
// interface: committed data only (the WAL's too), while other connections go
// on writing. An older file at path is replaced only by a whole copy.
// Throws DbError.
void BackupDatabase(Database& db, const std::string& path);

// Empties the register data tables in one transaction: all or none. Throws
// DbError (nothing changed then).
void InitialiseData(Database& db);

} // namespace ecr::db
