#include "editing.h"

#include <algorithm>
#include <string>

#include "core/app_info.h"
#include "core/engine/calculation.h"
#include "core/engine/calculators.h"
#include "core/engine/tissues.h"
#include "core/graphics/profile_graph.h"
#include "core/profile/gas_mix.h"
#include "core/settings/setting_keys.h"
#include "core/text/fields.h"
#include "core/text/number_format.h"
#include "core/text/rounding.h"
#include "core/text/val.h"

namespace marelos {
namespace {

constexpr std::int32_t kDarkBlue = 0xC00000;
constexpr std::int32_t kDarkGreen = 16384;
constexpr std::int32_t kRed = 255;

std::string N(double value) {
    return FormatGeneral(value);
}

int LastPointIndex(const DiveProfile& profile) {
    return std::min(profile.nextPoint, kProfileTableEnd - 1);
}

// The answer of an input box as a whole number; no answer reads as 0.
double AskWholeNumber(Ui& ui, std::string_view prompt, std::string_view proposal) {
    return RoundHalfEven(Val(ui.AskText(prompt, proposal).value_or("")));
}

// An axis length asked from the user: 0 or no answer changes nothing, a value up to the limit
// is taken, stored and drawn, anything else is refused with a message.
struct AxisQuestion {
    const char* prompt;
    std::string proposal;
    double limit;
    const SettingKey& key;
    std::int32_t& length;
};

void SetAxisLength(Workspace& workspace, SettingsStore& store, Canvas& canvas, Ui& ui,
                   const AxisQuestion& axis) {
    const double value = AskWholeNumber(ui, axis.prompt, axis.proposal);
    if (value == 0) return;
    if (value < 0 || value > axis.limit) {
        ui.ShowMessage("Zahlenwert muss zwischen 0 und " + N(axis.limit) + " liegen.",
                       MessageIcon::Information);
        return;
    }
    axis.length = RoundToInt32(value);
    WriteSetting(store, axis.key, N(value));
    DrawProfile(canvas, workspace.settings, workspace.profile);
}

void ShiftPointsAfter(Workspace& workspace, std::int32_t minute, std::int32_t shift) {
    DiveProfile& profile = workspace.profile;
    for (int i = 1; i <= LastPointIndex(profile); ++i) {
        if (profile.points[i].time > minute) profile.points[i].time += shift;
    }
}

}  // namespace

void EnterInputMode(Workspace& workspace, Canvas& canvas, Ui& ui) {
    workspace.view.mode = 1;
    ui.SetWindowCaption(std::string(kProgramTitle) + " - Tauchprofil bearbeiten");
    DrawProfile(canvas, workspace.settings, workspace.profile);
}

void mnuCalcProfile(Workspace& workspace, Canvas& canvas, Ui& ui) {
    BuildLinesFromPoints(workspace.profile, workspace.settings.maxHScale);
    EnterInputMode(workspace, canvas, ui);
}

bool AddPointAtClick(Workspace& workspace, Canvas& canvas, Ui& ui, double x, double y) {
    if (!CheckMixPlausible(workspace.mix, true, ui).plausible) return false;
    const GraphGeometry g = GraphGeometry::Of(canvas);
    if (x < g.left - 10 || x > g.right + 10 || y < g.top - 10 || y > g.bottom + 10) return false;
    const Settings& settings = workspace.settings;
    const std::int32_t depth = DepthFromY(y, g, settings.maxVScale);
    const std::int32_t minute = TimeFromX(x, g, settings.maxHScale);
    ui.ShowSysMsg(AddedPointStatus(depth, minute, Val(workspace.mix.n2), Val(workspace.mix.he),
                                   settings.decimalSeparator));
    if (AskDeletePointAt(workspace, canvas, ui, x, y)) return false;

    DiveProfile& profile = workspace.profile;
    if (profile.nextPoint > kMaxProfileLines) {
        ui.ShowMessage("Das Tauchprofil hat bereits " + N(kMaxProfileLines) +
                           " Punkte; weitere Punkte können nicht hinzugefügt werden.",
                       MessageIcon::Information);
        return false;
    }
    profile.changed = true;
    DrawPointCircle(canvas, settings, x, y);
    const PointGas gas = GasForNewPoint(workspace.mix);
    profile.points[profile.nextPoint] = {minute, depth, gas.n2Percent, gas.hePercent};
    profile.nextPoint += 1;
    AddUsedMix(workspace.mixList, workspace.mix);
    return true;
}

bool AskDeletePointAt(Workspace& workspace, Canvas& canvas, Ui& ui, double x, double y) {
    const GraphGeometry g = GraphGeometry::Of(canvas);
    const std::int32_t minute = TimeFromX(x, g, workspace.settings.maxHScale);
    const std::int32_t depth = DepthFromY(y, g, workspace.settings.maxVScale);
    DiveProfile& profile = workspace.profile;
    bool asked = false;
    for (int i = 1; i <= LastPointIndex(profile); ++i) {
        ProfilePoint& point = profile.points[i];
        if (point.time != minute || point.depth != depth) continue;
        asked = true;
        if (ui.Ask("Diesen Punkt löschen?", Buttons::YesNo, MessageIcon::Question, Answer::No) !=
            Answer::Yes)
            continue;
        point.time = 0;
        point.depth = 0;
        profile.changed = true;
        mnuCalcProfile(workspace, canvas, ui);
        ui.ShowSysMsg("Punkt bei " + N(minute) + " min. / " + N(depth) + " m gelöscht.");
        return true;
    }
    if (asked) ui.ShowSysMsg("Kein Punkt gelöscht.");
    return false;
}

void DeleteRightOfCursor(Workspace& workspace, Canvas& canvas, Ui& ui, double x) {
    const std::int32_t minute =
        TimeFromX(x, GraphGeometry::Of(canvas), workspace.settings.maxHScale);
    if (ui.Ask("Alle Profilpunkte rechts von dieser Marke löschen?", Buttons::YesNo,
               MessageIcon::Question, Answer::No) != Answer::Yes) {
        return;
    }
    DiveProfile& profile = workspace.profile;
    for (int i = 1; i <= LastPointIndex(profile); ++i) {
        if (profile.points[i].time < minute) continue;
        profile.points[i].time = 0;
        profile.points[i].depth = 0;
        profile.lines[i].tDelta = 0;
        profile.lines[i].tTotal = 0;
        profile.lines[i].depth = 0;
    }
    profile.changed = true;
    mnuCalcProfile(workspace, canvas, ui);
}

void DeleteLastPoint(Workspace& workspace, Canvas& canvas, Ui& ui) {
    DiveProfile& profile = workspace.profile;
    if (profile.nextPoint > 1) {
        profile.points[profile.nextPoint - 1].time = 0;
        profile.points[profile.nextPoint - 1].depth = 0;
    }
    mnuCalcProfile(workspace, canvas, ui);
}

void InsertMinute(Workspace& workspace, Canvas& canvas, Ui& ui, std::int32_t minute) {
    ShiftPointsAfter(workspace, minute, +1);
    mnuCalcProfile(workspace, canvas, ui);
}

void DeleteMinute(Workspace& workspace, Canvas& canvas, Ui& ui, std::int32_t minute) {
    ShiftPointsAfter(workspace, minute, -1);
    mnuCalcProfile(workspace, canvas, ui);
}

void AskInsertMinute(Workspace& workspace, Canvas& canvas, Ui& ui) {
    const double minute = AskWholeNumber(
        ui, "Geben Sie die Minute ein, nach der eine weitere eingefügt werden soll.", "");
    if (minute == 0) return;
    EnterInputMode(workspace, canvas, ui);
    InsertMinute(workspace, canvas, ui, RoundToInt32(minute));
}

void AskDeleteMinute(Workspace& workspace, Canvas& canvas, Ui& ui) {
    const double minute =
        AskWholeNumber(ui, "Geben Sie die Minute ein, die gelöscht werden soll.", "");
    if (minute == 0) return;
    EnterInputMode(workspace, canvas, ui);
    DeleteMinute(workspace, canvas, ui, RoundToInt32(minute));
}

void SetTimeAxis(Workspace& workspace, SettingsStore& store, Canvas& canvas, Ui& ui) {
    SetAxisLength(workspace, store, canvas, ui,
                  {"Max. Zeit auf der Zeitachse in [min.]", N(workspace.settings.maxHScale),
                   kLongestTimeAxis, keys::kMaxHScale, workspace.settings.maxHScale});
}

void SetDepthAxis(Workspace& workspace, SettingsStore& store, Canvas& canvas, Ui& ui) {
    SetAxisLength(workspace, store, canvas, ui,
                  {"Max. Tiefe in Metern?", "50", kDeepestDepthAxis, keys::kMaxVScale,
                   workspace.settings.maxVScale});
}

void AskN2Percent(Workspace& workspace, Ui& ui) {
    const std::optional<std::string> answer = ui.AskText("N2-Anteil im Atemgas?", workspace.mix.n2);
    if (!answer || answer->empty()) return;
    const double value = Val(*answer);
    if (value < 0 || value > 78) {
        ui.ShowMessage(kInvalidInput, MessageIcon::Information);
        return;
    }
    workspace.mix.n2 = N(Int(value));
}

void ApplyMixToAllPoints(Workspace& workspace, const SettingsStore& store, Canvas& canvas, Ui& ui) {
    DiveProfile& profile = workspace.profile;
    const PointGas gas = GasForNewPoint(workspace.mix);
    for (int i = 1; i <= LastPointIndex(profile); ++i) {
        ProfilePoint& point = profile.points[i];
        // A new gas is an edit like any other: closing the window must offer to save it.
        if (point.n2Percent != gas.n2Percent || point.hePercent != gas.hePercent) {
            profile.changed = true;
        }
        point.n2Percent = gas.n2Percent;
        point.hePercent = gas.hePercent;
    }
    mnuCalcProfile(workspace, canvas, ui);
    mnuCalcSaturation(workspace, store, ui);
}

void cmdNewCalc(Workspace& workspace, const SettingsStore& store, Canvas& canvas, Ui& ui) {
    const GasMixFields& mix = workspace.mix;
    const std::string question =
        "Achtung: Alle Gaswechsel werden gelöscht und der gesamte TG wird mit " + mix.o2 + "% O2 " +
        mix.n2 + "% N2 " + mix.he +
        "% He berechnet! Die alte Tauchprofileingabe geht verloren. Wollen Sie das wirklich tun?";
    if (ui.Ask(question, Buttons::YesNo, MessageIcon::Question, Answer::No) != Answer::Yes) return;
    ApplyMixToAllPoints(workspace, store, canvas, ui);
}

void SetBestMixAtCursor(Workspace& workspace, const Canvas& canvas, double y) {
    const Settings& settings = workspace.settings;
    const double depth = DepthFromY(y, GraphGeometry::Of(canvas), settings.maxVScale);
    const double pressure = depth / 9.81 + settings.airPressure / 1000;
    double o2 = settings.maxPpO2 / pressure > 1 ? 100 : Int(settings.maxPpO2 * 100 / pressure);
    double he = 0;
    double n2 = 100 - o2;
    if (n2 / 100 * pressure > settings.maxPpN2) {
        o2 = RoundTo(settings.maxPpO2 / pressure * 100, 1);
        he = RoundTo(100 - settings.maxPpN2 / pressure * 100 - o2, 1);
        n2 = settings.maxPpN2 / pressure * 100;
    }
    n2 = std::max(n2, 0.0);
    he = std::max(he, 0.0);
    workspace.mix.n2 = N(RoundTo(n2, 1));
    workspace.mix.he = he > 0 ? N(RoundTo(he, 1)) : "0";
    workspace.mix.o2 = N(RoundTo(o2, 1));
}

void SetConstantPpO2MixAtCursor(Workspace& workspace, const Canvas& canvas, Ui& ui, double y,
                                bool askPpO2, const std::string& cursorPositionText) {
    GasMixFields& mix = workspace.mix;
    if (Val(mix.he) > 0 && Val(mix.n2) > 0) {
        ui.ShowMessage(
            "Diese Funktion kann nur mit Nitrox (O2+N2) oder Heliox (O2+He) aber nicht mit "
            "Trimix berechnet werden. Stellen Sie entweder 'N2' oder 'He' auf 0% ein.",
            MessageIcon::Information);
        return;
    }
    double target = workspace.settings.constantPpO2;
    if (askPpO2) {
        const std::optional<std::string> answer = ui.AskText(
            "Welcher ppO2 soll eingestellt werden für den TG-Punkt " + cursorPositionText + "?",
            "");
        target = Val(CommaToPoint(answer.value_or("")));
    }
    if (!(target > 0)) return;
    const Settings& settings = workspace.settings;
    const double depth = DepthFromY(y, GraphGeometry::Of(canvas), settings.maxVScale);
    const double o2 = Int(target * 10000 / AmbientPressure(depth, settings.airPressure)) / 100;
    const bool heliumEmpty = Val(mix.he) == 0;
    const bool nitrogenEmpty = Val(mix.n2) == 0;
    mix.o2 = N(o2);
    const double o2Back = Val(CommaToPoint(mix.o2));
    if (heliumEmpty) mix.n2 = N(100 - o2Back);
    if (nitrogenEmpty) mix.he = N(100 - o2Back);
}

CursorReadout ShowCursorReadout(const Workspace& workspace, const Canvas& canvas, double x,
                                double y) {
    const Settings& settings = workspace.settings;
    const GraphGeometry g = GraphGeometry::Of(canvas);
    const std::int32_t minute = TimeFromX(x, g, settings.maxHScale);
    const std::int32_t depth = DepthFromY(y, g, settings.maxVScale);
    CursorReadout readout;
    if (minute < 0 || depth < 0 || (workspace.view.mode != 1 && workspace.view.graphKind != 3)) {
        return readout;
    }
    const double pressure = AmbientPressure(depth, settings.airPressure);
    readout.position = FormatGeneral(depth, settings.decimalSeparator) + " m bei " +
                       FormatGeneral(minute, settings.decimalSeparator) + " min.";
    readout.bestMix = BestMixText(depth, settings);
    const double ppO2 = Int(pressure * Val(workspace.mix.o2) / 100 * 100) / 100;
    readout.ppO2 = FormatGeneral(ppO2, settings.decimalSeparator) + " bar";
    readout.ppO2Colour = ppO2 < settings.maxPpO2 ? kDarkBlue : kRed;
    // Two decimals as ppO2 shows them; the colour follows the exact pressure.
    const double ppN2 = pressure * Val(workspace.mix.n2) / 100;
    readout.ppN2 = FormatGeneral(Int(ppN2 * 100) / 100, settings.decimalSeparator) + " bar";
    readout.ppN2Colour = ppN2 < settings.maxPpN2 ? kDarkGreen : kRed;
    return readout;
}

std::int32_t SelectCursorMinute(const Workspace& workspace, const Canvas& canvas, Ui& ui,
                                double x) {
    const std::int32_t minute =
        TimeFromX(x, GraphGeometry::Of(canvas), workspace.settings.maxHScale);
    ui.ShowSysMsg(CursorMinuteLine(workspace.computed, minute, workspace.settings));
    return minute;
}

}  // namespace marelos
