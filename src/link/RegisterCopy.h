// Every programming page of a register moved in one run, in either direction:
// parameters, cashiers, departments, keys, PLUs, members, promotions and
// bundles in turn through the engine (the parameter page as its read-then-
// write pair), through a page I/O of the caller's (a backup) rather than the
// database. The run counts its pages as one sequence; stop pauses it on the
// page in hand, resume takes it up there, close gives up.
#pragma once

#include "TransferEngine.h"
#include "TransferPlans.h"

#include <QMetaObject>
#include <QObject>

#include <vector>

namespace ecr::link {

class RegisterCopy : public QObject {
    Q_OBJECT
public:
    // One kind's pages within the run.
    struct Part {
        const KindPlan* plan = nullptr;
        int base = 0;   // first page address
        int pages = 1;
        int offset = 0; // pages of the parts before it
    };
    // The parts for a register with this keyboard type (it decides the PLU pages).
    static std::vector<Part> Parts(int keyboardType);
    // Every page address of the run, in its order.
    static std::vector<int> Addresses(int keyboardType);

    // io must outlive the run.
    RegisterCopy(TransferEngine& engine, PageIO& io, QObject* parent = nullptr);
    ~RegisterCopy() override;

    // Starts with the first page; false (nothing started) while the engine
    // runs or holds a paused transfer of its own.
    bool start(Direction d, int keyboardType);
    // Ends the running wait; the run pauses on its page.
    void stop();
    // Lets the running request finish, then pauses (ecrctl's first Ctrl-C).
    void stopAfterRequest();
    // Paused: runs again from the page it paused on.
    bool resume();
    // Paused: gives up; the engine goes back to its own page I/O.
    void close();

    bool running() const { return running_; }
    bool paused() const { return paused_; }
    Direction direction() const { return direction_; }
    int totalPages() const;
    // 1-based page of the run that is (or was last) in hand.
    int page() const { return page_; }

signals:
    // A page begins: its place in the run (1-based), the run's length, and
    // the kind it belongs to.
    void pageStarted(int page, int total, const ecr::link::KindPlan* plan);
    // Done: every page moved. Stopped, TimedOut, Failed or PortError: the run
    // is paused on result.page (1-based in the run) and may be resumed.
    void finished(const ecr::link::TransferResult& result);

private:
    bool startPart(int firstPage);
    void onFinished(const TransferResult& r);
    void onPage(int pageInPart);
    void release();

    TransferEngine& engine_;
    PageIO& io_;
    Direction direction_ = Direction::Read;
    std::vector<Part> parts_;
    std::size_t part_ = 0;
    int page_ = 0;
    bool running_ = false;
    bool paused_ = false;
    QList<QMetaObject::Connection> connections_;
};

} // namespace ecr::link
