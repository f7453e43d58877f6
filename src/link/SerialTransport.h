// The transport over a serial device (a USB adapter, a built-in port or a
// pseudo-terminal), chosen by name.
#pragma once

#include "Transport.h"

#include <QSerialPort>

#include <functional>
#include <string>

namespace ecr {
struct AppState;
}

namespace ecr::link {

struct PortSettings {
    std::string portName; // /dev/ttyUSB0, /dev/pts/3, COM3
    int baudRate = 115200;
};
// The stored settings: the device by name, or the one for the port number.
PortSettings PortSettingsOf(const AppState& state);

// The device a name means: a path as it stands; a bare name that is a file in
// the current folder, that file; another bare name, the system's device of
// that name (ttyUSB0: /dev/ttyUSB0).
std::string ResolvePortName(const std::string& name);

class SerialTransport : public Transport {
    Q_OBJECT
public:
    // settings() is asked on every open, so changed settings apply to the next
    // transfer.
    explicit SerialTransport(std::function<PortSettings()> settings, QObject* parent = nullptr);

    bool open(QString& errorText, int& errorCode) override;
    void close() override;
    bool isOpen() const override { return port_.isOpen(); }
    void write(const QByteArray& frame) override;
    void clearInput() override;
    std::string deviceName() const override { return device_; }

private:
    void onReadyRead();
    void onError(QSerialPort::SerialPortError e);

    std::function<PortSettings()> settings_;
    QSerialPort port_;
    std::string device_;
};

} // namespace ecr::link
