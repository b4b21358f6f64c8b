#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>

#include "core/exchange/uddf_export.h"
#include "core/exchange/uddf_import.h"
#include "core/profile/gas_mix.h"
#include "core/text/number_format.h"
#include "tests/fakes/golden.h"
#include "tests/fakes/transcript.h"

namespace marelos {
namespace {

UddfMix Mix(std::string id, double o2, double he) {
    return {std::move(id), "", o2, 1 - o2 - he, he, 0};
}

// A dive from its waypoints as seconds:depth, with @mix where the diver switches to a mix.
UddfDive DiveOf(const std::string& waypoints) {
    UddfDive dive;
    std::istringstream in(waypoints);
    for (std::string point; in >> point;) {
        const std::size_t colon = point.find(':'), at = point.find('@');
        dive.waypoints.push_back({std::stod(point.substr(0, colon)),
                                  std::stod(point.substr(colon + 1, at - colon - 1)),
                                  at == point.npos ? "" : point.substr(at + 1), std::nullopt});
    }
    return dive;
}

// The lines as "minute depth N2% He%", separated by "; ".
std::string Minutes(const std::vector<ImportedLine>& lines) {
    std::string text;
    for (const ImportedLine& l : lines) {
        text += (text.empty() ? "" : "; ") + std::to_string(l.minute) + " " +
                std::to_string(l.depth) + " " + std::to_string(l.n2Percent) + " " +
                std::to_string(l.hePercent);
    }
    return text;
}

// Each minute keeps its deepest depth, the dive ends at the surface on time, and a line breathes
// the mix in use when it begins; dives without a profile or beyond the tables are not imported:
// the cases of tests/data/cases/uddf_minutes.tsv.
TEST(UddfImport, ResampledMinutesAndRefusedDivesAgainstTheirTable) {
    const std::vector<UddfMix> mixes = {Mix("bottom", 0.21, 0), Mix("ean50", 0.5, 0)};
    for (const std::vector<std::string>& row : DataRows("cases/uddf_minutes.tsv")) {
        const UddfDive dive = DiveOf(row.at(1));
        if (row[0] == "refused") {
            EXPECT_EQ(ImportProblem(dive).value_or("-"), row.at(2)) << row[1];
            continue;
        }
        EXPECT_EQ(Minutes(ResampleToMinutes(dive, mixes)), row.at(2)) << row[1];
    }
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
    UddfDive dive = DiveOf("0:0 60:12.25 600:30.46 1800:0");
    dive.number = "7";
    dive.site = "Hemmoor";
    dive.dateTime = "2023-01-05T08:03:59+01:00";
    dive.airTemperature = 268.15;  // -5 °C
    dive.waypoints[2].temperature = 277.35;
    dive.waypoints[3].temperature = 279.15;
    dive.buddy = "Ute";
    dive.notes = "Eis\nam Einstieg\t";
    Transcript t;
    t.Note("Kommentar", ImportedCommentLines(dive, {}));
    dive.lowestTemperature = 276.15;  // the log's own lowest value wins over the samples
    t.Note("mit eigener tiefster Temperatur", ImportedCommentLines(dive, {})[7],
           ImportedFileName(dive, 4));
    const UddfDive bare = DiveOf("0:0 60:5");
    t.Note("ohne Angaben", ImportedCommentLines(bare, {}), ImportedFileName(bare, 4));
}

TEST(UddfImport, ARefusedDiveIsNoFileAndADiveIsWrittenOnce) {
    const Result<std::vector<std::string>> refused = ImportedProfileFile(UddfDive{}, {});
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.failure().kind, FailureKind::DataFormat);

    // A dive is written once; without leave to overwrite, the file stays.
    const TempFolder folder{"uddf"};
    UddfLog log;
    log.dives = {DiveOf("0:0 60:5")};
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
        UddfDive dive = DiveOf("0:0 7200:12.34 7260:0");
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

    EXPECT_EQ(Minutes(ResampleToMinutes(dive, log.mixes)),
              "3 60 36 45; 20 60 36 45; 24 21 36 45; 27 21 49 0; 30 6 49 0; 45 6 0 0; 46 0 78 0");

    // The last line of a full table is exported too.
    DiveProfile full;
    full.lines[kProfileTableEnd - 1] = {10, 5, 5, 78, 0};
    full.nextPoint = kProfileTableEnd;
    EXPECT_FALSE(ExportLog(full, {}, {}).dives.at(0).waypoints.empty());
}

}  // namespace
}  // namespace marelos
