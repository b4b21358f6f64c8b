#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/planner/breathing_gas.h"
#include "core/settings/setting_keys.h"

namespace marelos {

inline constexpr int kMaxDecoGases = 5;

enum class PlannerModel { Buhlmann, Vpmb };

// A decompression gas of the planner, and the depth from which it is breathed; without a depth
// it is switched to at its maximum operating depth at the decompression limit (a multiple of
// 3 m).
struct DecoGasSetting {
    BreathingGas gas;
    std::optional<double> switchDepth;  // m

    bool operator==(const DecoGasSetting&) const = default;
};

namespace keys {

// Section "Planner".
inline constexpr SettingKey kPlannerEnabled{"Planner", "Enabled", StoredForm::Flag};
inline constexpr SettingKey kPlannerModel{"Planner", "Model", StoredForm::Text};
inline constexpr SettingKey kGFLow{"Planner", "GFLow", StoredForm::Number, "%", Between(10, 100)};
inline constexpr SettingKey kGFHigh{"Planner", "GFHigh", StoredForm::Number, "%", Between(10, 100)};
inline constexpr SettingKey kAscentRate{"Planner", "AscentRate", StoredForm::Number, "m/min",
                                        Between(1, 30)};
inline constexpr std::array<double, 2> kLastStops = {3, 6};
inline constexpr SettingKey kLastStop{"Planner", "LastStop", StoredForm::Integer, "m",
                                      OneOf(kLastStops)};
inline constexpr SettingKey kWater{"Planner", "Water", StoredForm::Text};
inline constexpr SettingKey kSwitchMinutes{"Planner", "SwitchMinutes", StoredForm::Integer, "min",
                                           Between(0, 10)};
inline constexpr SettingKey kSafetyStopMinutes{"Planner", "SafetyStopMinutes", StoredForm::Integer,
                                               "min", Between(0, 30)};
inline constexpr SettingKey kMaxPpO2Bottom{"Planner", "MaxPpO2Bottom", StoredForm::Number, "bar",
                                           Between(1, 2)};
inline constexpr SettingKey kMaxPpO2Deco{"Planner", "MaxPpO2Deco", StoredForm::Number, "bar",
                                         Between(1, 2)};
inline constexpr SettingKey kMinPpO2{"Planner", "MinPpO2", StoredForm::Number, "bar",
                                     Between(0.1, 0.5)};
inline constexpr SettingKey kEndLimit{"Planner", "EndLimit", StoredForm::Number, "m",
                                      Between(10, 100)};
inline constexpr SettingKey kO2Narcotic{"Planner", "O2Narcotic", StoredForm::Flag};
inline constexpr SettingKey kDensityWarn{"Planner", "DensityWarn", StoredForm::Number, "g/l",
                                         Between(3, 10)};
inline constexpr SettingKey kDensityLimit{"Planner", "DensityLimit", StoredForm::Number, "g/l",
                                          Between(3, 10)};
inline constexpr SettingKey kExtraDepth{"Planner", "ExtraDepth", StoredForm::Number, "m",
                                        Between(0, 30)};
inline constexpr SettingKey kExtraMinutes{"Planner", "ExtraMinutes", StoredForm::Integer, "min",
                                          Between(0, 60)};
inline constexpr SettingKey kVpmConservatism{
    "Planner", "VpmConservatism", StoredForm::Integer, {}, Between(0, 4)};

}  // namespace keys

// "DecoGas<k>" of section "Planner", k = 1..5.
SettingKey DecoGasKey(int slot);

// The settings of section "Planner": the ascent planned with gradient factors (or the bubble
// model), several decompression gases, the ascent rate, the last stop, the water and the limits
// of the gas warnings. The member initialisers are the defaults the load rules fall back to.
struct PlannerSettings {
    bool enabled = false;
    PlannerModel model = PlannerModel::Buhlmann;
    double gfLow = 30;       // per cent
    double gfHigh = 85;      // per cent
    double ascentRate = 10;  // m/min
    int lastStop = 3;        // m, 3 or 6
    bool freshWater = false;
    double switchMinutes = 1;
    double safetyStopMinutes = 0;
    double maxPpO2Bottom = 1.4;  // bar
    double maxPpO2Deco = 1.6;    // bar
    double minPpO2 = 0.16;       // bar
    double endLimit = 30;        // m
    bool oxygenNarcotic = true;
    double densityWarn = 5.2;   // g/l
    double densityLimit = 6.2;  // g/l
    std::vector<DecoGasSetting> decoGases;
    int vpmConservatism = 2;  // 0..4
    double extraDepth = 3;    // m, of the contingency plan "deeper and longer"
    double extraMinutes = 3;  // min, of that plan

    double Water() const { return freshWater ? kFreshWater : kSaltWater; }
    bool operator==(const PlannerSettings&) const = default;
};

// The planner's settings as the store holds them; a value its load rule refuses (text, out of
// range, GF low above high, a gas that does not add up or cannot be breathed at its switch
// depth) falls back to its default.
PlannerSettings LoadPlannerSettings(const SettingsStore& store, double airPressureMbar);
void StorePlannerSettings(SettingsStore& store, const PlannerSettings& settings);

// "50/0", "21/35@57": a decompression gas as the store keeps it; "" for no gas.
std::string DecoGasText(const DecoGasSetting& gas);
// The gas of such a text; nothing for an empty text or one that is no gas.
std::optional<DecoGasSetting> ParseDecoGas(std::string_view text);

// Why a decompression gas of the options cannot be breathed from its switch depth (deeper than
// 3 m below its maximum operating depth at the decompression limit, or shallower than its
// minimum depth), in German; nothing when it can.
std::optional<std::string> DecoGasDepthProblem(const DecoGasSetting& gas,
                                               const PlannerSettings& limits,
                                               double airPressureMbar);

// The options tab "Planer" as texts and states: what the dialog shows and the user edits.
struct PlannerFields {
    bool enabled = false;
    bool vpmb = false;
    std::string gfLow, gfHigh, ascentRate, lastStop, switchMinutes, safetyStopMinutes,
        maxPpO2Bottom, maxPpO2Deco, minPpO2, endLimit, densityWarn, densityLimit, vpmConservatism,
        extraDepth, extraMinutes;
    bool freshWater = false;
    bool oxygenNarcotic = true;
    std::array<std::string, kMaxDecoGases> decoGases;  // "50/0", "21/35@57" or empty
};
PlannerFields PlannerFieldsFrom(const PlannerSettings& settings);
// The settings of fields whose numbers have been checked against their keys' load rules; a
// field that is no number takes its default.
PlannerSettings PlannerSettingsFrom(const PlannerFields& fields);
// Why the fields cannot be taken beyond their single numbers (GF low above high, the density
// warning above its limit, a decompression gas that does not add up or cannot be breathed at its
// switch depth): the field's name and the German message; nothing when they can.
struct PlannerFieldProblem {
    std::string field;
    std::string message;
};
std::optional<PlannerFieldProblem> CheckPlannerFields(const PlannerFields& fields,
                                                      double airPressureMbar);

// The gases of an ascent in the order of their switch depths, deepest first, each with the
// depth from which it is breathed.
struct PlannedGas {
    BreathingGas gas;
    double switchDepth = 0;
};
std::vector<PlannedGas> DecoGasesOf(const PlannerSettings& settings, double airPressureMbar);

// The planner's German name of the model: "ZH-L16C GF 30/85", "VPM-B +2".
std::string PlannerModelName(const PlannerSettings& settings, int buhlmannModel);

}  // namespace marelos
