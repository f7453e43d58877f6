// Single-page and paged transfers for any form. A form takes part through the
// small TransferHost interface (its controls on or off, what to reload after a
// read), so forms that are not lists (parameters, keyboard, logo) use the same
// transfers as the list forms.
#pragma once

#include "ProgressPanel.h"
#include "link/TransferEngine.h"
#include "link/TransferPlans.h"

#include <QList>
#include <QMetaObject>
#include <QObject>
#include <QPointer>

#include <functional>

#include <functional>
#include <string>
#include <string_view>

class QLineEdit;
class QWidget;

namespace ecr::ui {

// What a transfer needs of the form that runs it.
class TransferHost {
public:
    virtual ~TransferHost() = default;
    // The form: parent of the messages, its name the log location's prefix.
    virtual QWidget* hostWidget() = 0;
    // Off while a transfer runs, on when it ends.
    virtual void setControlsEnabled(bool enabled) = 0;
    // After a completed read.
    virtual void reloadAfterRead() {}
    // The panel a single-page transfer shows itself busy in; nullptr: the
    // transfer brings a small window of its own.
    virtual ProgressPanel* transferPanel() { return nullptr; }
};

// Counts down to a deadline on the engine's clock, showing the time left once
// a second (a manual clock in tests moves it by hand).
class Countdown {
public:
    Countdown() = default;
    Countdown(const Countdown&) = delete;
    Countdown& operator=(const Countdown&) = delete;
    ~Countdown() { stop(); }
    // show(msLeft) now and at every whole second until the deadline.
    void start(link::TransferEngine* engine, long long ms, std::function<void(long long)> show);
    void stop();
    bool running() const { return timer_ != 0; }

private:
    void tick();

    QPointer<link::TransferEngine> engine_;
    link::Clock::TimerId timer_ = 0;
    long long deadline_ = 0;
    std::function<void(long long)> show_;
};

// Log location of a procedure of the host: "<form>_<procedure>".
std::string Where(TransferHost& host, const char* procedure);

// False, after message 111609, while the register link's port is open or a
// transfer runs: a form must not close then.
bool MayCloseWhileLinked(QWidget* form);

// One register page of a kind of the link's plan table ("cashiers",
// "departments", "flashcash"): no question, no page range, no retry. While the
// register is asked, the host's panel (or a small window) shows what is read
// or written, a moving bar, the time left and Stop.
class SinglePageTransfer : public QObject {
    Q_OBJECT
public:
    SinglePageTransfer(TransferHost& host, std::string_view kind);
    ~SinglePageTransfer() override;
    // False when nothing started (no engine, busy, or the start failed).
    bool start(link::Direction d);
    // Any other single request of the engine (the clock), reported the same
    // way; procedure names it in the log.
    bool run(link::Direction d, const char* procedure, const std::function<bool(link::TransferEngine&)>& begin);

    // The panel shown while the request runs (the host's or the transfer's own).
    ProgressPanel* panel() const { return shownPanel_; }

private:
    void finished(const link::TransferResult& r, link::Direction d);
    void release();
    ProgressPanel* busyPanel();

    TransferHost& host_;
    const link::KindPlan* plan_;
    QMetaObject::Connection state_, done_, stop_;
    ProgressPanel* ownPanel_ = nullptr;
    QPointer<ProgressPanel> shownPanel_;
    QString busyText_; // what start() is about to ask, for the panel
    Countdown countdown_;
};

// The paged upload and download of one kind, driven by the form's page boxes
// (txtStartPage, txtEndPage) and its progress panel. Idle, running, paused,
// finished as the panel shows. The bar spans the range as first started, so
// Continue goes on from where it stood; a page being retried shows its attempt
// and the time until the transfer gives up; a pause names the page that
// Continue starts with.
class PagedTransfer : public QObject {
    Q_OBJECT
public:
    // kind: a paged kind of the link's plan table ("plu", "members", ...).
    PagedTransfer(TransferHost& host, std::string_view kind, ProgressPanel* panel, QLineEdit* startBox,
                  QLineEdit* endBox);
    ~PagedTransfer() override;

    // cmdUpload and cmdDownload: the boxes set to the whole range first.
    void upload();
    void download();
    // ReadPages and WritePages: the range of the boxes. A read from page 1
    // of a kind the register's pages replace (link::ReadReplacesTable)
    // empties its table with the first page stored; continuing from a later
    // page keeps what earlier pages brought.
    void readPages() { run(link::Direction::Read); }
    void writePages() { run(link::Direction::Write); }

    // Pages of the kind for the database's keyboard.
    int pageCount(link::Direction d) const;
    // The direction of the last transfer started (continue repeats it).
    link::Direction direction() const { return direction_; }
    bool paused() const { return paused_; }

private:
    void run(link::Direction d);
    void onState(link::EngineState s);
    void onPage(int page, const QString& caption);
    void onAttemptFailed(int page, int attempt, const link::LinkMessage& why);
    void showAttempt(long long msLeft);
    void onFinished(const link::TransferResult& r);
    void stopClicked();
    void continueClicked();
    void closeClicked();
    void release();

    TransferHost& host_;
    const link::KindPlan* plan_;
    ProgressPanel* panel_;
    QLineEdit* start_;
    QLineEdit* end_;
    link::Direction direction_ = link::Direction::Read;
    bool paused_ = false;
    int barFirst_ = -1;        // bar minimum of the transfer as first started
    int attempt_ = 0;          // the attempt running after a failed one
    QString attemptReason_;    // why the one before failed
    Countdown countdown_;
    QList<QMetaObject::Connection> engineConnections_;
};

} // namespace ecr::ui
