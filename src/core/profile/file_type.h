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
    // True when the desktop knows the file type already, as an installed package registers it
    // for every user: then there is nothing to ask.
    virtual bool ProfileFileTypeKnown() const = 0;
};

// Registers the file type and notes that it is done.
void RegisterProfileFileType(FileTypeRegistry& registry, SettingsStore& store);

// The start-up question, asked until the user has answered it once (Yes registers, No is kept),
// and not at all while the desktop knows the file type.
void AskToRegisterProfileFileType(FileTypeRegistry& registry, SettingsStore& store, Ui& ui);

}  // namespace marelos
