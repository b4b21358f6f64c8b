#include "core/engine/oxygen.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/engine/tissues.h"

namespace marelos {
namespace {

// Air at 30 m counts at 0.85 bar and CNS level 0.9; oxygen at 6 m lies above the CNS table.
TEST(Oxygen, AirAt30MetresAndOxygenAt6Metres) {
    const double air = OxygenPartialPressure(AmbientPressure(30, 1013), 78, 0);
    EXPECT_NEAR(air, 0.8493009, 1e-7);
    EXPECT_NEAR(OtuOfMinute(air), std::pow(0.7, 0.83), 1e-15);  // 0.7438
    EXPECT_DOUBLE_EQ(CnsOfMinute(air).dive, 100.0 / 360);
    EXPECT_DOUBLE_EQ(CnsOfMinute(air).day, 100.0 / 360);
    const double oxygen = OxygenPartialPressure(AmbientPressure(6, 1013), 0, 0);
    EXPECT_NEAR(oxygen, 1.6031, 1e-4);  // 99 % oxygen
    EXPECT_EQ(CnsOfMinute(oxygen).dive, 10);
    EXPECT_EQ(CnsOfMinute(oxygen).day, 2);
}

TEST(Oxygen, OtuRoundsTheLastHundredthToZeroFiveOrTheNextTenth) {
    EXPECT_EQ(OtuOfMinute(0.5), 0);
    EXPECT_EQ(OtuOfMinute(0.529), 0);                             // 52 -> 50
    EXPECT_NEAR(OtuOfMinute(0.531), std::pow(0.1, 0.83), 1e-12);  // 53 -> 55
    EXPECT_NEAR(OtuOfMinute(0.579), std::pow(0.1, 0.83), 1e-12);  // 57 -> 55
    EXPECT_NEAR(OtuOfMinute(0.585), std::pow(0.2, 0.83), 1e-12);  // 58 -> 60
    EXPECT_NEAR(OtuOfMinute(0.999), 1.0, 1e-12);                  // 99 -> 100
    EXPECT_NEAR(OtuOfMinute(1.4), std::pow(1.8, 0.83), 1e-12);
    EXPECT_EQ(OtuOfMinute(0.3), 0);
    EXPECT_EQ(OtuOfMinute(-0.4), 0);
}

TEST(Oxygen, CnsLevelIsTheNextTenthAboveCountedInWholeTenths) {
    EXPECT_DOUBLE_EQ(CnsOfMinute(1.45).dive, 100.0 / 120);  // level 1.5
    EXPECT_DOUBLE_EQ(CnsOfMinute(1.45).day, 100.0 / 180);
    EXPECT_DOUBLE_EQ(CnsOfMinute(1.5).dive, 100.0 / 45);   // exactly 1.5 counts at 1.6
    EXPECT_DOUBLE_EQ(CnsOfMinute(1.1).day, 100.0 / 240);   // level 1.2
    EXPECT_DOUBLE_EQ(CnsOfMinute(0.5).dive, 100.0 / 720);  // level 0.6
    EXPECT_EQ(CnsOfMinute(0.49).dive, 0);                  // level 0.5: nothing
    EXPECT_EQ(CnsOfMinute(2.5).dive, 10);
    EXPECT_EQ(CnsOfMinute(std::nan("")).dive, 0);  // no table index from a missing number

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

TEST(Oxygen, DaySumDecaysOnlyInMinutesWithoutExposure) {
    ComputedProfile computed;
    for (const int j : {1, 2})
        computed.records[j] = {.otu = 0.6, .cnsDay = 10, .cnsDive = 10};
    computed.computedCount = 3;  // record 3 is empty and counts as a minute without exposure
    EXPECT_EQ(TotalOtu(computed), 1);
    EXPECT_EQ(DiveCns(computed), 20);
    EXPECT_EQ(DailyCns(computed), 19);  // 20 x 0.5^(1/90) = 19.85
    computed.computedCount = 2 + 89;
    EXPECT_EQ(DailyCns(computed), 10);  // 89 minutes without exposure: 10.08
    computed.computedCount = 2 + 91;
    EXPECT_EQ(DailyCns(computed), 9);  // 91 minutes: 9.92
}

}  // namespace
}  // namespace marelos
