#include "Transfers.h"

#include "ErrorTrap.h"
#include "Log.h"
#include "ProgressPanel.h"
#include "Prompter.h"
#include "RegisterLink.h"
#include "Texts.h"
#include "app/Config.h"
#include "app/GlobalFunc.h"
#include "link/LinkText.h"
#include "link/TransferText.h"

#include <algorithm>
#include <utility>

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QWidget>

namespace ecr::ui {

using link::Direction;
using link::Outcome;

std::string Where(TransferHost& host, const char* procedure) {
    return host.hostWidget()->objectName().toStdString() + "_" + procedure;
}

bool MayCloseWhileLinked(QWidget* form) {
    link::TransferEngine* engine = Engine();
    if (engine && (engine->portOpen() || engine->busy())) {
        Prompt().information(form, Text(link::msg::PortBusyTitle), Text(link::msg::PortBusy));
        return false;
    }
    return true;
}

namespace {

const char* directionName(Direction d) { return d == Direction::Read ? "upload" : "download"; }

constexpr int kAttemptLine = 120800;  // "Attempt %1 of %2, giving up in %3 at the latest"
constexpr int kStoppedAt = 120801;    // "Stopped before page %1 was finished. Continue starts again with page %1."
constexpr int kGaveUpAt = 120802;     // "Page %1 failed %2 times. Continue tries page %1 again; ..."
constexpr int kReading = 120803;      // "Reading %1 from the register..."
constexpr int kWriting = 120804;      // "Writing %1 into the register..."
constexpr int kWaitingLine = 120805;  // "Waiting for the register's answer: %1 left"
constexpr int kAttemptFailed = 120806; // "Attempt %1 failed: %2"
constexpr int kNoAnswer = 120807;     // "no answer from the register"

QString textWith(int id, const std::vector<std::string>& args) {
    return QString::fromStdString(SubstituteArgs(Text(id).toStdString(), args));
}

std::string timeLeft(long long ms) { return TimeLeftText(ms).toStdString(); }

} // namespace

// ---- countdown --------------------------------------------------------------------

void Countdown::start(link::TransferEngine* engine, long long ms, std::function<void(long long)> show) {
    stop();
    if (!engine) return;
    engine_ = engine;
    show_ = std::move(show);
    deadline_ = engine->clock().nowMs() + ms;
    tick();
}

void Countdown::stop() {
    if (timer_ && engine_) engine_->clock().cancel(timer_);
    timer_ = 0;
}

void Countdown::tick() {
    timer_ = 0;
    if (!engine_) return;
    const long long left = deadline_ - engine_->clock().nowMs();
    show_(left);
    if (left <= 0) return;
    // Next at the next whole second of the time left.
    const long long next = left % 1000 == 0 ? 1000 : left % 1000;
    timer_ = engine_->clock().after(static_cast<int>(next), [this] { tick(); });
}

// ---- single page ----------------------------------------------------------------

SinglePageTransfer::SinglePageTransfer(TransferHost& host, std::string_view kind)
    : QObject(host.hostWidget()), host_(host), plan_(link::FindKindPlan(kind)) {
    Q_ASSERT(plan_);
}

SinglePageTransfer::~SinglePageTransfer() { release(); }

void SinglePageTransfer::release() {
    disconnect(state_);
    disconnect(done_);
    disconnect(stop_);
    countdown_.stop();
    if (shownPanel_) shownPanel_->hide();
    shownPanel_.clear();
}

ProgressPanel* SinglePageTransfer::busyPanel() {
    if (ProgressPanel* p = host_.transferPanel()) return p;
    if (!ownPanel_) {
        // A form without a panel: a small window of its own over the form.
        ownPanel_ = new ProgressPanel(host_.hostWidget());
        ownPanel_->setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
        ownPanel_->setWindowTitle(host_.hostWidget()->windowTitle());
        ownPanel_->setMinimumWidth(360);
    }
    ownPanel_->adjustSize();
    const QRect form = host_.hostWidget()->frameGeometry();
    ownPanel_->move(form.center() - QPoint(ownPanel_->width() / 2, ownPanel_->height() / 2));
    return ownPanel_;
}

bool SinglePageTransfer::start(Direction d) {
    if (!plan_) return false;
    qCDebug(lcGui) << host_.hostWidget()->objectName() << directionName(d) << plan_->name.data();
    // What the panel says while the register is asked.
    busyText_ = textWith(d == Direction::Read ? kReading : kWriting, {link::KindCaption(plan_->base)});
    return run(d, d == Direction::Read ? "cmdUpload_Click" : "cmdDownload_Click",
               [this, d](link::TransferEngine& engine) { return link::StartKindTransfer(engine, *plan_, d); });
}

bool SinglePageTransfer::run(Direction d, const char* procedure,
                             const std::function<bool(link::TransferEngine&)>& begin) {
    // Set by start() for this request only; other requests show the bar and time alone.
    const QString busyText = std::exchange(busyText_, QString());
    link::TransferEngine* engine = Engine();
    if (!engine || engine->busy()) return false;
    state_ = connect(engine, &link::TransferEngine::stateChanged, this, [this](link::EngineState s) {
        if (s == link::EngineState::Running) host_.setControlsEnabled(false);
    });
    done_ = connect(engine, &link::TransferEngine::finished, this,
                    [this, d](const link::TransferResult& r) { finished(r, d); });
    bool started = false;
    Trapped(host_.hostWidget(), Where(host_, procedure), [&] { started = begin(*engine); });
    if (!started) {
        release();
        return false;
    }
    ProgressPanel* panel = busyPanel();
    shownPanel_ = panel;
    panel->showBusy(busyText);
    stop_ = connect(panel->stopButton(), &QPushButton::clicked, this, [] {
        if (link::TransferEngine* e = Engine()) e->stop();
    });
    countdown_.start(engine, link::kReplyTimeoutMs, [panel = QPointer<ProgressPanel>(panel)](long long left) {
        if (panel) panel->setStatus(textWith(kWaitingLine, {timeLeft(left)}));
    });
    return true;
}

void SinglePageTransfer::finished(const link::TransferResult& r, Direction d) {
    release();
    host_.setControlsEnabled(true);
    QWidget* form = host_.hostWidget();
    const QString text = QString::fromStdString(link::ResultText(r));
    qCDebug(lcGui) << form->objectName() << directionName(d) << "ended:" << text;
    switch (r.outcome) {
    case Outcome::Done:
    case Outcome::EndOfData:
        InformText(form, text);
        if (d == Direction::Read) host_.reloadAfterRead();
        break;
    case Outcome::PortError:
        // The port's own text, as opening it reports.
        Prompt().error(form, QStringLiteral("Error"), text);
        break;
    case Outcome::Stopped: break;
    default: ErrorText(form, text); break;
    }
}

// ---- paged ------------------------------------------------------------------------

PagedTransfer::PagedTransfer(TransferHost& host, std::string_view kind, ProgressPanel* panel, QLineEdit* startBox,
                             QLineEdit* endBox)
    : QObject(host.hostWidget()), host_(host), plan_(link::FindKindPlan(kind)), panel_(panel), start_(startBox),
      end_(endBox) {
    Q_ASSERT(plan_ && panel_);
    connect(panel_->stopButton(), &QPushButton::clicked, this, &PagedTransfer::stopClicked);
    connect(panel_->continueButton(), &QPushButton::clicked, this, &PagedTransfer::continueClicked);
    connect(panel_->closeButton(), &QPushButton::clicked, this, &PagedTransfer::closeClicked);
}

PagedTransfer::~PagedTransfer() { release(); }

int PagedTransfer::pageCount(Direction d) const {
    int keyboard = 2;
    Trapped(host_.hostWidget(), Where(host_, "GetKeyboardType"), [&] { keyboard = GetKeyboardType(Db()); });
    return link::Resolve(*plan_, d, keyboard).pages;
}

void PagedTransfer::upload() {
    start_->setText(QStringLiteral("1"));
    end_->setText(QString::number(pageCount(Direction::Read)));
    readPages();
}

void PagedTransfer::download() {
    start_->setText(QStringLiteral("1"));
    end_->setText(QString::number(pageCount(Direction::Write)));
    writePages();
}

void PagedTransfer::run(Direction d) {
    link::TransferEngine* engine = Engine();
    if (!engine || engine->busy()) return;
    QWidget* form = host_.hostWidget();
    const int pages = pageCount(d);
    const auto box = [](QLineEdit* e) { return static_cast<int>(NumericValue(e->text().toStdString())); };
    const link::PageSpan span = link::ClampPages(box(start_), box(end_), pages);
    start_->setText(QString::number(span.first + 1));
    end_->setText(QString::number(span.last + 1));
    if (!span.ok) {
        Inform(form, link::msg::EndBeforeStart);
        return;
    }
    // Continue keeps the bar's start: it shows where the whole transfer stands.
    const bool continuing = paused_ && d == direction_ && barFirst_ >= 0;
    const int barFirst = continuing ? std::min(barFirst_, span.first) : span.first;
    panel_->bar()->setRange(barFirst, span.last);
    const int question = d == Direction::Read ? link::msg::ConfirmRead : link::msg::ConfirmWrite;
    if (!Confirm(form, question, Prompter::Icon::Information, false)) return;

    direction_ = d;
    barFirst_ = barFirst;
    panel_->bar()->setValue(span.first);
    release();
    using E = link::TransferEngine;
    engineConnections_ << connect(engine, &E::stateChanged, this, &PagedTransfer::onState)
                       << connect(engine, &E::pageStarted, this, &PagedTransfer::onPage)
                       << connect(engine, &E::attemptFailed, this, &PagedTransfer::onAttemptFailed)
                       << connect(engine, &E::finished, this, &PagedTransfer::onFinished);
    bool started = false;
    qCDebug(lcGui) << form->objectName() << directionName(d) << plan_->name.data() << "pages" << span.first + 1
                   << "to" << span.last + 1;
    Trapped(form, Where(host_, d == Direction::Read ? "ReadPages" : "WritePages"),
            [&] {
                const std::pair range{span.first + 1, span.last + 1};
                const bool replace = d == Direction::Read && link::ReadReplacesTable(*plan_, range);
                started = link::StartKindTransfer(*engine, *plan_, d, range, replace);
            });
    if (!started) release();
}

void PagedTransfer::release() {
    for (const auto& c : engineConnections_) disconnect(c);
    engineConnections_.clear();
    countdown_.stop();
}

void PagedTransfer::onState(link::EngineState s) {
    if (s != link::EngineState::Running) return;
    paused_ = false;
    panel_->showRunning();
    host_.setControlsEnabled(false);
}

void PagedTransfer::onPage(int page, const QString& caption) {
    countdown_.stop();
    attempt_ = 0;
    panel_->setStatus({});
    start_->setText(QString::number(page));
    panel_->label()->setText(caption);
    panel_->bar()->setValue(page - 1);
}

void PagedTransfer::onAttemptFailed(int, int attempt, const link::LinkMessage& why) {
    attempt_ = attempt + 1;
    const bool silent = why.id == link::msg::ReadTimedOut || why.id == link::msg::WriteTimedOut;
    const QString reason = silent ? Text(kNoAnswer) : QString::fromStdString(link::MessageText(why)).trimmed();
    attemptReason_ = textWith(kAttemptFailed, {std::to_string(attempt), reason.toStdString()});
    // The attempt that starts now and every one after it may wait its whole time-out.
    const long long rest = static_cast<long long>(link::kMaxAttempts - attempt) * link::kReplyTimeoutMs;
    countdown_.start(Engine(), rest, [this](long long left) { showAttempt(left); });
}

void PagedTransfer::showAttempt(long long msLeft) {
    panel_->setStatus(textWith(kAttemptLine, {std::to_string(attempt_), std::to_string(link::kMaxAttempts),
                                              timeLeft(msLeft)}) +
                      QStringLiteral("\n") + attemptReason_);
}

void PagedTransfer::onFinished(const link::TransferResult& r) {
    release();
    QWidget* form = host_.hostWidget();
    link::TransferEngine* engine = Engine();
    const bool pausedNow = engine && engine->state() == link::EngineState::Paused;
    const QString text = QString::fromStdString(link::ResultText(r));
    qCDebug(lcGui) << form->objectName() << directionName(direction_) << "ended on page" << r.page << ":" << text;
    auto finish = [this] {
        paused_ = false;
        barFirst_ = -1;
        panel_->hide();
        host_.setControlsEnabled(true);
    };
    // A pause names the page that Continue starts with.
    auto pause = [this, &r](int labelId) {
        paused_ = true;
        panel_->setStatus({});
        const int attempts = plan_->retries ? link::kMaxAttempts : 1;
        // Page 0: the transfer failed before its first page; Continue starts with the first.
        const std::string page = r.page > 0 ? std::to_string(r.page) : start_->text().toStdString();
        panel_->label()->setText(textWith(labelId, {page, std::to_string(attempts)}));
        panel_->showPaused();
    };
    switch (r.outcome) {
    case Outcome::Done:
        // Every page of the range was done, the last one too, even when the
        // journal's allocation table skipped it (the bar then stops short).
        panel_->bar()->setValue(panel_->bar()->maximum());
        finish();
        InformText(form, text);
        if (direction_ == Direction::Read) host_.reloadAfterRead();
        break;
    case Outcome::EndOfData:
        finish();
        if (direction_ == Direction::Read) host_.reloadAfterRead();
        break;
    case Outcome::Refused:
        finish();
        InformText(form, text);
        break;
    case Outcome::Stopped:
        pause(kStoppedAt);
        break;
    case Outcome::PortError:
        // Opening failed before the first page: back to idle. Reopening
        // between attempts failed: paused on the page, to continue later.
        if (pausedNow)
            pause(kStoppedAt);
        else
            finish();
        Prompt().error(form, QStringLiteral("Error"), text);
        break;
    case Outcome::TimedOut:
    case Outcome::Failed:
        pause(kGaveUpAt);
        ErrorText(form, text);
        break;
    }
}

void PagedTransfer::stopClicked() {
    if (engineConnections_.isEmpty()) return; // the panel's Stop of another transfer
    panel_->showPaused();
    if (link::TransferEngine* engine = Engine()) engine->stop();
}

void PagedTransfer::continueClicked() { run(direction_); }

void PagedTransfer::closeClicked() {
    paused_ = false;
    barFirst_ = -1;
    panel_->hide();
    host_.setControlsEnabled(true);
    if (link::TransferEngine* engine = Engine()) engine->close();
}

} // namespace ecr::ui
