#include "command_guard.h"

#include <exception>
#include <new>

namespace marelos {
namespace {

constexpr const char* kOutOfMemory = "Für diesen Befehl reicht der Arbeitsspeicher nicht aus.";
constexpr const char* kFailed = "Der Befehl wurde wegen eines Fehlers abgebrochen: ";
constexpr const char* kFailedUnknown =
    "Der Befehl wurde wegen eines unbekannten Fehlers abgebrochen.";
constexpr const char* kNothingLost =
    " Das Tauchprofil ist so geblieben, wie es vor dem Befehl war.";

// Leaves the running count as it was, however the command ends.
struct Nesting {
    explicit Nesting(int& count) : count_(count) { ++count_; }
    ~Nesting() { --count_; }
    Nesting(const Nesting&) = delete;
    Nesting& operator=(const Nesting&) = delete;
    int& count_;
};

}  // namespace

std::string CommandFailureMessage(const std::exception_ptr& failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    } catch (const std::exception& error) {
        return kFailed + std::string(error.what()) + ".";
    } catch (...) {
        return kFailedUnknown;
    }
}

bool CommandGuard::Run(CommandKind kind, const std::function<void()>& command) {
    if (running_ > 0) {
        command();
        return true;
    }
    const Nesting nesting(running_);
    const ProfileSnapshot before = TakeSnapshot(workspace_);
    const GasMixFields mix = workspace_.mix;
    try {
        command();
        if (kind == CommandKind::Edit) {
            history_.Record(TakeSnapshot(workspace_));
        } else {
            history_.Amend(TakeSnapshot(workspace_));
        }
        workspace_.profile.changed = history_.Modified();
        return true;
    } catch (...) {
        const std::string failure = CommandFailureMessage(std::current_exception());
        PutBack(before, mix);
        ui_.ShowMessage(failure + kNothingLost, MessageIcon::Critical);
    }
    return false;
}

void CommandGuard::PutBack(const ProfileSnapshot& profile, const GasMixFields& mix) {
    RestoreSnapshot(profile, workspace_);
    workspace_.mix = mix;
    workspace_.cancelRequested = false;
    ui_.ResetProgress();
}

}  // namespace marelos
