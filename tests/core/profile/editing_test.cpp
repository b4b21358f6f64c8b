#include "core/profile/editing.h"

#include <gtest/gtest.h>

#include <memory>

#include "core/engine/computed_profile.h"
#include "core/engine/tissues.h"
#include "core/graphics/profile_graph.h"
#include "core/profile/dive_name.h"
#include "core/profile/dive_profile.h"
#include "core/profile/edit_history.h"
#include "core/profile/gas_mix.h"
#include "core/settings/memory_settings_store.h"
#include "core/text/number_format.h"
#include "tests/fakes/golden.h"
#include "tests/fakes/profile_notes.h"
#include "tests/fakes/recording_canvas.h"
#include "tests/fakes/scripted_ui.h"
#include "tests/fakes/transcript.h"

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
        for (int i = 1; i < ws().profile.nextPoint; ++i)
            text += " " + PointText(ws().profile.points[i]);
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
    text += LineText(ws().profile.lines[1]) + " | " + LineText(ws().profile.lines[2]) + " | " +
            ui_.caption + "\n";

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

// The axes and the N2 field asked for (a value out of range, one cut to whole percent, a text,
// a cancelled box), the mix keys at the cursor depth, the cursor readout and the remaining air.
TEST_F(EditingTest, AxesMixKeysAndTheCursorReadout) {
    Transcript t;
    ui_.textAnswers = {std::string("250"), std::string("200"), std::string("90")};
    SetDepthAxis(ws(), store_, canvas_, ui_);
    t.Note("Tiefenachse 250", ws().settings.maxVScale, ui_.Said());
    SetDepthAxis(ws(), store_, canvas_, ui_);
    t.Note("200", ws().settings.maxVScale, store_.ReadSetting("Settings", "MaxVScale"));
    SetTimeAxis(ws(), store_, canvas_, ui_);
    t.Note("Zeitachse 90", ws().settings.maxHScale, ui_.Said());
    ui_.textAnswers = {std::string("79"), std::string("45.7"), std::string("abc"), std::nullopt};
    for (int i = 0; i < 4; ++i) {
        AskN2Percent(ws(), ui_);
        t.Note("N2", ws().mix.n2, ui_.Said());
    }

    workspace_ = std::make_unique<Workspace>(WorkspaceFromSettings(Settings{}));
    ws().settings.airPressure = 1013;
    ws().settings.constantPpO2 = 1.4;
    ws().mix = {"32", "67", "0"};
    SetConstantPpO2MixAtCursor(ws(), canvas_, ui_, Y(20), false, "");
    t.Note("ppO2 1,4 auf 20 m", Shares(ws().mix));
    ui_.textAnswers = {std::string("1,2")};
    SetConstantPpO2MixAtCursor(ws(), canvas_, ui_, Y(20), true, "20 m bei 10 min.");
    t.Note("gefragt 1,2", Shares(ws().mix), ui_.Said());
    ws().mix = {"21", "40", "39"};
    SetConstantPpO2MixAtCursor(ws(), canvas_, ui_, Y(20), false, "");
    t.Note("Trimix", Shares(ws().mix), ui_.Said());
    SetBestMixAtCursor(ws(), canvas_, Y(3));
    t.Note("Best Mix 3 m", Shares(ws().mix));
    ws().settings.airPressure = 1000;
    SetBestMixAtCursor(ws(), canvas_, Y(50));  // P = 6.0968 bar
    t.Note("50 m", Shares(ws().mix));
    // P = 7.1162 bar: the N2 limit asks for helium, from the O2 share already cut to tenths.
    SetBestMixAtCursor(ws(), canvas_, Y(60));
    t.Note("60 m", Shares(ws().mix));

    // 4.0313 bar x 0.78 = 3.1444 bar, in hundredths; at 60 m 7.06 bar x 0.78 = 5.5 bar, above
    // MaxPPN2.
    ws().mix = {"21", "78", "0"};
    for (const auto& [minute, depth] : {std::pair{12, 30}, {12, 60}, {-3, 30}, {0, 30}}) {
        const CursorReadout r = ShowCursorReadout(ws(), canvas_, X(minute), Y(depth));
        t.Note("Cursor", r.position, r.ppO2, r.ppO2Colour, r.ppN2, r.ppN2Colour, r.bestMix);
    }
    // A partial pressure at exactly its limit is shown in red.
    ws().settings.maxPpO2 = 0.84;
    ws().settings.maxPpN2 = AmbientPressure(30, ws().settings.airPressure) * 78 / 100;
    const CursorReadout limits = ShowCursorReadout(ws(), canvas_, X(12), Y(30));
    t.Note("an den Grenzen", limits.position, limits.ppO2Colour, limits.ppN2Colour);
    ws().computed.records[1].depth = 20;
    ws().computed.computedCount = 2;
    const int minute = SelectCursorMinute(ws(), canvas_, ui_, X(5));
    t.Note("Minute 5", minute, ui_.Said());
}

// The plausibility check, the gas of a new point and the partial pressure warnings of the mixes
// in the case table, against one golden table.
TEST(GasMix, ChecksWarningsAndTheListOfMixes) {
    Settings settings;
    settings.airPressure = 1013;
    settings.warnPpO2Hi = settings.warnPpO2Lo = 1;
    std::string text;
    for (const std::vector<std::string>& row : DataRows("cases/gas_mix.tsv")) {
        const GasMixFields mix{row.at(1), row.at(2), row.at(3)};
        text += row[0] + " " + row[1] + " " + row[2] + " " + row[3] + " ->";
        if (row[0] == "Prüfung") {
            const MixCheck check = CheckMix(mix);
            text += " " + std::to_string(check.plausible) + " " + check.label + " " +
                    std::to_string(check.colour);
        } else if (row[0] == "Punkt") {
            const PointGas gas = GasForNewPoint(mix);
            text += " " + std::to_string(gas.n2Percent) + " " + FormatGeneral(gas.hePercent);
        } else {
            settings.warnPpN2 = std::stoi(row.at(4));
            if (row.at(5) != "-") settings.maxPpO2 = std::stod(row[5]);
            const ProfileLine line{std::stod(row[1]), 1, 1, std::stod(row[2]), std::stod(row[3])};
            for (const PressureWarning& warning : PartialPressureWarnings(line, settings))
                text += " " + warning.text + " " + std::to_string(warning.colour);
        }
        text += "\n";
    }
    ExpectGolden("golden/gas_mix.txt", text);

    // Only when asked to, an implausible mix is told to the user.
    ScriptedUi ui;
    Transcript t;
    for (const bool tell : {true, false}) {
        const bool plausible = CheckMixPlausible({"21", "79", "1"}, tell, ui).plausible;
        t.Note("unplausibel", plausible, ui.Said());
    }

    // Used mixes enter the list once, also when the shares of a listed mix are typed in another
    // way; selecting one fills the fields.
    std::vector<std::string> list = MixPresets();
    t.Note("Vorgaben", list);
    for (const GasMixFields& mix : {GasMixFields{"30", "50", "19"}, GasMixFields{"30", "50", "19"},
                                    GasMixFields{"21", "78", "0"}, GasMixFields{"21", "44", "35"},
                                    GasMixFields{"30,0", "50", "19.0"}})
        AddUsedMix(list, mix);
    t.Note("benutzt", list.size(), list.back());
    t.Note("gewählt", Shares(SelectMix("O2: 21 N2: 54 He: 25 [Trimix (normoxisch)]")));
    t.Note("Nitrox 32 und 36, Heliox", NitroxMix(32).n2, NitroxMix(36).n2,
           CheckMix(NitroxMix(36)).plausible, HelioxMix().he);
    // With a point as separator the editing tests see the text after a click.
    t.Note("Status", AddedPointStatus(45, 5, 40.5, 35.5, ","));
}

std::vector<std::string> Lines(const DiveProfile& profile, int count) {
    std::vector<std::string> lines;
    for (int i = 1; i <= count; ++i)
        lines.push_back(LineText(profile.lines[i]));
    return lines;
}

// A profile starts with the point at zero and only the first thousand points are cleared. Lines
// are the points sorted by minute: the start point stays a point but never becomes a line; points
// of the same minute get t.delta 0 in entry order; a point beyond the time axis is left out until
// the axis reaches it; a deleted point is none, and one above the surface is drawn at 0 m.
// Clearing the lines keeps the helium share, and lines become points with halves rounded to even.
TEST(DiveProfile, PointsLinesAndTheirTableRules) {
    Transcript t;
    t.Note("Name mit falschem Monat", DatedDiveName(2024, 0, 5, 9, 7));
    DiveProfile profile;
    t.Note("neu", profile.nextPoint, PointText(profile.points[1]), profile.stops[1].depth,
           profile.stops[100].depth);
    ComputedProfile computed;
    computed.computedCount = 50;
    profile.points[999] = {7, 8, 78, 0};
    profile.points[1001] = {7, 8, 78, 0};
    ResetPoints(profile, computed);
    t.Note("zurückgesetzt", profile.nextPoint, computed.computedCount,
           PointText(profile.points[999]), PointText(profile.points[1001]));

    profile = DiveProfile{};
    for (const ProfilePoint& point : {ProfilePoint{10, 30, 78, 0}, {5, 20, 64, 2.5}})
        profile.points[profile.nextPoint++] = point;
    BuildLinesFromPoints(profile, 60);
    t.Note("sortiert", Lines(profile, 3), profile.nextPoint);

    profile = DiveProfile{};
    for (const ProfilePoint& point : {ProfilePoint{8, 12, 78, 0},
                                      {8, 15, 78, 0},
                                      {70, 15, 78, 0},
                                      {0, 0, 78, 0},
                                      {9, -3, 78, 0}})
        profile.points[profile.nextPoint++] = point;
    BuildLinesFromPoints(profile, 60);
    t.Note("Achse 60", Lines(profile, 5));
    BuildLinesFromPoints(profile, 70);
    t.Note("Achse 70", Lines(profile, 5));

    profile = DiveProfile{};
    profile.lines[1] = {12.5, 2.5, 2.5, 77.5, 10.25};
    profile.lines[2] = {13.5, 1, 3.5, 78.5, 0};
    profile.nextPoint = 3;
    LinesToPoints(profile);
    t.Note("Punkte", PointText(profile.points[1]), PointText(profile.points[2]));
    ClearLines(profile);
    t.Note("gelöscht", LineText(profile.lines[1]));
}

TEST(EditHistory, SnapshotsAndTheStepsOfUndoAndRedo) {
    // A snapshot brings back exactly the tables and axes, not the results. What a file and
    // editing leave: a deleted point keeping its gas, a cleared line keeping its helium share,
    // marks, stop times of a calculation.
    Workspace original;
    DiveProfile& profile = original.profile;
    profile.points[1] = {3, 30, 78, 0};
    profile.points[2] = {0, 0, 68, 0};
    profile.nextPoint = 3;
    profile.lines[1] = {30, 3, 3, 40, 43.5};
    profile.lines[7] = {0, 0, 0, 0, 35};
    profile.marks[1] = {"Boden", 25};
    profile.markCount = 1;
    original.settings.maxHScale = 155;
    const ProfileSnapshot snapshot = TakeSnapshot(original);

    Workspace workspace = original;
    workspace.profile.points[2].n2Percent = 0;
    workspace.profile.lines[6000] = {1, 1, 1, 1, 1};
    workspace.profile.marks[100] = {"x", 1};
    workspace.profile.nextPoint = 9;
    workspace.profile.stops[2].time = 9;
    workspace.settings.maxHScale = 60;
    RestoreSnapshot(snapshot, workspace);
    EXPECT_EQ(workspace.profile.points, profile.points);
    EXPECT_EQ(workspace.profile.lines, profile.lines);
    EXPECT_EQ(workspace.profile.marks, profile.marks);
    Transcript t;  // only the used part of the lines is kept
    t.Note("Zeilen im Abbild, wieder dasselbe, Stoppzeit", snapshot.lines.size(),
           TakeSnapshot(workspace) == snapshot, workspace.profile.stops[2].time);

    // Undo (U), redo (D), record (R), amend (A: a calculation's results, no step) and the saved
    // mark (S) follow the steps: what each returned, then the current axis, whether it is
    // modified, can be undone, can be redone.
    ProfileSnapshot state;  // the time axis tells the states apart
    state.maxHScale = 60;
    EditHistory history(state);
    for (const std::string step :
         {"R60", "R70", "R80", "S", "U", "U", "U", "D", "A75", "D", "U", "R90"}) {
        if (step.size() > 1) state.maxHScale = std::stoi(step.substr(1));
        std::string result;
        if (step[0] == 'R') result = history.Record(state) ? "Schritt" : "kein Schritt";
        if (step[0] == 'A') history.Amend(state);
        if (step[0] == 'S') history.MarkSaved();
        if (step[0] == 'U' || step[0] == 'D') {
            const ProfileSnapshot* to = step[0] == 'U' ? history.Undo() : history.Redo();
            result = to ? std::to_string(to->maxHScale) : "keiner";
        }
        t.Note(step, result, history.Current().maxHScale, history.Modified(), history.CanUndo(),
               history.CanRedo());
    }

    for (state.maxHScale = 1; state.maxHScale <= 150; ++state.maxHScale)
        history.Record(state);
    int undone = 0;
    while (history.Undo())
        ++undone;
    EXPECT_EQ(undone, static_cast<int>(EditHistory::kMaxSteps));
}

}  // namespace
}  // namespace marelos
