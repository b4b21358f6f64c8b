#include "core/ui/command_guard.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

#include "tests/fakes/scripted_ui.h"

namespace marelos {
namespace {

TEST(CommandGuard, AFailingCommandChangesNothingAndAnEditIsOneUndoStep) {
    const std::string kept = " Das Tauchprofil ist so geblieben, wie es vor dem Befehl war.";
    const std::pair<std::function<void()>, std::string> cases[] = {
        {[] { throw std::bad_alloc(); }, "Für diesen Befehl reicht der Arbeitsspeicher nicht aus."},
        {[] { throw std::out_of_range("Zeile 7"); },
         "Der Befehl wurde wegen eines Fehlers abgebrochen: Zeile 7."},
        {[] { throw 42; }, "Der Befehl wurde wegen eines unbekannten Fehlers abgebrochen."},
    };
    for (const auto& [fail, message] : cases) {
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
        ASSERT_EQ(ui.boxes.size(), 1u);
        EXPECT_EQ(ui.boxes[0].text, message + kept);
        EXPECT_EQ(ui.boxes[0].icon, MessageIcon::Critical);
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
