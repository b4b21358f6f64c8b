#pragma once

#include <string>
#include <vector>

#include "core/engine/tissues.h"
#include "core/planner/breathing_gas.h"

namespace marelos {

enum class SegmentKind { Travel, Stop, Switch };  // Travel: the depth changes linearly

// A piece of a dive or of its planned ascent: a linear change of depth, a stop or the minutes
// of a gas switch.
struct ScheduleSegment {
    SegmentKind kind = SegmentKind::Travel;
    double fromDepth = 0;
    double toDepth = 0;
    double minutes = 0;
    double endRunTime = 0;
    BreathingGas gas;

    bool operator==(const ScheduleSegment&) const = default;
};

// Where and when the dive phase leaves the diver: the tissues, the depth, the run time (minutes
// from the start of the dive) and the gas breathed last; and the dive phase itself, one segment
// per profile line as the calculation walked it (its whole minutes, from the line before's depth
// to its own), for the models and plans that need more than its end, with the tissues at the
// surface before it.
struct AscentStart {
    TissueState tissues;
    double depth = 0;
    double runTime = 0;
    BreathingGas bottomGas;
    std::vector<ScheduleSegment> divePhase;
    TissueState surfaceTissues;
};

// A stop of the plan: whole minutes at one depth (the minutes of a gas switch there included),
// the run time when the diver leaves it, and the gas breathed on it.
struct ScheduleStop {
    double depth = 0;
    int minutes = 0;
    double endRunTime = 0;
    BreathingGas gas;
    bool gasSwitch = false;  // the stop begins with a switch to its gas

    bool operator==(const ScheduleStop&) const = default;
};

struct GasSwitch {
    double depth = 0;
    BreathingGas gas;

    bool operator==(const GasSwitch&) const = default;
};

// A planned ascent from the end of the dive phase to the surface: what a diver reads as
// instructions. A plan that could not be completed says why and is never shown as one.
struct Schedule {
    std::string model;  // "ZH-L16C GF 30/85", "VPM-B +2"
    AscentStart start;
    std::vector<ScheduleSegment> segments;
    std::vector<ScheduleStop> stops;  // deepest first
    std::vector<GasSwitch> switches;
    double runTime = 0;  // minutes, surface to surface, at the end of the ascent
    bool complete = false;
    std::string reason;                 // why the plan is not complete
    std::vector<std::string> warnings;  // the gas warnings of the dive and the ascent
    bool heldForMinimums = false;       // a stop lasted longer than the model asked: its minimum

    double FirstStopDepth() const { return stops.empty() ? 0 : stops.front().depth; }
    int StopMinutes() const {
        int total = 0;
        for (const ScheduleStop& stop : stops)
            total += stop.minutes;
        return total;
    }
};

}  // namespace marelos
