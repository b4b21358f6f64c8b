#include "core/profile/gas_mix.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/fakes/scripted_ui.h"

namespace marelos {
namespace {

TEST(GasMix, PlausibleMixesAddUpTo99Or100) {
    const MixCheck air = CheckMix({"21", "78", "0"});
    EXPECT_TRUE(air.plausible);
    EXPECT_EQ(air.label, "= 99%");
    EXPECT_EQ(air.colour, 0);
    const MixCheck tooMuch = CheckMix({"21", "79", "1"});
    EXPECT_FALSE(tooMuch.plausible);
    EXPECT_EQ(tooMuch.label, "= 101%");
    EXPECT_EQ(tooMuch.colour, 255);
    EXPECT_TRUE(CheckMix({"32", "68", "0"}).plausible);
    EXPECT_FALSE(CheckMix({"21", "77", "0"}).plausible);     // 98
    EXPECT_TRUE(CheckMix({"20,5", "78", "0,9"}).plausible);  // commas count as points: 99.4 -> 99
    EXPECT_FALSE(CheckMix({"abc", "78", "0"}).plausible);

    ScriptedUi ui;
    EXPECT_FALSE(CheckMixPlausible({"21", "79", "1"}, true, ui).plausible);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Das eingestellte Gemisch ist unplausibel!");
    EXPECT_EQ(ui.boxes[0].icon, MessageIcon::Critical);
    CheckMixPlausible({"21", "79", "1"}, false, ui);
    EXPECT_EQ(ui.boxes.size(), 1u);
}

TEST(GasMix, ANewPointRoundsN2AndReadsNoDecimalComma) {
    const PointGas gas = GasForNewPoint({"21", "20,5", "58,5"});
    EXPECT_EQ(gas.n2Percent, 20);
    EXPECT_EQ(gas.hePercent, 58);
    EXPECT_EQ(GasForNewPoint({"21", "20.5", "0.5"}).n2Percent, 20);  // halves to even
    EXPECT_EQ(GasForNewPoint({"21", "21.5", "0.5"}).n2Percent, 22);
    EXPECT_EQ(GasForNewPoint({"21", "21.5", "0.5"}).hePercent, 0.5);
}

TEST(GasMix, UsedMixesEnterTheListOnceAndSelectingOneFillsTheFields) {
    std::vector<std::string> list = MixPresets();
    ASSERT_EQ(list.size(), 11u);
    EXPECT_EQ(list.front(), "O2: 21 N2: 78 He: 0 [Luft]");
    EXPECT_EQ(list.back(), "O2: 21 N2: 44 He: 35 [Trimix 21-35]");
    AddUsedMix(list, {"30", "50", "19"});
    AddUsedMix(list, {"30", "50", "19"});
    EXPECT_EQ(list.size(), 12u);
    EXPECT_EQ(list.back(), "O2: 30 N2: 50 He: 19 [%]");
    // The shares of a listed mix, as typed in another way, add nothing.
    for (const GasMixFields& same : {GasMixFields{"21", "78", "0"}, GasMixFields{"21", "44", "35"},
                                     GasMixFields{"30,0", "50", "19.0"}})
        AddUsedMix(list, same);
    EXPECT_EQ(list.size(), 12u);

    const GasMixFields trimix = SelectMix("O2: 21 N2: 54 He: 25 [Trimix (normoxisch)]");
    EXPECT_EQ(trimix.o2 + " " + trimix.n2 + " " + trimix.he, "21 54 25");
    EXPECT_EQ(NitroxMix(32).n2, "67");
    EXPECT_EQ(NitroxMix(36).n2, "63");
    EXPECT_TRUE(CheckMix(NitroxMix(36)).plausible);
    EXPECT_EQ(HelioxMix().he, "78");
}

TEST(GasMix, PartialPressureWarningsAtALine) {
    Settings settings;
    settings.airPressure = 1013;
    settings.warnPpO2Hi = settings.warnPpO2Lo = settings.warnPpN2 = 1;
    // Air at 10 m: 2.02343 bar x 22 % (100 - 78 - 0) = 0.445 -> 0.44 bar, above MinPPO2 0.2.
    EXPECT_TRUE(PartialPressureWarnings({10, 1, 1, 78, 0}, settings).empty());
    // Oxygen at 10 m: 2.02 bar ppO2.
    EXPECT_EQ(PartialPressureWarnings({10, 1, 1, 0, 0}, settings),
              (std::vector<PressureWarning>{{"2.02 bar ppO2!", 255}}));
    // Heliox 10 % O2 at the surface: hypoxic.
    EXPECT_EQ(PartialPressureWarnings({0, 1, 1, 0, 90}, settings),
              (std::vector<PressureWarning>{{"0.1 bar ppO2 (Hypoxie)!", 33023}}));
    // Air at 70 m: 8.08601 bar, ppO2 above 1.6 bar and ppN2 above 5 bar.
    EXPECT_EQ(
        PartialPressureWarnings({70, 1, 1, 78, 0}, settings),
        (std::vector<PressureWarning>{{"1.77 bar ppO2!", 255}, {"6.3070878 bar ppN2!", 32768}}));
    settings.warnPpN2 = 0;
    EXPECT_EQ(PartialPressureWarnings({70, 1, 1, 78, 0}, settings).size(), 1u);
    // Exactly at the limit there is no warning.
    settings.maxPpO2 = 2.02;
    EXPECT_TRUE(PartialPressureWarnings({10, 1, 1, 0, 0}, settings).empty());
}

// With a point as separator the editing tests see the text after a click.
TEST(GasMix, StatusTextOfAnAddedPointWithADecimalComma) {
    EXPECT_EQ(AddedPointStatus(45, 5, 40.5, 35.5, ","),
              "> 45 m / 5 min. - N2-Anteil: 40,5% / He-Anteil: 35,5");
}

}  // namespace
}  // namespace marelos
