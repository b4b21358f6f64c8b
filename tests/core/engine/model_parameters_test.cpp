#include "core/engine/model_parameters.h"

#include <gtest/gtest.h>

namespace marelos {
namespace {

ModelParameters FreshModel(int decoModel = 3) {
    Settings settings;
    settings.decoModel = static_cast<std::int16_t>(decoModel);
    return ModelFromSettings(settings);
}

TEST(ModelParameters, EachModelHasItsOwnTableAndChangingLoadsItAndSaysSoOnce) {
    EXPECT_EQ(FreshModel(2).aN2[13], 0.285);
    EXPECT_EQ(FreshModel(3).aN2[13], 0.2835);
    const ModelParameters zhl12 = FreshModel(4);
    EXPECT_EQ(zhl12.bN2[4], 0.8354);
    EXPECT_EQ(zhl12.bHe[4], 0.835);
    EXPECT_EQ(zhl12.aN2[10], 0.43);
    EXPECT_EQ(zhl12.aHe[10], 0.47);
    EXPECT_EQ(zhl12.bHe[16], 0.925);
    EXPECT_EQ(zhl12.halfTimeN2[4], 18.5);  // every model shares the half-times
    EXPECT_EQ(ModelMessage(zhl12), "Dekompressionsmodell: ZH-L12");

    ModelParameters model = FreshModel(3);
    MultiplyHalfTimes(model, 2);
    EXPECT_NE(ChangeModel(model, 1).find("Modell ZH-L16A geladen."), std::string::npos);
    EXPECT_EQ(model.aN2[5], 0.6667);
    EXPECT_EQ(model.aN2[13], 0.2971);
    EXPECT_EQ(model.halfTimeN2[10], 146.0);
    EXPECT_EQ(ChangeModel(model, 1), "");  // the same model again: nothing to say
}

TEST(ModelParameters, ScalingStartsFromTheLiteratureValuesEveryTime) {
    ModelParameters model = FreshModel(3);
    model.aN2[0] = 0.3;
    RecalculateCoefficients(model, 1.1, 1.1);
    const std::string message = RecalculateCoefficients(model, 1.1, 0.9);
    EXPECT_EQ(message, "a- unb-Faktoren wurden neu berechnet. Faktoren: 1.1 und 0.9");
    EXPECT_DOUBLE_EQ(model.aN2[1], 1.2599 * 1.1);  // not 1.21 times
    EXPECT_DOUBLE_EQ(model.bHe[2], 0.5747 * 0.9);
    // Compartment 0 is not reloaded, so its own values are scaled each time.
    EXPECT_DOUBLE_EQ(model.aN2[0], 0.3 * 1.1 * 1.1);
    RecalculateCoefficients(model, 1, 1);
    const ModelParameters literature = FreshModel(3);
    for (int c = 1; c <= kLastCompartment; ++c)
        EXPECT_EQ(model.bHe[c], literature.bHe[c]) << c;
    EXPECT_DOUBLE_EQ(model.bHe[0], 0.06 * 1.1 * 0.9);  // compartment 0 keeps its own scaling
    EXPECT_EQ(model.aN2[7], 0.441);
    EXPECT_EQ(model.bN2[7], 0.8693);
}

TEST(ModelParameters, MultiplyingHalfTimesLeavesCompartments0And11To16) {
    ModelParameters model = FreshModel();
    MultiplyHalfTimes(model, 2);
    EXPECT_EQ(model.halfTimeN2[10], 292.0);
    EXPECT_EQ(model.halfTimeHe[1], 3.02);
    EXPECT_EQ(model.halfTimeN2[11], 187.0);
    EXPECT_EQ(model.halfTimeN2[0], 1.1);
    MultiplyHalfTimes(model, 2);
    EXPECT_EQ(model.halfTimeN2[10], 584.0);  // no reset in between
    LoadHalfTimes(model, 3);
    EXPECT_EQ(model.halfTimeN2[10], 146.0);
}

TEST(ModelParameters, ProgressivityNamesFollowTheTimeFactor) {
    ModelParameters model = FreshModel();
    const char* names[] = {"Sehr konservativ", "Konservativ", "Normal", "Progressiv",
                           "Sehr progressiv"};
    for (int mode = 1; mode <= 5; ++mode) {
        model.timeFactor = ProgressivityTimeFactor(mode);
        EXPECT_EQ(ProgressivityMessage(model), std::string("Progressivität: ") + names[mode - 1]);
    }
    EXPECT_EQ(SelectProgressivity(model, "Konservativ"), 2);
    EXPECT_EQ(model.timeFactor, 3.0);
    EXPECT_EQ(SelectProgressivity(model, "konservativ"), 0);  // no name matches: nothing changes
    EXPECT_EQ(model.timeFactor, 3.0);
    LoadCoefficients(model, 7);  // outside 1..4: nothing changes
    EXPECT_EQ(model.aN2, FreshModel().aN2);
}

}  // namespace
}  // namespace marelos
