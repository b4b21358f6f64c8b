#include "gas_plan_settings.h"

#include <algorithm>
#include <array>

#include "core/planner/planner_settings.h"
#include "core/planner/real_gas.h"
#include "core/settings/settings.h"
#include "core/text/fields.h"
#include "core/text/number_format.h"
#include "core/text/val.h"

namespace marelos {
namespace {

constexpr std::array<std::string_view, 3> kTurnRules = {"All", "Thirds", "Halves"};

std::optional<double> NumberWithin(std::string_view text, double high) {
    if (!IsDecimalNumber(text)) return std::nullopt;
    const double value = Val(text);
    if (!(value > 0) || value > high) return std::nullopt;
    return value;
}

// The fields of a text between its ";".
std::vector<std::string_view> Fields(std::string_view text) {
    std::vector<std::string_view> fields;
    for (std::size_t start = 0;;) {
        const std::size_t end = text.find(';', start);
        fields.push_back(text.substr(start, end - start));
        if (end == std::string_view::npos) return fields;
        start = end + 1;
    }
}

}  // namespace

SettingKey CylinderKey(int slot) {
    static constexpr std::array<std::string_view, kMaxCylinders> kNames = {
        "Cylinder1", "Cylinder2", "Cylinder3", "Cylinder4", "Cylinder5", "Cylinder6"};
    return {"Cylinders", kNames[static_cast<std::size_t>(std::clamp(slot, 1, kMaxCylinders) - 1)],
            StoredForm::Text};
}

std::string CylinderText(const Cylinder& cylinder) {
    return cylinder.name + ";" + FormatGeneral(cylinder.litres) + ";" +
           FormatGeneral(cylinder.fillBar) + ";" + OxygenHeliumText(cylinder.gas);
}

std::optional<Cylinder> ParseCylinder(std::string_view text) {
    const std::vector<std::string_view> fields = Fields(text);
    if (fields.size() != 4 || fields[0].empty() || fields[3].find('@') != std::string_view::npos)
        return std::nullopt;
    const std::optional<double> litres = NumberWithin(fields[1], 50);
    const std::optional<double> fill = NumberWithin(fields[2], kHighestFillPressure);
    const std::optional<DecoGasSetting> gas = ParseDecoGas(fields[3]);
    if (!litres || !fill || !gas) return std::nullopt;
    return Cylinder{std::string(fields[0]), *litres, *fill, gas->gas};
}

std::string_view TurnRuleText(TurnRule rule) {
    return kTurnRules[static_cast<std::size_t>(rule)];
}

GasPlanSettings LoadGasPlanSettings(const SettingsStore& store) {
    using namespace keys;
    const GasPlanSettings d;
    GasPlanSettings s;
    const auto kept = [&](const SettingKey& key, double fallback) {
        return KeptNumber(key, ReadSetting(store, key)).value_or(fallback);
    };
    for (int slot = 1; slot <= kMaxCylinders; ++slot) {
        if (const auto cylinder = ParseCylinder(ReadSetting(store, CylinderKey(slot))))
            s.cylinders.push_back(*cylinder);
    }
    s.sacBottom = kept(kSacBottom, d.sacBottom);
    s.sacDeco = kept(kSacDeco, d.sacDeco);
    s.stressFactor = kept(kStressFactor, d.stressFactor);
    s.problemMinutes = kept(kProblemMinutes, d.problemMinutes);
    const auto rule =
        std::find(kTurnRules.begin(), kTurnRules.end(), ReadSetting(store, kTurnRule));
    s.turnRule =
        rule == kTurnRules.end() ? d.turnRule : static_cast<TurnRule>(rule - kTurnRules.begin());
    s.realGas = kept(kRealGas, 1) != 0;
    return s;
}

void StoreGasPlanSettings(SettingsStore& store, const GasPlanSettings& s) {
    using namespace keys;
    const auto put = [&](const SettingKey& key, double value) {
        WriteSetting(store, key, StoredText(key, value));
    };
    for (int slot = 1; slot <= kMaxCylinders; ++slot) {
        const std::size_t index = static_cast<std::size_t>(slot - 1);
        WriteSetting(store, CylinderKey(slot),
                     index < s.cylinders.size() ? CylinderText(s.cylinders[index]) : "");
    }
    put(kSacBottom, s.sacBottom);
    put(kSacDeco, s.sacDeco);
    put(kStressFactor, s.stressFactor);
    put(kProblemMinutes, s.problemMinutes);
    WriteSetting(store, kTurnRule, TurnRuleText(s.turnRule));
    put(kRealGas, s.realGas ? 1 : 0);
}

}  // namespace marelos
