#include "core/browser/profile_browser.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "core/text/text_file.h"
#include "tests/fakes/golden.h"
#include "tests/fakes/recording_canvas.h"
#include "tests/fakes/scripted_ui.h"
#include "tests/fakes/temp_folder.h"
#include "tests/fakes/transcript.h"

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

// Renames, copies, moves, deletions and new folders in one folder, one beside it and a stand-in
// trash: what each returns and tells the user, and every file and folder after it, against one
// golden transcript.
TEST_F(BrowserFolder, FileOperationsAgainstTheirTranscript) {
    const TempFolder trash{"trash"};
    const fs::path target = dir / "ziel";
    Transcript t;
    t.Mask(folder, "$DIR");
    t.Mask(trash.path().string(), "$TRASH");
    t.Mask(dir.filename().string(), "ORDNER");
    const auto step = [&](const std::string& what, long long result) {
        std::string text = "# " + what + " -> " + std::to_string(result) + "\n" + ui.Said();
        for (const fs::path& root : {dir, trash.path()}) {
            if (!fs::exists(root)) continue;
            const std::string shown = root == dir ? "Ordner/" : "Papierkorb/";
            std::vector<std::string> entries = {shown + "./"};
            for (const auto& entry : fs::recursive_directory_iterator(root)) {
                entries.push_back(shown + fs::relative(entry.path(), root).string() +
                                  (entry.is_directory() ? "/" : ": " + Content(entry.path())));
            }
            std::sort(entries.begin(), entries.end());
            for (const std::string& entry : entries)
                text += "  " + entry + "\n";
        }
        t.Note(text.substr(0, text.size() - 1));
    };
    Put("alt.prf", "prf");
    step("Umbenennen alt.prf neu.prf", ops.Rename(folder, "alt.prf", "neu.prf"));
    step("Umbenennen neu.mrp neu: der eigene Name", ops.Rename(folder, "neu.mrp", "neu"));
    step("Umbenennen neu.mrp ohne Namen", ops.Rename(folder, "neu.mrp", ""));
    step("Umbenennen gone.mrp", ops.Rename(folder, "gone.mrp", "da"));
    Put("other.mrp", "other");
    ui.answers = {Answer::No};
    step("Umbenennen neu.mrp other, nicht ersetzen", ops.Rename(folder, "neu.mrp", "other"));
    ui.answers = {Answer::Yes};
    step("Umbenennen neu.mrp other, ersetzen", ops.Rename(folder, "neu.mrp", "other"));
    EXPECT_THAT(ui.defaultAnswers, ElementsAre(Answer::No, Answer::No));  // Enter keeps the file

    fs::create_directory(target);
    Put("a.mrp", "A");
    Put("b.mrp", "B");
    std::ofstream(target / "a.mrp") << "old";
    step("Kopieren a.mrp", ops.Copy(folder, {"a.mrp"}, target.string(), false));
    step("Verschieben auf sich selbst", ops.Copy(folder, {"a.mrp", "b.mrp"}, folder, true));
    step("Verschieben b.mrp gone.mrp",
         ops.Copy(folder, {"b.mrp", "gone.mrp"}, target.string(), true));
    disk.refusedFolder = target.string();
    step("Verschieben a.mrp, Ziel schreibgeschützt",
         ops.Copy(folder, {"a.mrp"}, target.string(), true));
    fs::remove_all(target);

    step("Löschen a.mrp gone.mrp", ops.Delete(folder, {"a.mrp", "gone.mrp"}));
    Put("b.prf");
    Put("notes.txt");
    step("Ordner löschen mit notes.txt", ops.DeleteFolder(folder, {"b.prf", "other.mrp"}));
    fs::remove(dir / "notes.txt");
    fs::create_directory(dir / "sub");
    step("Ordner löschen mit sub", ops.DeleteFolder(folder, {"b.prf", "other.mrp"}));
    fs::remove(dir / "sub");
    step("Ordner löschen", ops.DeleteFolder(folder, {"b.prf", "other.mrp"}));
    step("Ordner anlegen ohne Namen", ops.CreateFolder(folder, ""));
    fs::create_directory(dir);
    step("Ordner anlegen Neu", ops.CreateFolder(folder, "Neu"));
    step("Ordner anlegen Neu noch einmal", ops.CreateFolder(folder, "Neu"));
    fs::remove(dir / "Neu");

    t.Note(ops.DeleteQuestion());
    disk.trash = trash.path();
    disk.untrashable = "c.mrp";
    t.Note(ops.DeleteQuestion()).Note(ops.DeleteFolderQuestion(folder));
    for (const char* name : {"a.mrp", "b.prf", "c.mrp"})
        Put(name);
    ui.answers = {Answer::No};
    step("In den Papierkorb a.mrp c.mrp, c.mrp nicht löschen",
         ops.Delete(folder, {"a.mrp", "c.mrp"}));
    ui.answers = {Answer::Yes};
    step("In den Papierkorb c.mrp, löschen", ops.Delete(folder, {"c.mrp"}));
    step("Ordner in den Papierkorb", ops.DeleteFolder(folder, {"b.prf"}));
    // A new name drops an ending of four characters (the dot fourth from the end) and adds .mrp.
    t.Note("neue Namen für leer, Riff.prf, Riff, Riff.x, .abc", RenamedFileName(""),
           RenamedFileName("Riff.prf"), RenamedFileName("Riff"), RenamedFileName("Riff.x"),
           RenamedFileName(".abc"));
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
