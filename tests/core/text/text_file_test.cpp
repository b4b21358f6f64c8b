#include "core/text/text_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <iterator>

#include "core/text/file_replacement.h"
#include "tests/fakes/temp_folder.h"
#include "tests/fakes/transcript.h"

namespace marelos {
namespace {

namespace fs = std::filesystem;

// Line ends and bytes beyond ASCII as \r, \n and \xHH, so that a file's bytes stay on one line.
std::string Escaped(const std::string& bytes) {
    std::string text;
    for (const char c : bytes) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned char>(c));
        text += c == '\r' ? "\\r" : c == '\n' ? "\\n" : (c & 0x80) != 0 ? hex : std::string(1, c);
    }
    return text;
}

class TextFileTest : public ::testing::Test {
  protected:
    TextFileTest() { t.Mask(folder_.string(), "<dir>"); }

    std::size_t FileCount() const {
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(folder_), fs::directory_iterator()));
    }

    // One note: the failure (its kind and message) or "ok", then the bytes of `file` and the
    // number of files in the folder.
    void Note(const char* step, const std::optional<Failure>& failure, const fs::path& file) {
        t.Note(step,
               failure ? std::to_string(static_cast<int>(failure->kind)) + " " +
                             FailureMessage(*failure)
                       : "ok",
               fs::exists(file) ? Escaped(FileBytes(file)) : "(fehlt)", FileCount());
    }
    template <class T>
    static std::optional<Failure> FailureOf(const Result<T>& result) {
        return result.ok() ? std::nullopt : std::optional<Failure>(result.failure());
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
    const fs::path file_ = folder_ / "tg.mrp";
    Transcript t;
};

// Written in Windows-1252 with CR LF over the whole old file, leaving no temporary file behind;
// read back, and read also as UTF-8 with LF.
TEST_F(TextFileTest, WritesWindows1252WithCrLfKeepingPermissionsAndLinksAndReadsEitherCode) {
    PutFile(file_, "eine viel laengere alte Zeile\r\nund noch eine\r\nund noch eine\r\n");
    const std::vector<std::string> lines = {"Tiefe\tt", "", "Temperatur: 4 °C, Größe"};
    Note("geschrieben", WriteTextFileLines(file_, lines), file_);
    EXPECT_EQ(ReadTextFileLines(file_).value(), lines);
    PutFile(file_, "Tiefe\tt\n\nTemperatur: 4 °C, Größe");
    EXPECT_EQ(ReadTextFileLines(file_).value(), lines);

    // The replaced file keeps its permissions, and a link keeps pointing to it.
    fs::permissions(file_, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink("tg.mrp", folder_ / "verweis.mrp");
    Note("über den Verweis", WriteTextFileLines(folder_ / "verweis.mrp", {"neu"}), file_);
    EXPECT_TRUE(fs::is_symlink(folder_ / "verweis.mrp"));
    EXPECT_EQ(PermissionsOf(file_),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    // A link to a file that does not exist yet creates it.
    fs::create_symlink("neu.mrp", folder_ / "vorwaerts.mrp");
    Note("Verweis auf eine neue Datei", WriteTextFileLines(folder_ / "vorwaerts.mrp", {"x"}),
         folder_ / "neu.mrp");
}

// A failed write leaves the old file untouched: the temporary name beside a file with the longest
// possible name cannot be created, which fails the write even for the superuser. Where there was
// no file, nothing stays as it was. Above the size limit a file is refused; a cut last line is
// seen; a missing file or a folder is a read error, not an empty file.
TEST_F(TextFileTest, FailedWritesAndReads) {
    const fs::path longest = folder_ / std::string(255, 'x');
    PutFile(longest, "alt\r\n");
    Note("Name von 255 Zeichen", WriteTextFileLines(longest, {"neu"}), longest);
    fs::remove(longest);
    Note("dasselbe ohne bisherige Datei", WriteTextFileLines(longest, {"neu"}), longest);

    PutFile(folder_ / "a.txt", "1234\r\n6789");
    const auto whole = ReadTextFile(folder_ / "a.txt", 10);
    t.Note("10 Bytes erlaubt: Zeilen, letzte beendet", whole.value().lines,
           whole.value().lastLineEnded);
    Note("9 Bytes erlaubt", FailureOf(ReadTextFileLines(folder_ / "a.txt", 9)), folder_ / "a.txt");
    PutFile(folder_ / "b.txt", "1234\r");
    t.Note("1234 CR: letzte beendet", ReadTextFile(folder_ / "b.txt").value().lastLineEnded);

    Note("fehlt", FailureOf(ReadTextFileLines(folder_ / "fehlt.mrp")), folder_ / "fehlt.mrp");
    const auto folder = ReadTextFileLines(folder_);
    ASSERT_FALSE(folder.ok());
    t.Note("ein Ordner", folder.failure().cause);
    EXPECT_TRUE(WriteTextFileLines(folder_ / "kein_ordner" / "tg.mrp", {"x"}).has_value());
}

TEST_F(TextFileTest, ATextTheCodePageCannotHoldOrAReadOnlyFileIsRefusedAndTheFileStays) {
    PutFile(file_, "alt\r\n");
    const auto unrepresentable = WriteTextFileLines(file_, {"Ort: Łódź", "Fisch: 🐠"});
    Note("Łódź und ein Fisch", unrepresentable, file_);
    ASSERT_TRUE(unrepresentable.has_value());
    t.Note("das Zeichen", unrepresentable->subject);

    fs::permissions(file_, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    Note("schreibgeschützt", WriteTextFileLines(file_, {"neu"}), file_);

    // Writable by its owner only: another user may not replace it, although the folder would
    // let them; their own files they replace with the permissions the files had.
    fs::permissions(file_, fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read);
    EXPECT_TRUE(AsUnprivilegedUser([&] {
        const auto refused = WriteTextFileLines(file_, {"neu"});
        if (!refused || refused->kind != FailureKind::ReadOnly) return false;
        const fs::path own = folder_ / "eigen.mrp";
        if (WriteTextFileLines(own, {"1"})) return false;
        fs::permissions(own, fs::perms::owner_read | fs::perms::owner_write);
        return !WriteTextFileLines(own, {"2"}) && FileBytes(own) == "2\r\n" &&
               PermissionsOf(own) == (fs::perms::owner_read | fs::perms::owner_write);
    }));
    Note("ein anderer Benutzer", std::nullopt, file_);
}

TEST_F(TextFileTest, TheTemporaryFileOfACrashedSaveIsReplacedButNotOneInUse) {
    const fs::path temporary = folder_ / "tg.mrp.marelos-tmp";
    PutFile(file_, "alt\r\n");
    PutFile(temporary, "halb");
    Note("neben der Rest eines abgestürzten Speicherns", WriteTextFileLines(file_, {"neu"}), file_);

    // A save still running holds its temporary file locked.
    PutFile(temporary, "laeuft");
    const int running = ::open(temporary.c_str(), O_RDONLY);
    ASSERT_EQ(::flock(running, LOCK_EX), 0);
    EXPECT_TRUE(WriteTextFileLines(file_, {"zweiter"}).has_value());
    t.Note("während einer läuft: beim Start entfernt", RemoveStaleTemporaryFiles(folder_));
    ::close(running);
    Note("danach", std::nullopt, temporary);
    Note("die Datei", std::nullopt, file_);
    // A killed save that no later save of the same file clears up goes at the next start.
    t.Note("beim nächsten Start entfernt", RemoveStaleTemporaryFiles(folder_));
    t.Note("Dateien", FileCount());

    // A link planted at the temporary name is never followed.
    PutFile(folder_ / "fremd", "fremd");
    fs::create_symlink("fremd", temporary);
    EXPECT_TRUE(WriteTextFileLines(file_, {"neu"}).has_value());
    EXPECT_EQ(FileBytes(folder_ / "fremd"), "fremd");
}

}  // namespace
}  // namespace marelos
