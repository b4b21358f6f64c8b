#pragma once

#include <string>

#include "core/settings/settings_store.h"
#include "core/ui/ui.h"

namespace marelos {

// Registers ".mrp" profile files with the desktop so that opening one starts the program
// with it.
class FileTypeRegistry {
  public:
    virtual ~FileTypeRegistry() = default;
    // True when the registration was written.
    virtual bool RegisterProfileFileType() = 0;
};

// Registers the file type and notes that it is done.
void RegisterProfileFileType(FileTypeRegistry& registry, SettingsStore& store);

// The start-up question, asked until the user has answered it once: Yes registers, No is kept.
void AskToRegisterProfileFileType(FileTypeRegistry& registry, SettingsStore& store, Ui& ui);

}  // namespace marelos
