#include "core/engine/deco_table.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/core/engine/outputs_test_support.h"

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

TEST_F(DecoTableTest, HeaderAndOneBlockPerDepthLine) {
    const auto table = Build({"30 20 25 30 40", "40\t10\t20"});
    ASSERT_TRUE(table.has_value());
    ASSERT_GE(table->size(), 7u);
    EXPECT_THAT(
        std::vector<std::string>(table->begin(), table->begin() + 7),
        ElementsAre("Dekompressionstabelle nach Bühlmann", "", "Gaszusammensetzung ",
                    "Grundphase: \t\tN2: 78%  He: 0%  O2: 21%",
                    "Dekompressionsphase: \tN2: 78%  He: 0%  O2: 21%", std::string(48, '-'), ""));
    EXPECT_EQ((*table)[7], "Tiefe: 30 m");
    EXPECT_EQ((*table)[8], "GZ\t9m\t6m\t3m\t");  // the longest dive needs a 9 m stop
    EXPECT_EQ((*table)[9], "20\t0\t1\t6\t");     // shorter dives show 0 where they need none
    EXPECT_EQ((*table)[12], "40\t1\t10\t21\t");
    EXPECT_EQ((*table)[13], "");
    EXPECT_EQ((*table)[14], "Tiefe: 40 m");
    EXPECT_EQ(table->size(), 7u + 7 + 5);
    EXPECT_EQ(workspace_->settings.maxVScale, 50);
    // The columns follow the line's last dive, even when an earlier one needs deeper stops.
    EXPECT_EQ((*Build({"30 40 20"}))[8], "GZ\t6m\t3m\t");

    // The header names the gases the stops breathe: the bottom N2 share with the decompression
    // He share, and the decompression gas from its switch depth upwards.
    workspace_->mix = {"32", "67", "0"};
    workspace_->settings.nitroxDecoStart = 6;
    workspace_->settings.n2PerCentDecompression = 20;
    const auto nitrox = Build({"30 20"});
    EXPECT_THAT(std::vector<std::string>(nitrox->begin() + 4, nitrox->begin() + 6),
                ElementsAre("Dekompressionsphase: \tN2: 67%  He: 0%  O2: 32%  (tiefer als 6 m)",
                            "Dekompressionsphase: \tN2: 20%  He: 0%  O2: 79%  (ab 6 m)"));
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

TEST_F(DecoTableTest, EdgeLinesAndWhatTheRunPutsBack) {
    const auto table = Build({"25", "12 30 0 40", "30 1", "30 2"});
    ASSERT_TRUE(table.has_value());
    // No bottom time: only the title and "GZ". A no-stop dive: rows with the time alone.
    EXPECT_EQ((*table)[7], "Tiefe: 25 m");
    EXPECT_EQ((*table)[8], "GZ\t");
    EXPECT_EQ((*table)[9], "");
    EXPECT_EQ((*table)[10], "Tiefe: 12 m");
    EXPECT_EQ((*table)[11], "GZ\t");
    EXPECT_EQ((*table)[12], "30\t");  // reading stops at the 0
    EXPECT_EQ((*table)[13], "");
    // 1 minute is calculated as 2 minutes.
    std::vector<std::string> one((*table).begin() + 15, (*table).begin() + 17);
    std::vector<std::string> two((*table).begin() + 19, (*table).begin() + 21);
    EXPECT_EQ(one[1].substr(1), two[1].substr(1));
    EXPECT_EQ(workspace_->settings.surfaceInterval, 77);
    EXPECT_EQ(workspace_->profile.nextPoint, 1);  // a new, empty profile
    EXPECT_EQ(workspace_->view.mode, 1);
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

TEST_F(DecoTableTest, ADiveThatCannotBeCalculatedSaysSoInItsRowAndBadLinesAreSkipped) {
    store_.WriteSetting("Decompression", "Step", "True");
    const auto table = Build({"99999 10", "1e999 10", "30 20 1e9", "30 20"});
    ASSERT_TRUE(table.has_value());
    EXPECT_EQ((*table)[7], "Tiefe: 99999 m");
    EXPECT_EQ((*table)[8], "GZ\t");
    EXPECT_TRUE((*table)[9].starts_with("10\tDer Tauchgang konnte nicht vollständig berechnet "));
    EXPECT_NE((*table)[9].find("tiefer als 300 m"), std::string::npos);
    EXPECT_EQ((*table)[11], "Tiefe: 30 m");  // the two lines of too large numbers are skipped
    EXPECT_EQ((*table)[13], "20\t1\t6\t");
    EXPECT_EQ(table->size(), 7u + 4 + 4);
    ASSERT_EQ(notes_.size(), 3u);
    EXPECT_TRUE(notes_[0].starts_with("Zeile 1, Grundzeit 10: Der Tauchgang konnte nicht"));
    EXPECT_EQ(notes_[1],
              "Zeile 2: Tiefe oder Grundzeit ist zu groß, die Zeile wird nicht berechnet.");
    EXPECT_EQ(notes_[2],
              "Zeile 3: Tiefe oder Grundzeit ist zu groß, die Zeile wird nicht berechnet.");
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
