#pragma once

#include <QSerialPort>

#include "core/divecomputers/serial_link.h"
#include "core/settings/settings.h"

namespace marelos {

// A serial port through QSerialPort. A pseudo-terminal has no modem lines: the adapter lets
// their requests fail quietly, so tests and simulators run over a pty like over a real port.
class QtSerialLink : public SerialLink {
  public:
    QtSerialLink();

    std::optional<SerialOpenError> Open(const std::string& device,
                                        const LineSettings& settings) override;
    void Close() override;
    bool IsOpen() const override;
    void SetDtr(bool on) override;
    void SetRts(bool on) override;
    bool Write(std::span<const std::uint8_t> bytes) override;
    std::size_t BytesWaiting() const override;
    std::vector<std::uint8_t> Read(std::size_t count) override;
    void OnDataArrived(std::function<void()> callback) override;

  private:
    QSerialPort port_;
    std::function<void()> dataArrived_;
};

// Waits the time while the event loop runs on: received bytes and the user's clicks are handled
// meanwhile, so a command's pauses never freeze a window.
void PauseWithEvents(int milliseconds);

// Opens the device of COM port `settings.port` (see SerialDevice) with the user's line settings;
// the program's message, naming the device's path, when it does not open.
std::optional<std::string> OpenCommPort(SerialLink& link, const Settings& settings,
                                        const SettingsStore& store);

// Waits until `count` bytes wait on the link or the time is up, with the event loop running, and
// returns as soon as they are there. The link's data-arrived callback is its own meanwhile.
void WaitForBytesWithEvents(SerialLink& link, std::size_t count, int milliseconds);

// The serial ports the system reports, as device paths.
std::vector<std::string> SystemSerialPorts();
// Whether a device path exists, for SerialDevice.
bool DeviceExists(const std::string& path);

}  // namespace marelos
