// The KORA 4's memory image as it comes from a file or a damaged download.
#include <cstdlib>

#include "core/divecomputers/kora_eeprom.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace marelos;
    const std::string_view bytes = fuzz::AsText(data, size);
    // A text of numbers brings entries of -1; any other bytes make an image as they stand.
    const std::optional<KoraEeprom> parsed = ParseKoraEeprom(bytes);
    KoraEeprom image = parsed.value_or(EmptyKoraEeprom());
    for (std::size_t i = 0; !parsed && i < size && i < image.size(); ++i)
        image[i] = data[i];

    const int count = CountKoraDives(image);
    for (int n = 0; n <= count + 1; ++n) {
        const auto dive = KoraDiveProfile(image, n);
        if (!dive) continue;
        // One line per minute, each a depth below 200 m on air.
        for (std::size_t k = 1; k < dive->lines.size(); ++k) {
            const ProfileLine& line = dive->lines[k];
            if (line.tTotal != static_cast<double>(k) || line.depth < 0 || line.depth >= 200 ||
                line.depth > dive->maxVScale) {
                std::abort();
            }
        }
        if (dive->maxHScale != static_cast<int>(dive->lines.size()) - 1) std::abort();
    }
    const auto fields = ReadKoraSettings(
        [&](int address) { return image[static_cast<std::size_t>(address)]; }, ",");
    if (fields.size() != KoraSettingFieldLayout().size()) std::abort();
    return 0;
}
