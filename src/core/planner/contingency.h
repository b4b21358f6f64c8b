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
    // "Stopps mindestens so lang wie im Plan" where a stop was held longer than the model asked,
    // so that the plan is not shorter than those it must outlast.
    std::string note;

    // The planner's gas warnings, then the gas plan's; why it is not complete, when it is not.
    std::vector<std::string> Warnings() const;
};

// The plan and its contingency plans, in this order: the plan; the dive deeper and longer by the
// planner's extra depth and minutes; the plan without each decompression gas in turn (the ascent
// continues on the best gas left); and the worst case, deeper and longer without the gas whose
// loss costs the most time (left out without decompression gases, where the deeper and longer
// plan is the worst case). None is shorter than the plan, and the worst case is the longest, by
// construction: each contingency plan holds every stop at least as long as the plan holds the
// stop at that depth, and the worst case at least as long as the deeper plan and the plan
// without its gas do; the model still decides when each stop may end. Each carries its gas
// warnings and, with cylinders in the settings, its gas plan; a plan that cannot be completed
// (all of them, when the plan itself was not) says why.
std::vector<ContingencyPlan> ContingencyPlans(const DiveProfile& profile, const Schedule& plan,
                                              const ModelParameters& model,
                                              const Settings& settings);

// The line table of the dive run deeper and longer: every line below the surface `extraDepth`
// deeper, and the last line that reaches the greatest depth `extraMinutes` longer.
std::vector<ProfileLine> DeeperAndLongerLines(const DiveProfile& profile, double extraDepth,
                                              double extraMinutes);

}  // namespace marelos
