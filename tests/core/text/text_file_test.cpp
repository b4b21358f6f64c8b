#include "core/text/text_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <iterator>

#include "core/text/file_replacement.h"
#include "tests/fakes/temp_folder.h"

namespace marelos {
namespace {

namespace fs = std::filesystem;

class TextFileTest : public ::testing::Test {
  protected:
    std::size_t FileCount() const {
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(folder_), fs::directory_iterator()));
    }

    // Runs `check` as the unprivileged user "nobody" (in a child process when the tests run as
    // the superuser, who may write anything) and returns its result.
    bool AsUnprivilegedUser(const std::function<bool()>& check) {
        if (::geteuid() != 0) return check();
        fs::permissions(folder_, fs::perms::all);
        const pid_t child = ::fork();
        if (child == 0) {
            constexpr uid_t kNobody = 65534;
            const bool dropped = ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0;
            ::_exit(dropped && check() ? 0 : 1);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    static fs::perms PermissionsOf(const fs::path& path) { return fs::status(path).permissions(); }

    const TempFolder temp_{"text_file"};
    const fs::path folder_ = temp_.path();
};

// Written in Windows-1252 with CR LF over the whole old file; read back, and read also as
// UTF-8 with LF.
TEST_F(TextFileTest, WritesWindows1252WithCrLfAndReadsEitherCodeAndLineEnd) {
    const fs::path file = folder_ / "tg.mrp";
    PutFile(file, "eine viel laengere alte Zeile\r\nund noch eine\r\nund noch eine\r\n");
    const std::vector<std::string> lines = {"Tiefe\tt", "", "Temperatur: 4 °C, Größe"};
    ASSERT_FALSE(WriteTextFileLines(file, lines).has_value());
    EXPECT_EQ(FileBytes(file), "Tiefe\tt\r\n\r\nTemperatur: 4 \260C, Gr\366\337e\r\n");
    EXPECT_EQ(ReadTextFileLines(file).value(), lines);
    EXPECT_EQ(FileCount(), 1u);  // no temporary file is left behind
    PutFile(file, "Tiefe\tt\n\nTemperatur: 4 °C, Größe");
    EXPECT_EQ(ReadTextFileLines(file).value(), lines);
}

TEST_F(TextFileTest, AFailedWriteLeavesTheOldFileUntouched) {
    // The temporary name beside a file with the longest possible name cannot be created,
    // which fails the write even for the superuser.
    const fs::path longest = folder_ / std::string(255, 'x');
    PutFile(longest, "alt\r\n");
    const auto failure = WriteTextFileLines(longest, {"neu"});
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->kind, FailureKind::WriteError);
    EXPECT_EQ(FileBytes(longest), "alt\r\n");
    EXPECT_EQ(FileCount(), 1u);
    const std::string written =
        "Die Datei " + longest.string() + " konnte nicht geschrieben werden.";
    EXPECT_EQ(FailureMessage(*failure), written + " Die bisherige Datei bleibt unverändert.");
    // Where there was no file, nothing stays as it was.
    fs::remove(longest);
    EXPECT_EQ(FailureMessage(WriteTextFileLines(longest, {"neu"}).value()), written);
}

TEST_F(TextFileTest, AFileAboveTheLimitIsRefusedAndACutLastLineIsSeen) {
    PutFile(folder_ / "a.txt", "1234\r\n6789");
    const auto whole = ReadTextFile(folder_ / "a.txt", 10);
    ASSERT_TRUE(whole.ok());
    EXPECT_EQ(whole.value().lines, (std::vector<std::string>{"1234", "6789"}));
    EXPECT_FALSE(whole.value().lastLineEnded);
    const auto refused = ReadTextFileLines(folder_ / "a.txt", 9);
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.failure().kind, FailureKind::TooLarge);
    EXPECT_EQ(FailureMessage(refused.failure()),
              "Die Datei " + (folder_ / "a.txt").string() + " ist zu groß und wird nicht gelesen.");
    PutFile(folder_ / "b.txt", "1234\r");
    EXPECT_TRUE(ReadTextFile(folder_ / "b.txt").value().lastLineEnded);
}

TEST_F(TextFileTest, AReplacedFileKeepsItsPermissionsAndALinkKeepsPointingToIt) {
    const fs::path file = folder_ / "tg.mrp";
    PutFile(file, "alt\r\n");
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink("tg.mrp", folder_ / "verweis.mrp");
    ASSERT_FALSE(WriteTextFileLines(folder_ / "verweis.mrp", {"neu"}).has_value());
    EXPECT_TRUE(fs::is_symlink(folder_ / "verweis.mrp"));
    EXPECT_EQ(FileBytes(file), "neu\r\n");
    EXPECT_EQ(PermissionsOf(file),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    // A link to a file that does not exist yet creates it.
    fs::create_symlink("neu.mrp", folder_ / "vorwaerts.mrp");
    ASSERT_FALSE(WriteTextFileLines(folder_ / "vorwaerts.mrp", {"x"}).has_value());
    EXPECT_EQ(FileBytes(folder_ / "neu.mrp"), "x\r\n");
    EXPECT_EQ(FileCount(), 4u);
}

TEST_F(TextFileTest, ATextTheCodePageCannotHoldOrAReadOnlyFileIsRefusedAndTheFileStays) {
    const fs::path file = folder_ / "tg.mrp";
    PutFile(file, "alt\r\n");
    const auto unrepresentable = WriteTextFileLines(file, {"Ort: Łódź", "Fisch: 🐠"});
    ASSERT_TRUE(unrepresentable.has_value());
    EXPECT_EQ(unrepresentable->kind, FailureKind::Unrepresentable);
    EXPECT_EQ(unrepresentable->subject, "🐠");
    EXPECT_EQ(FileBytes(file), "alt\r\n");
    EXPECT_EQ(FileCount(), 1u);

    fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const auto failure = WriteTextFileLines(file, {"neu"});
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->kind, FailureKind::ReadOnly);
    EXPECT_EQ(FailureMessage(*failure), "Die Datei " + file.string() +
                                            " ist schreibgeschützt und wurde nicht überschrieben.");
    EXPECT_EQ(FileBytes(file), "alt\r\n");

    // Writable by its owner only: another user may not replace it, although the folder would
    // let them; their own files they replace with the permissions the files had.
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read);
    EXPECT_TRUE(AsUnprivilegedUser([&] {
        const auto refused = WriteTextFileLines(file, {"neu"});
        if (!refused || refused->kind != FailureKind::ReadOnly) return false;
        const fs::path own = folder_ / "eigen.mrp";
        if (WriteTextFileLines(own, {"1"})) return false;
        fs::permissions(own, fs::perms::owner_read | fs::perms::owner_write);
        return !WriteTextFileLines(own, {"2"}) && FileBytes(own) == "2\r\n" &&
               PermissionsOf(own) == (fs::perms::owner_read | fs::perms::owner_write);
    }));
    EXPECT_EQ(FileBytes(file), "alt\r\n");
    EXPECT_EQ(FileCount(), 2u);
}

TEST_F(TextFileTest, TheTemporaryFileOfACrashedSaveIsReplacedButNotOneInUse) {
    const fs::path file = folder_ / "tg.mrp";
    const fs::path temporary = folder_ / "tg.mrp.marelos-tmp";
    PutFile(file, "alt\r\n");
    PutFile(temporary, "halb");
    ASSERT_FALSE(WriteTextFileLines(file, {"neu"}).has_value());
    EXPECT_EQ(FileBytes(file), "neu\r\n");
    EXPECT_EQ(FileCount(), 1u);

    // A save still running holds its temporary file locked.
    PutFile(temporary, "laeuft");
    const int running = ::open(temporary.c_str(), O_RDONLY);
    ASSERT_EQ(::flock(running, LOCK_EX), 0);
    EXPECT_TRUE(WriteTextFileLines(file, {"zweiter"}).has_value());
    EXPECT_EQ(RemoveStaleTemporaryFiles(folder_), 0);  // nor at the next start
    ::close(running);
    EXPECT_EQ(FileBytes(temporary), "laeuft");
    EXPECT_EQ(FileBytes(file), "neu\r\n");
    // A killed save that no later save of the same file clears up goes at the next start.
    EXPECT_EQ(RemoveStaleTemporaryFiles(folder_), 1);
    EXPECT_EQ(FileCount(), 1u);

    // A link planted at the temporary name is never followed.
    fs::remove(temporary);
    PutFile(folder_ / "fremd", "fremd");
    fs::create_symlink("fremd", temporary);
    EXPECT_TRUE(WriteTextFileLines(file, {"neu"}).has_value());
    EXPECT_EQ(FileBytes(folder_ / "fremd"), "fremd");
}

TEST_F(TextFileTest, AMissingFileOrFolderIsAReadErrorAndNotAnEmptyFile) {
    const auto missing = ReadTextFileLines(folder_ / "fehlt.mrp");
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.failure().kind, FailureKind::ReadError);
    // The cause first, then the path.
    EXPECT_EQ(
        FailureMessage(missing.failure()),
        "Die Datei konnte nicht gelesen werden: Datei oder Ordner nicht gefunden (Fehler 2) '" +
            (folder_ / "fehlt.mrp").string() + "'");
    const auto folder = ReadTextFileLines(folder_);
    ASSERT_FALSE(folder.ok());
    EXPECT_EQ(folder.failure().cause, "Der Pfad ist ein Ordner (Fehler 21)");
    EXPECT_TRUE(WriteTextFileLines(folder_ / "kein_ordner" / "tg.mrp", {"x"}).has_value());
}

}  // namespace
}  // namespace marelos
