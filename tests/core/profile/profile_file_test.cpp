#include "core/profile/profile_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

#include "core/settings/memory_settings_store.h"
#include "core/text/number_format.h"
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

// Each file of the case table loaded in turn, with an analysis graph shown before each: what
// the user is told and what the workspace holds, against one golden transcript.
TEST_F(ProfileFileTest, LoadedFilesAgainstTheirGoldenTranscript) {
    std::string text;
    for (const std::vector<std::string>& row : DataRows("cases/profile_files_loaded.tsv")) {
        if (row.size() > 1) {  // a missing file follows the file before
            WriteRaw(row[0], row[1]);
            SetUp();
        }
        ws().view.mode = 2;
        const bool loaded = Load(row[0]);
        text += "# " + row[0] + (loaded ? " geladen\n" : " nicht geladen\n") + ui_.Said();
        if (!loaded) text += ui_.caption + "\n";
        const DiveProfile& p = ws().profile;
        text += "Achsen " + std::to_string(ws().settings.maxHScale) + " min. " +
                std::to_string(ws().settings.maxVScale) + " m, Ansicht " +
                std::to_string(ws().view.mode) + ", berechnet " +
                std::to_string(ws().computed.computedCount) + ", Datei " + p.fileName + "\n";
        for (int i = 1; i <= p.nextPoint; ++i) {
            const ProfilePoint& q = p.points[i];
            const ProfileLine& l = p.lines[i];
            text += "P " + FormatGeneral(q.time) + " " + FormatGeneral(q.depth) + " " +
                    FormatGeneral(q.n2Percent) + " " + FormatGeneral(q.hePercent) + " | L " +
                    FormatGeneral(l.depth) + " " + FormatGeneral(l.tDelta) + " " +
                    FormatGeneral(l.tTotal) + " " + FormatGeneral(l.n2Percent) + " " +
                    FormatGeneral(l.hePercent) + "\n";
        }
        for (int i = 0; i <= p.markCount && !p.marks[i].text.empty(); ++i)
            text += "Marke " + p.marks[i].text + " " + std::to_string(p.marks[i].minute) + " von " +
                    std::to_string(p.markCount) + "\n";
    }
    const std::string folder = temp_.path().string();
    for (std::size_t at; (at = text.find(folder)) != std::string::npos;)
        text.replace(at, folder.size(), "$TMP");
    ExpectGolden("golden/profile_files_loaded.txt", text);
    EXPECT_FALSE(ReadProfileFile(ws(), store_, ui_, "ab"));
    EXPECT_FALSE(ReadProfileFile(ws(), store_, ui_, Path("*.mrp")));
    EXPECT_TRUE(ui_.boxes.empty());  // a cancelled dialog's name is refused silently
}

TEST_F(ProfileFileTest, LoadingRemembersTheFileAndSavingWritesTheTableBack) {
    const std::string table =
        "Depth\tt.delta\tt.total\tN2%\tHe%\r\n30\t3\t3\t78\t0\r\n30\t22\t25\t78\t0\r\n"
        "9\t3\t28\t40\t35\r\n# END OF PROFILE #\r\n";
    WriteRaw("tg.mrp", table + "TG-Nummer: 12\r\n");
    ASSERT_TRUE(Load("tg.mrp"));
    EXPECT_EQ(ui_.caption, "Marelos 3 Beta - " + Path("tg.mrp").substr(0, 10) + ".../tg.mrp");
    EXPECT_EQ(RecentFiles(store_)[0], Path("tg.mrp"));
    ui_.answers = {Answer::No};
    ASSERT_TRUE(Save("kopie.mrp"));
    EXPECT_EQ(ReadRaw("kopie.mrp"), table);
    EXPECT_EQ(ui_.questions.front(), "Soll die Dekompressionsphase mitgespeichert werden?");
    EXPECT_EQ(ws().profile.fileName, Path("kopie.mrp"));
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
