#include "uddf_import.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <unordered_map>

#include "core/profile/dive_name.h"
#include "core/profile/profile_file.h"
#include "core/text/number_format.h"
#include "core/text/paths.h"
#include "core/text/text_file.h"

namespace marelos {
namespace {

// Beyond these a log holds no dive the program can calculate: the profile tables end at 5998
// lines, and no diver reaches a kilometre.
constexpr int kMaxImportMinutes = kMaxProfileLines;
constexpr double kMaxImportDepth = 1000;
constexpr double kZeroCelsius = 273.15;

struct DiveDate {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
};

// The leading whole number of `text` from `pos` on, `digits` characters long at most.
std::optional<int> Digits(std::string_view text, std::size_t& pos, std::size_t digits) {
    int value = 0;
    std::size_t used = 0;
    while (pos < text.size() && used < digits && text[pos] >= '0' && text[pos] <= '9') {
        value = value * 10 + (text[pos] - '0');
        ++pos;
        ++used;
    }
    if (used == 0) return std::nullopt;
    return value;
}

// "2003-07-12T14:05:00" (the time may be missing, a blank may stand for the "T").
std::optional<DiveDate> ParseDateTime(std::string_view text) {
    std::size_t pos = 0;
    DiveDate date;
    const auto year = Digits(text, pos, 4);
    if (!year || pos >= text.size() || text[pos++] != '-') return std::nullopt;
    const auto month = Digits(text, pos, 2);
    if (!month || pos >= text.size() || text[pos++] != '-') return std::nullopt;
    const auto day = Digits(text, pos, 2);
    if (!day || *month < 1 || *month > 12 || *day < 1 || *day > 31) return std::nullopt;
    date.year = *year;
    date.month = *month;
    date.day = *day;
    if (pos < text.size() && (text[pos] == 'T' || text[pos] == ' ')) {
        ++pos;
        const auto hour = Digits(text, pos, 2);
        if (hour && pos < text.size() && text[pos++] == ':') {
            const auto minute = Digits(text, pos, 2);
            if (minute && *hour < 24 && *minute < 60) {
                date.hour = *hour;
                date.minute = *minute;
            }
        }
    }
    return date;
}

std::vector<UddfWaypoint> UsableWaypoints(const UddfDive& dive) {
    std::vector<UddfWaypoint> points;
    points.reserve(dive.waypoints.size());
    for (const UddfWaypoint& point : dive.waypoints) {
        if (std::isfinite(point.seconds) && std::isfinite(point.depth)) points.push_back(point);
    }
    const auto earlier = [](const UddfWaypoint& a, const UddfWaypoint& b) {
        return a.seconds < b.seconds;
    };
    // Logs list their samples in time order; only the rare other one needs sorting.
    if (!std::is_sorted(points.begin(), points.end(), earlier)) {
        std::stable_sort(points.begin(), points.end(), earlier);
    }
    return points;
}

int WholeMetres(double depth) {
    return static_cast<int>(std::lround(std::clamp(depth, 0.0, kMaxImportDepth)));
}

// The minute a waypoint lies in: (60(m-1), 60m] is minute m, so a point at a whole minute
// closes that minute.
int MinuteOf(double seconds) {
    return static_cast<int>(std::ceil(std::min(seconds, 60.0 * (kMaxImportMinutes + 1)) / 60));
}

double DeepestDepth(const UddfDive& dive) {
    double deepest = 0;
    for (const UddfWaypoint& point : dive.waypoints) {
        if (std::isfinite(point.depth)) deepest = std::max(deepest, point.depth);
    }
    return deepest;
}

std::optional<double> LowestWaterTemperature(const UddfDive& dive) {
    std::optional<double> lowest = dive.lowestTemperature;
    if (lowest) return lowest;
    for (const UddfWaypoint& point : dive.waypoints) {
        if (point.temperature && std::isfinite(*point.temperature) &&
            (!lowest || *point.temperature < *lowest)) {
            lowest = point.temperature;
        }
    }
    return lowest;
}

std::string OneDecimal(double value) {
    return FormatGeneral(std::round(value * 10) / 10);
}

std::string Celsius(double kelvin) {
    return OneDecimal(kelvin - kZeroCelsius) + " °C";
}

// Text of the log on one comment line: line breaks and tabs become blanks.
std::string OneLine(std::string text) {
    for (char& c : text) {
        if (static_cast<unsigned char>(c) < 32) c = ' ';
    }
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

LineGas GasOfMix(const UddfMix& mix) {
    const auto percent = [](double fraction) {
        return std::isfinite(fraction)
                   ? static_cast<int>(std::lround(std::clamp(fraction, 0.0, 1.0) * 100))
                   : 0;
    };
    const int o2 = percent(mix.o2);
    const int he = std::min(percent(mix.he), 100 - o2);
    return {std::max(0, 99 - o2 - he), he};
}

std::vector<ImportedLine> ResampleToMinutes(const UddfDive& dive,
                                            const std::vector<UddfMix>& mixes) {
    std::unordered_map<std::string, LineGas> gasById;
    for (const UddfMix& mix : mixes)
        gasById.emplace(mix.id, GasOfMix(mix));
    const std::vector<UddfWaypoint> points = UsableWaypoints(dive);

    std::vector<ImportedLine> lines;
    LineGas gas = GasOfMix(UddfMix{});  // air until the first switch
    std::size_t switched = 0;           // the waypoints whose switches are taken
    const auto takeSwitchesUntil = [&](double seconds) {
        for (; switched < points.size() && points[switched].seconds <= seconds; ++switched) {
            const auto found = gasById.find(points[switched].switchMix);
            if (found != gasById.end()) gas = found->second;
        }
    };
    for (std::size_t i = 0; i < points.size();) {
        if (points[i].seconds <= 0) {
            ++i;
            continue;
        }
        const int minute = MinuteOf(points[i].seconds);
        double deepest = points[i].depth;
        for (++i; i < points.size() && MinuteOf(points[i].seconds) == minute; ++i) {
            deepest = std::max(deepest, points[i].depth);
        }
        takeSwitchesUntil(60.0 * (lines.empty() ? 0 : lines.back().minute));
        lines.push_back({minute, WholeMetres(deepest), gas.n2Percent, gas.hePercent});
    }
    if (!lines.empty() && WholeMetres(points.back().depth) == 0) lines.back().depth = 0;
    return lines;
}

std::optional<std::string> ImportProblem(const UddfDive& dive) {
    const std::vector<UddfWaypoint> points = UsableWaypoints(dive);
    if (points.empty() || points.back().seconds <= 0) return "ohne Profilpunkte";
    if (points.back().seconds > 60.0 * kMaxImportMinutes) {
        return "länger als " + std::to_string(kMaxImportMinutes) + " Minuten";
    }
    if (DeepestDepth(dive) > kMaxImportDepth) return "tiefer als 1000 m";
    return std::nullopt;
}

DiveSummary SummarizeDive(const UddfDive& dive, const std::vector<UddfMix>& mixes) {
    DiveSummary summary;
    summary.number = dive.number;
    if (const auto date = ParseDateTime(dive.dateTime)) {
        summary.date =
            PadZero(date->day, 2) + "." + PadZero(date->month, 2) + "." + PadZero(date->year, 4);
        summary.time = PadZero(date->hour, 2) + ":" + PadZero(date->minute, 2);
    }
    summary.maxDepth = std::round(DeepestDepth(dive) * 10) / 10;
    summary.problem = ImportProblem(dive);
    if (!summary.problem) {
        summary.duration = std::to_string(ResampleToMinutes(dive, mixes).back().minute);
    }
    summary.site = dive.site;
    return summary;
}

std::vector<std::string> ImportedCommentLines(const UddfDive& dive,
                                              const std::vector<UddfMix>& mixes) {
    std::vector<std::string> out;
    const auto add = [&out](std::string_view key, const std::string& value) {
        if (!value.empty()) out.push_back(std::string(key) + ": " + value);
    };
    add("TG-Nummer", OneLine(dive.number));
    add("Ort", OneLine(dive.site));
    if (const auto date = ParseDateTime(dive.dateTime)) {
        add("Datum", PadZero(date->day, 2) + "-" + PadZero(date->month, 2) + "-" +
                         PadZero(date->year % 100, 2));
        add("Uhrzeit", PadZero(date->hour, 2) + " Uhr " + PadZero(date->minute, 2));
    }
    const std::vector<ImportedLine> lines = ResampleToMinutes(dive, mixes);
    if (!lines.empty()) add("Dauer", std::to_string(lines.back().minute) + " min.");
    add("Maximale Tiefe", OneDecimal(DeepestDepth(dive)) + " m");
    if (dive.airTemperature && std::isfinite(*dive.airTemperature)) {
        add("Lufttemperatur vor TG", Celsius(*dive.airTemperature));
    }
    if (const auto water = LowestWaterTemperature(dive); water && std::isfinite(*water)) {
        add("Temperatur auf maximaler Tiefe", Celsius(*water));
    }
    add("Tauchpartner", OneLine(dive.buddy));
    add("Bemerkungen", OneLine(dive.notes));
    return out;
}

Result<std::vector<std::string>> ImportedProfileFile(const UddfDive& dive,
                                                     const std::vector<UddfMix>& mixes) {
    if (const auto problem = ImportProblem(dive)) {
        return Failure{FailureKind::DataFormat, "dem Tauchgang " + dive.id, *problem};
    }
    std::vector<std::string> out = {std::string(kProfileHeader)};
    int previous = 0;
    for (const ImportedLine& line : ResampleToMinutes(dive, mixes)) {
        out.push_back(std::to_string(line.depth) + "\t" + std::to_string(line.minute - previous) +
                      "\t" + std::to_string(line.minute) + "\t" + std::to_string(line.n2Percent) +
                      "\t" + std::to_string(line.hePercent));
        previous = line.minute;
    }
    out.emplace_back(kEndOfProfile);
    const std::vector<std::string> comment = ImportedCommentLines(dive, mixes);
    out.insert(out.end(), comment.begin(), comment.end());
    return out;
}

std::string ImportedFileName(const UddfDive& dive, int position) {
    const auto date = ParseDateTime(dive.dateTime);
    if (!date) return "Tauchgang ohne Datum " + std::to_string(position) + ".mrp";
    return DatedDiveName(date->year, date->month, date->day, date->hour, date->minute) + ".mrp";
}

Result<ImportOutcome> ImportDive(const UddfLog& log, int index, const std::string& folder,
                                 bool overwrite) {
    const UddfDive& dive = log.dives.at(static_cast<std::size_t>(index));
    const Result<std::vector<std::string>> lines = ImportedProfileFile(dive, log.mixes);
    if (!lines) return lines.failure();
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    const std::string path =
        (std::filesystem::path(folder) / ImportedFileName(dive, index + 1)).string();
    if (FileExists(path) && !overwrite) return ImportOutcome{path, false};
    if (const auto failure = WriteTextFileLines(path, lines.value())) return *failure;
    return ImportOutcome{path, true};
}

}  // namespace marelos
