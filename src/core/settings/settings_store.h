#pragma once

#include <string>
#include <string_view>

namespace marelos {

// The per-user store of string values behind every preference of the program, addressed by
// section and key under the application name. Section and key names are compared without
// regard to case. The store never reports an error: a value that cannot be read is absent, and
// a value that cannot be written is lost for the next start but kept in the running program.
class SettingsStore {
  public:
    virtual ~SettingsStore() = default;

    // The stored string, or "" when the key is absent.
    virtual std::string ReadSetting(std::string_view section, std::string_view key) const = 0;

    // Stores the string, creating section and key as needed.
    virtual void WriteSetting(std::string_view section, std::string_view key,
                              std::string_view value) = 0;
};

// True when two section or key names are the same without regard to case.
bool SameSettingName(std::string_view a, std::string_view b);

}  // namespace marelos
