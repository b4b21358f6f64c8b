#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

#include "core/profile/dive_profile.h"
#include "core/workspace.h"

namespace marelos {

// What the user edits: the dive's points, lines and marks, and the lengths of the two axes.
// The tables are kept only up to their last entry in use, so a drawn dive of a few corners
// takes a few hundred bytes. The stop table (written by every calculation), the file name and
// the changed flag are not part of it.
struct ProfileSnapshot {
    std::vector<ProfilePoint> points;
    std::int32_t nextPoint = 1;
    std::vector<ProfileLine> lines;
    std::vector<ProfileMark> marks;
    std::int16_t markCount = 0;
    std::int32_t maxHScale = 0;
    std::int32_t maxVScale = 0;

    bool operator==(const ProfileSnapshot&) const = default;
};

ProfileSnapshot TakeSnapshot(const Workspace& workspace);
// Puts the snapshot's tables and axis lengths back; every other table entry is cleared.
void RestoreSnapshot(const ProfileSnapshot& snapshot, Workspace& workspace);

// The undo and redo history of the profile: a bounded list of snapshots before and after the
// current state. Each state carries a number, so the history knows whether the current state
// is the one last loaded or saved even after undoing and redoing.
class EditHistory {
  public:
    // A loaded dive of 5998 lines takes about 400 kB, so 100 steps stay below 40 MB.
    static constexpr std::size_t kMaxSteps = 100;

    explicit EditHistory(ProfileSnapshot start = {});

    // A new or loaded dive: nothing to undo or redo, and the state counts as saved.
    void Start(ProfileSnapshot state);
    // An edit: when the state differs from the current one, the current one becomes a step
    // that can be undone and the redo steps are dropped. True when it differed.
    bool Record(ProfileSnapshot state);
    // Results of a calculation (rebuilt lines, a widened time axis) are no edit of their own:
    // they replace the current state without a step and keep its saved mark.
    void Amend(ProfileSnapshot state);
    void MarkSaved();

    bool CanUndo() const { return !undo_.empty(); }
    bool CanRedo() const { return !redo_.empty(); }
    // The state to go back or forward to, which is then the current state; nullptr when
    // there is none.
    const ProfileSnapshot* Undo();
    const ProfileSnapshot* Redo();

    const ProfileSnapshot& Current() const { return current_.state; }
    // True when the current state is not the one last loaded, begun or saved.
    bool Modified() const { return current_.id != savedId_; }

  private:
    struct Entry {
        ProfileSnapshot state;
        std::uint64_t id = 0;
    };

    // The last state of `from` becomes the current one, which goes onto `to`.
    const ProfileSnapshot* Step(std::deque<Entry>& from, std::deque<Entry>& to);

    std::deque<Entry> undo_;
    std::deque<Entry> redo_;
    Entry current_;
    std::uint64_t nextId_ = 1;
    std::uint64_t savedId_ = 0;
};

}  // namespace marelos
