// Time for the link: single-shot timers and "run this soon". The engine never
// waits by looping; it arms a timer and returns to the event loop. Tests give
// it a ManualClock and move time by hand, so a 5 s time-out costs nothing.
#pragma once

#include <QObject>

#include <cstdint>
#include <functional>
#include <map>

namespace ecr::link {

class Clock {
public:
    using TimerId = std::uint64_t;
    virtual ~Clock() = default;
    // Calls fn once, ms milliseconds from now (0: as soon as control returns
    // to the event loop). Never calls fn from inside after().
    virtual TimerId after(int ms, std::function<void()> fn) = 0;
    // Forgets a timer that has not fired; unknown ids are ignored.
    virtual void cancel(TimerId id) = 0;
    virtual std::int64_t nowMs() const = 0;
    TimerId post(std::function<void()> fn) { return after(0, std::move(fn)); }
};

// QTimer-based clock on the calling thread's event loop.
class QtClock : public QObject, public Clock {
public:
    explicit QtClock(QObject* parent = nullptr);
    ~QtClock() override;
    TimerId after(int ms, std::function<void()> fn) override;
    void cancel(TimerId id) override;
    std::int64_t nowMs() const override;

private:
    std::map<TimerId, QObject*> timers_;
    TimerId next_ = 1;
};

// Time that moves only when told to. Timers due at the same time fire in the
// order they were armed.
class ManualClock : public Clock {
public:
    TimerId after(int ms, std::function<void()> fn) override;
    void cancel(TimerId id) override;
    std::int64_t nowMs() const override { return now_; }

    // Runs everything due now, including what those callbacks post. Returns
    // the number of callbacks run.
    int runPending();
    // Moves time forward by ms, firing timers in due order.
    int advance(std::int64_t ms);
    std::size_t armed() const { return timers_.size(); }
    // Milliseconds until the next armed timer; -1 when none.
    std::int64_t nextDueIn() const;

private:
    struct Key {
        std::int64_t due;
        TimerId id;
        bool operator<(const Key& o) const { return due != o.due ? due < o.due : id < o.id; }
    };
    std::map<Key, std::function<void()>> timers_;
    std::map<TimerId, std::int64_t> dueOf_;
    std::int64_t now_ = 0;
    TimerId next_ = 1;
};

} // namespace ecr::link
