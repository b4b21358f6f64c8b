#pragma once

#include <array>

namespace marelos::vpmb {

// The varying-permeability bubble model (VPM-B) of Yount, Hoffman and Baker for one compartment
// and one gas: the nuclei (gas micro-nuclei whose skin of surfactant keeps them from dissolving),
// how a descent crushes them, how they regenerate, and the supersaturation they allow.
//
// Units: pressures in bar, radii in micrometres, surface tensions in bar µm (1 N/m is 10 bar µm),
// times in minutes. The published constants keep their published units in the comments.

inline constexpr double kBarPerAtm = 1.01325;
inline constexpr double kBarMicronPerNewtonPerMetre = 10;

// The critical radii of the nuclei at conservatism 0, and the factors by which the conservatism
// +1 .. +4 enlarges them: larger nuclei allow less supersaturation.
inline constexpr double kCriticalRadiusN2 = 0.55;  // µm
inline constexpr double kCriticalRadiusHe = 0.45;  // µm
inline constexpr std::array<double, 5> kConservatismFactors = {1.0, 1.05, 1.12, 1.22, 1.35};

// gamma, the surface tension of the nucleus (0.0179 N/m), and gamma c, the skin's resistance to
// compression (0.257 N/m).
inline constexpr double kSurfaceTension = 0.0179 * kBarMicronPerNewtonPerMetre;  // bar µm
inline constexpr double kSkinCompression = 0.257 * kBarMicronPerNewtonPerMetre;  // bar µm
// Beyond this crushing gradient (8.2 atm) the skin lets no more gas through: the gas inside a
// nucleus is then compressed by Boyle's law.
inline constexpr double kOnsetOfImpermeability = 8.2 * kBarPerAtm;  // bar
// Oxygen, carbon dioxide and water vapour in the tissue (102 mmHg), on top of the inert gases.
inline constexpr double kOtherGases = 102.0 / 760.0 * kBarPerAtm;  // bar
// Crushed nuclei grow back to their critical radius with this time constant (14 days).
inline constexpr double kRegenerationTime = 20160;  // min
// lambda of the critical volume algorithm (6500 fsw min, 33 fsw to the atmosphere).
inline constexpr double kLambda = 6500.0 / 33.0 * kBarPerAtm;  // bar min

// The critical volume algorithm plans again until the decompression time changes by no more
// than this, and gives up after so many plans.
inline constexpr double kConvergedMinutes = 1;
inline constexpr int kMostCriticalVolumePlans = 40;

struct CriticalRadii {
    double n2 = 0;  // µm
    double he = 0;  // µm
};

// The critical radii at a conservatism of 0 to 4 (a value outside is taken as the nearest end).
CriticalRadii CriticalRadiiAt(int conservatism);

// The radius to which a crushing pressure (bar) shrinks a nucleus of critical radius r0 while its
// skin lets gas through, µm.
double CrushedRadius(double r0, double crushingPressure);

// The crushing pressure at the end of a descent to `endAmbient` for a nucleus that became
// impermeable at `onsetAmbient`, when the tissue held `onsetTension` (inert and other gases):
// from there on the gas inside it is compressed by Boyle's law, which resists the crushing.
double ImpermeableCrushingPressure(double r0, double onsetAmbient, double onsetTension,
                                   double endAmbient);

// The crushing pressure still in effect after the nuclei crushed by `crushingPressure` have
// regenerated towards their critical radius r0 for `minutes`.
double RegeneratedCrushingPressure(double r0, double crushingPressure, double minutes);

// The supersaturation (bar) a nucleus of critical radius r0 crushed by `crushingPressure` allows
// before it grows: 2 gamma (gamma c - gamma) / (gamma c r) at its crushed radius r.
double InitialGradient(double r0, double crushingPressure);

// The critical volume algorithm: the larger supersaturation allowed when it lasts only
// `phaseVolumeMinutes` (the decompression and the surface's share of the release of the gas),
// because the gas set free then stays below the critical volume. It tends to the initial gradient
// as the time grows.
double CriticalVolumeGradient(double initialGradient, double crushingPressure,
                              double phaseVolumeMinutes);

// Boyle's law: a bubble that allows `gradient` (bar) at the first stop's ambient pressure has grown
// by the next stop's; the smaller supersaturation it allows there.
double BoyleCompensatedGradient(double gradient, double firstStopPressure, double nextStopPressure);

// The surface's share of the phase volume time, min: how long the supersaturation left on
// surfacing (pN2 + pHe over the surface state surfaceN2) lasts, as its time integral over its
// initial value; rates are ln 2 / half-time per minute.
double SurfacePhaseVolumeTime(double pN2, double pHe, double surfaceN2, double rateN2,
                              double rateHe);

}  // namespace marelos::vpmb
