#include "core/divecomputers/datatrak_log.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/text/text_file.h"
#include "tests/fakes/datatrak_log_builder.h"
#include "tests/fakes/golden.h"
#include "tests/fakes/temp_folder.h"
#include "tests/fakes/transcript.h"

namespace marelos {
namespace {

using datatrak::LogBytes;
using datatrak::Record;
using datatrak::Samples;

DatatrakConversion Convert(const std::string& log) {
    return ConvertDatatrakLog(log, "/logs/aladin.2004.log", "/tg/");
}

// The list, then each file's path and lines, then how the walk ended.
std::string Listed(const DatatrakConversion& c) {
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

// German letters in both code pages, printable ASCII and nothing else. Dates count from the first
// of January 1600: 1900 has no 29 February; the largest count does not overflow.
TEST(DatatrakImport, DosTextAndDates) {
    EXPECT_EQ(ConvertDosText("\x81\xFC\x84\xE4\x8E\x94\xF6\x99\x9A\xA0\xDF\xE1"), "üüääÄööÖÜßßß");
    EXPECT_EQ(ConvertDosText(std::string("\x1F\x20~\x7F\x80\xFF\0z", 8)), " ~\x7Fz");
    Transcript t;
    for (const unsigned long days : {0UL, 109571UL, 109632UL, 146156UL})
        t.Note("Tage", days, DateFromDays(days).text);
    t.Note("Jahr", DateFromDays(4294967295UL).year);
}

// An air dive listed and written with its comment; records that each change one field near a
// limit; the strides of the samples; implausible records, skipped, and the header's count, which
// ends the walk.
TEST(DatatrakImport, LogsAgainstTheirTranscript) {
    Transcript t;
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
    t.Note(Listed(Convert(LogBytes({dive}))));

    // The fields behind a changed text must still be found. The dive without air temperature
    // lists no line for it.
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
    t.Note(Listed(Convert(LogBytes(dives))));

    // The stride with the fewest implausible depths wins, the smaller on a tie.
    dives = NumberedDives(4);
    dives[0].profile = Samples(8, {4, 18, 25, 7});
    dives[1].profile = Samples(9, {4, 18, 25, 7});
    dives[2].profile = std::vector<std::uint8_t>(72, 0);  // every stride finds nothing implausible
    // Stride 7 finds two implausible groups, strides 8 and 9 one each: 8 wins.
    dives[3].profile = std::vector<std::uint8_t>(72, 0);
    dives[3].profile[0] = 0xE0;
    dives[3].profile[14] = 0xE0;
    // The stride-9 dive is listed, not written.
    t.Note(Listed(Convert(LogBytes(dives))));

    dives = NumberedDives(7);
    dives[0].days = 138791;  // 31-12-1979
    dives[1].days = 153768;  // 01-01-2021
    dives[2].profileBytes = 0;
    dives[3].profileBytes = 3001;
    dives[4].profileBytes = 3000;
    dives[4].days = 138792;  // 01-01-1980
    dives[5].days = 153767;  // 31-12-2020
    // Two listed dives are more than the header's one: the seventh record is not read.
    t.Note(Listed(Convert(LogBytes(dives, 1))));
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

// Writes the files as the window does.
struct QuietView : DatatrakView {
    void List(const std::string&) override {}
};

// The last record ends with the log; a cut one is listed, not saved. Without the record mark
// behind the header the bytes are no log, whatever they hold. A disk that refuses the second
// file stops the walk and keeps the first; a log of 256000 bytes or more is refused before any
// dive is written.
TEST(DatatrakImport, CutLogsNoLogsAFullDiskAndALogTooLarge) {
    Transcript t;
    Record dive;
    dive.profile = Samples(7, {3, 6, 9, 12});
    const std::string whole = LogBytes({dive, dive});
    const auto note = [&](const char* what, const DatatrakConversion& c) {
        t.Note(what, c.files.size(), static_cast<int>(c.outcome.icon)).Note(Listed(c));
    };
    // The count of profile bytes reaches exactly to the end of the log: both dives are whole.
    note("ganz", Convert(whole));
    // Cut inside the second dive's samples: a file of its first three samples would pass for the
    // whole dive. Cut inside its remarks: the count of profile bytes is gone, the dive skipped.
    note("in den Proben", Convert(whole.substr(0, whole.size() - 1)));
    note("in den Bemerkungen", Convert(whole.substr(0, whole.size() - 80)));
    std::string noise(600, '\x1A');
    noise[6] = '\xB2';
    for (const std::string& bytes : {noise, whole.substr(0, 13), std::string()})
        note("kein Log", Convert(bytes));

    dive.profile = Samples(7, {3});
    FailingView failing;
    const DatatrakOutcome failed =
        RunDatatrakImport(LogBytes({dive, dive, dive}), "a.log", "/tg", failing);
    t.Note("Platte voll", failing.writes, static_cast<int>(failed.icon), failed.message);

    const TempFolder temp("datatrak");
    const std::filesystem::path dir = temp.path();
    t.Mask(dir.string(), "<dir>");
    std::string log = LogBytes({dive}) + std::string("\xA0\0", 2);  // an empty record follows
    for (const std::size_t size : {kDatatrakMaxBytes - 1, kDatatrakMaxBytes, std::size_t{300000}}) {
        log.resize(size, '\0');
        const std::string path = PutFile(dir / "gross.log", log);
        QuietView view;
        const DatatrakOutcome outcome = ImportDatatrakFile(path, (dir / "tg").string(), view);
        t.Note("Größe", size, outcome.written, static_cast<int>(outcome.icon), outcome.message,
               std::filesystem::exists(dir / "tg" / "gross Luft Datatrak TG 0007.mrp"));
        std::filesystem::remove_all(dir / "tg");
    }
}

}  // namespace
}  // namespace marelos
