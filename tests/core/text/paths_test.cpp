#include "core/text/paths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/app_info.h"
#include "tests/fakes/golden.h"
#include "tests/fakes/temp_folder.h"
#include "tests/fakes/transcript.h"

namespace marelos {
namespace {

// The paths of tests/data/shortened_paths.tsv as the caption shows them.
TEST(Paths, ShortenPathKeepsTheFirstTenCharactersAndTheFileName) {
    for (const std::vector<std::string>& row : DataRows("shortened_paths.tsv"))
        EXPECT_EQ(ShortenPath(row[0]), row.at(1)) << row[0];
}

// Hidden and read-only files still count as existing, a folder is not a file. The title before
// its "(" keeps its blank, and the build text brings its own; the caption shows the status and
// the shortened file name.
TEST(Paths, WildcardsExistingFilesAndTheNamesInTheCaption) {
    Transcript t;
    t.Note("Platzhalter in *.mrp, tg?.mrp, /tmp/tg1.mrp", HasWildcards("*.mrp"),
           HasWildcards("tg?.mrp"), HasWildcards("/tmp/tg1.mrp"));
    const TempFolder temp("paths");
    const auto& folder = temp.path();
    const auto file = folder / ".versteckt.mrp";
    std::ofstream(file) << "0\t0\r\n";
    std::filesystem::permissions(file, std::filesystem::perms::owner_read);
    t.Note("vorhanden: .versteckt.mrp, der Ordner, fehlt.mrp, leer, *.mrp",
           FileExists(file.string()), FileExists(folder.string()),
           FileExists((folder / "fehlt.mrp").string()), FileExists(""),
           FileExists((folder / "*.mrp").string()));
    t.Note("Namen", ApplicationName(), TitleWithoutBuild(), TitleBeforeParenthesis(), BuildLine());
    t.Note("Titelzeile", WindowCaption("", ""), WindowCaption("geändert", ""),
           WindowCaption("", "/home/daten/Tauchen/Profile/2003/Juni/tg12.mrp"));
}

}  // namespace
}  // namespace marelos
