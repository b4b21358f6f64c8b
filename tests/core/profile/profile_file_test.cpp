#include "core/profile/profile_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

#include "core/settings/memory_settings_store.h"
#include "core/text/text_file.h"
#include "tests/fakes/golden.h"
#include "tests/fakes/scripted_ui.h"
#include "tests/fakes/temp_folder.h"

namespace marelos {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;

class ProfileFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        workspace_ = std::make_unique<Workspace>(WorkspaceFromSettings(Settings{}));
    }

    std::string Path(const std::string& name) const { return temp_.File(name); }
    void WriteRaw(const std::string& name, const std::string& bytes) const {
        PutFile(Path(name), bytes);
    }
    std::string ReadRaw(const std::string& name) const { return FileBytes(Path(name)); }
    std::vector<std::string> ReadLines(const std::string& name) const {
        return ReadTextFileLines(Path(name)).value();
    }
    bool Load(const std::string& name) { return ReadProfileFile(ws(), store_, ui_, Path(name)); }
    bool Save(const std::string& name) { return WriteProfileFile(ws(), store_, ui_, Path(name)); }
    Workspace& ws() { return *workspace_; }

    const TempFolder temp_{"profile"};
    std::unique_ptr<Workspace> workspace_;
    InMemorySettingsStore store_;
    ScriptedUi ui_;
};

TEST_F(ProfileFileTest, LoadingFillsLinesAndPointsAndCalculatesAndSavingWritesTheTableBack) {
    const std::string table =
        "Depth\tt.delta\tt.total\tN2%\tHe%\r\n30\t3\t3\t78\t0\r\n30\t22\t25\t78\t0\r\n"
        "9\t3\t28\t40\t35\r\n# END OF PROFILE #\r\n";
    WriteRaw("tg.mrp", table + "TG-Nummer: 12\r\n");
    ASSERT_TRUE(Load("tg.mrp"));
    EXPECT_EQ(ui_.lines.front(), "Lade: " + Path("tg.mrp"));
    EXPECT_EQ(ui_.lines[1], "Berechne Profil");
    EXPECT_EQ(ws().profile.nextPoint, 4);
    EXPECT_EQ(ws().profile.points[1], (ProfilePoint{3, 30, 78, 0}));
    EXPECT_EQ(ws().profile.points[3], (ProfilePoint{28, 9, 40, 35}));
    EXPECT_EQ(ws().profile.lines[2], (ProfileLine{30, 22, 25, 78, 0}));
    EXPECT_GT(ws().computed.computedCount, 28);
    EXPECT_EQ(ws().profile.fileName, Path("tg.mrp"));
    EXPECT_EQ(ui_.caption, "Marelos 3 Beta - " + Path("tg.mrp").substr(0, 10) + ".../tg.mrp");
    EXPECT_EQ(RecentFiles(store_)[0], Path("tg.mrp"));

    ui_.answers = {Answer::No};
    ASSERT_TRUE(Save("kopie.mrp"));
    EXPECT_EQ(ReadRaw("kopie.mrp"), table);
    EXPECT_EQ(ui_.questions.front(), "Soll die Dekompressionsphase mitgespeichert werden?");
    EXPECT_EQ(ws().profile.fileName, Path("kopie.mrp"));
}

TEST_F(ProfileFileTest, ReadsLinesByTheirFirstCharacter) {
    // No header and no end marker; a comment line that starts with a digit is a data line,
    // a data line with three fields has no gas, marks stand between the lines.
    WriteRaw("alt.prf",
             "12\t2\t2\n; Abstieg 3\n; Tiefster Punkt 12\n12\t10\t12\t78\t0\n-5\t1\t1\t78\t0\n"
             " 7\t1\t1\t78\t0\n0815 Uhr\n");
    ASSERT_TRUE(Load("alt.prf"));
    const DiveProfile& profile = ws().profile;
    EXPECT_EQ(profile.nextPoint, 4);
    EXPECT_EQ(profile.lines[1], (ProfileLine{12, 2, 2, 0, 0}));
    // "0815 Uhr" became a point at minute 0, which the calculation's rebuild leaves out.
    EXPECT_EQ(profile.points[3], (ProfilePoint{0, 815, 0, 0}));
    EXPECT_EQ(profile.lines[3], ProfileLine{});
    EXPECT_EQ(profile.markCount, 1);
    EXPECT_EQ(profile.marks[0].text, "Abstieg");
    EXPECT_EQ(profile.marks[0].minute, 3);
    EXPECT_EQ(profile.marks[1].text,
              "Tiefster");  // a two-word mark reads its second word as minute
    EXPECT_EQ(profile.marks[1].minute, 0);
    // 815 m is deeper than the deepest depth axis: the axis stops there, and the user is told.
    EXPECT_EQ(ws().settings.maxVScale, kDeepestDepthAxis);
    EXPECT_THAT(ui_.lines, Contains("Das Tauchprofil ist tiefer als die längste Tiefenachse "
                                    "(200 m) und wird nur bis dahin gezeigt."));
}

TEST_F(ProfileFileTest, ALongProfileWidensTheTimeAxisUpToTheLongestOne) {
    WriteRaw("lang.mrp", "20\t5\t5\t78\t0\n20\t95.4\t100.4\t78\t0\n");
    ASSERT_TRUE(Load("lang.mrp"));
    EXPECT_GE(ws().settings.maxHScale, 100);
    // The line table was rebuilt from the points: whole minutes and metres.
    EXPECT_EQ(ws().profile.lines[2], (ProfileLine{20, 95, 100, 78, 0}));

    WriteRaw("riesig.mrp", "30\t999999999\t999999999\t78\t0\r\n");
    ASSERT_TRUE(Load("riesig.mrp"));
    EXPECT_EQ(ws().settings.maxHScale, kLongestTimeAxis);
    EXPECT_EQ(ws().settings.maxVScale, 50);
    EXPECT_THAT(ui_.lines, Contains("Das Tauchprofil ist länger als die längste Zeitachse "
                                    "(6000 min.) und wird nur bis dahin gezeigt."));
}

TEST_F(ProfileFileTest, AMissingFileIsReportedAndLeavesAnEmptyUntitledProfile) {
    WriteRaw("tg.mrp", "30\t3\t3\t78\t0\n30\t22\t25\t78\t0\n");
    ASSERT_TRUE(Load("tg.mrp"));
    ws().view.mode = 2;  // an analysis graph is shown
    EXPECT_FALSE(Load("fehlt.mrp"));
    ASSERT_EQ(ui_.boxes.size(), 1u);
    EXPECT_EQ(ui_.boxes[0].icon, MessageIcon::Critical);
    EXPECT_NE(ui_.boxes[0].text.find("fehlt.mrp"), std::string::npos);
    EXPECT_EQ(ws().profile.nextPoint, 1);
    // Saving the empty profile must not overwrite the file loaded before.
    EXPECT_EQ(ws().profile.fileName, "");
    EXPECT_EQ(ui_.caption, "Marelos 3 Beta - Unbenannte Datei");
    EXPECT_EQ(ws().view.mode, 1);
    ui_.boxes.clear();
    EXPECT_FALSE(ReadProfileFile(ws(), store_, ui_, "ab"));
    EXPECT_FALSE(ReadProfileFile(ws(), store_, ui_, Path("*.mrp")));
    EXPECT_TRUE(ui_.boxes.empty());  // a cancelled dialog's name is refused silently
}

TEST_F(ProfileFileTest, MoreThan5998DataLinesAreRefused) {
    std::string text;
    for (int i = 0; i < 5998; ++i)
        text += "1\t1\t1\t78\t0\n";
    WriteRaw("5998.mrp", text);
    EXPECT_TRUE(Load("5998.mrp"));
    WriteRaw("5999.mrp", text + "1\t1\t1\t78\t0\n");
    ui_.boxes.clear();
    EXPECT_FALSE(Load("5999.mrp"));
    ASSERT_EQ(ui_.boxes.size(), 1u);
    EXPECT_NE(ui_.boxes[0].text.find("mehr als 5998 Zeilen"), std::string::npos);
    EXPECT_EQ(ws().profile.lines[1], ProfileLine{});  // nothing of it is left to draw
}

TEST_F(ProfileFileTest, LinesNoDiveCanHaveAreRefusedWithTheirNumber) {
    const std::string header = "Depth\tt.delta\tt.total\tN2%\tHe%\r\n30\t3\t3\t78\t0\r\n";
    for (const std::vector<std::string>& row : DataRows("cases/profile_file_refused.tsv")) {
        WriteRaw("tg.mrp", header + row.at(0));
        ui_.boxes.clear();
        EXPECT_FALSE(Load("tg.mrp")) << row[0];
        ASSERT_EQ(ui_.boxes.size(), 1u) << row[0];
        EXPECT_THAT(ui_.boxes[0].text, ::testing::HasSubstr(row.at(1)));
        EXPECT_THAT(ui_.boxes[0].text, ::testing::StartsWith("Die Zeile " + row.at(2) + " "));
        EXPECT_EQ(ws().profile.nextPoint, 1);
    }
    // Just inside every limit, and a short line that the file does not end in.
    WriteRaw("tg.mrp", header + "999999999\t1\t4\t60\t40\r\n0\t2\r\n30\t1\t5\t0\t0");
    EXPECT_TRUE(Load("tg.mrp"));
}

TEST_F(ProfileFileTest, AStoppedCalculationIsSavedWithoutDecompressionLines) {
    store_.WriteSetting("Decompression", "Step", "True");
    WriteRaw("tief.mrp", "600\t60\t60\t78\t0\r\n600\t340\t400\t78\t0\r\n");
    ASSERT_TRUE(Load("tief.mrp"));
    ASSERT_TRUE(Stopped(ws().computed.last));
    ui_.answers = {Answer::Yes};
    ui_.boxes.clear();
    ASSERT_TRUE(Save("tief.mrp"));
    EXPECT_THAT(ReadLines("tief.mrp"),
                ElementsAre("Depth\tt.delta\tt.total\tN2%\tHe%", "600\t60\t60\t78\t0",
                            "600\t340\t400\t78\t0", "# END OF PROFILE #"));
    ASSERT_FALSE(ui_.boxes.empty());
    EXPECT_THAT(ui_.boxes.back().text,
                ::testing::StartsWith("Die Dekompressionsphase wird nicht mitgespeichert."));
    EXPECT_EQ(ui_.lines.back(), "Dekompressionsphase nicht gespeichert.");
}

TEST_F(ProfileFileTest, SavingOverAFileKeepsItsCommentLinesOnce) {
    WriteRaw("tg.mrp",
             "30\t3\t3\t78\t0\r\n30\t22\t25\t78\t0\r\n# END OF PROFILE #\r\n"
             "TG-Nummer: 12\r\n\r\nOrt: Überlingen\r\n");
    ASSERT_TRUE(Load("tg.mrp"));
    ASSERT_TRUE(Save("tg.mrp"));
    ASSERT_TRUE(Save("tg.mrp"));
    EXPECT_THAT(CommentLines(ReadLines("tg.mrp")), ElementsAre("TG-Nummer: 12", "Ort: Überlingen"));
}

// Stops at 6 m (1 min.) and 3 m (9 min.); a dive without stops takes Int(12 / 10) + 1 minutes to
// the surface and one more there.
TEST_F(ProfileFileTest, TheDecompressionPhaseBecomesStopLinesOrTwoSurfaceLines) {
    store_.WriteSetting("Decompression", "Step", "True");
    std::string saved;
    for (const std::string dive :
         {"30\t3\t3\t78\t0\r\n30\t22\t25\t78\t0\r\n", "12\t2\t2\t78\t0\r\n12\t10\t12\t78\t0\r\n"}) {
        WriteRaw("tg.mrp", dive);
        ASSERT_TRUE(Load("tg.mrp"));
        ui_.answers = {Answer::Yes};
        ASSERT_TRUE(Save("deko.mrp"));
        saved += ReadRaw("deko.mrp");
    }
    ExpectGolden("golden/profiles_with_decompression.mrp", saved);
}

TEST_F(ProfileFileTest, AContinuousAscentIsRecalculatedInStopsOnlyWhenTheUserAgrees) {
    WriteRaw("tg.mrp", "30\t3\t3\t78\t0\r\n30\t22\t25\t78\t0\r\n");
    store_.WriteSetting("Decompression", "Step", "False");
    ASSERT_TRUE(Load("tg.mrp"));
    ui_.answers = {Answer::Yes, Answer::No};
    ASSERT_TRUE(Save("a.mrp"));
    EXPECT_EQ(ui_.lines.back(), "Dekompressionsphase nicht gespeichert.");
    EXPECT_EQ(ReadLines("a.mrp").size(), 4u);
    EXPECT_EQ(store_.ReadSetting("Decompression", "Step"), "False");
    ui_.answers = {Answer::Yes, Answer::Yes};
    ASSERT_TRUE(Save("b.mrp"));
    EXPECT_EQ(store_.ReadSetting("Decompression", "Step"), "True");
    EXPECT_EQ(ReadLines("b.mrp").size(), 10u);
}

TEST_F(ProfileFileTest, AFailedSaveLeavesTheOldFile) {
    const std::string longest(255, 'x');
    WriteRaw(longest, "alt\r\n");
    WriteRaw("tg.mrp", "30\t3\t3\t78\t0\r\n");
    ASSERT_TRUE(Load("tg.mrp"));
    EXPECT_FALSE(Save(longest));
    EXPECT_EQ(ReadRaw(longest), "alt\r\n");
    EXPECT_EQ(ui_.boxes.back().icon, MessageIcon::Critical);
}

TEST(RecentFiles, AKnownFileMovesUpAndANewOnePushesTheLastOut) {
    InMemorySettingsStore store;
    for (int k = 1; k <= 6; ++k)
        store.WriteSetting("Files", std::to_string(k), "/t/" + std::to_string(k) + ".mrp");
    RememberRecentFile(store, "/T/3.MRP");
    EXPECT_THAT(RecentFiles(store), ElementsAre("/T/3.MRP", "/t/1.mrp", "/t/2.mrp", "/t/4.mrp",
                                                "/t/5.mrp", "/t/6.mrp"));
    RememberRecentFile(store, "/t/neu.mrp");
    EXPECT_THAT(RecentFiles(store), ElementsAre("/t/neu.mrp", "/T/3.MRP", "/t/1.mrp", "/t/2.mrp",
                                                "/t/4.mrp", "/t/5.mrp"));

    InMemorySettingsStore sparse;
    sparse.WriteSetting("Files", "2", "NoValue");
    sparse.WriteSetting("Files", "3", "/t/a.mrp");
    RememberRecentFile(sparse, "/t/b.mrp");
    EXPECT_THAT(RecentFiles(sparse), ElementsAre("/t/b.mrp", "/t/a.mrp", "", "", "", ""));
    EXPECT_THAT(RecentFileCaptions(sparse),
                ElementsAre("&1  /t/b.mrp", "&2  /t/a.mrp", "&3  ", "&4  ", "&5  ", "&6  "));
    sparse.WriteSetting("Files", "1", "/Home/Taucher/Tauchprofile/2003/Juni/TG12.mrp");
    EXPECT_EQ(RecentFileCaptions(sparse)[0], "&1  /Home/Tauc.../TG12.mrp");
}

}  // namespace
}  // namespace marelos
