#include "contingency_table.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "core/planner/runtime_table.h"
#include "core/text/number_format.h"
#include "core/text/rounding.h"

namespace marelos {
namespace {

constexpr std::string_view kNotCalculated = " (nicht berechnet)";

std::string Depth(double metres, std::string_view separator) {
    return FormatGeneral(RoundHalfEven(metres * 10) / 10, separator);
}

bool SameDepth(double a, double b) {
    return std::fabs(a - b) < 1e-6;
}

const ScheduleStop* StopAt(const Schedule& schedule, double depth) {
    const auto found =
        std::find_if(schedule.stops.begin(), schedule.stops.end(),
                     [&](const ScheduleStop& s) { return SameDepth(s.depth, depth); });
    return found == schedule.stops.end() ? nullptr : &*found;
}

// The depths at which any calculated plan stops, deepest first.
std::vector<double> StopDepths(const std::vector<ContingencyPlan>& plans) {
    std::vector<double> depths;
    for (const ContingencyPlan& plan : plans) {
        if (!plan.schedule.complete) continue;
        for (const ScheduleStop& stop : plan.schedule.stops)
            depths.push_back(stop.depth);
    }
    std::sort(depths.begin(), depths.end(), std::greater<>());
    depths.erase(std::unique(depths.begin(), depths.end(), SameDepth), depths.end());
    return depths;
}

std::string Whole(double value, std::string_view separator) {
    return FormatGeneral(RoundHalfEven(value), separator);
}

// What is left in a cylinder: "112", "45" over "< 60!" below its reserve of 60 bar, "leer!".
std::string LeftText(const CylinderUse& use, std::string_view separator) {
    if (use.emptyAt) return "leer!";
    const std::string end = Whole(use.pressures.end, separator);
    return use.belowReserve ? end + "\n< " + Whole(use.pressures.reserve, separator) + "!" : end;
}

void AddGasRows(ContingencyTable& table, const std::vector<ContingencyPlan>& plans,
                std::string_view separator) {
    const auto withGas = std::find_if(plans.begin(), plans.end(),
                                      [](const ContingencyPlan& p) { return p.gas.has_value(); });
    if (withGas == plans.end()) return;
    // Every gas plan lists the cylinders of the settings in their order.
    for (std::size_t k = 0; k < withGas->gas->cylinders.size(); ++k) {
        const Cylinder& cylinder = withGas->gas->cylinders[k].cylinder;
        ContingencyRow used{
            cylinder.name + " " + ShortGasName(cylinder.gas, separator), "", false, {}};
        ContingencyRow left{"Rest bar", "", false, {}};
        for (const ContingencyPlan& plan : plans) {
            if (!plan.gas) {
                used.cells.emplace_back(kNoStop);
                left.cells.emplace_back(kNoStop);
                continue;
            }
            const CylinderUse& use = plan.gas->cylinders[k];
            used.cells.push_back(Whole(use.usedLitres, separator) + " l");
            left.cells.push_back(LeftText(use, separator));
        }
        table.gasRows.push_back(std::move(used));
        table.gasRows.push_back(std::move(left));
    }
}

}  // namespace

std::string ShortGasName(const BreathingGas& gas, std::string_view separator) {
    std::string name = GasName(gas, separator);
    for (const auto& [longName, shortName] :
         {std::pair{"Trimix ", "Tx "}, std::pair{"Heliox ", "Hx "}}) {
        if (name.starts_with(longName))
            name = shortName + name.substr(std::string(longName).size());
    }
    return name;
}

ContingencyTable ContingencyTableOf(const std::vector<ContingencyPlan>& plans,
                                    std::string_view separator) {
    ContingencyTable table;
    for (const ContingencyPlan& plan : plans) {
        table.heads.push_back((plan.marked ? "! " : "") + plan.name +
                              (plan.schedule.complete ? "" : std::string(kNotCalculated)));
        table.marked.push_back(plan.marked);
        if (!plan.note.empty()) table.notes.push_back(plan.name + ": " + plan.note);
    }
    const auto first = std::find_if(plans.begin(), plans.end(),
                                    [](const ContingencyPlan& p) { return p.schedule.complete; });
    if (first == plans.end()) return table;

    // A cell: the run time, and what differs from the row (the depth, the gas).
    const auto cell = [&](double runTime, const std::string& rowGas, const BreathingGas& gas) {
        const std::string name = ShortGasName(gas, separator);
        return RunTimeText(runTime, separator) + (name == rowGas ? "" : " " + name);
    };
    const AscentStart& start = first->schedule.start;
    ContingencyRow bottom{
        Depth(start.depth, separator), ShortGasName(start.bottomGas, separator), false, {}};
    for (const ContingencyPlan& plan : plans) {
        const AscentStart& s = plan.schedule.start;
        bottom.cells.push_back(!plan.schedule.complete
                                   ? std::string(kNoStop)
                                   : cell(s.runTime, bottom.gas, s.bottomGas) +
                                         (SameDepth(s.depth, start.depth)
                                              ? ""
                                              : " (" + Depth(s.depth, separator) + " m)"));
    }
    table.rows.push_back(std::move(bottom));

    // A column names its gas, below the run time, only where a reader would otherwise take
    // another: the gas named last in the column, or else the row's. That keeps the columns
    // narrow enough for large type.
    std::vector<std::optional<std::string>> named(plans.size());
    for (const double depth : StopDepths(plans)) {
        ContingencyRow row{Depth(depth, separator), "", false, {}};
        for (const ContingencyPlan& plan : plans) {
            const ScheduleStop* stop =
                plan.schedule.complete ? StopAt(plan.schedule, depth) : nullptr;
            if (stop && row.gas.empty()) {
                row.gas = ShortGasName(stop->gas, separator);
                row.gasSwitch = stop->gasSwitch;
            }
            std::string text =
                stop ? RunTimeText(stop->endRunTime, separator) : std::string(kNoStop);
            std::optional<std::string>& last = named[row.cells.size()];
            if (stop && ShortGasName(stop->gas, separator) != last.value_or(row.gas)) {
                last = ShortGasName(stop->gas, separator);
                text += "\n" + *last;
            }
            row.cells.push_back(std::move(text));
        }
        table.rows.push_back(std::move(row));
    }

    ContingencyRow surface{"Oberfläche", "", false, {}};
    for (const ContingencyPlan& plan : plans) {
        surface.cells.push_back(plan.schedule.complete
                                    ? RunTimeText(plan.schedule.runTime, separator)
                                    : std::string(kNoStop));
    }
    table.rows.push_back(std::move(surface));
    AddGasRows(table, plans, separator);
    return table;
}

std::vector<std::string> ContingencyTable::TextLines() const {
    const auto line = [](const std::string& label, const std::string& gas,
                         const std::vector<std::string>& cells) {
        std::string text = label + "\t" + gas;
        for (std::string cell : cells) {
            std::replace(cell.begin(), cell.end(), '\n', ' ');
            text += "\t" + cell;
        }
        return text;
    };
    std::vector<std::string> lines = {line("Tiefe m", "Gas", heads)};
    for (const ContingencyRow& row : rows)
        lines.push_back(line(row.label, row.gas, row.cells));
    for (const ContingencyRow& row : gasRows)
        lines.push_back(line(row.label, row.gas, row.cells));
    lines.insert(lines.end(), notes.begin(), notes.end());
    return lines;
}

}  // namespace marelos
