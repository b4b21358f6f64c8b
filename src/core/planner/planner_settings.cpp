#include "planner_settings.h"

#include <algorithm>
#include <cmath>

#include "core/engine/model_parameters.h"
#include "core/settings/settings.h"
#include "core/text/fields.h"
#include "core/text/number_format.h"
#include "core/text/val.h"

namespace marelos {
namespace {

// A whole text that is a number ("50", "21.5", " 6 "): what a gas field holds between its
// separators. Val alone would take "5x" for 5.
std::optional<double> WholeNumber(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    if (!IsDecimalNumber(text)) return std::nullopt;
    return Val(text);
}

std::string Bar(double value) {
    return FormatGeneral(value) + " bar";
}

}  // namespace

SettingKey DecoGasKey(int slot) {
    static constexpr std::array<std::string_view, kMaxDecoGases> kNames = {
        "DecoGas1", "DecoGas2", "DecoGas3", "DecoGas4", "DecoGas5"};
    return {"Planner", kNames[static_cast<std::size_t>(std::clamp(slot, 1, kMaxDecoGases) - 1)],
            StoredForm::Text};
}

std::string DecoGasText(const DecoGasSetting& gas) {
    std::string text = OxygenHeliumText(gas.gas);
    if (gas.switchDepth) {  // appended in two steps: "@" + a temporary trips a false warning
        text += '@';
        text += FormatGeneral(*gas.switchDepth);
    }
    return text;
}

std::optional<DecoGasSetting> ParseDecoGas(std::string_view text) {
    const std::size_t slash = text.find('/');
    if (slash == std::string_view::npos) return std::nullopt;
    const std::size_t at = text.find('@');
    const std::optional<double> o2 = WholeNumber(text.substr(0, slash));
    const std::optional<double> he =
        WholeNumber(text.substr(slash + 1, at == std::string_view::npos ? at : at - slash - 1));
    if (!o2 || !he || !(*o2 > 0) || *he < 0 || *o2 + *he > 100) return std::nullopt;
    DecoGasSetting gas{BreathingGas::FromOxygenHelium(*o2, *he), std::nullopt};
    if (at != std::string_view::npos) {
        const std::optional<double> depth = WholeNumber(text.substr(at + 1));
        if (!depth || *depth < 0 || *depth > 300) return std::nullopt;
        gas.switchDepth = *depth;
    }
    return gas;
}

std::optional<std::string> DecoGasDepthProblem(const DecoGasSetting& setting,
                                               const PlannerSettings& limits,
                                               double airPressureMbar) {
    const double water = limits.Water();
    const double mod = DepthAtPpO2(setting.gas, limits.maxPpO2Deco, airPressureMbar, water);
    const double depth = setting.switchDepth.value_or(
        DefaultSwitchDepth(setting.gas, limits.maxPpO2Deco, airPressureMbar, water));
    if (depth > mod + 3) {
        return "Die Wechseltiefe " + FormatGeneral(depth) +
               " m liegt mehr als 3 m unter der größten Tiefe des Gases (" +
               FormatGeneral(std::floor(mod)) + " m bei " + Bar(limits.maxPpO2Deco) + ").";
    }
    const double minimum = DepthAtPpO2(setting.gas, limits.minPpO2, airPressureMbar, water);
    if (depth < minimum) {
        return "Die Wechseltiefe " + FormatGeneral(depth) +
               " m liegt über der kleinsten Tiefe des Gases (" + FormatGeneral(std::ceil(minimum)) +
               " m bei " + Bar(limits.minPpO2) + ").";
    }
    return std::nullopt;
}

PlannerSettings LoadPlannerSettings(const SettingsStore& store, double airPressureMbar) {
    using namespace keys;
    const PlannerSettings d;
    PlannerSettings s;
    const auto kept = [&](const SettingKey& key, double fallback) {
        return KeptNumber(key, ReadSetting(store, key)).value_or(fallback);
    };
    s.enabled = kept(kPlannerEnabled, 0) == 1;
    s.model =
        ReadSetting(store, kPlannerModel) == "VPMB" ? PlannerModel::Vpmb : PlannerModel::Buhlmann;
    s.gfLow = kept(kGFLow, d.gfLow);
    s.gfHigh = kept(kGFHigh, d.gfHigh);
    if (s.gfLow > s.gfHigh) {
        s.gfLow = d.gfLow;
        s.gfHigh = d.gfHigh;
    }
    s.ascentRate = kept(kAscentRate, d.ascentRate);
    s.lastStop = static_cast<int>(kept(kLastStop, d.lastStop));
    s.freshWater = ReadSetting(store, kWater) == "Fresh";
    s.switchMinutes = kept(kSwitchMinutes, d.switchMinutes);
    s.safetyStopMinutes = kept(kSafetyStopMinutes, d.safetyStopMinutes);
    s.maxPpO2Bottom = kept(kMaxPpO2Bottom, d.maxPpO2Bottom);
    s.maxPpO2Deco = kept(kMaxPpO2Deco, d.maxPpO2Deco);
    s.minPpO2 = kept(kMinPpO2, d.minPpO2);
    s.endLimit = kept(kEndLimit, d.endLimit);
    s.oxygenNarcotic = kept(kO2Narcotic, 1) != 0;
    s.densityWarn = kept(kDensityWarn, d.densityWarn);
    s.densityLimit = kept(kDensityLimit, d.densityLimit);
    if (s.densityWarn > s.densityLimit) {
        s.densityWarn = d.densityWarn;
        s.densityLimit = d.densityLimit;
    }
    s.vpmConservatism = static_cast<int>(kept(kVpmConservatism, d.vpmConservatism));
    s.extraDepth = kept(kExtraDepth, d.extraDepth);
    s.extraMinutes = kept(kExtraMinutes, d.extraMinutes);
    for (int slot = 1; slot <= kMaxDecoGases; ++slot) {
        const std::optional<DecoGasSetting> gas =
            ParseDecoGas(ReadSetting(store, DecoGasKey(slot)));
        if (gas && !DecoGasDepthProblem(*gas, s, airPressureMbar)) s.decoGases.push_back(*gas);
    }
    return s;
}

void StorePlannerSettings(SettingsStore& store, const PlannerSettings& s) {
    using namespace keys;
    const auto put = [&](const SettingKey& key, double value) {
        WriteSetting(store, key, StoredText(key, value));
    };
    put(kPlannerEnabled, s.enabled ? 1 : 0);
    WriteSetting(store, kPlannerModel, s.model == PlannerModel::Vpmb ? "VPMB" : "Buhlmann");
    put(kGFLow, s.gfLow);
    put(kGFHigh, s.gfHigh);
    put(kAscentRate, s.ascentRate);
    put(kLastStop, s.lastStop);
    WriteSetting(store, kWater, s.freshWater ? "Fresh" : "Salt");
    put(kSwitchMinutes, s.switchMinutes);
    put(kSafetyStopMinutes, s.safetyStopMinutes);
    put(kMaxPpO2Bottom, s.maxPpO2Bottom);
    put(kMaxPpO2Deco, s.maxPpO2Deco);
    put(kMinPpO2, s.minPpO2);
    put(kEndLimit, s.endLimit);
    put(kO2Narcotic, s.oxygenNarcotic ? 1 : 0);
    put(kDensityWarn, s.densityWarn);
    put(kDensityLimit, s.densityLimit);
    put(kVpmConservatism, s.vpmConservatism);
    put(kExtraDepth, s.extraDepth);
    put(kExtraMinutes, s.extraMinutes);
    for (int slot = 1; slot <= kMaxDecoGases; ++slot) {
        const std::size_t index = static_cast<std::size_t>(slot - 1);
        WriteSetting(store, DecoGasKey(slot),
                     index < s.decoGases.size() ? DecoGasText(s.decoGases[index]) : "");
    }
}

PlannerFields PlannerFieldsFrom(const PlannerSettings& s) {
    PlannerFields f;
    f.enabled = s.enabled;
    f.vpmb = s.model == PlannerModel::Vpmb;
    f.gfLow = FormatGeneral(s.gfLow);
    f.gfHigh = FormatGeneral(s.gfHigh);
    f.ascentRate = FormatGeneral(s.ascentRate);
    f.lastStop = std::to_string(s.lastStop);
    f.switchMinutes = FormatGeneral(s.switchMinutes);
    f.safetyStopMinutes = FormatGeneral(s.safetyStopMinutes);
    f.maxPpO2Bottom = FormatGeneral(s.maxPpO2Bottom);
    f.maxPpO2Deco = FormatGeneral(s.maxPpO2Deco);
    f.minPpO2 = FormatGeneral(s.minPpO2);
    f.endLimit = FormatGeneral(s.endLimit);
    f.densityWarn = FormatGeneral(s.densityWarn);
    f.densityLimit = FormatGeneral(s.densityLimit);
    f.vpmConservatism = std::to_string(s.vpmConservatism);
    f.extraDepth = FormatGeneral(s.extraDepth);
    f.extraMinutes = FormatGeneral(s.extraMinutes);
    f.freshWater = s.freshWater;
    f.oxygenNarcotic = s.oxygenNarcotic;
    for (std::size_t i = 0; i < s.decoGases.size() && i < f.decoGases.size(); ++i)
        f.decoGases[i] = DecoGasText(s.decoGases[i]);
    return f;
}

PlannerSettings PlannerSettingsFrom(const PlannerFields& f) {
    using namespace keys;
    const PlannerSettings d;
    PlannerSettings s;
    const auto number = [](const SettingKey& key, const std::string& text, double fallback) {
        return KeptNumber(key, text).value_or(fallback);
    };
    s.enabled = f.enabled;
    s.model = f.vpmb ? PlannerModel::Vpmb : PlannerModel::Buhlmann;
    s.gfLow = number(kGFLow, f.gfLow, d.gfLow);
    s.gfHigh = number(kGFHigh, f.gfHigh, d.gfHigh);
    s.ascentRate = number(kAscentRate, f.ascentRate, d.ascentRate);
    s.lastStop = static_cast<int>(number(kLastStop, f.lastStop, d.lastStop));
    s.freshWater = f.freshWater;
    s.switchMinutes = number(kSwitchMinutes, f.switchMinutes, d.switchMinutes);
    s.safetyStopMinutes = number(kSafetyStopMinutes, f.safetyStopMinutes, d.safetyStopMinutes);
    s.maxPpO2Bottom = number(kMaxPpO2Bottom, f.maxPpO2Bottom, d.maxPpO2Bottom);
    s.maxPpO2Deco = number(kMaxPpO2Deco, f.maxPpO2Deco, d.maxPpO2Deco);
    s.minPpO2 = number(kMinPpO2, f.minPpO2, d.minPpO2);
    s.endLimit = number(kEndLimit, f.endLimit, d.endLimit);
    s.oxygenNarcotic = f.oxygenNarcotic;
    s.densityWarn = number(kDensityWarn, f.densityWarn, d.densityWarn);
    s.densityLimit = number(kDensityLimit, f.densityLimit, d.densityLimit);
    s.vpmConservatism =
        static_cast<int>(number(kVpmConservatism, f.vpmConservatism, d.vpmConservatism));
    s.extraDepth = number(kExtraDepth, f.extraDepth, d.extraDepth);
    s.extraMinutes = number(kExtraMinutes, f.extraMinutes, d.extraMinutes);
    for (const std::string& text : f.decoGases) {
        if (const std::optional<DecoGasSetting> gas = ParseDecoGas(text))
            s.decoGases.push_back(*gas);
    }
    return s;
}

std::optional<PlannerFieldProblem> CheckPlannerFields(const PlannerFields& f,
                                                      double airPressureMbar) {
    const PlannerSettings s = PlannerSettingsFrom(f);
    if (s.gfLow > s.gfHigh) {
        return PlannerFieldProblem{"txtGFLow", "„GF low“: GF low darf nicht über GF high liegen."};
    }
    if (s.densityWarn > s.densityLimit) {
        return PlannerFieldProblem{
            "txtDensityWarn",
            "„Gasdichte, Warnung ab“: Die Warnung darf nicht über der Grenze liegen."};
    }
    for (std::size_t i = 0; i < f.decoGases.size(); ++i) {
        const std::string& text = f.decoGases[i];
        if (text.find_first_not_of(' ') == std::string::npos) continue;
        const std::string field = "txtDecoGas" + std::to_string(i + 1);
        const std::string label = "„Dekogas " + std::to_string(i + 1) + "“: ";
        const std::optional<DecoGasSetting> gas = ParseDecoGas(text);
        if (!gas) {
            return PlannerFieldProblem{
                field, label + "„" + text +
                           "“ ist kein Gas. Erlaubt ist O2/He oder O2/He@Tiefe in Prozent und "
                           "Metern, zusammen höchstens 100 %, zum Beispiel 50/0 oder 21/35@57."};
        }
        if (const auto problem = DecoGasDepthProblem(*gas, s, airPressureMbar)) {
            return PlannerFieldProblem{field, label + *problem};
        }
    }
    return std::nullopt;
}

std::vector<PlannedGas> DecoGasesOf(const PlannerSettings& settings, double airPressureMbar) {
    std::vector<PlannedGas> gases;
    for (const DecoGasSetting& setting : settings.decoGases) {
        gases.push_back({setting.gas, setting.switchDepth.value_or(
                                          DefaultSwitchDepth(setting.gas, settings.maxPpO2Deco,
                                                             airPressureMbar, settings.Water()))});
    }
    std::stable_sort(gases.begin(), gases.end(), [](const PlannedGas& a, const PlannedGas& b) {
        return a.switchDepth > b.switchDepth;
    });
    return gases;
}

std::string PlannerModelName(const PlannerSettings& settings, int buhlmannModel) {
    if (settings.model == PlannerModel::Vpmb) {
        return "VPM-B +" + std::to_string(settings.vpmConservatism);
    }
    return ModelName(buhlmannModel) + " GF " + FormatGeneral(settings.gfLow) + "/" +
           FormatGeneral(settings.gfHigh);
}

}  // namespace marelos
