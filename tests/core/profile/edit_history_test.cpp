#include "core/profile/edit_history.h"

#include <gtest/gtest.h>

namespace marelos {
namespace {

TEST(EditHistory, ASnapshotBringsBackExactlyTheTablesAndAxesButNotTheResults) {
    // What a file and editing leave: a deleted point keeping its gas, a cleared line keeping
    // its helium share, marks, stop times of a calculation.
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
}

ProfileSnapshot WithAxis(std::int32_t maxHScale) {
    ProfileSnapshot snapshot;
    snapshot.maxHScale = maxHScale;
    return snapshot;
}

TEST(EditHistory, UndoRedoAndTheSavedMarkFollowTheSteps) {
    EditHistory history(WithAxis(60));
    EXPECT_FALSE(history.Record(WithAxis(60)));  // no change, no step
    history.Record(WithAxis(70));
    history.Record(WithAxis(80));
    history.MarkSaved();
    EXPECT_EQ(history.Undo()->maxHScale, 70);
    EXPECT_TRUE(history.Modified());
    EXPECT_EQ(history.Undo()->maxHScale, 60);
    EXPECT_EQ(history.Undo(), nullptr);
    history.Redo();
    history.Amend(WithAxis(75));  // a calculation's results: no step, same saved mark
    EXPECT_EQ(history.Redo()->maxHScale, 80);
    EXPECT_FALSE(history.Modified());
    EXPECT_EQ(history.Undo()->maxHScale, 75);
    history.Record(WithAxis(90));  // a new edit drops what could be redone
    EXPECT_FALSE(history.CanRedo());

    for (int step = 1; step <= 150; ++step)
        history.Record(WithAxis(step));
    int undone = 0;
    while (history.Undo())
        ++undone;
    EXPECT_EQ(undone, static_cast<int>(EditHistory::kMaxSteps));
}

}  // namespace
}  // namespace marelos
