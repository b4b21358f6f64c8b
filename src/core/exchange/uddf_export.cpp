#include "uddf_export.h"

#include <algorithm>
#include <cctype>

#include "core/text/fields.h"
#include "core/text/number_format.h"
#include "core/text/val.h"

namespace marelos {
namespace {

constexpr double kZeroCelsius = 273.15;

std::vector<int> NumbersIn(std::string_view text) {
    std::vector<int> numbers;
    for (std::size_t i = 0; i < text.size();) {
        if (!std::isdigit(static_cast<unsigned char>(text[i]))) {
            ++i;
            continue;
        }
        int value = 0;
        for (int digits = 0; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]));
             ++i, ++digits) {
            if (digits < 6) value = value * 10 + (text[i] - '0');
        }
        numbers.push_back(value);
    }
    return numbers;
}

// "12-07-03" or "12.07.2003" with "14 Uhr 05" or "14:05" as "2003-07-12T14:05:00"; two-digit
// years as the dive computers write them, 30..99 in the 1900s, 00..29 in the 2000s.
std::string IsoDateTime(std::string_view date, std::string_view time) {
    const std::vector<int> day = NumbersIn(date);
    if (day.size() != 3 || day[1] < 1 || day[1] > 12 || day[0] < 1 || day[0] > 31) return "";
    const int year = day[2] >= 100 ? day[2] : day[2] + (day[2] >= 30 ? 1900 : 2000);
    std::vector<int> clock = NumbersIn(time);
    if (clock.size() < 2 || clock[0] > 23 || clock[1] > 59) clock = {0, 0};
    return PadZero(year, 4) + "-" + PadZero(day[1], 2) + "-" + PadZero(day[0], 2) + "T" +
           PadZero(clock[0], 2) + ":" + PadZero(clock[1], 2) + ":00";
}

std::optional<double> Kelvin(const std::string& celsius) {
    if (std::ranges::none_of(celsius, [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    return Val(celsius) + kZeroCelsius;
}

std::string Percent(double value) {
    return FormatGeneral(value);
}

}  // namespace

UddfMix MixOfLine(double n2Percent, double hePercent) {
    UddfMix mix;
    const double o2 = std::max(0.0, 99 - n2Percent - hePercent);
    mix.id = "mix_" + Percent(o2) + "_" + Percent(hePercent);
    mix.name = "O2 " + Percent(o2) + " / He " + Percent(hePercent);
    mix.o2 = o2 / 100;
    mix.n2 = n2Percent / 100;
    mix.he = hePercent / 100;
    mix.ar = std::max(0.0, 100 - o2 - n2Percent - hePercent) / 100;
    return mix;
}

UddfLog ExportLog(const DiveProfile& profile, const std::vector<std::string>& decompression,
                  const CommentFields& comment) {
    std::vector<ProfileLine> lines;
    const int end = std::min(profile.nextPoint, kProfileTableEnd - 1);
    for (int i = 1; i <= end; ++i) {
        const ProfileLine& line = profile.lines[i];
        if (line.depth > 0 || line.tDelta > 0) lines.push_back(line);
    }
    for (const std::string& text : decompression) {
        lines.push_back({Val(GetField(text, 1)), Val(GetField(text, 2)), Val(GetField(text, 3)),
                         Val(GetField(text, 4)), Val(GetField(text, 5))});
    }

    UddfLog log;
    UddfDive dive;
    dive.id = "dive1";
    dive.waypoints.push_back({0, 0, "", std::nullopt});
    std::string breathing;
    for (const ProfileLine& line : lines) {
        const UddfMix mix = MixOfLine(line.n2Percent, line.hePercent);
        if (mix.id != breathing) {
            // The switch is made where the line begins, so the whole line breathes the mix.
            dive.waypoints.back().switchMix = mix.id;
            breathing = mix.id;
            if (std::ranges::none_of(log.mixes, [&](const UddfMix& m) { return m.id == mix.id; }))
                log.mixes.push_back(mix);
        }
        dive.waypoints.push_back({line.tTotal * 60, line.depth, "", std::nullopt});
    }

    dive.number = comment[0];
    dive.site = comment[1];
    dive.dateTime = IsoDateTime(comment[3], comment[4]);
    dive.airTemperature = Kelvin(comment[8]);
    dive.lowestTemperature = Kelvin(comment[9]);
    dive.notes = comment[kRemarkField];
    dive.buddy = comment[13];
    log.dives.push_back(std::move(dive));
    return log;
}

}  // namespace marelos
