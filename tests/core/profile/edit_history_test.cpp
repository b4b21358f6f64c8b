#include "core/profile/edit_history.h"

#include <gtest/gtest.h>

#include "core/engine/computed_profile.h"

namespace marelos {
namespace {

// A dive as a file and some editing leave it: a deleted point that keeps its gas, a cleared
// line that keeps its helium share, marks, and the stop times of a calculation.
Workspace EditedDive() {
    Workspace workspace;
    DiveProfile& profile = workspace.profile;
    profile.points[1] = {3, 30, 78, 0};
    profile.points[2] = {0, 0, 68, 0};
    profile.points[3] = {25, 30, 40, 43.5};
    profile.nextPoint = 4;
    profile.lines[1] = {30, 3, 3, 78, 0};
    profile.lines[2] = {30, 22, 25, 40, 43.5};
    profile.lines[7] = {0, 0, 0, 0, 35};
    profile.marks[0] = {"Abstieg", 3};
    profile.marks[1] = {"Boden", 25};
    profile.markCount = 1;
    profile.stops[2].time = 4;
    workspace.settings.maxHScale = 155;
    workspace.settings.maxVScale = 40;
    return workspace;
}

TEST(EditHistory, ASnapshotBringsBackExactlyTheTablesAndAxesAndNothingElse) {
    const Workspace original = EditedDive();
    const ProfileSnapshot snapshot = TakeSnapshot(original);
    EXPECT_EQ(snapshot.lines.size(), 8u);  // only the used part is kept

    Workspace workspace = original;
    workspace.profile.points[5000] = {99, 99, 1, 1};
    workspace.profile.points[2].n2Percent = 0;
    workspace.profile.lines[7].hePercent = 0;
    workspace.profile.lines[6000] = {1, 1, 1, 1, 1};
    workspace.profile.marks[100] = {"x", 1};
    workspace.profile.nextPoint = 9;
    workspace.profile.markCount = 5;
    workspace.profile.stops[2].time = 9;
    workspace.profile.fileName = "tg2.mrp";
    workspace.settings.maxHScale = 60;
    workspace.settings.maxVScale = 50;
    RestoreSnapshot(snapshot, workspace);

    EXPECT_EQ(workspace.profile.points, original.profile.points);
    EXPECT_EQ(workspace.profile.lines, original.profile.lines);
    EXPECT_EQ(workspace.profile.marks, original.profile.marks);
    EXPECT_EQ(workspace.profile.nextPoint, 4);
    EXPECT_EQ(workspace.profile.markCount, 1);
    EXPECT_EQ(workspace.settings.maxHScale, 155);
    EXPECT_EQ(workspace.settings.maxVScale, 40);
    // The results of the last calculation and the file name are no edits.
    EXPECT_EQ(workspace.profile.stops[2].time, 9);
    EXPECT_EQ(workspace.profile.fileName, "tg2.mrp");
    EXPECT_EQ(TakeSnapshot(workspace), snapshot);
}

ProfileSnapshot WithAxis(std::int32_t maxHScale) {
    ProfileSnapshot snapshot;
    snapshot.maxHScale = maxHScale;
    return snapshot;
}

TEST(EditHistory, UndoRedoAndTheSavedMarkFollowTheSteps) {
    EditHistory history(WithAxis(60));
    EXPECT_FALSE(history.CanUndo());
    EXPECT_FALSE(history.Modified());
    EXPECT_FALSE(history.Record(WithAxis(60)));  // no change, no step
    EXPECT_TRUE(history.Record(WithAxis(70)));
    EXPECT_TRUE(history.Record(WithAxis(80)));
    EXPECT_TRUE(history.Modified());
    history.MarkSaved();
    EXPECT_FALSE(history.Modified());

    EXPECT_EQ(history.Undo()->maxHScale, 70);
    EXPECT_TRUE(history.Modified());
    EXPECT_EQ(history.Undo()->maxHScale, 60);
    EXPECT_EQ(history.Undo(), nullptr);
    EXPECT_EQ(history.Current().maxHScale, 60);
    EXPECT_EQ(history.Redo()->maxHScale, 70);
    EXPECT_EQ(history.Redo()->maxHScale, 80);
    EXPECT_FALSE(history.Modified());  // back at the saved state
    EXPECT_EQ(history.Redo(), nullptr);

    // A calculation's results replace the state without a step and keep the saved mark.
    history.Amend(WithAxis(155));
    EXPECT_FALSE(history.Modified());
    EXPECT_EQ(history.Undo()->maxHScale, 70);
    EXPECT_EQ(history.Redo()->maxHScale, 155);

    // A new edit after undoing drops what could be redone.
    history.Undo();
    history.Record(WithAxis(90));
    EXPECT_FALSE(history.CanRedo());
    EXPECT_TRUE(history.Modified());

    history.Start(WithAxis(30));  // a loaded dive
    EXPECT_FALSE(history.CanUndo());
    EXPECT_FALSE(history.CanRedo());
    EXPECT_FALSE(history.Modified());
}

TEST(EditHistory, KeepsOnlyTheLastHundredSteps) {
    EditHistory history(WithAxis(0));
    for (int step = 1; step <= 150; ++step)
        history.Record(WithAxis(step));
    int undone = 0;
    while (history.Undo())
        ++undone;
    EXPECT_EQ(undone, static_cast<int>(EditHistory::kMaxSteps));
    EXPECT_EQ(history.Current().maxHScale, 50);
    EXPECT_TRUE(history.Modified());  // the start is out of reach
}

}  // namespace
}  // namespace marelos
