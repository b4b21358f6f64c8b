#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace marelos {

// One dive out of the Vyper's memory, turned into a profile file. The dive's header sits at the
// end of its bytes and the samples run backwards from there, so the bytes are read from the end.
struct VyperDive {
    std::string name;                       // "Tauchgang 2003-Juli-12 14 Uhr 05", no ".mrp"
    std::vector<std::string> fileLines;     // the whole profile file, comments included
    std::vector<std::string> summaryLines;  // what the message list shows about the dive
    bool endMarkerFound = false;            // false: the samples ran out without the end mark
    // What the bytes hold that no Vyper records ("Monat 13", "O2-Anteil 255 %"): they are damaged
    // or no dive at all, and the dive is not stored. Empty for a dive the device can have made.
    std::vector<std::string> impossible;
};

// The line listed instead of storing a dive with impossible values.
std::string VyperRefusalLine(const VyperDive& dive);

// The dive in `data` (its bytes as the link collected them); nothing when it has 15 bytes or
// fewer, which the download counts as an error or the end of the memory. A dive with values no
// Vyper records comes back with them in `impossible`. `previousDive` is the
// full path of the dive converted just before in the same download (the next newer one): a dive
// made within 12 hours after it names it as its previous dive, for repetitive-dive use.
std::optional<VyperDive> ConvertVyperDive(std::span<const std::uint8_t> data,
                                          std::string_view previousDive);

// The path the dive is stored under: the storage folder, a "/" when it does not end with one,
// the name and ".mrp".
std::string VyperDivePath(std::string_view storageFolder, std::string_view name);

// The moving fish the download lists once per dive as its sign of progress.
std::string ProgressFish(long long step);

}  // namespace marelos
