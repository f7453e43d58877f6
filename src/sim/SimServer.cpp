#include "SimServer.h"

#include <QLoggingCategory>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcSim, "ecr.sim", QtInfoMsg)

namespace ecr::sim {

SimServer::SimServer(SimRegister& reg, QObject* parent) : QObject(parent), reg_(reg) {
    tick_.setSingleShot(true);
    tick_.setTimerType(Qt::PreciseTimer);
    connect(&tick_, &QTimer::timeout, this, &SimServer::pump);
    partial_.setSingleShot(true);
    connect(&partial_, &QTimer::timeout, this, [this] {
        if (reg_.hasPartialInput()) {
            qCDebug(lcSim) << "dropping an incomplete frame";
            reg_.resetInput();
        }
    });
    clock_.start();
}

SimServer::~SimServer() {
    delete readable_;
    delete writable_;
    if (slave_ >= 0) ::close(slave_);
    if (master_ >= 0) ::close(master_);
}

bool SimServer::start(QString& error) {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
        error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    char name[128];
    if (::ptsname_r(master_, name, sizeof name) != 0) {
        error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    path_ = QString::fromLocal8Bit(name);
    slave_ = ::open(name, O_RDWR | O_NOCTTY);
    if (slave_ < 0) {
        error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    // Raw line from the start: no echo, no line editing, 8 bits.
    termios t{};
    ::tcgetattr(slave_, &t);
    ::cfmakeraw(&t);
    ::tcsetattr(slave_, TCSANOW, &t);
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);

    readable_ = new QSocketNotifier(master_, QSocketNotifier::Read);
    connect(readable_, &QSocketNotifier::activated, this, &SimServer::onReadable);
    writable_ = new QSocketNotifier(master_, QSocketNotifier::Write);
    writable_->setEnabled(false);
    connect(writable_, &QSocketNotifier::activated, this, &SimServer::flush);
    return true;
}

void SimServer::onReadable() {
    char buf[8192];
    for (;;) {
        const ssize_t n = ::read(master_, buf, sizeof buf);
        if (n <= 0) break;
        bytesIn_ += static_cast<std::size_t>(n);
        const qint64 now = clock_.nsecsElapsed();
        // With pacing, the frame is complete only when its last byte would
        // have crossed the line.
        inFreeNs_ = std::max(now, inFreeNs_) + n * byteNs();
        const qint64 arrived = baud_ > 0 ? inFreeNs_ : now;
        auto emissions = reg_.feed(std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(buf), static_cast<std::size_t>(n)));
        qint64 at = arrived;
        for (auto& e : emissions) {
            at += qint64(e.delayMs) * 1'000'000;
            Out o{QByteArray(reinterpret_cast<const char*>(e.bytes.data()), static_cast<qsizetype>(e.bytes.size())), at};
            if (baud_ > 0) {
                o.startNs = std::max(o.startNs, outFreeNs_);
                outFreeNs_ = o.startNs + o.bytes.size() * byteNs();
                at = outFreeNs_;
            }
            queue_.push_back(std::move(o));
        }
    }
    if (reg_.hasPartialInput()) partial_.start(partialTimeoutMs_);
    else partial_.stop();
    pump();
}

void SimServer::pump() {
    const qint64 now = clock_.nsecsElapsed();
    while (!queue_.empty()) {
        Out& o = queue_.front();
        if (now < o.startNs) break;
        qsizetype due = o.bytes.size();
        if (baud_ > 0) due = std::min<qsizetype>(o.bytes.size(), (now - o.startNs) / byteNs());
        if (due > o.sent) {
            pending_.append(o.bytes.constData() + o.sent, due - o.sent);
            o.sent = due;
        }
        if (o.sent < o.bytes.size()) break;
        queue_.pop_front();
    }
    flush();
    if (queue_.empty()) return;
    const Out& o = queue_.front();
    qint64 nextNs = o.startNs;
    if (baud_ > 0 && now >= o.startNs) {
        // Wake when the next few dozen bytes (or the rest) are due.
        const qsizetype next = std::min<qsizetype>(o.bytes.size(), o.sent + 32);
        nextNs = o.startNs + next * byteNs();
    }
    const qint64 waitMs = std::max<qint64>(0, (nextNs - now + 999'999) / 1'000'000);
    tick_.start(static_cast<int>(waitMs));
}

void SimServer::flush() {
    while (!pending_.isEmpty()) {
        const ssize_t n = ::write(master_, pending_.constData(), static_cast<std::size_t>(pending_.size()));
        if (n <= 0) break;
        bytesOut_ += static_cast<std::size_t>(n);
        pending_.remove(0, n);
    }
    writable_->setEnabled(!pending_.isEmpty());
}

} // namespace ecr::sim
