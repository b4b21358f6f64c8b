#include "vpmb_ascent.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <optional>

#include "core/planner/ascent_walk.h"
#include "core/planner/bubble_model.h"
#include "core/planner/tissue_segments.h"
#include "core/text/number_format.h"

namespace marelos {
namespace {

using vpmb::kOtherGases;

constexpr int kBisections = 40;  // halves a segment's time to a trillionth

// A value per compartment and gas: gradients or crushing pressures, bar.
struct PerGas {
    CompartmentValues n2{};
    CompartmentValues he{};
};

// The largest ambient pressure over the compartments at which the tissue, inert and other gases,
// stays within the allowed gradient (weighted by its N2 and He); never below 0.
double Tolerated(const TissueState& tissues, const PerGas& gradients, int firstCompartment) {
    double result = 0;
    for (int c = firstCompartment; c <= kLastCompartment; ++c) {
        const double inert = tissues.pN2[c] + tissues.pHe[c];
        if (!(inert > 0)) continue;
        const double allowed =
            (gradients.n2[c] * tissues.pN2[c] + gradients.he[c] * tissues.pHe[c]) / inert;
        result = std::max(result, inert + kOtherGases - allowed);
    }
    return result;
}

// The supersaturation that `gradients` allow decides the ascent. The first stop is no shallower
// than `firstStop` (m), the stop at or below the ceiling where the ascent enters the
// decompression zone; for the way to each stop above it the gradient is that of a bubble grown by
// Boyle's law from the first stop's ambient pressure to the next stop's.
class BubbleCeiling : public AscentCeiling {
  public:
    BubbleCeiling(const SegmentLoader& loader, const PerGas& gradients, double firstStop)
        : loader_(loader), gradients_(gradients), firstStopDepth_(firstStop) {}

    bool MayArriveAt(const TissueState& tissues, double depth) override {
        return depth >= firstStopDepth_ - 1e-9 &&
               Tolerated(tissues, gradients_, loader_.Model().firstCompartment) <=
                   loader_.Ambient(depth);
    }
    void FirstStopAt(double depth) override { firstStop_ = loader_.Ambient(depth); }
    bool MayLeaveFor(const TissueState& tissues, double, double next) override {
        return Tolerated(tissues, GradientsFor(next), loader_.Model().firstCompartment) <=
               loader_.Ambient(next);
    }

  private:
    const PerGas& GradientsFor(double next) {
        if (!(firstStop_ > 0)) return gradients_;
        if (next != compensatedFor_) {
            const double nextPressure = loader_.Ambient(next);
            for (int c = loader_.Model().firstCompartment; c <= kLastCompartment; ++c) {
                compensated_.n2[c] =
                    vpmb::BoyleCompensatedGradient(gradients_.n2[c], firstStop_, nextPressure);
                compensated_.he[c] =
                    vpmb::BoyleCompensatedGradient(gradients_.he[c], firstStop_, nextPressure);
            }
            compensatedFor_ = next;
        }
        return compensated_;
    }

    const SegmentLoader& loader_;
    const PerGas& gradients_;
    double firstStopDepth_;  // m
    double firstStop_ = 0;   // its ambient pressure, bar
    PerGas compensated_;
    double compensatedFor_ = std::numeric_limits<double>::quiet_NaN();  // the next stop's depth
};

// An ascent without stops: where the decompression zone begins does not depend on them.
class StraightUp : public AscentCeiling {
  public:
    bool MayArriveAt(const TissueState&, double) override { return true; }
    bool MayLeaveFor(const TissueState&, double, double) override { return true; }
};

// The model's tissues: the program's half-times, without the progressivity's time factor, which
// makes the Bühlmann limits more or less conservative; the bubble model has its conservatism.
ModelParameters WithoutTimeFactor(ModelParameters model) {
    model.timeFactor = 1;
    return model;
}

// The depth of a linear segment `minutes` after its start.
double DepthAfter(const ScheduleSegment& segment, double minutes) {
    if (!(segment.minutes > 0)) return segment.toDepth;
    return segment.fromDepth + (segment.toDepth - segment.fromDepth) * minutes / segment.minutes;
}

// The time within the segment, from its start, at which `crossed` first holds (it holds at the
// end, not at the start), with the tissues as they were at its start.
template <typename Crossed>
double CrossingTime(const SegmentLoader& loader, const TissueState& before,
                    const ScheduleSegment& segment, const Crossed& crossed) {
    double lo = 0;
    double hi = segment.minutes;
    for (int i = 0; i < kBisections; ++i) {
        const double mid = (lo + hi) / 2;
        TissueState tissues = before;
        const double depth = DepthAfter(segment, mid);
        loader.Linear(tissues, segment.fromDepth, depth, mid, segment.gas);
        (crossed(tissues, loader.Ambient(depth)) ? hi : lo) = mid;
    }
    return hi;
}

class VpmbPlanner {
  public:
    VpmbPlanner(const AscentStart& start, const ModelParameters& model,
                const PlannerSettings& settings, double airPressureMbar,
                const StopMinimums& minimums)
        : start_(start),
          settings_(settings),
          airPressure_(airPressureMbar),
          model_(WithoutTimeFactor(model)),
          loader_(model_, airPressureMbar, settings.Water()),
          gases_(DecoGasesOf(settings, airPressureMbar)),
          radii_(vpmb::CriticalRadiiAt(settings.vpmConservatism)),
          name_(PlannerModelName(settings, model.model)),
          minimums_(minimums) {
        for (int c = model_.firstCompartment; c <= kLastCompartment; ++c) {
            rateN2_[c] = std::numbers::ln2 / model_.halfTimeN2[c];
            rateHe_[c] = std::numbers::ln2 / model_.halfTimeHe[c];
        }
    }

    // The critical volume algorithm: each round plans the ascent with the gradients the last
    // round's decompression time allows (the first with the initial gradients), until that time
    // changes by no more than a minute; the plan of that round is the schedule.
    Schedule Plan() {
        ReplayDivePhase();
        StraightUp straight;
        zone_ = ReplayAscent(Walk(straight, {}));
        PerGas gradients = initial_;
        double lastDecoMinutes = std::numeric_limits<double>::infinity();
        for (int round = 1; round <= vpmb::kMostCriticalVolumePlans; ++round) {
            BubbleCeiling ceiling(loader_, gradients, FirstStopDepth(gradients));
            Schedule plan = Walk(ceiling, minimums_);
            if (!plan.complete) return Finish(std::move(plan));
            const double decoMinutes = plan.runTime - zone_.start.value_or(plan.runTime);
            if (std::fabs(decoMinutes - lastDecoMinutes) <= vpmb::kConvergedMinutes) {
                return Finish(std::move(plan));
            }
            lastDecoMinutes = decoMinutes;
            gradients = CriticalVolumeGradients(decoMinutes, ReplayAscent(plan).surfaced);
        }
        return NotConverged();
    }

  private:
    double Supersaturation(const TissueState& tissues, int c, double ambient) const {
        return tissues.pN2[c] + tissues.pHe[c] + kOtherGases - ambient;
    }

    // The dive phase from the surface tissues (and on to the start of the ascent, should the
    // start lie beyond the phase's end, as for a longer bottom), keeping each compartment's
    // largest crushing pressure; then the nuclei regenerate for the dive's time and give the
    // initial gradients.
    void ReplayDivePhase() {
        tissues_ = start_.surfaceTissues;
        double time = 0;
        double depth = 0;
        for (const ScheduleSegment& segment : start_.divePhase) {
            Load(segment, depth);
            time = segment.endRunTime;
            depth = segment.toDepth;
        }
        if (start_.runTime > time) {
            Load({SegmentKind::Travel, depth, start_.depth, start_.runTime - time, start_.runTime,
                  start_.bottomGas},
                 depth);
        }
        for (int c = model_.firstCompartment; c <= kLastCompartment; ++c) {
            crushing_.n2[c] =
                vpmb::RegeneratedCrushingPressure(radii_.n2, crushing_.n2[c], start_.runTime);
            crushing_.he[c] =
                vpmb::RegeneratedCrushingPressure(radii_.he, crushing_.he[c], start_.runTime);
            initial_.n2[c] = vpmb::InitialGradient(radii_.n2, crushing_.n2[c]);
            initial_.he[c] = vpmb::InitialGradient(radii_.he, crushing_.he[c]);
        }
    }

    // A descent crushes the nuclei, also one in no time where a line without time moved the depth
    // since the last segment ended.
    void Load(const ScheduleSegment& segment, double lastDepth) {
        if (segment.fromDepth > lastDepth) {
            Crush(tissues_, {SegmentKind::Travel, lastDepth, segment.fromDepth, 0, 0, segment.gas});
        }
        const TissueState before = tissues_;
        loader_.Linear(tissues_, segment.fromDepth, segment.toDepth, segment.minutes, segment.gas);
        if (segment.toDepth > segment.fromDepth) Crush(before, segment);
    }

    // A descent crushes the nuclei by the ambient pressure less the tissue's gases: the largest
    // at its end. Beyond the onset of impermeability the gas inside them resists.
    void Crush(const TissueState& before, const ScheduleSegment& segment) {
        const double startAmbient = loader_.Ambient(segment.fromDepth);
        const double endAmbient = loader_.Ambient(segment.toDepth);
        for (int c = model_.firstCompartment; c <= kLastCompartment; ++c) {
            const double crushing = -Supersaturation(tissues_, c, endAmbient);
            double n2 = crushing;
            double he = crushing;
            if (crushing > vpmb::kOnsetOfImpermeability) {
                double onsetAmbient = startAmbient;
                double onsetTension = startAmbient + Supersaturation(before, c, startAmbient);
                if (-Supersaturation(before, c, startAmbient) < vpmb::kOnsetOfImpermeability) {
                    // Within the segment; in no time the tension stays that of its start.
                    if (segment.minutes > 0) {
                        const double minutes = CrossingTime(
                            loader_, before, segment, [&](const TissueState& t, double ambient) {
                                return -Supersaturation(t, c, ambient) >=
                                       vpmb::kOnsetOfImpermeability;
                            });
                        onsetTension = loader_.Ambient(DepthAfter(segment, minutes)) -
                                       vpmb::kOnsetOfImpermeability;
                    }
                    onsetAmbient = onsetTension + vpmb::kOnsetOfImpermeability;
                }
                n2 = vpmb::ImpermeableCrushingPressure(radii_.n2, onsetAmbient, onsetTension,
                                                       endAmbient);
                he = vpmb::ImpermeableCrushingPressure(radii_.he, onsetAmbient, onsetTension,
                                                       endAmbient);
            }
            crushing_.n2[c] = std::max(crushing_.n2[c], n2);
            crushing_.he[c] = std::max(crushing_.he[c], he);
        }
    }

    // The zone's ascent goes straight up; every round of the critical volume holds the minimums.
    Schedule Walk(AscentCeiling& ceiling, const StopMinimums& minimums) {
        AscentStart start = start_;
        start.tissues = tissues_;
        return WalkAscent(start, loader_, settings_, gases_, ceiling, minimums);
    }

    // The first stop: the stop depth at or below the ceiling where the ascent enters the
    // decompression zone (0 when it never does).
    double FirstStopDepth(const PerGas& gradients) const {
        if (!zone_.start) return 0;
        const double depth =
            DepthOfPressure(Tolerated(zone_.tissues, gradients, model_.firstCompartment),
                            airPressure_, settings_.Water());
        return depth > 0 ? 3 * std::ceil(depth / 3 - 1e-9) : 0;
    }

    bool Supersaturated(const TissueState& tissues, double ambient) const {
        for (int c = model_.firstCompartment; c <= kLastCompartment; ++c) {
            if (Supersaturation(tissues, c, ambient) >= 0) return true;
        }
        return false;
    }

    // A plan replayed on the model's tissues: when the ascent enters the decompression zone (a
    // tissue's gases reach the ambient pressure) and the tissues there, and those on surfacing.
    struct AscentReplay {
        std::optional<double> start;  // run time
        TissueState tissues;
        TissueState surfaced;
    };
    AscentReplay ReplayAscent(const Schedule& plan) const {
        AscentReplay replay;
        TissueState tissues = tissues_;
        if (Supersaturated(tissues, loader_.Ambient(start_.depth))) {
            replay = {start_.runTime, tissues, {}};
        }
        for (const ScheduleSegment& segment : plan.segments) {
            const TissueState before = tissues;
            loader_.Linear(tissues, segment.fromDepth, segment.toDepth, segment.minutes,
                           segment.gas);
            if (!replay.start && Supersaturated(tissues, loader_.Ambient(segment.toDepth))) {
                const double minutes = CrossingTime(loader_, before, segment,
                                                    [&](const TissueState& t, double ambient) {
                                                        return Supersaturated(t, ambient);
                                                    });
                replay.start = segment.endRunTime - segment.minutes + minutes;
                replay.tissues = before;
                loader_.Linear(replay.tissues, segment.fromDepth, DepthAfter(segment, minutes),
                               minutes, segment.gas);
            }
        }
        replay.surfaced = tissues;
        return replay;
    }

    // The gradients the critical volume allows when the decompression lasts `decoMinutes` and
    // each compartment's supersaturation on surfacing adds its surface phase.
    PerGas CriticalVolumeGradients(double decoMinutes, const TissueState& surfaced) const {
        PerGas gradients;
        for (int c = model_.firstCompartment; c <= kLastCompartment; ++c) {
            const double minutes =
                decoMinutes + vpmb::SurfacePhaseVolumeTime(surfaced.pN2[c], surfaced.pHe[c],
                                                           start_.surfaceTissues.pN2[c], rateN2_[c],
                                                           rateHe_[c]);
            gradients.n2[c] =
                vpmb::CriticalVolumeGradient(initial_.n2[c], crushing_.n2[c], minutes);
            gradients.he[c] =
                vpmb::CriticalVolumeGradient(initial_.he[c], crushing_.he[c], minutes);
        }
        return gradients;
    }

    // The schedule as the program shows it: the model's name, and the start it was given (its
    // tissues are those every other view shows).
    Schedule Finish(Schedule plan) const {
        plan.model = name_;
        plan.start = start_;
        return plan;
    }

    Schedule NotConverged() const {
        Schedule plan;
        plan.model = name_;
        plan.start = start_;
        plan.runTime = start_.runTime;
        plan.reason = "Der Aufstieg ließ sich mit " + name_ +
                      " nicht planen: Die Dekompressionszeit änderte sich auch nach " +
                      FormatGeneral(vpmb::kMostCriticalVolumePlans) +
                      " Durchgängen des kritischen Volumens noch um mehr als eine Minute.";
        return plan;
    }

    const AscentStart& start_;
    const PlannerSettings& settings_;
    const double airPressure_;  // mbar
    const ModelParameters model_;
    const SegmentLoader loader_;
    const std::vector<PlannedGas> gases_;
    const vpmb::CriticalRadii radii_;
    const std::string name_;
    const StopMinimums& minimums_;
    CompartmentValues rateN2_{}, rateHe_{};  // ln 2 / half-time, per minute
    TissueState tissues_;                    // the model's, at the start of the ascent
    PerGas crushing_;                        // the largest crushing pressure, then regenerated
    PerGas initial_;                         // the initial gradients
    AscentReplay zone_;                      // where the ascent enters the decompression zone
};

}  // namespace

Schedule PlanVpmbAscent(const AscentStart& start, const ModelParameters& model,
                        const PlannerSettings& settings, double airPressureMbar,
                        const StopMinimums& minimums) {
    return VpmbPlanner(start, model, settings, airPressureMbar, minimums).Plan();
}

}  // namespace marelos
