#include "core/engine/deco_table.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/core/engine/outputs_test_support.h"
#include "tests/fakes/golden.h"

namespace marelos {
namespace {

using ::testing::ElementsAre;

class DecoTableTest : public ::testing::Test {
  protected:
    DecoTableTest() : workspace_(DrawnDive({{3, 30}, {25, 30}})) {
        workspace_->settings.surfaceInterval = 77;
    }

    std::optional<std::vector<std::string>> Build(const std::vector<std::string>& input) {
        std::optional<DecoTable> table = BuildDecoTable(*workspace_, store_, ui_, input);
        if (!table) return std::nullopt;
        notes_ = table->notes;
        return table->lines;
    }

    std::unique_ptr<Workspace> workspace_;
    InMemorySettingsStore store_;
    ScriptedUi ui_;
    std::vector<std::string> notes_;
};

// Tables of the depth lines of tests/data/deco_table_inputs.tsv, compared with
// tests/data/deco_tables.txt with their notes and
// what the run leaves: the columns follow a line's last dive, a no-stop dive has rows with the
// time alone, reading stops at a 0, 1 minute is calculated as 2, the header names the gases the
// stops breathe, a dive that cannot be calculated says so in its row and lines of too large
// numbers are skipped. The reference comparison checks tables of random lines.
TEST_F(DecoTableTest, TablesAgainstTheirGoldenFile) {
    std::string golden;
    for (const std::vector<std::string>& row : DataRows("deco_table_inputs.tsv")) {
        if (row[0] != "air") {  // with a decompression gas from 6 m
            workspace_->mix =
                row[0] == "nitrox" ? GasMixFields{"32", "67", "0"} : GasMixFields{"21", "44", "35"};
            workspace_->settings.nitroxDecoStart = 6;
            workspace_->settings.n2PerCentDecompression = 20;
        }
        std::vector<std::string> input;
        for (std::size_t k = 1; k < row.size(); ++k)
            input.push_back(row[k]);
        ui_.lines.clear();
        golden += "## input:";
        for (const std::string& line : input)
            golden += " | " + line;
        golden += "\n";
        const auto table = Build(input);
        ASSERT_TRUE(table.has_value());
        for (const std::string& line : *table)
            golden += line + "\n";
        for (const std::string& note : notes_)
            golden += "note: " + note + "\n";
        for (const std::string& line : ui_.lines)
            golden += "message: " + line + "\n";
        golden += "surfaceInterval " + std::to_string(workspace_->settings.surfaceInterval) +
                  " nextPoint " + std::to_string(workspace_->profile.nextPoint) + " mode " +
                  std::to_string(workspace_->view.mode) + " maxVScale " +
                  std::to_string(workspace_->settings.maxVScale) + "\n";
    }
    ExpectGolden("deco_tables.txt", golden);
}

// With the planner on, the header names the planner's model, and VPM-B's stops are not
// titled as Bühlmann's.
TEST_F(DecoTableTest, ThePlannersHeaderNamesItsModel) {
    workspace_->settings.planner.enabled = true;
    for (const PlannerModel model : {PlannerModel::Buhlmann, PlannerModel::Vpmb}) {
        workspace_->settings.planner.model = model;
        const auto table = Build({"30 20"});
        ASSERT_TRUE(table.has_value());
        const bool vpmb = model == PlannerModel::Vpmb;
        EXPECT_EQ((*table)[0], vpmb ? "Dekompressionstabelle nach VPM-B"
                                    : "Dekompressionstabelle nach Bühlmann");
        EXPECT_EQ((*table)[4], vpmb ? "Dekompressionsphase: \tPlaner VPM-B +2"
                                    : "Dekompressionsphase: \tPlaner ZH-L16C GF 30/85");
    }
}

TEST_F(DecoTableTest, MoreThanTwentyBottomTimesUseTheFirstTwentyAndTheTableEndsAt10000Lines) {
    std::string line = "9";
    for (int t = 1; t <= 25; ++t)
        line += " " + std::to_string(t * 5);
    const auto table = Build({line});
    ASSERT_TRUE(table.has_value());
    EXPECT_EQ(table->size(), 7u + 2 + 20 + 1);
    EXPECT_EQ(ui_.lines.front(), "Zeile 1: nur die ersten 20 Grundzeiten werden berechnet.");

    // Blocks beyond 10000 lines are left out.
    const auto many = Build(std::vector<std::string>(2600, "9 5"));  // four lines a block
    ASSERT_TRUE(many.has_value());
    EXPECT_LE(many->size(), static_cast<std::size_t>(kDecoTableMaxLines));
    EXPECT_EQ(many->size(), 7u + 4 * 2498);
    EXPECT_EQ(ui_.lines.back(),
              "Die Tabelle erreicht 10000 Zeilen; die weiteren Tiefen wurden nicht berechnet.");
}

TEST_F(DecoTableTest, CancellingAfterADepthLineLeavesNoTableAndAnEmptyProfile) {
    ui_.onEvents = [&] { workspace_->cancelRequested = true; };
    ui_.answers = {Answer::No, Answer::Yes};
    const auto table = Build({"20 10", "30 10", "40 10", "50 10"});
    EXPECT_FALSE(table.has_value());
    EXPECT_EQ(ui_.questions,
              (std::vector<std::string>{"Wollen Sie abbrechen?", "Wollen Sie abbrechen?"}));
    EXPECT_EQ(ui_.eventRounds, 2);
    EXPECT_EQ(ui_.lines.back(), "Ausgabe abgebrochen.");
    EXPECT_EQ(workspace_->profile.nextPoint, 1);
    EXPECT_EQ(workspace_->settings.surfaceInterval, 77);
}

TEST_F(DecoTableTest, ProgressCountsTheCellsAndEscapeIsAskedAfterTheCellItCameIn) {
    int rounds = 0;
    ui_.onEvents = [&] {
        if (++rounds == 2) workspace_->cancelRequested = true;
    };
    ui_.answers = {Answer::No, Answer::Yes};
    const auto table = Build({"20 10 20 30", "30 10 20"});
    EXPECT_FALSE(table.has_value());
    EXPECT_EQ(ui_.progressSteps, 5);
    // Asked after the second cell (No), not again in that line, then after the first cell of
    // the next line (Yes).
    EXPECT_EQ(ui_.questions.size(), 2u);
    EXPECT_EQ(ui_.eventRounds, 4);
    EXPECT_EQ(ui_.lastProgress, 4);
    EXPECT_TRUE(ui_.progressReset);
}

}  // namespace
}  // namespace marelos
