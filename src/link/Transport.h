// The byte pipe under the engine: open, close, write, and bytes as they come.
// The serial port is one implementation; tests use a scripted one.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <string>

namespace ecr::link {

class Transport : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~Transport() override = default;

    // Opens with the current settings and empties both buffers. On failure
    // returns false with the port's own error text and code.
    virtual bool open(QString& errorText, int& errorCode) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // Queues the whole frame; it leaves in order without blocking the caller.
    virtual void write(const QByteArray& frame) = 0;
    // Drops whatever was received and not yet delivered.
    virtual void clearInput() = 0;
    // The device as messages name it ("/dev/ttyUSB0"); the one opened last.
    virtual std::string deviceName() const { return {}; }

signals:
    void bytesReceived(const QByteArray& bytes);
    // Serial event numbers (2 receive, 1001.. errors) for the status text.
    void serialEvent(int eventNumber);
    // The open device failed for good (unplugged, the other end gone): the
    // port is already closed. Sent once per failure.
    void failed(const QString& errorText);
};

} // namespace ecr::link
