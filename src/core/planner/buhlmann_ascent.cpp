#include "buhlmann_ascent.h"

#include <algorithm>

#include "core/planner/ascent_walk.h"

namespace marelos {
namespace {

class GradientFactorCeiling : public AscentCeiling {
  public:
    GradientFactorCeiling(const ModelParameters& model, const SegmentLoader& loader,
                          const PlannerSettings& settings)
        : model_(model),
          loader_(loader),
          low_(settings.gfLow / 100),
          high_(settings.gfHigh / 100) {}

    bool MayArriveAt(const TissueState& tissues, double depth) override {
        return ToleratedPressureAtGf(tissues, model_, low_) <= loader_.Ambient(depth);
    }
    void FirstStopAt(double depth) override { firstStop_ = depth; }
    bool MayLeaveFor(const TissueState& tissues, double, double next) override {
        return ToleratedPressureAtGf(tissues, model_, GfAt(next)) <= loader_.Ambient(next);
    }

  private:
    // GF low at the first stop, GF high at the surface, linear in between.
    double GfAt(double depth) const {
        if (!(firstStop_ > 0)) return high_;
        return high_ + (low_ - high_) * std::min(depth, firstStop_) / firstStop_;
    }

    const ModelParameters& model_;
    const SegmentLoader& loader_;
    double low_;
    double high_;
    double firstStop_ = 0;
};

}  // namespace

Schedule PlanBuhlmannAscent(const AscentStart& start, const ModelParameters& model,
                            const PlannerSettings& settings, double airPressureMbar,
                            const StopMinimums& minimums) {
    const SegmentLoader loader(model, airPressureMbar, settings.Water());
    GradientFactorCeiling ceiling(model, loader, settings);
    Schedule schedule = WalkAscent(start, loader, settings, DecoGasesOf(settings, airPressureMbar),
                                   ceiling, minimums);
    schedule.model = PlannerModelName(settings, model.model);
    return schedule;
}

}  // namespace marelos
