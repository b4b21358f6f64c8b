#include "core/engine/tissues.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "core/engine/calculation.h"
#include "core/engine/calculators.h"
#include "core/engine/model_parameters.h"
#include "core/engine/no_fly.h"
#include "core/engine/oxygen.h"
#include "core/text/number_format.h"
#include "tests/core/engine/outputs_test_support.h"
#include "tests/fakes/transcript.h"

namespace marelos {
namespace {

// Compartment 1 alone: every other compartment starts (and stays) without tolerance.
ModelParameters Zhl16c() {
    Settings settings;
    return ModelFromSettings(settings);
}

// The saturation and the tolerated pressure of every compartment are in the records of the
// calculation's golden file (nitrogen, trimix, compartment 0 on and off), and the reference
// comparison checks them on random dives. Here the parts no dive shows by itself.
TEST(Tissues, ToleranceIsNeverBelowZeroAndCountsFromTheFirstUsedCompartment) {
    ModelParameters model = Zhl16c();
    TissueState low;
    low.pN2[3] = low.pTotal[3] = 0.5;  // below its a: a negative tolerance
    EXPECT_EQ(ToleratedAmbientPressure(low, model), 0);
    TissueState tissues;
    InitTissues(tissues, 0.79, 1000);
    EXPECT_EQ(ToleratedAmbientPressure(tissues, model), 0);  // no step yet: pTotal is 0
    SaturateTissues(tissues, model, 1000, 40, 1, 78, 0);
    EXPECT_EQ(tissues.pN2[0], 0.79);  // untouched without compartment 0
    const double withoutC0 = ToleratedAmbientPressure(tissues, model);
    tissues.pTotal[0] = 100;  // a huge value there changes nothing
    EXPECT_EQ(ToleratedAmbientPressure(tissues, model), withoutC0);
    model.firstCompartment = 0;
    EXPECT_GT(ToleratedAmbientPressure(tissues, model), withoutC0);
}

TEST(Tissues, TheStepperGivesExactlyTheDirectResult) {
    ModelParameters model = Zhl16c();
    model.firstCompartment = 0;
    model.timeFactor = 1.1;
    TissueState direct;
    InitTissues(direct, 0.79, 950);
    TissueState stepped = direct;
    TissueStepper stepper(model, 950);
    // Repeated depths and gases, where the stepper keeps its inspired pressures, and changes of
    // only the time or only one gas share, where it must not.
    const double steps[][4] = {{30, 1, 64, 0},  {30, 1, 64, 0},    {30, 0.1, 64, 0},
                               {30, 1, 64, 10}, {30, 1, 40, 10},   {45, 0.1, 40, 43},
                               {12, 1, 50, 20}, {12, 0.5, 50, 20}, {7, 0.5, 78, 0}};
    for (const auto& s : steps) {
        SaturateTissues(direct, model, 950, s[0], s[1], s[2], s[3]);
        stepper.Saturate(stepped, s[0], s[1], s[2], s[3]);
        EXPECT_EQ(stepped, direct);
    }
}

// The doses of a minute at each ppO2, compared with tests/data/oxygen_doses.txt: the OTU round
// the last hundredth to 0.05 or the next tenth (0.529 as 0.50, 0.531 and 0.579 as 0.55, 0.585 as
// 0.60), the CNS level is the next tenth above (exactly 1.5 counts at 1.6, 0.49 at 0.5 counts
// nothing), above the table a fixed share, no table index from a missing number; air at 30 m
// and oxygen at 6 m (above the CNS table) at 1013 mbar.
TEST(Oxygen, DosesOfAMinuteAgainstTheirGoldenFile) {
    std::vector<double> pressures = {OxygenPartialPressure(AmbientPressure(30, 1013), 78, 0),
                                     OxygenPartialPressure(AmbientPressure(6, 1013), 0, 0)};
    for (const double ppO2 : {0.5, 0.529, 0.531, 0.579, 0.585, 0.999, 1.4, 0.3, -0.4, 1.45, 1.5,
                              1.1, 0.49, 2.5, std::nan("")})
        pressures.push_back(ppO2);
    std::string out;
    for (const double ppO2 : pressures) {
        char line[120];
        std::snprintf(line, sizeof line, "%.10g\tOTU %.10g\tCNS %.10g %.10g\n", ppO2,
                      OtuOfMinute(ppO2), CnsOfMinute(ppO2).dive, CnsOfMinute(ppO2).day);
        out += line;
    }
    ExpectGolden("oxygen_doses.txt", out);
    ComputedMinute record;
    record.cnsDive = 7;
    AddCnsMinute(record, 1.0, 78, 0);  // 0.21 bar: below the table, the record keeps its values
    EXPECT_EQ(record.cnsDive, 7);
}

// A calculation's records are written whole, so below the CNS table a minute gets 0.
TEST(Oxygen, EachMinuteGetsTheDosesOfItsOwnDepthAndGas) {
    OxygenSteps steps(1013);
    // Repeated minutes, then a change of only the depth, only the N2 or only the He share.
    const double minutes[][3] = {{30, 78, 0},  {30, 78, 0},  {10, 78, 0}, {10, 50, 0},
                                 {10, 50, 20}, {10, 50, 20}, {0, 78, 0}};
    for (const auto& m : minutes) {
        ComputedMinute record;
        record.cnsDive = 7;
        steps.AddMinute(record, m[0], m[1], m[2]);
        const double ppO2 = OxygenPartialPressure(AmbientPressure(m[0], 1013), m[1], m[2]);
        EXPECT_EQ(record.otu, OtuOfMinute(ppO2)) << ppO2;
        EXPECT_EQ(record.cnsDive, CnsOfMinute(ppO2).dive) << ppO2;
        EXPECT_EQ(record.cnsDay, CnsOfMinute(ppO2).day) << ppO2;
    }
}

// Record 3 is empty and counts as a minute without exposure: 20 x 0.5^(1/90) = 19.85; after 89
// minutes without exposure 10.08, after 91 9.92.
TEST(Oxygen, DaySumDecaysOnlyInMinutesWithoutExposure) {
    Transcript t;
    ComputedProfile computed;
    for (const int j : {1, 2})
        computed.records[j] = {.otu = 0.6, .cnsDay = 10, .cnsDive = 10};
    for (const int count : {3, 2 + 89, 2 + 91}) {
        computed.computedCount = count;
        t.Note("records " + std::to_string(count), TotalOtu(computed), DiveCns(computed),
               DailyCns(computed));
    }
}

ModelParameters FreshModel(int decoModel = 3) {
    Settings settings;
    settings.decoModel = static_cast<std::int16_t>(decoModel);
    return ModelFromSettings(settings);
}

// Half-time, a and b of N2 and He of every compartment, then the time factor.
std::string Table(const ModelParameters& m) {
    std::string out;
    char line[160];
    for (int c = 0; c <= kLastCompartment; ++c) {
        std::snprintf(line, sizeof line, "%d\t%.10g %.10g %.10g\t%.10g %.10g %.10g\n", c,
                      m.halfTimeN2[c], m.aN2[c], m.bN2[c], m.halfTimeHe[c], m.aHe[c], m.bHe[c]);
        out += line;
    }
    return out + "first " + std::to_string(m.firstCompartment) + " time factor " +
           std::to_string(m.timeFactor) + "\n";
}

// The literature tables of the four models (compartment 0 with its defaults), and what each
// change leaves, compared with tests/data/model_parameters.txt: changing the model loads its
// table and says so once; scaling starts from the literature values every time except for
// compartment 0, which scales its own; multiplying the half-times leaves compartments 0 and
// 11 to 16 and has no reset in between; a model outside 1 to 4 changes nothing.
TEST(ModelParameters, TablesAndChangesAgainstTheirGoldenFile) {
    std::string out;
    for (int model = 1; model <= 4; ++model)
        out += "## " + ModelMessage(FreshModel(model)) + "\n" + Table(FreshModel(model));
    ModelParameters model = FreshModel(3);
    MultiplyHalfTimes(model, 2);
    out += "## ZH-L16C, half-times times 2, then ZH-L16A: " + ChangeModel(model, 1) + "\n";
    out += "## and again: " + ChangeModel(model, 1) + "\n" + Table(model);
    model = FreshModel(3);
    model.aN2[0] = 0.3;
    RecalculateCoefficients(model, 1.1, 1.1);
    out +=
        "## compartment 0 a 0.3, " + RecalculateCoefficients(model, 1.1, 0.9) + "\n" + Table(model);
    RecalculateCoefficients(model, 1, 1);
    LoadCoefficients(model, 7);
    out += "## factors 1 and 1, model 7\n" + Table(model);
    model = FreshModel();
    MultiplyHalfTimes(model, 2);
    MultiplyHalfTimes(model, 2);
    out += "## half-times times 2 twice\n" + Table(model);
    LoadHalfTimes(model, 3);
    out += "## half-times loaded\n" + Table(model);
    ExpectGolden("model_parameters.txt", out);
}

// A name that matches none (small letters) changes nothing.
TEST(ModelParameters, ProgressivityNamesFollowTheTimeFactor) {
    Transcript t;
    ModelParameters model = FreshModel();
    for (int mode = 1; mode <= 5; ++mode) {
        model.timeFactor = ProgressivityTimeFactor(mode);
        t.Note("mode " + std::to_string(mode), ProgressivityMessage(model));
    }
    for (const char* name : {"Konservativ", "konservativ"}) {
        const int mode = SelectProgressivity(model, name);
        t.Note(name, mode, model.timeFactor);
    }
}

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
