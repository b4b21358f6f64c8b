#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/ui/ui.h"
#include "core/workspace.h"

namespace marelos {

// The eleven mixes the mix list starts with.
std::vector<std::string> MixPresets();

// The sum of the three mix fields (each with "," read as "."), rounded to whole per cent, and
// how the total label shows it: "= 99%" in black when 99 <= sum < 101, else in red.
struct MixCheck {
    bool plausible = false;
    std::string label;        // lblTotalPercent
    std::int32_t colour = 0;  // 0 black, 255 red
};
MixCheck CheckMix(const GasMixFields& mix);
// CheckMix, and with `showMessage` an implausible mix is told to the user with this message.
inline constexpr const char* kImplausibleMix = "Das eingestellte Gemisch ist unplausibel!";
MixCheck CheckMixPlausible(const GasMixFields& mix, bool showMessage, Ui& ui);

// The gas a new point takes from the fields: N2 rounded to whole per cent, He as it stands,
// both without reading "," as a decimal point.
struct PointGas {
    std::int32_t n2Percent = 0;
    double hePercent = 0;
};
PointGas GasForNewPoint(const GasMixFields& mix);

// "O2: 21 N2: 78 He: 0 [%]": how a used mix enters the mix list, once.
std::string UsedMixText(const GasMixFields& mix);
void AddUsedMix(std::vector<std::string>& mixList, const GasMixFields& mix);
// The fields 2, 4 and 6 of a mix list entry into the three fields.
GasMixFields SelectMix(std::string_view entry);

// The mixes of the menu: air leaves 1 % to other gases, and so do the nitrox mixes, whose N2
// field is 100 - O2 - 1.
GasMixFields AirMix();
GasMixFields NitroxMix(int o2Percent);
GasMixFields OxygenMix();
GasMixFields HelioxMix();

// A partial-pressure warning at a corner of the graph: its text and colour.
struct PressureWarning {
    std::string text;
    std::int32_t colour = 0;

    bool operator==(const PressureWarning&) const = default;
};
// The warnings at a line: ppO2 above MaxPPO2 (red), below MinPPO2 (orange), ppN2 above MaxPPN2
// (green), each only when its switch is on. The O2 share here is 100 - He - N2, and ppO2 is cut
// down to hundredths of a bar.
std::vector<PressureWarning> PartialPressureWarnings(const ProfileLine& line,
                                                     const Settings& settings);

// The message-list line of a clicked point: "> 30 m / 5 min. - N2-Anteil: 78% / He-Anteil: 0".
std::string AddedPointStatus(double depth, double minute, double n2Percent, double hePercent,
                             std::string_view decimalSeparator);

}  // namespace marelos
