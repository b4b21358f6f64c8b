#include "contingency.h"

#include <algorithm>

#include "core/engine/calculation.h"
#include "core/planner/gas_warnings.h"
#include "core/planner/planner.h"
#include "core/planner/runtime_table.h"
#include "core/text/number_format.h"
#include "core/text/rounding.h"

namespace marelos {
namespace {

constexpr const char* kWithoutPlan = "Ohne vollständigen Plan gibt es keine Notfallpläne.";

Schedule PlanWithWarnings(const AscentStart& start, const ModelParameters& model,
                          const PlannerSettings& planner, const Settings& settings,
                          const StopMinimums& minimums) {
    Schedule schedule = PlanAscent(start, model, planner, settings.airPressure, minimums);
    schedule.warnings =
        PlannerGasWarnings(schedule, planner, settings.airPressure, settings.decimalSeparator);
    return schedule;
}

// The ascent of lines that cannot be walked (a table full of them) is no plan.
Schedule Unplannable(const std::string& reason) {
    Schedule schedule;
    schedule.reason = reason;
    return schedule;
}

PlannerSettings Without(const PlannerSettings& planner, std::size_t gas) {
    PlannerSettings fewer = planner;
    fewer.decoGases.erase(fewer.decoGases.begin() + static_cast<std::ptrdiff_t>(gas));
    return fewer;
}

ContingencyPlan Named(std::string name, Schedule schedule) {
    ContingencyPlan plan;
    plan.name = std::move(name);
    plan.schedule = std::move(schedule);
    return plan;
}

std::string Minutes(double runTime, std::string_view separator) {
    return RunTimeText(runTime, separator) + " min";
}

// Why the gas carried does not last the plan: each cylinder that runs empty or below its
// reserve.
std::string ShortfallOf(const GasPlan& gas, std::string_view separator) {
    std::string reason;
    for (const CylinderUse& use : gas.cylinders) {
        if (!use.emptyAt && !use.belowReserve) continue;
        reason += reason.empty() ? "Das Gas reicht nicht: " : "; ";
        reason += use.cylinder.name + " (" + GasName(use.cylinder.gas, separator) + ")";
        reason += use.emptyAt
                      ? " ist bei Laufzeit " + Minutes(*use.emptyAt, separator) + " leer"
                      : " endet mit " + FormatGeneral(RoundHalfEven(use.pressures.end), separator) +
                            " bar, unter der Reserve von " +
                            FormatGeneral(RoundHalfEven(use.pressures.reserve), separator) + " bar";
    }
    return reason.empty() ? reason : reason + ".";
}

void AddGas(ContingencyPlan& plan, const Settings& settings) {
    if (settings.gasPlan.cylinders.empty() || !plan.schedule.complete) return;
    plan.gas = PlanGas(plan.schedule, settings.gasPlan, settings.planner, settings.airPressure,
                       settings.decimalSeparator);
    plan.markReason = ShortfallOf(*plan.gas, settings.decimalSeparator);
    plan.marked = !plan.markReason.empty();
}

}  // namespace

std::vector<std::string> ContingencyPlan::Warnings() const {
    std::vector<std::string> warnings = schedule.warnings;
    if (gas) warnings.insert(warnings.end(), gas->warnings.begin(), gas->warnings.end());
    if (!schedule.complete) warnings.push_back(schedule.reason);
    return warnings;
}

std::vector<ProfileLine> DeeperAndLongerLines(const DiveProfile& profile, double extraDepth,
                                              double extraMinutes) {
    const int end = std::min(profile.nextPoint, kProfileTableEnd - 1);
    std::vector<ProfileLine> lines(
        profile.lines.begin(),
        profile.lines.begin() +
            std::min<std::size_t>(profile.lines.size(), static_cast<std::size_t>(end) + 1));
    int deepest = 0;
    for (int i = 1; i < static_cast<int>(lines.size()); ++i) {
        ProfileLine& line = lines[static_cast<std::size_t>(i)];
        if (line.depth > 0) line.depth += extraDepth;
        if (line.tDelta > 0 && line.depth >= lines[static_cast<std::size_t>(deepest)].depth) {
            deepest = i;
        }
    }
    if (deepest > 0) lines[static_cast<std::size_t>(deepest)].tDelta += extraMinutes;
    return lines;
}

std::vector<ContingencyPlan> ContingencyPlans(const DiveProfile& profile, const Schedule& plan,
                                              const ModelParameters& model,
                                              const Settings& settings) {
    const PlannerSettings& planner = settings.planner;
    const std::string_view separator = settings.decimalSeparator;
    std::vector<ContingencyPlan> plans = {Named("Plan", plan)};

    const std::vector<ProfileLine> deeperLines =
        DeeperAndLongerLines(profile, planner.extraDepth, planner.extraMinutes);
    const std::optional<AscentStart> deeper = DivePhaseOf(
        deeperLines, std::min(profile.nextPoint, static_cast<int>(deeperLines.size()) - 1), model,
        settings);
    const std::string extra = "+" + FormatGeneral(planner.extraDepth, separator) + " m, +" +
                              FormatGeneral(planner.extraMinutes, separator) + " min";
    const auto planDeeper = [&](const PlannerSettings& gases, const StopMinimums& minimums) {
        return deeper ? PlanWithWarnings(*deeper, model, gases, settings, minimums)
                      : Unplannable("Das tiefere und längere Profil füllt die Profiltabelle.");
    };
    // Every contingency plan holds each stop at least as long as the plan does: none is shorter,
    // whatever the model would give (losing a deep travel gas can save its switch's minutes).
    const StopMinimums planStops = LongestStopsOf({&plan});
    const auto needsPlan = [&](Schedule schedule) {
        return plan.complete ? schedule : Unplannable(kWithoutPlan);
    };
    plans.push_back(
        Named("Tiefer und länger (" + extra + ")", needsPlan(planDeeper(planner, planStops))));

    // The worst case loses the gas whose loss costs the most time (one that could not be
    // planned costs the most), and holds each stop at least as long as the deeper plan and the
    // plan without that gas: it is the longest.
    std::optional<std::size_t> costliest;
    for (std::size_t gas = 0; gas < planner.decoGases.size(); ++gas) {
        Schedule lost = needsPlan(
            PlanWithWarnings(plan.start, model, Without(planner, gas), settings, planStops));
        const Schedule* most = costliest ? &plans[2 + *costliest].schedule : nullptr;
        if (!most || (most->complete && (!lost.complete || lost.runTime > most->runTime))) {
            costliest = gas;
        }
        plans.push_back(
            Named("Ohne " + GasName(planner.decoGases[gas].gas, separator), std::move(lost)));
    }
    if (costliest) {
        const Schedule& longer = plans[1].schedule;
        const Schedule& lost = plans[2 + *costliest].schedule;
        const std::string both = "„" + plans[1].name + "“ und „" + plans[2 + *costliest].name + "“";
        Schedule worst =
            longer.complete && lost.complete
                ? planDeeper(Without(planner, *costliest), LongestStopsOf({&longer, &lost}))
                : Unplannable("Ohne " + both + " lässt sich der schlimmste Fall nicht planen.");
        const bool held = worst.heldForMinimums;
        plans.push_back(Named("Schlimmster Fall (" + extra + ", ohne " +
                                  GasName(planner.decoGases[*costliest].gas, separator) + ")",
                              std::move(worst)));
        if (held) plans.back().note = "Stopps mindestens so lang wie in " + both;
    }

    for (std::size_t i = 1; i + (costliest ? 1 : 0) < plans.size(); ++i) {
        if (plans[i].schedule.heldForMinimums)
            plans[i].note = "Stopps mindestens so lang wie im Plan";
    }
    for (ContingencyPlan& each : plans)
        AddGas(each, settings);
    return plans;
}

}  // namespace marelos
