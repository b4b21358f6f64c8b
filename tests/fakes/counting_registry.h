#pragma once

#include "core/profile/file_type.h"

namespace marelos {

// A file-type registry that only counts how often the program registers its file type; `known`
// plays a desktop that has the type from an installed package.
class CountingRegistry : public FileTypeRegistry {
  public:
    bool RegisterProfileFileType() override {
        ++registrations;
        return true;
    }
    bool ProfileFileTypeKnown() const override { return known; }
    int registrations = 0;
    bool known = false;
};

}  // namespace marelos
