#include "platform/uddf_xml.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <algorithm>
#include <filesystem>
#include <fstream>

#include "core/exchange/uddf_export.h"
#include "core/exchange/uddf_import.h"
#include "core/profile/profile_file.h"
#include "core/settings/memory_settings_store.h"
#include "core/text/text_file.h"
#include "core/ui/unattended_ui.h"

namespace marelos {
namespace {

using ::testing::ElementsAre;

std::string DataFile(const std::string& name) {
    return std::string(MARELOS_SOURCE_DIR) + "/tests/data/" + name;
}

UddfLog Read(const std::string& name) {
    const Result<UddfLog> log = ReadUddfFile(DataFile(name));
    EXPECT_TRUE(log.ok()) << name;
    return log.ok() ? log.value() : UddfLog{};
}

TEST(UddfXml, ALogbookWithSeveralDivesIsReadWithItsLinksResolved) {
    const UddfLog log = Read("uddf_logbook_three_dives.uddf");
    ASSERT_EQ(log.dives.size(), 3u);  // two repetition groups
    const UddfDive& first = log.dives[0];
    EXPECT_EQ(first.number, "101");
    EXPECT_EQ(first.dateTime, "2024-06-01T10:05:00");
    EXPECT_EQ(first.site, "Walchensee, Galerie");
    EXPECT_EQ(first.buddy, "Peter Müller, Ute");
    EXPECT_EQ(first.notes, "Gute Sicht an der Galerie. Hecht am Ausstieg.");
    EXPECT_DOUBLE_EQ(*first.airTemperature, 295.15);
    EXPECT_DOUBLE_EQ(*first.lowestTemperature, 278.35);
    EXPECT_EQ(first.waypoints.size(), 10u);  // the tank's link and unknown elements are skipped
    EXPECT_EQ(ResampleToMinutes(log.dives[1], log.mixes).front(), (ImportedLine{2, 12, 67, 0}));
    EXPECT_EQ(ImportProblem(log.dives[2]), "ohne Profilpunkte");
}

TEST(UddfXml, TrimixWithTwoDecompressionGasesSwitchesInTheRightMinutes) {
    const UddfLog log = Read("uddf_trimix_two_deco_gases.uddf");
    EXPECT_THAT(ResampleToMinutes(log.dives.at(0), log.mixes),
                ElementsAre(ImportedLine{3, 60, 36, 45}, ImportedLine{20, 60, 36, 45},
                            ImportedLine{25, 21, 36, 45}, ImportedLine{27, 21, 49, 0},
                            ImportedLine{30, 9, 49, 0}, ImportedLine{31, 6, 49, 0},
                            ImportedLine{45, 6, 0, 0}, ImportedLine{46, 0, 0, 0}));
}

TEST(UddfXml, TwoSecondSamplesAndAVersion33FileWithoutNamespace) {
    const UddfLog dense = Read("uddf_two_second_samples.uddf");
    const std::vector<ImportedLine> lines = ResampleToMinutes(dense.dives.at(0), dense.mixes);
    ASSERT_EQ(lines.size(), 12u);
    EXPECT_EQ(lines[5], (ImportedLine{6, 19, 71, 0}));  // the bounce to 19.4 m in minute 6
    EXPECT_EQ(lines.back(), (ImportedLine{12, 0, 71, 0}));

    const UddfLog old = Read("uddf_version_330_no_namespace.uddf");
    ASSERT_EQ(old.dives.size(), 1u);
    EXPECT_EQ(old.dives[0].site, "Hemmoor");
    EXPECT_THAT(ResampleToMinutes(old.dives[0], old.mixes),
                ElementsAre(ImportedLine{1, 12, 78, 0}, ImportedLine{2, 15, 78, 0},
                            ImportedLine{3, 10, 78, 0}, ImportedLine{4, 0, 78, 0}));
}

TEST(UddfXml, DamagedForeignOrHugeFilesAreRefusedWithTheProgramsMessage) {
    for (const std::string& bytes :
         {std::string("<uddf><profiledata><repetitiongroup><dive><samples><waypoint>"),
          std::string("<?xml version=\"1.0\"?><html><body/></html>"), std::string(""),
          std::string("\xff\xfe garbage")}) {
        const Result<UddfLog> log = ParseUddf(bytes, "t.uddf");
        ASSERT_FALSE(log.ok()) << bytes;
        EXPECT_EQ(FailureMessage(log.failure()),
                  "Die Daten in t.uddf haben nicht das erwartete Format.");
    }
    // Entities that multiply themselves stop at the reader's expansion limit, and an outside
    // file named by an entity is never read.
    std::string bomb = "<!DOCTYPE uddf [<!ENTITY a \"aaaaaaaaaa\">";
    for (char c = 'b'; c <= 'j'; ++c) {
        std::string tenfold;
        for (int i = 0; i < 10; ++i)
            tenfold += std::string("&") + static_cast<char>(c - 1) + ";";
        bomb += std::string("<!ENTITY ") + c + " \"" + tenfold + "\">";
    }
    EXPECT_FALSE(ParseUddf(bomb + "]><uddf>&j;</uddf>", "b.uddf").ok());
    const Result<UddfLog> outside = ParseUddf(
        "<!DOCTYPE uddf [<!ENTITY x SYSTEM \"file:///etc/passwd\">]><uddf><divesite>"
        "<site id=\"s\"><name>&x;</name></site></divesite><profiledata><repetitiongroup><dive>"
        "<informationbeforedive><link ref=\"s\"/></informationbeforedive></dive>"
        "</repetitiongroup></profiledata></uddf>",
        "x.uddf");
    EXPECT_TRUE(!outside.ok() ||
                outside.value().dives.at(0).site.find("root") == std::string::npos);

    QTemporaryDir folder;
    const std::string huge = folder.filePath("huge.uddf").toStdString();
    std::ofstream(huge) << "<uddf>";
    std::filesystem::resize_file(huge, 100u * 1024 * 1024);
    const Result<UddfLog> refused = ReadUddfFile(huge);
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.failure().kind, FailureKind::TooLarge);
}

// The names of the elements below the root and along the path to the first waypoint.
std::vector<std::string> Outline(const std::string& document, QString* rootNamespace) {
    QXmlStreamReader xml(QByteArray::fromStdString(document));
    std::vector<std::string> names;
    int depth = 0;
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            ++depth;
            if (depth == 1) *rootNamespace = xml.namespaceUri().toString();
            const std::string name = xml.name().toString().toStdString();
            if (depth == 2 || (depth > 2 && names.back() != "waypoint" &&
                               std::string("repetitiongroup dive informationbeforedive samples "
                                           "waypoint")
                                       .find(name) != std::string::npos)) {
                if (depth == 2 || std::find(names.begin(), names.end(), name) == names.end())
                    names.push_back(name);
            }
        } else if (token == QXmlStreamReader::EndElement) {
            --depth;
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return names;
}

TEST(UddfXml, EveryExampleDiveComesBackAsTheSameLineTableFromAWellFormedExport) {
    for (const auto& entry :
         std::filesystem::directory_iterator(std::string(MARELOS_SOURCE_DIR) + "/examples")) {
        if (entry.path().extension() != ".mrp") continue;  // the DataTrak log is no profile
        InMemorySettingsStore store;
        UnattendedUi ui(Answer::No);
        Workspace workspace = WorkspaceFromSettings(Settings{});
        ASSERT_TRUE(ReadProfileFile(workspace, store, ui, entry.path().string()));
        const std::string document =
            UddfDocument(ExportLog(workspace.profile, {}, ReadDiveComment(entry.path()).value()));

        QString rootNamespace;
        EXPECT_THAT(
            Outline(document, &rootNamespace),
            ElementsAre("generator", "divesite", "gasdefinitions", "profiledata", "repetitiongroup",
                        "dive", "informationbeforedive", "samples", "waypoint"));
        EXPECT_EQ(rootNamespace, "http://www.streit.cc/uddf/3.2/");

        const Result<UddfLog> back = ParseUddf(document, "export");
        ASSERT_TRUE(back.ok());
        std::vector<ImportedLine> lines;
        for (int i = 1; i < workspace.profile.nextPoint; ++i) {
            const ProfileLine& line = workspace.profile.lines[i];
            lines.push_back({static_cast<int>(line.tTotal), static_cast<int>(line.depth),
                             static_cast<int>(line.n2Percent), static_cast<int>(line.hePercent)});
        }
        EXPECT_EQ(ResampleToMinutes(back.value().dives.at(0), back.value().mixes), lines)
            << entry.path();
        const std::vector<std::string> comment =
            ImportedCommentLines(back.value().dives.at(0), back.value().mixes);
        EXPECT_THAT(comment, ::testing::Contains("Ort: Beispiel")) << entry.path();
    }
}

}  // namespace
}  // namespace marelos
