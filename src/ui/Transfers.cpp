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
} // namespace

// ---- single page ----------------------------------------------------------------

SinglePageTransfer::SinglePageTransfer(TransferHost& host, std::string_view kind)
    : QObject(host.hostWidget()), host_(host), plan_(link::FindKindPlan(kind)) {
    Q_ASSERT(plan_);
}

SinglePageTransfer::~SinglePageTransfer() { release(); }

void SinglePageTransfer::release() {
    disconnect(state_);
    disconnect(done_);
}

bool SinglePageTransfer::start(Direction d) {
    if (!plan_) return false;
    qCDebug(lcGui) << host_.hostWidget()->objectName() << directionName(d) << plan_->name.data();
    return run(d, d == Direction::Read ? "cmdUpload_Click" : "cmdDownload_Click",
               [this, d](link::TransferEngine& engine) { return link::StartKindTransfer(engine, *plan_, d); });
}

bool SinglePageTransfer::run(Direction d, const char* procedure,
                             const std::function<bool(link::TransferEngine&)>& begin) {
    link::TransferEngine* engine = Engine();
    if (!engine || engine->busy()) return false;
    state_ = connect(engine, &link::TransferEngine::stateChanged, this, [this](link::EngineState s) {
        if (s == link::EngineState::Running) host_.setControlsEnabled(false);
    });
    done_ = connect(engine, &link::TransferEngine::finished, this,
                    [this, d](const link::TransferResult& r) { finished(r, d); });
    bool started = false;
    Trapped(host_.hostWidget(), Where(host_, procedure), [&] { started = begin(*engine); });
    if (!started) release();
    return started;
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
    panel_->bar()->setRange(span.first, span.last);
    const int question = d == Direction::Read ? link::msg::ConfirmRead : link::msg::ConfirmWrite;
    if (!Confirm(form, question, Prompter::Icon::Information, false)) return;

    direction_ = d;
    release();
    using E = link::TransferEngine;
    engineConnections_ << connect(engine, &E::stateChanged, this, &PagedTransfer::onState)
                       << connect(engine, &E::pageStarted, this, &PagedTransfer::onPage)
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
}

void PagedTransfer::onState(link::EngineState s) {
    if (s != link::EngineState::Running) return;
    paused_ = false;
    panel_->showRunning();
    host_.setControlsEnabled(false);
}

void PagedTransfer::onPage(int page, const QString& caption) {
    start_->setText(QString::number(page));
    panel_->label()->setText(caption);
    panel_->bar()->setValue(page - 1);
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
        panel_->hide();
        host_.setControlsEnabled(true);
    };
    switch (r.outcome) {
    case Outcome::Done:
        finish();
        if (panel_->bar()->value() == panel_->bar()->maximum()) InformText(form, text);
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
        paused_ = true;
        panel_->showPaused();
        break;
    case Outcome::PortError:
        // Opening failed before the first page: back to idle. Reopening
        // between attempts failed: paused on the page, to continue later.
        if (pausedNow) {
            paused_ = true;
            panel_->showPaused();
        } else {
            finish();
        }
        Prompt().error(form, QStringLiteral("Error"), text);
        break;
    case Outcome::TimedOut:
    case Outcome::Failed:
        paused_ = true;
        panel_->showPaused();
        ErrorText(form, text);
        break;
    }
}

void PagedTransfer::stopClicked() {
    panel_->showPaused();
    if (link::TransferEngine* engine = Engine()) engine->stop();
}

void PagedTransfer::continueClicked() { run(direction_); }

void PagedTransfer::closeClicked() {
    paused_ = false;
    panel_->hide();
    host_.setControlsEnabled(true);
    if (link::TransferEngine* engine = Engine()) engine->close();
}

} // namespace ecr::ui
