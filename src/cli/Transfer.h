// ecrctl's commands: init, and the register commands upload, download,
// set-clock and send-logo, which drive the same engine and kind table as the
// desktop editors.
#pragma once

#include <string>
#include <vector>

namespace ecr::db {
class Database;
}

namespace ecr::cli {

struct GlobalOptions {
    std::string dbPath;
    std::string port;     // "" = stored setting
    int baud = 0;         // 0 = stored setting
    std::string codePage; // "" = stored setting
    int lang = 0;         // 0 = the database's, else the locale's
};

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

bool IsTransferCommand(const std::string& command);
// Runs the command; returns the exit status. Messages go to stderr.
int RunTransferCommand(const GlobalOptions& options, const std::string& command, const std::vector<std::string>& args);
// Creates the database when missing, prints its path and checks its tables.
int RunInit(const GlobalOptions& options);
// Checks the tables of an existing database file; kExitOk (also for a file
// that does not exist), or kExitFailed after saying what is wrong.
int CheckDatabase(const GlobalOptions& options);

// The shared state of this run on the open database: the database's
// settings, then this run's language (--lang, or the locale's for a database
// without its settings) and code page (--codepage).
void LoadRunState(db::Database& db, const GlobalOptions& options);

// Strict forms of the option values: the whole text, nothing after it.
bool ParseBaud(const std::string& text, int& baud);      // 115200, 57600, 19200 or 9600
bool ParseLanguage(const std::string& text, int& lang);  // 1..7
bool ParsePages(const std::string& text, std::pair<int, int>& pages); // "N-M" or "N"

} // namespace ecr::cli
