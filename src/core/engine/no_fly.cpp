#include "no_fly.h"

#include <algorithm>
#include <cmath>

#include "core/engine/calculation.h"
#include "core/settings/setting_keys.h"
#include "core/text/fields.h"
#include "core/text/number_format.h"
#include "core/text/rounding.h"
#include "core/text/val.h"

namespace marelos {
namespace {

// Far beyond any real no-fly time (a few days); a safety net only, because the tissues settle
// (the tolerated pressure stops changing) long before.
constexpr int kNoFlySearchLimit = 1000000;

// The surface search on the tissues as the calculation left them. It ends without a result
// once the tolerated pressure stays the same from one minute to the next while still not
// below the cabin pressure: the tissues have settled in balance with surface air, and no
// longer wait would let the diver fly.
std::optional<int> SearchNoFlyMinutes(Workspace& workspace) {
    const Settings& settings = workspace.settings;
    TissueStepper stepper(workspace.model, settings.airPressure);
    const double surfaceDepth = DepthFromPressure(settings.airPressure / 1000);
    const double cabin = settings.cabinPressure / 1000;
    double tolerated = ToleratedAmbientPressure(workspace.tissues, workspace.model);
    int minutes = 0;
    while (cabin <= tolerated) {
        if (minutes >= kNoFlySearchLimit) return std::nullopt;
        stepper.Saturate(workspace.tissues, surfaceDepth, 1, settings.n2PerCentSurface, 0);
        minutes += 1;
        const double next = ToleratedAmbientPressure(workspace.tissues, workspace.model);
        if (next == tolerated && cabin <= next) return std::nullopt;
        tolerated = next;
    }
    return minutes;
}

}  // namespace

std::optional<int> ComputeNoFlyMinutes(Workspace& workspace, const SettingsStore& store, Ui& ui) {
    const std::int32_t surfaceInterval = workspace.settings.surfaceInterval;
    workspace.settings.surfaceInterval = 0;
    const CalculationResult dive = mnuCalcSaturation(workspace, store, ui);
    // Tissues of a calculation that ended early are no state to wait out.
    const std::optional<int> minutes = Stopped(dive) ? std::nullopt : SearchNoFlyMinutes(workspace);
    workspace.settings.surfaceInterval = surfaceInterval;
    mnuCalcSaturation(workspace, store, ui);
    return minutes;
}

void ShowNoFlyResult(const Workspace& workspace, std::optional<int> minutes, Ui& ui) {
    const CalculationResult& last = workspace.computed.last;
    if (Stopped(last)) {
        ui.ShowMessage(IncompleteCalculationMessage(last), MessageIcon::Critical);
        return;
    }
    ui.ShowMessage(
        NoFlyMessage(minutes, workspace.settings.cabinPressure,
                     RecommendedWaitBeforeFlying(workspace), workspace.settings.decimalSeparator),
        MessageIcon::Information);
}

FlyingRecommendation RecommendedWaitBeforeFlying(const Workspace& workspace) {
    if (workspace.computed.last.decompressionDive) return {24, "Dekompressionstauchgang"};
    // A dive that comes back to the surface and goes down again is a repetitive dive.
    const DiveProfile& profile = workspace.profile;
    bool dived = false;
    bool surfaced = false;
    const int end = std::min(profile.nextPoint, kProfileTableEnd - 1);
    for (int i = 1; i <= end; ++i) {
        const ProfileLine& line = profile.lines[i];
        if (!(line.tDelta > 0)) continue;
        if (line.depth > 0 && surfaced) return {18, "Wiederholungstauchgänge"};
        dived = dived || line.depth > 0;
        surfaced = dived && line.depth <= 0;
    }
    return {};
}

std::string NoFlyMessage(std::optional<int> minutes, double cabinPressure,
                         const FlyingRecommendation& recommendation,
                         std::string_view decimalSeparator) {
    const auto number = [&](double value) { return FormatGeneral(value, decimalSeparator); };
    const std::string advice =
        "\n\nÜbliche Empfehlung: mindestens 12 h nach einem einzelnen Tauchgang ohne "
        "Dekompressionsstopps, 18 h nach Wiederholungstauchgängen oder mehreren Tauchtagen, 24 h "
        "nach einem Dekompressionstauchgang. Für diesen Tauchgang (" +
        std::string(recommendation.dive) + ") gilt die Empfehlung von " +
        number(recommendation.hours) + " h.";
    if (!minutes) {
        return "Für einen Kabinendruck von " + number(cabinPressure) +
               " mbar lässt sich keine Flugverbotszeit bestimmen: Auch nach beliebig langer "
               "Zeit an der Oberfläche bleibt der tolerierte Umgebungsdruck der Gewebe nicht "
               "unter dem Kabinendruck." +
               advice;
    }
    const double hours = Int(*minutes / 60.0);
    const double rest = *minutes - 60 * hours;
    const std::string modelTime = number(hours) + "h und " + number(rest) + " min.";
    const std::string longer = *minutes > recommendation.hours * 60
                                   ? "die Flugverbotszeit des Modells (" + modelTime + ")"
                                   : "die Empfehlung (" + number(recommendation.hours) + " h)";
    return "Die Flugverbotszeit für diesen Tauchgang beträgt: " + number(*minutes) +
           " Minuten gerechnet ab Tauchgangsende. Dies entspricht " + modelTime +
           " Der Kabinendruck wird angesetzt mit " + number(cabinPressure) + " mbar." + advice +
           " Es gilt die längere der beiden Zeiten, hier " + longer + ".";
}

double AltitudePressure(double seaLevelMbar, double altitudeMetres) {
    const double p0 = seaLevelMbar * std::pow(10.0, 2);
    return p0 * std::exp(-12.682368 * altitudeMetres / p0);
}

std::string AltitudeResultText(const std::string& seaLevelText, const std::string& altitudeText) {
    const double pressure = AltitudePressure(Val(seaLevelText), Val(altitudeText));
    // Without a sea-level pressure the formula has no meaning; it shows 0 instead of NaN.
    const double shown = std::isfinite(pressure) ? Int(pressure / 100) : 0;
    return "Luftdruck (Höhe) = " + FormatGeneral(shown) + " mbar.";
}

bool TakeOverAltitudePressure(const std::string& resultText, Settings& settings,
                              SettingsStore& store) {
    const double value = Val(GetField(resultText, 4));
    if (!(value > 0)) return false;
    settings.airPressure = value;
    WriteSetting(store, keys::kAirPressure, StoredText(keys::kAirPressure, value));
    return true;
}

}  // namespace marelos
