#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace marelos {

// The profile tables hold the indices 0 to 6000 and are used from 1; loops over them stop
// before index 6000. The stop and mark tables hold 0 to 100.
inline constexpr int kProfileTableEnd = 6000;
inline constexpr int kMaxProfileLines = 5998;  // what a file or an editor may bring
inline constexpr int kStopTableEnd = 100;
inline constexpr int kMarkTableEnd = 100;
inline constexpr int kResetPointCount = 1000;  // ResetPoints clears this many points

// A corner of the profile as the user enters it.
struct ProfilePoint {
    std::int32_t time = 0;   // whole minutes since the start; 0 marks a deleted point
    std::int32_t depth = 0;  // whole metres
    std::int32_t n2Percent = 0;
    double hePercent = 0;

    bool operator==(const ProfilePoint&) const = default;
};

// A step of the profile: within tDelta minutes the diver moves to depth and arrives at run
// time tTotal, breathing n2Percent / hePercent.
struct ProfileLine {
    double depth = 0;
    double tDelta = 0;
    double tTotal = 0;
    double n2Percent = 0;
    double hePercent = 0;

    bool operator==(const ProfileLine&) const = default;
};

struct ProfileMark {
    std::string text;
    std::int16_t minute = 0;

    bool operator==(const ProfileMark&) const = default;
};

// A gas as the engine breathes it: N2 and He shares in per cent. The engine counts the oxygen
// as the rest to 99 (one per cent for argon).
struct GasShares {
    double n2Percent = 0;
    double hePercent = 0;

    bool operator==(const GasShares&) const = default;
};

// Stop index k lies at 3k metres; time 0 means that the index holds no stop. The calculation
// writes the time and the gas breathed during the stop's counted minutes.
struct DecoStop {
    std::int32_t depth = 0;
    std::int32_t time = 0;
    GasShares gas;
};

// The one current dive: its points, its line table, the marks of its file and the stops the
// calculation appends.
struct DiveProfile {
    DiveProfile();

    std::vector<ProfilePoint> points;  // 0..6000
    std::int32_t nextPoint = 2;        // the start point (0 min, 0 m) is point 1
    std::vector<ProfileLine> lines;    // 0..6000
    std::vector<ProfileMark> marks;    // 0..100
    std::int16_t markCount = 0;        // index of the last mark
    std::vector<DecoStop> stops;       // 0..100

    bool changed = false;  // added or deleted points since the last load or save
    std::string fileName;  // empty for an unsaved profile
};

struct ComputedProfile;

// NextPoint 1, points 1 to 1000 set to 0 min, 0 m, and no computed minutes any more.
void ResetPoints(DiveProfile& profile, ComputedProfile& computed);
// depth, tDelta, tTotal and n2Percent of lines 1 to 6000 set to 0; hePercent keeps its values.
void ClearLines(DiveProfile& profile);
void ClearMarks(DiveProfile& profile);
// Every stop time (and its gas) set to 0.
void ClearStopTimes(DiveProfile& profile);

// The line table from the points, sorted by time: every point at a minute 1..maxHScale becomes
// a line, points of one minute in their entry order (the later with tDelta 0).
void BuildLinesFromPoints(DiveProfile& profile, std::int32_t maxHScale);

// Point j from line j: time, depth and N2 share rounded halves to even, He share as it is.
void LineToPoint(DiveProfile& profile, int index);
// LineToPoint for every index 1 to NextPoint (below 6000).
void LinesToPoints(DiveProfile& profile);

}  // namespace marelos
