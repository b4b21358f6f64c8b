#include "bubble_model.h"

#include <algorithm>
#include <cmath>

namespace marelos::vpmb {
namespace {

// 2 (gamma c - gamma): the skin's net resistance to a change of radius, bar µm.
constexpr double kSkin = 2 * (kSkinCompression - kSurfaceTension);

// The root of the cubic a r^3 + b r^2 - c (a, c > 0) at or below `above`, where the cubic rises
// and is convex from the root up: Newton's steps from there descend to the root without
// overshooting it. Ends after a bounded number of steps whatever the numbers.
double CubicRoot(double a, double b, double c, double above) {
    double r = above;
    for (int step = 0; step < 100; ++step) {
        const double next = r - ((a * r + b) * r * r - c) / ((3 * a * r + 2 * b) * r);
        if (!(std::fabs(next - r) > 1e-14 * r)) return next;
        r = next;
    }
    return r;
}

}  // namespace

CriticalRadii CriticalRadiiAt(int conservatism) {
    const int level =
        std::clamp(conservatism, 0, static_cast<int>(kConservatismFactors.size()) - 1);
    const double factor = kConservatismFactors[static_cast<std::size_t>(level)];
    return {kCriticalRadiusN2 * factor, kCriticalRadiusHe * factor};
}

double CrushedRadius(double r0, double crushingPressure) {
    return 1 / (1 / r0 + crushingPressure / kSkin);
}

double ImpermeableCrushingPressure(double r0, double onsetAmbient, double onsetTension,
                                   double endAmbient) {
    // In balance the crushing pressure (ambient less the gas inside) equals
    // 2 (gamma c - gamma) (1/r - 1/r0); inside, pressure x r^3 stays that of the onset.
    const double onsetRadius = CrushedRadius(r0, kOnsetOfImpermeability);
    const double inside = onsetTension * onsetRadius * onsetRadius * onsetRadius;
    const double radius = CubicRoot(endAmbient + kSkin / r0, -kSkin, inside, onsetRadius);
    const double compressed = std::pow(onsetRadius / radius, 3);
    return kOnsetOfImpermeability + (endAmbient - onsetAmbient) + onsetTension * (1 - compressed);
}

double RegeneratedCrushingPressure(double r0, double crushingPressure, double minutes) {
    const double crushed = CrushedRadius(r0, crushingPressure);
    const double regenerated = r0 + (crushed - r0) * std::exp(-minutes / kRegenerationTime);
    return kSkin * (1 / regenerated - 1 / r0);
}

double InitialGradient(double r0, double crushingPressure) {
    return 2 * kSurfaceTension * (kSkinCompression - kSurfaceTension) /
           (kSkinCompression * CrushedRadius(r0, crushingPressure));
}

double CriticalVolumeGradient(double initialGradient, double crushingPressure,
                              double phaseVolumeMinutes) {
    // The gradient G solves G^2 - b G + c = 0 with b and c below; the larger root. A time of
    // (almost) nothing allows (almost) any gradient, never an infinite one.
    const double minutes = std::max(phaseVolumeMinutes, 1e-3);
    const double ratio = kSurfaceTension / kSkinCompression;
    const double b = initialGradient + kLambda * ratio / minutes;
    const double c = ratio * ratio * kLambda * crushingPressure / minutes;
    return (b + std::sqrt(std::max(0.0, b * b - 4 * c))) / 2;
}

double BoyleCompensatedGradient(double gradient, double firstStopPressure,
                                double nextStopPressure) {
    if (!(nextStopPressure < firstStopPressure) || !(gradient > 0)) return gradient;
    // The bubble in balance at the first stop has radius 2 gamma / gradient; its gas,
    // (ambient + 2 gamma / r) r^3, stays the same as it grows.
    const double radius = 2 * kSurfaceTension / gradient;
    const double gas = (firstStopPressure + gradient) * radius * radius * radius;
    const double largest = radius * std::cbrt(firstStopPressure / nextStopPressure);
    const double grown = CubicRoot(nextStopPressure, 2 * kSurfaceTension, gas, largest);
    return 2 * kSurfaceTension / grown;
}

double SurfacePhaseVolumeTime(double pN2, double pHe, double surfaceN2, double rateN2,
                              double rateHe) {
    // The supersaturation g(t) = pHe e^(-kHe t) + (pN2 - surfaceN2) e^(-kN2 t).
    const double initial = pHe + pN2 - surfaceN2;
    if (!(initial > 0)) return 0;
    if (pN2 >= surfaceN2 || !(rateHe > rateN2)) {
        // It never reaches zero: the integral to the end of time.
        return (pHe / rateHe + (pN2 - surfaceN2) / rateN2) / initial;
    }
    // The faster helium leaves, the nitrogen still taken up cancels it at zeroTime.
    const double zeroTime = std::log((surfaceN2 - pN2) / pHe) / (rateN2 - rateHe);
    const double integral = pHe / rateHe * (1 - std::exp(-rateHe * zeroTime)) +
                            (pN2 - surfaceN2) / rateN2 * (1 - std::exp(-rateN2 * zeroTime));
    return integral / initial;
}

}  // namespace marelos::vpmb
