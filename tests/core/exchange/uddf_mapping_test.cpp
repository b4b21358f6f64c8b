#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "core/exchange/uddf_export.h"
#include "core/exchange/uddf_import.h"
#include "core/profile/gas_mix.h"
#include "core/text/number_format.h"
#include "tests/fakes/golden.h"

namespace marelos {
namespace {

using ::testing::ElementsAre;

UddfMix Mix(std::string id, double o2, double he) {
    return {std::move(id), "", o2, 1 - o2 - he, he, 0};
}

// A dive from (seconds, depth) pairs, the first breathing `mix`.
UddfDive DiveOf(const std::vector<std::pair<double, double>>& points, std::string mix = "") {
    UddfDive dive;
    for (const auto& [seconds, depth] : points)
        dive.waypoints.push_back({seconds, depth, "", std::nullopt});
    if (!dive.waypoints.empty()) dive.waypoints.front().switchMix = std::move(mix);
    return dive;
}

TEST(UddfImport, EachMinuteKeepsItsDeepestDepthAndTheDiveEndsAtTheSurfaceOnTime) {
    // 20-second samples: the bounce to 21.6 m inside minute 2 and the 3.4 m early in the last
    // minute must not be averaged away; the dive lasts 4 min 40 s, so 5 whole minutes.
    const std::vector<std::pair<double, double>> samples = {
        {0, 0},    {20, 6},     {40, 12.4}, {60, 15},   {80, 21.6}, {100, 18},
        {120, 18}, {180, 17.5}, {200, 9},   {240, 6.6}, {250, 3.4}, {280, 0.2}};
    EXPECT_THAT(ResampleToMinutes(DiveOf(samples), {}),
                ElementsAre(ImportedLine{1, 15, 78, 0}, ImportedLine{2, 22, 78, 0},
                            ImportedLine{3, 18, 78, 0}, ImportedLine{4, 9, 78, 0},
                            ImportedLine{5, 0, 78, 0}));
    // A dive whose record stops below the surface keeps its last depth.
    EXPECT_EQ(ResampleToMinutes(DiveOf({{0, 0}, {60, 10}, {130, 4.6}}), {}).back(),
              (ImportedLine{3, 5, 78, 0}));
    // Unsorted samples and samples without a usable number change nothing.
    EXPECT_EQ(ResampleToMinutes(DiveOf({{120, 10}, {60, 20}, {NAN, 99}, {90, INFINITY}}), {}),
              (std::vector<ImportedLine>{{1, 20, 78, 0}, {2, 10, 78, 0}}));
}

TEST(UddfImport, ALineBreathesTheMixInUseWhenItBegins) {
    const std::vector<UddfMix> mixes = {Mix("bottom", 0.21, 0), Mix("ean50", 0.5, 0)};
    // Dense samples: the switch at 25:30 lies inside minute 26, which is still breathed on
    // the bottom gas; minute 27 is the first on the decompression gas.
    UddfDive dense =
        DiveOf({{0, 0}, {1470, 24}, {1500, 21}, {1530, 21}, {1560, 21}, {1620, 21}}, "bottom");
    dense.waypoints[3].switchMix = "ean50";
    EXPECT_THAT(ResampleToMinutes(dense, mixes),
                ElementsAre(ImportedLine{25, 24, 78, 0}, ImportedLine{26, 21, 78, 0},
                            ImportedLine{27, 21, 49, 0}));
    // A switch on arrival at a whole minute serves the line that begins there, also when that
    // line is long; a reference to a mix the log does not define is no switch.
    UddfDive sparse = DiveOf({{0, 0}, {180, 40}, {1500, 40}, {1680, 21}, {2400, 21}}, "bottom");
    sparse.waypoints[2].switchMix = "nowhere";
    sparse.waypoints[3].switchMix = "ean50";
    EXPECT_THAT(ResampleToMinutes(sparse, mixes),
                ElementsAre(ImportedLine{3, 40, 78, 0}, ImportedLine{25, 40, 78, 0},
                            ImportedLine{28, 21, 78, 0}, ImportedLine{40, 21, 49, 0}));
}

TEST(UddfImport, FractionsBecomeWholeSharesThatPassTheMixCheck) {
    for (const std::vector<std::string>& row : DataRows("cases/uddf_mix_fractions.tsv")) {
        const double o2 = std::stod(row.at(0));
        const LineGas gas = GasOfMix(Mix("m", o2, std::stod(row.at(1))));
        EXPECT_EQ(gas, (LineGas{std::stoi(row.at(2)), std::stoi(row.at(3))}))
            << row[0] << " " << row[1];
        // With the mix's own oxygen the shares make a plausible mix.
        if (std::isnan(o2)) continue;
        const GasMixFields fields{std::to_string(std::lround(std::clamp(o2, 0.0, 1.0) * 100)),
                                  std::to_string(gas.n2Percent), std::to_string(gas.hePercent)};
        EXPECT_TRUE(CheckMix(fields).plausible) << row[0] << " " << row[1];
    }
}

TEST(UddfImport, CommentLinesCarryWhatTheLogKnowsInTheProgramsUnits) {
    UddfDive dive = DiveOf({{0, 0}, {60, 12.25}, {600, 30.46}, {1800, 0}});
    dive.number = "7";
    dive.site = "Hemmoor";
    dive.dateTime = "2023-01-05T08:03:59+01:00";
    dive.airTemperature = 268.15;  // -5 °C
    dive.waypoints[2].temperature = 277.35;
    dive.waypoints[3].temperature = 279.15;
    dive.buddy = "Ute";
    dive.notes = "Eis\nam Einstieg\t";
    EXPECT_THAT(
        ImportedCommentLines(dive, {}),
        ElementsAre("TG-Nummer: 7", "Ort: Hemmoor", "Datum: 05-01-23", "Uhrzeit: 08 Uhr 03",
                    "Dauer: 30 min.", "Maximale Tiefe: 30.5 m", "Lufttemperatur vor TG: -5 °C",
                    "Temperatur auf maximaler Tiefe: 4.2 °C", "Tauchpartner: Ute",
                    "Bemerkungen: Eis am Einstieg"));
    dive.lowestTemperature = 276.15;  // the log's own lowest value wins over the samples
    EXPECT_EQ(ImportedCommentLines(dive, {})[7], "Temperatur auf maximaler Tiefe: 3 °C");
    EXPECT_EQ(ImportedFileName(dive, 4), "Tauchgang 2023-Januar-05 08 Uhr 03.mrp");

    const UddfDive bare = DiveOf({{0, 0}, {60, 5}});
    EXPECT_THAT(ImportedCommentLines(bare, {}),
                ElementsAre("Dauer: 1 min.", "Maximale Tiefe: 5 m"));
    EXPECT_EQ(ImportedFileName(bare, 4), "Tauchgang ohne Datum 4.mrp");
}

TEST(UddfImport, DivesWithoutAProfileOrBeyondTheTablesAreNotImported) {
    EXPECT_EQ(ImportProblem(UddfDive{}), "ohne Profilpunkte");
    EXPECT_EQ(ImportProblem(DiveOf({{0, 12}})), "ohne Profilpunkte");
    EXPECT_EQ(ImportProblem(DiveOf({{0, 0}, {60.0 * 5998, 3}})), std::nullopt);
    EXPECT_EQ(ImportProblem(DiveOf({{0, 0}, {60.0 * 5998 + 1, 3}})), "länger als 5998 Minuten");
    EXPECT_EQ(ImportProblem(DiveOf({{0, 0}, {60, 1000.4}})), "tiefer als 1000 m");
    const Result<std::vector<std::string>> refused = ImportedProfileFile(UddfDive{}, {});
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.failure().kind, FailureKind::DataFormat);

    // A dive is written once; without leave to overwrite, the file stays.
    const TempFolder folder{"uddf"};
    UddfLog log;
    log.dives = {DiveOf({{0, 0}, {60, 5}})};
    const Result<ImportOutcome> first = ImportDive(log, 0, folder.path().string(), false);
    ASSERT_TRUE(first.ok());
    EXPECT_TRUE(first.value().written);
    EXPECT_EQ(first.value().path, folder.File("Tauchgang ohne Datum 1.mrp"));
    PutFile(first.value().path, "alt");
    EXPECT_FALSE(ImportDive(log, 0, folder.path().string(), false).value().written);
    EXPECT_EQ(FileBytes(first.value().path), "alt");
    EXPECT_TRUE(ImportDive(log, 0, folder.path().string(), true).value().written);
}

// Dates either side of every limit, both ways: the comment's date and time as the export writes
// them, and the log's as the import lists them.
TEST(UddfDates, EachLimitOfTheDateAndTheClockBothWays) {
    DiveProfile profile;
    profile.lines[1] = {10, 5, 5, 78, 0};
    profile.nextPoint = 2;
    for (const std::vector<std::string>& row : DataRows("cases/uddf_dates.tsv")) {
        ASSERT_EQ(row.size(), 4u);
        if (row[0] == "export") {
            CommentFields comment;
            comment[3] = row[1];
            comment[4] = row[2];
            EXPECT_EQ(ExportLog(profile, {}, comment).dives.at(0).dateTime, row[3]) << row[1];
            continue;
        }
        UddfDive dive = DiveOf({{0, 0}, {7200, 12.34}, {7260, 0}});
        dive.dateTime = row[1];
        const DiveSummary summary = SummarizeDive(dive, {});
        EXPECT_EQ(summary.date, row[2]) << row[1];
        EXPECT_EQ(summary.time, row[3]) << row[1];
        EXPECT_DOUBLE_EQ(summary.maxDepth, 12.3);
        EXPECT_EQ(summary.duration, "121");  // a waypoint at a whole minute closes that minute
    }
}

TEST(UddfExport, TheLineTableAndItsMixSwitchesComeBackUnchanged) {
    DiveProfile profile;
    const std::vector<ProfileLine> table = {{60, 3, 3, 36, 45},  {60, 17, 20, 36, 45},
                                            {21, 4, 24, 36, 45}, {21, 3, 27, 49, 0},
                                            {6, 3, 30, 49, 0},   {6, 15, 45, 0, 0}};
    for (std::size_t i = 0; i < table.size(); ++i)
        profile.lines[i + 1] = table[i];
    profile.nextPoint = static_cast<int>(table.size()) + 1;
    CommentFields comment;
    comment[3] = "14-09-23";
    comment[4] = "08 Uhr 02";
    comment[9] = "6.5 °C";
    const UddfLog log = ExportLog(profile, {"0\t1\t46\t78\t0"}, comment);

    ASSERT_EQ(log.mixes.size(), 4u);
    EXPECT_EQ(log.mixes[0].name, "O2 18 / He 45");
    EXPECT_DOUBLE_EQ(log.mixes[1].o2 + log.mixes[1].n2 + log.mixes[1].he + log.mixes[1].ar, 1);
    const UddfDive& dive = log.dives.at(0);
    EXPECT_EQ(dive.dateTime, "2023-09-14T08:02:00");
    EXPECT_NEAR(*dive.lowestTemperature, 279.65, 1e-9);
    EXPECT_FALSE(dive.airTemperature);
    ASSERT_EQ(dive.waypoints.size(), 8u);
    EXPECT_EQ(dive.waypoints[3].seconds, 24 * 60);  // where the first line on EAN50 begins
    EXPECT_EQ(dive.waypoints[3].switchMix, log.mixes[1].id);

    std::vector<ImportedLine> expected;
    for (const ProfileLine& line : table) {
        expected.push_back({static_cast<int>(line.tTotal), static_cast<int>(line.depth),
                            static_cast<int>(line.n2Percent), static_cast<int>(line.hePercent)});
    }
    expected.push_back({46, 0, 78, 0});
    EXPECT_EQ(ResampleToMinutes(dive, log.mixes), expected);

    // The last line of a full table is exported too.
    DiveProfile full;
    full.lines[kProfileTableEnd - 1] = {10, 5, 5, 78, 0};
    full.nextPoint = kProfileTableEnd;
    EXPECT_FALSE(ExportLog(full, {}, {}).dives.at(0).waypoints.empty());
}

}  // namespace
}  // namespace marelos
