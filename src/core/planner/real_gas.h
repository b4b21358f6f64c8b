#pragma once

#include "core/planner/breathing_gas.h"

namespace marelos {

// Surface litres are litres of gas at this pressure, bar, as the breathing rates count them.
inline constexpr double kSurfaceLitrePressure = 1.01325;
// The highest fill pressure the compressibility model covers, bar.
inline constexpr double kHighestFillPressure = 350;

// The compressibility factor Z = pV/(nRT) of the gas at `bar` and 15 °C, the temperature at
// which cylinder fill pressures are stated. Each of oxygen, nitrogen and helium follows the
// virial expansion in pressure, Z = 1 + B'p + C'p² + D'p³ + E'p⁴, whose coefficients are fitted
// (within 0.04 % from 1 to 350 bar) to the reference equations of state: Schmidt & Wagner (1985)
// for oxygen, Span, Lemmon, Jacobsen, Wagner & Yokozeki (2000) for nitrogen, Ortiz-Vega et al.
// (2013) for helium. A mixture follows Amagat's law of additive volumes, Z = Σ xᵢ·Zᵢ(p).
double Compressibility(const BreathingGas& gas, double bar);

// The surface litres a cylinder of `waterLitres` holds at `bar`: as a real gas, or ideal.
double GasContent(const BreathingGas& gas, double waterLitres, double bar, bool realGas);
// The pressure, bar, at which the cylinder holds `content` surface litres (0 for none or less).
double PressureOfContent(const BreathingGas& gas, double waterLitres, double content, bool realGas);

}  // namespace marelos
