#include "Transfer.h"

#include "app/AppState.h"
#include "app/Config.h"
#include "app/ErrorLog.h"
#include "db/Schema.h"
#include "link/LinkText.h"
#include "link/SerialTransport.h"
#include "link/TransferEngine.h"
#include "link/TransferPlans.h"
#include "records/Logo.h"
#include "records/PageRegistry.h"

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

// "N-M" or "N": 1-based page boxes, as typed on the forms.
bool parsePages(const std::string& s, std::pair<int, int>& out) {
    static const std::regex re(R"((\d{1,6})(?:-(\d{1,6}))?)");
    std::smatch m;
    if (!std::regex_match(s, m, re)) return false;
    out.first = std::stoi(m[1]);
    out.second = m[2].matched ? std::stoi(m[2]) : out.first;
    return true;
}

// The editors of these kinds empty their table before an upload, so the
// register's pages replace it (emptied with the first page that arrives). An
// upload that starts at a later page continues an earlier one and keeps its rows.
bool replacesTable(const link::KindPlan& plan, const std::optional<std::pair<int, int>>& pages) {
    static constexpr std::string_view kinds[] = {"members", "promotions", "bundles", "fiscal"};
    return std::find(std::begin(kinds), std::end(kinds), plan.name) != std::end(kinds) && (!pages || pages->first <= 1);
}

bool parseTime(const std::string& s, link::ClockTime& t) {
    static const std::regex re(R"((\d{4})-(\d{1,2})-(\d{1,2})[ T](\d{1,2}):(\d{2}))");
    std::smatch m;
    if (!std::regex_match(s, m, re)) return false;
    t = {std::stoi(m[1]), std::stoi(m[2]), std::stoi(m[3]), std::stoi(m[4]), std::stoi(m[5])};
    return QDate(t.year, t.month, t.day).isValid() && t.hour < 24 && t.minute < 60;
}

// Runs one engine transfer to its end and turns the outcome into the exit
// status. start() begins it; false means it could not start.
int drive(records::PageContext& ctx, const GlobalOptions& opt, const std::function<bool(link::TransferEngine&)>& start) {
    AppState& st = ctx.state;
    link::SerialTransport transport([&st, &opt] {
        link::PortSettings s = link::PortSettingsOf(st);
        if (!opt.port.empty()) s.portName = opt.port;
        if (opt.baud) s.baudRate = opt.baud;
        return s;
    });
    link::QtClock clock;
    link::TransferEngine engine(transport, ctx, clock);
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
                     [&](int page, int attempt, const QString& message) {
                         if (!tty) return;
                         std::cerr << "\r\033[Kpage " << page << ", attempt " << attempt << ": "
                                   << message.toStdString() << "\n";
                     });
    QObject::connect(&engine, &link::TransferEngine::finished, &engine, [&](const link::TransferResult& r) {
        if (progressShown) std::cerr << "\r\033[K" << std::flush;
        switch (r.outcome) {
        case Outcome::Done:
            if (!r.message.empty()) std::cout << r.message << "\n";
            status = kExitOk;
            break;
        case Outcome::EndOfData:
            std::cerr << "end of data after page " << r.page << "\n";
            status = kExitOk;
            break;
        case Outcome::Refused:
            std::cerr << r.message << "\n";
            status = kExitUsage;
            break;
        case Outcome::Stopped:
            std::cerr << "stopped\n";
            status = kExitFailed;
            break;
        default:
            std::cerr << r.message << "\n";
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
    QObject::connect(&stopper, &QSocketNotifier::activated, &engine, [&] {
        char c;
        [[maybe_unused]] auto n = ::read(signalPipe[0], &c, 1);
        engine.stop();
    });

    if (!start(engine)) {
        std::cerr << "ecrctl: the transfer could not start\n";
        return kExitFailed;
    }
    QCoreApplication::exec();
    return status;
}

} // namespace

bool IsTransferCommand(const std::string& c) {
    return c == "upload" || c == "download" || c == "set-clock" || c == "send-logo";
}

int RunTransferCommand(const GlobalOptions& opt, const std::string& command, const std::vector<std::string>& args) {
    // Everything about the arguments is checked before the database is touched.
    const link::KindPlan* plan = nullptr;
    Direction dir = Direction::Read;
    std::optional<std::pair<int, int>> pages;
    link::ClockTime clockTime;
    bool clockGiven = false;
    std::string logoFile;

    if (command == "upload" || command == "download") {
        dir = command == "upload" ? Direction::Read : Direction::Write;
        for (std::size_t i = 0; i < args.size(); ++i) {
            if (args[i] == "--pages") {
                std::pair<int, int> p;
                if (i + 1 >= args.size() || !parsePages(args[i + 1], p))
                    return usage("--pages needs FIRST-LAST, e.g. --pages 1-16");
                pages = p;
                ++i;
            } else if (!plan && args[i].rfind("--", 0) != 0) {
                plan = link::FindKindPlan(args[i]);
                if (!plan) return usage("unknown kind " + args[i]);
            } else {
                return usage("unexpected argument " + args[i]);
            }
        }
        if (!plan) return usage(command + " needs a KIND");
        if (dir == Direction::Read ? !plan->canRead : !plan->canWrite)
            return usage(std::string(plan->name) + " cannot be " + (dir == Direction::Read ? "uploaded" : "downloaded"));
        if (pages && plan->shape != link::Shape::Paged && plan->shape != link::Shape::Journal)
            return usage(std::string(plan->name) + " is a single page: --pages does not apply");
    } else if (command == "set-clock") {
        for (std::size_t i = 0; i < args.size(); ++i) {
            if (args[i] == "--time" && i + 1 < args.size()) {
                if (!parseTime(args[++i], clockTime)) return usage("--time needs \"YYYY-MM-DD HH:MM\"");
                clockGiven = true;
            } else {
                return usage("unexpected argument " + args[i]);
            }
        }
    } else if (command == "send-logo") {
        if (args.size() != 1 || args[0].rfind("--", 0) == 0) return usage("send-logo needs one FILE.bmp");
        logoFile = args[0];
    }

    records::RegisterRecordKinds();
    if (plan && !link::KindReady(*plan, dir)) {
        std::cerr << "ecrctl: " << command << " " << plan->name << ": not supported yet\n";
        return kExitUsage;
    }
    std::unique_ptr<db::Database> db;
    try {
        db = db::OpenOrCreate(opt.dbPath);
    } catch (const std::exception& e) {
        std::cerr << "ecrctl: cannot open database " << opt.dbPath << ": " << e.what() << "\n";
        return kExitFailed;
    }
    SetErrorLogFolder(std::filesystem::absolute(opt.dbPath).parent_path().string());
    AppState& st = App();
    st.conn = db.get();
    st.dbPath = std::filesystem::absolute(opt.dbPath).string();
    st.dbFileName = std::filesystem::path(opt.dbPath).filename().string();
    LoadStartupState(*db, st);
    records::JournalPageTable journal;
    records::PageContext ctx{*db, st, journal};
    auto leave = [&st](int rc) {
        st.conn = nullptr;
        return rc;
    };

    if (!logoFile.empty()) {
        // The file is checked before the port is opened; a refused file is a
        // usage error, not a failed transfer.
        if (!std::filesystem::is_regular_file(logoFile)) {
            std::cerr << link::LinkText(link::msg::NoSuchFile) << "\n";
            return leave(kExitUsage);
        }
        Bytes logo;
        const records::LogoError e = records::LogoFileToBytes(logoFile, logo);
        if (!e.ok()) {
            std::cerr << (e.messageId ? link::LinkText(e.messageId) : e.text) << "\n";
            return leave(kExitUsage);
        }
        return leave(drive(ctx, opt, [&](link::TransferEngine& en) { return en.sendLogo(logo); }));
    }

    int rc;
    if (plan) {
        if (pages) {
            const int keyboard = GetKeyboardType(*db);
            const link::ResolvedPlan r = link::Resolve(*plan, dir, keyboard);
            const link::PageSpan span = link::ClampPages(pages->first, pages->second, r.pages);
            if (!span.ok) {
                std::cerr << link::LinkText(link::msg::EndBeforeStart) << "\n";
                return leave(kExitUsage);
            }
            if (::isatty(2)) std::cerr << "pages " << span.first + 1 << "-" << span.last + 1 << "\n";
        }
        ctx.replaceTable = dir == Direction::Read && replacesTable(*plan, pages);
        rc = drive(ctx, opt, [&](link::TransferEngine& e) { return link::StartKindTransfer(e, *db, *plan, dir, pages); });
    } else {
        if (!clockGiven) {
            const QDateTime now = QDateTime::currentDateTime();
            clockTime = {now.date().year(), now.date().month(), now.date().day(), now.time().hour(), now.time().minute()};
        }
        rc = drive(ctx, opt, [&](link::TransferEngine& e) { return e.setClock(clockTime); });
    }
    return leave(rc);
}

} // namespace ecr::cli
