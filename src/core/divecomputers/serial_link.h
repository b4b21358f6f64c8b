#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/settings/settings_store.h"

namespace marelos {

// The line settings of a serial port, as the program writes them: "2400,O,8,1" (baud rate,
// parity letter, data bits, stop bits).
struct LineSettings {
    std::int32_t baudRate = 2400;
    char parity = 'O';  // one of N, E, O, S, M
    int dataBits = 8;
    int stopBits = 1;

    bool operator==(const LineSettings&) const = default;
};

// The settings text read; nothing when a part is missing or not allowed.
std::optional<LineSettings> ParseLineSettings(std::string_view text);
std::string LineSettingsText(const LineSettings& settings);

// Why a port could not be opened: taken by another program, or a system error by number.
struct SerialOpenError {
    bool inUse = false;
    int errorNumber = 0;
};

// The program's message for a port that did not open: "Schnittstelle COM2: wird bereits von
// einem anderem Programm oder Prozess verwendet." when it is taken, else the system's text and
// number.
std::string SerialOpenErrorMessage(std::string_view portName, const SerialOpenError& error);

// One serial port. Protocols are handed an open link and never open ports themselves, so the
// same code runs against the real port, a simulated device and a pseudo-terminal. There is no
// handshaking; DTR and RTS are set by hand.
class SerialLink {
  public:
    virtual ~SerialLink() = default;

    // Opens the device (a path such as /dev/ttyUSB0 or a pseudo-terminal) with the line
    // settings; a link that is open is closed first.
    virtual std::optional<SerialOpenError> Open(const std::string& device,
                                                const LineSettings& settings) = 0;
    // Closes the port; closing a closed port does nothing.
    virtual void Close() = 0;
    // False also once the device has gone away during a transfer: the port is closed then.
    virtual bool IsOpen() const = 0;
    // The modem lines; a device without them (a pseudo-terminal) ignores the request.
    virtual void SetDtr(bool on) = 0;
    virtual void SetRts(bool on) = 0;
    virtual bool Write(std::span<const std::uint8_t> bytes) = 0;
    virtual std::size_t BytesWaiting() const = 0;
    // Up to `count` of the waiting bytes; never waits.
    virtual std::vector<std::uint8_t> Read(std::size_t count) = 0;
    // Runs whenever new bytes have arrived; the callback reads them.
    virtual void OnDataArrived(std::function<void()> callback) = 0;
};

// A serial device, and how messages name it: its path when it was chosen by path, else the COM
// port with the path it stands for ("COM2 (/dev/ttyS1)").
struct SerialPortDevice {
    std::string path;
    std::string name;

    bool operator==(const SerialPortDevice&) const = default;
};

// The device of COM port n: `chosenPath` when it is not empty, else /dev/ttyUSB<n-1> when that
// exists, else /dev/ttyS<n-1>.
SerialPortDevice PortDevice(std::string_view chosenPath, int port,
                            const std::function<bool(const std::string&)>& exists);
// PortDevice with the path chosen in "CommPort/Device".
SerialPortDevice SerialDevice(const SettingsStore& store, int port,
                              const std::function<bool(const std::string&)>& exists);

// The interface test: the text sent, and what a working interface answers. The home-made
// interface echoes every byte, the original one answers with the same text.
inline constexpr std::string_view kInterfaceTestText = "Vyper Interface OK";

}  // namespace marelos
