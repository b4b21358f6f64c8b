#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/profile/edit_history.h"

namespace marelos {

// The KORA 4 keeps its settings, clock, statistics and dives in a 4 KB EEPROM, addresses 0 to
// 4096. An entry of the image is a byte 0..255, or -1 when its read failed.
inline constexpr int kKoraEepromSize = 4097;
using KoraEeprom = std::array<int, kKoraEepromSize>;

inline constexpr int kKoraDiveStart = 229;  // the byte before a dive's first sample
inline constexpr int kKoraDiveEnd = 230;    // the byte after its last sample
inline constexpr int kKoraNoDepth = 200;    // a sample's first byte from here on is no depth

// An image with every entry unread (-1).
KoraEeprom EmptyKoraEeprom();

// The image from a file's bytes: 4097 whitespace-separated decimal numbers -1..255, or else a
// file of exactly 4097 raw bytes; nothing when it is neither.
std::optional<KoraEeprom> ParseKoraEeprom(std::string_view bytes);
// The image as 4097 decimal numbers, one a line, as ParseKoraEeprom reads it back.
std::string KoraEepromText(const KoraEeprom& image);

// Every start byte at addresses 0..4096 counts as a dive.
int CountKoraDives(const KoraEeprom& image);
// "Tauchgang Nr. 1" to "Tauchgang Nr. count", each dive with a failed byte marked
// "(unvollständig)".
std::vector<std::string> KoraDiveList(const KoraEeprom& image, int count);
// Why dive n is not shown: the count of its failed bytes; empty for a whole dive.
std::string KoraIncompleteDiveMessage(const KoraEeprom& image, int n);

// Where dive n (from 1) lies: from its n-th start byte, searched from address 1 on, up to its end
// byte (or the image's end when there is none). Nothing when there is no n-th dive.
struct KoraDiveSpan {
    std::size_t start;
    std::size_t end;  // the address of the end byte
};
std::optional<KoraDiveSpan> FindKoraDive(const KoraEeprom& image, int n);

// The entries of dive n, its start and end byte included, whose read failed: such a dive lacks a
// depth or runs into the next one, and is incomplete.
int FailedKoraDiveBytes(const KoraEeprom& image, int n);

// Dive n (from 1) as a profile: one line and one point per minute of depth, breathing air
// (N2 78 %), the time axis as long as the dive and the depth axis 10 m deeper than its deepest
// sample. A sample's first byte of 200 and more is no depth and takes no minute. Nothing when
// there is no n-th dive.
std::optional<ProfileSnapshot> KoraDiveProfile(const KoraEeprom& image, int n);

// One field of the settings window: its control name, the label of its row (fields of one row
// share it), the unit behind the row, and the text shown. A check box shows "1" ticked, else "0".
struct KoraSettingField {
    std::string name;
    std::string label;
    std::string unit;
    std::string text;
    bool checkBox = false;
};

// The fields before anything is read: names, labels and units, texts empty.
std::vector<KoraSettingField> KoraSettingFieldLayout();

// The settings, clock and statistics read through `read` (address → byte or -1) in the device's
// order, as the window's fields in that order. A field with a failed read shows "?".
std::vector<KoraSettingField> ReadKoraSettings(const std::function<int(int address)>& read,
                                               std::string_view decimalSeparator);

// The computer's clock as the PC gives it.
struct KoraClock {
    int day = 1;
    int month = 1;
    int year = 2000;
    int hour = 0;
    int minute = 0;
};

struct KoraWrite {
    int address = 0;
    int value = 0;

    bool operator==(const KoraWrite&) const = default;
};

// The writes that set the clock, in order: hour, minute, day, month, year (two digits). The
// device takes one write per tick of the settings window's timer.
std::vector<KoraWrite> KoraClockWrites(const KoraClock& clock);

}  // namespace marelos
