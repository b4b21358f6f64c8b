#include "calculation.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <string>

#include "core/engine/oxygen.h"
#include "core/planner/ascent_walk.h"
#include "core/planner/gas_plan.h"
#include "core/planner/gas_warnings.h"
#include "core/planner/planner.h"
#include "core/settings/settings.h"
#include "core/text/number_format.h"
#include "core/text/rounding.h"
#include "core/text/val.h"

namespace marelos {
namespace {

// Beyond this depth a profile is no dive any more; the loops over metres would not end in
// any sensible time and the pressures lose all meaning.
constexpr double kDepthLimit = 1e6;

// Whether every value is a finite number. A double is infinite or NaN exactly when its exponent
// bits are all ones; tested on the bits, the compiler can check several values at once.
bool AllFinite(const CompartmentValues& values) {
    constexpr std::uint64_t kExponent = 0x7ff0000000000000;
    constexpr std::uint64_t kExponentOne = 0x0010000000000000;
    std::uint64_t nonFinite = 0;
    for (const double value : values)
        nonFinite |= ((std::bit_cast<std::uint64_t>(value) & kExponent) + kExponentOne) >> 63;
    return nonFinite == 0;
}

bool IsMultipleOfTen(double metres) {
    return std::fmod(metres, 10.0) == 0.0;
}

// Ends the progress display however the surface interval ends.
class ProgressScope {
  public:
    ProgressScope(Ui& ui, int steps) : ui_(ui) { ui_.StartProgress(steps); }
    ~ProgressScope() { ui_.ResetProgress(); }
    ProgressScope(const ProgressScope&) = delete;
    ProgressScope& operator=(const ProgressScope&) = delete;

  private:
    Ui& ui_;
};

}  // namespace

std::string IncompleteCalculationMessage(const CalculationResult& result) {
    return "Der Tauchgang konnte nicht vollständig berechnet werden, es gibt keine gültigen "
           "Dekompressionsstufen: " +
           result.stopReason;
}

std::optional<std::string> WhyNoPlan(bool plannerOn, const CalculationResult& last,
                                     std::string_view needsPlanner) {
    if (!plannerOn) return std::string(needsPlanner);
    if (Stopped(last)) return IncompleteCalculationMessage(last);
    if (!last.completed || !last.schedule) return "Noch kein Tauchgang berechnet (F5).";
    return std::nullopt;
}

double StagedBottomN2(const GasMixFields& mix) {
    return RoundHalfEven(Val(mix.n2));
}

GasShares StagedDecompressionGas(const Settings& settings, double bottomN2, double depth,
                                 StagedStep step) {
    const std::int32_t switchDepth = settings.nitroxDecoStart;
    const bool bottomShare = switchDepth <= 0 || (step == StagedStep::Ascent ? depth >= switchDepth
                                                                             : depth > switchDepth);
    return {bottomShare ? bottomN2 : settings.n2PerCentDecompression,
            static_cast<double>(settings.hePerCentDecompression)};
}

namespace {

// "55/44/0": a gas as O2/N2/He, the oxygen counted as the engine does.
std::string GasText(const GasShares& gas, std::string_view separator) {
    return FormatGeneral(99 - gas.n2Percent - gas.hePercent, separator) + "/" +
           FormatGeneral(gas.n2Percent, separator) + "/" + FormatGeneral(gas.hePercent, separator);
}

// Whether the diver set this gas: a gas of a profile line, the mix fields or the
// decompression gas of the settings.
bool IsGasOfTheDiver(const Workspace& workspace, const GasShares& gas) {
    const Settings& settings = workspace.settings;
    if (gas == GasShares{static_cast<double>(settings.n2PerCentDecompression),
                         static_cast<double>(settings.hePerCentDecompression)}) {
        return true;
    }
    if (gas == GasShares{StagedBottomN2(workspace.mix), Val(workspace.mix.he)}) return true;
    const DiveProfile& profile = workspace.profile;
    const int end = std::min(profile.nextPoint, kProfileTableEnd - 1);
    for (int i = 1; i <= end; ++i) {
        const ProfileLine& line = profile.lines[i];
        if (line.tDelta > 0 && gas == GasShares{line.n2Percent, line.hePercent}) return true;
    }
    return false;
}

}  // namespace

std::vector<std::string> AscentGasWarnings(const Workspace& workspace) {
    const AscentGases& ascent = workspace.computed.last.ascent;
    const std::string_view separator = workspace.settings.decimalSeparator;
    const double limit = workspace.settings.maxPpO2;
    const auto unset =
        std::find_if(ascent.breathed.begin(), ascent.breathed.end(),
                     [&](const GasShares& gas) { return !IsGasOfTheDiver(workspace, gas); });
    const bool aboveLimit = ascent.highestPpO2 > limit;
    if (unset == ascent.breathed.end() && !aboveLimit) return {};
    const std::string limitText = FormatGeneral(limit, separator) + " bar";
    std::vector<std::string> lines;
    if (unset != ascent.breathed.end()) {
        lines.push_back("Achtung: Der Aufstieg wurde mit dem Gas O2/N2/He " +
                        GasText(*unset, separator) +
                        " berechnet. Es ist weder ein Gas des Tauchgangs noch das "
                        "Dekompressionsgas der Einstellungen.");
    } else {
        lines.push_back("Achtung: Der ppO2 beim Aufstieg überschreitet die Warngrenze von " +
                        limitText + ".");
    }
    lines.push_back("Höchster ppO2 beim Aufstieg: " +
                    FormatGeneral(RoundHalfEven(ascent.highestPpO2 * 100) / 100, separator) +
                    " bar auf " + FormatGeneral(ascent.highestPpO2Depth, separator) +
                    " m mit O2/N2/He " + GasText(ascent.highestPpO2Gas, separator) +
                    (aboveLimit ? ", über der Warngrenze von " + limitText + "." : "."));
    lines.push_back(
        "Abhilfe: das Dekompressionsgas einstellen (Einstellungen, Register Dekompression) oder "
        "den Aufstieg mit dem Planer und seinen Gasen planen.");
    return lines;
}

int FindCeilingDepth(const TissueState& tissues, const ModelParameters& model, double airPressure) {
    const double tolerated = ToleratedAmbientPressure(tissues, model);
    for (int m = 300; m >= 0; --m) {
        if (AmbientPressure(m, airPressure) < tolerated) return m;
    }
    return 0;
}

int FindFirstStopIndex(const TissueState& tissues, const ModelParameters& model, double airPressure,
                       bool sharpFirstStop) {
    const double tolerated = ToleratedAmbientPressure(tissues, model);
    for (int k = kStopTableEnd; k >= 0; --k) {
        if (AmbientPressure(3 * k, airPressure) < tolerated) return sharpFirstStop ? k : k + 1;
    }
    return 0;
}

double CalculationWater(const Settings& settings) {
    return settings.planner.enabled ? settings.planner.Water() : kSaltWater;
}

int CheckDecompression(const ComputedProfile& computed, double airPressure, Ui& ui, bool report,
                       double water) {
    ui.ShowSysMsg("Überprüfe Dekompressionsstatus...");
    int count = 0;
    const int last = std::min(computed.computedCount, ComputedProfile::kTableEnd);
    double depth = 0;
    double ambient = AmbientPressure(depth, airPressure, water);  // kept while the depth repeats
    for (int j = 1; j <= last; ++j) {
        const ComputedMinute& record = computed.records[j];
        if (record.depth != depth) {
            depth = record.depth;
            ambient = AmbientPressure(depth, airPressure, water);
        }
        if (1.1 * ambient < record.toleratedPressure) ++count;
    }
    if (!report) return count;
    if (count > 0) {
        const std::string text = "Während " + std::to_string(count) +
                                 " Minute(n) wurden die Dekompressionsregeln nicht beachtet!";
        ui.ShowMessage(text, MessageIcon::Information);
        ui.ShowSysMsg(text);
    }
    if (count > 3) {
        ui.ShowMessage("Dekompression unzureichend!", MessageIcon::Information);
        ui.ShowSysMsg("Dekompression unzureichend!");
    }
    if (count == 0) ui.ShowSysMsg("Dekompressionsphase OK.");
    return count;
}

DiveCalculation::DiveCalculation(Workspace& workspace, const SettingsStore& store, Ui& ui)
    : workspace_(workspace),
      store_(store),
      ui_(ui),
      tissues_(workspace.tissues),
      settings_(workspace.settings),
      stepper_(workspace.model, workspace.settings.airPressure,
               CalculationWater(workspace.settings)),
      oxygen_(workspace.settings.airPressure, CalculationWater(workspace.settings)),
      ambientDepth_(0),
      ambient_(stepper_.AmbientPressure(0)) {}

CalculationResult DiveCalculation::Run() {
    const CalculationResult result = RunSteps();
    workspace_.computed.last = result;
    return result;
}

CalculationResult DiveCalculation::RunSteps() {
    CalculationResult result;
    if (workspace_.view.mode < 4) {
        BuildLinesFromPoints(workspace_.profile, settings_.maxHScale);
        workspace_.view.mode = 1;
        ui_.RedrawProfileGraph();
        ui_.ShowSysMsg("Berechne Profil");
    }
    InitTissues(tissues_, settings_.initialPpN2, settings_.airPressure);
    toleratedKnown_ = false;
    staleEnd_ = RecordsInUseEnd(workspace_.computed);
    workspace_.computed.usedEnd = 1;
    try {
        CheckHalfTimes();
        double depth = 0.0;
        if (!WalkLineTable(result, depth)) return Incomplete(result, kLineTableFullMessage);
        result.decompressionDive = Tolerated() > Ambient(0);
        ascent_ = {};
        result.decoBegin = workspace_.computed.computedCount;
        if (settings_.planner.enabled) {
            result.schedule = PlannedAscent(depth);
            if (!settings_.gasPlan.cylinders.empty()) {
                result.gasPlan = PlanGas(*result.schedule, settings_.gasPlan, settings_.planner,
                                         settings_.airPressure, settings_.decimalSeparator);
            }
        } else if (StepwiseForCalculation(store_)) {
            StagedDecompression(depth);
        } else {
            ContinuousAscent(depth);
        }
        result.ascent = ascent_;
        result.decoEnd = workspace_.computed.computedCount;
        SimulateSurfaceInterval(settings_.surfaceInterval);
    } catch (const CalculationStopped& stopped) {
        return Incomplete(result, stopped.reason);
    }
    ClearStaleRecords();

    const long long axisTime = static_cast<long long>(result.totalTime) + settings_.surfaceInterval;
    if (axisTime > workspace_.settings.maxHScale) {
        workspace_.settings.maxHScale = RoundToInt32(static_cast<double>(axisTime + 10));
        ui_.RedrawProfileGraph();
    }
    result.violations = CheckDecompression(workspace_.computed, settings_.airPressure, ui_, true,
                                           CalculationWater(settings_));
    const ComputedProfile& computed = workspace_.computed;
    ui_.ShowSysMsg("Oxygen Tolerance Units: " +
                   FormatGeneral(TotalOtu(computed), settings_.decimalSeparator));
    ui_.ShowSysMsg(
        "ZNS Tagesdosis: " + FormatGeneral(DailyCns(computed), settings_.decimalSeparator) + "%");
    ui_.ShowSysMsg("ZNS Tauchgangsdosis: " +
                   FormatGeneral(DiveCns(computed), settings_.decimalSeparator) + "%");
    ui_.ShowSysMsg("Max.Tiefe: " + FormatGeneral(result.maxDepth, settings_.decimalSeparator) +
                   " m Wassertiefe");
    ui_.ShowSysMsg("Zeit: " + FormatGeneral(result.diveMinutes, settings_.decimalSeparator) +
                   " min.");
    result.completed = true;
    workspace_.computed.last = result;  // the views shown next write this dive's values
    ui_.CalculationFinished();
    ui_.ShowSysMsg(ModelMessage(workspace_.model));
    ui_.ShowSysMsg(ProgressivityMessage(workspace_.model));
    for (const std::string& warning : AscentGasWarnings(workspace_))
        ui_.ShowSysMsg(warning);
    if (result.schedule) {
        for (const std::string& warning : result.schedule->warnings)
            ui_.ShowSysMsg(warning);
    }
    if (result.gasPlan) {
        for (const std::string& warning : result.gasPlan->warnings)
            ui_.ShowSysMsg(warning);
    }
    return result;
}

CalculationResult DiveCalculation::Incomplete(CalculationResult result, const std::string& reason) {
    ClearStaleRecords();
    ClearStopTimes(workspace_.profile);
    result.completed = false;
    result.stopReason = reason;
    return result;
}

void DiveCalculation::CheckHalfTimes() {
    const ModelParameters& model = workspace_.model;
    for (int c = model.firstCompartment; c <= kLastCompartment; ++c) {
        const bool valid = model.halfTimeN2[c] > 0 && std::isfinite(model.halfTimeN2[c]) &&
                           model.halfTimeHe[c] > 0 && std::isfinite(model.halfTimeHe[c]);
        if (!valid) {
            Stop("Die Halbwertszeit von Kompartiment " +
                     FormatGeneral(c, settings_.decimalSeparator) +
                     " ist 0 oder ungültig. Die Berechnung wurde abgebrochen.",
                 true);
        }
    }
}

void DiveCalculation::Stop(const std::string& message, bool messageBox) {
    ClearStaleRecords();
    if (messageBox) ui_.ShowMessage(message, MessageIcon::Critical);
    ui_.ShowSysMsg(message);
    throw CalculationStopped{message};
}

void DiveCalculation::Saturate(double depth, double time, double n2Percent, double hePercent) {
    stepper_.Saturate(tissues_, depth, time, n2Percent, hePercent);
    toleratedKnown_ = false;
}

void DiveCalculation::Breathe(double depth, double time, const GasShares& gas) {
    Saturate(depth, time, gas.n2Percent, gas.hePercent);
    if (std::find(ascent_.breathed.begin(), ascent_.breathed.end(), gas) ==
        ascent_.breathed.end()) {
        ascent_.breathed.push_back(gas);
    }
    const double ppO2 =
        OxygenPartialPressure(stepper_.AmbientPressure(depth), gas.n2Percent, gas.hePercent);
    if (ppO2 > ascent_.highestPpO2) {
        ascent_.highestPpO2 = ppO2;
        ascent_.highestPpO2Depth = depth;
        ascent_.highestPpO2Gas = gas;
    }
}

void DiveCalculation::ClearStaleRecords() {
    ComputedProfile& computed = workspace_.computed;
    ClearRecords(computed, computed.usedEnd, staleEnd_);
    staleEnd_ = computed.usedEnd;
}

double DiveCalculation::Ambient(double depth) {
    if (depth != ambientDepth_) {
        ambientDepth_ = depth;
        ambient_ = stepper_.AmbientPressure(depth);
    }
    return ambient_;
}

double DiveCalculation::Tolerated() {
    if (!toleratedKnown_) {
        tolerated_ = ToleratedAmbientPressure(tissues_, workspace_.model);
        toleratedKnown_ = true;
    }
    return tolerated_;
}

void DiveCalculation::WriteRecord(int index, double depth, double n2Percent, double hePercent,
                                  bool oxygen) {
    ComputedProfile& computed = workspace_.computed;
    // Records end before the table's last index, which stays empty for the sums that read it.
    if (index >= ComputedProfile::kTableEnd) {
        computed.computedCount = ComputedProfile::kTableEnd;
        Stop(kArrayFullMessage, false);
    }
    computed.usedEnd = std::max(computed.usedEnd, index + 1);
    ComputedMinute& record = computed.records[index];
    record.depth = depth;
    // Compartment 0 on its own and 1 to 16 in one loop, as the saturation step stores them, so
    // that the processor can hand each stored value straight on to the copy.
    const bool useCompartment0 = workspace_.model.firstCompartment == 0;
    record.pTotal[0] = useCompartment0 ? tissues_.pTotal[0] : 0;
    record.pN2[0] = useCompartment0 ? tissues_.pN2[0] : 0;
    record.pHe[0] = useCompartment0 ? tissues_.pHe[0] : 0;
    for (int c = 1; c <= kLastCompartment; ++c) {
        record.pTotal[c] = tissues_.pTotal[c];
        record.pN2[c] = tissues_.pN2[c];
        record.pHe[c] = tissues_.pHe[c];
    }
    record.toleratedPressure = Tolerated();
    record.n2Percent = n2Percent;
    record.hePercent = hePercent;
    if (oxygen) {
        oxygen_.AddMinute(record, depth, n2Percent, hePercent);
    } else {
        record.otu = 0;
        record.cnsDay = 0;
        record.cnsDive = 0;
    }
    // A compartment that does not take part holds 0 and passes the check.
    const bool finite =
        std::isfinite(record.otu) && std::fabs(depth) <= kDepthLimit && AllFinite(tissues_.pTotal);
    if (!finite) {
        record = ComputedMinute{};
        computed.computedCount = index;
        Stop("Die Werte des Tauchprofils liegen in Minute " +
                 FormatGeneral(index, settings_.decimalSeparator) +
                 " außerhalb des Rechenbereichs. Die Berechnung wurde abgebrochen.",
             true);
    }
}

void DiveCalculation::AppendComputedMinute(double depth, double n2Percent, double hePercent) {
    ComputedProfile& computed = workspace_.computed;
    WriteRecord(computed.computedCount, depth, n2Percent, hePercent, true);
    computed.computedCount += 1;
}

bool DiveCalculation::WalkLineTable(CalculationResult& result, double& finalDepth) {
    const DiveProfile& profile = workspace_.profile;
    int j = 1;
    double d = 0.0;
    const bool walked = WalkDiveMinutes(
        profile.lines, profile.nextPoint,
        [&](double depth, const ProfileLine& line) {
            d = depth;
            Saturate(d, 1, line.n2Percent, line.hePercent);
            WriteRecord(j, d, line.n2Percent, line.hePercent, true);
            if (Int(d) > result.maxDepth) result.maxDepth = RoundToInt16(Int(d));
            if (Int(d) > 0) result.diveMinutes = RoundToInt16(result.diveMinutes + 1.0);
            ++j;
        },
        [&](const ProfileLine& line, double) {
            result.totalTime = RoundToInt32(line.tDelta + result.totalTime);
        });
    if (!walked) return false;  // ends at once, without a message
    workspace_.computed.computedCount = j;
    finalDepth = d;
    return true;
}

std::optional<AscentStart> DivePhaseOf(const std::vector<ProfileLine>& lines, int nextPoint,
                                       const ModelParameters& model, const Settings& settings) {
    AscentStart start;
    InitTissues(start.surfaceTissues, settings.initialPpN2, settings.airPressure);
    start.tissues = start.surfaceTissues;
    start.bottomGas = BreathingGas::FromProfileLine(settings.n2PerCentSurface, 0);
    TissueStepper stepper(model, settings.airPressure, CalculationWater(settings));
    double lineMinutes = 0;
    const bool walked = WalkDiveMinutes(
        lines, nextPoint,
        [&](double depth, const ProfileLine& line) {
            stepper.Saturate(start.tissues, depth, 1, line.n2Percent, line.hePercent);
            start.depth = depth;
            lineMinutes += 1;
        },
        [&](const ProfileLine& line, double from) {
            start.runTime += lineMinutes;
            start.bottomGas = BreathingGas::FromProfileLine(line.n2Percent, line.hePercent);
            start.divePhase.push_back({line.depth == from ? SegmentKind::Stop : SegmentKind::Travel,
                                       from, line.depth, lineMinutes, start.runTime,
                                       start.bottomGas});
            lineMinutes = 0;
        });
    if (!walked) return std::nullopt;
    return start;
}

void DiveCalculation::StagedDecompression(double currentDepth) {
    DiveProfile& profile = workspace_.profile;
    ClearStopTimes(profile);
    int stopMinutes = 0;
    double depth = 0.0;
    const int first = FindFirstStopIndex(tissues_, workspace_.model, settings_.airPressure,
                                         settings_.sharp1stStep == 1);
    if (first > kStopTableEnd) {
        Stop(
            "Die erste Dekompressionsstufe läge tiefer als 300 m. Die Berechnung wurde "
            "abgebrochen.",
            true);
    }
    const double firstStopDepth = 3.0 * first;
    ui_.ShowSysMsg("Erste Deko-Stufe auf " +
                   FormatGeneral(firstStopDepth, settings_.decimalSeparator) + " m");

    const GasShares decoGas = {static_cast<double>(settings_.n2PerCentDecompression),
                               static_cast<double>(settings_.hePerCentDecompression)};
    if (settings_.deepStops == 1) {
        const double x = settings_.deepStopMode == 1 ? currentDepth : firstStopDepth + currentDepth;
        const double deepStop = Int(x / 2);
        if (deepStop > firstStopDepth) {
            for (double m = Int(currentDepth); m >= deepStop; --m) {
                depth = m;
                Breathe(m, 0.1, decoGas);
                if (IsMultipleOfTen(m) || m == deepStop) AppendMinute(m, decoGas);
            }
            for (int t = 0; t < settings_.deepStopTime; ++t) {
                Breathe(depth, 1, decoGas);
                AppendMinute(depth, decoGas);
            }
            currentDepth = depth;
        }
    }

    // The gas is chosen at the start of each step that moves, so the minute of arrival at a
    // stop still breathes the gas of the depth before.
    const double bottomN2 = StagedBottomN2(workspace_.mix);
    GasShares gas = {bottomN2, decoGas.hePercent};  // also when no step moves
    for (double m = Int(currentDepth); m >= firstStopDepth; --m) {
        depth = m;
        gas = StagedDecompressionGas(settings_, bottomN2, m, StagedStep::Ascent);
        Breathe(m, 0.1, gas);
        if (IsMultipleOfTen(m)) AppendMinute(m, gas);
    }
    Breathe(depth, 1, gas);
    AppendMinute(depth, gas);
    ascent_.arrival = gas;

    int k = first;
    while (depth > 0) {
        stopMinutes += 1;
        gas = StagedDecompressionGas(settings_, bottomN2, depth, StagedStep::Stop);
        const double nextDepth = 3.0 * (k - 1);
        if (Ambient(nextDepth) >= Tolerated()) {
            Breathe(depth, 1, gas);
            AppendMinute(depth, gas);
            if (k > 0) profile.stops[k] = {profile.stops[k].depth, stopMinutes, gas};
            stopMinutes = 0;
            depth = nextDepth;
            k -= 1;
        }
        Breathe(depth, 1, gas);
        AppendMinute(depth, gas);
    }
}

void DiveCalculation::ContinuousAscent(double currentDepth) {
    const GasShares decoGas = {static_cast<double>(settings_.n2PerCentDecompression),
                               static_cast<double>(settings_.hePerCentDecompression)};
    const int ceiling = FindCeilingDepth(tissues_, workspace_.model, settings_.airPressure);
    int counter = 1;
    double depth = 0.0;
    for (double m = Int(currentDepth); m >= ceiling; --m) {
        Breathe(m, 0.1, decoGas);
        counter += 1;
        if (counter == 10) {
            AppendMinute(m, decoGas);
            counter = 1;
        }
        depth = m;
    }
    ascent_.arrival = decoGas;
    while (depth > 0) {
        Breathe(depth, 1, decoGas);
        AppendMinute(depth, decoGas);
        if (Ambient(depth) > Tolerated()) depth = DepthFromPressure(Tolerated()) + 0.5;
    }
}

Schedule DiveCalculation::PlannedAscent(double currentDepth) {
    const DiveProfile& profile = workspace_.profile;
    // The walk that loaded the tissues, again for its segments; its tissues are the same.
    AscentStart start = *DivePhaseOf(profile.lines, profile.nextPoint, workspace_.model, settings_);
    start.tissues = tissues_;
    start.depth = currentDepth;
    Schedule schedule =
        PlanAscent(start, workspace_.model, settings_.planner, settings_.airPressure);
    if (!schedule.complete) Stop(schedule.reason, true);
    schedule.warnings = PlannerGasWarnings(schedule, settings_.planner, settings_.airPressure,
                                           settings_.decimalSeparator);
    ui_.ShowSysMsg("Erste Deko-Stufe auf " +
                   FormatGeneral(schedule.FirstStopDepth(), settings_.decimalSeparator) + " m (" +
                   schedule.model + ")");

    ClearStopTimes(workspace_.profile);
    for (const ScheduleStop& stop : schedule.stops) {
        const double index = stop.depth / 3;
        if (index == Int(index) && index >= 1 && index <= kStopTableEnd) {
            workspace_.profile.stops[static_cast<std::size_t>(index)] = {
                static_cast<std::int32_t>(stop.depth), stop.minutes, stop.gas.Shares()};
        }
    }
    const SegmentLoader loader(workspace_.model, settings_.airPressure, settings_.planner.Water());
    SampleWholeMinutes(tissues_, schedule, loader,
                       BreathingGas::FromProfileLine(settings_.n2PerCentSurface, 0),
                       [&](double depth, const BreathingGas& gas) {
                           toleratedKnown_ = false;
                           AppendComputedMinute(depth, gas.n2, gas.he);
                       });
    return schedule;
}

void DiveCalculation::SimulateSurfaceInterval(int minutes) {
    // The records end at the table's end, so longer intervals count as the whole table.
    const ProgressScope progress(ui_, std::min(minutes, ComputedProfile::kTableEnd) + 1);
    ComputedProfile& computed = workspace_.computed;
    for (int t = 1; t <= minutes; ++t) {
        Saturate(0, 1, settings_.n2PerCentSurface, 0);
        WriteRecord(computed.computedCount, 0, 0, 0, false);
        computed.computedCount += 1;
        ui_.ShowProgress(t);
        if (computed.computedCount >= ComputedProfile::kTableEnd) {
            ui_.ShowSysMsg(kArrayFullMessage);
            break;
        }
    }
}

CalculationResult mnuCalcSaturation(Workspace& workspace, const SettingsStore& store, Ui& ui) {
    DiveCalculation calculation(workspace, store, ui);
    return calculation.Run();
}

}  // namespace marelos
