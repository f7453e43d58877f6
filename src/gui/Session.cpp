#include "Session.h"

#include "Prompter.h"
#include "app/Config.h"
#include "app/ErrorLog.h"
#include "db/Schema.h"

#include <QDir>
#include <QStandardPaths>

#include <filesystem>

namespace ecr::gui {
namespace {

bool hasInfoRow(db::Database& db) { return !db.query("SELECT 1 FROM info LIMIT 1").empty(); }

} // namespace

std::string StoredPassword(db::Database& db) { return db.scalar("SELECT passwd FROM info LIMIT 1").toText(); }

bool PasswordMatches(db::Database& db, const std::string& typed) { return typed == StoredPassword(db); }

void StorePassword(db::Database& db, const std::string& password) {
    db::Transaction t(db);
    if (hasInfoRow(db))
        db.execute("UPDATE info SET passwd = ?", {password});
    else
        db.execute("INSERT INTO info(passwd) VALUES(?)", {password});
    t.commit();
}

void StoreLogin(db::Database& db, AppState& state, int langCode, int modelIndex) {
    const ModelInfo& m = kModels[modelIndex - 1];
    db::Transaction t(db);
    if (hasInfoRow(db))
        db.execute("UPDATE info SET lang = ?, keyboard = ?, ecrtype = ?", {langCode, m.keyboard, m.ecrtype});
    else
        db.execute("INSERT INTO info(lang, keyboard, ecrtype) VALUES(?, ?, ?)", {langCode, m.keyboard, m.ecrtype});
    t.commit();
    state.langCode = langCode;
    state.modelName = m.name;
}

void StoreOemDefaults(db::Database& db, AppState& state) {
    db::Transaction t(db);
    db.execute("UPDATE info SET lang = 2");
    db.execute("UPDATE info SET keyboard = 1");
    db.execute("UPDATE info SET ecrtype = 'CED'");
    t.commit();
    state.modelName = "CEDAR";
}

int ModelListIndex(const std::string& ecrtype) {
    for (std::size_t i = 0; i < std::size(kModels); ++i)
        if (ecrtype == kModels[i].ecrtype) return static_cast<int>(i) + 1;
    return 0;
}

int RateIndex(int rate) {
    for (std::size_t i = 0; i < std::size(kRates); ++i)
        if (kRates[i] == rate) return static_cast<int>(i);
    return 0;
}

int RateAt(int index) {
    if (index < 0 || index >= static_cast<int>(std::size(kRates))) return kRates[0];
    return kRates[index];
}

std::string DefaultDatabasePath() {
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return QDir(dir).filePath("ecr.db").toStdString();
}

std::unique_ptr<db::Database> OpenStartupDatabase(const std::string& path, AppState& state) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path full = fs::absolute(path, ec);
    if (ec) full = path;
    SetErrorLogFolder(full.parent_path().string());
    long long code = 0;
    std::string text;
    try {
        auto db = db::OpenOrCreate(full.string());
        state.dbPath = full.string();
        state.dbFileName = full.filename().string();
        LoadStartupState(*db, state);
        return db;
    } catch (const db::DbError& e) {
        code = e.code();
        text = e.what();
    } catch (const std::exception& e) {
        text = e.what();
    }
    WriteErrorLog("Main", code, text);
    Prompt().error(nullptr, QString::fromUtf8(kStartupFailureTitle), QString::fromUtf8(kStartupFailureText));
    return nullptr;
}

} // namespace ecr::gui
