#pragma once

#include <functional>
#include <vector>

#include "core/planner/planner_settings.h"
#include "core/planner/schedule.h"
#include "core/planner/tissue_segments.h"

namespace marelos {

// What a decompression model decides on the way up; the walk of the ascent is the same for
// every model.
class AscentCeiling {
  public:
    virtual ~AscentCeiling() = default;
    // Before the first stop: whether the diver may be at `depth` with these tissues (those after
    // the ascent to it).
    virtual bool MayArriveAt(const TissueState& tissues, double depth) = 0;
    // The first stop has been found (or, without one, the safety stop).
    virtual void FirstStopAt(double /*depth*/) {}
    // At a stop: whether the diver may leave `depth` for the next stop at `next` (0: the
    // surface).
    virtual bool MayLeaveFor(const TissueState& tissues, double depth, double next) = 0;
};

// The least minutes the ascent holds a stop at a depth, the minutes of a switch there and of the
// safety stop included: a contingency plan holds each stop at least as long as the plans it must
// outlast hold theirs.
struct StopMinimum {
    double depth = 0;  // m
    int minutes = 0;
};
using StopMinimums = std::vector<StopMinimum>;

// The longest stop at each depth over the complete `schedules`.
StopMinimums LongestStopsOf(const std::vector<const Schedule*>& schedules);

// The longest ascent a plan may take before it counts as not plannable.
inline constexpr double kLongestAscentMinutes = 5000;

// The ascent from `start` to the surface: up at the ascent rate, stops every 3 m from the last
// stop (3 or 6 m) down, whole minutes at each stop until the model lets the diver leave, the
// safety stop's minutes added at the last stop, and a switch (with its minutes, counted as
// stop time) to the gas with the lowest inert share whose switch depth has been reached.
// `gases` are the decompression gases, deepest switch first. With `minimums` the ascent also
// pauses at each depth that has one and leaves it only when both the model lets it and the
// minimum has passed, so that every stop still satisfies the model; the schedule says whether a
// minimum held a stop longer than the model did.
Schedule WalkAscent(const AscentStart& start, const SegmentLoader& loader,
                    const PlannerSettings& settings, const std::vector<PlannedGas>& gases,
                    AscentCeiling& ceiling, const StopMinimums& minimums = {});

// Replays the schedule's segments on the tissues from its start and reports the depth and gas at
// every whole minute of run time after the start; the rest of the minute in which the diver
// surfaces is spent at 0 m on `surfaceGas`, which the last report breathes.
void SampleWholeMinutes(TissueState& tissues, const Schedule& schedule, const SegmentLoader& loader,
                        const BreathingGas& surfaceGas,
                        const std::function<void(double depth, const BreathingGas& gas)>& report);

}  // namespace marelos
