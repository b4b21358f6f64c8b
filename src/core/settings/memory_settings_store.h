#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/settings/settings_store.h"

namespace marelos {

// A settings store held in memory: for tests, and for the command-line tool, which must never
// change the user's store.
class InMemorySettingsStore : public SettingsStore {
  public:
    struct Entry {
        std::string section;  // the spelling of the first write
        std::string key;
        std::string value;

        bool operator==(const Entry&) const = default;
    };

    std::string ReadSetting(std::string_view section, std::string_view key) const override;
    void WriteSetting(std::string_view section, std::string_view key,
                      std::string_view value) override;

    bool Contains(std::string_view section, std::string_view key) const;
    // Every entry in the order of its first write.
    const std::vector<Entry>& Entries() const { return entries_; }
    // How many writes the store has taken, so a test can tell that nothing was written.
    int WriteCount() const { return writeCount_; }

  private:
    // The index of the entry, or entries_.size() when there is none.
    std::size_t Find(std::string_view section, std::string_view key) const;

    std::vector<Entry> entries_;
    int writeCount_ = 0;
};

// Reads through to another store and keeps every write to itself: the other store is never
// changed. The command-line tool runs on the user's settings this way.
class OverlaySettingsStore : public SettingsStore {
  public:
    explicit OverlaySettingsStore(const SettingsStore& base) : base_(base) {}

    std::string ReadSetting(std::string_view section, std::string_view key) const override;
    void WriteSetting(std::string_view section, std::string_view key,
                      std::string_view value) override;

  private:
    const SettingsStore& base_;
    InMemorySettingsStore changes_;
};

}  // namespace marelos
