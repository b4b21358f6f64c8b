#include "core/text/text_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace marelos {
namespace {

namespace fs = std::filesystem;

class TextFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("marelos_text_file_" +
                   std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    static void WriteBytes(const fs::path& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
    }
    static std::string ReadBytes(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    std::size_t FileCount() const {
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(folder_), fs::directory_iterator()));
    }

    fs::path folder_;
};

TEST_F(TextFileTest, ReadsWindows1252AndUtf8WithEitherLineEnd) {
    WriteBytes(folder_ / "alt.mrp",
               "30\t5\r\n# END OF PROFILE #\r\nOrt: \xDC"
               "berlingen 4 \xB0"
               "C\r\n");
    WriteBytes(folder_ / "neu.mrp", "30\t5\n# END OF PROFILE #\nOrt: Überlingen 4 °C");
    const std::vector<std::string> expected = {"30\t5", "# END OF PROFILE #",
                                               "Ort: Überlingen 4 °C"};
    const auto windows = ReadTextFileLines(folder_ / "alt.mrp");
    const auto unicode = ReadTextFileLines(folder_ / "neu.mrp");
    ASSERT_TRUE(windows.ok());
    ASSERT_TRUE(unicode.ok());
    EXPECT_EQ(windows.value(), expected);
    EXPECT_EQ(unicode.value(), expected);
}

TEST_F(TextFileTest, WritesWindows1252WithCrLfAndReadsItBack) {
    const std::vector<std::string> lines = {"Tiefe\tt", "", "Temperatur: 4 °C, Größe"};
    ASSERT_FALSE(WriteTextFileLines(folder_ / "tg.mrp", lines).has_value());
    EXPECT_EQ(ReadBytes(folder_ / "tg.mrp"),
              "Tiefe\tt\r\n\r\nTemperatur: 4 \xB0"
              "C, Gr\xF6\xDF"
              "e\r\n");
    EXPECT_EQ(ReadTextFileLines(folder_ / "tg.mrp").value(), lines);
    EXPECT_EQ(FileCount(), 1u);  // no temporary file is left behind
}

TEST_F(TextFileTest, ReplacesAnExistingFileWhole) {
    WriteBytes(folder_ / "tg.mrp", "eine viel laengere alte Zeile\r\nund noch eine\r\n");
    ASSERT_FALSE(WriteTextFileLines(folder_ / "tg.mrp", {"neu"}).has_value());
    EXPECT_EQ(ReadBytes(folder_ / "tg.mrp"), "neu\r\n");
}

TEST_F(TextFileTest, AFailedWriteLeavesTheOldFileUntouched) {
    // The temporary name beside a file with the longest possible name cannot be created,
    // which fails the write even for the superuser.
    const fs::path longest = folder_ / std::string(255, 'x');
    WriteBytes(longest, "alt\r\n");
    const auto failure = WriteTextFileLines(longest, {"neu"});
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->kind, FailureKind::WriteError);
    EXPECT_EQ(ReadBytes(longest), "alt\r\n");
    EXPECT_EQ(FileCount(), 1u);
    EXPECT_NE(FailureMessage(*failure).find("nicht geschrieben"), std::string::npos);
}

TEST_F(TextFileTest, AFileAboveTheLimitIsRefusedAndACutLastLineIsSeen) {
    WriteBytes(folder_ / "a.txt", "1234\r\n6789");
    const auto whole = ReadTextFile(folder_ / "a.txt", 10);
    ASSERT_TRUE(whole.ok());
    EXPECT_EQ(whole.value().lines, (std::vector<std::string>{"1234", "6789"}));
    EXPECT_FALSE(whole.value().lastLineEnded);
    const auto refused = ReadTextFileLines(folder_ / "a.txt", 9);
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.failure().kind, FailureKind::TooLarge);
    EXPECT_EQ(FailureMessage(refused.failure()),
              "Die Datei " + (folder_ / "a.txt").string() + " ist zu groß und wird nicht gelesen.");
    WriteBytes(folder_ / "b.txt", "1234\r");
    EXPECT_TRUE(ReadTextFile(folder_ / "b.txt").value().lastLineEnded);
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
