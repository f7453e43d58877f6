// What the start-up, login, password and serial-settings forms decide, without
// the widgets: password checks, the rows they write, the list positions.
#pragma once

#include "app/AppState.h"

#include <QString>

#include <string>

namespace ecr::db {
class Database;
}
namespace ecr::ui {
class DatabaseSession;
}

namespace ecr::gui {

// The login password; a missing row or a null column is the empty password,
// so a new database can be logged into.
std::string StoredPassword(db::Database& db);
bool PasswordMatches(db::Database& db, const std::string& typed);
// Sets info.passwd (inserting the info row when missing).
void StorePassword(db::Database& db, const std::string& password);

// A successful login: stores the language and the model of the list index
// (1..5 of kModels), inserting the info row when missing, and sets the state.
void StoreLogin(db::Database& db, AppState& state, int langCode, int modelIndex);

// The session without a login: language 2 and model CEDAR are stored; the
// language in use stays the one read at start-up.
void StoreOemDefaults(db::Database& db, AppState& state);

// Login list position of the stored model code; 0 (the prompt) when unknown.
int ModelListIndex(const std::string& ecrtype);

// Rate list: 115200, 57600, 19200, 9600.
inline constexpr int kRates[] = {115200, 57600, 19200, 9600};
// List position of a rate; 0 for any rate not in the list.
int RateIndex(int rate);
// Rate at a list position; 115200 outside the list.
int RateAt(int index);

// Default database file: ecr.db in the user's data folder, shared with ecrctl.
std::string DefaultDatabasePath();

// Opens (creating when missing) the database in the session, which reads the
// configuration. On failure the path and the reason are shown under the fixed
// text, printed on standard error and logged ("Main") beside the database,
// or in fallbackLogFolder when that folder cannot take a log; false then.
bool OpenStartupDatabase(ui::DatabaseSession& session, const std::string& path, const std::string& fallbackLogFolder);

// The fixed message of a start-up failure.
inline constexpr const char* kStartupFailureTitle = "Error Message";
inline constexpr const char* kStartupFailureText = "Data file path is failed, please check file install path!";
// The message with the path and the reason.
QString StartupFailureText(const std::string& path, const std::string& reason);

} // namespace ecr::gui
