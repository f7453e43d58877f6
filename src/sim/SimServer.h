// Puts a SimRegister on a pseudo-terminal: the PC side opens the printed
// /dev/pts/N like any serial device. Optionally paces the answers at a baud
// rate (10 bits a byte), counting the PC's frame in as well, so the timing
// is that of a real line.
#pragma once

#include "SimRegister.h"

#include <QElapsedTimer>
#include <QObject>
#include <QSocketNotifier>
#include <QString>
#include <QTimer>

#include <deque>

namespace ecr::sim {

class SimServer : public QObject {
public:
    explicit SimServer(SimRegister& reg, QObject* parent = nullptr);
    ~SimServer() override;

    // Creates the pseudo-terminal. False with the reason when it cannot.
    bool start(QString& error);
    QString path() const { return path_; }
    // 0: no pacing.
    void setBaud(int baud) { baud_ = baud; }
    // A frame left incomplete this long is dropped (the PC gave up on it).
    void setPartialTimeoutMs(int ms) { partialTimeoutMs_ = ms; }
    std::size_t bytesIn() const { return bytesIn_; }
    std::size_t bytesOut() const { return bytesOut_; }

private:
    struct Out {
        QByteArray bytes;
        qint64 startNs; // when its first byte may leave
        qsizetype sent = 0;
    };
    void onReadable();
    void pump();
    void flush();
    qint64 byteNs() const { return baud_ > 0 ? 10'000'000'000LL / baud_ : 0; }

    SimRegister& reg_;
    int master_ = -1;
    int slave_ = -1; // kept open so the line survives the PC closing its end
    QString path_;
    QSocketNotifier* readable_ = nullptr;
    QSocketNotifier* writable_ = nullptr;
    QTimer tick_;
    QTimer partial_;
    QElapsedTimer clock_;
    std::deque<Out> queue_;
    QByteArray pending_; // due, not yet taken by the pty
    int baud_ = 0;
    int partialTimeoutMs_ = 500;
    qint64 inFreeNs_ = 0;  // when the PC's last byte has fully arrived on the line
    qint64 outFreeNs_ = 0; // when our last queued byte will have left
    std::size_t bytesIn_ = 0, bytesOut_ = 0;
};

} // namespace ecr::sim
