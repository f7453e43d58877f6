// ecrctl: the register manager's transfers, import, export and reports from a
// terminal. Same logic as the desktop program; no windows.
#include "app/AppState.h"
#include "app/Config.h"
#include "app/ErrorLog.h"
#include "ImportPlu.h"
#include "Report.h"
#include "Transfer.h"
#include "db/Schema.h"

#include <QCoreApplication>
#include <QDir>
#include <QLoggingCategory>
#include <QStandardPaths>

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

namespace {

using ecr::cli::kExitFailed;
using ecr::cli::kExitOk;
using ecr::cli::kExitUsage;

const char* kUsage =
    "usage: ecrctl [--db PATH] [--port DEVICE] [--baud RATE] COMMAND [ARGS]\n"
    "\n"
    "Commands:\n"
    "  init                 create the database when it is missing and print its path\n"
    "  upload KIND [--pages FIRST-LAST]\n"
    "                       read KIND from the register into the database\n"
    "  download KIND [--pages FIRST-LAST]\n"
    "                       write KIND from the database into the register\n"
    "  set-clock [--time \"YYYY-MM-DD HH:MM\"]\n"
    "                       set the register's clock (default: this computer's time)\n"
    "  send-logo FILE.bmp   write a monochrome bitmap as the receipt logo\n"
    "  import-plu FILE [--dry-run]\n"
    "                       import PLUs from a spreadsheet (.xlsx .ods .xls .csv);\n"
    "                       --dry-run shows what it would do and writes nothing\n"
    "  report NAME [OPTIONS] OUTPUT...\n"
    "                       write a report as CSV, .xlsx or PDF (report --help)\n"
    "\n"
    "KIND: params cashiers departments keys flashcash plu journal members\n"
    "      promotions bundles fiscal\n"
    "Pages are 1-based and clamped to the kind's pages. Exit status: 0 done,\n"
    "1 transfer failed or stopped (time-out, failure reply, port error, Ctrl-C)\n"
    "or import refused as a whole (nothing written; rejected rows do not count),\n"
    "2 usage error (including a page range that ends before it starts and a logo\n"
    "file that is missing or not a monochrome bitmap). Progress goes to stderr\n"
    "when it is a terminal.\n"
    "\n"
    "Options:\n"
    "  --db PATH            database file (default: the desktop program's ecr.db)\n"
    "  --port DEVICE        serial device for this run (e.g. /dev/ttyUSB0)\n"
    "  --baud RATE          line speed for this run: 115200, 57600, 19200 or 9600\n"
    "  -h, --help           show this help\n";

int usageError(const std::string& what) {
    std::cerr << "ecrctl: " << what << "\n\n" << kUsage;
    return kExitUsage;
}

std::string defaultDbPath() {
    QString dir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return QDir(dir).filePath("ecr.db").toStdString();
}

} // namespace

int main(int argc, char** argv) {
    const auto app = ecr::cli::MakeApplication(argc, argv);
    QCoreApplication::setOrganizationName("ecr");
    QCoreApplication::setApplicationName("ecr-manager");
    // Diagnostics go to ecr.log and the exit status; QT_LOGGING_RULES turns
    // the link's trace on (e.g. "ecr.*=true").
    if (qEnvironmentVariableIsEmpty("QT_LOGGING_RULES")) QLoggingCategory::setFilterRules("ecr.*.debug=false\necr.*.warning=false");

    std::string dbPath, port, command;
    int baud = 0;
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (command.empty() && (a == "-h" || a == "--help")) {
            std::cout << kUsage;
            return kExitOk;
        }
        if (command.empty() && (a == "--db" || a == "--port" || a == "--baud")) {
            if (i + 1 >= argc) return usageError(a + " needs a value");
            std::string v = argv[++i];
            if (a == "--db") {
                dbPath = v;
            } else if (a == "--port") {
                port = v;
            } else {
                try {
                    baud = std::stoi(v);
                } catch (...) {
                    baud = 0;
                }
                if (baud != 115200 && baud != 57600 && baud != 19200 && baud != 9600)
                    return usageError("unsupported --baud " + v);
            }
            continue;
        }
        if (command.empty()) {
            if (!a.empty() && a[0] == '-') return usageError("unknown option " + a);
            command = a;
        } else {
            args.push_back(a);
        }
    }
    if (command.empty()) return usageError("no command given");
    if (dbPath.empty()) dbPath = defaultDbPath();

    if (command == "init") {
        if (!args.empty()) return usageError("init takes no arguments");
        try {
            bool created = false;
            auto db = ecr::db::OpenOrCreate(dbPath, &created);
            std::cout << std::filesystem::absolute(dbPath).string() << "\n";
            if (created) std::cerr << "created\n";
            return kExitOk;
        } catch (const std::exception& e) {
            ecr::SetErrorLogFolder(std::filesystem::absolute(dbPath).parent_path().string());
            std::cerr << "ecrctl: cannot open database " << dbPath << ": " << e.what() << "\n";
            return kExitFailed;
        }
    }
    if (command == "import-plu") return ecr::cli::RunImportPlu(dbPath, args);
    if (ecr::cli::IsReportCommand(command)) return ecr::cli::RunReportCommand({dbPath, port, baud}, args);
    if (ecr::cli::IsTransferCommand(command))
        return ecr::cli::RunTransferCommand({dbPath, port, baud}, command, args);
    return usageError("unknown command " + command);
}
