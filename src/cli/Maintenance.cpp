#include "Maintenance.h"

#include "app/AppState.h"
#include "app/ErrorLog.h"
#include "app/GlobalFunc.h"
#include "db/Database.h"
#include "db/Maintenance.h"
#include "link/Clock.h"
#include "link/LinkText.h"
#include "link/RegisterCopy.h"
#include "link/TransferText.h"
#include "records/rows/DbPageIO.h"
#include "records/rows/RegisterBackup.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <filesystem>
#include <iostream>
#include <unistd.h>

namespace ecr::cli {

namespace {

using link::Direction;
using link::Outcome;

// Catalogue texts of the commands.
constexpr int kBackupDone = 111268;
constexpr int kInitDone = 111597;
constexpr int kPagesSaved = 120731;
constexpr int kWritten = 120732;
constexpr int kVerified = 120733;
constexpr int kMismatch = 120734;
constexpr int kRefusedFile = 120735;
constexpr int kOtherRegister = 120736;
constexpr int kModelLine = 120737;
constexpr int kKeyboardLine = 120738;
constexpr int kVersionLine = 120739;
constexpr int kPartlyWritten = 120742;
constexpr int kNothingSaved = 120743;
constexpr int kReading = 120728, kWriting = 120729, kChecking = 120730;

int usage(const std::string& what) {
    std::cerr << "ecrctl: " << what << "\n(see ecrctl --help)\n";
    return kExitUsage;
}

std::string text(int id, const std::vector<std::string>& args = {}) { return SubstituteArgs(link::LinkText(id), args); }

std::string absolute(const std::string& path) {
    std::error_code ec;
    const auto p = std::filesystem::absolute(path, ec);
    return ec ? path : p.lexically_normal().string();
}

// ---- backup-db, init-data ---------------------------------------------------------

int backupDb(const GlobalOptions& opt, const std::vector<std::string>& args) {
    if (args.size() != 1 || args[0].empty() || args[0].rfind("--", 0) == 0) return usage("backup-db needs one FILE");
    const std::string target = args[0];
    if (db::IsDatabaseFile(target, opt.dbPath))
        return usage("the backup cannot be written over the database itself (" + absolute(target) + ")");
    std::error_code ec;
    if (!std::filesystem::exists(opt.dbPath, ec)) {
        std::cerr << "ecrctl: there is no database " << absolute(opt.dbPath) << " to back up\n";
        return kExitFailed;
    }
    auto db = OpenCommandDatabase(opt);
    if (!db) return kExitFailed;
    LoadRunState(*db, opt);
    try {
        db::BackupDatabase(*db, target);
    } catch (const db::DbError& e) {
        WriteErrorLog("ecrctl_backup-db", e.code(), e.what());
        std::cerr << text(link::msg::ErrorOccurred) << "\n" << e.what() << "\n";
        App().conn = nullptr;
        return kExitFailed;
    }
    std::cout << text(kBackupDone) << "\n";
    App().conn = nullptr;
    return kExitOk;
}

int initData(const GlobalOptions& opt, const std::vector<std::string>& args) {
    if (args != std::vector<std::string>{"--yes"})
        return usage("init-data deletes every PLU, department, cashier, key, member, bundle, promotion, sale and "
                     "fiscal record of the database; give --yes to do it");
    auto db = OpenCommandDatabase(opt);
    if (!db) return kExitFailed;
    LoadRunState(*db, opt);
    int status = kExitOk;
    try {
        db::InitialiseData(*db);
        std::cout << text(kInitDone) << "\n";
    } catch (const db::DbError& e) {
        WriteErrorLog("ecrctl_init-data", e.code(), e.what());
        std::cerr << text(link::msg::ErrorOccurred) << "\n" << e.what() << "\n";
        status = kExitFailed;
    }
    App().conn = nullptr;
    return status;
}

// ---- save-register, load-register -------------------------------------------------

int signalPipe[2] = {-1, -1};
void onSignal(int) {
    const char c = 1;
    [[maybe_unused]] auto n = ::write(signalPipe[1], &c, 1);
}

// Runs the whole-register copy to its end; the result of the run. Progress
// goes to a terminal; Ctrl-C stops after the running request, a second one at
// once.
link::TransferResult runCopy(link::RegisterCopy& copy, Direction d, int keyboard, int captionId) {
    const bool tty = ::isatty(2);
    link::TransferResult result{Outcome::Failed, {link::msg::ErrorOccurred, {}, "the transfer could not start"}, true, 0};
    bool progressShown = false;
    QObject::connect(&copy, &link::RegisterCopy::pageStarted, &copy,
                     [&](int page, int total, const link::KindPlan* plan) {
                         if (!tty) return;
                         std::cerr << "\r\033[K"
                                   << text(captionId, {std::to_string(page), std::to_string(total),
                                                       link::KindCaption(plan->base)})
                                   << std::flush;
                         progressShown = true;
                     });
    QObject::connect(&copy, &link::RegisterCopy::finished, &copy, [&](const link::TransferResult& r) {
        if (progressShown) std::cerr << "\r\033[K" << std::flush;
        result = r;
        QCoreApplication::exit(0);
    });
    if (signalPipe[0] < 0 && ::pipe(signalPipe) == 0) {
        std::signal(SIGINT, onSignal);
        std::signal(SIGTERM, onSignal);
    }
    QSocketNotifier stopper(signalPipe[0], QSocketNotifier::Read);
    int stops = 0;
    QObject::connect(&stopper, &QSocketNotifier::activated, &copy, [&] {
        char c;
        [[maybe_unused]] auto n = ::read(signalPipe[0], &c, 1);
        if (++stops == 1) {
            std::cerr << (tty ? "\r\033[K" : "") << "stopping after the running request\n";
            copy.stopAfterRequest();
        } else {
            copy.stop();
        }
    });
    if (!copy.start(d, keyboard)) return result;
    QCoreApplication::exec();
    QObject::disconnect(&copy, nullptr, nullptr, nullptr);
    return result;
}

// The failure of a run, said on stderr.
void sayFailure(const link::TransferResult& r, int total) {
    const std::string message = link::ResultText(r);
    if (!message.empty()) std::cerr << message << "\n";
    std::cerr << (r.outcome == Outcome::Stopped ? "stopped" : "ended") << " at page " << r.page << " of " << total
              << "\n";
}

struct RegisterRun {
    std::unique_ptr<db::Database> db;
    std::unique_ptr<rows::DbPageIO> io;
    std::unique_ptr<link::SerialTransport> transport;
    link::QtClock clock;
    std::unique_ptr<link::TransferEngine> engine;

    bool open(const GlobalOptions& opt) {
        db = OpenCommandDatabase(opt);
        if (!db) return false;
        LoadRunState(*db, opt);
        io = std::make_unique<rows::DbPageIO>(*db, App());
        transport = std::make_unique<link::SerialTransport>([opt] { return CommandPortSettings(opt); });
        engine = std::make_unique<link::TransferEngine>(*transport, *io, clock);
        return true;
    }
    ~RegisterRun() {
        engine.reset();
        App().conn = nullptr;
    }
};

int saveRegister(const GlobalOptions& opt, const std::vector<std::string>& args) {
    if (args.size() != 1 || args[0].empty() || args[0].rfind("--", 0) == 0) return usage("save-register needs one FILE");
    const std::string path = args[0];
    if (db::IsDatabaseFile(path, opt.dbPath))
        return usage("the backup cannot be written over the database itself (" + absolute(path) + ")");
    RegisterRun run;
    if (!run.open(opt)) return kExitFailed;
    try {
        rows::RegisterBackup backup;
        backup.identity = rows::CurrentRegister(*run.db, App());
        rows::BackupPageIO pages(backup, rows::BackupPageIO::Mode::Collect);
        link::RegisterCopy copy(*run.engine, pages);
        const link::TransferResult r = runCopy(copy, Direction::Read, backup.identity.keyboard, kReading);
        if (r.outcome != Outcome::Done) {
            sayFailure(r, copy.totalPages());
            std::cerr << text(kNothingSaved) << "\n";
            return kExitFailed;
        }
        rows::WriteRegisterBackup(path, backup);
        std::cout << text(kPagesSaved, {std::to_string(backup.pages.size()), absolute(path)}) << "\n";
        return kExitOk;
    } catch (const std::exception& e) {
        WriteErrorLog("ecrctl_save-register", -1, e.what());
        std::cerr << text(link::msg::ErrorOccurred) << "\n" << e.what() << "\n" << text(kNothingSaved) << "\n";
        return kExitFailed;
    }
}

int loadRegister(const GlobalOptions& opt, const std::vector<std::string>& args) {
    std::string path;
    bool verify = false, yes = false;
    for (const std::string& a : args) {
        if (a == "--verify" && !verify) {
            verify = true;
        } else if (a == "--yes" && !yes) {
            yes = true;
        } else if (path.empty() && !a.empty() && a.rfind("--", 0) != 0) {
            path = a;
        } else {
            return usage("load-register needs one FILE, with --verify and --yes at most once");
        }
    }
    if (path.empty()) return usage("load-register needs one FILE");

    RegisterRun run;
    if (!run.open(opt)) return kExitFailed;
    // The file is read whole and checked before the port is opened.
    rows::RegisterBackup backup;
    const std::string why = rows::ReadRegisterBackup(path, backup);
    if (!why.empty()) {
        std::cerr << text(kRefusedFile, {absolute(path), why}) << "\n";
        return kExitFailed;
    }
    const auto differences = rows::Differences(backup.identity, rows::CurrentRegister(*run.db, App()));
    if (!differences.empty()) {
        std::string lines;
        for (const auto& d : differences) {
            const int id = d.field == rows::IdentityDifference::Field::Model      ? kModelLine
                           : d.field == rows::IdentityDifference::Field::Keyboard ? kKeyboardLine
                                                                                   : kVersionLine;
            lines += (lines.empty() ? "" : "\n") + text(id, {d.backup, d.here});
        }
        std::cerr << text(kOtherRegister, {lines}) << "\n";
        if (!yes) {
            std::cerr << "ecrctl: nothing was written; --yes writes it all the same\n";
            return kExitFailed;
        }
    }

    rows::BackupPageIO pages(backup, rows::BackupPageIO::Mode::Write);
    link::RegisterCopy copy(*run.engine, pages);
    const int keyboard = backup.identity.keyboard;
    link::TransferResult r = runCopy(copy, Direction::Write, keyboard, kWriting);
    const int total = copy.totalPages();
    if (r.outcome != Outcome::Done) {
        sayFailure(r, total);
        std::cerr << text(kPartlyWritten) << "\n";
        return kExitFailed;
    }
    if (!verify) {
        std::cout << text(kWritten, {std::to_string(total)}) << "\n";
        return kExitOk;
    }
    pages.setMode(rows::BackupPageIO::Mode::Verify);
    r = runCopy(copy, Direction::Read, keyboard, kChecking);
    if (r.outcome != Outcome::Done) {
        sayFailure(r, total);
        return kExitFailed;
    }
    if (!pages.mismatches().empty()) {
        std::string list;
        for (int a : pages.mismatches()) list += (list.empty() ? "" : ", ") + std::to_string(a);
        std::cerr << text(kMismatch, {std::to_string(pages.mismatches().size()), list}) << "\n";
        return kExitFailed;
    }
    std::cout << text(kVerified, {std::to_string(total)}) << "\n";
    return kExitOk;
}

} // namespace

bool IsMaintenanceCommand(const std::string& c) {
    return c == "backup-db" || c == "init-data" || c == "save-register" || c == "load-register";
}

int RunMaintenanceCommand(const GlobalOptions& opt, const std::string& command, const std::vector<std::string>& args) {
    if (command == "backup-db") return backupDb(opt, args);
    if (command == "init-data") return initData(opt, args);
    if (command == "save-register") return saveRegister(opt, args);
    return loadRegister(opt, args);
}

} // namespace ecr::cli
