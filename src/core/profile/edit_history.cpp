#include "edit_history.h"

#include <utility>

namespace marelos {
namespace {

// The table up to its last entry that differs from an empty one.
template <class T>
std::vector<T> UsedPart(const std::vector<T>& table) {
    std::size_t used = table.size();
    while (used > 0 && table[used - 1] == T{})
        --used;
    return {table.begin(), table.begin() + static_cast<std::ptrdiff_t>(used)};
}

// The used part back at full table length, the rest empty. The table keeps its storage, so
// putting a state back after running out of memory needs next to none.
template <class T>
void Refill(std::vector<T>& table, const std::vector<T>& used, std::size_t length) {
    table.assign(used.begin(), used.end());
    table.resize(length);
}

}  // namespace

ProfileSnapshot TakeSnapshot(const Workspace& workspace) {
    const DiveProfile& profile = workspace.profile;
    return {UsedPart(profile.points),    profile.nextPoint, UsedPart(profile.lines),
            UsedPart(profile.marks),     profile.markCount, workspace.settings.maxHScale,
            workspace.settings.maxVScale};
}

void RestoreSnapshot(const ProfileSnapshot& snapshot, Workspace& workspace) {
    DiveProfile& profile = workspace.profile;
    Refill(profile.points, snapshot.points, kProfileTableEnd + 1);
    Refill(profile.lines, snapshot.lines, kProfileTableEnd + 1);
    Refill(profile.marks, snapshot.marks, kMarkTableEnd + 1);
    profile.nextPoint = snapshot.nextPoint;
    profile.markCount = snapshot.markCount;
    workspace.settings.maxHScale = snapshot.maxHScale;
    workspace.settings.maxVScale = snapshot.maxVScale;
}

EditHistory::EditHistory(ProfileSnapshot start) {
    Start(std::move(start));
}

void EditHistory::Start(ProfileSnapshot state) {
    undo_.clear();
    redo_.clear();
    current_ = {std::move(state), nextId_++};
    savedId_ = current_.id;
}

bool EditHistory::Record(ProfileSnapshot state) {
    if (state == current_.state) return false;
    undo_.push_back(std::move(current_));
    if (undo_.size() > kMaxSteps) undo_.pop_front();
    redo_.clear();
    current_ = {std::move(state), nextId_++};
    return true;
}

void EditHistory::Amend(ProfileSnapshot state) {
    current_.state = std::move(state);
}

void EditHistory::MarkSaved() {
    savedId_ = current_.id;
}

const ProfileSnapshot* EditHistory::Undo() {
    return Step(undo_, redo_);
}

const ProfileSnapshot* EditHistory::Redo() {
    return Step(redo_, undo_);
}

const ProfileSnapshot* EditHistory::Step(std::deque<Entry>& from, std::deque<Entry>& to) {
    if (from.empty()) return nullptr;
    to.push_back(std::move(current_));
    current_ = std::move(from.back());
    from.pop_back();
    return &current_.state;
}

}  // namespace marelos
