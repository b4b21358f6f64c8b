#pragma once

#include <array>

#include "core/engine/computed_profile.h"
#include "core/engine/water.h"

namespace marelos {

// The oxygen partial pressure of a minute: ambient pressure x (99 - N2 - He) / 100.
double OxygenPartialPressure(double ambientPressure, double n2Percent, double hePercent);

// The pulmonary oxygen dose of one minute, in oxygen tolerance units: the partial pressure cut
// to hundredths and its last digit moved to 0, 5 or the next tenth, then (2 (p - 0.5))^0.83
// above 0.5 bar, else 0.
double OtuOfMinute(double ppO2);

// The CNS shares of one minute against the single-exposure and the 24-hour limits, per cent;
// both 0 below the table (level 0.5 bar or lower).
struct CnsShares {
    double dive = 0;
    double day = 0;
};
CnsShares CnsOfMinute(double ppO2);

// The two per-minute steps for a record.
void AddOtuMinute(ComputedMinute& record, double ambientPressure, double n2Percent,
                  double hePercent);
void AddCnsMinute(ComputedMinute& record, double ambientPressure, double n2Percent,
                  double hePercent);

// The two per-minute steps for the records of one calculation, which are written whole: `otu`,
// `cnsDive` and `cnsDay` as the steps give them for an empty record. A calculation spends long
// runs of minutes at one depth on one gas; a minute with bit for bit the previous minute's depth
// and gas takes over that minute's doses instead of working them out again.
class OxygenSteps {
  public:
    explicit OxygenSteps(double airPressureMbar, double water = kSaltWater)
        : airPressure_(airPressureMbar), water_(water) {}

    void AddMinute(ComputedMinute& record, double depth, double n2Percent, double hePercent);

  private:
    double airPressure_;
    double water_;
    bool known_ = false;
    std::array<double, 3> inputs_{};  // depth, N2 and He of the last minute
    double otu_ = 0;
    CnsShares cns_;
};

// Sums over records 1 to computedCount, each cut down to a whole number.
double TotalOtu(const ComputedProfile& computed);
double DiveCns(const ComputedProfile& computed);
// The CNS dose of the day: exposed minutes add up, every minute without exposure halves the
// dose over 90 minutes.
double DailyCns(const ComputedProfile& computed);

}  // namespace marelos
