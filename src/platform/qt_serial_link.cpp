#include "qt_serial_link.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <QTimer>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "core/divecomputers/vyper_link.h"

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

// With MARELOS_SERIAL_TRACE set, every byte in and out is written to stderr in hex, one line
// per write or read ("> 08 a5 ad", "< 08 20 ..."), to diagnose a real cable.
void Trace(char direction, const std::uint8_t* bytes, std::size_t count) {
    static const bool enabled = std::getenv("MARELOS_SERIAL_TRACE") != nullptr;
    if (!enabled || count == 0) return;
    std::fprintf(stderr, "%c", direction);
    for (std::size_t i = 0; i < count; ++i)
        std::fprintf(stderr, " %02x", bytes[i]);
    std::fprintf(stderr, "\n");
}

}  // namespace

QtSerialLink::QtSerialLink() {
    QObject::connect(&port_, &QSerialPort::readyRead, [this] {
        if (dataArrived_) dataArrived_();
    });
    // A device that went away (a USB adapter pulled off, the far end of a pseudo-terminal
    // closed) leaves a port that only fails: closed, it tells the protocol the transfer is over.
    QObject::connect(&port_, &QSerialPort::errorOccurred, [this](QSerialPort::SerialPortError e) {
        if (e == QSerialPort::ResourceError) port_.close();
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
    Trace('>', bytes.data(), bytes.size());
    const auto size = static_cast<qint64>(bytes.size());
    const bool written = port_.write(reinterpret_cast<const char*>(bytes.data()), size) == size;
    port_.flush();  // the command timing counts from the byte on the line, not in a buffer
    return written;
}

std::size_t QtSerialLink::BytesWaiting() const {
    return static_cast<std::size_t>(port_.bytesAvailable());
}

std::vector<std::uint8_t> QtSerialLink::Read(std::size_t count) {
    const QByteArray bytes = port_.read(static_cast<qint64>(count));
    std::vector<std::uint8_t> out(bytes.begin(), bytes.end());
    Trace('<', out.data(), out.size());
    return out;
}

void QtSerialLink::OnDataArrived(std::function<void()> callback) {
    dataArrived_ = std::move(callback);
}

void PauseWithEvents(int milliseconds) {
    if (milliseconds <= 0) return;
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

std::optional<std::string> OpenCommPort(SerialLink& link, const Settings& settings,
                                        const SettingsStore& store) {
    const SerialPortDevice device = SerialDevice(store, settings.port, DeviceExists);
    const auto failure = link.Open(device.path, VyperLineSettings(settings));
    if (!failure) return std::nullopt;
    return SerialOpenErrorMessage(device.name, *failure);
}

void WaitForBytesWithEvents(SerialLink& link, std::size_t count, int milliseconds) {
    if (link.BytesWaiting() >= count) return;
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    link.OnDataArrived([&] {
        if (link.BytesWaiting() >= count) loop.quit();
    });
    loop.exec();
    link.OnDataArrived({});
}

bool DeviceExists(const std::string& path) {
    return QFileInfo::exists(QString::fromStdString(path));
}

std::vector<std::string> SystemSerialPorts() {
    std::vector<std::string> paths;
    for (const QSerialPortInfo& port : QSerialPortInfo::availablePorts())
        paths.push_back(port.systemLocation().toStdString());
    return paths;
}

}  // namespace marelos
