#include "core/text/paths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/fakes/temp_folder.h"

namespace marelos {
namespace {

TEST(Paths, ShortenPathKeepsTheFirstTenCharactersAndTheFileName) {
    // 43 characters.
    EXPECT_EQ(ShortenPath("/home/daten/Tauchen/Profile/2003/Juni/tg12.mrp"),
              "/home/date.../tg12.mrp");
    const std::string thirty = "/home/taucher/profile/tg12.mrp";
    ASSERT_EQ(thirty.size(), 30u);
    EXPECT_EQ(ShortenPath(thirty), thirty);
    const std::string thirtyOne = "/home/taucher/profile/tg123.mrp";
    EXPECT_EQ(ShortenPath(thirtyOne), "/home/tauc.../tg123.mrp");
    // Long, but no folder in it.
    EXPECT_EQ(ShortenPath("ein_sehr_langer_dateiname_ohne_ordner.mrp"),
              "ein_sehr_langer_dateiname_ohne_ordner.mrp");
    // 30 characters with German letters are not shortened; the cut never splits a letter.
    EXPECT_EQ(ShortenPath("/home/jörg/Überlingen/tg12.mrp"), "/home/jörg/Überlingen/tg12.mrp");
    EXPECT_EQ(ShortenPath("/höhle/äöüß/Überlingen/2004/tg1.mrp"), "/höhle/äöü.../tg1.mrp");
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

}  // namespace
}  // namespace marelos
