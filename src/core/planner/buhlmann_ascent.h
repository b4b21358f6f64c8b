#pragma once

#include "core/engine/model_parameters.h"
#include "core/planner/ascent_walk.h"
#include "core/planner/planner_settings.h"
#include "core/planner/schedule.h"

namespace marelos {

// The ascent planned with the chosen Bühlmann model and gradient factors: the ceiling at GF low
// decides the first stop (the ascent to it is checked at GF low), and from there the gradient
// factor runs linearly to GF high at the surface; a stop ends at the first whole minute after
// which the ceiling at the gradient factor of the next stop lies at or above it, and not before
// the stop's minimum has passed.
Schedule PlanBuhlmannAscent(const AscentStart& start, const ModelParameters& model,
                            const PlannerSettings& settings, double airPressureMbar,
                            const StopMinimums& minimums = {});

}  // namespace marelos
