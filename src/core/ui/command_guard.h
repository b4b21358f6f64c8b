#pragma once

#include <exception>
#include <functional>
#include <string>

#include "core/profile/edit_history.h"
#include "core/ui/ui.h"
#include "core/workspace.h"

namespace marelos {

// How a command's changes to the profile enter the undo history.
enum class CommandKind {
    Edit,         // what it changes is one step that can be undone
    Calculation,  // it changes the profile only by results: rebuilt lines, a widened time axis
};

// The one place where the window's commands run. A command that fails with an exception (out
// of memory or any other) is reported with the program's German message, and the profile, the
// axis lengths and the mix fields are put back as they were before the command; what a
// command changed enters the undo history, and the changed flag follows the history.
class CommandGuard {
  public:
    CommandGuard(Workspace& workspace, EditHistory& history, Ui& ui)
        : workspace_(workspace), history_(history), ui_(ui) {}

    // False when the command failed. A command started while another one runs (from the
    // events a long calculation lets through) belongs to the outer one.
    bool Run(CommandKind kind, const std::function<void()>& command);

  private:
    void PutBack(const ProfileSnapshot& profile, const GasMixFields& mix);

    Workspace& workspace_;
    EditHistory& history_;
    Ui& ui_;
    int running_ = 0;
};

// The message for the exception that ended a command (call it from a catch block): out of
// memory, an error with its own text, or an error of unknown kind.
std::string CommandFailureMessage(const std::exception_ptr& failure);

}  // namespace marelos
