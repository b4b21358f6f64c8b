#include "calculation.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <string>

#include "core/engine/oxygen.h"
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

int CheckDecompression(const ComputedProfile& computed, double airPressure, Ui& ui, bool report) {
    ui.ShowSysMsg("Überprüfe Dekompressionsstatus...");
    int count = 0;
    const int last = std::min(computed.computedCount, ComputedProfile::kTableEnd);
    double depth = 0;
    double ambient = AmbientPressure(depth, airPressure);  // kept while the depth repeats
    for (int j = 1; j <= last; ++j) {
        const ComputedMinute& record = computed.records[j];
        if (record.depth != depth) {
            depth = record.depth;
            ambient = AmbientPressure(depth, airPressure);
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
      stepper_(workspace.model, workspace.settings.airPressure),
      oxygen_(workspace.settings.airPressure),
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
        if (StepwiseForCalculation(store_)) {
            StagedDecompression(depth);
        } else {
            ContinuousAscent(depth);
        }
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
    result.violations = CheckDecompression(workspace_.computed, settings_.airPressure, ui_, true);
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
    for (int i = 1; i <= profile.nextPoint; ++i) {
        if (i == kProfileTableEnd) return false;  // ends at once, without a message
        const ProfileLine& line = profile.lines[i];
        if (!(line.tDelta > 0)) continue;
        const double rate = (line.depth - profile.lines[i - 1].depth) / line.tDelta;
        d = profile.lines[i - 1].depth;
        const double lastStep = RoundHalfEven(line.tDelta - 1);
        for (double k = 0; k <= lastStep; ++k) {
            d = d + rate;
            Saturate(d, 1, line.n2Percent, line.hePercent);
            WriteRecord(j, d, line.n2Percent, line.hePercent, true);
            if (Int(d) > result.maxDepth) result.maxDepth = RoundToInt16(Int(d));
            if (Int(d) > 0) result.diveMinutes = RoundToInt16(result.diveMinutes + 1.0);
            ++j;
        }
        result.totalTime = RoundToInt32(line.tDelta + result.totalTime);
    }
    workspace_.computed.computedCount = j;
    finalDepth = d;
    return true;
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

    const double n2Deco = settings_.n2PerCentDecompression;
    const double heDeco = settings_.hePerCentDecompression;
    if (settings_.deepStops == 1) {
        const double x = settings_.deepStopMode == 1 ? currentDepth : firstStopDepth + currentDepth;
        const double deepStop = Int(x / 2);
        if (deepStop > firstStopDepth) {
            for (double m = Int(currentDepth); m >= deepStop; --m) {
                depth = m;
                Saturate(m, 0.1, n2Deco, heDeco);
                if (IsMultipleOfTen(m) || m == deepStop) AppendComputedMinute(m, n2Deco, heDeco);
            }
            for (int t = 0; t < settings_.deepStopTime; ++t) {
                Saturate(depth, 1, n2Deco, heDeco);
                AppendComputedMinute(depth, n2Deco, heDeco);
            }
            currentDepth = depth;
        }
    }

    // The bottom gas's N2 share, and the depth from which the decompression gas's replaces it.
    const double bottomN2 = RoundHalfEven(Val(workspace_.mix.n2));
    const std::int32_t switchDepth = settings_.nitroxDecoStart;
    double n2 = bottomN2;
    for (double m = Int(currentDepth); m >= firstStopDepth; --m) {
        depth = m;
        if (switchDepth > 0) n2 = m >= switchDepth ? bottomN2 : n2Deco;
        Saturate(m, 0.1, n2, heDeco);
        if (IsMultipleOfTen(m)) AppendComputedMinute(m, n2, heDeco);
    }
    Saturate(depth, 1, n2, heDeco);
    AppendComputedMinute(depth, n2, heDeco);

    int k = first;
    while (depth > 0) {
        stopMinutes += 1;
        if (switchDepth > 0) n2 = depth > switchDepth ? bottomN2 : n2Deco;
        const double nextDepth = 3.0 * (k - 1);
        if (Ambient(nextDepth) >= Tolerated()) {
            Saturate(depth, 1, n2, heDeco);
            AppendComputedMinute(depth, n2, heDeco);
            if (k > 0) profile.stops[k].time = stopMinutes;
            stopMinutes = 0;
            depth = nextDepth;
            k -= 1;
        }
        Saturate(depth, 1, n2, heDeco);
        AppendComputedMinute(depth, n2, heDeco);
    }
}

void DiveCalculation::ContinuousAscent(double currentDepth) {
    const double n2Deco = settings_.n2PerCentDecompression;
    const double heDeco = settings_.hePerCentDecompression;
    const int ceiling = FindCeilingDepth(tissues_, workspace_.model, settings_.airPressure);
    int counter = 1;
    double depth = 0.0;
    for (double m = Int(currentDepth); m >= ceiling; --m) {
        Saturate(m, 0.1, n2Deco, heDeco);
        counter += 1;
        if (counter == 10) {
            AppendComputedMinute(m, n2Deco, heDeco);
            counter = 1;
        }
        depth = m;
    }
    while (depth > 0) {
        Saturate(depth, 1, n2Deco, heDeco);
        AppendComputedMinute(depth, n2Deco, heDeco);
        if (Ambient(depth) > Tolerated()) depth = DepthFromPressure(Tolerated()) + 0.5;
    }
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
