#include "Clock.h"

#include <QElapsedTimer>
#include <QTimer>

namespace ecr::link {

namespace {
std::int64_t monotonicMs() {
    static QElapsedTimer t = [] {
        QElapsedTimer e;
        e.start();
        return e;
    }();
    return t.elapsed();
}
} // namespace

QtClock::QtClock(QObject* parent) : QObject(parent) {}

QtClock::~QtClock() {
    for (auto& [id, t] : timers_) delete t;
}

Clock::TimerId QtClock::after(int ms, std::function<void()> fn) {
    const TimerId id = next_++;
    auto* t = new QTimer(this);
    t->setSingleShot(true);
    t->setTimerType(Qt::PreciseTimer);
    QObject::connect(t, &QTimer::timeout, this, [this, id, fn = std::move(fn)]() {
        auto it = timers_.find(id);
        if (it == timers_.end()) return;
        it->second->deleteLater();
        timers_.erase(it);
        fn();
    });
    timers_[id] = t;
    t->start(ms < 0 ? 0 : ms);
    return id;
}

void QtClock::cancel(TimerId id) {
    auto it = timers_.find(id);
    if (it == timers_.end()) return;
    static_cast<QTimer*>(it->second)->stop();
    it->second->deleteLater();
    timers_.erase(it);
}

std::int64_t QtClock::nowMs() const { return monotonicMs(); }

Clock::TimerId ManualClock::after(int ms, std::function<void()> fn) {
    const TimerId id = next_++;
    const std::int64_t due = now_ + (ms < 0 ? 0 : ms);
    timers_.emplace(Key{due, id}, std::move(fn));
    dueOf_[id] = due;
    return id;
}

void ManualClock::cancel(TimerId id) {
    auto it = dueOf_.find(id);
    if (it == dueOf_.end()) return;
    timers_.erase(Key{it->second, id});
    dueOf_.erase(it);
}

int ManualClock::runPending() {
    int n = 0;
    while (!timers_.empty() && timers_.begin()->first.due <= now_) {
        auto node = timers_.extract(timers_.begin());
        dueOf_.erase(node.key().id);
        node.mapped()();
        ++n;
    }
    return n;
}

int ManualClock::advance(std::int64_t ms) {
    const std::int64_t target = now_ + ms;
    int n = runPending();
    while (!timers_.empty() && timers_.begin()->first.due <= target) {
        now_ = timers_.begin()->first.due;
        n += runPending();
    }
    now_ = target;
    return n + runPending();
}

std::int64_t ManualClock::nextDueIn() const {
    if (timers_.empty()) return -1;
    return std::max<std::int64_t>(0, timers_.begin()->first.due - now_);
}

} // namespace ecr::link
