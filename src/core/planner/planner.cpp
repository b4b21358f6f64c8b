#include "planner.h"

#include "core/planner/buhlmann_ascent.h"

namespace marelos {

Schedule PlanAscent(const AscentStart& start, const ModelParameters& model,
                    const PlannerSettings& settings, double airPressureMbar) {
    return PlanBuhlmannAscent(start, model, settings, airPressureMbar);
}

}  // namespace marelos
