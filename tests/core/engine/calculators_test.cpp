#include "core/engine/calculators.h"

#include <gtest/gtest.h>

#include "core/engine/tissues.h"
#include "tests/fakes/scripted_ui.h"

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

TEST(Calculators, AirAndAverageDepthCountOnlyMinutesUnderWater) {
    Settings settings;
    const ComputedProfile computed = TwoLevels();
    // 10 x 3.02086 x 15 + 5 x 2.01043 x 15 = 453.129 + 150.78225
    EXPECT_EQ(AirUsedUpTo(computed, 17, settings), 603);
    EXPECT_EQ(AirUsedUpTo(computed, 10, settings), 453);
    EXPECT_EQ(AirUsedUpTo(computed, 9.5, settings), 453);  // the minute count is rounded first
    EXPECT_EQ(AirConsumptionText(computed, settings),
              "Luftverbrauch für diesen TG (AMV: 15l/min bei 1 bar): 603 Liter.");
    // Texts for people carry the user's decimal separator.
    EXPECT_EQ(AverageDepthText(computed, ","), "Durchschnittliche Tiefe dieses Tauchgangs: 16,6 m");
    EXPECT_EQ(AverageDepthText(ComputedProfile{}, "."), kNoCalculatedDive);
}

TEST(Calculators, BreathingVolumeFromTheLitresUsed) {
    const ComputedProfile computed = TwoLevels();
    // average 16.666 m -> 2.6666 bar; 1234 / 2.6666 x 10 / 15 = 308.5 -> 30.8 l/min
    EXPECT_EQ(BreathingVolume(computed, 17, "1234"), 30.8);
    EXPECT_EQ(BreathingVolume(computed, 17, "Liter"), 0);  // not a number: 0, no second question
    EXPECT_EQ(BreathingVolume(computed, 17, "0.4"), 0);
    EXPECT_FALSE(BreathingVolume(ComputedProfile{}, 1, "1200").has_value());
    ScriptedUi ui;
    ui.textAnswers = {std::string("1234")};
    mnuCalcBreathingRatio(computed, ui, ",");
    EXPECT_EQ(ui.questions.front(), "Wieviel Luft in Litern wurde verbraucht?");
    EXPECT_EQ(ui.boxes.back().text, "AMV: 30,8 Liter pro Minute bei 1 bar");
    mnuCalcBreathingRatio(ComputedProfile{}, ui, ".");
    EXPECT_EQ(ui.boxes.back().text, kNoCalculatedDive);
}

TEST(Calculators, MixLimitsOfAirAndOxygenAndTheBestMixForADepth) {
    Settings settings;
    EXPECT_EQ(MixLimitsText({"21", "78", "0"}, settings),
              "Hyperoxiegefahr in Tiefen > 66 m\r\nN2-Grenzwert wird überschritten bei 54 m\r\n");
    EXPECT_EQ(MixLimitsText({"100", "0", "0"}, settings), "Hyperoxiegefahr in Tiefen > 6 m\r\n");
    EXPECT_EQ(MixLimitsText({"10", "0", "90"}, settings),
              "Hyperoxiegefahr in Tiefen > 150 m\r\nHypoxiegefahr in Tiefen < 10 m\r\n");
    EXPECT_EQ(MixLimitsText({"0", "0", "0"}, settings), "");
    EXPECT_EQ(BestMixText(0, settings), "Best Mix für 0 m Wassertiefe: O2=100%  N2=0%  He=0%  ");
    EXPECT_EQ(BestMixText(40, settings), "Best Mix für 40 m Wassertiefe: O2=31%  N2=69%  He=0%  ");
    // At 60 m the nitrogen limit asks for helium: P = 7.1162 bar.
    EXPECT_EQ(BestMixText(60, settings),
              "Best Mix für 60 m Wassertiefe: O2=22.4%  N2=70.2%  He=7.2%  ");
}

TEST(Calculators, BlendingStepsOfATrimixFill) {
    const BlendSteps steps = BlendMix("21", "35", "44", "200");
    EXPECT_EQ(steps.helium, 88);
    EXPECT_DOUBLE_EQ(steps.air, 89.74);
    EXPECT_DOUBLE_EQ(steps.oxygen, 23.15);
    EXPECT_DOUBLE_EQ(steps.sum, 200.89);
    const BlendSteps comma = BlendMix("32,4", "67,6", "0", "200");  // O2 rounded to 32
    EXPECT_EQ(comma.helium, 0);
    EXPECT_DOUBLE_EQ(comma.oxygen, 27.6);  // from 32 %, not 32.4 %
}

TEST(Calculators, RemainingAirAtTheCursorMinute) {
    Settings settings;  // 15 l at 200 bar: 3000 l
    const ComputedProfile computed = TwoLevels();
    EXPECT_EQ(RemainingAirText(computed, 10, settings), "2547 Liter  169 bar");
    EXPECT_EQ(CursorMinuteLine(computed, 10, settings), "t = 10 min. Restluft:2547 Liter  169 bar");
    settings.airSupply = 400;
    EXPECT_EQ(RemainingAirText(computed, 10, settings), "Flasche ist leer");
}

}  // namespace
}  // namespace marelos
