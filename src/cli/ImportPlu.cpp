#include "ImportPlu.h"

#include "Transfer.h"
#include "app/AppState.h"
#include "app/Config.h"
#include "app/ErrorLog.h"
#include "app/Messages.h"
#include "db/Schema.h"
#include "import/PluImport.h"

#include <filesystem>
#include <iostream>

namespace ecr::cli {

namespace {

std::string text(const import::Note& n) {
    return import::NoteText(n, [](int id) { return Msg(id); });
}

void printPlan(const import::ImportPlan& plan) {
    std::cout << "inserted " << plan.inserts << ", updated " << plan.updates << ", rejected " << plan.rejects << "\n";
    for (const auto& row : plan.rows) {
        if (row.reason) std::cout << "row " << row.sheetRow << ": " << text(*row.reason) << "\n";
        for (const auto& w : row.warnings) std::cout << "row " << row.sheetRow << ": warning: " << text(w) << "\n";
    }
}

} // namespace

int RunImportPlu(const GlobalOptions& options, const std::vector<std::string>& args) {
    const std::string& dbPath = options.dbPath;
    std::string file;
    bool dryRun = false;
    for (const auto& a : args) {
        if (a == "--dry-run") {
            dryRun = true;
        } else if (a.rfind("--", 0) == 0 || !file.empty()) {
            std::cerr << "ecrctl: unexpected argument " << a << "\n(see ecrctl --help)\n";
            return kExitUsage;
        } else {
            file = a;
        }
    }
    if (file.empty()) {
        std::cerr << "ecrctl: import-plu needs a FILE\n(see ecrctl --help)\n";
        return kExitUsage;
    }

    SetErrorLogFolder(std::filesystem::absolute(dbPath).parent_path().string());
    std::unique_ptr<db::Database> db;
    try {
        db = db::OpenOrCreate(dbPath);
    } catch (const db::DbError& e) {
        WriteErrorLog(import::kImportErrorLocation, e.code(), e.what());
        std::cerr << "ecrctl: cannot open database " << dbPath << ": " << e.what() << "\n";
        return kExitFailed;
    }
    AppState& st = App();
    LoadRunState(*db, options);
    struct Leave {
        AppState& st;
        ~Leave() { st.conn = nullptr; }
    } leave{st};

    try {
        const sheets::ReadSheet sheet = import::ReadImportFile(file, st.dbPath);
        const import::ImportSettings settings = import::ReadImportSettings(*db, st.langCode);
        if (dryRun) {
            printPlan(import::PlanImport(*db, sheet, settings));
        } else {
            import::ImportWriter writer(*db, sheet, settings);
            writer.finish();
            printPlan(writer.plan());
        }
        return kExitOk;
    } catch (const import::ImportRefused& e) {
        if (e.note().messageId == import::msg::Unreadable)
            WriteErrorLog(import::kImportErrorLocation, 0, text(e.note()));
        std::cerr << text(e.note()) << "\n";
    } catch (const db::DbError& e) {
        WriteErrorLog(import::kImportErrorLocation, e.code(), e.what());
        std::cerr << Msg(111134) << "\n" << e.what() << "\n";
    }
    return kExitFailed;
}

} // namespace ecr::cli
