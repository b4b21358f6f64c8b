#include "core/engine/tissues.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace marelos
