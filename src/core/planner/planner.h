#pragma once

#include "core/engine/model_parameters.h"
#include "core/planner/ascent_walk.h"
#include "core/planner/planner_settings.h"
#include "core/planner/schedule.h"

namespace marelos {

// The ascent from `start` with the planner's model (Bühlmann with gradient factors, or the
// bubble model) and its gases, rates and stops; each stop at least as long as `minimums` ask.
Schedule PlanAscent(const AscentStart& start, const ModelParameters& model,
                    const PlannerSettings& settings, double airPressureMbar,
                    const StopMinimums& minimums = {});

}  // namespace marelos
