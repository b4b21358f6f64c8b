#include "core/divecomputers/datatrak_log.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "core/text/text_file.h"
#include "tests/fakes/datatrak_log_builder.h"
#include "tests/fakes/golden.h"
#include "tests/fakes/temp_folder.h"

namespace marelos {
namespace {

using datatrak::LogBytes;
using datatrak::Record;
using datatrak::Samples;
using testing::Contains;
using testing::Not;

DatatrakConversion Convert(const std::string& log) {
    return ConvertDatatrakLog(log, "/logs/aladin.2004.log", "/tg/");
}

// The list, then each file's path and lines, then how the walk ended.
std::string Transcript(const DatatrakConversion& c) {
    std::string text = Joined(c.listLines);
    for (const DatatrakFile& file : c.files)
        text += "== " + file.path + "\n" + Joined(file.lines);
    return text + "=> " + std::to_string(static_cast<int>(c.outcome.end)) + " " +
           c.outcome.message + "\n";
}

// Dives numbered from 1 with one sample of 3 m each.
std::vector<Record> NumberedDives(std::size_t count) {
    std::vector<Record> dives(count);
    for (std::size_t i = 0; i < count; ++i) {
        dives[i].number = static_cast<int>(i + 1);
        dives[i].profile = Samples(7, {3});
    }
    return dives;
}

TEST(ConvertDosText, GermanLettersInBothCodePagesPrintableAsciiAndNothingElse) {
    EXPECT_EQ(ConvertDosText("\x81\xFC\x84\xE4\x8E\x94\xF6\x99\x9A\xA0\xDF\xE1"), "üüääÄööÖÜßßß");
    EXPECT_EQ(ConvertDosText(std::string("\x1F\x20~\x7F\x80\xFF\0z", 8)), " ~\x7Fz");
}

TEST(DateFromDays, CountsFromTheFirstOfJanuary1600) {
    EXPECT_EQ(DateFromDays(0).text, "01-01-1600");
    EXPECT_EQ(DateFromDays(109571).text, "30-12-1899");
    EXPECT_EQ(DateFromDays(109632).text, "01-03-1900");  // 1900 has no 29 February
    EXPECT_EQ(DateFromDays(146156).text, "29-02-2000");
    EXPECT_EQ(DateFromDays(4294967295UL).year, 11760821);  // no overflow
}

TEST(DatatrakImport, AnAirDiveIsListedAndWrittenWithItsComment) {
    Record dive;
    dive.country = "\x8Egypten";
    dive.site =
        "Stra\xE1"
        "e";
    dive.remarksB = "Str\x94mung";
    dive.profile = Samples(7, {0, 5, 12, 99, 12});
    dive.profile[14] = 0x0F;
    dive.profile[15] = 0xC0;
    // 0x0FC0: 9.8 m, of which the whole part counts; the texts in the DOS code page.
    ExpectGolden("golden/datatrak_air_dive.txt", Transcript(Convert(LogBytes({dive}))));
}

// Each record changes one field near a limit; the fields behind a changed text must still be
// found. The dive without air temperature lists no line for it.
TEST(DatatrakImport, FieldsAtTheirLimits) {
    std::vector<Record> dives = NumberedDives(5);
    dives[0].country = "";
    dives[0].remarksA = "";
    dives[0].remarksB = "Wrack";
    dives[1].air = 0x8000;
    dives[1].water = 3050;  // 30.5: 30 °C, halves to even
    dives[2].water = 3051;
    dives[2].interval = 6059;
    dives[3].interval = 6100;
    dives[3].water = 0xFFFF;
    dives[4].air = 32749;  // 327 °C: there, however implausible
    dives[4].depth = 2250;
    ExpectGolden("golden/datatrak_limits.txt", Transcript(Convert(LogBytes(dives))));
}

TEST(DatatrakImport, TheStrideWithFewestImplausibleDepthsWinsTheSmallerOnATie) {
    std::vector<Record> dives = NumberedDives(4);
    dives[0].profile = Samples(8, {4, 18, 25, 7});
    dives[1].profile = Samples(9, {4, 18, 25, 7});
    dives[2].profile = std::vector<std::uint8_t>(72, 0);  // every stride finds nothing implausible
    // Stride 7 finds two implausible groups, strides 8 and 9 one each: 8 wins.
    dives[3].profile = std::vector<std::uint8_t>(72, 0);
    dives[3].profile[0] = 0xE0;
    dives[3].profile[14] = 0xE0;
    // The stride-9 dive is listed, not written.
    ExpectGolden("golden/datatrak_strides.txt", Transcript(Convert(LogBytes(dives))));
}

TEST(DatatrakImport, ImplausibleRecordsAreSkippedAndTheHeaderCountEndsTheWalk) {
    std::vector<Record> dives = NumberedDives(7);
    dives[0].days = 138791;  // 31-12-1979
    dives[1].days = 153768;  // 01-01-2021
    dives[2].profileBytes = 0;
    dives[3].profileBytes = 3001;
    dives[4].profileBytes = 3000;
    dives[4].days = 138792;  // 01-01-1980
    dives[5].days = 153767;  // 31-12-2020
    // Two listed dives are more than the header's one: the seventh record is not read.
    ExpectGolden("golden/datatrak_skipped.txt", Transcript(Convert(LogBytes(dives, 1))));
}

TEST(DatatrakImport, TheLastRecordEndsWithTheLogACutOneIsListedNotSaved) {
    Record dive;
    dive.profile = Samples(7, {3, 6, 9, 12});
    const std::string whole = LogBytes({dive, dive});
    const std::string cutLine =
        "Die Datei endet in den Profildaten dieses Tauchgangs: er wird nicht gespeichert.";
    // The count of profile bytes reaches exactly to the end of the log: both dives are whole.
    const DatatrakConversion complete = Convert(whole);
    EXPECT_EQ(complete.files.size(), 2u);
    EXPECT_THAT(complete.listLines, Not(Contains(cutLine)));
    // Cut inside the second dive's samples: it is listed with the reason, but a file of its
    // first three samples would pass for the whole dive.
    const DatatrakConversion inSamples = Convert(whole.substr(0, whole.size() - 1));
    ASSERT_EQ(inSamples.files.size(), 1u);
    EXPECT_THAT(inSamples.listLines, Contains(cutLine));
    // Cut inside its remarks: the count of profile bytes is gone, so the dive is skipped.
    const DatatrakConversion inRemarks = Convert(whole.substr(0, whole.size() - 80));
    EXPECT_EQ(inRemarks.files.size(), 1u);
    EXPECT_EQ(inRemarks.outcome.end, DatatrakEnd::EndOfData);
    // Without the record mark behind the header the bytes are no log, whatever they hold.
    std::string noise(600, '\x1A');
    noise[6] = '\xB2';
    for (const std::string& bytes : {noise, whole.substr(0, 13), std::string()}) {
        const DatatrakConversion refused = Convert(bytes);
        EXPECT_EQ(refused.outcome.end, DatatrakEnd::Failed);
        EXPECT_EQ(refused.outcome.icon, MessageIcon::Critical);
        EXPECT_TRUE(refused.listLines.empty());
        EXPECT_EQ(refused.outcome.message,
                  "Die Datei /logs/aladin.2004.log ist kein Aladin-DataTrak-Log: die Kennung des "
                  "ersten Tauchgangs fehlt. Es wurde nichts umgewandelt.");
    }
}

// A disk that takes the first file and refuses the second.
struct FailingView : DatatrakView {
    void List(const std::string&) override {}
    std::optional<Failure> Write(const DatatrakFile& file) override {
        if (++writes == 2) return Failure{FailureKind::WriteError, file.path};
        return std::nullopt;
    }
    int writes = 0;
};

TEST(DatatrakImport, AWriteFailureStopsTheWalkAndKeepsTheFilesWritten) {
    Record dive;
    dive.profile = Samples(7, {3});
    FailingView view;
    const DatatrakOutcome failed =
        RunDatatrakImport(LogBytes({dive, dive, dive}), "a.log", "/tg", view);
    EXPECT_EQ(view.writes, 2);
    EXPECT_EQ(failed.icon, MessageIcon::Critical);
    EXPECT_EQ(failed.message,
              "Die Datei /tg/a Luft Datatrak TG 0007.mrp konnte nicht geschrieben werden. Die "
              "bisherige Datei bleibt unverändert. Umwandeln von a.log beendet. 1 Tauchgänge "
              "gespeichert.");
}

// Writes the files as the window does.
struct QuietView : DatatrakView {
    void List(const std::string&) override {}
};

TEST(DatatrakImport, ALogOf256000BytesOrMoreIsRefusedBeforeAnyDiveIsWritten) {
    const TempFolder temp("datatrak");
    const std::filesystem::path dir = temp.path();
    Record dive;
    dive.profile = Samples(7, {3});
    std::string log = LogBytes({dive}) + std::string("\xA0\0", 2);  // an empty record follows
    for (const std::size_t size : {kDatatrakMaxBytes - 1, kDatatrakMaxBytes, std::size_t{300000}}) {
        log.resize(size, '\0');
        const std::string path = PutFile(dir / "gross.log", log);
        QuietView view;
        const DatatrakOutcome outcome = ImportDatatrakFile(path, (dir / "tg").string(), view);
        if (size < kDatatrakMaxBytes) {
            EXPECT_EQ(outcome.written, 1);
            EXPECT_TRUE(std::filesystem::exists(dir / "tg" / "gross Luft Datatrak TG 0007.mrp"));
        } else {
            EXPECT_EQ(outcome.message, "Die Datei " + path +
                                           " ist größer als 256 kB. Zuwenig Speicherplatz "
                                           "vorhanden, Import wird abgebrochen.");
            EXPECT_EQ(outcome.icon, MessageIcon::Critical);
        }
        std::filesystem::remove_all(dir / "tg");
    }
}

}  // namespace
}  // namespace marelos
