#pragma once

#include <string>
#include <vector>

#include "core/engine/model_parameters.h"
#include "core/planner/schedule.h"
#include "core/profile/dive_profile.h"
#include "core/settings/settings.h"

namespace marelos {

// A plan of the dive for the case its name says.
struct ContingencyPlan {
    std::string name;  // "Plan", "Tiefer und länger (+3 m, +3 min)", "Ohne EAN50", ...
    Schedule schedule;
};

// The plan and its contingency plans, in this order: the plan; the dive deeper and longer by the
// planner's extra depth and minutes; the plan without each decompression gas in turn (the ascent
// continues on the best gas left); and the worst case, deeper and longer without the gas whose
// loss costs the most time (left out without decompression gases, where it is the deeper and
// longer plan). Each is planned as the plan is, and carries its gas warnings; a plan that
// cannot be completed says why.
std::vector<ContingencyPlan> ContingencyPlans(const DiveProfile& profile, const Schedule& plan,
                                              const ModelParameters& model,
                                              const Settings& settings);

// The line table of the dive run deeper and longer: every line below the surface `extraDepth`
// deeper, and the last line that reaches the greatest depth `extraMinutes` longer.
std::vector<ProfileLine> DeeperAndLongerLines(const DiveProfile& profile, double extraDepth,
                                              double extraMinutes);

}  // namespace marelos
