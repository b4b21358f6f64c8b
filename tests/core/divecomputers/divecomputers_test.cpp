#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>

#include "core/divecomputers/datatrak_log.h"
#include "core/divecomputers/kora_eeprom.h"
#include "core/divecomputers/kora_link.h"
#include "core/divecomputers/vyper_dive.h"
#include "core/divecomputers/vyper_link.h"
#include "core/text/text_file.h"
#include "tests/fakes/datatrak_log_builder.h"
#include "tests/fakes/fake_kora.h"
#include "tests/fakes/fake_vyper.h"
#include "tests/fakes/golden.h"
#include "tests/fakes/profile_notes.h"
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
// of January 1600: 1900 has no 29 February; the largest count does not overflow. An air dive
// listed and written with its comment; records that each change one field near a limit; the
// strides of the samples; implausible records, skipped, and the header's count, which ends the
// walk.
TEST(DatatrakImport, LogsAgainstTheirTranscript) {
    EXPECT_EQ(ConvertDosText("\x81\xFC\x84\xE4\x8E\x94\xF6\x99\x9A\xA0\xDF\xE1"), "üüääÄööÖÜßßß");
    EXPECT_EQ(ConvertDosText(std::string("\x1F\x20~\x7F\x80\xFF\0z", 8)), " ~\x7Fz");
    Transcript t;
    for (const unsigned long days : {0UL, 109571UL, 109632UL, 146156UL})
        t.Note("Tage", days, DateFromDays(days).text);
    t.Note("Jahr", DateFromDays(4294967295UL).year);
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
    dives[0].country = "", dives[0].remarksA = "", dives[0].remarksB = "Wrack";
    dives[1].air = 0x8000, dives[1].water = 3050;  // 30.5: 30 °C, halves to even
    dives[2].water = 3051, dives[2].interval = 6059;
    dives[3].interval = 6100, dives[3].water = 0xFFFF;
    dives[4].air = 32749, dives[4].depth = 2250;  // 327 °C: there, however implausible
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
    // Dives of one number each get a file of their own, none replaces another.
    dives = NumberedDives(3);
    for (Record& same : dives)
        same.number = 7;
    for (const DatatrakFile& file : Convert(LogBytes(dives)).files)
        t.Note("Datei", file.path);
}

// Writes the files as the window does; a full disk refuses the second.
struct DiskView : DatatrakView {
    void List(const std::string&) override {}
    std::optional<Failure> Write(const DatatrakFile& file) override {
        if (full && ++writes == 2) return Failure{FailureKind::WriteError, file.path};
        return full ? std::nullopt : DatatrakView::Write(file);
    }
    bool full = false;
    int writes = 0;
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
    DiskView failing;
    failing.full = true;
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
        DiskView view;
        const DatatrakOutcome outcome = ImportDatatrakFile(path, (dir / "tg").string(), view);
        t.Note("Größe", size, outcome.written, static_cast<int>(outcome.icon), outcome.message,
               std::filesystem::exists(dir / "tg" / "gross Luft Datatrak TG 0007.mrp"));
        std::filesystem::remove_all(dir / "tg");
    }
}

// Requests carry the address low byte first and XOR checksums. A silent device ends the load
// after three unanswered reads in a row; late replies, a lost port and the deadline end it early.
TEST(KoraLink, RequestsAndASilentDevice) {
    Transcript t;
    const auto bytes = [](const auto& frame) {
        return std::vector<int>(frame.begin(), frame.end());
    };
    t.Note("Lesen, Schreiben", bytes(KoraReadRequest(300)), bytes(KoraWriteRequest(300, 7)));
    // The reply, one whose checksum does not fit, a short one.
    const std::uint8_t reply[] = {7, 200 ^ 44 ^ 1 ^ 7, 200 ^ 44 ^ 1};
    t.Note("Antworten", KoraReplyValue(300, std::span(reply, 2)),
           KoraReplyValue(300, std::span(reply + 1, 2)), KoraReplyValue(300, std::span(reply, 1)));
    // The clock: hour, minute, day, month, year in two digits.
    for (const KoraWrite& w : KoraClockWrites({6, 12, 2026, 4, 9}))
        t.Note("Uhr", w.address, w.value);
    FakeKora device;
    device.silentFrom = 50;
    device.eeprom[10] = kKoraDiveStart;  // a whole dive, and one cut off by the silence
    device.eeprom[20] = kKoraDiveEnd;
    device.eeprom[40] = kKoraDiveStart;
    int waits = 0;
    KoraLink link(device, [&](std::size_t count, int ms) {
        EXPECT_EQ(count, 2u);
        EXPECT_EQ(ms, kKoraReplyTimeoutMs);
        ++waits;
    });
    int lastProgress = -1;
    const KoraLoad load = LoadKoraEeprom(link, [&](int address) {
        lastProgress = address;
        return true;
    });
    t.Note("Ende, Fortschritt, Wartezeiten", static_cast<int>(load.end), lastProgress, waits);
    t.Note("Bytes 49 und 50", load.image[49], load.image[50]);
    // The cut-off dive is not listed as if it were whole; a whole memory lists a dive without
    // end byte too.
    KoraLoad ended = load;
    ended.image[45] = kKoraDiveEnd;
    t.Note("Tauchgänge: abgeschnitten, mit Endbyte", ListedKoraDives(load), ListedKoraDives(ended));
    ended.image[45] = 0;
    ended.end = KoraLoadEnd::Complete;
    t.Note("Tauchgänge im ganzen Speicher", ListedKoraDives(ended));
    // One answer in between starts the count anew.
    device.silentFrom = kKoraEepromSize;
    const int byte = link.ReadEepromByte(1);
    t.Note("Byte 1, Fehler danach", byte, link.FailedReads());

    // Replies that come too late for their read, a port that goes away and a load that takes too
    // long all end the load within a few reads, each with its own message, and list no dive (the
    // dive begun has no end byte yet).
    const std::pair<const char*, std::function<void(FakeKora&)>> cases[] = {
        {"eine Antwort je Lesen zu spät", [](FakeKora& d) { d.lagging = true; }},
        {"Anschluss weg", [](FakeKora& d) { d.lostFrom = 7; }},
        {"jede Antwort 100 ms", [](FakeKora&) {}},
    };
    for (const auto& [fault, damage] : cases) {
        FakeKora slow;
        slow.eeprom[2] = kKoraDiveStart;
        damage(slow);
        long long now = 0;
        KoraLink slowLink(
            slow, [&](std::size_t, int) { now += 100; }, kKoraReplyTimeoutMs, [&] { return now; });
        const KoraLoad load = LoadKoraEeprom(
            slowLink, [](int) { return true; }, 1000);
        const KoraLoadReport report = ReportKoraLoad(load);
        t.Note(fault, static_cast<int>(load.end), load.read, report.failed, report.message,
               report.dives);
    }
}

TEST(KoraLink, AFailedByteMarksItsDiveIncompleteAndOutsideTheDivesOneMayBeMissing) {
    KoraLoad load;
    load.image.fill(0);
    load.read = kKoraEepromSize;
    const std::vector<int> dives = {229, 12, 7, 0, 230, 229, 15, 7, 0, 230, 229, 9, 7, 0, 230};
    std::copy(dives.begin(), dives.end(), load.image.begin() + 100);
    const auto report = [&] {
        const KoraLoadReport r = ReportKoraLoad(load);
        return (r.failed ? "failed: " : "ok: ") + r.message + "\n" + Joined(r.dives) +
               "dive 2: " + KoraIncompleteDiveMessage(load.image, 2) + "\n";
    };
    std::string text = report();
    load.image[102] = -1;  // a byte of dive 1 that is no depth
    load.image[109] = -1;  // the end byte of dive 2: it would run into dive 3
    text += report();
    // A failed start byte hides its dive; only the failed byte outside every dive tells of it.
    load.image[102] = 0;
    load.image[109] = 230;
    load.image[105] = -1;
    ExpectGolden("golden/kora_load_reports.txt", text + report());
}

TEST(KoraEeprom, ADiveTakesOneMinutePerDepthAndSkipsSamplesWithoutDepth) {
    // Two dives: 12 m then 15 m; and 20 m (its read failed), 255 (no depth), 18 m. The other two
    // bytes of a sample are no depth, whatever they hold.
    KoraEeprom image = EmptyKoraEeprom();
    const std::vector<int> dives = {229, 12, 7,   0, 15, 201, 0, 230, 229, -1,
                                    7,   0,  255, 7, 0,  18,  7, 0,   230};
    std::copy(dives.begin(), dives.end(), image.begin() + 100);
    ASSERT_EQ(CountKoraDives(image), 2);
    // The end byte stands where the next sample would begin; the deepest point 10 m above the
    // time axis.
    Transcript t;
    for (int n = 0; n <= 3; ++n) {
        const auto dive = KoraDiveProfile(image, n);
        std::vector<std::string> lines;
        for (std::size_t i = 1; dive && i < dive->lines.size(); ++i)
            lines.push_back(LineText(dive->lines[i]));
        for (int i = 1; dive && i < dive->nextPoint; ++i)
            lines.push_back(PointText(dive->points.at(static_cast<std::size_t>(i))));
        if (dive) t.Note("Tauchgang", n, lines, dive->nextPoint, dive->maxHScale, dive->maxVScale);
        if (!dive) t.Note("Tauchgang", n, "keiner");
    }
    // A start byte at address 0 is listed but not shown, as the show command searches from 1 on.
    image = EmptyKoraEeprom();
    const int none = CountKoraDives(image);
    image[0] = kKoraDiveStart;
    t.Note("Startbyte bei 0: vorher, nachher, gezeigt", none, CountKoraDives(image),
           KoraDiveProfile(image, 1).has_value());

    // An image file holds numbers or raw bytes: one too many or too few, 256 or one byte short
    // are none.
    std::string numbers;
    for (int i = 0; i < kKoraEepromSize; ++i)
        numbers += (i == 5 ? "-1" : std::to_string(i % 256)) + (i % 16 == 15 ? "\n" : " ");
    const auto parsed = ParseKoraEeprom(numbers);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(ParseKoraEeprom(KoraEepromText(*parsed)), parsed);
    const std::string raw(kKoraEepromSize, '\xE5');
    t.Note("Zahlen: 5, 4096; roh: Tauchgänge", (*parsed)[5], (*parsed)[4096],
           CountKoraDives(*ParseKoraEeprom(raw)));
    t.Note("keine Abbilder", ParseKoraEeprom(raw.substr(1)).has_value(),
           ParseKoraEeprom(numbers + " 1").has_value(),
           ParseKoraEeprom(numbers.substr(0, numbers.size() - 3)).has_value(),
           ParseKoraEeprom("256" + numbers.substr(1)).has_value());
}

TEST(KoraEeprom, SettingsAreReadInTheDevicesOrderIntoTheFields) {
    FakeKora device;
    const std::vector<int> settings = {245, 3,   44,  1,   238, 2,  79,   68,   64,  12,
                                       0,   14,  23,  8,   24,  42, 15,   5,    2,   10,
                                       2,   '2', '.', '1', 57,  0,  0x38, 0x0C, 157, 1};
    std::copy(settings.begin(), settings.end(), device.eeprom.begin());
    device.badChecksum = {2};
    std::vector<int> order;
    KoraLink link(device, [](std::size_t, int) {});
    const auto fields = ReadKoraSettings(
        [&](int address) {
            order.push_back(address);
            return link.ReadEepromByte(address);
        },
        ",");
    Transcript t;  // the failed byte as "?", the locale's separator
    t.Note("Reihenfolge", order);
    for (const auto& field : fields)
        t.Note(field.name, field.text, field.checkBox);
    device.eeprom[20] = 1;
    EXPECT_EQ(ReadKoraSettings([&](int a) { return link.ReadEepromByte(a); }, ".")[8].text, "1");
}

namespace fs = std::filesystem;

// Three dives of the stored example a few minutes apart, newest first.
FakeVyper DeviceWithDives() {
    std::ifstream in(MARELOS_TEST_DATA "/vyper_dive_nitrox.txt");
    std::vector<std::uint8_t> stored;
    for (int value = 0; in >> value;)
        stored.push_back(static_cast<std::uint8_t>(value));
    FakeVyper device;
    for (int minute : {50, 40, 30}) {
        auto dive = stored;
        dive[dive.size() - 14] = static_cast<std::uint8_t>(minute);
        device.dives.push_back(dive);
    }
    return device;
}

// A download (or the reading of the settings) run to its end: ticks until the link stops
// re-arming; a hanging transfer fails the test instead. The view keeps the listed lines and the
// files it was told of.
struct Download : VyperView {
    Download(FakeVyper& device, const VyperOptions& options, bool settings = false)
        : link(device, *this, options) {
        settings ? link.StartReadSettings() : link.StartDownload();
        while (link.Tick() && ++ticks < 100) {
        }
        EXPECT_LT(ticks, 100);
    }
    void List(const std::string& line) override { lines.push_back(line); }
    void ShowBytes(long long) override {}
    void ShowDiveNumber(long long) override {}
    void ShowErrors(int) override {}
    void AddFile(const std::string& name) override { files.push_back(name); }
    bool AskOverwrite(const std::string&) override { return false; }
    void DownloadFinished() override { finished = true; }
    void Pause(int) override {}
    std::vector<std::string> lines, files;
    bool finished = false;
    VyperLink link;
    int ticks = 0;
};

// Every test notes what the view listed, the files it was told of and the ticks; the storage
// folder is written as ORDNER.
class VyperLinkTest : public ::testing::Test {
  protected:
    void SetUp() override {
        options.storageFolder = folder.string();
        options.maxErrors = 1;
        t.Mask(folder.string(), "ORDNER");
    }
    void Listed(const Download& d) {
        t.Note("Liste", d.lines).Note("Dateien, Takte", d.files, d.ticks);
    }
    void Empty() { fs::remove_all(folder), fs::create_directories(folder); }
    const TempFolder temp{"vyper_link"};
    const fs::path folder = temp.path();
    VyperOptions options;
    Transcript t;
};

// The fourth request finds the memory's end. Good packets count without their three frame bytes;
// the echo is counted along. The older dive names the newer one, converted just before it, as its
// previous dive.
TEST_F(VyperLinkTest, DownloadsEveryDiveWithEitherInterfaceUntilTheMemoryEnds) {
    for (bool echoes : {false, true}) {
        Empty();
        FakeVyper device = DeviceWithDives();
        device.echoes = echoes;
        options.interfaceType = echoes ? 2 : 1;
        Download d(device, options);
        t.Note("Echo, Tauchgänge, Bytes", echoes, d.link.ReceivedDiveCount(), d.link.TotalBytes());
        Listed(d);
        t.Note("älterer",
               ReadTextFileLines(folder / "Tauchgang 2024-August-23 09 Uhr 40.mrp").value());
    }
}

// A dive with a gap, a cut packet or values no Vyper records is listed and never stored, not
// even over a file of the same name; the download goes on with the next dive, and its end tells
// of the shortfall. A port that goes away ends it; the newest dive is asked for again.
TEST_F(VyperLinkTest, DamagedDivesAreListedButNeverStored) {
    const std::string second = "Tauchgang 2024-August-23 09 Uhr 40.mrp";
    const std::pair<const char*, std::function<void(FakeVyper&)>> cases[] = {
        {"a packet of the second dive fails its checksum",
         [](FakeVyper& d) { d.badPackets = {4}; }},
        {"its last packet never ends", [](FakeVyper& d) { d.cutAnswers = {1}; }},
        {"its month is 13", [](FakeVyper& d) { d.dives[1][d.dives[1].size() - 11] = 13; }},
        {"the device goes away in its answer", [](FakeVyper& d) { d.lostAt = 1; }},
        {"the newest dive fails and is asked for again", [](FakeVyper& d) { d.badPackets = {1}; }},
    };
    options.overwrite = OverwriteChoice::Always;
    options.maxErrors = 2;
    for (const auto& [fault, damage] : cases) {
        Empty();
        const std::string good = PutFile(folder / second, "ein ganzer Tauchgang\n");
        FakeVyper device = DeviceWithDives();
        damage(device);
        const Download d(device, options);
        t.Note(fault, d.link.Shortfall(), FileBytes(good) == "ein ganzer Tauchgang\n");
        Listed(d);
    }
}

// A silent device ends at the error limit and Stop halts; dives already stored are kept and can
// end the download, as can a fixed count.
TEST_F(VyperLinkTest, SilenceStopStoredDivesAndAFixedCountEndTheDownload) {
    FakeVyper silent = DeviceWithDives();
    silent.silent = true;
    options.maxErrors = 3;
    Download d(silent, options);
    t.Note("stumm: Takte, Fehler", d.ticks, d.link.ErrorCount()).Note("Liste", d.lines);
    d.link.StartDownload();
    d.link.Stop();
    const bool ticks = d.link.Tick();
    t.Note("angehalten: Takt, letzte Zeile", ticks, d.lines.back());

    FakeVyper device = DeviceWithDives();
    options.maxDives = 2;
    const Download first(device, options);
    t.Note("zwei: fertig, Dateien", first.finished, first.files);
    options.maxDives = 0;
    options.abortWhenStored = true;
    const Download again(device, options);
    t.Note("nochmals: Modus, Tauchgänge, Dateien", static_cast<int>(again.link.Mode()),
           again.link.ReceivedDiveCount(), again.files);
    t.Note("Liste", again.lines);
}

// 15.24 m and 19.5 m listed as whole metres, the user text without its control characters.
TEST_F(VyperLinkTest, ListsTheSettingsOfTheFourMemoryBlocks) {
    for (bool echoes : {false, true}) {
        FakeVyper device;
        device.echoes = echoes;
        options.interfaceType = echoes ? 2 : 1;
        auto& m = device.memory;
        m[0x1E] = 0x19;  // 6400 / 128 feet = 15.24 m
        m[0x20] = 0x01, m[0x21] = 0x2C, m[0x22] = 0, m[0x23] = 42, m[0x24] = 20;
        m[0x25] = 0, m[0x26] = 12, m[0x27] = 3, m[0x28] = 45;
        // An unset end of the text holds control characters, which are not listed.
        const std::string user("Taucher Hans  \x1B\x81\0\0\0\0\0\0", 20);
        std::copy(user.begin(), user.end(), m.begin() + 0x2C);
        m[0x51] = 0x1F, m[0x52] = 0x40;
        m[0x60] = 5, m[0x62] = 1, m[0x63] = 1, m[0x64] = 0x85, m[0x65] = 2, m[0x67] = 10;
        m[0x68] = 0x20;  // 8192 / 128 feet = 19.5 m
        Listed(Download(device, options, true));
    }
    // Answers that do not come (or come too late) are no values of 0.
    FakeVyper silent;
    silent.silent = true;
    Listed(Download(silent, options, true));
}

// The header's fields by name, as an ordinary nitrox dive has them.
using DiveHeader = std::map<std::string, int>;
const DiveHeader kHeader = {
    {"minute", 5}, {"hour", 14},   {"day", 12},      {"month", 7},        {"year", 3},
    {"air", 24},   {"oxygen", 32}, {"interval", 20}, {"surfaceHours", 1}, {"surfaceMinutes", 30}};

// A dive's bytes as the memory holds them: two leading bytes, the samples from the newest to
// the oldest, then the header.
std::vector<std::uint8_t> DiveBytes(std::vector<std::uint8_t> samples,
                                    const DiveHeader& h = kHeader) {
    std::vector<std::uint8_t> data = {0, 0};
    std::reverse(samples.begin(), samples.end());
    data.insert(data.end(), samples.begin(), samples.end());
    for (const char* name : {"minute", "hour", "day", "month", "year", "air", "", "oxygen", "", "",
                             "interval", "", "surfaceHours", "surfaceMinutes"})
        data.push_back(static_cast<std::uint8_t>(*name ? h.at(name) : 0));
    return data;
}

// The dive's name, the lines of its file and of its summary.
std::string Listed(const std::optional<VyperDive>& dive) {
    if (!dive) return "no dive\n";
    return "== " + dive->name + (dive->endMarkerFound ? " with" : " without") + " end mark\n" +
           Joined(dive->fileLines) + "--\n" + Joined(dive->summaryLines);
}

TEST(ConvertVyperDive, DivesMatchTheirGoldenFile) {
    // Down 10 ft three times (one minute), a SLOW mark, up by 3, 0 and 17 ft, the end mark and
    // after it the temperature at the deepest point.
    std::string text = Listed(ConvertVyperDive(DiveBytes({246, 246, 246, 122, 3, 0, 17, 128, 17}),
                                               "/d/Tauchgang 2003-Juli-12 16 Uhr 00.mrp"));
    DiveHeader h = kHeader;
    for (const int interval : {10, 0}) {  // six samples a line; 0 is read as 20: three a line
        h["interval"] = interval;
        text += Listed(ConvertVyperDive(DiveBytes(std::vector<std::uint8_t>(6, 0), h), ""));
    }
    h["oxygen"] = 0;         // air
    h["interval"] = 60;      // one sample a line
    h["surfaceHours"] = 13;  // beyond a repetitive dive: no previous dive, with or without end mark
    // One foot above the surface after the samples (-0.3 m: whole part -1, made positive), no end
    // mark anywhere: the older closing form.
    text += Listed(ConvertVyperDive(DiveBytes({1}, h), "/d/prev.mrp"));
    text += Listed(ConvertVyperDive(DiveBytes({1, 128}, h), "/d/prev.mrp"));
    // 16 bytes: the samples would start below index 2, so there are none; the date window.
    text += Listed(ConvertVyperDive(DiveBytes({}), ""));
    for (const auto& [year, month] : {std::pair{99, 7}, std::pair{29, 12}}) {
        h = kHeader;
        h["year"] = year;
        h["month"] = month;
        text += Listed(ConvertVyperDive(DiveBytes({}, h), ""));
    }
    text += Listed(ConvertVyperDive(std::vector<std::uint8_t>(15, 0), ""));
    ExpectGolden("golden/vyper_dives.txt", text);
}

// Each value on both sides of what a Vyper records; a dive with one beyond is refused.
TEST(ConvertVyperDive, ValuesNoVyperRecordsAreNamed) {
    for (const std::vector<std::string>& row : DataRows("cases/vyper_limits.tsv")) {
        DiveHeader h = kHeader;
        std::istringstream values(row.at(0));
        for (std::string value; values >> value;)
            h.at(value.substr(0, value.find('='))) = std::stoi(value.substr(value.find('=') + 1));
        std::vector<std::uint8_t> samples;
        std::istringstream feet(row.at(1));
        for (int foot; feet >> foot;)
            samples.push_back(static_cast<std::uint8_t>(foot));
        EXPECT_EQ(Joined(ConvertVyperDive(DiveBytes(samples, h), "")->impossible),
                  row.at(2).empty() ? "" : row[2] + "\n")
            << row[0] << " / " << row[1];
    }
    // 2000 bytes of 255: a memory that holds no dive, refused with everything it claims.
    const auto noDive = ConvertVyperDive(std::vector<std::uint8_t>(2000, 255), "");
    ASSERT_TRUE(noDive);
    Transcript().Note("kein Tauchgang", VyperRefusalLine(*noDive));
}

// The fish swims with |sin| and |cos| of its step: at step 12 (t = 1) 36 |sin| = 30.29, still
// rising towards step 13, and 36 |cos| = 19.45; past the top of the swing it turns round.
TEST(VyperDive, PathAndProgressFish) {
    Transcript t;
    t.Note("Pfade", VyperDivePath("/t", "A"), VyperDivePath("/t/", "A"));
    for (const int step : {0, 12, 19})
        t.Note("Fisch", step, ProgressFish(step));
}

}  // namespace
}  // namespace marelos
