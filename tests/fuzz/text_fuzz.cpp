// The text helpers every reader of outside data goes through.
#include <cstdlib>
#include <string>

#include "core/text/codepage.h"
#include "core/text/fields.h"
#include "core/text/number_format.h"
#include "core/text/paths.h"
#include "core/text/rounding.h"
#include "core/text/val.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace marelos;
    const std::string_view bytes = fuzz::AsText(data, size);

    // Whatever a file holds reads as valid UTF-8, and Windows-1252 survives a round trip.
    const std::string text = DecodeTextBytes(bytes);
    if (!IsValidUtf8(text)) std::abort();
    const std::string utf8 = Windows1252ToUtf8(bytes);
    const Result<std::string> back = Utf8ToWindows1252(utf8);
    if (!back || back.value() != bytes) std::abort();
    const Result<std::string> encoded = Utf8ToWindows1252(bytes);  // may refuse, never break
    if (encoded && IsValidUtf8(bytes) &&
        Windows1252ToUtf8(encoded.value()).empty() != bytes.empty()) {
        std::abort();
    }
    if (Utf8Prefix(text, Utf8Length(text)) != text) std::abort();

    for (const std::string& line : SplitLines(text)) {
        const double value = Val(CommaToPoint(line));
        FormatGeneral(value, ",");
        RoundTo(value, 2);
        RoundToInt16(value);
        RoundToInt32(value);
        PadZero(static_cast<long long>(RoundToInt32(value)), 4);
        for (int field = 0; field <= 6; ++field)
            Val(GetField(line, field));
        IsDigits(line);
        WithoutControlCharacters(line);
        HasWildcards(line);
        ShortenPath(line);
    }
    return 0;
}
