// ecrctl: the register manager's transfers, import, export and reports from a
// terminal. Same logic as the desktop program; no windows.
#include "ImportPlu.h"
#include "Report.h"
#include "Transfer.h"
#include "app/CodePage.h"

#include <QCoreApplication>
#include <QDir>
#include <QLoggingCategory>
#include <QStandardPaths>

#include <iostream>
#include <string>
#include <vector>

namespace {

using ecr::cli::kExitOk;
using ecr::cli::kExitUsage;

const char* kUsage =
    "usage: ecrctl [OPTIONS] COMMAND [ARGS]\n"
    "\n"
    "Commands:\n"
    "  init                 create the database when it is missing, print its path\n"
    "                       and check that it has every table\n"
    "  upload KIND [--pages FIRST-LAST]\n"
    "                       read KIND from the register into the database\n"
    "  download KIND [--pages FIRST-LAST]\n"
    "                       write KIND from the database into the register; rows\n"
    "                       the register cannot hold are listed and nothing is sent\n"
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
    "1 failed (time-out, failure reply, port error, a broken database, rows that\n"
    "cannot be written, records of an upload that could not be stored, Ctrl-C)\n"
    "or import refused as a whole (nothing written; rejected rows do not count),\n"
    "2 usage error (including a page range that ends before it starts and a logo\n"
    "file that is missing, a folder, unreadable or not a monochrome bitmap).\n"
    "Progress goes to stderr when it is a terminal. Ctrl-C stops after the running\n"
    "request (its reply is kept); a second Ctrl-C stops at once.\n"
    "\n"
    "Options:\n"
    "  --db PATH            database file (default: the desktop program's ecr.db)\n"
    "  --port DEVICE        serial device for this run: a path, a file of the\n"
    "                       current folder, or a device name (ttyUSB0)\n"
    "  --baud RATE          line speed for this run: 115200, 57600, 19200 or 9600\n"
    "  --codepage NAME      register code page for this run (CP936, BIG5, CP1252,\n"
    "                       CP1258, CP1256, CP874, or another iconv name)\n"
    "  --lang N             message language for this run: 1 Simplified Chinese,\n"
    "                       2 Traditional Chinese, 3 English, 4 Vietnamese, 5 Farsi,\n"
    "                       6 French, 7 Thai (default: the database's, else the\n"
    "                       locale's)\n"
    "  --verbose            debug output of the database, records and link\n"
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

    ecr::cli::GlobalOptions opt;
    std::string command;
    bool dbGiven = false, verbose = false;
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (!command.empty()) {
            args.push_back(a);
            continue;
        }
        if (a == "-h" || a == "--help") {
            std::cout << kUsage;
            return kExitOk;
        }
        if (a == "--verbose") {
            verbose = true;
            continue;
        }
        if (a == "--db" || a == "--port" || a == "--baud" || a == "--codepage" || a == "--lang") {
            if (i + 1 >= argc) return usageError(a + " needs a value");
            const std::string v = argv[++i];
            if (a == "--db") {
                if (v.empty()) return usageError("--db needs a file name");
                opt.dbPath = v;
                dbGiven = true;
            } else if (a == "--port") {
                if (v.empty()) return usageError("--port needs a device");
                opt.port = v;
            } else if (a == "--baud") {
                if (!ecr::cli::ParseBaud(v, opt.baud)) return usageError("unsupported --baud " + v);
            } else if (a == "--codepage") {
                if (!ecr::CodePageKnown(v)) return usageError("unknown code page " + v);
                opt.codePage = v;
            } else if (!ecr::cli::ParseLanguage(v, opt.lang)) {
                return usageError("--lang needs a number from 1 to 7, not " + v);
            }
            continue;
        }
        if (!a.empty() && a[0] == '-') return usageError("unknown option " + a);
        command = a;
    }
    // Diagnostics go to ecr.log and the exit status; --verbose (or
    // QT_LOGGING_RULES) turns the trace of every layer on.
    if (verbose)
        QLoggingCategory::setFilterRules("ecr.*=true");
    else if (qEnvironmentVariableIsEmpty("QT_LOGGING_RULES"))
        QLoggingCategory::setFilterRules("ecr.*.debug=false\necr.*.info=false\necr.*.warning=false");

    if (command.empty()) return usageError("no command given");
    if (!dbGiven) opt.dbPath = defaultDbPath();

    if (command == "init") {
        if (!args.empty()) return usageError("init takes no arguments");
        return ecr::cli::RunInit(opt);
    }
    if (ecr::cli::IsTransferCommand(command)) return ecr::cli::RunTransferCommand(opt, command, args);
    if (command == "import-plu" || ecr::cli::IsReportCommand(command)) {
        // A database without the tables the program needs is refused here,
        // with the tables it lacks, before the command opens it.
        if (const int rc = ecr::cli::CheckDatabase(opt); rc != kExitOk) return rc;
        if (command == "import-plu") return ecr::cli::RunImportPlu(opt, args);
        return ecr::cli::RunReportCommand(opt, args);
    }
    return usageError("unknown command " + command);
}
