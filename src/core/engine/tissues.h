#pragma once

#include "core/engine/model_parameters.h"
#include "core/engine/water.h"

namespace marelos {

// The inert-gas pressures of compartments 0 to 16, in bar.
struct TissueState {
    CompartmentValues pN2{};
    CompartmentValues pHe{};
    CompartmentValues pTotal{};  // pN2 + pHe as of the last saturation step

    bool operator==(const TissueState&) const = default;
};

inline constexpr double kWaterVapourPressure = 0.0627;  // bar

// depth x 10.1043 / 100 + air pressure / 1000, in bar (sea water, air pressure in mbar).
inline double AmbientPressure(double depth, double airPressureMbar, double water = kSaltWater) {
    return depth * water / 100 + airPressureMbar / 1000;
}

// 10 m per bar above a surface of exactly 1 bar: pressure x 10 - 10, in metres.
double DepthFromPressure(double pressure);

// The surface state at the start of a dive: every compartment 0..16 holds the initial nitrogen
// fraction of the air pressure and no helium; pTotal is 0 until the first saturation step.
void InitTissues(TissueState& tissues, double initialPpN2, double airPressureMbar);

// 1 - 2^(-timeFactor x time / halfTime): the share of the way to the inspired pressure that a
// compartment makes in `time` minutes.
double SaturationFactor(double timeFactor, double time, double halfTime);

// A stay of `time` minutes at the constant depth, breathing n2Percent / hePercent, for the
// compartments firstCompartment..16.
void SaturateTissues(TissueState& tissues, const ModelParameters& model, double airPressureMbar,
                     double depth, double time, double n2Percent, double hePercent,
                     double water = kSaltWater);

// The tolerated ambient pressure of the leading compartment, never below 0. The lower-numbered
// compartment leads when two tolerate exactly the same pressure.
double ToleratedAmbientPressure(const TissueState& tissues, const ModelParameters& model);

// The gas pressures breathed, in bar: (ambient pressure - water vapour) x share / 100.
struct InspiredPressures {
    double n2 = 0;
    double he = 0;
};

// Saturation steps of 1 and 0.1 minutes with their factors worked out once: the calculation
// walks thousands of such steps with one model, and the factors equal SaturationFactor's. The
// inspired pressures are kept for a step at the depth and gas of the one before, as on a stop
// or at the surface.
class TissueStepper {
  public:
    TissueStepper(const ModelParameters& model, double airPressureMbar, double water = kSaltWater);

    // SaturateTissues for a time of 1 or 0.1 minutes (any other time is computed directly).
    void Saturate(TissueState& tissues, double depth, double time, double n2Percent,
                  double hePercent);
    double AmbientPressure(double depth) const {
        return marelos::AmbientPressure(depth, airPressure_, water_);
    }

  private:
    const ModelParameters& model_;
    double airPressure_;
    double water_;
    CompartmentValues minuteN2_{}, minuteHe_{}, tenthN2_{}, tenthHe_{};
    bool inspiredKnown_ = false;
    std::array<double, 3> inspiredFor_{};  // depth, N2 and He of the last step
    InspiredPressures inspired_;
};

}  // namespace marelos
