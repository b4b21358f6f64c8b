#include "core/engine/tissues.h"

#include <gtest/gtest.h>

namespace marelos {
namespace {

// Compartment 1 alone: every other compartment starts (and stays) without tolerance.
ModelParameters Zhl16c() {
    Settings settings;
    return ModelFromSettings(settings);
}

TEST(Tissues, SurfaceStateThenOneMinuteAt30MetresMovesCompartment1ByTheHalfTimeFactor) {
    const ModelParameters model = Zhl16c();
    TissueState tissues;
    InitTissues(tissues, 0.78, 1013);
    for (int c = 0; c <= kLastCompartment; ++c) {
        EXPECT_NEAR(tissues.pN2[c], 0.79014, 1e-12);
        EXPECT_EQ(tissues.pHe[c], 0);
        EXPECT_EQ(tissues.pTotal[c], 0);
    }
    EXPECT_EQ(ToleratedAmbientPressure(tissues, model), 0);  // no step yet: pTotal is 0
    EXPECT_NEAR(AmbientPressure(30, 1013), 4.04429, 1e-12);
    EXPECT_NEAR(DepthFromPressure(1.013), 0.13, 1e-12);
    EXPECT_NEAR(DepthFromPressure(0.95), -0.5, 1e-12);

    SaturateTissues(tissues, model, 1013, 30, 1, 78, 0);
    EXPECT_NEAR(SaturationFactor(1.5, 1, 4), 0.2288946, 1e-7);
    // 0.79014 + 0.2288946 x (3.1056402 - 0.79014)
    EXPECT_NEAR(tissues.pN2[1], 1.3201455, 1e-7);
    EXPECT_EQ(tissues.pTotal[1], tissues.pN2[1]);
    EXPECT_EQ(tissues.pHe[1], 0);
    EXPECT_LT(tissues.pN2[16], tissues.pN2[1]);  // slower compartments move less
    EXPECT_EQ(tissues.pN2[0], 0.79014);          // compartment 0 is not used here
}

TEST(Tissues, ToleranceMixesAAndBWithTheExtraThousandthNeverBelowZeroFromTheFirstUsedCompartment) {
    ModelParameters model = Zhl16c();
    TissueState one;
    one.pN2[1] = 1.3201455;
    one.pTotal[1] = 1.3201455;
    // (1.3201455 - 1.2599 x 1.3201455 / 1.3211455) x (0.505 x 1.3201455 / 1.3211455) = 0.0309
    const double a = 1.2599 * 1.3201455 / (1.3201455 + 0.001);
    const double b = 0.505 * 1.3201455 / (1.3201455 + 0.001);
    EXPECT_DOUBLE_EQ(ToleratedAmbientPressure(one, model), (1.3201455 - a) * b);

    TissueState low;
    low.pN2[3] = 0.5;
    low.pTotal[3] = 0.5;  // below its a: a negative tolerance
    EXPECT_EQ(ToleratedAmbientPressure(low, model), 0);

    // Helium and nitrogen coefficients are weighted by the two gas pressures.
    TissueState trimix;
    trimix.pN2[2] = 2.0;
    trimix.pHe[2] = 1.0;
    trimix.pTotal[2] = 3.0;
    const double mixedA = (1.383 * 1.0 + 1.0 * 2.0) / 3.001;
    const double mixedB = (0.5747 * 1.0 + 0.6514 * 2.0) / 3.001;
    EXPECT_DOUBLE_EQ(ToleratedAmbientPressure(trimix, model), (3.0 - mixedA) * mixedB);

    // Only compartments from the first used one take part.
    TissueState tissues;
    InitTissues(tissues, 0.79, 1000);
    SaturateTissues(tissues, model, 1000, 40, 1, 78, 0);
    EXPECT_EQ(tissues.pN2[0], 0.79);  // untouched without compartment 0
    EXPECT_EQ(tissues.pTotal[0], 0);
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

}  // namespace
}  // namespace marelos
