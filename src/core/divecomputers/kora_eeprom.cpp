#include "core/divecomputers/kora_eeprom.h"

#include <algorithm>
#include <charconv>
#include <sstream>

#include "core/settings/settings.h"
#include "core/text/codepage.h"
#include "core/text/number_format.h"

namespace marelos {
namespace {

constexpr int kAirN2Percent = 78;
constexpr int kDepthAxisMargin = 10;
constexpr const char* kFailedRead = "?";

std::optional<KoraEeprom> ParseNumbers(std::string_view bytes) {
    KoraEeprom image = EmptyKoraEeprom();
    std::istringstream words{std::string(bytes)};
    std::string word;
    std::size_t count = 0;
    while (words >> word) {
        int value = 0;
        const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
        if (ec != std::errc{} || end != word.data() + word.size() || value < -1 || value > 255 ||
            count == image.size()) {
            return std::nullopt;
        }
        image[count++] = value;
    }
    if (count != image.size()) return std::nullopt;
    return image;
}

enum class FieldKind { Word, WordTenth, Byte, Tenth, Characters, CheckBox };

struct FieldSpec {
    const char* name;
    const char* label;
    const char* unit;
    FieldKind kind;
    int address;
};

// The fields in the order the device is read; fields of one row share their label.
constexpr FieldSpec kSettingFields[] = {
    {"txtAirPressure", "Umgebungsluftdruck auf NN", "mbar", FieldKind::Word, 0},
    {"txtAltitude", "Höhe über NN", "m", FieldKind::Word, 2},
    {"txtCabinPressure", "Kabinendruck im Flugzeug", "mbar", FieldKind::Word, 4},
    {"txtN2Gas1", "N2-Anteil in 3 Atemgasen in %", "", FieldKind::Byte, 6},
    {"txtN2Gas2", "N2-Anteil in 3 Atemgasen in %", "", FieldKind::Byte, 7},
    {"txtN2Gas3", "N2-Anteil in 3 Atemgasen in %", "", FieldKind::Byte, 8},
    {"txtConservatism", "Konservativfaktor", "", FieldKind::Tenth, 9},
    {"txtMaxPpO2", "max. zulässiger ppO2", "bar", FieldKind::Tenth, 11},
    {"chkStartScreen", "Startbildschirm zeigen", "", FieldKind::CheckBox, 20},
    {"txtSoftwareVersion", "Software Version", "", FieldKind::Characters, 21},
    {"txtLightOffTime", "Zeit zum Abschalten der Displaybeleuchtung", "min", FieldKind::Byte, 18},
    {"txtStandbyTime", "Zeit bis zum Standby-Modus", "min", FieldKind::Byte, 19},
    {"txtBrightness", "Lichtstärke Display", "", FieldKind::Byte, 17},
    {"txtDay", "Datum (Tag, Monat, Jahr)", "", FieldKind::Byte, 12},
    {"txtMonth", "Datum (Tag, Monat, Jahr)", "", FieldKind::Byte, 13},
    {"txtYear", "Datum (Tag, Monat, Jahr)", "", FieldKind::Byte, 14},
    {"txtHour", "Uhrzeit (Stunde, Minute)", "", FieldKind::Byte, 16},
    {"txtMinute", "Uhrzeit (Stunde, Minute)", "", FieldKind::Byte, 15},
    {"txtDives", "Tauchgänge", "", FieldKind::Word, 24},
    {"txtTotalDiveTime", "Gesamte Tauchzeit", "min", FieldKind::Word, 26},
    {"txtMaxDepth", "Maximal erreichte Tiefe", "m", FieldKind::WordTenth, 28},
};

std::string FieldText(const FieldSpec& spec, const std::function<int(int)>& read,
                      std::string_view decimalSeparator) {
    switch (spec.kind) {
        case FieldKind::CheckBox: {
            // Only 0 and 1 are values of the box; read once for that test and once for the value.
            const int range = read(spec.address);
            const int value = read(spec.address);
            return (range == 0 || range == 1) && value == 1 ? "1" : "0";
        }
        case FieldKind::Characters: {
            std::string characters;
            for (int address = spec.address; address < spec.address + 3; ++address) {
                const int value = read(address);
                if (value < 0) return kFailedRead;
                characters += static_cast<char>(value);
            }
            return Windows1252ToUtf8(characters);
        }
        case FieldKind::Word:
        case FieldKind::WordTenth: {
            const int low = read(spec.address);  // low byte first
            const int high = read(spec.address + 1);
            if (low < 0 || high < 0) return kFailedRead;
            const int word = low + 256 * high;
            return spec.kind == FieldKind::Word ? std::to_string(word)
                                                : FormatGeneral(word / 10.0, decimalSeparator);
        }
        case FieldKind::Byte:
        case FieldKind::Tenth: {
            const int value = read(spec.address);
            if (value < 0) return kFailedRead;
            return spec.kind == FieldKind::Byte ? std::to_string(value)
                                                : FormatGeneral(value / 10.0, decimalSeparator);
        }
    }
    return kFailedRead;
}

}  // namespace

KoraEeprom EmptyKoraEeprom() {
    KoraEeprom image;
    image.fill(-1);
    return image;
}

std::optional<KoraEeprom> ParseKoraEeprom(std::string_view bytes) {
    if (auto numbers = ParseNumbers(bytes)) return numbers;
    // A text of 4097 numbers is at least 8193 bytes long, so a file of 4097 bytes is no such text.
    if (bytes.size() != kKoraEepromSize) return std::nullopt;
    KoraEeprom image;
    std::transform(bytes.begin(), bytes.end(), image.begin(),
                   [](char c) { return static_cast<int>(static_cast<unsigned char>(c)); });
    return image;
}

std::string KoraEepromText(const KoraEeprom& image) {
    std::string text;
    for (const int value : image)
        text += std::to_string(value) + "\n";
    return text;
}

int CountKoraDives(const KoraEeprom& image) {
    return static_cast<int>(std::count(image.begin(), image.end(), kKoraDiveStart));
}

std::vector<std::string> KoraDiveList(const KoraEeprom& image, int count) {
    std::vector<std::string> list;
    for (int n = 1; n <= count; ++n) {
        list.push_back("Tauchgang Nr. " + std::to_string(n) +
                       (FailedKoraDiveBytes(image, n) > 0 ? " (unvollständig)" : ""));
    }
    return list;
}

std::string KoraIncompleteDiveMessage(const KoraEeprom& image, int n) {
    const int failed = FailedKoraDiveBytes(image, n);
    if (failed == 0) return "";
    return "Der Tauchgang Nr. " + std::to_string(n) +
           " ist unvollständig: " + std::to_string(failed) +
           (failed == 1 ? " Byte kam" : " Bytes kamen") +
           " mit falscher Prüfsumme oder gar nicht an. Er wird nicht gezeigt; bitte den Speicher "
           "noch einmal laden.";
}

std::optional<KoraDiveSpan> FindKoraDive(const KoraEeprom& image, int n) {
    int found = 0;
    std::size_t start = 1;
    while (start < image.size() && (image[start] != kKoraDiveStart || ++found < n))
        ++start;
    if (n < 1 || start >= image.size()) return std::nullopt;
    // The dive's bytes run up to its end byte, wherever it stands.
    const auto end = std::find(image.begin() + static_cast<std::ptrdiff_t>(start) + 1, image.end(),
                               kKoraDiveEnd);
    return KoraDiveSpan{start, static_cast<std::size_t>(end - image.begin())};
}

int FailedKoraDiveBytes(const KoraEeprom& image, int n) {
    const std::optional<KoraDiveSpan> span = FindKoraDive(image, n);
    if (!span) return 0;
    // The end byte belongs to the dive: a failed read there runs the dive into the next one.
    const std::size_t last = std::min(span->end + 1, image.size());
    return static_cast<int>(std::count(image.begin() + static_cast<std::ptrdiff_t>(span->start),
                                       image.begin() + static_cast<std::ptrdiff_t>(last), -1));
}

std::optional<ProfileSnapshot> KoraDiveProfile(const KoraEeprom& image, int n) {
    const std::optional<KoraDiveSpan> span = FindKoraDive(image, n);
    if (!span) return std::nullopt;
    ProfileSnapshot dive;
    dive.points.emplace_back();  // the tables are used from index 1
    dive.lines.emplace_back();
    int deepest = 0;
    // Every third byte after the start byte begins a sample.
    for (std::size_t at = span->start + 1; at < span->end; at += 3) {
        const int depth = image[at];
        if (depth < 0 || depth >= kKoraNoDepth) continue;
        const auto minute = static_cast<std::int32_t>(dive.lines.size());
        dive.lines.push_back(
            {static_cast<double>(depth), 1, static_cast<double>(minute), kAirN2Percent, 0});
        dive.points.push_back({minute, depth, kAirN2Percent, 0});
        deepest = std::max(deepest, depth);
        dive.maxHScale = minute;
    }
    // The depth axis reaches 10 m below the deepest point, as for a loaded profile file, so that
    // the point is not drawn on the time axis.
    dive.maxVScale = std::min(deepest + kDepthAxisMargin, kDeepestDepthAxis);
    dive.nextPoint = static_cast<std::int32_t>(dive.points.size());  // points 1..k are drawn
    return dive;
}

std::vector<KoraSettingField> KoraSettingFieldLayout() {
    std::vector<KoraSettingField> fields = ReadKoraSettings([](int) { return -1; }, ".");
    for (KoraSettingField& field : fields)
        field.text.clear();
    return fields;
}

std::vector<KoraSettingField> ReadKoraSettings(const std::function<int(int address)>& read,
                                               std::string_view decimalSeparator) {
    std::vector<KoraSettingField> fields;
    for (const FieldSpec& spec : kSettingFields) {
        fields.push_back({spec.name, spec.label, spec.unit, FieldText(spec, read, decimalSeparator),
                          spec.kind == FieldKind::CheckBox});
    }
    return fields;
}

std::vector<KoraWrite> KoraClockWrites(const KoraClock& clock) {
    return {{16, clock.hour},
            {15, clock.minute},
            {12, clock.day},
            {13, clock.month},
            {14, clock.year % 100}};
}

}  // namespace marelos
