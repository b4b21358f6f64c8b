#include "calculators.h"

#include <algorithm>
#include <cmath>

#include "core/engine/tissues.h"
#include "core/profile/gas_mix.h"
#include "core/text/fields.h"
#include "core/text/number_format.h"
#include "core/text/rounding.h"
#include "core/text/val.h"

namespace marelos {

const char* const kNoCalculatedDive =
    "Es ist kein berechneter Tauchgang vorhanden. Bitte zuerst den Tauchgang berechnen.";

namespace {

// The records 1..minutes that a calculator reads; the count is rounded first and never runs
// past the table.
int LastRecordUpTo(double minutes) {
    return std::clamp<int>(RoundToInt32(minutes), 0, ComputedProfile::kTableEnd);
}

struct DepthSum {
    double sum = 0;
    int count = 0;
};

DepthSum SumOfDepthsBelowSurface(const ComputedProfile& computed, double minutes) {
    DepthSum total;
    for (int j = 1; j <= LastRecordUpTo(minutes); ++j) {
        const double depth = computed.records[j].depth;
        if (depth > 0) {
            total.sum = total.sum + depth;
            ++total.count;
        }
    }
    return total;
}

}  // namespace

double AirUsedUpTo(const ComputedProfile& computed, double minutes, const Settings& settings) {
    double sum = 0;
    for (int j = 1; j <= LastRecordUpTo(minutes); ++j) {
        const double depth = computed.records[j].depth;
        if (depth > 0) {
            sum = sum + AmbientPressure(depth, settings.airPressure) * settings.airConsumption;
        }
    }
    return Int(sum);
}

std::string AirConsumptionText(const ComputedProfile& computed, const Settings& settings) {
    return "Luftverbrauch für diesen TG (AMV: " +
           FormatGeneral(settings.airConsumption, settings.decimalSeparator) +
           "l/min bei 1 bar): " +
           FormatGeneral(AirUsedUpTo(computed, computed.computedCount, settings),
                         settings.decimalSeparator) +
           " Liter.";
}

std::optional<double> AverageDepth(const ComputedProfile& computed, double minutes) {
    const DepthSum total = SumOfDepthsBelowSurface(computed, minutes);
    if (total.count == 0) return std::nullopt;
    return Int(total.sum / total.count * 10) / 10;
}

std::string AverageDepthText(const ComputedProfile& computed, std::string_view decimalSeparator) {
    const std::optional<double> average = AverageDepth(computed, computed.computedCount);
    if (!average) return kNoCalculatedDive;
    return "Durchschnittliche Tiefe dieses Tauchgangs: " +
           FormatGeneral(*average, decimalSeparator) + " m";
}

std::optional<double> BreathingVolume(const ComputedProfile& computed, double minutes,
                                      const std::string& litresAnswer) {
    const DepthSum total = SumOfDepthsBelowSurface(computed, minutes);
    if (total.count == 0) return std::nullopt;
    const double litres = RoundToInt32(Val(litresAnswer));
    if (litres < 1) return 0.0;
    const double average = total.sum / total.count;
    return Int(litres / (average / 10 + 1) * 10 / total.count) / 10;
}

void mnuCalcBreathingRatio(const ComputedProfile& computed, Ui& ui,
                           std::string_view decimalSeparator) {
    // Without a calculated dive the litres could not be used: say so before asking for them.
    if (!AverageDepth(computed, computed.computedCount)) {
        ui.ShowMessage(std::string(kNoCalculatedDive), MessageIcon::Information);
        return;
    }
    const std::optional<std::string> answer =
        ui.AskText("Wieviel Luft in Litern wurde verbraucht?", "2000");
    const std::optional<double> volume =
        BreathingVolume(computed, computed.computedCount, answer.value_or(""));
    ui.ShowMessage("AMV: " + FormatGeneral(volume.value_or(0), decimalSeparator) +
                       " Liter pro Minute bei 1 bar",
                   MessageIcon::Information);
}

std::string MixLimitsText(const GasMixFields& mix, const Settings& settings) {
    const double o2 = Val(mix.o2) / 100;
    const double n2 = Val(mix.n2) / 100;
    std::string text;
    if (o2 > 0) {
        text += "Hyperoxiegefahr in Tiefen > " +
                FormatGeneral(Int((settings.maxPpO2 / o2 - 1) * 10), settings.decimalSeparator) +
                " m\r\n";
        const double hypoxic = Int((settings.minPpO2 / o2 - 1) * 10);
        if (hypoxic > 0)
            text += "Hypoxiegefahr in Tiefen < " +
                    FormatGeneral(hypoxic, settings.decimalSeparator) + " m\r\n";
    }
    if (n2 > 0) {
        text += "N2-Grenzwert wird überschritten bei " +
                FormatGeneral(Int((settings.maxPpN2 / n2 - 1) * 10), settings.decimalSeparator) +
                " m\r\n";
    }
    return text;
}

std::string BestMixText(int depth, const Settings& settings) {
    const double pressure = depth / 9.81 + settings.airPressure / 1000;
    double o2 = settings.maxPpO2 / pressure > 1 ? 100 : Int(settings.maxPpO2 * 100 / pressure);
    double n2 = 100 - o2;
    double he = 0;
    if (n2 / 100 * pressure > settings.maxPpN2) {
        o2 = settings.maxPpO2 / pressure * 100;
        he = 100 - settings.maxPpN2 / pressure * 100 - o2;
        n2 = settings.maxPpN2 / pressure * 100;
    }
    n2 = std::max(n2, 0.0);
    he = std::max(he, 0.0);
    return "Best Mix für " + FormatGeneral(depth, settings.decimalSeparator) +
           " m Wassertiefe: O2=" + FormatGeneral(RoundTo(o2, 1), settings.decimalSeparator) +
           "%  N2=" + FormatGeneral(RoundTo(n2, 1), settings.decimalSeparator) +
           "%  He=" + FormatGeneral(RoundTo(he, 1), settings.decimalSeparator) + "%  ";
}

BlendSteps BlendMix(const std::string& o2Text, const std::string& n2Text, const std::string& heText,
                    const std::string& pressureText) {
    const double o2 = RoundHalfEven(Val(CommaToPoint(o2Text)));
    const double n2 = Val(CommaToPoint(n2Text));
    const double he = RoundHalfEven(Val(CommaToPoint(heText)));
    const double pressure = Val(CommaToPoint(pressureText));
    BlendSteps steps;
    steps.helium = RoundTo(he * pressure / 100, 1);
    const double airShare = n2 / 0.78;
    steps.air = RoundTo(airShare / 100 * pressure, 2);
    steps.oxygen = RoundTo(pressure * (o2 - 0.21 * airShare) / 100, 2);
    // The sum adds the steps as they are shown.
    steps.sum = RoundTo(Val(FormatGeneral(steps.helium)) + Val(FormatGeneral(steps.air)) +
                            Val(FormatGeneral(steps.oxygen)),
                        2);
    return steps;
}

BlendInputCheck CheckBlendInput(const std::string& o2Text, const std::string& n2Text,
                                const std::string& heText, const std::string& pressureText) {
    const std::string* fields[] = {&o2Text, &n2Text, &heText, &pressureText};
    for (int field = 0; field < 4; ++field) {
        if (!IsDecimalNumber(CommaToPoint(*fields[field]))) return {kInvalidInput, field};
    }
    // A pressure of hundreds of digits overflows to infinity and would show "inf bar".
    if (!std::isfinite(Val(CommaToPoint(pressureText)))) return {kInvalidInput, 3};
    if (!CheckMix({o2Text, n2Text, heText}).plausible) return {kImplausibleMix, 0};
    return {};
}

std::string RemainingAirText(const ComputedProfile& computed, int minute,
                             const Settings& settings) {
    const double left =
        static_cast<double>(settings.airSupply) - AirUsedUpTo(computed, minute, settings);
    if (left < 0) return "Flasche ist leer";
    return FormatGeneral(left, settings.decimalSeparator) + " Liter  " +
           FormatGeneral(Int(left / settings.tankSize), settings.decimalSeparator) + " bar";
}

std::string CursorMinuteLine(const ComputedProfile& computed, int minute,
                             const Settings& settings) {
    return "t = " + FormatGeneral(minute, settings.decimalSeparator) +
           " min. Restluft:" + RemainingAirText(computed, minute, settings);
}

}  // namespace marelos
