#pragma once

// Builds DataTrak logs byte by byte for the tests.

#include <cstdint>
#include <string>
#include <vector>

namespace marelos::datatrak {

// One dive record; texts are in the DOS code page.
struct Record {
    unsigned long days = 147724;  // 15-06-2004
    int start = 9 * 60 + 5;
    std::string country = "Malta";
    std::string site = "Blue Hole";
    int interval = 90;
    int air = 2450;  // hundredths of °C; 0x8000 for none
    int depth = 2351;
    int minutes = 48;
    int water = 1849;
    std::string remarksA = "Mur\x84nen";
    std::string partner = "Eva";
    std::string remarksB = "";
    int number = 7;
    std::vector<std::uint8_t> profile;
    int profileBytes = -1;  // the count in the record; -1: as the DataTrak software writes it
};

// The DataTrak software counts a record's profile bytes from t+52: the 24 bytes before the
// samples and the samples up to the next record mark.
inline constexpr int kCountedBeforeSamples = 24;

// Sample groups of `stride` bytes holding these depths, each a big-endian word for whole metres
// with flag bits in the lowest six; with stride 8 the word follows a flag byte. The other bytes
// are high enough that a group read at the wrong stride looks implausible.
inline std::vector<std::uint8_t> Samples(int stride, const std::vector<int>& depths) {
    std::vector<std::uint8_t> bytes;
    for (const int depth : depths) {
        if (stride == 8) bytes.push_back(1);
        const int word = (depth * 410 + 63) / 64 * 64 | 5;
        bytes.push_back(static_cast<std::uint8_t>(word >> 8));
        bytes.push_back(static_cast<std::uint8_t>(word & 0xFF));
        while (bytes.size() % static_cast<std::size_t>(stride) != 0)
            bytes.push_back(0xE7);
    }
    return bytes;
}

inline void PutWord(std::string& out, int value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

inline void PutText(std::string& out, const std::string& text) {
    out += static_cast<char>(text.size());
    out += text;
}

inline std::string RecordBytes(const Record& r) {
    std::string out = {'\xA0', '\0'};
    PutWord(out, static_cast<int>(r.days & 0xFFFF));
    PutWord(out, static_cast<int>(r.days >> 16));
    PutWord(out, r.start);
    PutText(out, r.country);
    PutText(out, r.site);
    const auto pad = [&](std::size_t size) { out.resize(size, '\x11'); };
    const std::size_t r0 = out.size() - 10;  // the record's r: its start plus L1 and L2
    pad(r0 + 11);
    PutWord(out, r.interval);
    pad(r0 + 14);
    PutWord(out, r.air);
    pad(r0 + 19);
    PutWord(out, r.depth);
    PutWord(out, r.minutes);
    PutWord(out, r.water);
    pad(r0 + 31);
    PutText(out, r.remarksA);
    PutText(out, r.partner);
    PutText(out, r.remarksB);
    const std::size_t t = out.size() - 34;
    pad(t + 36);
    PutWord(out, r.number);
    pad(t + 50);
    PutWord(out, r.profileBytes >= 0 ? r.profileBytes
                                     : static_cast<int>(r.profile.size()) + kCountedBeforeSamples);
    pad(t + 76);
    out.append(r.profile.begin(), r.profile.end());
    return out;
}

// A whole log: the header with the dive count, then the records.
inline std::string LogBytes(const std::vector<Record>& records, int diveCount = -1) {
    std::string out(12, '\0');
    out[6] =
        static_cast<char>((diveCount >= 0 ? diveCount : static_cast<int>(records.size())) & 0xFF);
    for (const Record& r : records)
        out += RecordBytes(r);
    return out;
}

}  // namespace marelos::datatrak
