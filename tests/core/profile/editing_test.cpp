#include "core/profile/editing.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

#include "core/graphics/profile_graph.h"
#include "core/settings/memory_settings_store.h"
#include "core/text/number_format.h"
#include "tests/fakes/golden.h"
#include "tests/fakes/recording_canvas.h"
#include "tests/fakes/scripted_ui.h"

namespace marelos {
namespace {

std::string Shares(const GasMixFields& mix) {
    return mix.o2 + " " + mix.n2 + " " + mix.he;
}

// A picture with a plot of 6000 x 3000 units: 100 units per minute and 60 per metre.
class EditingTest : public ::testing::Test {
  protected:
    EditingTest() : workspace_(std::make_unique<Workspace>(WorkspaceFromSettings(Settings{}))) {}

    Workspace& ws() { return *workspace_; }
    double X(double minute) const { return 650 + minute * 100; }
    double Y(double depth) const { return 650 + depth * 60; }
    bool Click(double minute, double depth) {
        return AddPointAtClick(ws(), canvas_, ui_, X(minute), Y(depth));
    }
    std::vector<std::int32_t> Times() {
        std::vector<std::int32_t> times;
        for (int i = 1; i < ws().profile.nextPoint; ++i)
            times.push_back(ws().profile.points[i].time);
        return times;
    }

    std::unique_ptr<Workspace> workspace_;
    RecordingCanvas canvas_{7300, 4300};
    ScriptedUi ui_;
    InMemorySettingsStore store_;
};

// Clicks that add points, clicks on a point that offer to delete it, deleted points and minutes,
// each on a fresh profile: what each step returns and tells, and the points after it (minute,
// depth, N2, He), against one golden transcript.
TEST_F(EditingTest, ClicksAndDeletionsAgainstTheirGoldenTranscript) {
    std::string text;
    const auto step = [&](const std::string& what, long long result = 0) {
        text += "# " + what + " -> " + std::to_string(result) + "\n" + ui_.Said();
        for (int i = 1; i < ws().profile.nextPoint; ++i) {
            const ProfilePoint& p = ws().profile.points[i];
            text += " " + std::to_string(p.time) + "/" + std::to_string(p.depth) + "/" +
                    std::to_string(p.n2Percent) + "/" + FormatGeneral(p.hePercent);
        }
        text += ws().profile.changed ? " geändert\n" : "\n";
        ws().profile.changed = false;
    };
    const auto fresh = [&](const std::string& what) {
        workspace_ = std::make_unique<Workspace>(WorkspaceFromSettings(Settings{}));
        text += "## " + what + "\n";
    };
    fresh("ein Klick mit dem Gas der Felder");
    ws().mix = {"32", "67,6", "0"};
    step("Klick 10 min. 30 m", Click(10, 30));
    EXPECT_EQ(canvas_.Of(RecordingCanvas::Call::kCircle).size(), 1u);
    EXPECT_EQ(ws().mixList.back(), "O2: 32 N2: 67,6 He: 0 [%]");

    fresh("Klicks am Rand, ein unplausibles Gemisch");
    step("Klick 5 links vor der Achse", AddPointAtClick(ws(), canvas_, ui_, 650 - 5, Y(10)));
    step("Klick 20 links vor der Achse", AddPointAtClick(ws(), canvas_, ui_, 650 - 20, Y(10)));
    step("Klick 20 über der Achse", AddPointAtClick(ws(), canvas_, ui_, X(10), 650 - 20));
    ws().mix = {"21", "79", "1"};
    step("Klick mit 101 %", Click(20, 10));

    fresh("ein Klick auf einen Punkt");
    step("Klick 10 min. 30 m", Click(10, 30));
    ui_.answers = {Answer::No};
    step("noch einmal, nicht löschen", Click(10, 30));
    ui_.answers = {Answer::Yes};
    step("noch einmal, löschen", Click(10, 30));

    fresh("Punkte und Minuten löschen");
    ui_.defaultAnswers.clear();
    for (const int minute : {5, 10, 15})
        Click(minute, 20);
    step("Klicks bei 5, 10, 15 min.");
    InsertMinute(ws(), canvas_, ui_, 10);
    step("Minute 10 einfügen");
    DeleteMinute(ws(), canvas_, ui_, 10);
    DeleteMinute(ws(), canvas_, ui_, 10);
    step("Minute 10 zweimal löschen");
    DeleteLastPoint(ws(), canvas_, ui_);
    step("letzten Punkt löschen");
    step("Klick 30 min. 10 m: der gelöschte Eintrag bleibt", Click(30, 10));
    ui_.answers = {Answer::Yes};
    DeleteRightOfCursor(ws(), canvas_, ui_, X(10));
    step("rechts von 10 min. löschen");
    EXPECT_EQ(ws().profile.lines[1].tTotal, 5);
    EXPECT_EQ(ws().profile.lines[2], ProfileLine{});
    EXPECT_EQ(ui_.caption, "Marelos 3 Beta (Build 3.1.0) - Tauchprofil bearbeiten");

    // Questions that throw away what was drawn: Enter keeps it.
    Click(10, 30);
    AskDeletePointAt(ws(), canvas_, ui_, X(10), Y(30));
    ws().mix = {"32", "67", "0"};
    cmdNewCalc(ws(), store_, canvas_, ui_);
    step("Punkt bei 10 min. nicht löschen, Gase nicht neu berechnen");
    EXPECT_EQ(ui_.defaultAnswers,
              std::vector<Answer>(3, Answer::No));  // right of the cursor, the point, the gases
    ui_.answers = {Answer::Yes};
    cmdNewCalc(ws(), store_, canvas_, ui_);
    step("Gase neu berechnen");
    ExpectGolden("golden/editing_clicks.txt", text);
}

TEST_F(EditingTest, AxesAndTheN2FieldAreAskedAndChecked) {
    ui_.textAnswers = {std::string("250"), std::string("200"), std::string("90")};
    SetDepthAxis(ws(), store_, canvas_, ui_);
    EXPECT_EQ(ui_.boxes.back().text, "Zahlenwert muss zwischen 0 und 200 liegen.");
    EXPECT_EQ(ws().settings.maxVScale, 50);
    SetDepthAxis(ws(), store_, canvas_, ui_);
    EXPECT_EQ(ws().settings.maxVScale, 200);
    EXPECT_EQ(store_.ReadSetting("Settings", "MaxVScale"), "200");
    SetTimeAxis(ws(), store_, canvas_, ui_);
    EXPECT_EQ(ws().settings.maxHScale, 90);

    ui_.textAnswers = {std::string("79"), std::string("45.7"), std::string("abc"), std::nullopt};
    AskN2Percent(ws(), ui_);
    EXPECT_EQ(ui_.boxes.back().text, "Eingabe ungültig!");
    EXPECT_EQ(ws().mix.n2, "78");
    AskN2Percent(ws(), ui_);
    EXPECT_EQ(ws().mix.n2, "45");
    AskN2Percent(ws(), ui_);
    EXPECT_EQ(ws().mix.n2, "0");
    AskN2Percent(ws(), ui_);  // cancelled: nothing changes
    EXPECT_EQ(ws().mix.n2, "0");
}

TEST_F(EditingTest, MixKeysAtTheCursorDepth) {
    ws().settings.airPressure = 1013;
    ws().settings.constantPpO2 = 1.4;
    ws().mix = {"32", "67", "0"};
    SetConstantPpO2MixAtCursor(ws(), canvas_, ui_, Y(20), false, "");
    EXPECT_EQ(Shares(ws().mix), "46.14 53.86 0");
    ui_.textAnswers = {std::string("1,2")};
    SetConstantPpO2MixAtCursor(ws(), canvas_, ui_, Y(20), true, "20 m bei 10 min.");
    EXPECT_EQ(ws().mix.o2, "39.55");
    EXPECT_EQ(ui_.questions.back(),
              "Welcher ppO2 soll eingestellt werden für den TG-Punkt 20 m bei 10 min.?");
    ws().mix = {"21", "40", "39"};
    SetConstantPpO2MixAtCursor(ws(), canvas_, ui_, Y(20), false, "");
    EXPECT_NE(ui_.boxes.back().text.find("nicht mit Trimix"), std::string::npos);
    EXPECT_EQ(Shares(ws().mix), "21 40 39");

    SetBestMixAtCursor(ws(), canvas_, Y(3));
    EXPECT_EQ(Shares(ws().mix), "100 0 0");
    ws().settings.airPressure = 1000;
    SetBestMixAtCursor(ws(), canvas_, Y(50));  // P = 6.0968 bar
    EXPECT_EQ(Shares(ws().mix), "26 74 0");
    SetBestMixAtCursor(ws(), canvas_, Y(60));      // P = 7.1162 bar: the N2 limit asks for helium
    EXPECT_EQ(Shares(ws().mix), "22.4 70.2 7.3");  // He from the O2 share already cut to tenths
}

TEST_F(EditingTest, CursorReadoutAndRemainingAir) {
    ws().mix = {"21", "78", "0"};
    CursorReadout readout = ShowCursorReadout(ws(), canvas_, X(12), Y(30));
    EXPECT_EQ(readout.position, "30 m bei 12 min.");
    EXPECT_EQ(readout.ppO2, "0.84 bar");
    EXPECT_EQ(readout.ppO2Colour, 0xC00000);
    EXPECT_EQ(readout.ppN2, "3.14 bar");  // 4.0313 bar x 0.78 = 3.1444, in hundredths
    EXPECT_EQ(readout.ppN2Colour, 16384);
    EXPECT_TRUE(readout.bestMix.starts_with("Best Mix für 30 m Wassertiefe"));
    readout = ShowCursorReadout(ws(), canvas_, X(12), Y(60));
    EXPECT_EQ(readout.ppN2Colour, 255);  // 7.06 bar x 0.78 = 5.5 bar, above MaxPPN2
    EXPECT_EQ(ShowCursorReadout(ws(), canvas_, X(-3), Y(30)).position, "---");
    EXPECT_EQ(ShowCursorReadout(ws(), canvas_, X(0), Y(30)).position, "30 m bei 0 min.");

    ws().computed.records[1].depth = 20;
    ws().computed.computedCount = 2;
    EXPECT_EQ(SelectCursorMinute(ws(), canvas_, ui_, X(5)), 5);
    EXPECT_EQ(ui_.lines.back(), "t = 5 min. Restluft:2955 Liter  197 bar");
}

}  // namespace
}  // namespace marelos
