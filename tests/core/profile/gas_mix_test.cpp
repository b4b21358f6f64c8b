#include "core/profile/gas_mix.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/text/number_format.h"
#include "tests/fakes/golden.h"
#include "tests/fakes/scripted_ui.h"

namespace marelos {
namespace {

// The plausibility check, the gas of a new point and the partial pressure warnings of the mixes
// in the case table, against one golden table.
TEST(GasMix, ChecksPointGasesAndWarningsOfTheCaseTable) {
    Settings settings;
    settings.airPressure = 1013;
    settings.warnPpO2Hi = settings.warnPpO2Lo = 1;
    std::string text;
    for (const std::vector<std::string>& row : DataRows("cases/gas_mix.tsv")) {
        const GasMixFields mix{row.at(1), row.at(2), row.at(3)};
        text += row[0] + " " + row[1] + " " + row[2] + " " + row[3] + " ->";
        if (row[0] == "Prüfung") {
            const MixCheck check = CheckMix(mix);
            text += " " + std::to_string(check.plausible) + " " + check.label + " " +
                    std::to_string(check.colour);
        } else if (row[0] == "Punkt") {
            const PointGas gas = GasForNewPoint(mix);
            text += " " + std::to_string(gas.n2Percent) + " " + FormatGeneral(gas.hePercent);
        } else {
            settings.warnPpN2 = std::stoi(row.at(4));
            if (row.at(5) != "-") settings.maxPpO2 = std::stod(row[5]);
            const ProfileLine line{std::stod(row[1]), 1, 1, std::stod(row[2]), std::stod(row[3])};
            for (const PressureWarning& warning : PartialPressureWarnings(line, settings))
                text += " " + warning.text + " " + std::to_string(warning.colour);
        }
        text += "\n";
    }
    ExpectGolden("golden/gas_mix.txt", text);

    ScriptedUi ui;
    EXPECT_FALSE(CheckMixPlausible({"21", "79", "1"}, true, ui).plausible);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Das eingestellte Gemisch ist unplausibel!");
    EXPECT_EQ(ui.boxes[0].icon, MessageIcon::Critical);
    CheckMixPlausible({"21", "79", "1"}, false, ui);
    EXPECT_EQ(ui.boxes.size(), 1u);
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

// With a point as separator the editing tests see the text after a click.
TEST(GasMix, StatusTextOfAnAddedPointWithADecimalComma) {
    EXPECT_EQ(AddedPointStatus(45, 5, 40.5, 35.5, ","),
              "> 45 m / 5 min. - N2-Anteil: 40,5% / He-Anteil: 35,5");
}

}  // namespace
}  // namespace marelos
