#pragma once

#include "core/browser/file_system.h"

namespace marelos {

// The disk with the desktop's trash (the freedesktop trash in the user's data folder, or the
// trash folder of another volume), where the browser's deleted files go.
class DesktopFileSystem : public LocalFileSystem {
  public:
    bool HasTrash() const override;
    std::optional<Failure> MoveToTrash(const std::string& path) override;
};

}  // namespace marelos
