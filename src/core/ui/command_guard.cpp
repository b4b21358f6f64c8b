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

std::string CommandFailureMessage(bool outOfMemory, const std::string& detail) {
    if (outOfMemory) return std::string(kOutOfMemory) + kNothingLost;
    if (detail.empty()) return std::string(kFailedUnknown) + kNothingLost;
    return kFailed + detail + "." + kNothingLost;
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
    } catch (const std::bad_alloc&) {
        PutBack(before, mix, CommandFailureMessage(true, {}));
    } catch (const std::exception& error) {
        PutBack(before, mix, CommandFailureMessage(false, error.what()));
    } catch (...) {
        PutBack(before, mix, CommandFailureMessage(false, {}));
    }
    return false;
}

void CommandGuard::PutBack(const ProfileSnapshot& profile, const GasMixFields& mix,
                           const std::string& failure) {
    RestoreSnapshot(profile, workspace_);
    workspace_.mix = mix;
    workspace_.cancelRequested = false;
    ui_.ResetProgress();
    ui_.ShowMessage(failure, MessageIcon::Critical);
}

}  // namespace marelos
