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
#include "tests/fakes/golden.h"
#include "tests/fakes/transcript.h"

namespace marelos {
namespace {

// The four sample files as read: each dive's fields, its waypoints (links to tanks and unknown
// elements skipped) and its minute lines, gas switches and the bounce of a two-second log
// included, or why it cannot be imported.
TEST(UddfXml, TheSampleLogsAreReadAsTheirTranscriptSays) {
    std::string text;
    for (const char* name :
         {"uddf_logbook_three_dives.uddf", "uddf_trimix_two_deco_gases.uddf",
          "uddf_two_second_samples.uddf", "uddf_version_330_no_namespace.uddf"}) {
        const Result<UddfLog> log = ReadUddfFile(MARELOS_TEST_DATA "/" + std::string(name));
        ASSERT_TRUE(log.ok()) << name;
        text += std::string("# ") + name + "\n";
        const auto kelvin = [](const std::optional<double>& value) {
            return value ? QString::number(*value, 'g', 6).toStdString() : "-";
        };
        for (const UddfDive& dive : log.value().dives) {
            text += dive.number + "|" + dive.dateTime + "|" + dive.site + "|" + dive.buddy + "|" +
                    dive.notes + "|" + kelvin(dive.airTemperature) + "|" +
                    kelvin(dive.lowestTemperature) + "|" + std::to_string(dive.waypoints.size()) +
                    " Punkte|" + ImportProblem(dive).value_or("") + "\n";
            for (const ImportedLine& line : ResampleToMinutes(dive, log.value().mixes))
                text += "  " + std::to_string(line.minute) + " min " + std::to_string(line.depth) +
                        " m " + std::to_string(line.n2Percent) + "/" +
                        std::to_string(line.hePercent) + "\n";
        }
    }
    ExpectGolden("uddf/read.txt", text);
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

// Each example dive exported: the outline of the document (each element's name, indented by its
// depth, where it first appears at that depth; below the root every one) and its namespace, and the
// line table read back.
TEST(UddfXml, EveryExampleDiveComesBackAsTheSameLineTableFromAWellFormedExport) {
    std::vector<std::filesystem::path> examples;
    for (const auto& entry : std::filesystem::directory_iterator(MARELOS_SOURCE_DIR "/examples"))
        if (entry.path().extension() == ".mrp") examples.push_back(entry.path());  // no log
    std::sort(examples.begin(), examples.end());
    Transcript t;
    for (const std::filesystem::path& example : examples) {
        InMemorySettingsStore store;
        UnattendedUi ui(Answer::No);
        Workspace workspace = WorkspaceFromSettings(Settings{});
        ASSERT_TRUE(ReadProfileFile(workspace, store, ui, example.string()));
        const std::string document =
            UddfDocument(ExportLog(workspace.profile, {}, ReadDiveComment(example).value()));
        QXmlStreamReader xml(QByteArray::fromStdString(document));
        QStringList outline;
        for (int depth = 0; !xml.atEnd();) {
            const auto token = xml.readNext();
            depth += token == QXmlStreamReader::StartElement ? 1
                     : token == QXmlStreamReader::EndElement ? -1
                                                             : 0;
            const QString name = QString(depth, ' ') + xml.name().toString() +
                                 (depth == 1 ? " " + xml.namespaceUri().toString() : QString());
            if (token == QXmlStreamReader::StartElement && (depth <= 2 || !outline.contains(name)))
                outline << name;
        }
        EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
        t.Note(example.filename().string(), outline);

        const Result<UddfLog> back = ParseUddf(document, "export");
        ASSERT_TRUE(back.ok());
        std::vector<ImportedLine> lines;
        for (int i = 1; i < workspace.profile.nextPoint; ++i) {
            const ProfileLine& line = workspace.profile.lines[i];
            lines.push_back({static_cast<int>(line.tTotal), static_cast<int>(line.depth),
                             static_cast<int>(line.n2Percent), static_cast<int>(line.hePercent)});
        }
        EXPECT_EQ(ResampleToMinutes(back.value().dives.at(0), back.value().mixes), lines)
            << example;
        EXPECT_THAT(ImportedCommentLines(back.value().dives.at(0), back.value().mixes),
                    ::testing::Contains("Ort: Beispiel"))
            << example;
    }
}

}  // namespace
}  // namespace marelos
