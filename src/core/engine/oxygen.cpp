#include "oxygen.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

#include "core/engine/tissues.h"
#include "core/text/rounding.h"

namespace marelos {
namespace {

// CNS limits in minutes for the oxygen levels 0.6 .. 1.6 bar (index: tenths of a bar).
struct CnsLimit {
    double singleExposure;
    double day;
};
constexpr std::array<CnsLimit, 17> kCnsLimits = {{{0, 0},
                                                  {0, 0},
                                                  {0, 0},
                                                  {0, 0},
                                                  {0, 0},
                                                  {0, 0},
                                                  {720, 720},
                                                  {570, 570},
                                                  {450, 450},
                                                  {360, 360},
                                                  {300, 300},
                                                  {240, 270},
                                                  {210, 240},
                                                  {180, 210},
                                                  {150, 180},
                                                  {120, 180},
                                                  {45, 150}}};
constexpr CnsLimit kCnsLimitAbove = {10, 50};  // level 1.7 bar and above

// The dose of a partial pressure in whole hundredths of a bar (a multiple of 5).
double OtuOfHundredths(double hundredths) {
    const double p = hundredths / 100;
    if (p <= 0.5) return 0;
    return std::pow(2 * (p - 0.5), 0.83);
}

// OtuOfHundredths from 0 to 20 bar in steps of 5 hundredths, worked out once: the ascents meet
// a new partial pressure every few records, and a power is the costly part of a minute's doses.
constexpr int kOtuTableEnd = 2000;
const std::array<double, kOtuTableEnd / 5 + 1>& OtuTable() {
    static const auto table = [] {
        std::array<double, kOtuTableEnd / 5 + 1> values{};
        for (std::size_t n = 0; n < values.size(); ++n)
            values[n] = OtuOfHundredths(5.0 * static_cast<double>(n));
        return values;
    }();
    return table;
}

int LastRecord(const ComputedProfile& computed) {
    return std::min(computed.computedCount, ComputedProfile::kTableEnd);
}

}  // namespace

std::int32_t RecordsInUseEnd(const ComputedProfile& computed) {
    return std::clamp(std::max(computed.usedEnd, computed.computedCount + 1), 1,
                      ComputedProfile::kTableEnd + 1);
}

void ClearRecords(ComputedProfile& computed, std::int32_t first, std::int32_t end) {
    first = std::max(first, 1);
    end = std::min(end, ComputedProfile::kTableEnd + 1);
    if (first >= end) return;
    std::fill(computed.records.begin() + first, computed.records.begin() + end, ComputedMinute{});
}

double OxygenPartialPressure(double ambientPressure, double n2Percent, double hePercent) {
    return ambientPressure * (99 - n2Percent - hePercent) / 100;
}

double OtuOfMinute(double ppO2) {
    double hundredths = Int(ppO2 * 100);
    const double lastDigit = hundredths - 10 * Int(hundredths / 10);
    if (lastDigit <= 2) {
        hundredths -= lastDigit;
    } else if (lastDigit <= 7) {
        hundredths += 5 - lastDigit;
    } else {
        hundredths += 10 - lastDigit;
    }
    if (hundredths >= 0 && hundredths <= kOtuTableEnd)
        return OtuTable()[static_cast<std::size_t>(hundredths) / 5];
    return OtuOfHundredths(hundredths);
}

CnsShares CnsOfMinute(double ppO2) {
    const double tenths = Int(ppO2 * 10) + 1;  // the next tenth above the partial pressure
    if (!(tenths > 5)) return {};              // also a partial pressure that is not a number
    const CnsLimit limit =
        tenths >= 17 ? kCnsLimitAbove : kCnsLimits[static_cast<std::size_t>(tenths)];
    return {100 / limit.singleExposure, 100 / limit.day};
}

void AddOtuMinute(ComputedMinute& record, double ambientPressure, double n2Percent,
                  double hePercent) {
    record.otu = OtuOfMinute(OxygenPartialPressure(ambientPressure, n2Percent, hePercent));
}

void AddCnsMinute(ComputedMinute& record, double ambientPressure, double n2Percent,
                  double hePercent) {
    const double ppO2 = OxygenPartialPressure(ambientPressure, n2Percent, hePercent);
    if (Int(ppO2 * 10) + 1 <= 5) return;  // below the table: the record keeps its values
    const CnsShares shares = CnsOfMinute(ppO2);
    record.cnsDive = shares.dive;
    record.cnsDay = shares.day;
}

void OxygenSteps::AddMinute(ComputedMinute& record, double depth, double n2Percent,
                            double hePercent) {
    const std::array<double, 3> inputs = {depth, n2Percent, hePercent};
    if (!known_ || std::memcmp(inputs.data(), inputs_.data(), sizeof inputs) != 0) {
        known_ = true;
        inputs_ = inputs;
        ComputedMinute doses;
        const double ambient = AmbientPressure(depth, airPressure_, water_);
        AddOtuMinute(doses, ambient, n2Percent, hePercent);
        AddCnsMinute(doses, ambient, n2Percent, hePercent);
        otu_ = doses.otu;
        cns_ = {doses.cnsDive, doses.cnsDay};
    }
    record.otu = otu_;
    record.cnsDive = cns_.dive;
    record.cnsDay = cns_.day;
}

double TotalOtu(const ComputedProfile& computed) {
    double sum = 0;
    for (int j = 1; j <= LastRecord(computed); ++j)
        sum += computed.records[j].otu;
    return Int(sum);
}

double DiveCns(const ComputedProfile& computed) {
    double sum = 0;
    for (int j = 1; j <= LastRecord(computed); ++j)
        sum += computed.records[j].cnsDive;
    return Int(sum);
}

double DailyCns(const ComputedProfile& computed) {
    const double decay = std::pow(0.5, 1.0 / 90);
    double dose = 0;
    for (int j = 1; j <= LastRecord(computed); ++j) {
        const double share = computed.records[j].cnsDay;
        dose = share == 0 ? dose * decay : dose + share;
    }
    return Int(dose);
}

}  // namespace marelos
