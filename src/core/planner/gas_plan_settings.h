#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/planner/breathing_gas.h"
#include "core/settings/setting_keys.h"

namespace marelos {

inline constexpr int kMaxCylinders = 6;

// A cylinder the diver carries: its name ("D12", "S80"), its water volume, its fill pressure
// and its gas.
struct Cylinder {
    std::string name;
    double litres = 0;  // water volume
    double fillBar = 0;
    BreathingGas gas;

    bool operator==(const Cylinder&) const = default;
};

// When the diver turns: after a third or half of the bottom cylinder's usable gas (above its
// reserve), or with all of it.
enum class TurnRule { All, Thirds, Halves };

namespace keys {

// Section "Planner": the breathing rates and rules of the gas plan.
inline constexpr SettingKey kSacBottom{"Planner", "SacBottom", StoredForm::Number, "l/min",
                                       Between(5, 100)};
inline constexpr SettingKey kSacDeco{"Planner", "SacDeco", StoredForm::Number, "l/min",
                                     Between(5, 100)};
inline constexpr SettingKey kStressFactor{
    "Planner", "StressFactor", StoredForm::Number, {}, Between(1, 5)};
inline constexpr SettingKey kProblemMinutes{"Planner", "ProblemMinutes", StoredForm::Number, "min",
                                            Between(0, 30)};
inline constexpr SettingKey kTurnRule{"Planner", "TurnRule", StoredForm::Text};
inline constexpr SettingKey kRealGas{"Planner", "RealGas", StoredForm::Flag};

}  // namespace keys

// "Cylinder<k>" of section "Cylinders", k = 1..6.
SettingKey CylinderKey(int slot);

// The settings of the gas plan; the member initialisers are the defaults the load rules fall
// back to. The cylinders keep their order: the first of a gas is its main cylinder.
struct GasPlanSettings {
    std::vector<Cylinder> cylinders;
    double sacBottom = 20;  // l/min at the surface
    double sacDeco = 15;    // l/min at the surface
    double stressFactor = 2;
    double problemMinutes = 1;
    TurnRule turnRule = TurnRule::Thirds;
    bool realGas = true;

    bool operator==(const GasPlanSettings&) const = default;
};

// The settings as the store holds them; a cylinder that is no cylinder (see ParseCylinder) is
// left out, any other value its rule refuses loads as its default.
GasPlanSettings LoadGasPlanSettings(const SettingsStore& store);
void StoreGasPlanSettings(SettingsStore& store, const GasPlanSettings& settings);

// "D12;24;232;21/0": a cylinder as the store keeps it.
std::string CylinderText(const Cylinder& cylinder);
// The cylinder of such a text: a name without ";", a volume above 0 up to 50 l, a fill pressure
// above 0 up to 350 bar and a gas O2/He that adds up; nothing for anything else.
std::optional<Cylinder> ParseCylinder(std::string_view text);

// "All", "Thirds", "Halves", as the store keeps the rule.
std::string_view TurnRuleText(TurnRule rule);

}  // namespace marelos
