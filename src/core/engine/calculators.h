#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/engine/computed_profile.h"
#include "core/settings/settings.h"
#include "core/ui/ui.h"
#include "core/workspace.h"

namespace marelos {

// The message of the calculators that need a calculated dive when there is none.
extern const char* const kNoCalculatedDive;

// Whole litres of surface air breathed in the records 1..minutes that lie below 0 m, each
// counting as one minute at its ambient pressure.
double AirUsedUpTo(const ComputedProfile& computed, double minutes, const Settings& settings);
std::string AirConsumptionText(const ComputedProfile& computed, const Settings& settings);

// The average depth of the records 1..minutes below 0 m, cut to tenths; nothing without such
// a record.
std::optional<double> AverageDepth(const ComputedProfile& computed, double minutes);
std::string AverageDepthText(const ComputedProfile& computed, std::string_view decimalSeparator);

// Litres per minute at 1 bar from the litres the diver used (the answer's text) over the
// records below 0 m; 0 for an answer below 1 litre; nothing without such a record.
std::optional<double> BreathingVolume(const ComputedProfile& computed, double minutes,
                                      const std::string& litresAnswer);
// mnuCalcBreathingRatio: asks for the litres and shows the result.
void mnuCalcBreathingRatio(const ComputedProfile& computed, Ui& ui,
                           std::string_view decimalSeparator);

// The depths at which the current mix passes MaxPPO2, MinPPO2 and MaxPPN2 (CR LF after each).
std::string MixLimitsText(const GasMixFields& mix, const Settings& settings);

// "Best Mix für 40 m Wassertiefe: O2=32.6%  N2=67.4%  He=0%  ".
std::string BestMixText(int depth, const Settings& settings);

// The partial-pressure filling of an empty cylinder: helium, then air from the compressor,
// then oxygen, and their sum, in bar.
struct BlendSteps {
    double oxygen = 0;
    double helium = 0;
    double air = 0;
    double sum = 0;
};
BlendSteps BlendMix(const std::string& o2Text, const std::string& n2Text, const std::string& heText,
                    const std::string& pressureText);
// Why the fields of the best-mix window cannot be blended: every field must hold a number
// ("," read as ".") that is not too large to hold, and the three shares must add up as the mix
// fields must. `field` is the one to correct (0 O2, 1 N2, 2 He, 3 pressure); an empty message
// when all is well.
struct BlendInputCheck {
    std::string message;
    int field = -1;
};
BlendInputCheck CheckBlendInput(const std::string& o2Text, const std::string& n2Text,
                                const std::string& heText, const std::string& pressureText);

// The remaining air at a cursor minute: "2370 Liter  158 bar" or "Flasche ist leer".
std::string RemainingAirText(const ComputedProfile& computed, int minute, const Settings& settings);
// The message-list line of a click at a minute: "t = 12 min. Restluft:2370 Liter  158 bar".
std::string CursorMinuteLine(const ComputedProfile& computed, int minute, const Settings& settings);

}  // namespace marelos
