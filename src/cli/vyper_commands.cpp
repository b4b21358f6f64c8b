#include "vyper_commands.h"

#include <charconv>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <sstream>

#include "cli/calc_command.h"
#include "core/divecomputers/vyper_dive.h"
#include "core/divecomputers/vyper_link.h"
#include "core/text/text_file.h"
#include "platform/qt_serial_link.h"

namespace marelos {
namespace {

// The byte values of a dump: whitespace-separated decimal numbers 0..255; nothing when one is
// not such a number.
std::optional<std::vector<std::uint8_t>> ParseDump(const std::string& text) {
    std::vector<std::uint8_t> bytes;
    std::istringstream words(text);
    std::string word;
    while (words >> word) {
        unsigned value = 0;
        const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
        if (ec != std::errc{} || end != word.data() + word.size() || value > 255)
            return std::nullopt;
        bytes.push_back(static_cast<std::uint8_t>(value));
    }
    return bytes;
}

int DecodeDive(const std::string& dumpFile, const std::string& folder, const std::string& previous,
               std::ostream& out, std::ostream& err) {
    const Result<std::string> text = ReadFileBytes(dumpFile);
    if (!text) {
        err << FailureMessage(text.failure()) << "\n";
        return kExitFailure;
    }
    const auto bytes = ParseDump(text.value());
    if (!bytes) {
        err << "Die Datei " << dumpFile << " enthält keine Bytewerte von 0 bis 255.\n";
        return kExitUsage;
    }
    const auto dive = ConvertVyperDive(*bytes, previous);
    if (!dive) {
        out << "ErrorCount: 1\n";
        return kExitFailure;
    }
    if (!dive->impossible.empty()) {
        err << VyperRefusalLine(*dive) << "\n";
        return kExitFailure;
    }
    std::error_code ignored;  // a folder that cannot be made shows up as the write failure
    std::filesystem::create_directories(folder, ignored);
    if (const auto failure =
            WriteTextFileLines(VyperDivePath(folder, dive->name), dive->fileLines)) {
        err << FailureMessage(*failure) << "\n";
        return kExitFailure;
    }
    for (const std::string& line : dive->summaryLines)
        out << line << "\n";
    out << dive->name << ".mrp\n";
    return kExitOk;
}

// The message list as printed lines; a command line has nobody to ask, and waits with the event
// loop running so the port keeps receiving.
class PrintingView : public VyperView {
  public:
    explicit PrintingView(std::ostream& out) : out_(out) {}
    void List(const std::string& line) override { out_ << line << "\n" << std::flush; }
    void ShowBytes(long long) override {}
    void ShowDiveNumber(long long) override {}
    void ShowErrors(int) override {}
    void AddFile(const std::string&) override {}
    bool AskOverwrite(const std::string&) override { return true; }
    void DownloadFinished() override { List("Übertragung beendet"); }
    void Pause(int milliseconds) override { PauseWithEvents(milliseconds); }

  private:
    std::ostream& out_;
};

// Without a window the download ends at the second request in a row that brings no dive: the
// first is the end of the memory, the second makes sure it was no lost answer.
constexpr int kCliMaxErrors = 2;

// The most dives --dives takes: far more than the device's memory holds.
constexpr int kMaxDivesAsked = 9999;

int DownloadDives(const std::string& device, const std::string& folder, int dives, int interface,
                  SettingsStore& store, const std::string& programFolder, std::ostream& out,
                  std::ostream& err) {
    const Settings settings = LoadSettings(store, programFolder);
    QtSerialLink link;
    if (const auto failure = link.Open(device, VyperLineSettings(settings))) {
        err << SerialOpenErrorMessage(device, *failure) << "\n";
        return kExitFailure;
    }
    link.SetDtr(true);  // it powers the interface
    link.SetRts(false);
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);

    VyperOptions options = VyperOptionsFrom(settings);
    if (interface != 0) options.interfaceType = interface;
    options.storageFolder = folder;
    options.overwrite = OverwriteChoice::Always;
    options.maxDives = dives;
    options.maxErrors = kCliMaxErrors;
    PrintingView view(out);
    VyperLink vyper(link, view, options);
    link.OnDataArrived([&] {
        while (link.BytesWaiting() > 0)
            vyper.ReceiveByte();
    });
    vyper.StartDownload();
    while (vyper.Tick())
        PauseWithEvents(100);
    link.Close();
    // A transfer that lost its port, dropped a dive or brought nothing is no success.
    const std::string shortfall = vyper.Shortfall();
    if (shortfall.empty()) return kExitOk;
    err << shortfall << "\n";
    return kExitFailure;
}

}  // namespace

void AddVyperCommands(CommandSet& commands) {
    struct DecodeArguments {
        std::string dump, folder, previous;
    };
    const auto decode = std::make_shared<DecodeArguments>();
    CLI::App& decoding = commands.Add(
        "vyper-decode", "die Bytes eines Vyper-Tauchgangs als Tauchprofil",
        [decode](const CommandContext& c) {
            return DecodeDive(decode->dump, decode->folder, decode->previous, c.out, c.err);
        });
    AddOperand(decoding, "DUMP", decode->dump, "die Bytes des Tauchgangs als Dezimalzahlen");
    AddOperand(decoding, "ORDNER", decode->folder, "wohin das Tauchprofil kommt");
    AddOptionalOperand(decoding, "VORHERIGER", decode->previous,
                       "das Tauchprofil des vorigen Tauchgangs (für Wiederholungstauchgänge)");
    decoding.footer("Eine vorhandene Datei wird ersetzt.");

    struct DownloadArguments {
        std::string device, folder;
        int dives = 0;      // 0: all
        int interface = 0;  // 0: the one of the settings
    };
    const auto download = std::make_shared<DownloadArguments>();
    CLI::App& downloading = commands.Add(
        "vyper-download", "die Tauchgänge vom Suunto Vyper laden",
        [download](const CommandContext& c) {
            return DownloadDives(download->device, download->folder, download->dives,
                                 download->interface, c.store, c.programFolder, c.out, c.err);
        });
    downloading.add_option("--device", download->device, "die serielle Schnittstelle")
        ->type_name("PFAD")
        ->required();
    AddOperand(downloading, "ORDNER", download->folder, "wohin die Tauchprofile kommen");
    downloading.add_option("--dives", download->dives, "höchstens N Tauchgänge (0: alle)")
        ->type_name("N")
        ->check(WholeNumber(0, kMaxDivesAsked));
    downloading.add_option("--interface", download->interface, "Art des Interface-Kabels")
        ->type_name("1|2")
        ->check(WholeNumber(1, 2));
    downloading.footer(
        "Vorhandene Dateien werden ersetzt. Leitung, Wartezeiten und (ohne --interface) das\n"
        "Interface kommen aus den Einstellungen.");
}

}  // namespace marelos
