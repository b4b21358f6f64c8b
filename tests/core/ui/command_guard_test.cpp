#include "core/ui/command_guard.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

#include "tests/fakes/scripted_ui.h"
#include "tests/fakes/transcript.h"

namespace marelos {
namespace {

TEST(CommandGuard, AFailingCommandChangesNothingAndAnEditIsOneUndoStep) {
    Transcript t;  // what the user is told of each failure
    const std::function<void()> failures[] = {[] { throw std::bad_alloc(); },
                                              [] { throw std::out_of_range("Zeile 7"); },
                                              [] { throw 42; }};
    for (const auto& fail : failures) {
        Workspace workspace;
        EditHistory history(TakeSnapshot(workspace));
        ScriptedUi ui;
        CommandGuard guard(workspace, history, ui);
        EXPECT_FALSE(guard.Run(CommandKind::Edit, [&] {
            workspace.cancelRequested = true;
            workspace.profile.points[2] = {25, 30, 78, 0};
            workspace.settings.maxHScale = 6000;
            workspace.mix.o2 = "32";
            fail();
        }));
        t.Note("Fehler", ui.Said());
        EXPECT_EQ(TakeSnapshot(workspace), history.Current());
        EXPECT_EQ(workspace.mix.o2, "21");
        EXPECT_FALSE(history.CanUndo());
        EXPECT_FALSE(workspace.cancelRequested);

        // An edit is one undo step, also with a command run inside it; a calculation's results
        // are none, and the changed flag follows the history.
        EXPECT_TRUE(guard.Run(CommandKind::Calculation, [&] { workspace.profile.nextPoint = 2; }));
        EXPECT_FALSE(history.CanUndo());
        EXPECT_TRUE(guard.Run(CommandKind::Edit, [&] {
            workspace.profile.points[2] = {25, 30, 78, 0};
            EXPECT_TRUE(guard.Run(CommandKind::Edit, [&] { workspace.profile.nextPoint = 3; }));
        }));
        EXPECT_TRUE(workspace.profile.changed);
        ASSERT_NE(history.Undo(), nullptr);
        EXPECT_FALSE(history.CanUndo());
        EXPECT_EQ(history.Current().nextPoint, 2);
    }
}

}  // namespace
}  // namespace marelos
