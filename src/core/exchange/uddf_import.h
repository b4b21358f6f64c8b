#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/exchange/uddf_dive.h"
#include "core/failure.h"
#include "core/profile/dive_profile.h"

namespace marelos {

// A line of a profile as the import builds it: whole minutes and metres, whole per cent.
struct ImportedLine {
    int minute = 0;  // run time at the end of the line
    int depth = 0;
    int n2Percent = 0;
    int hePercent = 0;

    bool operator==(const ImportedLine&) const = default;
};

// N2 and He per cent of a mix, as a profile line carries them. The shares are whole per cent
// and leave 1 % to the other gases (argon), as the program's air (N2 78) does, so that the
// oxygen the calculation derives (99 - N2 - He) is the mix's own; pure oxygen keeps N2 at 0.
struct LineGas {
    int n2Percent = 78;
    int hePercent = 0;

    bool operator==(const LineGas&) const = default;
};
LineGas GasOfMix(const UddfMix& mix);

// The waypoints in whole minutes and metres. A minute takes the deepest depth reached in it,
// so that averaging hides no ceiling; the last minute ends at the surface when the dive did.
// A line breathes the mix in use when it begins: a switch inside a line counts from the next
// line on. Minutes without a waypoint get no line (the calculation draws straight between
// the corners). Nothing when the dive has no waypoint after its start.
std::vector<ImportedLine> ResampleToMinutes(const UddfDive& dive,
                                            const std::vector<UddfMix>& mixes);

// Why a dive cannot become a profile ("ohne Profilpunkte", too long, too deep); nothing when it
// can.
std::optional<std::string> ImportProblem(const UddfDive& dive);

// What the import window lists of a dive.
struct DiveSummary {
    std::string number;
    std::string date;      // "12.07.2003"
    std::string time;      // "14:05"
    double maxDepth = 0;   // metres, one decimal at most
    std::string duration;  // whole minutes; empty for a dive that cannot be imported
    std::string site;
    std::optional<std::string> problem;  // ImportProblem
};
DiveSummary SummarizeDive(const UddfDive& dive, const std::vector<UddfMix>& mixes);

// The comment lines of an imported dive: number, site, date, time, duration, maximum depth, air
// and lowest water temperature in °C, buddy and notes, each only when the log has it.
std::vector<std::string> ImportedCommentLines(const UddfDive& dive,
                                              const std::vector<UddfMix>& mixes);

// The whole profile file of a dive: header, data lines, end marker and comment lines.
Result<std::vector<std::string>> ImportedProfileFile(const UddfDive& dive,
                                                     const std::vector<UddfMix>& mixes);

// The file name of a dive, named by date and time like the downloaded dives,
// "Tauchgang 2003-Juli-12 14 Uhr 05.mrp"; a dive without a date is named by its place in
// the log, "Tauchgang ohne Datum 3.mrp".
std::string ImportedFileName(const UddfDive& dive, int position);

// Writes one dive as a profile file into `folder`. An existing file is replaced only with
// `overwrite`; otherwise the result is nothing and the file stays.
struct ImportOutcome {
    std::string path;
    bool written = false;  // false: the file existed and was kept
};
Result<ImportOutcome> ImportDive(const UddfLog& log, int index, const std::string& folder,
                                 bool overwrite);

}  // namespace marelos
