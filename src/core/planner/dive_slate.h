#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/graphics/canvas.h"
#include "core/planner/contingency_table.h"
#include "core/settings/setting_keys.h"
#include "core/settings/settings.h"

namespace marelos {

namespace keys {
// The folder the slate was last saved to as a PDF.
inline constexpr SettingKey kSlateFolder{"Planner", "SlateFolder", StoredForm::Text};
}  // namespace keys

// The page a diver takes under water: the plan's name, what it was planned with (the model, the
// gases with their switch depths and maximum operating depths, the cylinders with their
// pressures, reserves and turn pressure), the plans side by side, and the warnings.
struct DiveSlate {
    std::string title;
    std::vector<std::string> facts;
    ContingencyTable table;
    // Each warning once, after the numbers of the plans it concerns: "1, 3: Warnung: ...".
    std::vector<std::string> warnings;
};

DiveSlate DiveSlateOf(std::string_view profileFileName, const std::vector<ContingencyPlan>& plans,
                      const Settings& settings);

// The slate's page: A4 less a margin of 1 cm, in twips. The PDF is A4; a printer's page is
// filled by the same drawing, made smaller only where its printable area is smaller.
inline constexpr double kSlateWidth = 10772;   // 190 mm
inline constexpr double kSlateHeight = 15704;  // 277 mm

// Draws the slate in black on white for reading under water: the table at 16 pt, or as much
// smaller as it needs to fit the page and never below 12 pt (unless more plans than five or six
// would not fit across the page); marked plans framed in heavy lines
// and headed by "!", gas switches in bold, nothing told by colour. The same drawing serves the
// screen, the printer and the PDF.
void DrawDiveSlate(Canvas& canvas, const DiveSlate& slate);

}  // namespace marelos
