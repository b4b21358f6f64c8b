#include "tissues.h"

#include <cmath>
#include <cstring>

namespace marelos {
namespace {

// The gas pressures breathed at an ambient pressure, in bar.
InspiredPressures InspiredAt(double ambient, double n2Percent, double hePercent) {
    return {(ambient - kWaterVapourPressure) * n2Percent / 100,
            (ambient - kWaterVapourPressure) * hePercent / 100};
}

// The saturation step and the tolerated pressure are the calculation's per-minute work, so they
// also come in a version for processors with AVX2, chosen when the program loads: four
// compartments per instruction instead of two. IEEE division, multiplication, addition and
// subtraction give the same bits in both versions, and AVX2 brings no fused multiply-add, so
// nothing is contracted either.
[[gnu::target_clones("avx2", "default")]] void SaturateWithFactors(
    TissueState& tissues, int firstCompartment, InspiredPressures inspired,
    const CompartmentValues& factorN2, const CompartmentValues& factorHe) {
    // The new pressures go to local arrays first, so the compiler knows that no store into the
    // tissues changes a factor; compartments 1 to 16 run as one loop of fixed length, and
    // compartment 0 (firstCompartment is 0 or 1) on its own. The compiler then works on several
    // compartments at once; each compartment's arithmetic stays exactly as written.
    CompartmentValues n2;  // compartment 0 stays unset when it does not take part
    CompartmentValues he;
    const auto step = [&](int c) {
        n2[c] = tissues.pN2[c] + factorN2[c] * (inspired.n2 - tissues.pN2[c]);
        he[c] = tissues.pHe[c] + factorHe[c] * (inspired.he - tissues.pHe[c]);
    };
    const auto store = [&](int c) {
        tissues.pN2[c] = n2[c];
        tissues.pHe[c] = he[c];
        tissues.pTotal[c] = he[c] + n2[c];
    };
    if (firstCompartment == 0) step(0);
    for (int c = 1; c <= kLastCompartment; ++c)
        step(c);
    if (firstCompartment == 0) store(0);
    for (int c = 1; c <= kLastCompartment; ++c)
        store(c);
}

}  // namespace

double DepthFromPressure(double pressure) {
    return pressure * 10 - 10;
}

void InitTissues(TissueState& tissues, double initialPpN2, double airPressureMbar) {
    for (int c = 0; c <= kLastCompartment; ++c) {
        tissues.pN2[c] = initialPpN2 * airPressureMbar / 1000;
        tissues.pHe[c] = 0;
        tissues.pTotal[c] = 0;
    }
}

double SaturationFactor(double timeFactor, double time, double halfTime) {
    return 1 - std::pow(2.0, -timeFactor * time / halfTime);
}

void SaturateTissues(TissueState& tissues, const ModelParameters& model, double airPressureMbar,
                     double depth, double time, double n2Percent, double hePercent, double water) {
    CompartmentValues factorN2{};
    CompartmentValues factorHe{};
    for (int c = model.firstCompartment; c <= kLastCompartment; ++c) {
        factorN2[c] = SaturationFactor(model.timeFactor, time, model.halfTimeN2[c]);
        factorHe[c] = SaturationFactor(model.timeFactor, time, model.halfTimeHe[c]);
    }
    SaturateWithFactors(
        tissues, model.firstCompartment,
        InspiredAt(AmbientPressure(depth, airPressureMbar, water), n2Percent, hePercent), factorN2,
        factorHe);
}

// Like the saturation step, in an AVX2 version too: its divisions bound the calculation's speed.
[[gnu::target_clones("avx2", "default")]] double ToleratedAmbientPressure(
    const TissueState& tissues, const ModelParameters& model) {
    // Every compartment's value first (two divisions each, the costly part, which the compiler
    // does for several compartments at once), then the largest.
    CompartmentValues tolerated;
    const auto toleratedOf = [&](int c) {
        const double gas = tissues.pHe[c] + tissues.pN2[c] + 0.001;
        const double a = (model.aHe[c] * tissues.pHe[c] + model.aN2[c] * tissues.pN2[c]) / gas;
        const double b = (model.bHe[c] * tissues.pHe[c] + model.bN2[c] * tissues.pN2[c]) / gas;
        return (tissues.pTotal[c] - a) * b;
    };
    tolerated[0] = model.firstCompartment == 0 ? toleratedOf(0) : 0;  // firstCompartment: 0 or 1
    for (int c = 1; c <= kLastCompartment; ++c)
        tolerated[c] = toleratedOf(c);
    // Only a strictly larger value replaces the result, which starts at +0 and ignores NaN: the
    // largest value is then the same whichever compartment is looked at first, so two running
    // maxima (even and odd compartments) may share the work. A compartment that does not take
    // part holds 0 and changes nothing.
    double even = 0.0;
    double odd = 0.0;
    for (int c = 0; c + 1 <= kLastCompartment; c += 2) {
        even = tolerated[c] > even ? tolerated[c] : even;
        odd = tolerated[c + 1] > odd ? tolerated[c + 1] : odd;
    }
    even = tolerated[kLastCompartment] > even ? tolerated[kLastCompartment] : even;
    return odd > even ? odd : even;
}

TissueStepper::TissueStepper(const ModelParameters& model, double airPressureMbar, double water)
    : model_(model), airPressure_(airPressureMbar), water_(water) {
    for (int c = model.firstCompartment; c <= kLastCompartment; ++c) {
        minuteN2_[c] = SaturationFactor(model.timeFactor, 1.0, model.halfTimeN2[c]);
        minuteHe_[c] = SaturationFactor(model.timeFactor, 1.0, model.halfTimeHe[c]);
        tenthN2_[c] = SaturationFactor(model.timeFactor, 0.1, model.halfTimeN2[c]);
        tenthHe_[c] = SaturationFactor(model.timeFactor, 0.1, model.halfTimeHe[c]);
    }
}

void TissueStepper::Saturate(TissueState& tissues, double depth, double time, double n2Percent,
                             double hePercent) {
    const bool minute = time == 1.0;
    if (!minute && time != 0.1) {
        SaturateTissues(tissues, model_, airPressure_, depth, time, n2Percent, hePercent, water_);
        return;
    }
    const std::array<double, 3> inputs = {depth, n2Percent, hePercent};
    if (!inspiredKnown_ || std::memcmp(inputs.data(), inspiredFor_.data(), sizeof inputs) != 0) {
        inspiredKnown_ = true;
        inspiredFor_ = inputs;
        inspired_ = InspiredAt(AmbientPressure(depth), n2Percent, hePercent);
    }
    SaturateWithFactors(tissues, model_.firstCompartment, inspired_, minute ? minuteN2_ : tenthN2_,
                        minute ? minuteHe_ : tenthHe_);
}

}  // namespace marelos
