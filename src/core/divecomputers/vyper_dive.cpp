#include "core/divecomputers/vyper_dive.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/profile/dive_name.h"
#include "core/profile/profile_file.h"
#include "core/text/number_format.h"
#include "core/text/rounding.h"

namespace marelos {

namespace {

constexpr double kFoot = 0.3048;
constexpr int kEndMark = 128;
constexpr std::size_t kMinDiveBytes = 16;
constexpr std::size_t kLowestSample = 2;
constexpr std::size_t kHeaderBytes = 15;  // the first sample is the 15th byte from the end

// What a Vyper records at most: its nitrox range, its sampling intervals, temperatures of air and
// water, and its depth range. A value beyond them comes from damaged bytes, not from a dive.
constexpr int kMinOxygen = 21;
constexpr int kMaxOxygen = 50;
constexpr int kMaxInterval = 60;
constexpr int kMaxAirTemperature = 60;
constexpr int kMaxWaterTemperature = 40;
constexpr double kMaxDepth = 150;
constexpr double kMaxAboveSurface = 3;  // a depth that drifted this far up is no drift

// The mark a byte between 121 and 135 stands for; the unnamed ones repeat the last name.
const char* MarkName(int value) {
    switch (value) {
        case 122:
            return "SLOW";
        case 123:
            return "ATT";
        case 124:
            return "PLAN";
        case 125:
            return "SURF";
        case 126:
            return "ASC";
        case 127:
            return "CEIL";
        case 129:
            return "ERR";
        default:
            return nullptr;
    }
}

int FullYear(int twoDigits) {
    return twoDigits >= 30 ? 1900 + twoDigits : 2000 + twoDigits;
}

struct Header {
    int surfaceHours, surfaceMinutes, intervalByte, interval, oxygenByte, oxygen, airTemperature;
    int year, month, day, hour, minute;
    int depthTemperature;
};

Header ReadHeader(std::span<const std::uint8_t> data) {
    const std::size_t n = data.size();
    const auto at = [&](std::size_t fromEnd) { return static_cast<int>(data[n - fromEnd]); };
    Header h{};
    h.surfaceMinutes = at(1);
    h.surfaceHours = at(2);
    h.intervalByte = at(4);
    h.interval = h.intervalByte <= 0 ? 20 : h.intervalByte;
    h.oxygenByte = at(7);
    h.oxygen = h.oxygenByte == 0 ? 21 : h.oxygenByte;
    h.airTemperature = at(9);
    h.year = at(10);
    h.month = at(11);
    h.day = at(12);
    h.hour = at(13);
    h.minute = at(14);
    // The temperature at the deepest point is stored just below the first end mark. Without an
    // end mark the memory holds none; 0 is listed then.
    for (std::size_t i = 1; i < n; ++i) {
        if (data[i] == kEndMark) {
            h.depthTemperature = data[i - 1];
            break;
        }
    }
    return h;
}

struct Samples {
    std::vector<std::string> lines;
    int minutes = 0;
    int maxDepth = 0;
    bool endMarkerFound = false;
    double deepest = 0;  // the extremes the depth reached at any sample
    double highest = 0;
};

// Depth changes in feet, one per sample; a data line every `per` samples, the minute counting.
Samples ReadSamples(std::span<const std::uint8_t> data, int interval, int oxygen) {
    Samples out;
    const int per = 60 / interval;
    double depth = 0;
    int samples = 0;
    std::string mark;
    for (std::size_t i = data.size() - kHeaderBytes; i >= kLowestSample && i < data.size(); --i) {
        const int b = data[i];
        if (b >= 136) {
            depth += (256 - b) * kFoot;
            ++samples;
        } else if (b <= 120) {
            depth -= b * kFoot;
            ++samples;
        } else {
            if (const char* name = MarkName(b)) mark = name;
            out.lines.push_back("; " + mark + " " + std::to_string(out.minutes));
            if (b == kEndMark) {
                out.endMarkerFound = true;
                break;
            }
        }
        out.deepest = std::max(out.deepest, depth);
        out.highest = std::min(out.highest, depth);
        if (samples >= per) {
            if (depth > out.maxDepth) out.maxDepth = static_cast<int>(RoundHalfEven(depth));
            // A depth that drifted just above the surface is written by its size, not its sign.
            const long long whole = std::llabs(static_cast<long long>(Int(depth)));
            out.lines.push_back(std::to_string(whole) + "\t1\t" + std::to_string(out.minutes) +
                                "\t" + std::to_string(99 - oxygen) + "\t0");
            ++out.minutes;
            samples = 0;
        }
    }
    return out;
}

bool LeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int month, int year) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 31;
    return month == 2 && LeapYear(year) ? 29 : kDays[month - 1];
}

// The values of the dive no Vyper records, each as its name and value.
std::vector<std::string> ImpossibleValues(const Header& h, const Samples& s) {
    std::vector<std::string> found;
    const auto check = [&](bool possible, const std::string& what) {
        if (!possible) found.push_back(what);
    };
    const auto number = [](double value) { return std::to_string(std::lround(value)); };
    check(h.year <= 99, "Jahr " + number(h.year));
    check(h.month >= 1 && h.month <= 12, "Monat " + number(h.month));
    check(h.day >= 1 && h.day <= DaysInMonth(h.month, FullYear(h.year)), "Tag " + number(h.day));
    check(h.hour <= 23, "Stunde " + number(h.hour));
    check(h.minute <= 59, "Minute " + number(h.minute));
    check(h.oxygenByte == 0 || (h.oxygenByte >= kMinOxygen && h.oxygenByte <= kMaxOxygen),
          "O2-Anteil " + number(h.oxygenByte) + " %");
    check(h.intervalByte <= kMaxInterval,
          "Aufzeichnungsintervall " + number(h.intervalByte) + " s");
    check(h.airTemperature <= kMaxAirTemperature,
          "Lufttemperatur " + number(h.airTemperature) + " °C");
    check(h.depthTemperature <= kMaxWaterTemperature,
          "Temperatur auf maximaler Tiefe " + number(h.depthTemperature) + " °C");
    check(h.surfaceMinutes <= 59, "Oberflächenpause " + number(h.surfaceMinutes) + " min");
    check(s.deepest <= kMaxDepth, "Tiefe " + number(s.deepest) + " m");
    check(s.highest >= -kMaxAboveSurface, "Tiefe " + number(s.highest) + " m");
    return found;
}

std::string Tabbed(std::string_view label, const std::string& value) {
    return std::string(label) + "\t\t\t\t" + value;
}

}  // namespace

std::string VyperRefusalLine(const VyperDive& dive) {
    std::string values;
    for (const std::string& value : dive.impossible)
        values += (values.empty() ? "" : ", ") + value;
    return "Dieser Tauchgang enthält Werte, die ein Vyper nicht aufzeichnet (" + values +
           "): er wird nicht gespeichert.";
}

std::string VyperDivePath(std::string_view storageFolder, std::string_view name) {
    std::string path(storageFolder);
    if (path.empty() || path.back() != '/') path += '/';
    return path + std::string(name) + ".mrp";
}

std::string ProgressFish(long long step) {
    const auto swing = [](long long s) { return std::fabs(std::sin(3.0 * s / 36) * 36); };
    const double t = 3.0 * step / 36;
    const auto a = static_cast<std::size_t>(RoundHalfEven(std::fabs(std::sin(t) * 36)));
    const auto b = static_cast<std::size_t>(RoundHalfEven(std::fabs(std::cos(t) * 36)));
    const char* fish = swing(step + 1) - swing(step) < 0 ? " <°}}}< " : " >{{{°> ";
    return std::string(a, '~') + fish + std::string(b, '~');
}

std::optional<VyperDive> ConvertVyperDive(std::span<const std::uint8_t> data,
                                          std::string_view previousDive) {
    if (data.size() < kMinDiveBytes) return std::nullopt;
    const Header h = ReadHeader(data);
    const std::string date =
        PadZero(h.day, 2) + "-" + PadZero(h.month, 2) + "-" + PadZero(h.year, 2);
    const std::string surface = PadZero(h.surfaceHours, 2);
    const Samples s = ReadSamples(data, h.interval, h.oxygen);

    VyperDive dive;
    dive.name = DatedDiveName(FullYear(h.year), h.month, h.day, h.hour, h.minute);
    dive.endMarkerFound = s.endMarkerFound;
    dive.impossible = ImpossibleValues(h, s);
    dive.summaryLines = {
        Tabbed("Datum: ", date),
        Tabbed("Uhrzeit: ", PadZero(h.hour, 2) + ":" + PadZero(h.minute, 2)),
        Tabbed("Maximale Tiefe: ", std::to_string(s.maxDepth) + " m"),
        Tabbed("Dauer: ", std::to_string(s.minutes) + " min."),
        Tabbed("Oberflächenpause vor dem TG: ",
               surface + " h : " + PadZero(h.surfaceMinutes, 2) + " min"),
        Tabbed("Lufttemperatur vor TG: ", std::to_string(h.airTemperature) + " °C"),
        Tabbed("Temperatur auf maximaler Tiefe: ", std::to_string(h.depthTemperature) + " °C"),
        Tabbed("O2-Anteil: ", std::to_string(h.oxygen) + "%"),
        Tabbed("Aufzeichnungsintervall: ", std::to_string(h.interval) + " s"),
    };

    std::vector<std::string>& f = dive.fileLines;
    f.emplace_back(kProfileHeader);
    f.insert(f.end(), s.lines.begin(), s.lines.end());
    f.emplace_back(kEndOfProfile);
    f.emplace_back("Ort: ");
    f.push_back("Datum: " + date);
    // A dive that ran out of samples gets the older, plainer comment form.
    f.push_back("Uhrzeit: " + PadZero(h.hour, 2) + (s.endMarkerFound ? " Uhr " : " ") +
                PadZero(h.minute, 2));
    f.push_back("Dauer: " + std::to_string(s.minutes) + " min.");
    f.push_back("Maximale Tiefe: " + std::to_string(s.maxDepth) + " m");
    f.push_back("Lufttemperatur vor TG: " + std::to_string(h.airTemperature) + " °C");
    f.push_back("Temperatur auf maximaler Tiefe: " + std::to_string(h.depthTemperature) +
                (s.endMarkerFound ? " °C" : " ° C"));
    f.push_back("Oberflächenpause vor dem TG: " + surface + " h " + PadZero(h.surfaceMinutes, 2) +
                " min");
    if (s.endMarkerFound && h.surfaceHours <= 12)
        f.push_back("Vorheriger TG: " + std::string(previousDive));
    f.push_back("Aufzeichnungsintervall: " + std::to_string(h.interval) + " s");
    return dive;
}

}  // namespace marelos
