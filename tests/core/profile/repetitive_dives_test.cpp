#include "core/profile/repetitive_dives.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "core/engine/tissues.h"
#include "core/settings/memory_settings_store.h"
#include "core/text/fields.h"
#include "core/text/text_file.h"
#include "core/text/val.h"
#include "tests/fakes/golden.h"
#include "tests/fakes/profile_notes.h"
#include "tests/fakes/scripted_ui.h"
#include "tests/fakes/temp_folder.h"
#include "tests/fakes/transcript.h"

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

// The ascent phase is the last data line above one metre. Two dives joined across the surface
// interval (its line, the time joined so far, the axis widened by the calculation); a line no
// file can hold ends the join; a long interval warns; a dive without ascent asks to be loaded.
TEST_F(RepetitiveDivesTest, JoinsTwoDivesAcrossTheSurfaceInterval) {
    Transcript t;
    t.Mask(folder_.string(), "<dir>");
    t.Note("Austauchphase", HasAscentPhase(first_),
           HasAscentPhase(Write("ohne.mrp", "20\t2\t2\t78\t0\r\n3\t5\t7\t78\t0\r\n")),
           HasAscentPhase(""),
           HasAscentPhase(Write("knapp.mrp", "20\t2\t2\t78\t0\r\n0.4\t5\t7\t78\t0\r\n")));
    const auto join = [&](const std::string& second, const char* minutes, Answer answer) {
        ui_.files = {first_, second};
        ui_.textAnswers = {std::string(minutes)};
        ui_.answers = {answer};
        JoinDives(*workspace_, store_, ui_);
        const DiveProfile& p = workspace_->profile;
        std::vector<std::string> lines;
        for (int i = 1; i < p.nextPoint && i <= 6; ++i)
            lines.push_back(LineText(p.lines[i]));
        t.Note(std::string("# ") + minutes, ui_.Said(), ui_.caption, lines, p.nextPoint,
               workspace_->settings.maxHScale, workspace_->computed.computedCount > 125,
               p.fileName);
    };
    join(second_, "60", Answer::No);
    join(Write("gross.mrp", "20\t2\t2\t78\t0\r\n0\t1e999\t3\t78\t0\r\n"), "60", Answer::No);
    join(second_, "601", Answer::No);
    join(second_, "600", Answer::No);
    ui_.files = {Write("offen.mrp", "20\t2\t2\t78\t0\r\n3\t5\t7\t78\t0\r\n")};
    ui_.answers = {Answer::Yes};
    JoinDives(*workspace_, store_, ui_);  // loaded and calculated, the join ends
    t.Note("ohne Austauchphase", ui_.Said(), workspace_->profile.fileName);
}

// A series table has surface rows per minute and dive rows per line, the minute counter going on
// with field 2; endless intervals and dives no one can make are refused with no table. The table
// of a series of two example dives, byte for byte against tests/data.
TEST_F(RepetitiveDivesTest, SeriesTables) {
    Transcript t;
    t.Mask(folder_.string(), "<dir>");
    const std::string out = (folder_ / "serie.txt").string();
    ASSERT_TRUE(CalcDiveSeries(*workspace_, ui_, {"2|" + first_, "1|"}, out));
    const std::vector<std::string> table = ReadTextFileLines(out).value();
    ASSERT_EQ(table.size(), 1u + 120 + 3 + 60);
    t.Note("Zeilen 1, 120, 121, 124", table[1], table[120], table[121], table[124], ui_.Said());
    // Compartment 1 after one surface minute from the start state, breathing 78 % N2 at 1 bar.
    const double start = 0.79;
    const double inspired = (1.0 - 0.0627) * 78 / 100;
    const double expected = start + SaturationFactor(1.5, 1, 4) * (inspired - start);
    EXPECT_NEAR(Val(GetField(table[1], 4)), expected, 1e-12);

    fs::remove(out);
    const std::string bad = Write("falsch.mrp", "30\t20\t20\t150\t100\r\n");
    for (const std::vector<std::string>& entries :
         {std::vector<std::string>{"1e999|" + first_}, {"720|", "721|" + first_}, {"1|" + bad}}) {
        const bool calculated = CalcDiveSeries(*workspace_, ui_, entries, out);
        t.Note("Serie", entries, calculated, ui_.Said(), fs::exists(out));
    }
    ASSERT_TRUE(CalcDiveSeries(*workspace_, ui_, {"0|" + first_, "1|" + second_}, out));
    ExpectGolden("series_two_dives.txt", FileBytes(out));
}

}  // namespace
}  // namespace marelos
