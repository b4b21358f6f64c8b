#include "planner.h"

#include "core/planner/buhlmann_ascent.h"
#include "core/planner/vpmb_ascent.h"

namespace marelos {

Schedule PlanAscent(const AscentStart& start, const ModelParameters& model,
                    const PlannerSettings& settings, double airPressureMbar,
                    const StopMinimums& minimums) {
    if (settings.model == PlannerModel::Vpmb) {
        return PlanVpmbAscent(start, model, settings, airPressureMbar, minimums);
    }
    return PlanBuhlmannAscent(start, model, settings, airPressureMbar, minimums);
}

}  // namespace marelos
