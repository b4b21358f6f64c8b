#include "core/divecomputers/vyper_dive.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "tests/fakes/golden.h"

namespace marelos {
namespace {

using ::testing::StartsWith;

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
std::string Transcript(const std::optional<VyperDive>& dive) {
    if (!dive) return "no dive\n";
    return "== " + dive->name + (dive->endMarkerFound ? " with" : " without") + " end mark\n" +
           Joined(dive->fileLines) + "--\n" + Joined(dive->summaryLines);
}

TEST(ConvertVyperDive, DivesMatchTheirGoldenFile) {
    // Down 10 ft three times (one minute), a SLOW mark, up by 3, 0 and 17 ft, the end mark and
    // after it the temperature at the deepest point.
    std::string text =
        Transcript(ConvertVyperDive(DiveBytes({246, 246, 246, 122, 3, 0, 17, 128, 17}),
                                    "/d/Tauchgang 2003-Juli-12 16 Uhr 00.mrp"));
    DiveHeader h;
    for (const int interval : {10, 0}) {  // six samples a line; 0 is read as 20: three a line
        h.interval = interval;
        text += Transcript(ConvertVyperDive(DiveBytes(std::vector<std::uint8_t>(6, 0), h), ""));
    }
    h.oxygen = 0;         // air
    h.interval = 60;      // one sample a line
    h.surfaceHours = 13;  // beyond a repetitive dive: no previous dive, with or without end mark
    // One foot above the surface after the samples (-0.3 m: whole part -1, made positive), no end
    // mark anywhere: the older closing form.
    text += Transcript(ConvertVyperDive(DiveBytes({1}, h), "/d/prev.mrp"));
    text += Transcript(ConvertVyperDive(DiveBytes({1, 128}, h), "/d/prev.mrp"));
    // 16 bytes: the samples would start below index 2, so there are none; the date window.
    text += Transcript(ConvertVyperDive(DiveBytes({}), ""));
    for (const auto& [year, month] : {std::pair{99, 7}, std::pair{29, 12}}) {
        h = DiveHeader{};
        h.year = year;
        h.month = month;
        text += Transcript(ConvertVyperDive(DiveBytes({}, h), ""));
    }
    text += Transcript(ConvertVyperDive(std::vector<std::uint8_t>(15, 0), ""));
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
    for (const std::vector<std::string>& row : DataRows("cases/vyper_header_limits.tsv")) {
        DiveHeader h;
        h.*fields.at(row.at(0)) = std::stoi(row.at(1));
        EXPECT_EQ(impossible({}, h), Strings{row.at(3)});
        h.*fields.at(row[0]) = std::stoi(row.at(2));
        EXPECT_EQ(impossible({}, h), Strings{}) << row[3];
    }
    // The last day of a month, with 29 February in a leap year only.
    DiveHeader april;
    april.month = 4;
    april.day = 31;
    EXPECT_EQ(impossible({}, april), Strings{"Tag 31"});
    april.day = 30;
    EXPECT_EQ(impossible({}, april), Strings{});
    DiveHeader february;
    february.month = 2;
    february.day = 29;
    february.year = 4;
    EXPECT_EQ(impossible({}, february), Strings{});
    february.year = 3;
    EXPECT_EQ(impossible({}, february), Strings{"Tag 29"});
    // 493 ft are 150.3 m, 492 ft 149.96 m; 10 ft above the surface are 3.05 m, 9 ft 2.74 m.
    EXPECT_EQ(impossible({156, 156, 156, 156, 163}), Strings{"Tiefe 150 m"});
    EXPECT_EQ(impossible({156, 156, 156, 156, 164}), Strings{});
    EXPECT_EQ(impossible({10}), Strings{"Tiefe -3 m"});
    EXPECT_EQ(impossible({9}), Strings{});
    // The water temperature stands before the end mark.
    EXPECT_EQ(impossible({0, 128, 41}), Strings{"Temperatur auf maximaler Tiefe 41 °C"});
    EXPECT_EQ(impossible({0, 128, 40}), Strings{});

    // 2000 bytes of 255: a memory that holds no dive, refused with everything it claims.
    const auto noDive = ConvertVyperDive(std::vector<std::uint8_t>(2000, 255), "");
    ASSERT_TRUE(noDive);
    EXPECT_THAT(VyperRefusalLine(*noDive),
                StartsWith("Dieser Tauchgang enthält Werte, die ein Vyper nicht aufzeichnet (Jahr "
                           "255, Monat 255, Tag 255, Stunde 255, Minute 255, O2-Anteil 255 %"));
    EXPECT_TRUE(VyperRefusalLine(*noDive).ends_with(", Tiefe 605 m): er wird nicht gespeichert."));
}

TEST(VyperDive, PathAndProgressFish) {
    EXPECT_EQ(VyperDivePath("/t", "A"), "/t/A.mrp");
    EXPECT_EQ(VyperDivePath("/t/", "A"), "/t/A.mrp");
    EXPECT_EQ(ProgressFish(0), " >{{{°> " + std::string(36, '~'));
    // Step 12: t = 1, |sin| * 36 = 30.29 and still rising towards step 13; |cos| * 36 = 19.45.
    EXPECT_EQ(ProgressFish(12), std::string(30, '~') + " >{{{°> " + std::string(19, '~'));
    // Past the top of the swing the fish turns round.
    EXPECT_EQ(ProgressFish(19), std::string(36, '~') + " <°}}}< ");
}

}  // namespace
}  // namespace marelos
