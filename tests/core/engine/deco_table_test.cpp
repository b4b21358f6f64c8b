#include "core/engine/deco_table.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/core/engine/outputs_test_support.h"
#include "tests/fakes/golden.h"
#include "tests/fakes/transcript.h"

namespace marelos {
namespace {

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

// With the planner on, the header names the planner's model, and VPM-B's stops are not titled
// as Bühlmann's. More than 20 bottom times: the first 20 are calculated; blocks beyond 10000
// lines (four a block) are left out. Cancelling after a depth line leaves no table and an empty
// profile. Progress counts the cells, and Escape is asked after the cell it came in: after the
// second cell (No), not again in that line, then after the first cell of the next (Yes).
TEST_F(DecoTableTest, HeadersLimitsCancellingAndProgress) {
    Transcript t;
    workspace_->settings.planner.enabled = true;
    for (const PlannerModel model : {PlannerModel::Buhlmann, PlannerModel::Vpmb}) {
        workspace_->settings.planner.model = model;
        const auto table = Build({"30 20"});
        t.Note("planner header", table.value()[0], (*table)[4]);
    }
    workspace_->settings.planner.enabled = false;
    ui_.lines.clear();
    std::string line = "9";
    for (int time = 1; time <= 25; ++time)
        line += " " + std::to_string(time * 5);
    const std::size_t twenty = Build({line}).value().size();  // before the message is read
    t.Note("25 times: lines", twenty, ui_.lines.front());
    const auto many = Build(std::vector<std::string>(2600, "9 5"));
    EXPECT_LE(many.value().size(), static_cast<std::size_t>(kDecoTableMaxLines));
    t.Note("2600 lines: lines", many->size(), ui_.lines.back());

    // Escape in every round of events, or only in the second.
    const auto events = [&](bool always) {
        ui_ = ScriptedUi();
        ui_.answers = {Answer::No, Answer::Yes};
        ui_.onEvents = [&, always, rounds = 0]() mutable {
            if (always || ++rounds == 2) workspace_->cancelRequested = true;
        };
    };
    events(true);
    const bool built = Build({"20 10", "30 10", "40 10", "50 10"}).has_value();
    t.Note("cancelled", built, ui_.questions, ui_.eventRounds, ui_.lines.back(),
           workspace_->profile.nextPoint, workspace_->settings.surfaceInterval);
    events(false);
    const bool builtToo = Build({"20 10 20 30", "30 10 20"}).has_value();
    t.Note("cancelled in a line", builtToo, ui_.progressSteps, ui_.questions.size(),
           ui_.eventRounds, ui_.lastProgress, ui_.progressReset);
}

}  // namespace
}  // namespace marelos
