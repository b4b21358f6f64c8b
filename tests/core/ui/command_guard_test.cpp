#include "core/ui/command_guard.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

#include "tests/fakes/scripted_ui.h"

namespace marelos {
namespace {

struct Guarded {
    Guarded() {
        workspace.profile.points[1] = {3, 30, 78, 0};
        workspace.profile.nextPoint = 2;
        history.Start(TakeSnapshot(workspace));
    }
    // A command that adds a point, changes the axis and the mix, and then fails.
    std::function<void()> EditThenThrow(std::function<void()> fail) {
        return [this, fail] {
            workspace.profile.points[2] = {25, 30, 78, 0};
            workspace.profile.nextPoint = 3;
            workspace.settings.maxHScale = 6000;
            workspace.mix = {"32", "68", "0"};
            fail();
        };
    }

    Workspace workspace;
    EditHistory history;
    ScriptedUi ui;
    CommandGuard guard{workspace, history, ui};
};

TEST(CommandGuard, AFailingCommandIsReportedInGermanAndLeavesTheProfileAsItWas) {
    const struct {
        std::function<void()> fail;
        std::string message;
    } cases[] = {
        {[] { throw std::bad_alloc(); },
         "Für diesen Befehl reicht der Arbeitsspeicher nicht aus. Das Tauchprofil ist so "
         "geblieben, wie es vor dem Befehl war."},
        {[] { throw std::out_of_range("Zeile 7"); },
         "Der Befehl wurde wegen eines Fehlers abgebrochen: Zeile 7. Das Tauchprofil ist so "
         "geblieben, wie es vor dem Befehl war."},
        {[] { throw 42; },
         "Der Befehl wurde wegen eines unbekannten Fehlers abgebrochen. Das Tauchprofil ist so "
         "geblieben, wie es vor dem Befehl war."},
    };
    for (const auto& [fail, message] : cases) {
        Guarded g;
        const ProfileSnapshot before = TakeSnapshot(g.workspace);
        EXPECT_FALSE(g.guard.Run(CommandKind::Edit, g.EditThenThrow(fail)));
        ASSERT_EQ(g.ui.boxes.size(), 1u);
        EXPECT_EQ(g.ui.boxes[0].text, message);
        EXPECT_EQ(g.ui.boxes[0].icon, MessageIcon::Critical);
        EXPECT_EQ(TakeSnapshot(g.workspace), before);
        EXPECT_EQ(g.workspace.mix.o2, "21");
        EXPECT_FALSE(g.history.CanUndo());
        EXPECT_TRUE(g.ui.progressReset);
    }
}

TEST(CommandGuard, EditsBecomeStepsAndCalculationsDoNot) {
    Guarded g;
    EXPECT_TRUE(g.guard.Run(CommandKind::Edit, [&] {
        g.workspace.profile.points[2] = {25, 30, 78, 0};
        g.workspace.profile.nextPoint = 3;
        // A command started from the events a long command lets through belongs to it; its
        // failure ends the outer command.
        EXPECT_THROW(g.guard.Run(CommandKind::Edit, [] { throw std::runtime_error("innen"); }),
                     std::runtime_error);
    }));
    EXPECT_TRUE(g.history.CanUndo());
    EXPECT_TRUE(g.workspace.profile.changed);
    EXPECT_TRUE(
        g.guard.Run(CommandKind::Calculation, [&] { g.workspace.settings.maxHScale = 155; }));
    EXPECT_EQ(g.history.Current().maxHScale, 155);
    g.history.Undo();
    EXPECT_FALSE(g.history.CanUndo());  // one step: the point
    EXPECT_TRUE(g.ui.boxes.empty());
}

}  // namespace
}  // namespace marelos
