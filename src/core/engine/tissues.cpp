#include "tissues.h"

#include <cmath>

namespace marelos {
namespace {

void SaturateWithFactors(TissueState& tissues, int firstCompartment, double ambient,
                         double n2Percent, double hePercent, const CompartmentValues& factorN2,
                         const CompartmentValues& factorHe) {
    const double inspiredN2 = (ambient - kWaterVapourPressure) * n2Percent / 100;
    const double inspiredHe = (ambient - kWaterVapourPressure) * hePercent / 100;
    for (int c = firstCompartment; c <= kLastCompartment; ++c) {
        tissues.pN2[c] = tissues.pN2[c] + factorN2[c] * (inspiredN2 - tissues.pN2[c]);
        tissues.pHe[c] = tissues.pHe[c] + factorHe[c] * (inspiredHe - tissues.pHe[c]);
        tissues.pTotal[c] = tissues.pHe[c] + tissues.pN2[c];
    }
}

}  // namespace

double AmbientPressure(double depth, double airPressureMbar) {
    return depth * 10.1043 / 100 + airPressureMbar / 1000;
}

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
                     double depth, double time, double n2Percent, double hePercent) {
    CompartmentValues factorN2{};
    CompartmentValues factorHe{};
    for (int c = model.firstCompartment; c <= kLastCompartment; ++c) {
        factorN2[c] = SaturationFactor(model.timeFactor, time, model.halfTimeN2[c]);
        factorHe[c] = SaturationFactor(model.timeFactor, time, model.halfTimeHe[c]);
    }
    SaturateWithFactors(tissues, model.firstCompartment, AmbientPressure(depth, airPressureMbar),
                        n2Percent, hePercent, factorN2, factorHe);
}

double ToleratedAmbientPressure(const TissueState& tissues, const ModelParameters& model) {
    double result = 0.0;
    for (int c = model.firstCompartment; c <= kLastCompartment; ++c) {
        const double gas = tissues.pHe[c] + tissues.pN2[c] + 0.001;
        const double a = (model.aHe[c] * tissues.pHe[c] + model.aN2[c] * tissues.pN2[c]) / gas;
        const double b = (model.bHe[c] * tissues.pHe[c] + model.bN2[c] * tissues.pN2[c]) / gas;
        const double tolerated = (tissues.pTotal[c] - a) * b;
        if (tolerated > result) result = tolerated;
    }
    return result;
}

TissueStepper::TissueStepper(const ModelParameters& model, double airPressureMbar)
    : model_(model), airPressure_(airPressureMbar) {
    for (int c = model.firstCompartment; c <= kLastCompartment; ++c) {
        minuteN2_[c] = SaturationFactor(model.timeFactor, 1.0, model.halfTimeN2[c]);
        minuteHe_[c] = SaturationFactor(model.timeFactor, 1.0, model.halfTimeHe[c]);
        tenthN2_[c] = SaturationFactor(model.timeFactor, 0.1, model.halfTimeN2[c]);
        tenthHe_[c] = SaturationFactor(model.timeFactor, 0.1, model.halfTimeHe[c]);
    }
}

void TissueStepper::Saturate(TissueState& tissues, double depth, double time, double n2Percent,
                             double hePercent) const {
    if (time == 1.0) {
        SaturateWithFactors(tissues, model_.firstCompartment, AmbientPressure(depth), n2Percent,
                            hePercent, minuteN2_, minuteHe_);
    } else if (time == 0.1) {
        SaturateWithFactors(tissues, model_.firstCompartment, AmbientPressure(depth), n2Percent,
                            hePercent, tenthN2_, tenthHe_);
    } else {
        SaturateTissues(tissues, model_, airPressure_, depth, time, n2Percent, hePercent);
    }
}

double TissueStepper::AmbientPressure(double depth) const {
    return marelos::AmbientPressure(depth, airPressure_);
}

}  // namespace marelos
