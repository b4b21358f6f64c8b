#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/settings/settings_store.h"
#include "core/ui/ui.h"
#include "core/workspace.h"

namespace marelos {

// The whole minutes from the end of the dive until the tolerated pressure of the tissues is
// below the aircraft cabin pressure, breathing surface air at the surface. Runs the calculation
// without surface interval, searches, and runs it again as it was, so every result afterwards is
// the one from before. Nothing when the cabin pressure is not above what the tissues tolerate
// once they are in balance with surface air: then no wait is long enough. Nothing, without a
// search, also when the calculation ends early; workspace.computed.last then says why.
std::optional<int> ComputeNoFlyMinutes(Workspace& workspace, const SettingsStore& store, Ui& ui);
// Shows the result of ComputeNoFlyMinutes: the no-fly message, or as an error why the dive could
// not be calculated.
void ShowNoFlyResult(const Workspace& workspace, std::optional<int> minutes, Ui& ui);

// The common recommendation for the wait before flying, beside the model's figure: 24 h after a
// dive with decompression stops, 18 h after repetitive dives (or several days of diving), 12 h
// after a single dive without stops.
struct FlyingRecommendation {
    int hours = 12;
    std::string_view dive = "einzelner Tauchgang ohne Dekompressionsstopps";
};
// Which recommendation applies to the dive of the last calculation: a decompression dive, or
// repetitive dives (the profile comes back to the surface and goes down again).
FlyingRecommendation RecommendedWaitBeforeFlying(const Workspace& workspace);

// The text of the no-fly message: minutes, hours and minutes, and the cabin pressure, or why
// there is no no-fly time for that cabin pressure; then the common recommendation, which of its
// cases applies, and that the longer of the two times holds.
std::string NoFlyMessage(std::optional<int> minutes, double cabinPressure,
                         const FlyingRecommendation& recommendation,
                         std::string_view decimalSeparator);

// The air pressure at an altitude, in mbar: sea-level pressure x 100 Pa, and the barometric
// formula p0 exp(-12.682368 h / p0).
double AltitudePressure(double seaLevelMbar, double altitudeMetres);
// lblResult: "Luftdruck (Höhe) = 893 mbar." from the two field texts.
std::string AltitudeResultText(const std::string& seaLevelText, const std::string& altitudeText);
// "Übernehmen": the fourth blank-separated field of the result text becomes the air pressure of
// the dive site (running value and store) when it is above 0. Returns whether it was taken.
bool TakeOverAltitudePressure(const std::string& resultText, Settings& settings,
                              SettingsStore& store);

}  // namespace marelos
