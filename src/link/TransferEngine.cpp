#include "TransferEngine.h"

#include "LinkLog.h"
#include "SerialEvents.h"
#include "app/ErrorLog.h"
#include "records/Logo.h"

#include <algorithm>
#include <memory>

Q_LOGGING_CATEGORY(lcLink, "ecr.link", QtInfoMsg)

namespace ecr::link {

using records::kPageSize;
namespace kind = records::kind;

bool UsesAllocationTable(long long v) { return v >= 100320 && v <= 100400; }

const char* OutcomeName(Outcome o) {
    switch (o) {
    case Outcome::Done: return "done";
    case Outcome::EndOfData: return "end of data";
    case Outcome::TimedOut: return "timed out";
    case Outcome::Failed: return "failed";
    case Outcome::Stopped: return "stopped";
    case Outcome::PortError: return "port error";
    case Outcome::Refused: return "refused";
    }
    return "?";
}

TransferEngine::TransferEngine(Transport& transport, PageIO& io, Clock& clock, QObject* parent)
    : QObject(parent), transport_(transport), io_(io), clock_(clock),
      rx_([this](int k, ByteView page, int pageIndex) {
          StoreResult r = this->io().storePage(k, page, pageIndex);
          if (!r.error.empty()) return r.error;
          link_.endOfDataReached = r.endOfData;
          skipped_.insert(skipped_.end(), r.skipped.begin(), r.skipped.end());
          moved_.insert(r.moved.begin(), r.moved.end());
          return std::string();
      }) {
    qRegisterMetaType<ecr::link::TransferResult>();
    qRegisterMetaType<ecr::link::LinkMessage>();
    connect(&transport_, &Transport::bytesReceived, this, &TransferEngine::onBytes);
    connect(&transport_, &Transport::serialEvent, this,
            [this](int n) { emit serialStatus(QString::fromLatin1(SerialEventText(n))); });
    connect(&transport_, &Transport::failed, this, &TransferEngine::onTransportFailed);
}

TransferEngine::~TransferEngine() {
    for (auto id : posted_) clock_.cancel(id);
    if (timeout_) clock_.cancel(timeout_);
    job_.reset();
    transport_.close();
}

void TransferEngine::post(std::function<void()> fn) {
    // Remembered until run, so a destroyed engine is never called back.
    auto id = std::make_shared<Clock::TimerId>(0);
    *id = clock_.post([this, id, fn = std::move(fn)] {
        posted_.erase(*id);
        fn();
    });
    posted_.insert(*id);
}

void TransferEngine::setState(EngineState s) {
    if (s == state_) return;
    state_ = s;
    emit stateChanged(s);
}

bool TransferEngine::launch(Job job) {
    if (job_) return false;
    userStop_ = false;
    skipped_.clear();
    moved_.clear();
    job_ = std::move(job);
    setState(EngineState::Running);
    job_.start([this] { post([this] { reap(); }); });
    return true;
}

void TransferEngine::reap() {
    const std::exception_ptr err = job_.error();
    job_.reset();
    if (err) {
        try {
            std::rethrow_exception(err);
        } catch (const std::exception& e) {
            WriteErrorLog("Comm_Transfer", -1, e.what());
            result_ = {Outcome::Failed, {msg::ErrorOccurred, {}, e.what()}, true, 0};
            endState_ = EngineState::Idle;
        }
    }
    closePort(); // on every way out
    result_.skipped = skipped_;
    result_.moved = static_cast<int>(moved_.size());
    // Records left out are never a quiet success.
    if (!result_.skipped.empty()) result_.error = true;
    qCDebug(lcLink) << "transfer ended:" << OutcomeName(result_.outcome) << "message" << result_.message.id
                    << QString::fromStdString(result_.message.detail) << "skipped" << result_.skipped.size()
                    << "moved" << result_.moved;
    setState(endState_);
    emit finished(result_);
}

void TransferEngine::finishWith(TransferResult r, EngineState next) {
    result_ = std::move(r);
    endState_ = next;
}

LinkMessage TransferEngine::portMessage(int id, const QString& text) const {
    const std::string device = transport_.deviceName();
    if (device.empty()) return {0, {}, text.toStdString()};
    return {id, {device, text.toStdString()}};
}

bool TransferEngine::openPort(TransferResult& failure) {
    QString text;
    int code = 0;
    if (!transport_.open(text, code)) {
        WriteErrorLog("Comm_InitComm", code, transport_.deviceName() + ": " + text.toStdString());
        failure = {Outcome::PortError, portMessage(msg::PortOpenFailed, text), true, 0};
        return false;
    }
    if (!lastPortOpen_) emit portOpenChanged(lastPortOpen_ = true);
    return true;
}

void TransferEngine::closePort() {
    transport_.close();
    if (lastPortOpen_) emit portOpenChanged(lastPortOpen_ = false);
}

TransferResult TransferEngine::failure(StepOutcome o, Direction d) const {
    if (o == StepOutcome::TimedOut)
        return {Outcome::TimedOut, {d == Direction::Read ? msg::ReadTimedOut : msg::WriteTimedOut}, true, 0};
    if (o == StepOutcome::Stopped) return {Outcome::Stopped, {}, false, 0};
    return {Outcome::Failed, link_.lastMessage, true, 0};
}

TransferResult TransferEngine::completion(Direction d) const {
    return {Outcome::Done, {d == Direction::Read ? msg::ReadDone : msg::WriteDone}, false, 0};
}

// ---- one request: the read step and the write step --------------------------

void TransferEngine::StepAwaiter::await_suspend(std::coroutine_handle<> h) {
    e->waiter_ = h;
    e->beginStep(*this);
}

void TransferEngine::beginStep(const StepAwaiter& a) {
    link_.transferDirection = static_cast<int>(a.direction);
    link_.currentPageKind = a.kind;
    link_.pageAddrHigh = (a.pageAddress >> 8) & 0xFF;
    link_.pageAddrLow = a.pageAddress & 0xFF;
    link_.replyDone = false;
    link_.stopRequested = false;
    link_.lastMessage = {};
    link_.endOfDataReached = false;
    if (userStop_) {
        // Stop came between two requests: do not start another.
        link_.stopRequested = true;
        stepOutcome_ = StepOutcome::Stopped;
        post([this] {
            if (auto h = std::exchange(waiter_, {})) h.resume();
        });
        return;
    }
    qCDebug(lcLink) << (a.direction == Direction::Read ? "read" : "write") << a.pageAddress << "attempt" << a.attempt;
    Bytes frame;
    if (a.readyFrame) {
        rx_.begin({a.kind, a.pageAddress, false});
        frame = std::move(frame_);
    } else if (a.direction == Direction::Read) {
        frame = sendReadRequest();
    } else {
        frame = downloadData();
    }
    waitReply();
    // Written only once the wait is armed: the reply may come at once.
    if (!frame.empty() && waiting_)
        transport_.write(QByteArray(reinterpret_cast<const char*>(frame.data()), static_cast<qsizetype>(frame.size())));
}

Bytes TransferEngine::sendReadRequest() {
    if (link_.currentPageKind == 0) {
        link_.lastMessage = {msg::NothingToRequest};
        link_.replyDone = true;
        return {};
    }
    const int addr = link_.pageAddress();
    rx_.begin({link_.currentPageKind, addr, true});
    return ReadRequestFrame(addr);
}

Bytes TransferEngine::downloadData() {
    const int addr = link_.pageAddress();
    BuildResult built = io().buildPage(link_.currentPageKind, addr - link_.currentPageKind);
    if (!built.error.empty() || built.page.size() != static_cast<std::size_t>(kPageSize)) {
        // Nothing is sent: a page that could not be built must not overwrite
        // the register's one.
        link_.lastMessage = {msg::ErrorOccurred, {}, built.error.empty() ? "no page" : built.error};
        link_.replyDone = true;
        return {};
    }
    // The register answers a write with a result frame; should it send a page,
    // the download still never changes what is stored.
    rx_.begin({link_.currentPageKind, addr, false});
    return PageWriteFrame(addr, built.page);
}

void TransferEngine::waitReply() {
    if (link_.replyDone) {
        waiting_ = true;
        endWait(false);
        return;
    }
    waiting_ = true;
    timeout_ = clock_.after(kReplyTimeoutMs, [this] {
        timeout_ = 0;
        endWait(true);
    });
}

void TransferEngine::endWait(bool timedOut) {
    if (!waiting_) return;
    waiting_ = false;
    if (timeout_) {
        clock_.cancel(timeout_);
        timeout_ = 0;
    }
    if (!link_.replyDone) rx_.cancel();
    if (timedOut) {
        link_.stopRequested = true;
        stepOutcome_ = StepOutcome::TimedOut;
    } else if (!link_.lastMessage.empty()) {
        stepOutcome_ = StepOutcome::Failed;
    } else if (link_.stopRequested) {
        stepOutcome_ = StepOutcome::Stopped;
    } else {
        stepOutcome_ = StepOutcome::Done;
    }
    post([this] {
        if (auto h = std::exchange(waiter_, {})) h.resume();
    });
}

void TransferEngine::onBytes(const QByteArray& bytes) {
    ByteView view(reinterpret_cast<const std::uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size()));
    if (!waiting_) {
        rx_.feed(view); // no request open: counted and dropped
        return;
    }
    if (rx_.feed(view)) {
        link_.replyDone = true;
        link_.lastMessage = rx_.message();
        qCDebug(lcLink) << "reply" << ResultName(rx_.result()) << "for" << link_.pageAddress();
        transport_.clearInput();
        endWait(false);
    }
}

void TransferEngine::onTransportFailed(const QString& text) {
    WriteErrorLog("Comm_Receive", -1, transport_.deviceName() + ": " + text.toStdString());
    if (!waiting_) return;
    // The device is gone: this attempt fails now rather than at its time-out.
    rx_.cancel();
    link_.replyDone = true;
    link_.lastMessage = portMessage(msg::PortLost, text);
    endWait(false);
}

void TransferEngine::stop() {
    userStop_ = true;
    link_.stopRequested = true;
    if (waiting_) endWait(false);
}

void TransferEngine::stopAfterRequest() {
    // beginStep() sees the flag before the next request; the running one
    // keeps its wait and its reply.
    userStop_ = true;
}

bool TransferEngine::refusedRows(int kind, int first, int last, int pageCount) {
    std::vector<RowProblem> problems = io().checkRows(kind, first, last, pageCount);
    if (problems.empty()) return false;
    qCDebug(lcLink) << "download of" << kind << "refused:" << problems.size() << "rows cannot be written";
    TransferResult r{Outcome::Refused, {msg::RowsRefused, {std::to_string(problems.size())}}, true, 0};
    r.problems = std::move(problems);
    finishWith(std::move(r), EngineState::Idle);
    return true;
}

// ---- whole transfers --------------------------------------------------------

bool TransferEngine::usePageIO(PageIO* io) {
    if (job_ || state_ != EngineState::Idle) return false;
    use_ = io;
    return true;
}

bool TransferEngine::uploadSingle(int base, bool storeParameters) {
    if (job_) return false;
    if (storeParameters) io().setStoreParameters(true);
    return launch(single(Direction::Read, base));
}

bool TransferEngine::downloadSingle(int base) { return !job_ && launch(single(Direction::Write, base)); }

Job TransferEngine::single(Direction d, int base) {
    if (d == Direction::Write && refusedRows(base, 0, 0, 1)) co_return;
    TransferResult fail;
    if (!openPort(fail)) {
        finishWith(fail, EngineState::Idle);
        co_return;
    }
    const StepOutcome o = d == Direction::Read ? co_await readStep(base, base) : co_await writeStep(base, base);
    closePort();
    finishWith(o == StepOutcome::Done ? completion(d) : failure(o, d), EngineState::Idle);
}

bool TransferEngine::startPaged(const PagedJob& job) {
    if (job_) return false;
    if (job.last < job.first) {
        // Refused before anything starts: no panel, no port.
        paged_.reset();
        const TransferResult r{Outcome::Refused, {msg::EndBeforeStart}, false, 0};
        post([this, r] { emit finished(r); });
        return true;
    }
    return launch(paged(job));
}

bool TransferEngine::resume() {
    if (job_ || state_ != EngineState::Paused || !paged_) return false;
    return launch(paged(*paged_));
}

void TransferEngine::close() {
    if (!job_ && state_ == EngineState::Paused) setState(EngineState::Idle);
}

Job TransferEngine::paged(PagedJob job) {
    paged_ = job;
    // Replaced once: a resumed transfer continues what the first run stored.
    paged_->replaceTable = false;
    const Direction d = job.direction;
    auto step = [&](int addr, int k, int attempt) {
        return d == Direction::Read ? readStep(addr, k, attempt) : writeStep(addr, k, attempt);
    };
    const RegisterFacts facts = job.refreshVersion || job.allocation ? io().registerFacts() : RegisterFacts{};
    if (d == Direction::Write && refusedRows(job.base, job.first, job.last, job.pageCount > 0 ? job.pageCount : job.last + 1)) {
        paged_.reset();
        co_return;
    }
    if (d == Direction::Read && job.replaceTable) io().replaceWithFirstPage(job.base);
    emit progressRange(job.first, job.last);
    TransferResult fail;
    if (!openPort(fail)) {
        finishWith(fail, EngineState::Idle);
        co_return;
    }

    bool useTable = false;
    records::JournalPageTable table;
    if (job.allocation && UsesAllocationTable(facts.registerVersion)) {
        for (int addr : kAllocationPages) {
            for (int attempt = 1;; ++attempt) {
                const StepOutcome o = co_await step(addr, kind::JournalFat, attempt);
                if (o == StepOutcome::Done) break;
                closePort();
                if (o == StepOutcome::Stopped) {
                    finishWith({Outcome::Stopped, {}, false, job.first + 1}, EngineState::Paused);
                    co_return;
                }
                if (attempt >= kMaxAttempts) {
                    // Fails before any journal page is asked for; a time-out
                    // says so rather than showing an empty text.
                    finishWith(failure(o, d), EngineState::Idle);
                    co_return;
                }
                emit attemptFailed(0, attempt, failure(o, d).message);
                if (!openPort(fail)) {
                    finishWith(fail, EngineState::Idle);
                    co_return;
                }
            }
        }
        table = io().journalTable();
        useTable = true;
    }

    bool endedEarly = false;
    for (int p = job.first; p <= job.last; ++p) {
        if (useTable) {
            if (p >= static_cast<int>(table.entries.size())) break;
            if (table.entries[static_cast<std::size_t>(p)] < 2) continue; // page holds no journal data
        }
        paged_->first = p;
        QString caption = QString::fromStdString(job.progressTemplate);
        caption.replace(QLatin1String("(x)"), QString::number(p + 1));
        emit pageStarted(p + 1, caption);

        StepOutcome o = StepOutcome::Done;
        for (int attempt = 1;; ++attempt) {
            o = co_await step(job.base + p, job.base, attempt);
            if (o == StepOutcome::Done || o == StepOutcome::Stopped) break;
            closePort();
            if (!job.retries || attempt >= kMaxAttempts) {
                TransferResult r = failure(o, d);
                r.page = p + 1;
                finishWith(r, EngineState::Paused);
                co_return;
            }
            emit attemptFailed(p + 1, attempt, failure(o, d).message);
            if (!openPort(fail)) {
                fail.page = p + 1;
                finishWith(fail, EngineState::Paused);
                co_return;
            }
        }
        if (o == StepOutcome::Stopped) {
            closePort();
            finishWith({Outcome::Stopped, {}, false, p + 1}, EngineState::Paused);
            co_return;
        }
        if (link_.endOfDataReached) {
            endedEarly = true;
            break;
        }
    }
    closePort();
    if (endedEarly) {
        finishWith({Outcome::EndOfData, {}, false, paged_->first + 1}, EngineState::Idle);
    } else {
        TransferResult r = completion(d);
        r.page = job.last + 1;
        finishWith(r, EngineState::Idle);
    }
    paged_.reset();
}

bool TransferEngine::uploadParams() { return !job_ && launch(params(Direction::Read)); }
bool TransferEngine::downloadParams() { return !job_ && launch(params(Direction::Write)); }

Job TransferEngine::params(Direction d) {
    io().registerFacts(); // the parameter layout follows the register version
    if (d == Direction::Write && refusedRows(kind::Params, 0, 0, 1)) co_return;
    for (int attempt = 1;; ++attempt) {
        // Reading for the editor replaces params; the read before a write only
        // refreshes the stored page the write is built over.
        io().setStoreParameters(d == Direction::Read);
        TransferResult fail;
        if (!openPort(fail)) {
            finishWith(fail, EngineState::Idle);
            co_return;
        }
        StepOutcome o = co_await readStep(kind::Params, kind::Params, attempt);
        if (o == StepOutcome::Done && d == Direction::Write) {
            closePort();
            // No pause between the read and the write: the register answers
            // the write as soon as the read is done.
            if (!openPort(fail)) {
                finishWith(fail, EngineState::Idle);
                co_return;
            }
            o = co_await writeStep(kind::Params, kind::Params, attempt);
        }
        closePort();
        if (o == StepOutcome::Done || o == StepOutcome::Stopped || attempt >= kMaxAttempts) {
            finishWith(o == StepOutcome::Done ? completion(d) : failure(o, d), EngineState::Idle);
            co_return;
        }
        emit attemptFailed(1, attempt, failure(o, d).message);
    }
}

bool TransferEngine::setClock(const ClockTime& t) { return !job_ && launch(clock(t)); }

Job TransferEngine::clock(ClockTime t) {
    TransferResult fail;
    if (!openPort(fail)) {
        finishWith(fail, EngineState::Idle);
        co_return;
    }
    const StepOutcome o = co_await frameStep(0, 0, ClockFrame(t));
    closePort();
    if (o == StepOutcome::Done)
        finishWith({Outcome::Done, {msg::ClockDone}, false, 0}, EngineState::Idle);
    else
        finishWith(failure(o, Direction::Write), EngineState::Idle);
}

bool TransferEngine::sendLogo(Bytes bytes) { return !job_ && launch(logo(std::move(bytes))); }

Job TransferEngine::logo(Bytes bytes) {
    TransferResult fail;
    if (!openPort(fail)) {
        finishWith(fail, EngineState::Idle);
        co_return;
    }
    const std::vector<Bytes> pages = records::LogoPages(bytes);
    for (std::size_t p = 0; p < pages.size(); ++p) {
        const int addr = kind::Logo + static_cast<int>(p);
        emit pageStarted(static_cast<int>(p) + 1, {});
        const StepOutcome o = co_await frameStep(addr, kind::Logo, PageWriteFrame(addr, pages[p]));
        if (o != StepOutcome::Done) {
            closePort();
            TransferResult r = failure(o, Direction::Write);
            r.page = static_cast<int>(p) + 1;
            finishWith(r, EngineState::Idle);
            co_return;
        }
    }
    closePort();
    finishWith({Outcome::Done, {msg::LogoDone}, false, static_cast<int>(pages.size())}, EngineState::Idle);
}

} // namespace ecr::link
