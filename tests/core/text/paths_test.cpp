#include "core/text/paths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/app_info.h"
#include "tests/fakes/golden.h"
#include "tests/fakes/temp_folder.h"

namespace marelos {
namespace {

// The paths of tests/data/shortened_paths.tsv as the caption shows them.
TEST(Paths, ShortenPathKeepsTheFirstTenCharactersAndTheFileName) {
    for (const std::vector<std::string>& row : DataRows("shortened_paths.tsv"))
        EXPECT_EQ(ShortenPath(row[0]), row.at(1)) << row[0];
}

TEST(Paths, WildcardsAndExistingFiles) {
    EXPECT_TRUE(HasWildcards("*.mrp"));
    EXPECT_TRUE(HasWildcards("tg?.mrp"));
    EXPECT_FALSE(HasWildcards("/tmp/tg1.mrp"));

    const TempFolder temp("paths");
    const auto& folder = temp.path();
    const auto file = folder / ".versteckt.mrp";
    std::ofstream(file) << "0\t0\r\n";
    std::filesystem::permissions(file, std::filesystem::perms::owner_read);
    EXPECT_TRUE(FileExists(file.string()));     // hidden and read-only still count
    EXPECT_FALSE(FileExists(folder.string()));  // a folder is not a file
    EXPECT_FALSE(FileExists((folder / "fehlt.mrp").string()));
    EXPECT_FALSE(FileExists(""));
    EXPECT_FALSE(FileExists((folder / "*.mrp").string()));
}

TEST(AppInfo, NamesAndCaptionDeriveFromTheProgramTitleAndVersion) {
    EXPECT_EQ(ApplicationName(), "Marelos31");
    EXPECT_EQ(TitleWithoutBuild(), "Marelos 3 Beta");
    EXPECT_EQ(TitleBeforeParenthesis(), "Marelos 3 Beta ");
    // The title before its "(" keeps its blank, and the build text brings its own.
    EXPECT_EQ(BuildLine(), "Marelos 3 Beta  (Build 3.1.0)");
    // The caption shows the status and the shortened file name.
    EXPECT_EQ(WindowCaption("", ""), "Marelos 3 Beta - Unbenannte Datei");
    EXPECT_EQ(WindowCaption("geändert", ""), "Marelos 3 Beta - geändert - Unbenannte Datei");
    EXPECT_EQ(WindowCaption("", "/home/daten/Tauchen/Profile/2003/Juni/tg12.mrp"),
              "Marelos 3 Beta - /home/date.../tg12.mrp");
}

}  // namespace
}  // namespace marelos
