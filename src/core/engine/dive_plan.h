#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/settings/settings_store.h"
#include "core/ui/ui.h"
#include "core/workspace.h"

namespace marelos {

// The question asked when a decompression phase in stops is wanted while a continuous ascent
// is chosen.
extern const char* const kStagedDecompressionQuestion;

// The run-time table of the current dive (mnuDivePlan): one line per profile line, then, when
// the dive has stops, the travel to the first stop and an ascent and a stop line per stop. When
// a continuous ascent is chosen the user is asked whether to calculate in stops; Yes stores
// that choice and recalculates. When that calculation ended early, its reason stands where the
// stops would.
std::vector<std::string> DivePlanLines(Workspace& workspace, SettingsStore& store, Ui& ui);

// mnuPrintDecoPhase: the stops and the total decompression time of the last calculation as text
// (CR LF line breaks); after a calculation that ended early, why there are no stops.
std::string DecompressionText(const Workspace& workspace);
// ...shown with the question whether it goes to the clipboard; true when the user wants it.
// After a calculation that ended early only the reason is shown, as an error.
bool ShowDecompressionText(const Workspace& workspace, Ui& ui);

// What the comment of the dive says about it, for the dive values.
struct DiveComment {
    std::string number;  // "TG-Nummer"
    std::string place;   // "Ort"
    std::string water;   // "Gewässer"
    std::string date;    // "Datum"
    std::string time;    // "Uhrzeit"
};

// The dive values written into the computed-profile graph, one text per line.
std::vector<std::string> DiveValueTexts(const ComputedProfile& computed, const DiveComment& comment,
                                        std::string_view decimalSeparator);

}  // namespace marelos
