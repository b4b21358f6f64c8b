#include "gas_plan.h"

#include <algorithm>
#include <cmath>

#include "core/planner/real_gas.h"
#include "core/planner/runtime_table.h"
#include "core/text/number_format.h"
#include "core/text/rounding.h"

namespace marelos {
namespace {

// A piece of the dive at one breathing rate: a linear change of depth, or a stay.
struct Piece {
    double from = 0;
    double to = 0;
    double minutes = 0;
    double endRunTime = 0;
    BreathingGas gas;
    double sac = 0;  // l/min at the surface
};

struct Ambient {
    double airPressureMbar;
    double water;
    double operator()(double depth) const {
        return AmbientPressureIn(depth, airPressureMbar, water);
    }
};

// Surface litres of a piece: the rate follows the ambient pressure, which changes linearly.
double Litres(const Piece& piece, const Ambient& ambient) {
    return piece.sac * piece.minutes * (ambient(piece.from) + ambient(piece.to)) / 2;
}

std::vector<Piece> Pieces(const Schedule& schedule, const GasPlanSettings& settings) {
    std::vector<Piece> pieces;
    const auto add = [&](const ScheduleSegment& segment, double sac) {
        if (segment.minutes > 0) {
            pieces.push_back({segment.fromDepth, segment.toDepth, segment.minutes,
                              segment.endRunTime, segment.gas, sac});
        }
    };
    for (const ScheduleSegment& segment : schedule.start.divePhase)
        add(segment, settings.sacBottom);
    for (const ScheduleSegment& segment : schedule.segments)
        add(segment, settings.sacDeco);
    return pieces;
}

struct Moment {
    double runTime = 0;
    double depth = 0;
};

// When and where the gas breathed along the pieces has added up to `litres`.
std::optional<Moment> WhenUsed(const std::vector<Piece>& pieces, const BreathingGas& gas,
                               double litres, const Ambient& ambient) {
    double total = 0;
    for (const Piece& piece : pieces) {
        if (!SameMix(piece.gas, gas)) continue;
        const double used = Litres(piece, ambient);
        if (used > 0 && total + used >= litres) {
            // used(t) = sac·(P0·t + (P1 - P0)·t²/(2T)), solved for the litres still to go.
            const double need = std::max(0.0, litres - total);
            const double p0 = ambient(piece.from);
            const double a = piece.sac * (ambient(piece.to) - p0) / (2 * piece.minutes);
            const double b = piece.sac * p0;
            const double t =
                std::fabs(a) < 1e-12 ? need / b : (std::sqrt(b * b + 4 * a * need) - b) / (2 * a);
            const double within = std::clamp(t, 0.0, piece.minutes);
            return Moment{piece.endRunTime - piece.minutes + within,
                          piece.from + (piece.to - piece.from) * within / piece.minutes};
        }
        total += used;
    }
    return std::nullopt;
}

// Two divers at the stress rate: the time to solve a problem at the deepest point, the ascent
// from there to where the planned ascent starts, and the planned ascent on the bottom gas up to
// its first switch (or the surface), with its stops.
double MinimumGas(const Schedule& schedule, const GasPlanSettings& settings,
                  const PlannerSettings& planner, const Ambient& ambient) {
    const AscentStart& start = schedule.start;
    double deepest = start.depth;
    for (const ScheduleSegment& segment : start.divePhase)
        deepest = std::max({deepest, segment.fromDepth, segment.toDepth});
    double barMinutes = settings.problemMinutes * ambient(deepest);
    barMinutes += (deepest - start.depth) / planner.ascentRate *
                  (ambient(deepest) + ambient(start.depth)) / 2;
    for (const ScheduleSegment& segment : schedule.segments) {
        if (!SameMix(segment.gas, start.bottomGas)) break;
        barMinutes += segment.minutes * (ambient(segment.fromDepth) + ambient(segment.toDepth)) / 2;
    }
    return 2 * settings.sacBottom * settings.stressFactor * barMinutes;
}

// A gas of the dive: what the plan breathes of it, where first, and its cylinders in the order
// they are breathed from (the first of the settings last).
struct GasNeed {
    BreathingGas gas;
    double litres = 0;
    Moment first;
    std::vector<std::size_t> cylinders;
};

std::vector<GasNeed> GasNeeds(const std::vector<Piece>& pieces,
                              const std::vector<Cylinder>& cylinders, const Ambient& ambient) {
    std::vector<GasNeed> needs;
    for (const Piece& piece : pieces) {
        auto need = std::find_if(needs.begin(), needs.end(),
                                 [&](const GasNeed& n) { return SameMix(n.gas, piece.gas); });
        if (need == needs.end()) {
            needs.push_back({piece.gas, 0, {piece.endRunTime - piece.minutes, piece.from}, {}});
            need = needs.end() - 1;
        }
        need->litres += Litres(piece, ambient);
    }
    for (GasNeed& need : needs) {
        for (std::size_t i = 0; i < cylinders.size(); ++i) {
            if (SameMix(cylinders[i].gas, need.gas)) need.cylinders.push_back(i);
        }
        if (!need.cylinders.empty()) {
            std::rotate(need.cylinders.begin(), need.cylinders.begin() + 1, need.cylinders.end());
        }
    }
    return needs;
}

double KeptShare(TurnRule rule) {  // of the usable gas, when the diver turns
    switch (rule) {
        case TurnRule::Thirds:
            return 2.0 / 3;
        case TurnRule::Halves:
            return 0.5;
        case TurnRule::All:
            break;
    }
    return 0;
}

CylinderPressures Pressures(const CylinderUse& use, std::optional<double> turnContent,
                            bool realGas) {
    const Cylinder& c = use.cylinder;
    const double content = GasContent(c.gas, c.litres, c.fillBar, realGas);
    const auto bar = [&](double litres) {
        return PressureOfContent(c.gas, c.litres, std::min(litres, content), realGas);
    };
    CylinderPressures p;
    p.end = use.emptyAt ? 0 : bar(content - use.usedLitres);
    p.used = c.fillBar - p.end;
    // A reserve larger than the cylinder holds is shown as the pressure it would need.
    p.reserve = use.reserveLitres > content
                    ? PressureOfContent(c.gas, c.litres, use.reserveLitres, realGas)
                    : bar(use.reserveLitres);
    if (turnContent) p.turn = bar(*turnContent);
    return p;
}

std::string Whole(double value, std::string_view separator) {
    return FormatGeneral(RoundHalfEven(value), separator);
}

std::string CylinderName(const Cylinder& cylinder, std::string_view separator) {
    return "Die Flasche " + cylinder.name + " (" + GasName(cylinder.gas, separator) + ")";
}

}  // namespace

bool SameMix(const BreathingGas& a, const BreathingGas& b) {
    return std::fabs(a.o2 - b.o2) < 0.05 && std::fabs(a.he - b.he) < 0.05;
}

GasPlan PlanGas(const Schedule& schedule, const GasPlanSettings& settings,
                const PlannerSettings& planner, double airPressureMbar,
                std::string_view separator) {
    const Ambient ambient{airPressureMbar, planner.Water()};
    const std::vector<Piece> pieces = Pieces(schedule, settings);
    GasPlan plan;
    plan.realGas = settings.realGas;
    plan.minimumGasLitres = MinimumGas(schedule, settings, planner, ambient);
    for (const Cylinder& cylinder : settings.cylinders)
        plan.cylinders.push_back({cylinder, 0, 0, 0, {}, {}, {}, false, false});

    std::optional<double> turnContent;
    for (const GasNeed& need : GasNeeds(pieces, settings.cylinders, ambient)) {
        if (need.cylinders.empty()) {
            plan.warnings.push_back("Warnung: Für " + GasName(need.gas, separator) +
                                    " gibt es keine Flasche (ab " +
                                    Whole(need.first.depth, separator) + " m, Laufzeit " +
                                    RunTimeText(need.first.runTime, separator) + " min); " +
                                    Whole(need.litres, separator) + " l sind nicht eingeplant.");
            continue;
        }
        const bool bottomGas = SameMix(need.gas, schedule.start.bottomGas);
        double drawn = 0;  // litres of this gas the cylinders before have given
        for (const std::size_t index : need.cylinders) {
            CylinderUse& use = plan.cylinders[index];
            const bool main = index == need.cylinders.back();
            const double content = GasContent(use.cylinder.gas, use.cylinder.litres,
                                              use.cylinder.fillBar, settings.realGas);
            const double wanted =
                main ? need.litres - drawn : std::min(need.litres - drawn, content);
            use.usedLitres = std::min(wanted, content);
            if (wanted > content + 1e-9 || (!main && need.litres - drawn > content + 1e-9)) {
                use.emptyAt =
                    WhenUsed(pieces, need.gas, drawn + content, ambient).value_or(Moment{}).runTime;
                use.missingLitres = main ? wanted - content : 0;
            }
            if (main) {
                use.bottom = bottomGas;
                use.reserveLitres = bottomGas ? plan.minimumGasLitres : need.litres;
                use.belowReserve = !use.emptyAt && content - use.usedLitres < use.reserveLitres;
                if (bottomGas) {
                    const double usable = std::max(0.0, content - use.reserveLitres);
                    turnContent = std::min(
                        content, use.reserveLitres + usable * KeptShare(settings.turnRule));
                    if (const auto turn =
                            WhenUsed(pieces, need.gas, drawn + content - *turnContent, ambient)) {
                        plan.turn = TurnPoint{turn->runTime, turn->depth, 0, use.cylinder.name};
                    }
                }
            }
            drawn += use.usedLitres;
        }
    }

    for (CylinderUse& use : plan.cylinders) {
        std::optional<double> turn;
        if (use.bottom) turn = turnContent;
        use.pressures = Pressures(use, turn, settings.realGas);
        use.ideal = Pressures(use, turn, false);
        if (use.bottom && plan.turn) plan.turn->bar = *use.pressures.turn;
        const std::string name = CylinderName(use.cylinder, separator);
        if (use.emptyAt) {
            plan.warnings.push_back(
                "Warnung: " + name + " ist bei Laufzeit " + RunTimeText(*use.emptyAt, separator) +
                " min leer." +
                (use.missingLitres > 0 ? " Es fehlen " + Whole(use.missingLitres, separator) + " l."
                                       : ""));
        } else if (use.belowReserve) {
            plan.warnings.push_back("Warnung: " + name + " endet mit " +
                                    Whole(use.pressures.end, separator) +
                                    " bar, unter ihrer Reserve von " +
                                    Whole(use.pressures.reserve, separator) + " bar.");
        }
    }
    return plan;
}

}  // namespace marelos
