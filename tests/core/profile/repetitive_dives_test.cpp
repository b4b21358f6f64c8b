#include "core/profile/repetitive_dives.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "core/engine/tissues.h"
#include "core/settings/memory_settings_store.h"
#include "core/text/fields.h"
#include "core/text/text_file.h"
#include "core/text/val.h"
#include "tests/fakes/golden.h"
#include "tests/fakes/scripted_ui.h"
#include "tests/fakes/temp_folder.h"

namespace marelos {
namespace {

namespace fs = std::filesystem;

class RepetitiveDivesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        workspace_ = std::make_unique<Workspace>(WorkspaceFromSettings(Settings{}));
        first_ = Write("erster.mrp",
                       "Depth\tt.delta\tt.total\tN2%\tHe%\r\n20\t2\t2\t78\t0\r\n"
                       "20\t30\t32\t78\t0\r\n0\t3\t35\t78\t0\r\n# END OF PROFILE #\r\n");
        second_ =
            Write("zweiter.mrp", "12\t2\t2\t78\t0\r\n12\t26\t28\t78\t0\r\n0\t2\t30\t78\t0\r\n");
    }
    std::string Write(const std::string& name, const std::string& bytes) {
        return PutFile(folder_ / name, bytes);
    }

    const TempFolder temp_{"repetitive"};
    const fs::path folder_ = temp_.path();
    std::unique_ptr<Workspace> workspace_;
    std::string first_;
    std::string second_;
    InMemorySettingsStore store_;
    ScriptedUi ui_;
};

TEST_F(RepetitiveDivesTest, AscentPhaseIsTheLastDataLineAboveOneMetre) {
    EXPECT_TRUE(HasAscentPhase(first_));
    EXPECT_FALSE(HasAscentPhase(Write("ohne.mrp", "20\t2\t2\t78\t0\r\n3\t5\t7\t78\t0\r\n")));
    EXPECT_FALSE(HasAscentPhase(""));
    EXPECT_TRUE(HasAscentPhase(Write("knapp.mrp", "20\t2\t2\t78\t0\r\n0.4\t5\t7\t78\t0\r\n")));
}

TEST_F(RepetitiveDivesTest, JoinsTwoDivesAcrossTheSurfaceInterval) {
    ui_.files = {first_, second_};
    ui_.textAnswers = {std::string("60")};
    JoinDives(*workspace_, store_, ui_);
    const DiveProfile& profile = workspace_->profile;
    EXPECT_EQ(profile.lines[4], (ProfileLine{0, 60, 95, 78, 0}));  // the surface interval
    EXPECT_EQ(profile.lines[5].tTotal, 2 + 95);  // tDelta + the time joined so far
    EXPECT_EQ(profile.nextPoint, 8);
    EXPECT_EQ(workspace_->settings.maxHScale,
              125 + 120 + 10);  // the join's 125, widened by the calculation
    EXPECT_THAT(ui_.lines, ::testing::Contains("Gesamte TG-Zeit: 125 min."));
    EXPECT_EQ(ui_.caption,
              "Marelos 3 Beta - Tauchgang mit Wiederholungstauchgang - Unbenannte Datei");
    EXPECT_GT(workspace_->computed.computedCount, 125);
    EXPECT_TRUE(profile.fileName.empty());

    // A repetitive dive with a line no file can hold ends the join with a message.
    ScriptedUi bad;
    bad.files = {first_, Write("gross.mrp", "20\t2\t2\t78\t0\r\n0\t1e999\t3\t78\t0\r\n")};
    bad.textAnswers = {std::string("60")};
    JoinDives(*workspace_, store_, bad);
    ASSERT_EQ(bad.boxes.size(), 1u);
    EXPECT_NE(bad.boxes[0].text.find("nicht zusammengefügt"), std::string::npos);
    EXPECT_THAT(bad.lines,
                ::testing::Not(::testing::Contains(::testing::StartsWith("Gesamte TG-Zeit"))));
}

TEST_F(RepetitiveDivesTest, LongSurfaceIntervalsWarnAndDivesWithoutAscentAsk) {
    ui_.files = {first_, second_};
    ui_.textAnswers = {std::string("601")};
    JoinDives(*workspace_, store_, ui_);
    EXPECT_THAT(ui_.lines, ::testing::Contains("beinflusst wird."));
    ScriptedUi six;
    six.files = {first_, second_};
    six.textAnswers = {std::string("600")};
    JoinDives(*workspace_, store_, six);
    EXPECT_THAT(six.lines, ::testing::Not(::testing::Contains("beinflusst wird.")));

    const std::string open = Write("offen.mrp", "20\t2\t2\t78\t0\r\n3\t5\t7\t78\t0\r\n");
    ScriptedUi ask;
    ask.files = {open};
    ask.answers = {Answer::Yes};
    JoinDives(*workspace_, store_, ask);
    EXPECT_EQ(ask.questions.back(),
              "Dieses Tauchgangsprofil hat keine Austauchphase.Soll der TG geladen und eine "
              "Austauchphase berechnet werden?");
    EXPECT_EQ(workspace_->profile.fileName, open);  // loaded and calculated, the join ends
    EXPECT_NE(ask.boxes.back().text.find("wurde geladen und die Austauchphase berechnet"),
              std::string::npos);
}

TEST_F(RepetitiveDivesTest, SeriesTableHasSurfaceRowsPerMinuteAndDiveRowsPerLine) {
    const std::string out = (folder_ / "serie.txt").string();
    ASSERT_TRUE(CalcDiveSeries(*workspace_, ui_, {"2|" + first_, "1|"}, out));
    const std::vector<std::string> table = ReadTextFileLines(out).value();
    ASSERT_EQ(table.size(), 1u + 120 + 3 + 60);  // the header line is pinned by the golden table
    EXPECT_EQ(GetField(table[1], 1), "OFP");
    EXPECT_EQ(GetField(table[1], 2), "1");
    EXPECT_EQ(GetField(table[120], 3), "120");
    EXPECT_EQ(GetField(table[121], 1), "TG");
    EXPECT_EQ(GetField(table[121], 3), "122");  // the minute counter goes on with field 2
    EXPECT_EQ(GetField(table[124], 2), "2");    // the second entry's surface rows
    // Compartment 1 after one surface minute from the start state, breathing 78 % N2 at 1 bar.
    const double start = 0.79;
    const double inspired = (1.0 - 0.0627) * 78 / 100;
    const double expected = start + SaturationFactor(1.5, 1, 4) * (inspired - start);
    EXPECT_NEAR(Val(GetField(table[1], 4)), expected, 1e-12);
    EXPECT_EQ(ui_.lines.back(), "Berechne: " + first_);
    EXPECT_NE(ui_.boxes.back().text.find(out), std::string::npos);
}

TEST_F(RepetitiveDivesTest, SeriesRefusesEndlessIntervalsAndDivesNoOneCanMake) {
    const std::string out = (folder_ / "serie.txt").string();
    const std::string bad = Write("falsch.mrp", "30\t20\t20\t150\t100\r\n");
    struct Case {
        std::vector<std::string> entries;
        const char* message;
    };
    for (const Case& c : std::initializer_list<Case>{
             {{"1e999|" + first_}, "länger als 1440 Stunden"},
             {{"720|", "721|" + first_}, "bis zum Tauchgang 2 sind zusammen länger"},
             {{"1|" + bad}, "enthält unmögliche Gasanteile"}}) {
        ui_.boxes.clear();
        EXPECT_FALSE(CalcDiveSeries(*workspace_, ui_, c.entries, out));
        ASSERT_EQ(ui_.boxes.size(), 1u);
        EXPECT_EQ(ui_.boxes[0].icon, MessageIcon::Critical);
        EXPECT_THAT(ui_.boxes[0].text, ::testing::HasSubstr(c.message));
        EXPECT_FALSE(fs::exists(out));
    }
}

// The table of a series of two example dives, byte for byte against tests/data.
TEST_F(RepetitiveDivesTest, SeriesOfTwoDivesMatchesItsGoldenTable) {
    const std::string out = (folder_ / "serie.txt").string();
    ASSERT_TRUE(CalcDiveSeries(*workspace_, ui_, {"0|" + first_, "1|" + second_}, out));
    ExpectGolden("series_two_dives.txt", FileBytes(out));
}

}  // namespace
}  // namespace marelos
