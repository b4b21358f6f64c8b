#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/planner/contingency.h"

namespace marelos {

// A row of the side-by-side table: a depth with the gas breathed there and each plan's run time
// when it leaves that depth, or a cylinder with what each plan takes from it.
struct ContingencyRow {
    std::string label;       // "60" (m), "Oberfläche", "D24 Tx 18/45", "Rest bar"
    std::string gas;         // the gas of the first plan that stops here; "" in the gas rows
    bool gasSwitch = false;  // the first plan that stops here switches to its gas here
    std::vector<std::string> cells;  // one per plan
};

// The plans side by side, as the window "Tauchplan", its clipboard text and the slate show them.
// One column per plan, headed by its name ("! " before it when its gas does not last, "(nicht
// berechnet)" after it when the plan could not be completed, whose cells then stay empty). The
// rows: where the ascent starts, every depth at which a plan stops (deepest first), the surface;
// then, per cylinder, the litres each plan takes and the bar left. A stop's cell names its gas on
// a second line where it differs from what the column says so far (the gas it named last, else
// the row's); the first row's cell names its depth where the ascent starts elsewhere (the deeper
// plans).
struct ContingencyTable {
    std::vector<std::string> heads;
    std::vector<bool> marked;  // per plan: its gas does not last
    std::vector<ContingencyRow> rows;
    std::vector<ContingencyRow> gasRows;
    // What the table cannot say in a cell: each plan's note, headed by the plan's name (why a
    // plan is marked its gas plan's warnings say).
    std::vector<std::string> notes;

    // The table as text lines, cells tab-separated, for the clipboard.
    std::vector<std::string> TextLines() const;
};

ContingencyTable ContingencyTableOf(const std::vector<ContingencyPlan>& plans,
                                    std::string_view decimalSeparator);

// "Tx 18/45", "Hx 21/79", "EAN50", "O2": a gas as short as a cell of the table needs it.
std::string ShortGasName(const BreathingGas& gas, std::string_view decimalSeparator);

// A cell that has nothing: the plan does not stop at this depth, or was not calculated.
inline constexpr std::string_view kNoStop = "–";

}  // namespace marelos
