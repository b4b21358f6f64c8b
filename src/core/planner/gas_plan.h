#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/planner/gas_plan_settings.h"
#include "core/planner/planner_settings.h"
#include "core/planner/schedule.h"

namespace marelos {

// Pressures of a cylinder, bar, counted one way (as a real gas or as an ideal one).
struct CylinderPressures {
    double used = 0;
    double end = 0;  // 0 when the cylinder runs empty
    double reserve = 0;
    std::optional<double> turn;  // the bottom cylinder's only

    bool operator==(const CylinderPressures&) const = default;
};

// What the plan breathes from one cylinder, and what it must keep back.
struct CylinderUse {
    Cylinder cylinder;
    double usedLitres = 0;     // surface litres, what the cylinder gives
    double missingLitres = 0;  // what the plan still needs from it when it is empty
    double reserveLitres = 0;
    CylinderPressures pressures;    // as the plan counts them (see GasPlan::realGas)
    CylinderPressures ideal;        // the same litres as an ideal gas, for comparison
    std::optional<double> emptyAt;  // run time at which it runs empty, min
    bool belowReserve = false;      // ends with less than its reserve (and is not empty)
    bool bottom = false;            // the cylinder of the bottom gas

    bool operator==(const CylinderUse&) const = default;
};

// Where and when the bottom cylinder reaches its turn pressure.
struct TurnPoint {
    double runTime = 0;  // min
    double depth = 0;    // m
    double bar = 0;
    std::string cylinder;

    bool operator==(const TurnPoint&) const = default;
};

// The gas plan of a planned dive: every cylinder's use, the minimum gas the bottom cylinder
// keeps back (two divers at the stress rate for the time to solve a problem at the deepest point
// and the ascent from there to the first gas switch or the surface), the turn point, and the
// German warnings of the plan (a cylinder that runs empty or below its reserve, a gas without a
// cylinder).
struct GasPlan {
    std::vector<CylinderUse> cylinders;  // in the order of the settings
    double minimumGasLitres = 0;
    std::optional<TurnPoint> turn;
    std::vector<std::string> warnings;
    bool realGas = true;

    bool operator==(const GasPlan&) const = default;
};

// The gas plan along the dive phase (at the bottom rate) and the planned ascent (at the
// decompression rate), each segment at its ambient pressure. Each gas is breathed from the
// cylinders of that gas: the others first, in their order, then the first of them, which keeps
// the gas's reserve. The bottom gas (the gas the ascent starts on) keeps the minimum gas; every
// other gas keeps what a buddy would breathe from it on the same segments.
GasPlan PlanGas(const Schedule& schedule, const GasPlanSettings& settings,
                const PlannerSettings& planner, double airPressureMbar,
                std::string_view decimalSeparator);

// Whether a cylinder holds the breathed gas: the same oxygen and helium shares (a gas of a
// profile line counts its argon as nitrogen's).
bool SameMix(const BreathingGas& a, const BreathingGas& b);

}  // namespace marelos
