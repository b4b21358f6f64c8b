#include "core/browser/profile_browser.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/text/text_file.h"
#include "tests/fakes/golden.h"
#include "tests/fakes/recording_canvas.h"
#include "tests/fakes/scripted_ui.h"
#include "tests/fakes/temp_folder.h"

namespace marelos {
namespace {
namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

// The real disk, except that copies into one folder fail as on a read-only target (the tests may
// run as root, who writes anywhere). With `trash` set, that folder stands in for the desktop's
// trash, which does not take the file named `untrashable`.
class FailingCopies : public LocalFileSystem {
  public:
    std::string refusedFolder;
    fs::path trash;
    std::string untrashable;
    std::optional<Failure> Copy(const std::string& from, const std::string& to) override {
        if (fs::path(to).parent_path() == fs::path(refusedFolder))
            return Failure{FailureKind::WriteError, to};
        return LocalFileSystem::Copy(from, to);
    }
    bool HasTrash() const override { return !trash.empty(); }
    std::optional<Failure> MoveToTrash(const std::string& path) override {
        if (trash.empty() || fs::path(path).filename() == untrashable)
            return Failure{FailureKind::WriteError, path};
        return Rename(path, (trash / fs::path(path).filename()).string());
    }
};

class BrowserFolder : public ::testing::Test {
  protected:
    void Put(const std::string& name, const std::string& content = "30\t1\t1\t78\t0") {
        std::ofstream(dir / name) << content;
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const FolderFile& f : ListProfileFiles(disk, folder))
            names.push_back(f.name);
        return names;
    }
    std::string Content(const fs::path& path) const { return ReadFileBytes(path).value(); }

    const TempFolder temp{"browser"};
    const fs::path dir = temp.path();
    const std::string folder = dir.string();
    FailingCopies disk;
    ScriptedUi ui;
    ProfileFileOperations ops{disk, ui};
};

TEST_F(BrowserFolder, ListsPrfThenMrpFilesAndCountsThem) {
    EXPECT_EQ(FileCountText(Names().size(), folder), "0 Dateien in " + folder);
    Put("b.mrp");
    EXPECT_EQ(FileCountText(Names().size(), folder), "1 Datei in " + folder);
    for (const char* name : {"a.mrp", "z.prf", "c.PRF", "notes.txt", "x.mrp.bak", ".mrp"})
        Put(name);
    fs::create_directory(dir / "folder.mrp");
    EXPECT_THAT(Names(), ElementsAre("c.PRF", "z.prf", "a.mrp", "b.mrp"));

    const FolderFile file = ListProfileFiles(disk, folder).back();
    EXPECT_EQ(SizeText(file), "11 Bytes");
    EXPECT_THAT(ModifiedText(file), ::testing::MatchesRegex("20[0-9][0-9]-[01][0-9]-[0-3][0-9] "
                                                            "[0-2][0-9]:[0-5][0-9]"));
}

TEST(RenamedFileName, DropsAFourCharacterEndingAndAddsMrp) {
    EXPECT_EQ(RenamedFileName(""), std::nullopt);
    EXPECT_EQ(RenamedFileName("Riff.prf"), "Riff.mrp");
    EXPECT_EQ(RenamedFileName("Riff"), "Riff.mrp");
    EXPECT_EQ(RenamedFileName("Riff.x"), "Riff.x.mrp");  // the dot must be fourth from the end
    EXPECT_EQ(RenamedFileName(".abc"), ".mrp");
}

TEST_F(BrowserFolder, RenameMakesAPrfAnMrpAndAsksBeforeReplacing) {
    Put("alt.prf", "prf");
    EXPECT_TRUE(ops.Rename(folder, "alt.prf", "neu.prf"));
    EXPECT_THAT(Names(), ElementsAre("neu.mrp"));
    EXPECT_EQ(Content(dir / "neu.mrp"), "prf");
    EXPECT_FALSE(ops.Rename(folder, "neu.mrp", "neu"));  // its own name: nothing to ask or do
    EXPECT_FALSE(ops.Rename(folder, "neu.mrp", ""));
    EXPECT_TRUE(ui.questions.empty());
    EXPECT_FALSE(ops.Rename(folder, "gone.mrp", "da"));
    EXPECT_EQ(ui.boxes.size(), 1u);

    Put("other.mrp", "other");
    ui.answers = {Answer::No};
    EXPECT_FALSE(ops.Rename(folder, "neu.mrp", "other"));
    EXPECT_EQ(Content(dir / "other.mrp"), "other");
    ui.answers = {Answer::Yes};
    EXPECT_TRUE(ops.Rename(folder, "neu.mrp", "other"));
    EXPECT_EQ(Content(dir / "other.mrp"), "prf");
    EXPECT_THAT(ui.questions, ElementsAre("Die Datei other.mrp gibt es schon. Ersetzen?",
                                          "Die Datei other.mrp gibt es schon. Ersetzen?"));
    EXPECT_THAT(ui.defaultAnswers, ElementsAre(Answer::No, Answer::No));  // Enter keeps the file
}

TEST_F(BrowserFolder, CopyAndMoveReplaceByNameAndKeepTheSourceWhenTheCopyFails) {
    const fs::path target = dir / "ziel";
    fs::create_directory(target);
    Put("a.mrp", "A");
    Put("b.mrp", "B");
    std::ofstream(target / "a.mrp") << "old";

    EXPECT_EQ(ops.Copy(folder, {"a.mrp"}, target.string(), false), 1);
    EXPECT_EQ(Content(target / "a.mrp"), "A");
    EXPECT_EQ(ops.Copy(folder, {"a.mrp", "b.mrp"}, folder, true), 0);  // onto itself: kept
    EXPECT_THAT(Names(), ElementsAre("a.mrp", "b.mrp"));

    EXPECT_EQ(ops.Copy(folder, {"b.mrp", "gone.mrp"}, target.string(), true), 1);
    EXPECT_THAT(Names(), ElementsAre("a.mrp"));
    EXPECT_EQ(Content(target / "b.mrp"), "B");
    ASSERT_EQ(ui.boxes.size(), 1u);  // the vanished source
    EXPECT_THAT(ui.boxes[0].text, HasSubstr("gone.mrp bleibt unverändert."));

    disk.refusedFolder = target.string();
    EXPECT_EQ(ops.Copy(folder, {"a.mrp"}, target.string(), true), 0);
    EXPECT_EQ(Content(dir / "a.mrp"), "A");
    EXPECT_THAT(ui.boxes.back().text, HasSubstr("ziel/a.mrp konnte nicht geschrieben werden"));
}

TEST_F(BrowserFolder, DeletesFilesAndAFolderOnlyWhenNothingElseIsInIt) {
    Put("a.mrp");
    Put("b.prf");
    EXPECT_EQ(ops.Delete(folder, {"a.mrp", "gone.mrp"}), 1);
    EXPECT_EQ(ui.boxes.size(), 1u);
    EXPECT_THAT(Names(), ElementsAre("b.prf"));

    Put("notes.txt");
    EXPECT_FALSE(ops.DeleteFolder(folder, {"b.prf"}));
    EXPECT_TRUE(fs::exists(dir / "b.prf"));  // nothing lost while the folder stays
    fs::remove(dir / "notes.txt");
    fs::create_directory(dir / "sub");
    EXPECT_FALSE(ops.DeleteFolder(folder, {"b.prf"}));
    EXPECT_TRUE(fs::exists(dir / "sub"));
    fs::remove(dir / "sub");
    EXPECT_TRUE(ops.DeleteFolder(folder, {"b.prf"}));
    EXPECT_FALSE(fs::exists(dir));

    EXPECT_FALSE(ops.CreateFolder(folder, ""));
    fs::create_directory(dir);
    EXPECT_TRUE(ops.CreateFolder(folder, "Neu"));
    EXPECT_TRUE(fs::is_directory(dir / "Neu"));
    EXPECT_FALSE(ops.CreateFolder(folder, "Neu"));
    EXPECT_EQ(ui.boxes.back().icon, MessageIcon::Critical);
}

TEST_F(BrowserFolder, DeletedFilesGoToTheTrashAndWhatNoTrashTakesIsGoneOnlyAfterAskingAgain) {
    EXPECT_EQ(ops.DeleteQuestion(),
              "Markierte Dateien jetzt löschen? Es gibt keinen Papierkorb: sie werden endgültig "
              "gelöscht.");
    const TempFolder trash{"trash"};
    disk.trash = trash.path();
    disk.untrashable = "c.mrp";
    for (const char* name : {"a.mrp", "b.prf", "c.mrp"})
        Put(name);
    EXPECT_EQ(ops.DeleteQuestion(),
              "Markierte Dateien jetzt löschen? Sie werden in den Papierkorb verschoben.");
    EXPECT_EQ(ops.DeleteFolderQuestion(folder),
              "Den Ordner " + folder +
                  " wirklich löschen? Er wird mit seinen Dateien in den Papierkorb verschoben.");
    ui.answers = {Answer::No};
    EXPECT_EQ(ops.Delete(folder, {"a.mrp", "c.mrp"}), 1);
    EXPECT_TRUE(fs::exists(trash.path() / "a.mrp"));
    EXPECT_THAT(Names(), ElementsAre("b.prf", "c.mrp"));
    EXPECT_THAT(ui.questions, ElementsAre("Der Papierkorb nimmt diese Dateien nicht auf: c.mrp. "
                                          "Sollen sie endgültig gelöscht werden?"));
    ui.answers = {Answer::Yes};
    EXPECT_EQ(ops.Delete(folder, {"c.mrp"}), 1);
    EXPECT_THAT(Names(), ElementsAre("b.prf"));
    // A folder goes to the trash whole.
    EXPECT_TRUE(ops.DeleteFolder(folder, {"b.prf"}));
    EXPECT_TRUE(fs::exists(trash.path() / dir.filename() / "b.prf"));
}

TEST(ProfilePreview, DrawsDataLinesMarksAndScaleFromTheLargestValues) {
    RecordingCanvas canvas(3000, 2000);
    const int colour = 0x0000FF;
    DrawProfilePreview(canvas,
                       {"Tiefe Zeit", "20\t1\t2\t78\t0", "; Abstieg 3", "30\t1\t10\t78\t0",
                        "0\t1\t20\t78\t0", "# END OF PROFILE #", "Ort: See", "Uhrzeit: 09 30",
                        "40 m Sicht"},  // the comment's numbers are no profile
                       colour, 0xFFFFFF);
    // Two axes, the line from the surface through 3 points to the largest run time at the right
    // edge, scaled as 50 m deep, and the mark an eighth into its minute.
    ExpectGolden("golden/profile_preview.txt", canvas.Dump());
    DrawProfilePreview(canvas, {"20\t1\t0\t78\t0"}, colour, 0xFFFFFF);
    EXPECT_EQ(canvas.calls.size(), 1u);  // cleared, nothing else without a run time
}

}  // namespace
}  // namespace marelos
