#pragma once

#include "core/engine/model_parameters.h"
#include "core/planner/ascent_walk.h"
#include "core/planner/planner_settings.h"
#include "core/planner/schedule.h"

namespace marelos {

// The ascent planned with the bubble model VPM-B at the planner's conservatism (0 to 4), walked
// like every planned ascent (rates, stops every 3 m, gases, whole stop minutes):
// - the model loads tissues of its own: the program's half-times (compartment 0 too when it takes
//   part) without the progressivity's time factor, which belongs to the Bühlmann limits. It
//   replays the dive phase from the surface tissues and finds how far each descent crushed the
//   nuclei; they regenerate for the dive's time and set the initial gradients;
// - the first stop is the stop at or below the ceiling where the ascent enters the decompression
//   zone; on the way to each stop above it the allowed gradient is lowered by Boyle's law, as the
//   bubble grows from the first stop's ambient pressure to the next stop's;
// - the critical volume algorithm plans again with the gradients each decompression time allows
//   until that time changes by no more than a minute. Every round plans the ascent the diver
//   makes, Boyle's law included, so that the time it measures is that of the schedule.
// Every round holds each stop at least as long as `minimums` ask. The schedule's tissues stay
// those `start` brings; a plan that cannot be made says why.
Schedule PlanVpmbAscent(const AscentStart& start, const ModelParameters& model,
                        const PlannerSettings& settings, double airPressureMbar,
                        const StopMinimums& minimums = {});

}  // namespace marelos
