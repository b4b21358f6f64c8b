#include "kora_commands.h"

#include <array>
#include <charconv>
#include <memory>

#include "cli/calc_command.h"
#include "core/divecomputers/kora_link.h"
#include "core/divecomputers/vyper_link.h"
#include "core/text/file_replacement.h"
#include "core/text/number_format.h"
#include "core/text/text_file.h"
#include "platform/qt_serial_link.h"

namespace marelos {
namespace {

// A whole number above 0 that the text is and nothing else.
std::optional<int> PositiveNumber(const std::string& text) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc{} || end != text.data() + text.size() || value < 1) return std::nullopt;
    return value;
}

int PrintDive(const std::string& file, const std::string& number, std::ostream& out,
              std::ostream& err) {
    const std::optional<int> n = PositiveNumber(number);
    if (!n) {
        err << "Die Tauchgangsnummer muss eine ganze Zahl ab 1 sein, nicht: " << number << "\n";
        return kExitUsage;
    }
    const Result<std::string> bytes = ReadFileBytes(file);
    if (!bytes) {
        err << FailureMessage(bytes.failure()) << "\n";
        return kExitFailure;
    }
    const std::optional<KoraEeprom> image = ParseKoraEeprom(bytes.value());
    if (!image) {
        err << "Die Datei " << file
            << " ist kein Speicherabbild des KORA 4: erwartet werden 4097 Zahlen von -1 bis 255 "
               "oder 4097 Bytes.\n";
        return kExitFailure;
    }
    if (const std::string incomplete = KoraIncompleteDiveMessage(*image, *n); !incomplete.empty()) {
        err << incomplete << "\n";
        return kExitFailure;
    }
    const std::optional<ProfileSnapshot> dive = KoraDiveProfile(*image, *n);
    if (!dive) {
        err << "Das Speicherabbild enthält keinen Tauchgang Nr. " << *n
            << " (gefunden: " << CountKoraDives(*image) << ").\n";
        return kExitUsage;
    }
    for (std::size_t k = 1; k < dive->lines.size(); ++k) {
        const ProfileLine& line = dive->lines[k];
        out << FormatGeneral(line.depth) << "\t" << FormatGeneral(line.tDelta) << "\t"
            << FormatGeneral(line.tTotal) << "\t" << FormatGeneral(line.n2Percent) << "\t"
            << FormatGeneral(line.hePercent) << "\n";
    }
    return kExitOk;
}

int Download(const std::string& device, const std::string& file, int timeoutMs,
             SettingsStore& store, const std::string& programFolder, std::ostream& out,
             std::ostream& err) {
    const Settings settings = LoadSettings(store, programFolder);
    QtSerialLink port;
    if (const auto failure = port.Open(device, VyperLineSettings(settings))) {
        err << SerialOpenErrorMessage(device, *failure) << "\n";
        return kExitFailure;
    }
    port.SetRts(true);
    KoraLink link(
        port, [&](std::size_t count, int ms) { WaitForBytesWithEvents(port, count, ms); },
        timeoutMs);
    const KoraLoad load = LoadKoraEeprom(link, [](int) { return true; });
    port.Close();
    const KoraLoadReport report = ReportKoraLoad(load);
    // A memory read in part is not written: its unread end would read as failed bytes.
    if (load.end != KoraLoadEnd::Complete) {
        err << report.message << "\n";
        return kExitFailure;
    }
    if (const auto failure = ReplaceFileContent(file, KoraEepromText(load.image))) {
        err << FailureMessage(*failure) << "\n";
        return kExitFailure;
    }
    for (const std::string& line : report.dives)
        out << line << "\n";
    if (!report.failed) return kExitOk;
    err << report.message << "\n";
    return kExitFailure;
}

// The longest wait for one reply that --timeout takes: a minute.
constexpr int kMaxReplyTimeoutMs = 60000;

}  // namespace

void AddKoraCommands(CommandSet& commands) {
    const auto dive = std::make_shared<std::array<std::string, 2>>();
    CLI::App& printing =
        commands.Add("kora-dive", "die Profilzeilen eines Tauchgangs im KORA-4-Speicher",
                     [dive](const CommandContext& c) {
                         return PrintDive((*dive)[0], (*dive)[1], c.out, c.err);
                     });
    AddOperand(printing, "ABBILD", (*dive)[0], "das Speicherabbild");
    AddOperand(printing, "N", (*dive)[1], "die Nummer des Tauchgangs, ab 1");
    printing.footer(
        "Das Abbild sind 4097 Zahlen (-1 für ein nicht gelesenes Byte) oder 4097 Bytes; die\n"
        "Zeilen sind Tiefe, t, Tgesamt, N2% und He%, durch Tabulatoren getrennt.");

    struct DownloadArguments {
        std::string device, file;
        int timeoutMs = kKoraReplyTimeoutMs;
    };
    const auto download = std::make_shared<DownloadArguments>();
    CLI::App& downloading =
        commands.Add("kora-download", "den Speicher des KORA 4 lesen und seine Tauchgänge nennen",
                     [download](const CommandContext& c) {
                         return Download(download->device, download->file, download->timeoutMs,
                                         c.store, c.programFolder, c.out, c.err);
                     });
    downloading.add_option("--device", download->device, "die serielle Schnittstelle")
        ->type_name("PFAD")
        ->required();
    AddOperand(downloading, "DATEI", download->file, "wohin der Speicher geschrieben wird");
    downloading.add_option("--timeout", download->timeoutMs, "Wartezeit auf jede Antwort")
        ->type_name("MS")
        ->check(WholeNumber(1, kMaxReplyTimeoutMs));
}

}  // namespace marelos
