#include "core/settings/memory_settings_store.h"

#include <gtest/gtest.h>

namespace marelos {
namespace {

TEST(InMemorySettingsStore, NamesAreComparedWithoutRegardToCase) {
    InMemorySettingsStore store;
    EXPECT_EQ(store.ReadSetting("Values", "MaxPPO2"), "");
    store.WriteSetting("Values", "MaxPPO2", "1.4");
    EXPECT_EQ(store.ReadSetting("values", "ppo2"), "");
    EXPECT_EQ(store.ReadSetting("VALUES", "maxppo2"), "1.4");
    store.WriteSetting("values", "MAXPPO2", "1.5");
    ASSERT_EQ(store.Entries().size(), 1u);
    EXPECT_EQ(store.Entries()[0].key, "MaxPPO2");  // the first spelling stays
    EXPECT_EQ(store.Entries()[0].value, "1.5");
    EXPECT_EQ(store.WriteCount(), 2);
}

TEST(OverlaySettingsStore, ReadsThroughAndKeepsWritesToItself) {
    InMemorySettingsStore base;
    base.WriteSetting("Values", "DecoMode", "0");
    base.WriteSetting("Values", "DecoModel", "2");
    OverlaySettingsStore overlay(base);
    EXPECT_EQ(overlay.ReadSetting("values", "decomodel"), "2");
    overlay.WriteSetting("Values", "DecoMode", "3");
    overlay.WriteSetting("Values", "DecoModel", "");  // an empty value hides the base value
    EXPECT_EQ(overlay.ReadSetting("Values", "DecoMode"), "3");
    EXPECT_EQ(overlay.ReadSetting("Values", "DecoModel"), "");
    EXPECT_EQ(base.ReadSetting("Values", "DecoMode"), "0");
    EXPECT_EQ(base.WriteCount(), 2);
}

}  // namespace
}  // namespace marelos
