#include "dive_profile.h"

#include <algorithm>

#include "core/engine/computed_profile.h"
#include "core/text/rounding.h"

namespace marelos {

DiveProfile::DiveProfile()
    : points(kProfileTableEnd + 1),
      lines(kProfileTableEnd + 1),
      marks(kMarkTableEnd + 1),
      stops(kStopTableEnd + 1) {
    for (int k = 0; k <= kStopTableEnd; ++k)
        stops[k].depth = 3 * k;
}

void ResetPoints(DiveProfile& profile, ComputedProfile& computed) {
    profile.nextPoint = 1;
    computed.computedCount = 0;
    for (int i = 1; i <= kResetPointCount; ++i) {
        profile.points[i].time = 0;
        profile.points[i].depth = 0;
    }
}

void ClearLines(DiveProfile& profile) {
    for (int i = 1; i <= kProfileTableEnd; ++i) {
        ProfileLine& line = profile.lines[i];
        line.depth = 0;
        line.tDelta = 0;
        line.tTotal = 0;
        line.n2Percent = 0;
    }
}

void ClearMarks(DiveProfile& profile) {
    std::fill(profile.marks.begin(), profile.marks.end(), ProfileMark{});
    profile.markCount = 0;
}

void ClearStopTimes(DiveProfile& profile) {
    for (int k = 1; k <= kStopTableEnd; ++k) {
        profile.stops[k].time = 0;
        profile.stops[k].gas = {};
    }
}

void BuildLinesFromPoints(DiveProfile& profile, std::int32_t maxHScale) {
    ClearLines(profile);
    // Walking the minutes 1..maxHScale and, within each, the points in entry order is a stable
    // sort of the points by minute.
    std::vector<int> order;
    const int lastPoint = std::min(profile.nextPoint, kProfileTableEnd - 1);
    for (int i = 1; i <= lastPoint; ++i) {
        const std::int32_t time = profile.points[i].time;
        if (time >= 1 && time <= maxHScale) order.push_back(i);
    }
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return profile.points[a].time < profile.points[b].time; });
    std::int32_t previousTime = 0;
    int k = 1;
    for (const int i : order) {
        const ProfilePoint& point = profile.points[i];
        ProfileLine& line = profile.lines[k];
        line.depth = point.depth < 0 ? 0 : point.depth;
        line.tTotal = point.time;
        line.tDelta = point.time - previousTime;
        line.n2Percent = point.n2Percent;
        line.hePercent = point.hePercent;
        previousTime = point.time;
        ++k;
    }
}

void LineToPoint(DiveProfile& profile, int index) {
    const ProfileLine& line = profile.lines[index];
    ProfilePoint& point = profile.points[index];
    point.time = RoundToInt32(line.tTotal);
    point.depth = RoundToInt32(line.depth);
    point.n2Percent = RoundToInt32(line.n2Percent);
    point.hePercent = line.hePercent;
}

void LinesToPoints(DiveProfile& profile) {
    const int last = std::min(profile.nextPoint, kProfileTableEnd - 1);
    for (int j = 1; j <= last; ++j)
        LineToPoint(profile, j);
}

}  // namespace marelos
