#include <gtest/gtest.h>

#include "core/engine/computed_profile.h"
#include "core/profile/dive_name.h"
#include "core/profile/dive_profile.h"
#include "core/profile/edit_history.h"
#include "tests/fakes/profile_notes.h"
#include "tests/fakes/transcript.h"

namespace marelos {
namespace {

std::vector<std::string> Lines(const DiveProfile& profile, int count) {
    std::vector<std::string> lines;
    for (int i = 1; i <= count; ++i)
        lines.push_back(LineText(profile.lines[i]));
    return lines;
}

// A profile starts with the point at zero and only the first thousand points are cleared. Lines
// are the points sorted by minute: the start point stays a point but never becomes a line; points
// of the same minute get t.delta 0 in entry order; a point beyond the time axis is left out until
// the axis reaches it; a deleted point is none, and one above the surface is drawn at 0 m.
// Clearing the lines keeps the helium share, and lines become points with halves rounded to even.
TEST(DiveProfile, PointsLinesAndTheirTableRules) {
    Transcript t;
    t.Note("Name mit falschem Monat", DatedDiveName(2024, 0, 5, 9, 7));
    DiveProfile profile;
    t.Note("neu", profile.nextPoint, PointText(profile.points[1]), profile.stops[1].depth,
           profile.stops[100].depth);
    ComputedProfile computed;
    computed.computedCount = 50;
    profile.points[999] = {7, 8, 78, 0};
    profile.points[1001] = {7, 8, 78, 0};
    ResetPoints(profile, computed);
    t.Note("zurückgesetzt", profile.nextPoint, computed.computedCount,
           PointText(profile.points[999]), PointText(profile.points[1001]));

    profile = DiveProfile{};
    for (const ProfilePoint& point : {ProfilePoint{10, 30, 78, 0}, {5, 20, 64, 2.5}})
        profile.points[profile.nextPoint++] = point;
    BuildLinesFromPoints(profile, 60);
    t.Note("sortiert", Lines(profile, 3), profile.nextPoint);

    profile = DiveProfile{};
    for (const ProfilePoint& point : {ProfilePoint{8, 12, 78, 0},
                                      {8, 15, 78, 0},
                                      {70, 15, 78, 0},
                                      {0, 0, 78, 0},
                                      {9, -3, 78, 0}})
        profile.points[profile.nextPoint++] = point;
    BuildLinesFromPoints(profile, 60);
    t.Note("Achse 60", Lines(profile, 5));
    BuildLinesFromPoints(profile, 70);
    t.Note("Achse 70", Lines(profile, 5));

    profile = DiveProfile{};
    profile.lines[1] = {12.5, 2.5, 2.5, 77.5, 10.25};
    profile.lines[2] = {13.5, 1, 3.5, 78.5, 0};
    profile.nextPoint = 3;
    LinesToPoints(profile);
    t.Note("Punkte", PointText(profile.points[1]), PointText(profile.points[2]));
    ClearLines(profile);
    t.Note("gelöscht", LineText(profile.lines[1]));
}

TEST(EditHistory, SnapshotsAndTheStepsOfUndoAndRedo) {
    // A snapshot brings back exactly the tables and axes, not the results. What a file and
    // editing leave: a deleted point keeping its gas, a cleared line keeping its helium share,
    // marks, stop times of a calculation.
    Workspace original;
    DiveProfile& profile = original.profile;
    profile.points[1] = {3, 30, 78, 0};
    profile.points[2] = {0, 0, 68, 0};
    profile.nextPoint = 3;
    profile.lines[1] = {30, 3, 3, 40, 43.5};
    profile.lines[7] = {0, 0, 0, 0, 35};
    profile.marks[1] = {"Boden", 25};
    profile.markCount = 1;
    original.settings.maxHScale = 155;
    const ProfileSnapshot snapshot = TakeSnapshot(original);
    EXPECT_EQ(snapshot.lines.size(), 8u);  // only the used part is kept

    Workspace workspace = original;
    workspace.profile.points[2].n2Percent = 0;
    workspace.profile.lines[6000] = {1, 1, 1, 1, 1};
    workspace.profile.marks[100] = {"x", 1};
    workspace.profile.nextPoint = 9;
    workspace.profile.stops[2].time = 9;
    workspace.settings.maxHScale = 60;
    RestoreSnapshot(snapshot, workspace);
    EXPECT_EQ(workspace.profile.points, profile.points);
    EXPECT_EQ(workspace.profile.lines, profile.lines);
    EXPECT_EQ(workspace.profile.marks, profile.marks);
    EXPECT_EQ(TakeSnapshot(workspace), snapshot);
    EXPECT_EQ(workspace.profile.stops[2].time, 9);

    // Undo, redo and the saved mark follow the steps.
    const auto axis = [](std::int32_t minutes) {
        ProfileSnapshot snapshot;
        snapshot.maxHScale = minutes;
        return snapshot;
    };
    EditHistory history(axis(60));
    EXPECT_FALSE(history.Record(axis(60)));  // no change, no step
    history.Record(axis(70));
    history.Record(axis(80));
    history.MarkSaved();
    EXPECT_EQ(history.Undo()->maxHScale, 70);
    EXPECT_TRUE(history.Modified());
    EXPECT_EQ(history.Undo()->maxHScale, 60);
    EXPECT_EQ(history.Undo(), nullptr);
    history.Redo();
    history.Amend(axis(75));  // a calculation's results: no step, same saved mark
    EXPECT_EQ(history.Redo()->maxHScale, 80);
    EXPECT_FALSE(history.Modified());
    EXPECT_EQ(history.Undo()->maxHScale, 75);
    history.Record(axis(90));  // a new edit drops what could be redone
    EXPECT_FALSE(history.CanRedo());

    for (int step = 1; step <= 150; ++step)
        history.Record(axis(step));
    int undone = 0;
    while (history.Undo())
        ++undone;
    EXPECT_EQ(undone, static_cast<int>(EditHistory::kMaxSteps));
}

}  // namespace
}  // namespace marelos
