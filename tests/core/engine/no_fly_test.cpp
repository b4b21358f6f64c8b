#include "core/engine/no_fly.h"

#include <gtest/gtest.h>

#include "core/engine/calculation.h"
#include "core/engine/oxygen.h"
#include "tests/core/engine/outputs_test_support.h"

namespace marelos {
namespace {

TEST(NoFly, CountsMinutesUntilTheCabinPressureIsStrictlyAboveAndLeavesEveryResultAsItWas) {
    auto dive = DrawnDive({{4, 40}, {30, 40}});
    InMemorySettingsStore store;
    ScriptedUi ui;
    mnuCalcSaturation(*dive, store, ui);
    const auto before = std::make_unique<Workspace>(*dive);
    const int minutes = ComputeNoFlyMinutes(*dive, store, ui).value();  // throws without one
    EXPECT_GT(minutes, 60);
    EXPECT_EQ(dive->settings.surfaceInterval, before->settings.surfaceInterval);
    EXPECT_EQ(dive->computed.computedCount, before->computed.computedCount);
    for (int j = 1; j <= dive->computed.computedCount; ++j) {
        EXPECT_EQ(dive->computed.records[j].toleratedPressure,
                  before->computed.records[j].toleratedPressure);
    }
    EXPECT_EQ(dive->tissues, before->tissues);
    EXPECT_EQ(DailyCns(dive->computed), DailyCns(before->computed));
    for (int k = 0; k <= kStopTableEnd; ++k)
        EXPECT_EQ(dive->profile.stops[k].time, before->profile.stops[k].time);
    // The same search by hand, from the end of the decompression phase.
    dive->settings.surfaceInterval = 0;
    mnuCalcSaturation(*dive, store, ui);
    const double surface = DepthFromPressure(1.0);
    for (int m = 0; m < minutes; ++m) {
        EXPECT_LE(0.595, ToleratedAmbientPressure(dive->tissues, dive->model)) << m;
        SaturateTissues(dive->tissues, dive->model, 1000, surface, 1, 78, 0);
    }
    EXPECT_GT(0.595, ToleratedAmbientPressure(dive->tissues, dive->model));
    // A higher cabin pressure allows flying sooner.
    dive->settings.surfaceInterval = 120;
    dive->settings.cabinPressure = 800;
    EXPECT_LT(ComputeNoFlyMinutes(*dive, store, ui).value(), minutes);
}

TEST(NoFly, ADiveThatCannotBeCalculatedIsNotSearchedAndSaysWhy) {
    auto dive = DrawnDive({{60, 600}, {400, 600}});
    dive->settings.maxHScale = 500;
    InMemorySettingsStore store;
    ScriptedUi ui;
    EXPECT_FALSE(ComputeNoFlyMinutes(*dive, store, ui).has_value());
    ui.boxes.clear();
    ShowNoFlyResult(*dive, std::nullopt, ui);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].icon, MessageIcon::Critical);
    EXPECT_EQ(ui.boxes[0].text, IncompleteCalculationMessage(dive->computed.last));
}

TEST(NoFly, ADiveWithoutLoadAllowsFlyingAtOnce) {
    auto dive = DrawnDive({{1, 3}, {5, 3}});
    InMemorySettingsStore store;
    ScriptedUi ui;
    EXPECT_EQ(ComputeNoFlyMinutes(*dive, store, ui), 0);
    EXPECT_EQ(NoFlyMessage(0, 595, "."),
              "Die Flugverbotszeit für diesen Tauchgang beträgt: 0 Minuten gerechnet ab "
              "Tauchgangsende. Dies entspricht 0h und 0 min. Der Kabinendruck wird angesetzt mit "
              "595 mbar.");
    const std::string german = NoFlyMessage(135, 595.5, ",");
    EXPECT_NE(german.find("Dies entspricht 2h und 15 min."), std::string::npos);
    EXPECT_NE(german.find("595,5 mbar."), std::string::npos);
}

TEST(NoFly, ACabinPressureTheTissuesNeverGetBelowHasNoNoFlyTime) {
    Settings settings;
    settings.decoModel = 1;
    settings.airPressure = 1013;
    auto dive = DrawnDive({{4, 30}, {20, 30}}, settings);
    dive->settings.cabinPressure = 450;  // below the balance with surface air (about 0.5 bar)
    InMemorySettingsStore store;
    ScriptedUi ui;
    const std::optional<int> minutes = ComputeNoFlyMinutes(*dive, store, ui);
    EXPECT_FALSE(minutes.has_value());
    const std::string message = NoFlyMessage(minutes, 450, ".");
    EXPECT_NE(message.find("keine Flugverbotszeit"), std::string::npos);
    EXPECT_NE(message.find("450 mbar"), std::string::npos);
    dive->settings.cabinPressure = 510;  // just above it: the search ends with a time
    EXPECT_TRUE(ComputeNoFlyMinutes(*dive, store, ui).has_value());
}

TEST(Altitude, BarometricFormulaAndTakingTheValueOver) {
    EXPECT_EQ(AltitudeResultText("1013", "0"), "Luftdruck (Höhe) = 1013 mbar.");
    EXPECT_EQ(AltitudeResultText("1013", "1000"), "Luftdruck (Höhe) = 893 mbar.");
    EXPECT_EQ(AltitudeResultText("0", "1000"), "Luftdruck (Höhe) = 0 mbar.");
    EXPECT_EQ(AltitudeResultText("abc", "0"), "Luftdruck (Höhe) = 0 mbar.");
    Settings settings;
    InMemorySettingsStore store;
    EXPECT_TRUE(TakeOverAltitudePressure("Luftdruck (Höhe) = 893 mbar.", settings, store));
    EXPECT_EQ(settings.airPressure, 893);
    EXPECT_EQ(store.ReadSetting("Values", "AirPressure"), "893");
    EXPECT_FALSE(TakeOverAltitudePressure("Luftdruck (Höhe) = 0 mbar.", settings, store));
    EXPECT_FALSE(TakeOverAltitudePressure("", settings, store));
    EXPECT_EQ(settings.airPressure, 893);
}

}  // namespace
}  // namespace marelos
