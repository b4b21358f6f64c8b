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

Schedule PlanWithWarnings(const AscentStart& start, const ModelParameters& model,
                          const PlannerSettings& planner, const Settings& settings) {
    Schedule schedule = PlanAscent(start, model, planner, settings.airPressure);
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

// "Kürzer als der Plan (35,5 statt 37,5 min)" when `plan` ends before `longer` does.
std::string ShorterThan(const ContingencyPlan& plan, const ContingencyPlan& longer,
                        const std::string& longerName, std::string_view separator) {
    if (!plan.schedule.complete || !longer.schedule.complete ||
        plan.schedule.runTime >= longer.schedule.runTime) {
        return {};
    }
    return "Kürzer als " + longerName + " (" + RunTimeText(plan.schedule.runTime, separator) +
           " statt " + Minutes(longer.schedule.runTime, separator) + ")";
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
    std::vector<ContingencyPlan> plans = {{"Plan", plan}};

    const std::vector<ProfileLine> deeperLines =
        DeeperAndLongerLines(profile, planner.extraDepth, planner.extraMinutes);
    const std::optional<AscentStart> deeper = DivePhaseOf(
        deeperLines, std::min(profile.nextPoint, static_cast<int>(deeperLines.size()) - 1), model,
        settings);
    const std::string extra = "+" + FormatGeneral(planner.extraDepth, separator) + " m, +" +
                              FormatGeneral(planner.extraMinutes, separator) + " min";
    const auto planDeeper = [&](const PlannerSettings& gases) {
        return deeper ? PlanWithWarnings(*deeper, model, gases, settings)
                      : Unplannable("Das tiefere und längere Profil füllt die Profiltabelle.");
    };
    plans.push_back({"Tiefer und länger (" + extra + ")", planDeeper(planner)});

    // The worst case loses the gas whose loss lengthens the plan most; a loss that shortens it
    // (a travel gas whose switch costs more minutes than the gas saves) is no worst case.
    std::optional<std::size_t> costliest;
    double longest = plan.complete ? plan.runTime : 0;
    for (std::size_t gas = 0; gas < planner.decoGases.size(); ++gas) {
        Schedule lost = PlanWithWarnings(plan.start, model, Without(planner, gas), settings);
        if (plan.complete && lost.complete && lost.runTime > longest) {
            longest = lost.runTime;
            costliest = gas;
        }
        plans.push_back(
            {"Ohne " + GasName(planner.decoGases[gas].gas, separator), std::move(lost)});
    }
    if (costliest) {
        plans.push_back({"Schlimmster Fall (" + extra + ", ohne " +
                             GasName(planner.decoGases[*costliest].gas, separator) + ")",
                         planDeeper(Without(planner, *costliest))});
    } else if (!planner.decoGases.empty() && plan.complete) {
        plans[1].note =
            "Zugleich der schlimmste Fall: kein Verlust eines Dekogases verlängert den Plan.";
    }

    for (ContingencyPlan& each : plans)
        AddGas(each, settings);
    for (std::size_t i = 1; i < plans.size(); ++i) {
        ContingencyPlan& each = plans[i];
        const bool worst = costliest && i + 1 == plans.size();
        std::string shorter = ShorterThan(each, plans[0], "der Plan", separator);
        if (shorter.empty() && worst) {
            shorter = ShorterThan(each, plans[1], "„" + plans[1].name + "“", separator);
        }
        if (shorter.empty()) continue;
        const bool lostGas = i >= 2 && !worst;
        each.note = shorter + (lostGas ? ": im Plan kostet der Wechsel auf " +
                                             GasName(planner.decoGases[i - 2].gas, separator) +
                                             " mehr Zeit, als das Gas einspart."
                                       : ".");
    }
    return plans;
}

}  // namespace marelos
