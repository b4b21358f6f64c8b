#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/engine/oxygen.h"
#include "core/engine/tissues.h"
#include "core/planner/schedule.h"
#include "core/settings/settings_store.h"
#include "core/text/rounding.h"
#include "core/ui/ui.h"
#include "core/workspace.h"

namespace marelos {

// The message of a calculation that ends because the result tables are full.
inline constexpr const char* kArrayFullMessage = "Maximale Array-Größe erreicht.";
// Why a calculation ended when its line table reached the end of the profile table.
inline constexpr const char* kLineTableFullMessage =
    "Das Tauchprofil füllt die ganze Profiltabelle. Die Berechnung wurde abgebrochen.";

// What every reader of the results shows instead of stops, plans and sums when the last
// calculation ended early.
std::string IncompleteCalculationMessage(const CalculationResult& result);

// Why the windows of the planner show no plan, or nothing when the last calculation has a
// complete planned ascent: the planner is off (`needsPlanner`, the window's own words), the
// calculation ended early, or nothing was calculated yet.
std::optional<std::string> WhyNoPlan(bool plannerOn, const CalculationResult& last,
                                     std::string_view needsPlanner);

// The largest whole metre 300..0 whose ambient pressure is below the tolerated pressure; 0 when
// there is none.
int FindCeilingDepth(const TissueState& tissues, const ModelParameters& model, double airPressure);

// The stop index of the first stop: the deepest listed depth 3k (k 100..0) whose ambient
// pressure is below the tolerated one, plus 1 (the listed depth at or below the ceiling), or k
// itself with a sharp first stop; 0 when no listed depth violates the ceiling. 101 means that
// the first stop would lie below 300 m.
int FindFirstStopIndex(const TissueState& tissues, const ModelParameters& model, double airPressure,
                       bool sharpFirstStop);

// Which step of the staged decompression breathes: the ascent to the first stop or a stop.
enum class StagedStep { Ascent, Stop };

// The N2 share the staged decompression takes for the bottom gas: the mix field, whole.
double StagedBottomN2(const GasMixFields& mix);

// The gas the staged decompression breathes on a step at `depth`: the bottom gas's N2 share with
// the decompression gas's He share, and from "NitroxDecoStart" upwards the whole decompression
// gas. On the ascent the switch depth itself still takes the bottom share, at a stop already
// the decompression gas.
GasShares StagedDecompressionGas(const Settings& settings, double bottomN2, double depth,
                                 StagedStep step);

// The warning lines (message list, dive plan, decompression text) for an ascent breathed on a
// gas that is neither a gas of the dive nor the decompression gas of the settings, or whose
// oxygen partial pressure passes the warning limit; empty when there is nothing to warn about.
std::vector<std::string> AscentGasWarnings(const Workspace& workspace);

// Counts the records 1..computedCount whose tolerated pressure exceeds 1.1 x their ambient
// pressure; with `report` the count is told to the user.
int CheckDecompression(const ComputedProfile& computed, double airPressure, Ui& ui, bool report,
                       double water = kSaltWater);

// The water of a calculation: the sea, or the planner's water when the planner is on.
double CalculationWater(const Settings& settings);

// Walks the line table minute by minute as the dive phase does: each line of positive time in
// whole-minute steps (its time less one, rounded halves to even, plus one), the depth moving by
// the line's rate, each minute spent at the depth it reaches. `minute(depth, line)` runs for every
// minute, `walked(line, fromDepth)` after every line; false when the walk reaches the end of the
// profile table (lines 1 to nextPoint are walked; lines[0] is the surface).
template <typename Minute, typename Walked>
bool WalkDiveMinutes(const std::vector<ProfileLine>& lines, int nextPoint, Minute&& minute,
                     Walked&& walked) {
    for (int i = 1; i <= nextPoint; ++i) {
        if (i == kProfileTableEnd || i >= static_cast<int>(lines.size())) return false;
        const ProfileLine& line = lines[static_cast<std::size_t>(i)];
        if (!(line.tDelta > 0)) continue;
        const double from = lines[static_cast<std::size_t>(i - 1)].depth;
        const double rate = (line.depth - from) / line.tDelta;
        double d = from;
        const double lastStep = RoundHalfEven(line.tDelta - 1);
        for (double k = 0; k <= lastStep; ++k) {
            d = d + rate;
            minute(d, line);
        }
        walked(line, from);
    }
    return true;
}

// The start of the ascent after the dive phase of a line table: the tissues from the surface
// state through every minute of it, the depth and run time reached, the gas breathed last and the
// walked lines as segments; nothing when the walk reaches the end of the profile table.
std::optional<AscentStart> DivePhaseOf(const std::vector<ProfileLine>& lines, int nextPoint,
                                       const ModelParameters& model, const Settings& settings);

// One calculation of the current dive: the dive phase along the line table, the staged or
// continuous decompression phase, the surface interval, the check and the report. The phases
// are public so that tests can run them one by one.
class DiveCalculation {
  public:
    DiveCalculation(Workspace& workspace, const SettingsStore& store, Ui& ui);
    ~DiveCalculation() { ClearStaleRecords(); }
    DiveCalculation(const DiveCalculation&) = delete;
    DiveCalculation& operator=(const DiveCalculation&) = delete;

    // The whole calculation (mnuCalcSaturation).
    CalculationResult Run();

    // The phases; each throws CalculationStopped when the calculation has to end.
    // The dive phase; false when the line table reached its end, which ends the calculation.
    bool WalkLineTable(CalculationResult& result, double& finalDepth);
    void StagedDecompression(double currentDepth);
    void ContinuousAscent(double currentDepth);
    // The ascent of the planner, when it is on: its stops go into the stop table and a record
    // for every whole minute of it into the computed profile.
    Schedule PlannedAscent(double currentDepth);
    void SimulateSurfaceInterval(int minutes);
    // Stores the current tissues as record computedCount with the oxygen steps of the minute.
    void AppendComputedMinute(double depth, double n2Percent, double hePercent);

    struct CalculationStopped {
        std::string reason;
    };

  private:
    CalculationResult RunSteps();
    // Marks the result as ended early and clears the stop times, which would otherwise be those
    // of the previous dive or a part of this one's.
    CalculationResult Incomplete(CalculationResult result, const std::string& reason);
    void WriteRecord(int index, double depth, double n2Percent, double hePercent, bool oxygen);
    // Records are written whole, so the table is not cleared before a calculation; what an
    // earlier, longer calculation left beyond this one's records is cleared when it ends and
    // before it tells the user anything.
    void ClearStaleRecords();
    void Stop(const std::string& message, bool messageBox);
    void CheckHalfTimes();
    // Every change of the tissues goes through Saturate, so the tolerated pressure of a step is
    // worked out once however often the step's record and the ascent ask for it.
    void Saturate(double depth, double time, double n2Percent, double hePercent);
    // Saturate on the decompression phase, which also notes the gas and its oxygen pressure.
    void Breathe(double depth, double time, const GasShares& gas);
    void AppendMinute(double depth, const GasShares& gas) {
        AppendComputedMinute(depth, gas.n2Percent, gas.hePercent);
    }
    double Tolerated();
    // The ambient pressure, kept for the depth asked last (the next stop, asked on every pass).
    double Ambient(double depth);

    Workspace& workspace_;
    const SettingsStore& store_;
    Ui& ui_;
    TissueState& tissues_;
    const Settings& settings_;
    TissueStepper stepper_;
    std::int32_t staleEnd_ = 1;  // where the records of the earlier calculation end
    OxygenSteps oxygen_;
    double ambientDepth_;
    double ambient_;
    bool toleratedKnown_ = false;
    double tolerated_ = 0;
    AscentGases ascent_;  // of the decompression phase run last
};

// mnuCalcSaturation: the calculation of the current dive with its messages.
CalculationResult mnuCalcSaturation(Workspace& workspace, const SettingsStore& store, Ui& ui);

}  // namespace marelos
