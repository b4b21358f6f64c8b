#include "core/engine/oxygen.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "core/engine/tissues.h"
#include "tests/core/engine/outputs_test_support.h"
#include "tests/fakes/transcript.h"

namespace marelos {
namespace {

// The doses of a minute at each ppO2, compared with tests/data/oxygen_doses.txt: the OTU round
// the last hundredth to 0.05 or the next tenth (0.529 as 0.50, 0.531 and 0.579 as 0.55, 0.585 as
// 0.60), the CNS level is the next tenth above (exactly 1.5 counts at 1.6, 0.49 at 0.5 counts
// nothing), above the table a fixed share, no table index from a missing number; air at 30 m
// and oxygen at 6 m (above the CNS table) at 1013 mbar.
TEST(Oxygen, DosesOfAMinuteAgainstTheirGoldenFile) {
    std::vector<double> pressures = {OxygenPartialPressure(AmbientPressure(30, 1013), 78, 0),
                                     OxygenPartialPressure(AmbientPressure(6, 1013), 0, 0)};
    for (const double ppO2 : {0.5, 0.529, 0.531, 0.579, 0.585, 0.999, 1.4, 0.3, -0.4, 1.45, 1.5,
                              1.1, 0.49, 2.5, std::nan("")})
        pressures.push_back(ppO2);
    std::string out;
    for (const double ppO2 : pressures) {
        char line[120];
        std::snprintf(line, sizeof line, "%.10g\tOTU %.10g\tCNS %.10g %.10g\n", ppO2,
                      OtuOfMinute(ppO2), CnsOfMinute(ppO2).dive, CnsOfMinute(ppO2).day);
        out += line;
    }
    ExpectGolden("oxygen_doses.txt", out);
    ComputedMinute record;
    record.cnsDive = 7;
    AddCnsMinute(record, 1.0, 78, 0);  // 0.21 bar: below the table, the record keeps its values
    EXPECT_EQ(record.cnsDive, 7);
}

// A calculation's records are written whole, so below the CNS table a minute gets 0.
TEST(Oxygen, EachMinuteGetsTheDosesOfItsOwnDepthAndGas) {
    OxygenSteps steps(1013);
    // Repeated minutes, then a change of only the depth, only the N2 or only the He share.
    const double minutes[][3] = {{30, 78, 0},  {30, 78, 0},  {10, 78, 0}, {10, 50, 0},
                                 {10, 50, 20}, {10, 50, 20}, {0, 78, 0}};
    for (const auto& m : minutes) {
        ComputedMinute record;
        record.cnsDive = 7;
        steps.AddMinute(record, m[0], m[1], m[2]);
        const double ppO2 = OxygenPartialPressure(AmbientPressure(m[0], 1013), m[1], m[2]);
        EXPECT_EQ(record.otu, OtuOfMinute(ppO2)) << ppO2;
        EXPECT_EQ(record.cnsDive, CnsOfMinute(ppO2).dive) << ppO2;
        EXPECT_EQ(record.cnsDay, CnsOfMinute(ppO2).day) << ppO2;
    }
}

// Record 3 is empty and counts as a minute without exposure: 20 x 0.5^(1/90) = 19.85; after 89
// minutes without exposure 10.08, after 91 9.92.
TEST(Oxygen, DaySumDecaysOnlyInMinutesWithoutExposure) {
    Transcript t;
    ComputedProfile computed;
    for (const int j : {1, 2})
        computed.records[j] = {.otu = 0.6, .cnsDay = 10, .cnsDive = 10};
    for (const int count : {3, 2 + 89, 2 + 91}) {
        computed.computedCount = count;
        t.Note("records " + std::to_string(count), TotalOtu(computed), DiveCns(computed),
               DailyCns(computed));
    }
}

}  // namespace
}  // namespace marelos
