#include "core/profile/dive_profile.h"

#include <gtest/gtest.h>

#include "core/engine/computed_profile.h"
#include "core/profile/dive_name.h"

namespace marelos {
namespace {

void AddPoint(DiveProfile& profile, ProfilePoint point) {
    profile.points[profile.nextPoint++] = point;
}

TEST(DiveProfile, StartsWithThePointAtZeroAndAFreshListIsEmpty) {
    EXPECT_EQ(DatedDiveName(2024, 0, 5, 9, 7), "Tauchgang 2024-00-05 09 Uhr 07");  // a bad month
    DiveProfile profile;
    EXPECT_EQ(profile.nextPoint, 2);
    EXPECT_EQ(profile.points[1], (ProfilePoint{0, 0, 0, 0}));
    EXPECT_EQ(profile.stops[100].depth, 300);
    EXPECT_EQ(profile.stops[1].depth, 3);
    ComputedProfile computed;
    computed.computedCount = 50;
    profile.points[999] = {7, 8, 78, 0};
    profile.points[1001] = {7, 8, 78, 0};
    ResetPoints(profile, computed);
    EXPECT_EQ(profile.nextPoint, 1);
    EXPECT_EQ(computed.computedCount, 0);
    EXPECT_EQ(profile.points[999].time, 0);
    EXPECT_EQ(profile.points[1001].time, 7);  // only the first thousand points are cleared
}

TEST(DiveProfile, LinesAreThePointsSortedByMinute) {
    DiveProfile profile;
    AddPoint(profile, {10, 30, 78, 0});
    AddPoint(profile, {5, 20, 64, 2.5});
    BuildLinesFromPoints(profile, 60);
    EXPECT_EQ(profile.lines[1], (ProfileLine{20, 5, 5, 64, 2.5}));
    EXPECT_EQ(profile.lines[2], (ProfileLine{30, 5, 10, 78, 0}));
    EXPECT_EQ(profile.lines[3], ProfileLine{});
    EXPECT_EQ(profile.nextPoint, 4);  // the start point stays a point but never becomes a line
}

TEST(DiveProfile, SameMinuteLateAndDeletedPointsFollowTheTableRules) {
    DiveProfile profile;
    AddPoint(profile, {8, 12, 78, 0});
    AddPoint(profile, {8, 15, 78, 0});   // same minute: tDelta 0, in entry order
    AddPoint(profile, {70, 15, 78, 0});  // beyond the time axis
    AddPoint(profile, {0, 0, 78, 0});    // a deleted point
    AddPoint(profile, {9, -3, 78, 0});   // above the surface: drawn at 0 m
    BuildLinesFromPoints(profile, 60);
    EXPECT_EQ(profile.lines[1], (ProfileLine{12, 8, 8, 78, 0}));
    EXPECT_EQ(profile.lines[2], (ProfileLine{15, 0, 8, 78, 0}));
    EXPECT_EQ(profile.lines[3], (ProfileLine{0, 1, 9, 78, 0}));
    EXPECT_EQ(profile.lines[4].tTotal, 0);
    BuildLinesFromPoints(profile, 70);
    EXPECT_EQ(profile.lines[4], (ProfileLine{15, 61, 70, 78, 0}));
}

TEST(DiveProfile, ClearLinesKeepsTheHeliumShareAndLinesToPointsRoundsHalvesToEven) {
    DiveProfile profile;
    profile.lines[1] = {12.5, 2.5, 2.5, 77.5, 10.25};
    profile.lines[2] = {13.5, 1, 3.5, 78.5, 0};
    profile.nextPoint = 3;
    LinesToPoints(profile);
    EXPECT_EQ(profile.points[1], (ProfilePoint{2, 12, 78, 10.25}));
    EXPECT_EQ(profile.points[2], (ProfilePoint{4, 14, 78, 0}));
    ClearLines(profile);
    EXPECT_EQ(profile.lines[1], (ProfileLine{0, 0, 0, 0, 10.25}));
}

}  // namespace
}  // namespace marelos
