#include "ascent_walk.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "core/text/number_format.h"

namespace marelos {
namespace {

// Depths and times closer than this are the same: sums of tenths of minutes are never exact.
constexpr double kSame = 1e-9;

class Walk {
  public:
    Walk(const AscentStart& start, const SegmentLoader& loader, const PlannerSettings& settings,
         const std::vector<PlannedGas>& gases, AscentCeiling& ceiling, const StopMinimums& minimums)
        : loader_(loader),
          settings_(settings),
          gases_(gases),
          ceiling_(ceiling),
          minimums_(minimums) {
        plan_.start = start;
        tissues_ = start.tissues;
        depth_ = start.depth;
        time_ = start.runTime;
        gas_ = start.bottomGas;
    }

    Schedule Run() {
        if (depth_ > kSame) {
            SwitchIfBetter();
            const bool stopped = AscendToFirstStop();
            if (stopped && !MakeStops()) return Finish(false);
        }
        return Finish(true);
    }

  private:
    bool IsStopDepth(double depth) const {
        return depth >= settings_.lastStop - kSame &&
               std::fabs(depth / 3 - std::round(depth / 3)) < kSame;
    }

    // The stop depth above `depth`: the next multiple of 3 m, or the surface above the last
    // stop (the last stop itself when a safety stop is made).
    double NextStopAbove(double depth) const {
        const double step = 3 * (std::ceil(depth / 3 - kSame) - 1);
        if (step >= settings_.lastStop - kSame) return step;
        const bool safety = settings_.safetyStopMinutes > 0 && depth > settings_.lastStop + kSame;
        return safety ? settings_.lastStop : 0;
    }

    // The decompression gas with the lowest inert share whose switch depth lies at or below
    // `depth`, when it is better than the gas breathed now.
    std::optional<BreathingGas> BetterGasAt(double depth) const {
        std::optional<BreathingGas> best;
        double inert = gas_.Inert();
        for (const PlannedGas& planned : gases_) {
            if (planned.switchDepth >= depth - kSame && planned.gas.Inert() < inert) {
                best = planned.gas;
                inert = planned.gas.Inert();
            }
        }
        return best;
    }

    // The deepest switch to a better gas strictly between `depth` and `next`: the ascent pauses
    // there.
    std::optional<double> SwitchBetween(double depth, double next) const {
        std::optional<double> found;
        for (const PlannedGas& planned : gases_) {
            const bool between =
                planned.switchDepth < depth - kSame && planned.switchDepth > next + kSame;
            if (between && planned.gas.Inert() < gas_.Inert() &&
                (!found || planned.switchDepth > *found)) {
                found = planned.switchDepth;
            }
        }
        return found;
    }

    // Where the ascent from `depth` to `next` pauses: the deepest switch or minimum between.
    std::optional<double> PauseBetween(double depth, double next) const {
        std::optional<double> pause = SwitchBetween(depth, next);
        for (const StopMinimum& minimum : minimums_) {
            const bool between = minimum.depth < depth - kSame && minimum.depth > next + kSame;
            if (between && minimum.minutes > 0 && (!pause || minimum.depth > *pause)) {
                pause = minimum.depth;
            }
        }
        return pause;
    }

    int MinimumHere() const {
        for (const StopMinimum& minimum : minimums_) {
            if (std::fabs(minimum.depth - depth_) < kSame) return minimum.minutes;
        }
        return 0;
    }

    // The safety stop's minutes, which are added at the last stop once the model lets it go.
    double SafetyMinutesHere() const {
        const bool last = std::fabs(depth_ - settings_.lastStop) < kSame;
        return last ? settings_.safetyStopMinutes : 0;
    }

    // A minute more at the depth reached for its minimum alone.
    void HoldForMinimum() {
        Stay(1, SegmentKind::Stop);
        stopMinutes_ += 1;
        plan_.heldForMinimums = true;
    }

    void Add(SegmentKind kind, double from, double to, double minutes) {
        time_ += minutes;
        plan_.segments.push_back({kind, from, to, minutes, time_, gas_});
    }

    void Ascend(double to) {
        const double minutes = (depth_ - to) / settings_.ascentRate;
        loader_.Linear(tissues_, depth_, to, minutes, gas_);
        Add(SegmentKind::Travel, depth_, to, minutes);
        depth_ = to;
    }

    void Stay(double minutes, SegmentKind kind) {
        loader_.Constant(tissues_, depth_, minutes, gas_);
        Add(kind, depth_, depth_, minutes);
    }

    // The minutes spent at the depth reached (a switch's too) make it a stop of the plan.
    void LeaveStop() {
        if (stopMinutes_ > 0) {
            plan_.stops.push_back({depth_, stopMinutes_, time_, gas_, switchedHere_});
        }
        stopMinutes_ = 0;
        switchedHere_ = false;
    }

    // A switch to a better gas at the depth reached, with its minutes there; true when made.
    bool SwitchIfBetter() {
        const std::optional<BreathingGas> better = BetterGasAt(depth_);
        if (!better) return false;
        gas_ = *better;
        plan_.switches.push_back({depth_, gas_});
        switchedHere_ = true;
        stopMinutes_ = static_cast<int>(settings_.switchMinutes);
        Stay(settings_.switchMinutes, SegmentKind::Switch);
        return true;
    }

    // Up step by step (3 m, and every switch depth on the way) while the model lets the diver
    // arrive at the next step; false when the surface was reached without a stop.
    bool AscendToFirstStop() {
        while (depth_ > kSame) {
            const double next = NextStopAbove(depth_);
            const double target = PauseBetween(depth_, next).value_or(next);
            TissueState trial = tissues_;
            loader_.Linear(trial, depth_, target, (depth_ - target) / settings_.ascentRate, gas_);
            if (!ceiling_.MayArriveAt(trial, target)) {
                required_ = true;
                ceiling_.FirstStopAt(depth_);
                return true;
            }
            if (stopMinutes_ < MinimumHere()) {
                HoldForMinimum();
                continue;
            }
            LeaveStop();
            Ascend(target);
            SwitchIfBetter();
            if (depth_ > kSame && settings_.safetyStopMinutes > 0 &&
                std::fabs(depth_ - settings_.lastStop) < kSame) {
                ceiling_.FirstStopAt(depth_);
                return true;
            }
        }
        return false;
    }

    // Minute by minute at each stop until the model lets the diver leave for the next one and the
    // stop's minimum has passed; the first stop lasts at least a minute. False when the ascent
    // takes too long to plan.
    bool MakeStops() {
        while (depth_ > kSame) {
            const double next = NextStopAbove(depth_);
            const bool mustStay = required_ && stopMinutes_ == 0;
            if (mustStay || !ceiling_.MayLeaveFor(tissues_, depth_, next)) {
                if (time_ - plan_.start.runTime > kLongestAscentMinutes) return false;
                Stay(1, SegmentKind::Stop);
                stopMinutes_ += 1;
                continue;
            }
            const double safety = SafetyMinutesHere();
            if (stopMinutes_ + safety < MinimumHere()) {
                HoldForMinimum();
                continue;
            }
            required_ = false;
            if (safety > 0) {
                Stay(safety, SegmentKind::Stop);
                stopMinutes_ += static_cast<int>(safety);
            }
            LeaveStop();
            Ascend(PauseBetween(depth_, next).value_or(next));
            SwitchIfBetter();
        }
        return true;
    }

    Schedule Finish(bool complete) {
        plan_.complete = complete;
        plan_.runTime = time_;
        if (!complete) {
            plan_.reason = "Der Aufstieg ließ sich nicht planen: Nach " +
                           FormatGeneral(kLongestAscentMinutes) + " Minuten auf " +
                           FormatGeneral(depth_) + " m erlaubt das Modell noch keinen Aufstieg.";
        }
        return std::move(plan_);
    }

    const SegmentLoader& loader_;
    const PlannerSettings& settings_;
    const std::vector<PlannedGas>& gases_;
    AscentCeiling& ceiling_;
    const StopMinimums& minimums_;
    Schedule plan_;
    TissueState tissues_;
    double depth_ = 0;
    double time_ = 0;
    BreathingGas gas_;
    int stopMinutes_ = 0;        // at the depth reached
    bool switchedHere_ = false;  // the depth reached began with a switch
    bool required_ = false;      // the first stop, which the model demanded
};

}  // namespace

StopMinimums LongestStopsOf(const std::vector<const Schedule*>& schedules) {
    StopMinimums longest;
    for (const Schedule* schedule : schedules) {
        if (!schedule->complete) continue;
        for (const ScheduleStop& stop : schedule->stops) {
            const auto same = std::find_if(longest.begin(), longest.end(), [&](const auto& m) {
                return std::fabs(m.depth - stop.depth) < kSame;
            });
            if (same == longest.end()) {
                longest.push_back({stop.depth, stop.minutes});
            } else {
                same->minutes = std::max(same->minutes, stop.minutes);
            }
        }
    }
    return longest;
}

Schedule WalkAscent(const AscentStart& start, const SegmentLoader& loader,
                    const PlannerSettings& settings, const std::vector<PlannedGas>& gases,
                    AscentCeiling& ceiling, const StopMinimums& minimums) {
    return Walk(start, loader, settings, gases, ceiling, minimums).Run();
}

void SampleWholeMinutes(TissueState& tissues, const Schedule& schedule, const SegmentLoader& loader,
                        const BreathingGas& surfaceGas,
                        const std::function<void(double depth, const BreathingGas& gas)>& report) {
    double time = schedule.start.runTime;
    double next = std::floor(time + kSame) + 1;  // the next whole minute
    for (const ScheduleSegment& segment : schedule.segments) {
        const double end = time + segment.minutes;
        // The depth at a moment of the segment, to a millionth of a metre; its end exactly.
        const auto depthAt = [&](double at) {
            if (at >= end - kSame) return segment.toDepth;
            const double share = (at - (end - segment.minutes)) / segment.minutes;
            const double depth = segment.fromDepth + (segment.toDepth - segment.fromDepth) * share;
            return std::round(depth * 1e6) / 1e6;
        };
        while (next <= end + kSame) {
            const double reached = std::min(next, end);
            // A linear change to the same depth is the stay at it.
            loader.Linear(tissues, depthAt(time), depthAt(reached), reached - time, segment.gas);
            time = reached;
            report(depthAt(reached), segment.gas);
            next += 1;
        }
        if (end > time)
            loader.Linear(tissues, depthAt(time), segment.toDepth, end - time, segment.gas);
        time = std::max(time, end);
    }
    if (next - time < 1 - kSame) {
        loader.Constant(tissues, 0, next - time, surfaceGas);
        report(0, surfaceGas);
    }
}

}  // namespace marelos
