// What the undo history costs every command: a snapshot before and after it and one step
// recorded, for a drawn dive and for the largest dive a file can bring.
#include <benchmark/benchmark.h>

#include "core/ui/command_guard.h"
#include "core/ui/unattended_ui.h"

namespace {

void GuardedEdits(benchmark::State& state) {
    marelos::Workspace workspace;
    for (int i = 1; i <= state.range(0); ++i) {
        workspace.profile.lines[i] = {30, 1, static_cast<double>(i), 78, 0};
        workspace.profile.points[i] = {i, 30, 78, 0};
    }
    workspace.profile.nextPoint = static_cast<std::int32_t>(state.range(0)) + 1;
    marelos::EditHistory history(marelos::TakeSnapshot(workspace));
    marelos::UnattendedUi ui;
    marelos::CommandGuard guard(workspace, history, ui);
    std::int32_t depth = 0;
    for (auto _ : state) {
        guard.Run(marelos::CommandKind::Edit,
                  [&] { workspace.profile.points[1].depth = ++depth % 200; });
    }
}
// 10 corners drawn by hand, and a file of 5998 lines.
BENCHMARK(GuardedEdits)->Arg(10)->Arg(5998)->Unit(benchmark::kMicrosecond);

}  // namespace
