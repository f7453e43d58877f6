#include "SerialTransport.h"

#include "LinkLog.h"
#include "SerialEvents.h"
#include "app/AppState.h"
#include "app/Config.h"

#include <filesystem>

namespace ecr::link {

PortSettings PortSettingsOf(const AppState& state) {
    return {state.commPortName.empty() ? DefaultPortName(state.commPort) : state.commPortName, state.baudRate};
}

std::string ResolvePortName(const std::string& name) {
    if (name.empty() || name.find('/') != std::string::npos) return name;
    std::error_code ec;
    if (std::filesystem::exists(name, ec)) return std::filesystem::absolute(name, ec).string();
#ifdef _WIN32
    return name;
#else
    return "/dev/" + name;
#endif
}

SerialTransport::SerialTransport(std::function<PortSettings()> settings, QObject* parent)
    : Transport(parent), settings_(std::move(settings)) {
    connect(&port_, &QSerialPort::readyRead, this, &SerialTransport::onReadyRead);
    connect(&port_, &QSerialPort::errorOccurred, this, &SerialTransport::onError);
}

bool SerialTransport::open(QString& errorText, int& errorCode) {
    if (port_.isOpen()) port_.close();
    const PortSettings s = settings_();
    device_ = ResolvePortName(s.portName);
    port_.setPortName(QString::fromStdString(device_));
    port_.setBaudRate(s.baudRate);
    port_.setDataBits(QSerialPort::Data8);
    port_.setParity(QSerialPort::NoParity);
    port_.setStopBits(QSerialPort::OneStop);
    port_.setFlowControl(QSerialPort::NoFlowControl);
    // Unlimited: a page never waits in the driver because Qt's buffer is full.
    port_.setReadBufferSize(0);
    // No DTR/RTS calls: the register does not use them and a pseudo-terminal
    // refuses them.
    if (!port_.open(QIODevice::ReadWrite)) {
        errorCode = static_cast<int>(port_.error());
        errorText = port_.errorString();
        qCWarning(lcLink) << "cannot open" << port_.portName() << errorText;
        return false;
    }
    port_.clear(QSerialPort::AllDirections);
    qCDebug(lcLink) << "opened" << port_.portName() << s.baudRate;
    return true;
}

void SerialTransport::close() {
    if (port_.isOpen()) {
        port_.close();
        qCDebug(lcLink) << "closed" << port_.portName();
    }
}

void SerialTransport::write(const QByteArray& frame) {
    // QSerialPort keeps the frame in its write buffer and hands it to the
    // driver as the device accepts it, in order, without blocking.
    if (port_.write(frame) != frame.size()) qCWarning(lcLink) << "write refused" << port_.errorString();
}

void SerialTransport::clearInput() {
    if (!port_.isOpen()) return;
    port_.readAll();
    port_.clear(QSerialPort::Input);
}

void SerialTransport::onReadyRead() {
    const QByteArray bytes = port_.readAll();
    emit serialEvent(event::Receive);
    if (!bytes.isEmpty()) emit bytesReceived(bytes);
}

void SerialTransport::onError(QSerialPort::SerialPortError e) {
    switch (e) {
    case QSerialPort::NoError:
    case QSerialPort::UnsupportedOperationError: // modem lines on a pseudo-terminal
        return;
    default:
        break;
    }
    qCWarning(lcLink) << "serial error" << e << port_.errorString();
    emit serialEvent(event::Other);
    // A device that fails to read or write is gone (unplugged, the other end
    // closed); its error would come back on every event-loop pass, so the
    // port is closed and the failure reported once.
    if (port_.isOpen() && (e == QSerialPort::ResourceError || e == QSerialPort::ReadError ||
                           e == QSerialPort::WriteError)) {
        const QString text = port_.errorString();
        port_.close();
        qCDebug(lcLink) << "closed" << port_.portName() << "after a fatal error";
        emit failed(text);
    }
}

} // namespace ecr::link
