#include "tissue_segments.h"

#include <cmath>
#include <numbers>

namespace marelos {

SegmentLoader::SegmentLoader(const ModelParameters& model, double airPressureMbar, double water)
    : model_(model), airPressure_(airPressureMbar), water_(water) {
    for (int c = model.firstCompartment; c <= kLastCompartment; ++c) {
        rateN2_[c] = std::numbers::ln2 * model.timeFactor / model.halfTimeN2[c];
        rateHe_[c] = std::numbers::ln2 * model.timeFactor / model.halfTimeHe[c];
    }
}

const SegmentLoader::Decay& SegmentLoader::DecayFor(double minutes) const {
    for (const Decay& decay : decays_) {
        if (decay.minutes == minutes) return decay;
    }
    Decay& decay = decays_[nextDecay_];
    nextDecay_ = (nextDecay_ + 1) % decays_.size();
    decay.minutes = minutes;
    for (int c = model_.firstCompartment; c <= kLastCompartment; ++c) {
        decay.n2[c] = std::exp(-rateN2_[c] * minutes);
        decay.he[c] = std::exp(-rateHe_[c] * minutes);
    }
    return decay;
}

void SegmentLoader::Constant(TissueState& tissues, double depth, double minutes,
                             const BreathingGas& gas) const {
    if (!(minutes > 0)) return;
    const Decay& decay = DecayFor(minutes);
    const double dry = Ambient(depth) - kWaterVapourPressure;
    const double inspiredN2 = dry * gas.n2 / 100;
    const double inspiredHe = dry * gas.he / 100;
    for (int c = model_.firstCompartment; c <= kLastCompartment; ++c) {
        tissues.pN2[c] = inspiredN2 + (tissues.pN2[c] - inspiredN2) * decay.n2[c];
        tissues.pHe[c] = inspiredHe + (tissues.pHe[c] - inspiredHe) * decay.he[c];
        tissues.pTotal[c] = tissues.pHe[c] + tissues.pN2[c];
    }
}

void SegmentLoader::Linear(TissueState& tissues, double fromDepth, double toDepth, double minutes,
                           const BreathingGas& gas) const {
    if (!(minutes > 0)) return;
    const Decay& decay = DecayFor(minutes);
    const double dry = Ambient(fromDepth) - kWaterVapourPressure;
    const double pressureRate = (Ambient(toDepth) - Ambient(fromDepth)) / minutes;
    const auto load = [&](double& pressure, double share, double rate, double decayed) {
        const double inspired = dry * share / 100;
        const double change = pressureRate * share / 100;
        pressure = inspired + change * (minutes - 1 / rate) -
                   (inspired - pressure - change / rate) * decayed;
    };
    for (int c = model_.firstCompartment; c <= kLastCompartment; ++c) {
        load(tissues.pN2[c], gas.n2, rateN2_[c], decay.n2[c]);
        load(tissues.pHe[c], gas.he, rateHe_[c], decay.he[c]);
        tissues.pTotal[c] = tissues.pHe[c] + tissues.pN2[c];
    }
}

double ToleratedPressureAtGf(const TissueState& tissues, const ModelParameters& model, double gf) {
    if (gf == 1.0) return ToleratedAmbientPressure(tissues, model);
    double result = 0.0;
    for (int c = model.firstCompartment; c <= kLastCompartment; ++c) {
        const double gas = tissues.pHe[c] + tissues.pN2[c] + 0.001;
        const double a = (model.aHe[c] * tissues.pHe[c] + model.aN2[c] * tissues.pN2[c]) / gas;
        const double b = (model.bHe[c] * tissues.pHe[c] + model.bN2[c] * tissues.pN2[c]) / gas;
        const double tolerated = (tissues.pTotal[c] - a * gf) / (gf / b - gf + 1);
        if (tolerated > result) result = tolerated;
    }
    return result;
}

}  // namespace marelos
