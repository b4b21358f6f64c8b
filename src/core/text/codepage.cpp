#include "codepage.h"

#include <array>
#include <cstdint>
#include <optional>

namespace marelos {
namespace {

// Code points of the bytes 0x80..0x9F; the bytes 0xA0..0xFF are the code points of the same number.
constexpr std::array<char32_t, 32> kHighControlRange = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// The closest Windows-1252 letters of U+0100..U+017F (Latin Extended-A): the letter without its
// accent or stroke. '*' marks the four characters handled apart: IJ, ij, OE and oe.
constexpr std::string_view kLatinExtendedA =
    "AaAaAaCcCcCcCcDd"
    "DdEeEeEeEeEeGgGg"
    "GgGgHhHhIiIiIiIi"
    "Ii**JjKkkLlLlLlL"
    "lLlNnNnNnnNnOoOo"
    "Oo**RrRrRrSsSsSs"
    "SsTtTtTtUuUuUuUu"
    "UuUuWwYyYZzZzZzs";

struct Transliteration {
    char32_t codePoint;
    std::string_view text;
};

// Other characters a German or European text is likely to hold, with their closest form.
constexpr std::array<Transliteration, 18> kTransliterations = {{
    {0x0132, "IJ"},
    {0x0133, "ij"},
    {0x0218, "S"},
    {0x0219, "s"},
    {0x021A, "T"},
    {0x021B, "t"},
    {0x03BC, "\xB5"},
    {0x2009, " "},
    {0x200A, " "},
    {0x202F, " "},
    {0x2010, "-"},
    {0x2011, "-"},
    {0x2012, "-"},
    {0x2015, "-"},
    {0x2212, "-"},
    {0x2032, "'"},
    {0x2033, "\""},
    {0x2044, "/"},
}};

// The Windows-1252 form of a code point above 0x7F, or nothing when there is none.
std::optional<std::string> Windows1252Form(char32_t cp) {
    if (cp >= 0xA0 && cp <= 0xFF) return std::string(1, static_cast<char>(cp));
    for (std::size_t i = 0; i < kHighControlRange.size(); ++i) {
        if (kHighControlRange[i] == cp) return std::string(1, static_cast<char>(0x80 + i));
    }
    if (cp >= 0x100 && cp < 0x100 + kLatinExtendedA.size() && kLatinExtendedA[cp - 0x100] != '*') {
        return std::string(1, kLatinExtendedA[cp - 0x100]);
    }
    for (const Transliteration& entry : kTransliterations) {
        if (entry.codePoint == cp) return std::string(entry.text);
    }
    return std::nullopt;
}

char32_t CodePointOf1252(unsigned char byte) {
    if (byte >= 0x80 && byte <= 0x9F) return kHighControlRange[byte - 0x80];
    return byte;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Decodes one UTF-8 sequence at `pos`; returns its length, or 0 when it is malformed.
std::size_t DecodeUtf8At(std::string_view s, std::size_t pos, char32_t& cp) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char lead = byte(pos);
    std::size_t length = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
        cp = lead;
        return 1;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, cp = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, cp = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, cp = lead & 0x07, minimum = 0x10000;
    } else {
        return 0;
    }
    if (pos + length > s.size()) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(pos + i) & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (byte(pos + i) & 0x3F);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return length;
}

}  // namespace

bool IsValidUtf8(std::string_view bytes) {
    for (std::size_t pos = 0; pos < bytes.size();) {
        char32_t cp = 0;
        const std::size_t length = DecodeUtf8At(bytes, pos, cp);
        if (length == 0) return false;
        pos += length;
    }
    return true;
}

std::string Windows1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (const char c : bytes)
        AppendUtf8(out, CodePointOf1252(static_cast<unsigned char>(c)));
    return out;
}

Result<std::string> Utf8ToWindows1252(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t pos = 0; pos < utf8.size();) {
        char32_t cp = 0;
        const std::size_t length = DecodeUtf8At(utf8, pos, cp);
        if (length == 0) {  // a stray byte came from outside as it is and goes back so
            out += utf8[pos++];
            continue;
        }
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (const std::optional<std::string> form = Windows1252Form(cp)) {
            out += *form;
        } else {
            return Failure{FailureKind::Unrepresentable, std::string(utf8.substr(pos, length))};
        }
        pos += length;
    }
    return out;
}

std::string DecodeTextBytes(std::string_view bytes) {
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (!IsValidUtf8(bytes)) return Windows1252ToUtf8(bytes);
    if (bytes.starts_with(kByteOrderMark)) bytes.remove_prefix(kByteOrderMark.size());
    return std::string(bytes);
}

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        lines.emplace_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.emplace_back(text.substr(start));
    return lines;
}

std::size_t Utf8Length(std::string_view utf8) {
    std::size_t count = 0;
    for (const char c : utf8) {
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
    }
    return count;
}

std::string_view Utf8Prefix(std::string_view utf8, std::size_t count) {
    std::size_t pos = 0;
    std::size_t seen = 0;
    while (pos < utf8.size()) {
        if ((static_cast<unsigned char>(utf8[pos]) & 0xC0) != 0x80) {
            if (seen == count) break;
            ++seen;
        }
        ++pos;
    }
    return utf8.substr(0, pos);
}

}  // namespace marelos
