#include "core/divecomputers/datatrak_log.h"

#include <filesystem>
#include <limits>
#include <set>
#include <string>

#include "core/browser/profile_browser.h"
#include "core/profile/profile_file.h"
#include "core/text/codepage.h"
#include "core/text/number_format.h"
#include "core/text/rounding.h"
#include "core/text/text_file.h"

namespace marelos {

namespace {

constexpr std::size_t kFirstRecord = 12;
constexpr std::size_t kDiveCountAt = 6;
constexpr int kRecordMark = 0xA0;  // followed by 0x00
// The DataTrak software counts a record's profile bytes from t+52, where the 24 bytes before the
// samples at t+76 begin; the count then runs up to the next record mark.
constexpr std::size_t kProfileCountFrom = 52;
constexpr std::size_t kSamplesFrom = 76;
constexpr int kMaxProfileBytes = 3000;
constexpr int kNoAirTemperature = 328;  // 0x8000 hundredths, rounded
constexpr int kImplausibleDepth = 79;   // a sample this deep counts against a stride
constexpr int kNoiseDepth = 99;         // samples this deep are left out
constexpr std::size_t kValueColumn = 32;
const std::string kRule(128, '-');
constexpr const char* kCutDive =
    "Die Datei endet in den Profildaten dieses Tauchgangs: er wird nicht gespeichert.";

// The log's bytes. A byte beyond the end reads as 0, as in the zero-filled buffer a log is read
// into, so no record, however damaged, is read past the data.
class LogBytes {
  public:
    explicit LogBytes(std::string_view bytes) : bytes_(bytes) {}
    std::size_t size() const { return bytes_.size(); }
    int At(std::size_t i) const {
        return i < bytes_.size() ? static_cast<unsigned char>(bytes_[i]) : 0;
    }
    int Word(std::size_t i) const { return At(i) | At(i + 1) << 8; }
    unsigned long Long(std::size_t i) const {
        return static_cast<unsigned long>(Word(i)) | static_cast<unsigned long>(Word(i + 2)) << 16;
    }
    // A length byte and that many characters.
    std::string Text(std::size_t at) const {
        std::string dos;
        for (std::size_t i = 0; i < static_cast<std::size_t>(At(at)); ++i)
            dos += static_cast<char>(At(at + 1 + i));
        return ConvertDosText(dos);
    }
    // A sample's depth in whole metres from the big-endian word at i; its lowest 6 bits are
    // flags.
    int Depth(std::size_t i) const { return ((At(i) << 8 | At(i + 1)) & 0xFFC0) / 410; }
    bool IsMark(std::size_t i) const {
        return i + 1 < bytes_.size() && At(i) == kRecordMark && At(i + 1) == 0x00;
    }
    // The first record mark after p with both of its bytes inside the log; the end of the log
    // when there is none.
    std::size_t NextMark(std::size_t p) const {
        for (std::size_t i = p + 1; i + 1 < bytes_.size(); ++i) {
            if (IsMark(i)) return i;
        }
        return bytes_.size();
    }

  private:
    std::string_view bytes_;
};

int Hundredths(int value) {
    return static_cast<int>(RoundHalfEven(value / 100.0));
}

std::string Clock(int minutes) {
    return PadZero(minutes / 60, 2) + ":" + PadZero(minutes % 60, 2);
}

std::string IntervalText(int minutes) {
    if (minutes / 60 >= 101) return "---";
    return PadZero(minutes / 60, 2) + " h und " + PadZero(minutes % 60, 2) + " min";
}

struct Record {
    LogDate date;
    std::string time, interval, country, site, remarks, partner;
    int airTemperature, maxDepth, diveMinutes, waterTemperature, number, profileBytes;
    std::size_t profileStart;
    std::size_t declaredEnd;  // where the profile bytes end by their count
    bool usable;
    bool hasAir() const { return airTemperature != kNoAirTemperature; }
    bool hasWater() const { return waterTemperature >= 0 && waterTemperature <= 30; }
};

Record ReadRecord(const LogBytes& log, std::size_t p) {
    Record d{};
    d.date = DateFromDays(log.Long(p + 2));
    d.time = Clock(log.Word(p + 6));
    const std::size_t l1 = static_cast<std::size_t>(log.At(p + 8));
    d.country = log.Text(p + 8);
    d.site = log.Text(p + 9 + l1);
    const std::size_t r = p + l1 + static_cast<std::size_t>(log.At(p + 9 + l1));
    d.interval = IntervalText(log.Word(r + 11));
    d.airTemperature = Hundredths(log.Word(r + 14));
    d.maxDepth = Hundredths(log.Word(r + 19));
    d.diveMinutes = log.Word(r + 21);
    d.waterTemperature = Hundredths(log.Word(r + 23));
    const std::size_t l3 = static_cast<std::size_t>(log.At(r + 31));
    const std::size_t l4 = static_cast<std::size_t>(log.At(r + 32 + l3));
    const std::size_t l5 = static_cast<std::size_t>(log.At(r + 33 + l3 + l4));
    d.remarks = log.Text(r + 31);
    d.partner = log.Text(r + 32 + l3);
    const std::string second = log.Text(r + 33 + l3 + l4);
    if (!second.empty()) d.remarks = d.remarks.empty() ? second : d.remarks + ", " + second;
    const std::size_t t = r + l3 + l4 + l5;
    d.number = log.Word(t + 36);
    d.profileBytes = log.Word(t + 50);
    d.profileStart = t + kSamplesFrom;
    d.declaredEnd = t + kProfileCountFrom + static_cast<std::size_t>(d.profileBytes);
    d.usable = d.date.year >= 1980 && d.date.year <= 2020 && d.profileBytes >= 1 &&
               d.profileBytes <= kMaxProfileBytes;
    return d;
}

// Label, tabs up to the value column (tab stops every 8 characters), value.
std::string Listed(std::string_view label, const std::string& value) {
    const std::size_t length = Utf8Length(label);
    const std::size_t tabs = length < kValueColumn ? (kValueColumn - length + 7) / 8 : 1;
    return std::string(label) + std::string(tabs, '\t') + value;
}

std::vector<std::string> ListLines(const Record& d, int identification) {
    std::vector<std::string> lines = {
        Listed("Lfd. Tauchgangs-Nr: ", std::to_string(d.number)),
        Listed("Datum/Uhrzeit: ", d.date.text + "\t" + d.time),
        Listed("Bytes Profildaten: ", std::to_string(d.profileBytes)),
        Listed("Identifizierungsbyte: ", std::to_string(identification)),
        Listed("Daten OK? ", d.usable ? "Ja" : "Nein"),
        Listed("Oberflächenpause vor TG: ", d.interval),
        Listed("Land: ", d.country),
        Listed("Tauchplatz: ", d.site),
        Listed("Tauchpartner: ", d.partner),
        Listed("Maximale Tiefe ", std::to_string(d.maxDepth) + " m"),
        Listed("Tauchzeit ", std::to_string(d.diveMinutes) + " min"),
        d.hasWater()
            ? Listed("Minimale Wassertemperatur ", std::to_string(d.waterTemperature) + " °C")
            : Listed("Minimale Wassertemperatur: ", "---"),
    };
    if (d.hasAir())
        lines.push_back(Listed("Lufttemperatur ", std::to_string(d.airTemperature) + " °C"));
    lines.push_back(Listed("Bemerkungen: ", d.remarks));
    lines.push_back(kRule);
    return lines;
}

// The stride whose groups hold the fewest implausible depths in their first two bytes; the
// smaller stride on a tie.
int ChooseStride(const LogBytes& log, std::size_t begin, std::size_t end) {
    int best = 0;
    long bestCount = std::numeric_limits<long>::max();
    for (const int stride : {7, 8, 9}) {
        long count = 0;
        for (std::size_t j = begin; j < end; j += static_cast<std::size_t>(stride))
            count += log.Depth(j) >= kImplausibleDepth ? 1 : 0;
        if (count < bestCount) {
            best = stride;
            bestCount = count;
        }
    }
    return best;
}

std::vector<std::string> FileLines(const LogBytes& log, const Record& d, int stride,
                                   std::size_t end) {
    std::vector<std::string> f = {std::string(kProfileHeader)};
    // With stride 8 the depth word is the group's second and third byte.
    const std::size_t wordAt = stride == 8 ? 1 : 0;
    int counter = 1;
    for (std::size_t j = d.profileStart; j < end; j += static_cast<std::size_t>(stride)) {
        const int depth = log.Depth(j + wordAt);
        if (depth >= kNoiseDepth) continue;
        f.push_back(std::to_string(depth) + "\t1\t" + std::to_string(counter++) + "\t78\t0");
    }
    f.emplace_back(kEndOfProfile);
    f.push_back("Ort: " + d.country);
    f.push_back("Gewässer: " + d.site);
    f.push_back("Datum: " + d.date.text);
    f.push_back("Uhrzeit: " + d.time);
    f.push_back("Dauer: " + std::to_string(d.diveMinutes) + " min.");
    f.push_back("Maximale Tiefe: " + std::to_string(d.maxDepth) + " m");
    f.push_back("Lufttemperatur vor TG: " +
                (d.hasAir() ? std::to_string(d.airTemperature) + " °C" : "---"));
    f.push_back(d.hasWater() ? "Temperatur auf maximaler Tiefe: " +
                                   std::to_string(d.waterTemperature) + " °C"
                             : "Temperatur auf maximaler Tiefe: ---");
    f.push_back("Oberflächenpause vor dem TG: " + d.interval);
    f.push_back("Bemerkungen: " + d.remarks);
    f.push_back("Tauchpartner: " + d.partner);
    f.emplace_back("Aufzeichnungsintervall: 20 s");
    return f;
}

// "STEM.mrp", or "STEM (2).mrp" and so on when a dive of the same log already has that name
// (a log can hold two dives of one number), so that no dive replaces another.
std::string UnusedName(const std::string& stem, std::set<std::string>& names) {
    std::string name = stem + ".mrp";
    for (int n = 2; !names.insert(name).second; ++n)
        name = stem + " (" + std::to_string(n) + ").mrp";
    return name;
}

// The log's name: its file name up to the first ".".
std::string LogName(std::string_view logPath) {
    const std::size_t slash = logPath.rfind('/');
    std::string_view name = slash == std::string_view::npos ? logPath : logPath.substr(slash + 1);
    return std::string(name.substr(0, name.find('.')));
}

DatatrakOutcome Ended(DatatrakEnd end, int written, std::string_view logPath) {
    const std::string done = "Umwandeln von " + std::string(logPath) + " beendet. " +
                             std::to_string(written) + " Tauchgänge ";
    switch (end) {
        case DatatrakEnd::AllDives:
            return {end, written, "Alle Tauchgänge eingelesen. " + done + "gespeichert.",
                    MessageIcon::Information};
        case DatatrakEnd::EndOfData:
            return {end, written, done + "abgespeichert.", MessageIcon::Information};
        default:
            return {end, written, done + "gespeichert.", MessageIcon::Information};
    }
}

// Collects what a run lists and writes.
class CollectingView : public DatatrakView {
  public:
    void List(const std::string& line) override { conversion.listLines.push_back(line); }
    std::optional<Failure> Write(const DatatrakFile& file) override {
        conversion.files.push_back(file);
        return std::nullopt;
    }
    DatatrakConversion conversion{
        {}, {}, {DatatrakEnd::EndOfData, 0, "", MessageIcon::Information}};
};

}  // namespace

std::string ConvertDosText(std::string_view dos) {
    std::string text;
    for (const char c : dos) {
        const int b = static_cast<unsigned char>(c);
        switch (b) {
            case 129:
            case 252:
                text += "ü";
                break;
            case 132:
            case 228:
                text += "ä";
                break;
            case 142:
                text += "Ä";
                break;
            case 148:
            case 246:
                text += "ö";
                break;
            case 153:
                text += "Ö";
                break;
            case 154:
                text += "Ü";
                break;
            case 160:
            case 223:
            case 225:
                text += "ß";
                break;
            default:
                if (b >= 32 && b <= 127) text += c;
        }
    }
    return text;
}

LogDate DateFromDays(unsigned long days) {
    // Days since 1 March of year 0 in the proleptic Gregorian calendar; 1600 starts a 400-year
    // era, which keeps the arithmetic in whole eras and years.
    const long long z = static_cast<long long>(days) + 584328;
    const long long era = z / 146097;
    const long long dayOfEra = z - era * 146097;
    const long long yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const long long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const long long shiftedMonth = (5 * dayOfYear + 2) / 153;  // 0 is March
    const long long day = dayOfYear - (153 * shiftedMonth + 2) / 5 + 1;
    const long long month = shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9;
    const long long year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
    return {year, PadZero(day, 2) + "-" + PadZero(month, 2) + "-" + PadZero(year, 4)};
}

std::optional<Failure> DatatrakView::Write(const DatatrakFile& file) {
    return WriteTextFileLines(file.path, file.lines);
}

DatatrakOutcome RunDatatrakImport(std::string_view bytes, std::string_view logPath,
                                  std::string_view storageFolder, DatatrakView& view) {
    const LogBytes log(bytes);
    // Every record begins with the mark, the first one right behind the header: bytes without it
    // there are no log, whatever number stands where the dive count would be.
    if (!log.IsMark(kFirstRecord)) {
        return {DatatrakEnd::Failed, 0,
                "Die Datei " + std::string(logPath) +
                    " ist kein Aladin-DataTrak-Log: die Kennung des ersten Tauchgangs fehlt. Es "
                    "wurde nichts umgewandelt.",
                MessageIcon::Critical};
    }
    const int diveCount = log.Word(kDiveCountAt);
    const std::string logName = LogName(logPath);
    view.List("Anzahl Tauchgänge in diesem Log: " + std::to_string(diveCount));
    view.List(kRule);
    int listed = 0;
    int written = 0;
    std::set<std::string> names;  // the files of this log so far
    for (std::size_t p = kFirstRecord; p < log.size();) {
        const Record d = ReadRecord(log, p);
        const std::size_t end = log.NextMark(p);
        if (d.usable) {
            std::vector<std::string> lines = ListLines(d, log.At(d.profileStart));
            // A log that ends inside its last dive's samples holds only their beginning: saved,
            // they would pass for the whole dive (and understate a repetitive dive's nitrogen).
            const bool cut = end == log.size() && d.declaredEnd > log.size();
            if (cut) lines.insert(lines.end() - 1, kCutDive);
            for (const std::string& line : lines)
                view.List(line);
            const int stride = ChooseStride(log, d.profileStart, end);
            if (stride != 9 && !cut) {
                const std::string name = UnusedName(logName + (stride == 7 ? " Luft" : " Nitrox") +
                                                        " Datatrak TG " + PadZero(d.number, 4),
                                                    names);
                const DatatrakFile file{JoinPath(storageFolder, name),
                                        FileLines(log, d, stride, end)};
                if (const auto failure = view.Write(file)) {
                    DatatrakOutcome failed = Ended(DatatrakEnd::Failed, written, logPath);
                    failed.message = FailureMessage(*failure) + " " + failed.message;
                    failed.icon = MessageIcon::Critical;
                    return failed;
                }
                ++written;
            }
            if (++listed > diveCount) return Ended(DatatrakEnd::AllDives, written, logPath);
        }
        p = end;
        if (view.Cancelled(p, log.size())) return Ended(DatatrakEnd::Cancelled, written, logPath);
    }
    return Ended(DatatrakEnd::EndOfData, written, logPath);
}

DatatrakOutcome ImportDatatrakFile(const std::string& logPath, const std::string& storageFolder,
                                   DatatrakView& view) {
    view.List("Lese Datei...");
    const Result<std::string> bytes = ReadFileBytes(logPath, kDatatrakMaxBytes - 1);
    if (!bytes) {
        const bool tooLarge = bytes.failure().kind == FailureKind::TooLarge;
        return {DatatrakEnd::Failed, 0,
                tooLarge ? "Die Datei " + logPath +
                               " ist größer als 256 kB. Zuwenig Speicherplatz vorhanden, Import "
                               "wird abgebrochen."
                         : FailureMessage(bytes.failure()),
                MessageIcon::Critical};
    }
    std::error_code ignored;  // a folder that cannot be made shows up when a dive is written
    std::filesystem::create_directories(storageFolder, ignored);
    return RunDatatrakImport(bytes.value(), logPath, storageFolder, view);
}

DatatrakConversion ConvertDatatrakLog(std::string_view bytes, std::string_view logPath,
                                      std::string_view storageFolder) {
    CollectingView view;
    view.conversion.outcome = RunDatatrakImport(bytes, logPath, storageFolder, view);
    return std::move(view.conversion);
}

std::string DatatrakLastPath(std::string_view logPath) {
    const std::size_t slash = logPath.rfind('/');
    return slash == std::string_view::npos ? "" : std::string(logPath.substr(0, slash + 1));
}

}  // namespace marelos
