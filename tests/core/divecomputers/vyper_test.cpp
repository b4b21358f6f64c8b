#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>

#include "core/divecomputers/vyper_dive.h"
#include "core/divecomputers/vyper_link.h"
#include "core/text/text_file.h"
#include "tests/fakes/fake_vyper.h"
#include "tests/fakes/golden.h"
#include "tests/fakes/temp_folder.h"
#include "tests/fakes/transcript.h"

namespace marelos {
namespace {

namespace fs = std::filesystem;

struct RecordingView : VyperView {
    std::vector<std::string> lines, files;
    int errors = 0;
    bool finished = false;
    bool overwrite = false;
    void List(const std::string& line) override { lines.push_back(line); }
    void ShowBytes(long long) override {}
    void ShowDiveNumber(long long) override {}
    void ShowErrors(int count) override { errors = count; }
    void AddFile(const std::string& name) override { files.push_back(name); }
    bool AskOverwrite(const std::string&) override { return overwrite; }
    void DownloadFinished() override { finished = true; }
    void Pause(int) override {}
};

std::vector<std::uint8_t> StoredDive() {
    std::ifstream in(MARELOS_TEST_DATA "/vyper_dive_nitrox.txt");
    std::vector<std::uint8_t> bytes;
    for (int value = 0; in >> value;)
        bytes.push_back(static_cast<std::uint8_t>(value));
    return bytes;
}

// Three dives a few minutes apart, newest first.
FakeVyper DeviceWithDives() {
    FakeVyper device;
    for (int minute : {50, 40, 30}) {
        auto dive = StoredDive();
        dive[dive.size() - 14] = static_cast<std::uint8_t>(minute);
        device.dives.push_back(dive);
    }
    return device;
}

// A download (or the reading of the settings) run to its end: ticks until the link stops
// re-arming; a hanging transfer fails the test instead.
struct Download {
    Download(FakeVyper& device, const VyperOptions& options, bool settings = false)
        : link(device, view, options) {
        settings ? link.StartReadSettings() : link.StartDownload();
        while (link.Tick() && ++ticks < 100) {
        }
        EXPECT_LT(ticks, 100);
    }
    RecordingView view;
    VyperLink link;
    int ticks = 0;
};

// Every test notes what the view listed and the files it was told of, the storage folder
// written as ORDNER.
class VyperLinkTest : public ::testing::Test {
  protected:
    void SetUp() override {
        options.storageFolder = folder.string();
        options.maxErrors = 1;
        t.Mask(folder.string(), "ORDNER");
    }
    void Listed(const Download& d) { t.Note("Liste", d.view.lines).Note("Dateien", d.view.files); }
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
        fs::remove_all(folder);
        fs::create_directories(folder);
        FakeVyper device = DeviceWithDives();
        device.echoes = echoes;
        options.interfaceType = echoes ? 2 : 1;
        Download d(device, options);
        t.Note("Echo, Takte, Tauchgänge, Bytes", echoes, d.ticks, d.link.ReceivedDiveCount(),
               d.link.TotalBytes());
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
        fs::remove_all(folder);
        fs::create_directories(folder);
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
    t.Note("stumm: Takte, Fehler", d.ticks, d.link.ErrorCount()).Note("Liste", d.view.lines);
    d.link.StartDownload();
    d.link.Stop();
    const bool ticks = d.link.Tick();
    t.Note("angehalten: Takt, letzte Zeile", ticks, d.view.lines.back());

    FakeVyper device = DeviceWithDives();
    options.maxDives = 2;
    const Download first(device, options);
    t.Note("zwei: fertig, Dateien", first.view.finished, first.view.files);
    options.maxDives = 0;
    options.abortWhenStored = true;
    const Download again(device, options);
    t.Note("nochmals: Modus, Tauchgänge, Dateien", static_cast<int>(again.link.Mode()),
           again.link.ReceivedDiveCount(), again.view.files);
    t.Note("Liste", again.view.lines);
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
        Download d(device, options, true);
        EXPECT_EQ(d.ticks, 3);
        Listed(d);
    }
    // Answers that do not come (or come too late) are no values of 0.
    FakeVyper silent;
    silent.silent = true;
    Download d(silent, options, true);
    EXPECT_EQ(d.ticks, 3);
    Listed(d);
}

struct DiveHeader {
    int minute = 5, hour = 14, day = 12, month = 7, year = 3;
    int air = 24, oxygen = 32, interval = 20, surfaceHours = 1, surfaceMinutes = 30;
};

// A dive's bytes as the memory holds them: two leading bytes, the samples from the newest to
// the oldest, then the header.
std::vector<std::uint8_t> DiveBytes(std::vector<std::uint8_t> samples, const DiveHeader& h = {}) {
    std::vector<std::uint8_t> data = {0, 0};
    std::reverse(samples.begin(), samples.end());
    data.insert(data.end(), samples.begin(), samples.end());
    const int header[] = {
        h.minute, h.hour, h.day, h.month,    h.year, h.air,          0,
        h.oxygen, 0,      0,     h.interval, 0,      h.surfaceHours, h.surfaceMinutes};
    for (int b : header)
        data.push_back(static_cast<std::uint8_t>(b));
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
    DiveHeader h;
    for (const int interval : {10, 0}) {  // six samples a line; 0 is read as 20: three a line
        h.interval = interval;
        text += Listed(ConvertVyperDive(DiveBytes(std::vector<std::uint8_t>(6, 0), h), ""));
    }
    h.oxygen = 0;         // air
    h.interval = 60;      // one sample a line
    h.surfaceHours = 13;  // beyond a repetitive dive: no previous dive, with or without end mark
    // One foot above the surface after the samples (-0.3 m: whole part -1, made positive), no end
    // mark anywhere: the older closing form.
    text += Listed(ConvertVyperDive(DiveBytes({1}, h), "/d/prev.mrp"));
    text += Listed(ConvertVyperDive(DiveBytes({1, 128}, h), "/d/prev.mrp"));
    // 16 bytes: the samples would start below index 2, so there are none; the date window.
    text += Listed(ConvertVyperDive(DiveBytes({}), ""));
    for (const auto& [year, month] : {std::pair{99, 7}, std::pair{29, 12}}) {
        h = DiveHeader{};
        h.year = year;
        h.month = month;
        text += Listed(ConvertVyperDive(DiveBytes({}, h), ""));
    }
    text += Listed(ConvertVyperDive(std::vector<std::uint8_t>(15, 0), ""));
    ExpectGolden("golden/vyper_dives.txt", text);
}

// Each value on both sides of what a Vyper records; a dive with one beyond is refused.
TEST(ConvertVyperDive, ValuesNoVyperRecordsAreNamed) {
    using Strings = std::vector<std::string>;
    const auto impossible = [](std::vector<std::uint8_t> samples, const DiveHeader& h = {}) {
        return ConvertVyperDive(DiveBytes(std::move(samples), h), "")->impossible;
    };
    const std::map<std::string, int DiveHeader::*> fields = {
        {"month", &DiveHeader::month},
        {"day", &DiveHeader::day},
        {"year", &DiveHeader::year},
        {"hour", &DiveHeader::hour},
        {"minute", &DiveHeader::minute},
        {"oxygen", &DiveHeader::oxygen},
        {"air", &DiveHeader::air},
        {"interval", &DiveHeader::interval},
        {"surfaceMinutes", &DiveHeader::surfaceMinutes}};
    for (const std::vector<std::string>& row : DataRows("cases/vyper_limits.tsv")) {
        DiveHeader h;
        std::istringstream values(row.at(0));
        for (std::string value; values >> value;)
            h.*fields.at(value.substr(0, value.find('='))) =
                std::stoi(value.substr(value.find('=') + 1));
        std::vector<std::uint8_t> samples;
        std::istringstream feet(row.at(1));
        for (int foot; feet >> foot;)
            samples.push_back(static_cast<std::uint8_t>(foot));
        EXPECT_EQ(impossible(samples, h), row.at(2).empty() ? Strings{} : Strings{row[2]})
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
