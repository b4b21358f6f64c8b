#pragma once

#include "core/profile/file_type.h"

namespace marelos {

// A file-type registry that only counts how often the program registers its file type.
class CountingRegistry : public FileTypeRegistry {
  public:
    bool RegisterProfileFileType() override {
        ++registrations;
        return true;
    }
    int registrations = 0;
};

}  // namespace marelos
