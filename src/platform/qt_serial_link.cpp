#include "qt_serial_link.h"

#include <QSerialPortInfo>
#include <cerrno>

namespace marelos {
namespace {

QSerialPort::Parity ToQtParity(char parity) {
    switch (parity) {
        case 'E':
            return QSerialPort::EvenParity;
        case 'O':
            return QSerialPort::OddParity;
        case 'S':
            return QSerialPort::SpaceParity;
        case 'M':
            return QSerialPort::MarkParity;
        default:
            return QSerialPort::NoParity;
    }
}

SerialOpenError OpenErrorOf(QSerialPort::SerialPortError error) {
    switch (error) {
        case QSerialPort::DeviceNotFoundError:
            return {false, ENOENT};
        case QSerialPort::PermissionError:
            return {false, EACCES};
        case QSerialPort::OpenError:
            return {true, 0};
        default:
            return {false, EIO};
    }
}

}  // namespace

QtSerialLink::QtSerialLink() {
    QObject::connect(&port_, &QSerialPort::readyRead, [this] {
        if (dataArrived_) dataArrived_();
    });
}

std::optional<SerialOpenError> QtSerialLink::Open(const std::string& device,
                                                  const LineSettings& settings) {
    Close();
    port_.setPortName(QString::fromStdString(device));
    port_.setBaudRate(settings.baudRate);
    port_.setParity(ToQtParity(settings.parity));
    port_.setDataBits(static_cast<QSerialPort::DataBits>(settings.dataBits));
    port_.setStopBits(settings.stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop);
    port_.setFlowControl(QSerialPort::NoFlowControl);
    if (!port_.open(QIODevice::ReadWrite)) {
        const SerialOpenError error = OpenErrorOf(port_.error());
        port_.clearError();
        return error;
    }
    return std::nullopt;
}

void QtSerialLink::Close() {
    if (port_.isOpen()) port_.close();
    port_.clearError();
}

bool QtSerialLink::IsOpen() const {
    return port_.isOpen();
}

void QtSerialLink::SetDtr(bool on) {
    if (!port_.setDataTerminalReady(on)) port_.clearError();  // no modem lines on a pty
}

void QtSerialLink::SetRts(bool on) {
    if (!port_.setRequestToSend(on)) port_.clearError();
}

bool QtSerialLink::Write(std::span<const std::uint8_t> bytes) {
    const auto size = static_cast<qint64>(bytes.size());
    return port_.write(reinterpret_cast<const char*>(bytes.data()), size) == size;
}

std::size_t QtSerialLink::BytesWaiting() const {
    return static_cast<std::size_t>(port_.bytesAvailable());
}

std::vector<std::uint8_t> QtSerialLink::Read(std::size_t count) {
    const QByteArray bytes = port_.read(static_cast<qint64>(count));
    return {bytes.begin(), bytes.end()};
}

void QtSerialLink::OnDataArrived(std::function<void()> callback) {
    dataArrived_ = std::move(callback);
}

std::vector<std::string> SystemSerialPorts() {
    std::vector<std::string> paths;
    for (const QSerialPortInfo& port : QSerialPortInfo::availablePorts())
        paths.push_back(port.systemLocation().toStdString());
    return paths;
}

}  // namespace marelos
