#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include "core/divecomputers/kora_eeprom.h"
#include "core/divecomputers/kora_link.h"
#include "tests/fakes/fake_kora.h"
#include "tests/fakes/golden.h"
#include "tests/fakes/profile_notes.h"
#include "tests/fakes/transcript.h"

namespace marelos {
namespace {

using ::testing::ElementsAre;

TEST(KoraLink, RequestsCarryTheAddressLowByteFirstAndXorChecksums) {
    EXPECT_THAT(KoraReadRequest(300), ElementsAre(200, 44, 1));
    EXPECT_THAT(KoraWriteRequest(300, 7), ElementsAre(201, 44, 1, 7, 201 ^ 44 ^ 1 ^ 7));
    const std::uint8_t reply[] = {7, 200 ^ 44 ^ 1 ^ 7, 200 ^ 44 ^ 1};
    EXPECT_EQ(KoraReplyValue(300, std::span(reply, 2)), 7);
    EXPECT_EQ(KoraReplyValue(300, std::span(reply + 1, 2)), -1);  // a checksum that does not fit
    EXPECT_EQ(KoraReplyValue(300, std::span(reply, 1)), -1);      // a short reply
    // The clock: hour, minute, day, month, year in two digits.
    EXPECT_THAT(KoraClockWrites({6, 12, 2026, 4, 9}),
                ElementsAre(KoraWrite{16, 4}, KoraWrite{15, 9}, KoraWrite{12, 6}, KoraWrite{13, 12},
                            KoraWrite{14, 26}));
}

TEST(KoraLink, ASilentDeviceEndsTheLoadAfterThreeUnansweredReadsInARow) {
    Transcript t;
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
}

// Replies that come too late for their read, a port that goes away and a load that takes too
// long all end the load within a few reads, each with its own message, and list no dive (the
// dive begun has no end byte yet).
TEST(KoraLink, LateRepliesALostPortAndTheDeadlineEndTheLoadEarly) {
    Transcript t;
    const std::pair<const char*, std::function<void(FakeKora&)>> cases[] = {
        {"eine Antwort je Lesen zu spät", [](FakeKora& d) { d.lagging = true; }},
        {"Anschluss weg", [](FakeKora& d) { d.lostFrom = 7; }},
        {"jede Antwort 100 ms", [](FakeKora&) {}},
    };
    for (const auto& [fault, damage] : cases) {
        FakeKora device;
        device.eeprom[2] = kKoraDiveStart;
        damage(device);
        long long now = 0;
        KoraLink link(
            device, [&](std::size_t, int) { now += 100; }, kKoraReplyTimeoutMs,
            [&] { return now; });
        const KoraLoad load = LoadKoraEeprom(
            link, [](int) { return true; }, 1000);
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
    EXPECT_EQ(CountKoraDives(image), 0);
    image[0] = kKoraDiveStart;
    EXPECT_EQ(CountKoraDives(image), 1);
    EXPECT_FALSE(KoraDiveProfile(image, 1));
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

TEST(KoraEeprom, AnImageFileHoldsNumbersOrRawBytes) {
    std::string numbers;
    for (int i = 0; i < kKoraEepromSize; ++i)
        numbers += (i == 5 ? "-1" : std::to_string(i % 256)) + (i % 16 == 15 ? "\n" : " ");
    const auto image = ParseKoraEeprom(numbers);
    ASSERT_TRUE(image);
    EXPECT_EQ((*image)[5], -1);
    EXPECT_EQ((*image)[4096], 0);
    EXPECT_EQ(ParseKoraEeprom(KoraEepromText(*image)), image);

    std::string raw(kKoraEepromSize, '\xE5');
    EXPECT_EQ(CountKoraDives(*ParseKoraEeprom(raw)), kKoraEepromSize);
    EXPECT_FALSE(ParseKoraEeprom(raw.substr(1)));
    EXPECT_FALSE(ParseKoraEeprom(numbers + " 1"));                         // one number too many
    EXPECT_FALSE(ParseKoraEeprom(numbers.substr(0, numbers.size() - 3)));  // one too few
    numbers.replace(0, 1, "256");
    EXPECT_FALSE(ParseKoraEeprom(numbers));
}

}  // namespace
}  // namespace marelos
