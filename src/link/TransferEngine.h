// The transfer engine: every upload and download, from the forms and from
// ecrctl, goes through one instance. It runs on the calling thread: it sends a
// frame, arms a time-out and returns to the event loop; the reply (through the
// receive dispatcher), the time-out or stop() move it on.
//
// Observable state is LinkState (TransferDirection, CurrentPageKind, the page
// address bytes, ReplyDone, StopRequested, EndOfDataReached, LastMessage), the
// engine state (idle, running, paused) and the signals below. The port is open
// only while a transfer runs and is closed on every way out.
//
// Pages go to and come from a PageIO (the database, a page-image file); the
// engine itself reads no database. It reports outcomes as message ids with
// their data, which front ends turn into text (TransferText.h).
#pragma once

#include "Clock.h"
#include "Frames.h"
#include "Job.h"
#include "LinkMessage.h"
#include "PageIO.h"
#include "ReceiveFrame.h"
#include "Transport.h"

#include <QObject>
#include <QString>

#include <coroutine>
#include <optional>
#include <string>
#include <set>

namespace ecr::link {

enum class Direction { Read = 1, Write = 2 };

struct LinkState {
    int transferDirection = 0;  // 1 read, 2 write
    int currentPageKind = 0;    // base page address of the kind
    int pageAddrHigh = 0;
    int pageAddrLow = 0;
    bool replyDone = false;
    bool stopRequested = false; // the user stopped, or the last wait timed out
    bool endOfDataReached = false;
    LinkMessage lastMessage;    // empty = the last request succeeded
    int pageAddress() const { return pageAddrHigh * 256 + pageAddrLow; }
};

// How one read step or write step ended, decided in this order.
enum class StepOutcome { TimedOut, Failed, Stopped, Done };

enum class EngineState {
    Idle,    // no transfer; port closed
    Running, // a transfer runs; the editors disable their other controls
    Paused,  // a paged transfer was stopped or gave up: resume() or close()
};

enum class Outcome {
    Done,      // every page of the range / the single page / the pair
    EndOfData, // the journal ran out of data before the end of the range: no success message
    TimedOut,  // no answer (after the last attempt)
    Failed,    // the register or the dispatcher reported an error (after the last attempt)
    Stopped,   // the user stopped; the transfer is paused
    PortError, // the port could not be opened (already logged)
    Refused,   // nothing sent: the page range ends before it starts, or rows
               // cannot be written (problems lists them)
};

struct TransferResult {
    Outcome outcome = Outcome::Done;
    LinkMessage message; // to show; empty when nothing is to be shown
    bool error = false;  // an error box rather than an information box
    int page = 0;        // paged transfers: 1-based page that was running
    // Uploads: records left out of stored pages, and how many rows were moved
    // aside from slots the register's records took.
    std::vector<RecordError> skipped;
    int moved = 0;
    // Refused downloads: every row that cannot be written.
    std::vector<RowProblem> problems;
};

// A paged transfer: pages first..last (0-based indexes) of the kind at base.
struct PagedJob {
    Direction direction = Direction::Read;
    int base = 0;
    int first = 0;
    int last = 0;
    int pageCount = 0;            // pages of the kind; 0: last + 1. Rows beyond them cannot be written
    bool retries = false;         // up to 31 attempts per page; else the first failure ends it
    std::string progressTemplate; // caption with "(x)" where the page number goes
    bool allocation = false;      // journal: allocation pages first for register versions 100320..100400
    bool refreshVersion = false;
    bool replaceTable = false;    // read: what is stored of the kind is replaced, with the first page
};

inline constexpr int kReplyTimeoutMs = 5000;
inline constexpr int kMaxAttempts = 31;
inline constexpr int kAllocationPages[] = {4134, 4135};

// The register versions that keep a journal allocation table.
bool UsesAllocationTable(long long registerVersion);

class TransferEngine : public QObject {
    Q_OBJECT
public:
    TransferEngine(Transport& transport, PageIO& io, Clock& clock, QObject* parent = nullptr);
    ~TransferEngine() override;

    // Each starter returns false, doing nothing, while a transfer runs. The
    // outcome always arrives later through finished(), never from inside the
    // call.

    // One page at its base address (cashiers, departments, keys, flash-cash).
    // storeParameters: the flash-cash read sets the store-parameters flag.
    bool uploadSingle(int base, bool storeParameters = false);
    bool downloadSingle(int base);
    // Paged transfer; a range that ends before it starts finishes Refused.
    bool startPaged(const PagedJob& job);
    // Paused: runs again from the page that was running, to the same end.
    bool resume();
    // Paused: back to idle.
    void close();
    // Ends the running wait at once; a paged transfer pauses.
    void stop();
    // Lets the running request finish (its reply is taken and stored), then
    // stops before the next one.
    void stopAfterRequest();
    // Parameter page: read (stored into params), or read then write, each
    // pair tried up to 31 times.
    bool uploadParams();
    bool downloadParams();
    bool setClock(const ClockTime& t);
    // Logo bytes laid out from page 4128 on, 4096 a page, rest 0x00.
    bool sendLogo(Bytes logo);

    EngineState state() const { return state_; }
    bool busy() const { return static_cast<bool>(job_); }
    bool portOpen() const { return transport_.isOpen(); }
    const LinkState& link() const { return link_; }
    PageIO& pageIO() const { return io(); }
    // The next transfers move their pages through io rather than the engine's
    // own page I/O (a backup file rather than the database); nullptr goes
    // back to its own. Refused (false) while a transfer runs or is paused.
    bool usePageIO(PageIO* io);
    // The clock of the time-outs: front ends count the time left on it.
    Clock& clock() const { return clock_; }
    // The paused (or last) paged transfer, with first = the page to continue from.
    const std::optional<PagedJob>& pagedJob() const { return paged_; }
    const ReceiveFrame& dispatcher() const { return rx_; }

signals:
    void stateChanged(ecr::link::EngineState state);
    void portOpenChanged(bool open);
    // Paged: progress bar minimum and maximum (0-based page indexes), and the
    // clamped range as 1-based numbers for the page boxes.
    void progressRange(int minimum, int maximum);
    // A page begins: 1-based number (bar value = page - 1) and its caption.
    void pageStarted(int page, const QString& caption);
    // An attempt failed and the page will be tried again.
    void attemptFailed(int page, int attempt, const ecr::link::LinkMessage& message);
    void finished(const ecr::link::TransferResult& result);
    void serialStatus(const QString& text);

private:
    // Kept trivially destructible: GCC 12 may destroy a co_await operand twice.
    struct StepAwaiter {
        TransferEngine* e;
        Direction direction;
        int pageAddress;
        int kind;
        bool readyFrame; // send frame_ (clock, logo) instead of the request or the built page
        int attempt;
        bool await_ready() const noexcept { return false; }
        void await_suspend(std::coroutine_handle<> h);
        StepOutcome await_resume() const noexcept { return e->stepOutcome_; }
    };
    StepAwaiter readStep(int pageAddress, int kind, int attempt = 1) {
        return {this, Direction::Read, pageAddress, kind, false, attempt};
    }
    StepAwaiter writeStep(int pageAddress, int kind, int attempt = 1) {
        return {this, Direction::Write, pageAddress, kind, false, attempt};
    }
    StepAwaiter frameStep(int pageAddress, int kind, Bytes frame) {
        frame_ = std::move(frame);
        return {this, Direction::Write, pageAddress, kind, true, 1};
    }

    bool launch(Job job);
    void reap();
    void setState(EngineState s);
    bool openPort(TransferResult& failure);
    void closePort();
    void finishWith(TransferResult r, EngineState next);

    void beginStep(const StepAwaiter& a);
    // The frame to send; empty when the request ended before sending (nothing
    // to request, or the page could not be built).
    Bytes sendReadRequest();
    Bytes downloadData();
    void waitReply();
    void endWait(bool timedOut);
    void onBytes(const QByteArray& bytes);
    void onTransportFailed(const QString& text);
    // Rows of the kind a download of pages first..last cannot write; when
    // there are any, the transfer finishes Refused with them.
    bool refusedRows(int kind, int first, int last, int pageCount);

    Job single(Direction d, int base);
    Job paged(PagedJob job);
    Job params(Direction d);
    Job clock(ClockTime t);
    Job logo(Bytes logo);
    TransferResult failure(StepOutcome o, Direction d) const;
    TransferResult completion(Direction d) const;
    LinkMessage portMessage(int id, const QString& text) const;
    void post(std::function<void()> fn);

    PageIO& io() const { return use_ ? *use_ : io_; }

    Transport& transport_;
    PageIO& io_;
    PageIO* use_ = nullptr;
    Clock& clock_;
    ReceiveFrame rx_;
    LinkState link_;
    EngineState state_ = EngineState::Idle;
    Job job_;
    std::optional<PagedJob> paged_;
    TransferResult result_;
    EngineState endState_ = EngineState::Idle;

    std::coroutine_handle<> waiter_;
    bool waiting_ = false;
    bool userStop_ = false;
    Clock::TimerId timeout_ = 0;
    std::set<Clock::TimerId> posted_;
    StepOutcome stepOutcome_ = StepOutcome::Done;
    Bytes frame_;
    bool lastPortOpen_ = false;
    // What this transfer's stored pages reported.
    std::vector<RecordError> skipped_;
    std::set<std::string> moved_;
};

const char* OutcomeName(Outcome o);

} // namespace ecr::link

Q_DECLARE_METATYPE(ecr::link::TransferResult)
Q_DECLARE_METATYPE(ecr::link::LinkMessage)
