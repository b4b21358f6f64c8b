#include "no_fly.h"

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
    ui.ShowMessage(NoFlyMessage(minutes, workspace.settings.cabinPressure,
                                workspace.settings.decimalSeparator),
                   MessageIcon::Information);
}

std::string NoFlyMessage(std::optional<int> minutes, double cabinPressure,
                         std::string_view decimalSeparator) {
    if (!minutes) {
        return "Für einen Kabinendruck von " + FormatGeneral(cabinPressure, decimalSeparator) +
               " mbar lässt sich keine Flugverbotszeit bestimmen: Auch nach beliebig langer "
               "Zeit an der Oberfläche bleibt der tolerierte Umgebungsdruck der Gewebe nicht "
               "unter dem Kabinendruck.";
    }
    const double hours = Int(*minutes / 60.0);
    const double rest = *minutes - 60 * hours;
    return "Die Flugverbotszeit für diesen Tauchgang beträgt: " +
           FormatGeneral(*minutes, decimalSeparator) +
           " Minuten gerechnet ab Tauchgangsende. Dies entspricht " +
           FormatGeneral(hours, decimalSeparator) + "h und " +
           FormatGeneral(rest, decimalSeparator) + " min. Der Kabinendruck wird angesetzt mit " +
           FormatGeneral(cabinPressure, decimalSeparator) + " mbar.";
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
