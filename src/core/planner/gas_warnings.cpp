#include "gas_warnings.h"

#include <algorithm>

#include "core/text/number_format.h"
#include "core/text/rounding.h"

namespace marelos {
namespace {

std::string Rounded(double value, int digits, std::string_view separator) {
    const double scale = digits == 2 ? 100 : digits == 1 ? 10 : 1;
    return FormatGeneral(RoundHalfEven(value * scale) / scale, separator);
}

void AddOnce(std::vector<std::string>& lines, std::string line) {
    if (std::find(lines.begin(), lines.end(), line) == lines.end())
        lines.push_back(std::move(line));
}

// The problems of a segment from one depth to another: the upper limits at its deepest point,
// the minimum oxygen at its shallowest.
void CheckSegment(std::vector<std::string>& warnings, const BreathingGas& gas, double from,
                  double to, DivePhase phase, const PlannerSettings& settings, double air,
                  std::string_view separator) {
    const auto report = [&](double depth, bool lowOxygen) {
        for (const GasProblem& problem :
             GasProblemsAt(gas, depth, phase, settings, air, separator)) {
            if (problem.lowOxygen != lowOxygen) continue;
            AddOnce(warnings, "Warnung: " + problem.text + " auf " +
                                  FormatGeneral(RoundHalfEven(depth), separator) + " m mit " +
                                  GasName(gas, separator) +
                                  (phase == DivePhase::Bottom ? " (Tauchphase)." : " (Aufstieg)."));
        }
    };
    report(std::max(from, to), false);
    report(std::min(from, to), true);
}

}  // namespace

std::vector<GasProblem> GasProblemsAt(const BreathingGas& gas, double depth, DivePhase phase,
                                      const PlannerSettings& settings, double air,
                                      std::string_view separator) {
    std::vector<GasProblem> problems;
    const double water = settings.Water();
    const double ppO2 = AmbientPressureIn(depth, air, water) * gas.o2 / 100;
    const double maxPpO2 =
        phase == DivePhase::Bottom ? settings.maxPpO2Bottom : settings.maxPpO2Deco;
    if (ppO2 > maxPpO2) {
        problems.push_back({"ppO2 " + Rounded(ppO2, 2, separator) + " bar über " +
                            FormatGeneral(maxPpO2, separator) + " bar"});
    }
    if (ppO2 < settings.minPpO2) {
        problems.push_back({"ppO2 " + Rounded(ppO2, 2, separator) + " bar unter " +
                                FormatGeneral(settings.minPpO2, separator) + " bar",
                            true});
    }
    const double end = EquivalentNarcoticDepth(gas, depth, settings.oxygenNarcotic, air, water);
    if (end > settings.endLimit) {
        problems.push_back({"END " + Rounded(end, 0, separator) + " m über " +
                            FormatGeneral(settings.endLimit, separator) + " m"});
    }
    const double density = GasDensity(gas, depth, air, water);
    if (density > settings.densityLimit) {
        problems.push_back({"Gasdichte " + Rounded(density, 1, separator) +
                            " g/l über der Grenze von " +
                            FormatGeneral(settings.densityLimit, separator) + " g/l"});
    } else if (density > settings.densityWarn) {
        problems.push_back({"Gasdichte " + Rounded(density, 1, separator) + " g/l über " +
                            FormatGeneral(settings.densityWarn, separator) + " g/l"});
    }
    return problems;
}

std::vector<std::string> PlannerGasWarnings(const Schedule& schedule,
                                            const PlannerSettings& settings, double air,
                                            std::string_view separator) {
    std::vector<std::string> warnings;
    for (const ScheduleSegment& segment : schedule.start.divePhase) {
        CheckSegment(warnings, segment.gas, segment.fromDepth, segment.toDepth, DivePhase::Bottom,
                     settings, air, separator);
    }
    // The ascent in legs of one gas each. The first leg's deepest point on the bottom gas is
    // where the dive phase ended, which its own (stricter) limits judged already.
    BreathingGas breathed = schedule.start.bottomGas;
    const std::vector<ScheduleSegment>& segments = schedule.segments;
    for (std::size_t first = 0; first < segments.size();) {
        std::size_t last = first;
        while (last + 1 < segments.size() && segments[last + 1].gas == segments[first].gas)
            ++last;
        const ScheduleSegment& leg = segments[first];
        const double heliumDrop = breathed.he - leg.gas.he;
        if (heliumDrop > 0 && leg.gas.n2 - breathed.n2 > heliumDrop / 5) {
            AddOnce(warnings,
                    "Warnung: Gegendiffusion beim Wechsel auf " + GasName(leg.gas, separator) +
                        " auf " + FormatGeneral(RoundHalfEven(leg.fromDepth), separator) +
                        " m: N2 steigt um " + FormatGeneral(leg.gas.n2 - breathed.n2, separator) +
                        " %, He fällt um " + FormatGeneral(heliumDrop, separator) + " %.");
        }
        const bool bottomLeg = first == 0 && leg.gas == schedule.start.bottomGas;
        CheckSegment(warnings, leg.gas, bottomLeg ? segments[last].toDepth : leg.fromDepth,
                     segments[last].toDepth, DivePhase::Ascent, settings, air, separator);
        breathed = leg.gas;
        first = last + 1;
    }
    return warnings;
}

}  // namespace marelos
