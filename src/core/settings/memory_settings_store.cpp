#include "memory_settings_store.h"

#include <algorithm>

namespace marelos {

bool SameSettingName(std::string_view a, std::string_view b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    return std::ranges::equal(a, b, [&](char x, char y) { return lower(x) == lower(y); });
}

std::size_t InMemorySettingsStore::Find(std::string_view section, std::string_view key) const {
    const auto found = std::ranges::find_if(entries_, [&](const Entry& entry) {
        return SameSettingName(entry.section, section) && SameSettingName(entry.key, key);
    });
    return static_cast<std::size_t>(found - entries_.begin());
}

std::string InMemorySettingsStore::ReadSetting(std::string_view section,
                                               std::string_view key) const {
    const std::size_t index = Find(section, key);
    return index < entries_.size() ? entries_[index].value : std::string();
}

void InMemorySettingsStore::WriteSetting(std::string_view section, std::string_view key,
                                         std::string_view value) {
    ++writeCount_;
    if (const std::size_t index = Find(section, key); index < entries_.size()) {
        entries_[index].value = value;
        return;
    }
    entries_.push_back({std::string(section), std::string(key), std::string(value)});
}

bool InMemorySettingsStore::Contains(std::string_view section, std::string_view key) const {
    return Find(section, key) < entries_.size();
}

std::string OverlaySettingsStore::ReadSetting(std::string_view section,
                                              std::string_view key) const {
    return changes_.Contains(section, key) ? changes_.ReadSetting(section, key)
                                           : base_.ReadSetting(section, key);
}

void OverlaySettingsStore::WriteSetting(std::string_view section, std::string_view key,
                                        std::string_view value) {
    changes_.WriteSetting(section, key, value);
}

}  // namespace marelos
