#include "contingency.h"

#include <algorithm>

#include "core/engine/calculation.h"
#include "core/planner/gas_warnings.h"
#include "core/planner/planner.h"
#include "core/text/number_format.h"

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

}  // namespace

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

    std::size_t costliest = 0;
    double longest = -1;
    for (std::size_t gas = 0; gas < planner.decoGases.size(); ++gas) {
        Schedule lost = PlanWithWarnings(plan.start, model, Without(planner, gas), settings);
        if (lost.runTime > longest) {
            longest = lost.runTime;
            costliest = gas;
        }
        plans.push_back(
            {"Ohne " + GasName(planner.decoGases[gas].gas, separator), std::move(lost)});
    }
    if (!planner.decoGases.empty()) {
        plans.push_back({"Schlimmster Fall (" + extra + ", ohne " +
                             GasName(planner.decoGases[costliest].gas, separator) + ")",
                         planDeeper(Without(planner, costliest))});
    }
    return plans;
}

}  // namespace marelos
