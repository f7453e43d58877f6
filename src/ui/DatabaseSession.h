// The open database of the desktop program: opening it, replacing it with
// another file, taking an online backup and compacting it. The database runs
// in WAL mode, so committed data may still sit in the -wal file beside it: a
// copy of the main file alone is not a backup. The backup goes through
// SQLite's backup interface, which reads one consistent snapshot while other
// connections go on writing.
//
// Forms and the status bar follow a replaced database through replaced().
#pragma once

#include "db/Database.h"

#include <QObject>
#include <QString>

#include <memory>
#include <string>

namespace ecr {
struct AppState;
}

namespace ecr::ui {

class DatabaseSession : public QObject {
    Q_OBJECT
public:
    // The session serves state: its conn, dbPath and dbFileName follow the
    // open database, and the configuration is read from it on opening.
    explicit DatabaseSession(AppState& state, QObject* parent = nullptr);
    ~DatabaseSession() override;

    // Opens (creating when missing) the file and reads its configuration.
    // Throws db::DbError (or std::exception) with the reason; nothing changes then.
    void open(const std::string& path);
    // Opens the file and, when that worked, puts it in place of the open one
    // and emits replaced(). Refused (false, why says so) while a transfer runs
    // or a transaction is open. Throws like open().
    bool replace(const std::string& path, QString* why = nullptr);
    // Writes a consistent copy of the open database into a new file at path
    // (replacing it). Throws db::DbError.
    void backup(const std::string& path);
    // Empties the register data (db::InitialiseData): all tables or none.
    // Throws db::DbError.
    void initialiseData();
    // Rebuilds the file without free pages (VACUUM) and folds the WAL into it.
    // Throws db::DbError, e.g. while another connection reads.
    void compact();

    db::Database* database() const { return db_.get(); }
    // A serial device given for the run (--port): it stays in force whatever
    // the opened file stores.
    void setPortOverride(std::string device) { portOverride_ = std::move(device); }
    // Closes the database; state no longer refers to it.
    void close();

signals:
    // Another database file is now the open one.
    void replaced();

private:
    void adopt(std::unique_ptr<db::Database> db);

    AppState& state_;
    std::unique_ptr<db::Database> db_;
    std::string portOverride_;
};

// The session forms use; nullptr when none is installed.
DatabaseSession* Session();
void SetSession(DatabaseSession* session);

} // namespace ecr::ui
