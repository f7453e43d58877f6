#include "Transfer.h"

#include "app/AppState.h"
#include "app/CodePage.h"
#include "app/Config.h"
#include "app/ErrorLog.h"
#include "app/Messages.h"
#include "db/Schema.h"
#include "link/LinkText.h"
#include "link/SerialTransport.h"
#include "link/TransferEngine.h"
#include "link/TransferPlans.h"
#include "link/TransferText.h"
#include "records/Logo.h"
#include "records/rows/DbPageIO.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QSocketNotifier>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <optional>
#include <regex>
#include <unistd.h>

namespace ecr::cli {

namespace {

using link::Direction;
using link::Outcome;

int signalPipe[2] = {-1, -1};
void onSignal(int) {
    const char c = 1;
    [[maybe_unused]] auto n = ::write(signalPipe[1], &c, 1);
}

int usage(const std::string& what) {
    std::cerr << "ecrctl: " << what << "\n(see ecrctl --help)\n";
    return kExitUsage;
}

bool parseTime(const std::string& s, link::ClockTime& t) {
    static const std::regex re(R"((\d{4})-(\d{1,2})-(\d{1,2})[ T](\d{1,2}):(\d{2}))");
    std::smatch m;
    if (!std::regex_match(s, m, re)) return false;
    t = {std::stoi(m[1]), std::stoi(m[2]), std::stoi(m[3]), std::stoi(m[4]), std::stoi(m[5])};
    return QDate(t.year, t.month, t.day).isValid() && t.hour < 24 && t.minute < 60;
}

std::string absolute(const std::string& path) {
    std::error_code ec;
    const auto p = std::filesystem::absolute(path, ec);
    return ec ? path : p.string();
}

// The database of the command, opened (created when missing) with its tables
// checked; nullptr after saying why not.
std::unique_ptr<db::Database> openDatabase(const GlobalOptions& opt, bool* created = nullptr) {
    SetErrorLogFolder(std::filesystem::path(absolute(opt.dbPath)).parent_path().string());
    std::unique_ptr<db::Database> db;
    try {
        db = db::OpenOrCreate(opt.dbPath, created);
        const std::vector<std::string> missing = db::MissingTables(*db);
        if (!missing.empty()) {
            std::string list;
            for (const auto& t : missing) list += (list.empty() ? "" : ", ") + t;
            std::cerr << "ecrctl: the database " << absolute(opt.dbPath) << " lacks the tables " << list
                      << "; it was not made by this program, or it is damaged\n";
            return nullptr;
        }
    } catch (const db::DbError& e) {
        const std::string text = db::DescribeOpenError(e, opt.dbPath);
        WriteErrorLog("ecrctl_OpenDatabase", e.code(), text);
        std::cerr << "ecrctl: cannot open the database " << absolute(opt.dbPath) << ": " << text << "\n";
        return nullptr;
    }
    return db;
}

} // namespace

void LoadRunState(db::Database& db, const GlobalOptions& opt) {
    AppState& st = App();
    st.conn = &db;
    st.dbPath = absolute(opt.dbPath);
    st.dbFileName = std::filesystem::path(opt.dbPath).filename().string();
    LoadStartupState(db, st);
    if (opt.lang) {
        st.langCode = opt.lang;
    } else {
        // A database without its settings row speaks the user's language.
        const db::Value lang = db.scalar("SELECT lang FROM info LIMIT 1");
        if (lang.isNull() || !LanguageColumn(static_cast<int>(lang.toInt())))
            st.langCode = LanguageFromEnvironment();
    }
    if (!opt.codePage.empty()) SetRegisterCodePage(opt.codePage);
}

namespace {

std::string text(int id, const std::vector<std::string>& args = {}) {
    return SubstituteArgs(link::LinkText(id), args);
}

// Runs one engine transfer to its end and turns the outcome into the exit
// status. start() begins it; false means it could not start.
int drive(link::TransferEngine& engine, link::SerialTransport&, const std::function<bool(link::TransferEngine&)>& start) {
    const bool tty = ::isatty(2);
    int status = kExitFailed;
    bool progressShown = false;

    QObject::connect(&engine, &link::TransferEngine::pageStarted, &engine, [&](int page, const QString& caption) {
        if (!tty) return;
        std::cerr << "\r\033[K" << (caption.isEmpty() ? "page " + std::to_string(page) : caption.toStdString())
                  << std::flush;
        progressShown = true;
    });
    QObject::connect(&engine, &link::TransferEngine::attemptFailed, &engine,
                     [&](int page, int attempt, const link::LinkMessage& message) {
                         if (!tty) return;
                         std::cerr << "\r\033[Kpage " << page << ", attempt " << attempt << ": "
                                   << link::MessageText(message) << "\n";
                     });
    QObject::connect(&engine, &link::TransferEngine::finished, &engine, [&](const link::TransferResult& r) {
        if (progressShown) std::cerr << "\r\033[K" << std::flush;
        const std::string message = link::ResultText(r);
        switch (r.outcome) {
        case Outcome::Done:
            if (!message.empty()) (r.skipped.empty() ? std::cout : std::cerr) << message << "\n";
            status = r.skipped.empty() ? kExitOk : kExitFailed;
            break;
        case Outcome::EndOfData:
            if (!message.empty()) std::cerr << message << "\n";
            std::cerr << "end of data after page " << r.page << "\n";
            status = r.skipped.empty() ? kExitOk : kExitFailed;
            break;
        case Outcome::Refused:
            std::cerr << message << "\n";
            // Rows that cannot be written are a failed download; a page range
            // that ends before it starts is a usage error.
            status = r.problems.empty() ? kExitUsage : kExitFailed;
            break;
        case Outcome::Stopped:
            if (!message.empty()) std::cerr << message << "\n";
            std::cerr << "stopped\n";
            status = kExitFailed;
            break;
        default:
            std::cerr << message << "\n";
            status = kExitFailed;
        }
        // A paged transfer that paused can be taken up again from its page.
        if (r.page && engine.state() == link::EngineState::Paused && engine.pagedJob())
            std::cerr << "stopped at page " << r.page << "; continue with --pages " << r.page << "-"
                      << engine.pagedJob()->last + 1 << "\n";
        QCoreApplication::exit(0);
    });

    if (::pipe(signalPipe) == 0) {
        std::signal(SIGINT, onSignal);
        std::signal(SIGTERM, onSignal);
    }
    QSocketNotifier stopper(signalPipe[0], QSocketNotifier::Read);
    int stops = 0;
    QObject::connect(&stopper, &QSocketNotifier::activated, &engine, [&] {
        char c;
        [[maybe_unused]] auto n = ::read(signalPipe[0], &c, 1);
        // The first stop lets the running request take its reply; a second
        // one abandons it.
        if (++stops == 1) {
            std::cerr << (tty ? "\r\033[K" : "") << "stopping after the running request\n";
            engine.stopAfterRequest();
        } else {
            engine.stop();
        }
    });

    if (!start(engine)) {
        std::cerr << "ecrctl: the transfer could not start\n";
        return kExitFailed;
    }
    QCoreApplication::exec();
    return status;
}

struct TransferArgs {
    const link::KindPlan* plan = nullptr;
    Direction dir = Direction::Read;
    std::optional<std::pair<int, int>> pages;
    link::ClockTime clockTime;
    bool clockGiven = false;
    std::string logoFile;
};

// Everything about the arguments is checked before the database is touched.
int parseArgs(const std::string& command, const std::vector<std::string>& args, TransferArgs& t) {
    if (command == "upload" || command == "download") {
        t.dir = command == "upload" ? Direction::Read : Direction::Write;
        for (std::size_t i = 0; i < args.size(); ++i) {
            if (args[i] == "--pages") {
                std::pair<int, int> p;
                if (t.pages) return usage("--pages given twice");
                if (i + 1 >= args.size() || !ParsePages(args[i + 1], p))
                    return usage("--pages needs FIRST-LAST, e.g. --pages 1-16");
                t.pages = p;
                ++i;
            } else if (!t.plan && args[i].rfind("--", 0) != 0) {
                t.plan = link::FindKindPlan(args[i]);
                if (!t.plan) return usage("unknown kind " + args[i]);
            } else {
                return usage("unexpected argument " + args[i]);
            }
        }
        if (!t.plan) return usage(command + " needs a KIND");
        if (t.dir == Direction::Read ? !t.plan->canRead : !t.plan->canWrite)
            return usage(std::string(t.plan->name) + " cannot be " + (t.dir == Direction::Read ? "uploaded" : "downloaded"));
        if (t.pages && t.plan->shape != link::Shape::Paged && t.plan->shape != link::Shape::Journal)
            return usage(std::string(t.plan->name) + " is a single page: --pages does not apply");
    } else if (command == "set-clock") {
        for (std::size_t i = 0; i < args.size(); ++i) {
            if (args[i] == "--time" && i + 1 < args.size()) {
                if (t.clockGiven) return usage("--time given twice");
                if (!parseTime(args[++i], t.clockTime)) return usage("--time needs \"YYYY-MM-DD HH:MM\"");
                t.clockGiven = true;
            } else {
                return usage("unexpected argument " + args[i]);
            }
        }
    } else if (command == "send-logo") {
        if (args.size() != 1 || args[0].rfind("--", 0) == 0) return usage("send-logo needs one FILE.bmp");
        t.logoFile = args[0];
    }
    return kExitOk;
}

// The logo file's bytes; nullopt after saying why the file is refused.
std::optional<Bytes> readLogo(const std::string& file) {
    std::error_code ec;
    if (!std::filesystem::exists(file, ec)) {
        std::cerr << text(link::msg::NoSuchFile) << " (" << file << ")\n";
        return std::nullopt;
    }
    Bytes logo;
    const records::LogoError e = records::LogoFileToBytes(file, logo);
    if (e.ok()) return logo;
    if (e.messageId == records::kLogoFolderId || e.messageId == records::kLogoUnreadableId)
        std::cerr << text(e.messageId, {file, e.text}) << "\n";
    else
        std::cerr << (e.messageId ? text(e.messageId) : e.text) << "\n";
    return std::nullopt;
}

} // namespace

bool ParseBaud(const std::string& s, int& baud) {
    for (const char* rate : {"115200", "57600", "19200", "9600"}) {
        if (s == rate) {
            baud = std::stoi(s);
            return true;
        }
    }
    return false;
}

bool ParseLanguage(const std::string& s, int& lang) {
    if (s.size() != 1 || s[0] < '1' || s[0] > '7') return false;
    lang = s[0] - '0';
    return true;
}

bool ParsePages(const std::string& s, std::pair<int, int>& out) {
    static const std::regex re(R"((\d{1,6})(?:-(\d{1,6}))?)");
    std::smatch m;
    if (!std::regex_match(s, m, re)) return false;
    out.first = std::stoi(m[1]);
    out.second = m[2].matched ? std::stoi(m[2]) : out.first;
    return true;
}

bool IsTransferCommand(const std::string& c) {
    return c == "upload" || c == "download" || c == "set-clock" || c == "send-logo";
}

int RunInit(const GlobalOptions& opt) {
    bool created = false;
    auto db = openDatabase(opt, &created);
    if (!db) return kExitFailed;
    std::cout << absolute(opt.dbPath) << "\n";
    if (created) std::cerr << "created\n";
    return kExitOk;
}

int CheckDatabase(const GlobalOptions& opt) {
    // A missing file is the command's own business (some create it, some refuse).
    std::error_code ec;
    if (!std::filesystem::exists(opt.dbPath, ec)) return kExitOk;
    return openDatabase(opt) ? kExitOk : kExitFailed;
}

int RunTransferCommand(const GlobalOptions& opt, const std::string& command, const std::vector<std::string>& args) {
    TransferArgs t;
    if (const int rc = parseArgs(command, args, t); rc != kExitOk) return rc;

    auto db = openDatabase(opt);
    if (!db) return kExitFailed;
    AppState& st = App();
    struct Leave {
        AppState& st;
        ~Leave() { st.conn = nullptr; }
    } leave{st};
    try {
        LoadRunState(*db, opt);
        rows::DbPageIO io(*db, st);
        if (t.plan && !link::KindReady(io, *t.plan, t.dir)) {
            std::cerr << "ecrctl: " << command << " " << t.plan->name << ": not supported\n";
            return kExitUsage;
        }
        std::optional<Bytes> logo;
        if (!t.logoFile.empty()) {
            // The file is checked before the port is opened; a refused file is a
            // usage error, not a failed transfer.
            logo = readLogo(t.logoFile);
            if (!logo) return kExitUsage;
        }
        link::SerialTransport transport([&st, &opt] {
            link::PortSettings s = link::PortSettingsOf(st);
            if (!opt.port.empty()) s.portName = opt.port;
            if (opt.baud) s.baudRate = opt.baud;
            return s;
        });
        link::QtClock clock;
        link::TransferEngine engine(transport, io, clock);

        if (logo)
            return drive(engine, transport, [&](link::TransferEngine& e) { return e.sendLogo(*logo); });
        if (t.plan) {
            if (t.pages) {
                const link::ResolvedPlan r = link::Resolve(*t.plan, t.dir, io.registerFacts().keyboardType);
                const link::PageSpan span = link::ClampPages(t.pages->first, t.pages->second, r.pages);
                if (!span.ok) {
                    std::cerr << text(link::msg::EndBeforeStart) << "\n";
                    return kExitUsage;
                }
                if (::isatty(2)) std::cerr << "pages " << span.first + 1 << "-" << span.last + 1 << "\n";
            }
            const bool replace = t.dir == Direction::Read && link::ReadReplacesTable(*t.plan, t.pages);
            return drive(engine, transport, [&](link::TransferEngine& e) {
                return link::StartKindTransfer(e, *t.plan, t.dir, t.pages, replace);
            });
        }
        if (!t.clockGiven) {
            const QDateTime now = QDateTime::currentDateTime();
            t.clockTime = {now.date().year(), now.date().month(), now.date().day(), now.time().hour(),
                           now.time().minute()};
        }
        return drive(engine, transport, [&](link::TransferEngine& e) { return e.setClock(t.clockTime); });
    } catch (const std::exception& e) {
        // A database that fails under the command (damaged, locked for good)
        // ends the command with its reason, never with an abort.
        WriteErrorLog("ecrctl_" + command, -1, e.what());
        std::cerr << "ecrctl: " << command << ": " << e.what() << "\n";
        return kExitFailed;
    }
}

} // namespace ecr::cli
