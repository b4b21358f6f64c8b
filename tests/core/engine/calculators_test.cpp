#include "core/engine/calculators.h"

#include <gtest/gtest.h>

#include "core/engine/calculation.h"
#include "core/engine/no_fly.h"
#include "core/engine/oxygen.h"
#include "core/engine/tissues.h"
#include "core/text/number_format.h"
#include "tests/core/engine/outputs_test_support.h"
#include "tests/fakes/transcript.h"

namespace marelos {
namespace {

// Ten minutes at 20 m and five at 10 m, then the surface.
ComputedProfile TwoLevels() {
    ComputedProfile computed;
    for (int j = 1; j <= 10; ++j)
        computed.records[j].depth = 20;
    for (int j = 11; j <= 15; ++j)
        computed.records[j].depth = 10;
    computed.records[16].depth = 0;
    computed.computedCount = 17;
    return computed;
}

// The calculators' results, compared with tests/data/calculators.txt. Air and the average depth
// count only minutes under water (10 x 3.02086 x 15 + 5 x 2.01043 x 15 = 603 l), the minute
// count is rounded first; the breathing volume of 1234 l is 30.8 l/min, a text that is no
// number gives 0; at 60 m the nitrogen limit asks for helium; the blend takes O2 rounded to
// whole percent; texts for people carry the user's decimal separator.
TEST(Calculators, ResultsAgainstTheirGoldenFile) {
    Settings settings;
    const ComputedProfile computed = TwoLevels();
    std::string out;
    for (const double minutes : {17.0, 10.0, 9.5})
        out += "air up to " + FormatGeneral(minutes) + ": " +
               FormatGeneral(AirUsedUpTo(computed, minutes, settings)) + "\n";
    out += AirConsumptionText(computed, settings) + "\n" + AverageDepthText(computed, ",") + "\n" +
           AverageDepthText(ComputedProfile{}, ".") + "\n";
    for (const char* litres : {"1234", "Liter", "0.4"})
        out += "breathing volume " + std::string(litres) + ": " +
               FormatGeneral(BreathingVolume(computed, 17, litres).value()) + "\n";
    out += "without a dive: " +
           std::to_string(BreathingVolume(ComputedProfile{}, 1, "1200").has_value()) + "\n";
    for (const GasMixFields& mix : {GasMixFields{"21", "78", "0"}, GasMixFields{"100", "0", "0"},
                                    GasMixFields{"10", "0", "90"}, GasMixFields{"0", "0", "0"}})
        out += "limits " + mix.o2 + "/" + mix.n2 + "/" + mix.he + ": " +
               MixLimitsText(mix, settings) + "\n";
    for (const int depth : {0, 40, 60})
        out += BestMixText(depth, settings) + "\n";
    for (const auto& [o2, n2, he] :
         {std::tuple{"21", "35", "44"}, std::tuple{"32,4", "67,6", "0"}}) {
        const BlendSteps steps = BlendMix(o2, n2, he, "200");
        out += "blend " + std::string(o2) + " " + n2 + " " + he + ": He " +
               FormatGeneral(steps.helium) + " air " + FormatGeneral(steps.air) + " O2 " +
               FormatGeneral(steps.oxygen) + " sum " + FormatGeneral(steps.sum) + "\n";
    }
    out += RemainingAirText(computed, 10, settings) + "\n" +
           CursorMinuteLine(computed, 10, settings) + "\n";
    settings.airSupply = 400;
    out += RemainingAirText(computed, 10, settings) + "\n";
    for (const int depth : {55, 57, 99})  // a tenth that the surface pressure tips
        out += BestMixText(depth, settings) + "\n";
    ExpectGolden("calculators.txt", out);

    ScriptedUi ui;
    ui.textAnswers = {std::string("1234")};
    mnuCalcBreathingRatio(computed, ui, ",");
    EXPECT_EQ(ui.questions.front(), "Wieviel Luft in Litern wurde verbraucht?");
    EXPECT_EQ(ui.boxes.back().text, "AMV: 30,8 Liter pro Minute bei 1 bar");
    mnuCalcBreathingRatio(ComputedProfile{}, ui, ".");
    EXPECT_EQ(ui.boxes.back().text, kNoCalculatedDive);
}

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
