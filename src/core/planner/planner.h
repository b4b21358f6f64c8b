#pragma once

#include "core/engine/model_parameters.h"
#include "core/planner/planner_settings.h"
#include "core/planner/schedule.h"

namespace marelos {

// The ascent from `start` with the planner's model (Bühlmann with gradient factors, or the
// bubble model) and its gases, rates and stops.
Schedule PlanAscent(const AscentStart& start, const ModelParameters& model,
                    const PlannerSettings& settings, double airPressureMbar);

}  // namespace marelos
