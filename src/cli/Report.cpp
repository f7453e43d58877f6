#include "Report.h"

#include "app/AppState.h"
#include "app/Config.h"
#include "app/ErrorLog.h"
#include "app/GlobalFunc.h"
#include "app/Messages.h"
#include "db/Schema.h"
#include "reports/Export.h"
#include "reports/Ids.h"
#include "reports/Renderer.h"
#include "reports/Reports.h"

#include <QGuiApplication>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <regex>
#include <sys/stat.h>
#include <unistd.h>

namespace ecr::cli {

namespace {

const char* kReportUsage =
    "usage: ecrctl [--db PATH] report NAME [--from T] [--to T] [--depart N] [--plu CODE]\n"
    "                                 [--score N] OUTPUT...\n"
    "\n"
    "NAME: summary plu-profit departments lines plu-lines payments returns\n"
    "      dept-prices cashiers top25 low-stock plu-list members hourly\n"
    "  lines needs --depart N, plu-lines needs --plu CODE; members lists the\n"
    "  scores above --score N, or every member without it.\n"
    "T: \"YYYY-MM-DD\" or \"YYYY-MM-DD HH:MM:SS\"; a date alone is 00:00:00 for\n"
    "  --from and 23:59:59 for --to; the default is today, the whole day.\n"
    "OUTPUT: one or more of --csv FILE (- for standard output), --xlsx FILE,\n"
    "  --pdf FILE. The CSV is UTF-8: the captions, one line per row, then an\n"
    "  empty line and caption,value per total.\n"
    "Exit status: 0 written (an empty report too, saying so on stderr), 1 the\n"
    "database or an output file failed, 2 usage error.\n";

int usage(const std::string& what) {
    std::cerr << "ecrctl: " << what << "\n\n" << kReportUsage;
    return kExitUsage;
}

bool digits(const std::string& s) { return std::regex_match(s, std::regex("[0-9]+")); }

struct Output {
    enum Kind { Csv, Xlsx, Pdf } kind;
    std::string path;
};

std::string cannotWrite(const std::string& path, const std::string& reason) {
    return SubstituteArgs(Msg(reports::msg::CannotWrite), {path, reason});
}

} // namespace

std::unique_ptr<QCoreApplication> MakeApplication(int& argc, char** argv) {
    std::string command;
    for (int i = 1; i < argc && command.empty(); ++i) {
        const std::string a = argv[i];
        if (a == "--db" || a == "--port" || a == "--baud" || a == "--codepage" || a == "--lang")
            ++i;
        else if (a.empty() || a[0] != '-')
            command = a;
    }
    if (!IsReportCommand(command)) return std::make_unique<QCoreApplication>(argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        // Reports run without a desktop session too (cron): give Qt the
        // private folder it would pick itself, so it has nothing to warn about.
        const std::string dir = "/tmp/runtime-" + std::to_string(::getuid());
        ::mkdir(dir.c_str(), 0700);
        struct stat st {};
        if (::stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid() &&
            (st.st_mode & 0777) == 0700)
            qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(dir));
    }
    return std::make_unique<QGuiApplication>(argc, argv);
}

bool IsReportCommand(const std::string& command) { return command == "report"; }

int RunReportCommand(const GlobalOptions& options, const std::vector<std::string>& args) {
    if (args.empty()) return usage("report needs a NAME");
    if (args[0] == "-h" || args[0] == "--help") {
        std::cout << kReportUsage;
        return kExitOk;
    }
    const reports::ReportInfo* info = reports::FindReport(args[0]);
    if (!info || args[0] != info->name) return usage("no report named " + args[0]);

    reports::ReportQuery q;
    q.period = reports::TodayPeriod();
    bool haveDepart = false, havePlu = false;
    std::vector<Output> outputs;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "-h" || a == "--help") {
            std::cout << kReportUsage;
            return kExitOk;
        }
        static const char* const kWithValue[] = {"--from", "--to", "--depart", "--plu", "--score", "--csv", "--xlsx", "--pdf"};
        if (std::find(std::begin(kWithValue), std::end(kWithValue), a) == std::end(kWithValue))
            return usage("unknown option " + a);
        if (i + 1 >= args.size()) return usage(a + " needs a value");
        const std::string v = args[++i];
        if (a == "--from" || a == "--to") {
            const auto t = reports::ParseReportTime(v, a == "--to");
            if (!t) return usage("bad time " + v + " (YYYY-MM-DD or \"YYYY-MM-DD HH:MM:SS\")");
            (a == "--from" ? q.period.start : q.period.end) = *t;
        } else if (a == "--depart") {
            if (!digits(v)) return usage("--depart takes a department number, not " + v);
            q.depart = v;
            haveDepart = true;
        } else if (a == "--plu") {
            if (!digits(v)) return usage("--plu takes a PLU code of digits, not " + v);
            q.plu = v;
            havePlu = true;
        } else if (a == "--score") {
            if (!std::regex_match(v, std::regex("[0-9]+(\\.[0-9]+)?"))) return usage("--score takes a number, not " + v);
            q.scoreAbove = NumericValue(v);
        } else {
            if (v.empty()) return usage(a + " needs a file name");
            outputs.push_back({a == "--csv" ? Output::Csv : a == "--xlsx" ? Output::Xlsx : Output::Pdf, v});
        }
    }
    if (info->filter == reports::Filter::Department && !haveDepart) return usage(std::string(info->name) + " needs --depart N");
    if (info->filter == reports::Filter::Plu && !havePlu) return usage(std::string(info->name) + " needs --plu CODE");
    if (outputs.empty()) return usage("no output: give --csv, --xlsx or --pdf");

    // A report never creates a database: a mistyped path is an error.
    std::error_code ec;
    if (!std::filesystem::exists(options.dbPath, ec)) {
        std::cerr << "ecrctl: cannot open database " << options.dbPath << ": no such file\n";
        return kExitFailed;
    }
    std::unique_ptr<db::Database> db;
    try {
        db = db::OpenOrCreate(options.dbPath);
    } catch (const std::exception& e) {
        std::cerr << "ecrctl: cannot open database " << options.dbPath << ": " << e.what() << "\n";
        return kExitFailed;
    }
    SetErrorLogFolder(std::filesystem::absolute(options.dbPath).parent_path().string());
    AppState& st = App();
    LoadRunState(*db, options);
    struct Release {
        ~Release() { App().conn = nullptr; }
    } release;

    reports::Document doc;
    try {
        doc = info->build(*db, q);
    } catch (const db::DbError& e) {
        WriteErrorLog("ecrctl report", e.code(), e.what());
        std::cerr << "ecrctl: " << Msg(111465) << " " << e.what() << "\n";
        return kExitFailed;
    }
    if (doc.noData) std::cerr << Msg(reports::msg::NoData) << "\n";

    for (const Output& out : outputs) {
        std::string failure;
        if (out.kind == Output::Csv) {
            const std::string text = reports::CsvText(doc);
            if (out.path == "-") {
                std::cout.write(text.data(), static_cast<std::streamsize>(text.size()));
                std::cout.flush();
                if (!std::cout) failure = cannotWrite("-", std::strerror(errno));
            } else {
                std::ofstream f(out.path, std::ios::binary | std::ios::trunc);
                f.write(text.data(), static_cast<std::streamsize>(text.size()));
                f.close();
                if (!f) failure = cannotWrite(out.path, std::strerror(errno));
            }
        } else if (out.kind == Output::Xlsx) {
            try {
                reports::WriteXlsx(doc, out.path);
            } catch (const std::exception& e) {
                failure = cannotWrite(out.path, e.what());
            }
        } else {
            QString reason;
            if (!reports::WritePdf(doc, QString::fromStdString(out.path), QDate::currentDate(),
                                   reports::ReportFontFamily(st.langCode), &reason))
                failure = cannotWrite(out.path, reason.toStdString());
        }
        if (!failure.empty()) {
            std::cerr << "ecrctl: " << failure << "\n";
            return kExitFailed;
        }
    }
    return kExitOk;
}

} // namespace ecr::cli
