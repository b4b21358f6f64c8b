#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/engine/model_parameters.h"
#include "core/planner/schedule.h"
#include "core/profile/dive_profile.h"

namespace marelos {

// One simulated minute of the last calculation.
struct ComputedMinute {
    double depth = 0;                          // m; 0 in the surface interval
    CompartmentValues pTotal{}, pN2{}, pHe{};  // the tissues after the minute
    double toleratedPressure = 0;              // bar
    double n2Percent = 0;                      // gas breathed in the minute
    double hePercent = 0;
    double otu = 0;      // oxygen tolerance units of the minute
    double cnsDay = 0;   // % of the 24-hour CNS limits
    double cnsDive = 0;  // % of the single-exposure CNS limits
};
// The calculation writes every field of a record (so that it need not clear the table first);
// a new field has to be written there too.
static_assert(sizeof(ComputedMinute) == (3 * (kLastCompartment + 1) + 7) * sizeof(double));

// The gases of the decompression phase as the calculation breathed them. The plan, the texts
// and the saved decompression lines name these, never the settings they came from.
struct AscentGases {
    GasShares arrival;                // the minute of arrival at the first stop (or at 0 m)
    std::vector<GasShares> breathed;  // each gas of the phase once, in the order first breathed
    double highestPpO2 = 0;           // bar, on any step of the phase
    double highestPpO2Depth = 0;      // m
    GasShares highestPpO2Gas;

    bool operator==(const AscentGases&) const = default;
};

// What a calculation reports besides its records.
struct CalculationResult {
    bool completed = false;        // false when it ended early or has not run
    std::string stopReason;        // why it ended early; empty when it ran to its end
    std::int16_t maxDepth = 0;     // deepest whole metre of the dive phase
    std::int16_t diveMinutes = 0;  // minutes of the dive phase below 0 m
    std::int32_t totalTime = 0;    // run time of the line table
    int violations = 0;            // minutes above the tolerated pressure
    AscentGases ascent;            // the gases of the decompression phase
    // The tissues at the end of the dive phase tolerated no direct ascent to the surface.
    bool decompressionDive = false;
    // The ascent the planner made, when it is on; the stops and records come from it.
    std::optional<Schedule> schedule;
    // The records of the decompression phase: from decoBegin up to decoEnd (exclusive).
    std::int32_t decoBegin = 0;
    std::int32_t decoEnd = 0;
};

// True when the calculation ended early: its stops and sums are no result a diver may use, and
// every reader shows stopReason instead.
inline bool Stopped(const CalculationResult& result) {
    return !result.stopReason.empty();
}

// The records of the last calculation, indices 1 to 6000; computedCount is the next free one.
struct ComputedProfile {
    static constexpr int kTableEnd = 6000;

    ComputedProfile() : records(kTableEnd + 1) {}

    std::vector<ComputedMinute> records;
    std::int32_t computedCount = 0;
    // Records from this index to the table's end are all zero. The calculation raises it with
    // every record it writes, so that clearing can stop there.
    std::int32_t usedEnd = 1;
    CalculationResult last;  // the counters of the last calculation
};

// Where the records that may be non-zero end: usedEnd, or past computedCount for records
// written by hand.
std::int32_t RecordsInUseEnd(const ComputedProfile& computed);

// Zeroes the records from `first` up to `end` (exclusive), within 1..6000.
void ClearRecords(ComputedProfile& computed, std::int32_t first, std::int32_t end);

}  // namespace marelos
