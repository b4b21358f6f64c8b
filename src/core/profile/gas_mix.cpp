#include "gas_mix.h"

#include <algorithm>
#include <array>

#include "core/engine/tissues.h"
#include "core/text/fields.h"
#include "core/text/number_format.h"
#include "core/text/rounding.h"
#include "core/text/val.h"

namespace marelos {

std::vector<std::string> MixPresets() {
    return {"O2: 21 N2: 78 He: 0 [Luft]",
            "O2: 32 N2: 68 He: 0 [Nitrox-32]",
            "O2: 36 N2: 64 He: 0 [Nitrox-36]",
            "O2: 100 N2: 0 He: 0 [Sauerstoff]",
            "O2: 21 N2: 0 He: 78 [Heliox-21]",
            "O2: 17 N2: 40 He: 43 [Trimix-17-43]",
            "O2: 17 N2: 66 He: 17 [Trimix-17-17]",
            "O2: 12 N2: 38 He: 50 [Trimix-12-50]",
            "O2: 21 N2: 54 He: 25 [Trimix (normoxisch)]",
            "O2: 27 N2: 59 He: 14 [Trimix (hyperoxisch)]",
            "O2: 21 N2: 44 He: 35 [Trimix 21-35]"};
}

MixCheck CheckMix(const GasMixFields& mix) {
    const double n2 = Val(CommaToPoint(mix.n2));
    const double o2 = Val(CommaToPoint(mix.o2));
    const double he = Val(CommaToPoint(mix.he));
    const double sum = n2 + o2 + he;
    const double shown = RoundHalfEven(RoundTo(sum, 1));
    MixCheck check;
    check.label = "= " + FormatGeneral(shown) + "%";
    check.plausible = shown >= 99 && shown < 101;
    check.colour = check.plausible ? 0 : 255;
    return check;
}

MixCheck CheckMixPlausible(const GasMixFields& mix, bool showMessage, Ui& ui) {
    const MixCheck check = CheckMix(mix);
    if (!check.plausible && showMessage) {
        ui.ShowMessage(kImplausibleMix, MessageIcon::Critical);
    }
    return check;
}

PointGas GasForNewPoint(const GasMixFields& mix) {
    return {RoundToInt32(Val(mix.n2)), Val(mix.he)};
}

std::string UsedMixText(const GasMixFields& mix) {
    return "O2: " + mix.o2 + " N2: " + mix.n2 + " He: " + mix.he + " [%]";
}

void AddUsedMix(std::vector<std::string>& mixList, const GasMixFields& mix) {
    // A preset of the same shares ("Trimix 21-35") already names the mix.
    const auto shares = [](const GasMixFields& m) {
        return std::array{Val(CommaToPoint(m.o2)), Val(CommaToPoint(m.n2)),
                          Val(CommaToPoint(m.he))};
    };
    const auto wanted = shares(mix);
    const bool listed = std::any_of(mixList.begin(), mixList.end(), [&](const std::string& entry) {
        return shares(SelectMix(entry)) == wanted;
    });
    if (!listed) mixList.push_back(UsedMixText(mix));
}

GasMixFields SelectMix(std::string_view entry) {
    return {GetField(entry, 2), GetField(entry, 4), GetField(entry, 6)};
}

GasMixFields AirMix() {
    return {"21", "78", "0"};
}

GasMixFields NitroxMix(int o2Percent) {
    return {FormatGeneral(o2Percent), FormatGeneral(100 - o2Percent - 1), "0"};
}

GasMixFields OxygenMix() {
    return {"100", "0", "0"};
}

GasMixFields HelioxMix() {
    return {"21", "0", "78"};
}

std::vector<PressureWarning> PartialPressureWarnings(const ProfileLine& line,
                                                     const Settings& settings) {
    const double pressure = AmbientPressure(line.depth, settings.airPressure);
    const double ppN2 = pressure * line.n2Percent / 100;
    const double ppO2 = Int(pressure * (100 - line.hePercent - line.n2Percent)) / 100;
    std::vector<PressureWarning> warnings;
    if (ppO2 > settings.maxPpO2 && settings.warnPpO2Hi == 1) {
        warnings.push_back({FormatGeneral(ppO2, settings.decimalSeparator) + " bar ppO2!", 255});
    }
    if (ppO2 < settings.minPpO2 && settings.warnPpO2Lo == 1) {
        warnings.push_back(
            {FormatGeneral(ppO2, settings.decimalSeparator) + " bar ppO2 (Hypoxie)!", 33023});
    }
    if (ppN2 > settings.maxPpN2 && settings.warnPpN2 == 1) {
        warnings.push_back({FormatGeneral(ppN2, settings.decimalSeparator) + " bar ppN2!", 32768});
    }
    return warnings;
}

std::string AddedPointStatus(double depth, double minute, double n2Percent, double hePercent,
                             std::string_view decimalSeparator) {
    return "> " + FormatGeneral(depth, decimalSeparator) + " m / " +
           FormatGeneral(minute, decimalSeparator) +
           " min. - N2-Anteil: " + FormatGeneral(n2Percent, decimalSeparator) +
           "% / He-Anteil: " + FormatGeneral(hePercent, decimalSeparator);
}

}  // namespace marelos
