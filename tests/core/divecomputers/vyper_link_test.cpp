#include "core/divecomputers/vyper_link.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include "core/text/text_file.h"
#include "tests/fakes/fake_vyper.h"
#include "tests/fakes/golden.h"
#include "tests/fakes/temp_folder.h"

namespace marelos {
namespace {

namespace fs = std::filesystem;
using ::testing::Contains;
using ::testing::Not;

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

// What the view listed and the files it was told of, the storage folder written as ORDNER.
std::string Transcript(const RecordingView& view, const std::string& folder = "ORDNER") {
    std::string text = Joined(view.lines) + "--\n" + Joined(view.files);
    for (auto at = text.find(folder); at != std::string::npos; at = text.find(folder))
        text.replace(at, folder.size(), "ORDNER");
    return text;
}

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

class VyperLinkTest : public ::testing::Test {
  protected:
    void SetUp() override {
        options.storageFolder = folder.string();
        options.maxErrors = 1;
    }
    const TempFolder temp{"vyper_link"};
    const fs::path folder = temp.path();
    VyperOptions options;
};

TEST_F(VyperLinkTest, DownloadsEveryDiveWithEitherInterfaceUntilTheMemoryEnds) {
    std::string text;
    for (bool echoes : {false, true}) {
        SCOPED_TRACE(echoes);
        fs::remove_all(folder);
        fs::create_directories(folder);
        FakeVyper device = DeviceWithDives();
        device.echoes = echoes;
        options.interfaceType = echoes ? 2 : 1;
        Download d(device, options);
        const VyperLink& link = d.link;
        EXPECT_EQ(d.ticks, 3);  // the fourth request found the memory's end
        EXPECT_EQ(link.ReceivedDiveCount(), 3);
        // Good packets count without their three frame bytes; the echo is counted along.
        EXPECT_EQ(link.TotalBytes(), 3 * (77 + (echoes ? 3 : 0)));
        text += Transcript(d.view, folder.string());
        // The older dive names the newer one, converted just before it, as its previous dive.
        const auto older = ReadTextFileLines(folder / "Tauchgang 2024-August-23 09 Uhr 40.mrp");
        ASSERT_TRUE(older);
        EXPECT_THAT(older.value(),
                    Contains("Vorheriger TG: " +
                             (folder / "Tauchgang 2024-August-23 09 Uhr 50.mrp").string()));
    }
    ExpectGolden("golden/vyper_download.txt", text);
}

// A dive with a gap, a cut packet or values no Vyper records is listed and never stored, not
// even over a file of the same name; the download goes on with the next dive, and its end tells
// of the shortfall. A port that goes away ends it; the newest dive is asked for again.
TEST_F(VyperLinkTest, DamagedDivesAreListedButNeverStored) {
    const std::string second = "Tauchgang 2024-August-23 09 Uhr 40.mrp";
    const struct {
        const char* fault;
        std::function<void(FakeVyper&)> damage;
    } cases[] = {
        {"a packet of the second dive fails its checksum",
         [](FakeVyper& d) { d.badPackets = {4}; }},
        {"its last packet never ends", [](FakeVyper& d) { d.cutAnswers = {1}; }},
        {"its month is 13", [](FakeVyper& d) { d.dives[1][d.dives[1].size() - 11] = 13; }},
        {"the device goes away in its answer", [](FakeVyper& d) { d.lostAt = 1; }},
        {"the newest dive fails and is asked for again", [](FakeVyper& d) { d.badPackets = {1}; }},
    };
    options.overwrite = OverwriteChoice::Always;
    options.maxErrors = 2;
    std::string text;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault);
        fs::remove_all(folder);
        fs::create_directories(folder);
        const std::string good = PutFile(folder / second, "ein ganzer Tauchgang\n");
        FakeVyper device = DeviceWithDives();
        c.damage(device);
        const Download d(device, options);
        text += std::string("# ") + c.fault + "\n" + Transcript(d.view, folder.string()) +
                "Fehlt: " + d.link.Shortfall() + "\n";
        if (d.view.files.size() < 3) {
            EXPECT_EQ(FileBytes(good), "ein ganzer Tauchgang\n");
        }
    }
    ExpectGolden("golden/vyper_damaged_downloads.txt", text);
}

TEST_F(VyperLinkTest, ASilentDeviceEndsAtTheErrorLimitAndStopHalts) {
    FakeVyper device = DeviceWithDives();
    device.silent = true;
    options.maxErrors = 3;
    Download d(device, options);
    VyperLink& link = d.link;
    EXPECT_EQ(d.ticks, 2);
    EXPECT_EQ(link.ErrorCount(), 3);
    EXPECT_THAT(d.view.lines, Contains("Übertragung beendet."));
    EXPECT_THAT(d.view.lines, Not(Contains("umgewandelt und im Ordner")));

    link.StartDownload();
    link.Stop();
    EXPECT_FALSE(link.Tick());
    EXPECT_EQ(d.view.lines.back(), "Übertragung unterbrochen.");
}

TEST_F(VyperLinkTest, StoredDivesAreKeptAndCanEndTheDownloadOrAFixedCount) {
    FakeVyper device = DeviceWithDives();
    options.maxDives = 2;
    const Download first(device, options);
    EXPECT_TRUE(first.view.finished);
    EXPECT_EQ(first.view.files.size(), 2u);

    options.maxDives = 0;
    options.abortWhenStored = true;
    const Download again(device, options);
    EXPECT_EQ(again.link.Mode(), VyperMode::Idle);
    EXPECT_EQ(again.link.ReceivedDiveCount(), 1);
    EXPECT_TRUE(again.view.files.empty());
    EXPECT_THAT(again.view.lines, Contains("Dieser Tauchgang wurde bereits abgespeichert:"));
}

// 15.24 m and 19.5 m listed as whole metres, the user text without its control characters.
TEST_F(VyperLinkTest, ListsTheSettingsOfTheFourMemoryBlocks) {
    std::string text;
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
        text += Transcript(d.view);
    }
    // Answers that do not come (or come too late) are no values of 0.
    FakeVyper silent;
    silent.silent = true;
    Download d(silent, options, true);
    EXPECT_EQ(d.ticks, 3);
    ExpectGolden("golden/vyper_settings.txt", text + Transcript(d.view));
}

}  // namespace
}  // namespace marelos
