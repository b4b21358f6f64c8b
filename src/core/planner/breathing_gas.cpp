#include "breathing_gas.h"

#include <algorithm>
#include <cmath>

#include "core/text/number_format.h"

namespace marelos {
namespace {

// Densities at 0 °C and 1.01325 bar, g/l.
constexpr double kOxygenDensity = 1.429;
constexpr double kNitrogenDensity = 1.2506;
constexpr double kHeliumDensity = 0.1786;
constexpr double kArgonDensity = 1.784;
constexpr double kStandardPressure = 1.01325;  // bar

// Air as the narcotic reference: 21 % oxygen and 79 % nitrogen.
constexpr double kAirNitrogen = 0.79;

}  // namespace

std::string GasName(const BreathingGas& gas, std::string_view separator) {
    const std::string o2 = FormatGeneral(gas.o2, separator);
    if (gas.he <= 0) {
        if (gas.o2 >= 100) return "O2";
        if (gas.o2 == 21) return "Luft";
        return "EAN" + o2;
    }
    const std::string mix = o2 + "/" + FormatGeneral(gas.he, separator);
    return (gas.n2 <= 0 ? "Heliox " : "Trimix ") + mix;
}

std::string OxygenHeliumText(const BreathingGas& gas) {
    return FormatGeneral(gas.o2) + "/" + FormatGeneral(gas.he);
}

double DepthOfPressure(double pressure, double airPressureMbar, double water) {
    return (pressure - airPressureMbar / 1000) * 100 / water;
}

double DepthAtPpO2(const BreathingGas& gas, double ppO2, double airPressureMbar, double water) {
    if (!(gas.o2 > 0)) return 0;
    return std::max(0.0, DepthOfPressure(ppO2 * 100 / gas.o2, airPressureMbar, water));
}

double DefaultSwitchDepth(const BreathingGas& gas, double ppO2Limit, double airPressureMbar,
                          double water) {
    const double mod = DepthAtPpO2(gas, ppO2Limit, airPressureMbar, water);
    return 3 * std::ceil(mod / 3 - 0.5);
}

double EquivalentNarcoticDepth(const BreathingGas& gas, double depth, bool oxygenNarcotic,
                               double airPressureMbar, double water) {
    const double ambient = AmbientPressureIn(depth, airPressureMbar, water);
    const double narcotic =
        oxygenNarcotic ? ambient * (gas.n2 + gas.o2) / 100 : ambient * gas.n2 / 100 / kAirNitrogen;
    return std::max(0.0, DepthOfPressure(narcotic, airPressureMbar, water));
}

double GasDensity(const BreathingGas& gas, double depth, double airPressureMbar, double water) {
    const double argon = std::max(0.0, 100 - gas.o2 - gas.n2 - gas.he);
    const double standard = (gas.o2 * kOxygenDensity + gas.n2 * kNitrogenDensity +
                             gas.he * kHeliumDensity + argon * kArgonDensity) /
                            100;
    return standard * AmbientPressureIn(depth, airPressureMbar, water) / kStandardPressure;
}

}  // namespace marelos
