#include "serial_link.h"

#include "core/failure.h"
#include "core/settings/setting_keys.h"
#include "core/text/val.h"

namespace marelos {
namespace {

std::vector<std::string_view> SplitAtCommas(std::string_view text) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (std::size_t comma = text.find(','); comma != std::string_view::npos;
         comma = text.find(',', start)) {
        parts.push_back(text.substr(start, comma - start));
        start = comma + 1;
    }
    parts.push_back(text.substr(start));
    return parts;
}

}  // namespace

std::optional<LineSettings> ParseLineSettings(std::string_view text) {
    const std::vector<std::string_view> parts = SplitAtCommas(text);
    if (parts.size() != 4 || parts[1].size() != 1) return std::nullopt;
    LineSettings settings;
    settings.baudRate = static_cast<std::int32_t>(Val(parts[0]));
    const char parity = parts[1][0] >= 'a' && parts[1][0] <= 'z' ? parts[1][0] - 32 : parts[1][0];
    settings.parity = parity;
    settings.dataBits = static_cast<int>(Val(parts[2]));
    settings.stopBits = static_cast<int>(Val(parts[3]));
    const bool known = settings.baudRate > 0 &&
                       std::string_view("NEOSM").find(parity) != std::string_view::npos &&
                       settings.dataBits >= 5 && settings.dataBits <= 8 &&
                       (settings.stopBits == 1 || settings.stopBits == 2);
    return known ? std::optional(settings) : std::nullopt;
}

std::string LineSettingsText(const LineSettings& s) {
    return std::to_string(s.baudRate) + "," + std::string(1, s.parity) + "," +
           std::to_string(s.dataBits) + "," + std::to_string(s.stopBits);
}

std::string SerialOpenErrorMessage(std::string_view portName, const SerialOpenError& error) {
    if (error.inUse) {
        return "Schnittstelle " + std::string(portName) +
               ": wird bereits von einem anderem Programm oder Prozess verwendet.";
    }
    return "Schnittstelle " + std::string(portName) + ": " + SystemErrorText(error.errorNumber);
}

SerialPortDevice PortDevice(std::string_view chosenPath, int port,
                            const std::function<bool(const std::string&)>& exists) {
    if (!chosenPath.empty()) return {std::string(chosenPath), std::string(chosenPath)};
    const std::string usb = "/dev/ttyUSB" + std::to_string(port - 1);
    const std::string path = exists(usb) ? usb : "/dev/ttyS" + std::to_string(port - 1);
    return {path, "COM" + std::to_string(port) + " (" + path + ")"};
}

SerialPortDevice SerialDevice(const SettingsStore& store, int port,
                              const std::function<bool(const std::string&)>& exists) {
    return PortDevice(ReadSetting(store, keys::kDevice), port, exists);
}

}  // namespace marelos
