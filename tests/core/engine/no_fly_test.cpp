#include "core/engine/no_fly.h"

#include <gtest/gtest.h>

#include "core/engine/calculation.h"
#include "core/engine/oxygen.h"
#include "tests/core/engine/outputs_test_support.h"
#include "tests/fakes/transcript.h"

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

// The messages of the calculated dives, the recommendations of 12, 18 and 24 h and the cabin
// pressures either side of the balance with surface air are in the golden file of the
// calculation's outputs. Here: hours with the user's separator and the longer of the two times;
// the barometric formula and taking its value over (a text without pressure changes nothing).
TEST(NoFly, TheMessageInHoursAndTheAltitudePressure) {
    Transcript t;
    t.Note("model longer", NoFlyMessage(1455, 595.5, {24, "Dekompressionstauchgang"}, ","));
    t.Note("recommendation longer", NoFlyMessage(1440, 595, {24, ""}, "."));
    for (const auto& [air, height] :
         {std::pair{"1013", "0"}, {"1013", "1000"}, {"0", "1000"}, {"abc", "0"}})
        t.Note(std::string("altitude ") + air + " " + height, AltitudeResultText(air, height));
    Settings settings;
    InMemorySettingsStore store;
    for (const char* text : {"Luftdruck (Höhe) = 893 mbar.", "Luftdruck (Höhe) = 0 mbar.", ""}) {
        const bool taken = TakeOverAltitudePressure(text, settings, store);
        t.Note(std::string("take over ") + text, taken, settings.airPressure,
               store.ReadSetting("Values", "AirPressure"));
    }
}

}  // namespace
}  // namespace marelos
