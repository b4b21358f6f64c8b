#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/planner/planner_settings.h"
#include "core/planner/schedule.h"
#include "core/profile/dive_profile.h"

namespace marelos {

enum class DivePhase { Bottom, Ascent };

// Something wrong with breathing a gas at a depth, as a short German text: the ppO2 above the
// limit of the phase or below the minimum (`lowOxygen`), the END above its limit, the gas
// density above its warning threshold or its limit.
struct GasProblem {
    std::string text;
    bool lowOxygen = false;
};
std::vector<GasProblem> GasProblemsAt(const BreathingGas& gas, double depth, DivePhase phase,
                                      const PlannerSettings& settings, double airPressureMbar,
                                      std::string_view decimalSeparator);

// The warnings of the dive phase and of the planned ascent, each a German line, each once: every
// segment at its deepest and shallowest point, and every gas switch whose nitrogen share rises by
// more than a fifth of the helium share it drops (isobaric counterdiffusion).
std::vector<std::string> PlannerGasWarnings(const Schedule& schedule,
                                            const PlannerSettings& settings, double airPressureMbar,
                                            std::string_view decimalSeparator);

}  // namespace marelos
