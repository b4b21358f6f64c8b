#include "core/profile/dive_comment.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "core/profile/file_type.h"
#include "core/profile/profile_text.h"
#include "core/settings/memory_settings_store.h"
#include "core/text/text_file.h"
#include "tests/fakes/counting_registry.h"
#include "tests/fakes/scripted_ui.h"
#include "tests/fakes/temp_folder.h"

namespace marelos {
namespace {

namespace fs = std::filesystem;

class CommentTest : public ::testing::Test {
  protected:
    std::string Write(const std::string& name, const std::string& bytes) {
        return PutFile(folder_ / name, bytes);
    }
    std::vector<std::string> Lines(const std::string& path) {
        return ReadTextFileLines(path).value();
    }

    const TempFolder temp_{"comment"};
    const fs::path folder_ = temp_.path();
};

TEST_F(CommentTest, ReadsEachKeyAfterItsColonTrimmedAndTheLastLineWins) {
    const std::string path = Write("tg.mrp",
                                   "30\t3\t3\t78\t0\r\n# END OF PROFILE #\r\nOrt:  Überlingen \r\n"
                                   "TG-Nummer: 11\r\nTG-Nummer:12\r\nAtemgas(e): Luft\r\n");
    const CommentFields fields = ReadDiveComment(path).value();
    EXPECT_EQ(fields[0], "12");
    EXPECT_EQ(fields[1], "Überlingen");
    EXPECT_EQ(fields[11], "Luft");
    EXPECT_EQ(fields[2], "");  // a key that does not occur
    EXPECT_FALSE(ReadDiveComment((folder_ / "fehlt.mrp").string()).ok());
    EXPECT_EQ(AddGas("Luft", "Nitrox"), "Luft Nitrox");
    EXPECT_EQ(AddGas("", "Trimix"), "Trimix");
}

TEST_F(CommentTest, SavingTwiceLeavesOneCommentBlockAndTheRemarkOnOneLine) {
    const std::string path = Write("tg.mrp", "30\t3\t3\t78\t0\r\n\r\n30\t22\t25\t78\t0\r\n");
    CommentFields fields;
    fields[0] = "7";
    fields[1] = "Walchensee";
    fields[2] = "See";
    fields[12] = "Gute Sicht\nviele Barsche\tam Hang";
    InMemorySettingsStore store;
    ASSERT_FALSE(SaveDiveComment(path, fields, store).has_value());
    fields[0] = "8";
    ASSERT_FALSE(SaveDiveComment(path, fields, store).has_value());
    const std::vector<std::string> lines = Lines(path);
    ASSERT_EQ(lines.size(), 3u + 14);
    EXPECT_EQ(lines[2], "# END OF PROFILE #");  // added once, the empty line dropped
    EXPECT_EQ(lines[3], "TG-Nummer: 8");
    EXPECT_EQ(lines[3 + 12], "Bemerkungen: Gute Sicht viele Barsche am Hang");
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "Ort: Walchensee"), 1);
    EXPECT_EQ(store.ReadSetting("DiveComments", "LastNumber"), "8");
    EXPECT_EQ(store.ReadSetting("DiveComments", "LastSite"), "See");
    EXPECT_EQ(ReadDiveComment(path).value(), [&] {
        CommentFields expected = fields;
        expected[12] = "Gute Sicht viele Barsche am Hang";
        return expected;
    }());
}

TEST_F(CommentTest, NeighboursAreTheProfileFilesInNameOrder) {
    const std::string a = Write("a.mrp", "");
    Write("b.txt", "");
    const std::string c = Write("c.PRF", "");
    const std::string d = Write("d.mrp", "");
    EXPECT_EQ(NeighbourProfileFile(a, +1), c);
    EXPECT_EQ(NeighbourProfileFile(c, +1), d);
    EXPECT_EQ(NeighbourProfileFile(c, -1), a);
    EXPECT_FALSE(NeighbourProfileFile(a, -1).has_value());
    EXPECT_FALSE(NeighbourProfileFile(d, +1).has_value());
}

TEST_F(CommentTest, TheTextEditorTurnsBlanksIntoTabsAndSavesWithoutItsHeader) {
    const std::string prf = Write("alt.prf", "10 3 3 78 0\r\n");
    const std::vector<std::string> lines = TextLinesOfFile(prf).value();
    EXPECT_EQ(lines, (std::vector<std::string>{kEditorHeader, "10\t3\t3\t78\t0"}));
    const std::string mrp =
        Write("neu.mrp", "Depth\tt.delta\tt.total\tN2%\tHe%\r\n10\t3\t3\t78\t0\r\n");
    EXPECT_EQ(TextLinesOfFile(mrp).value().size(), 2u);  // its own first line is the header
    const std::string saved = (folder_ / "gespeichert.mrp").string();
    ASSERT_FALSE(SaveTextLines(saved, lines).has_value());
    EXPECT_EQ(Lines(saved), (std::vector<std::string>{"10\t3\t3\t78\t0"}));

    DiveProfile profile;
    profile.lines[1] = {30, 3, 3, 78, 0};
    profile.lines[2] = {0, 0, 3, 78, 0};  // neither depth nor time: not a line of the file
    profile.nextPoint = 3;
    EXPECT_EQ(ProfileAsTextLines(profile),
              (std::vector<std::string>{kEditorHeader, "30\t3\t3\t78\t0"}));
}

TEST(FileType, TheStartUpQuestionIsAskedUntilAnswered) {
    InMemorySettingsStore store;
    CountingRegistry registry;
    ScriptedUi ui;
    ui.answers = {Answer::No};
    AskToRegisterProfileFileType(registry, store, ui);
    EXPECT_EQ(store.ReadSetting("Files", "TypeAssigned"), "No");
    AskToRegisterProfileFileType(registry, store, ui);
    EXPECT_EQ(ui.questions.size(), 1u);  // not asked again
    store.WriteSetting("Files", "TypeAssigned", "");
    ui.answers = {Answer::Yes};
    AskToRegisterProfileFileType(registry, store, ui);
    EXPECT_EQ(registry.registrations, 1);
    EXPECT_EQ(store.ReadSetting("Files", "TypeAssigned"), "Done");

    // A type that an installed package registered is not asked about, and the answer stays open.
    store.WriteSetting("Files", "TypeAssigned", "");
    registry.known = true;
    AskToRegisterProfileFileType(registry, store, ui);
    EXPECT_EQ(ui.questions.size(), 2u);
    EXPECT_EQ(store.ReadSetting("Files", "TypeAssigned"), "");
}

}  // namespace
}  // namespace marelos
