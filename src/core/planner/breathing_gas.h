#pragma once

#include <string>
#include <string_view>

#include "core/engine/water.h"
#include "core/profile/dive_profile.h"

namespace marelos {

// A breathing gas of the planner: the shares of oxygen, nitrogen and helium in per cent. A gas
// set as O2/He has no argon (its nitrogen is the rest to 100); the gas of a profile line keeps
// the program's one per cent of argon (its oxygen is 99 - N2 - He).
struct BreathingGas {
    double o2 = 21;
    double n2 = 78;
    double he = 0;

    static BreathingGas FromOxygenHelium(double o2, double he) { return {o2, 100 - o2 - he, he}; }
    static BreathingGas FromProfileLine(double n2, double he) { return {99 - n2 - he, n2, he}; }

    // The shares the engine's tissues and records take.
    GasShares Shares() const { return {n2, he}; }
    double Inert() const { return n2 + he; }

    bool operator==(const BreathingGas&) const = default;
};

// "Luft", "EAN50", "O2", "Trimix 21/35", "Heliox 21/79": how the plan, the table and the slate
// name a gas.
std::string GasName(const BreathingGas& gas, std::string_view decimalSeparator = ".");
// The ambient pressure at a depth, bar, in the given water.
inline double AmbientPressureIn(double depth, double airPressureMbar, double water) {
    return depth * water / 100 + airPressureMbar / 1000;
}

// "21/35": oxygen and helium, as the settings write a gas.
std::string OxygenHeliumText(const BreathingGas& gas);

// The depth of an ambient pressure, m (may be negative above the surface).
double DepthOfPressure(double pressure, double airPressureMbar, double water);

// The depth at which the gas reaches an oxygen partial pressure, m; 0 when that lies above the
// surface. Its maximum operating depth at the upper limit, its minimum depth at the lower one.
double DepthAtPpO2(const BreathingGas& gas, double ppO2, double airPressureMbar, double water);
// The maximum operating depth at the limit, rounded to the nearest multiple of 3 m (a tie to the
// shallower one): where a decompression gas is switched to unless its depth is set.
double DefaultSwitchDepth(const BreathingGas& gas, double ppO2Limit, double airPressureMbar,
                          double water);

// The equivalent narcotic depth, m: the depth at which air is as narcotic as the gas at this
// depth; oxygen counts as narcotic or not.
double EquivalentNarcoticDepth(const BreathingGas& gas, double depth, bool oxygenNarcotic,
                               double airPressureMbar, double water);
// The density of the gas at the depth, g/l (the gases' densities at 0 °C and 1.01325 bar).
double GasDensity(const BreathingGas& gas, double depth, double airPressureMbar, double water);

}  // namespace marelos
