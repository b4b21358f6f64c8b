#include "real_gas.h"

#include <array>
#include <cmath>

namespace marelos {
namespace {

// Z - 1 of a pure gas at 15 °C as a polynomial in p/100 bar, lowest power first.
using Virial = std::array<double, 4>;
constexpr Virial kOxygen = {-0.075519182, 0.010501488, 0.0072399317, -0.0011123383};
constexpr Virial kNitrogen = {-0.030657332, 0.027985491, 0.00050943089, -0.00044105009};
constexpr Virial kHelium = {0.049627751, -0.00062993817, 3.3858949e-05, -1.8488495e-06};

// The mixture's polynomial: Amagat's law makes it the shares' sum of the gases' polynomials.
Virial MixtureVirial(const BreathingGas& gas) {
    Virial mix{};
    for (std::size_t k = 0; k < mix.size(); ++k) {
        mix[k] = (gas.o2 * kOxygen[k] + gas.n2 * kNitrogen[k] + gas.he * kHelium[k]) / 100;
    }
    return mix;
}

double Evaluate(const Virial& virial, double bar) {
    const double x = bar / 100;
    return 1 + x * (virial[0] + x * (virial[1] + x * (virial[2] + x * virial[3])));
}

double Slope(const Virial& virial, double bar) {  // dZ/dp, per bar
    const double x = bar / 100;
    return (virial[0] + x * (2 * virial[1] + x * (3 * virial[2] + x * 4 * virial[3]))) / 100;
}

}  // namespace

double Compressibility(const BreathingGas& gas, double bar) {
    return Evaluate(MixtureVirial(gas), bar);
}

double GasContent(const BreathingGas& gas, double waterLitres, double bar, bool realGas) {
    const double z = realGas ? Compressibility(gas, bar) : 1;
    return waterLitres * bar / (z * kSurfaceLitrePressure);
}

double PressureOfContent(const BreathingGas& gas, double waterLitres, double content,
                         bool realGas) {
    if (!(content > 0) || !(waterLitres > 0)) return 0;
    const double ideal = content * kSurfaceLitrePressure / waterLitres;  // p / Z(p)
    if (!realGas) return ideal;
    // Newton on f(p) = p - ideal·Z(p); Z changes slowly, so a few steps from the ideal
    // pressure reach the double's precision.
    const Virial virial = MixtureVirial(gas);
    double p = ideal * Evaluate(virial, ideal);
    for (int step = 0; step < 6; ++step) {
        const double f = p - ideal * Evaluate(virial, p);
        const double next = p - f / (1 - ideal * Slope(virial, p));
        if (std::fabs(next - p) < 1e-9 * p) return next;
        p = next;
    }
    return p;
}

}  // namespace marelos
