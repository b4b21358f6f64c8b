#include "setting_keys.h"

#include <array>
#include <cassert>

namespace marelos {

std::string ReadSetting(const SettingsStore& store, const SettingKey& key) {
    return store.ReadSetting(key.section, key.name);
}

void WriteSetting(SettingsStore& store, const SettingKey& key, std::string_view value) {
    store.WriteSetting(key.section, key.name, value);
}

SettingKey ShowCompartmentKey(int compartment) {
    static constexpr std::array<std::string_view, kCompartmentCount + 1> kNames = {
        "ShowCompartment0",  "ShowCompartment1",  "ShowCompartment2",  "ShowCompartment3",
        "ShowCompartment4",  "ShowCompartment5",  "ShowCompartment6",  "ShowCompartment7",
        "ShowCompartment8",  "ShowCompartment9",  "ShowCompartment10", "ShowCompartment11",
        "ShowCompartment12", "ShowCompartment13", "ShowCompartment14", "ShowCompartment15",
        "ShowCompartment16",
    };
    assert(compartment >= 0 && compartment <= kCompartmentCount);
    return {"View", kNames.at(static_cast<std::size_t>(compartment)), StoredForm::Flag};
}

SettingKey RecentFileKey(int slot) {
    static constexpr std::array<std::string_view, kRecentFileCount> kNames = {"1", "2", "3",
                                                                              "4", "5", "6"};
    assert(slot >= 1 && slot <= kRecentFileCount);
    return {"Files", kNames.at(static_cast<std::size_t>(slot - 1)), StoredForm::Text};
}

}  // namespace marelos
