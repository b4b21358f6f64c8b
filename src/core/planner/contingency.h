#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/engine/model_parameters.h"
#include "core/planner/gas_plan.h"
#include "core/planner/schedule.h"
#include "core/profile/dive_profile.h"
#include "core/settings/settings.h"

namespace marelos {

// A plan of the dive for the case its name says, with the gas it takes from the cylinders.
struct ContingencyPlan {
    std::string name;  // "Plan", "Tiefer und länger (+3 m, +3 min)", "Ohne EAN50", ...
    Schedule schedule;
    std::optional<GasPlan> gas;  // with cylinders in the settings and a complete schedule
    // A cylinder runs empty or ends below its reserve: the diver cannot dive this plan with the
    // gas carried. The reason names each such cylinder.
    bool marked = false;
    std::string markReason;
    // A plan that comes out shorter than the plan it should outlast, and why; it is shown with
    // its own times, never as if it were longer.
    std::string note;

    // The planner's gas warnings, then the gas plan's; why it is not complete, when it is not.
    std::vector<std::string> Warnings() const;
};

// The plan and its contingency plans, in this order: the plan; the dive deeper and longer by the
// planner's extra depth and minutes; the plan without each decompression gas in turn (the ascent
// continues on the best gas left); and the worst case, deeper and longer without the gas whose
// loss costs the most time. The worst case is left out where no loss costs time (and without
// decompression gases): the deeper and longer plan is the worst case then, and says so. Each is
// planned as the plan is, carries its gas warnings and, with cylinders in the settings, its gas
// plan; a plan that cannot be completed says why.
std::vector<ContingencyPlan> ContingencyPlans(const DiveProfile& profile, const Schedule& plan,
                                              const ModelParameters& model,
                                              const Settings& settings);

// The line table of the dive run deeper and longer: every line below the surface `extraDepth`
// deeper, and the last line that reaches the greatest depth `extraMinutes` longer.
std::vector<ProfileLine> DeeperAndLongerLines(const DiveProfile& profile, double extraDepth,
                                              double extraMinutes);

}  // namespace marelos
