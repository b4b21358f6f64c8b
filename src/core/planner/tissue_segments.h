#pragma once

#include <array>
#include <vector>

#include "core/engine/tissues.h"
#include "core/planner/breathing_gas.h"

namespace marelos {

// The loading of the tissues on a segment of a planned ascent, for every model of the planner:
// a stay at one depth, or a depth that changes linearly with time, by the exact solution of the
// compartment equation for a linearly changing inspired pressure (Schreiner). The
// progressivity's time factor stretches the time as in every saturation step.
class SegmentLoader {
  public:
    SegmentLoader(const ModelParameters& model, double airPressureMbar, double water);

    double Ambient(double depth) const { return AmbientPressure(depth, airPressure_, water_); }
    // `minutes` at `depth`.
    void Constant(TissueState& tissues, double depth, double minutes,
                  const BreathingGas& gas) const;
    // From `fromDepth` to `toDepth` in `minutes`.
    void Linear(TissueState& tissues, double fromDepth, double toDepth, double minutes,
                const BreathingGas& gas) const;

    const ModelParameters& Model() const { return model_; }

  private:
    // exp(-k t) of every compartment for one duration, N2 and He; a plan uses a handful of
    // durations (a minute, a 3 m step, a gas switch) thousands of times.
    struct Decay {
        double minutes = -1;
        CompartmentValues n2{}, he{};
    };
    const Decay& DecayFor(double minutes) const;

    const ModelParameters& model_;
    double airPressure_;
    double water_;
    CompartmentValues rateN2_{}, rateHe_{};  // k = ln 2 x time factor / half-time, per minute
    mutable std::array<Decay, 8> decays_{};
    mutable std::size_t nextDecay_ = 0;
};

// The tolerated ambient pressure at a gradient factor gf (0..1]: per compartment
// (P - a gf) / (gf / b - gf + 1) with P = pN2 + pHe and a, b weighted by the compartment's N2 and
// He as the tolerated pressure weights them, the largest over the compartments, never below 0.
// At gf 1 it is exactly ToleratedAmbientPressure.
double ToleratedPressureAtGf(const TissueState& tissues, const ModelParameters& model, double gf);

}  // namespace marelos
