#include "LoginLogic.h"

#include "ui/DatabaseSession.h"
#include "ui/Prompter.h"
#include "app/Config.h"
#include "app/ErrorLog.h"
#include "db/Schema.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <filesystem>
#include <iostream>

namespace ecr::gui {

using namespace ecr::ui;
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
    // A 39-key model keeps the second key arrangement chosen for it.
    int keyboard = m.keyboard;
    if (hasInfoRow(db) && IsKey39Keyboard(m.keyboard) && GetKeyboardType(db) == kSecondKey39Keyboard)
        keyboard = kSecondKey39Keyboard;
    if (hasInfoRow(db))
        db.execute("UPDATE info SET lang = ?, keyboard = ?, ecrtype = ?", {langCode, keyboard, m.ecrtype});
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

QString StartupFailureText(const std::string& path, const std::string& reason) {
    return QString::fromUtf8(kStartupFailureText) + QStringLiteral("\n\n") + QString::fromStdString(path) +
           QStringLiteral("\n") + QString::fromStdString(reason);
}

namespace {
bool canHoldLog(const QString& folder) {
    const QFileInfo f(folder);
    return f.isDir() && f.isWritable();
}
} // namespace

bool OpenStartupDatabase(ui::DatabaseSession& session, const std::string& path, const std::string& fallbackLogFolder) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path full = fs::absolute(path, ec);
    if (ec) full = path;
    long long code = 0;
    std::string reason;
    try {
        session.open(full.string());
        return true;
    } catch (const db::DbError& e) {
        code = e.code();
        reason = e.what();
    } catch (const std::exception& e) {
        reason = e.what();
    }
    // SQLite's text may end with the path already.
    const std::string tail = ": " + full.string();
    if (reason.size() > tail.size() && reason.compare(reason.size() - tail.size(), tail.size(), tail) == 0)
        reason.resize(reason.size() - tail.size());
    std::cerr << "ecr-manager: cannot open the database " << full.string() << ": " << reason << std::endl;
    const QString beside = QString::fromStdString(full.parent_path().string());
    if (canHoldLog(beside)) {
        SetErrorLogFolder(beside.toStdString());
    } else {
        QDir().mkpath(QString::fromStdString(fallbackLogFolder));
        SetErrorLogFolder(fallbackLogFolder);
    }
    WriteErrorLog("Main", code, full.string() + ": " + reason);
    Prompt().error(nullptr, QString::fromUtf8(kStartupFailureTitle), StartupFailureText(full.string(), reason));
    return false;
}

} // namespace ecr::gui
