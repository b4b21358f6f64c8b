#include "cli.h"

#include <map>
#include <memory>
#include <optional>

#include "cli/calc_command.h"
#include "cli/datatrak_commands.h"
#include "cli/kora_commands.h"
#include "cli/output_commands.h"
#include "cli/uddf_commands.h"
#include "cli/vyper_commands.h"
#include "core/app_info.h"
#include "core/settings/memory_settings_store.h"
#include "core/settings/settings.h"
#include "platform/qt_convert.h"
#include "platform/qt_settings_store.h"

namespace marelos {
namespace {

constexpr const char* kUsage =
    "Aufruf: marelos-cli BEFEHL [--settings INI] [--set Abschnitt/Schlüssel=Wert]...\n"
    "\n"
    "Befehle:\n"
    "  calc DATEI --json        berechnet ein Tauchprofil: Meldungen, Profilzeilen,\n"
    "                           Minutenwerte, Dekostufen und Summen als JSON\n"
    "  nofly DATEI --json       Flugverbotszeit als JSON\n"
    "  plan DATEI               Tauchgangsplan\n"
    "  decotext DATEI           Dekompressionsphase als Text\n"
    "  decolines DATEI          Dekompressionszeilen, wie sie ins Profil gespeichert werden\n"
    "  decotable EIN AUS        Dekompressionstabelle aus Tiefen und Grundzeiten\n"
    "  airuse DATEI             Luftverbrauch\n"
    "  avgdepth DATEI           Durchschnittstiefe\n"
    "  mixlimits                Grenztiefen des eingestellten Gemisches\n"
    "  bestmix TIEFE            bestes Gemisch für eine Tiefe\n"
    "  blend O2 N2 HE BAR       Füllschritte für ein Trimix-Gemisch\n"
    "  altitude MBAR METER      Luftdruck in der Höhe\n"
    "  uddf-import DATEI ORDNER jeden Tauchgang mit Profil aus einem UDDF-Logbuch als\n"
    "                           Tauchprofil in den Ordner (vorhandene Dateien bleiben)\n"
    "  uddf-export DATEI AUS    Profilzeilen und Kommentar eines Tauchprofils als UDDF\n"
    "  vyper-decode DUMP ORDNER [VORHERIGER]\n"
    "                           die Bytes eines Vyper-Tauchgangs (Dezimalzahlen) als\n"
    "                           Tauchprofil in den Ordner (vorhandene Datei wird ersetzt)\n"
    "  vyper-download --device PFAD ORDNER [--dives N] [--interface 1|2]\n"
    "                           alle (oder N) Tauchgänge vom Suunto Vyper an der\n"
    "                           Schnittstelle in den Ordner laden\n"
    "  datatrak LOG ORDNER      die Tauchgänge eines Aladin-DataTrak-Logs als Tauchprofile\n"
    "                           in den Ordner (vorhandene Dateien werden ersetzt)\n"
    "  kora-dive ABBILD N       die Profilzeilen von Tauchgang N eines KORA-4-Speicherabbilds\n"
    "                           (4097 Zahlen oder Bytes), durch Tabulatoren getrennt\n"
    "  kora-download --device PFAD DATEI [--timeout MS]\n"
    "                           den ganzen Speicher des KORA 4 an der Schnittstelle als\n"
    "                           4097 Zahlen in die Datei lesen und die Tauchgänge nennen\n"
    "  settings                 die geladenen Einstellungen als Abschnitt/Schlüssel=Wert\n"
    "  --version                die Programmversion\n"
    "  --help                   diese Hilfe\n"
    "\n"
    "Rückgabewerte:\n"
    "  0  erfolgreich\n"
    "  1  eine Datei oder die Ausgabe konnte nicht gelesen oder geschrieben werden\n"
    "  2  unbekannter Befehl oder falsche Angaben\n"
    "  3  ein Tauchgang konnte nicht vollständig berechnet werden; der Grund steht in der\n"
    "     Fehlerausgabe, und es werden keine Dekompressionsstufen ausgegeben\n"
    "\n"
    "Ohne --settings gelten die Einstellungen des Benutzers; eine fehlende Datei gilt als leer.\n"
    "Die Einstellungen werden nie verändert:\n"
    "--set und alles, was das Programm beim Laden zurückschreibt, gilt nur für diesen Aufruf.\n";

struct Options {
    std::string command;
    std::vector<std::string> operands;  // what follows the command
    bool json = false;
    std::optional<std::string> settingsFile;
    std::vector<std::pair<std::string, std::string>> overrides;  // "Section/Key", value
    std::map<std::string, std::string> named;  // a command's own options, "--device" and so on
};

// Options that belong to one command and take a value.
bool IsNamedOption(const std::string& arg) {
    return arg == "--device" || arg == "--dives" || arg == "--interface" || arg == "--timeout";
}

// Parses the arguments; on a mistake writes the reason to `err` and returns nothing.
std::optional<Options> ParseOptions(const std::vector<std::string>& args, std::ostream& err) {
    Options options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--settings" && hasValue) {
            options.settingsFile = args[++i];
        } else if (arg == "--set" && hasValue) {
            const std::string& assignment = args[++i];
            const std::size_t slash = assignment.find('/');
            const std::size_t equals = assignment.find('=');
            if (slash == std::string::npos || equals == std::string::npos || equals < slash) {
                err << "--set erwartet Abschnitt/Schlüssel=Wert, nicht: " << assignment << "\n";
                return std::nullopt;
            }
            options.overrides.emplace_back(assignment.substr(0, equals),
                                           assignment.substr(equals + 1));
        } else if (IsNamedOption(arg) && hasValue) {
            options.named[arg] = args[++i];
        } else if (arg == "--json") {
            options.json = true;
        } else if (options.command.empty() && !arg.starts_with("--")) {
            options.command = arg;
        } else if (!arg.starts_with("--")) {
            options.operands.push_back(arg);
        } else {
            err << "Unbekannte oder unvollständige Angabe: " << arg << "\n";
            return std::nullopt;
        }
    }
    return options;
}

int PrintSettings(SettingsStore& store, const std::string& programFolder, std::ostream& out) {
    const Settings settings = LoadSettings(store, programFolder);
    InMemorySettingsStore written;
    WriteSettings(written, settings);
    for (const auto& entry : written.Entries()) {
        out << entry.section << "/" << entry.key << "=" << entry.value << "\n";
    }
    return 0;
}

}  // namespace

int RunCli(const std::vector<std::string>& args, const std::string& programFolder,
           std::ostream& out, std::ostream& err) {
    if (args.empty() || args[0] == "--help" || args[0] == "-h") {
        (args.empty() ? err : out) << kUsage;
        return args.empty() ? kExitUsage : kExitOk;
    }
    if (args[0] == "--version") {
        out << kProgramTitle << "\n";
        return 0;
    }
    const std::optional<Options> options = ParseOptions(args, err);
    if (!options) return kExitUsage;

    // A settings file that does not exist reads as an empty store; nothing is ever written.
    const auto userStore =
        options->settingsFile ? std::make_unique<QtSettingsStore>(ToQString(*options->settingsFile))
                              : std::make_unique<QtSettingsStore>();
    OverlaySettingsStore store(*userStore);
    for (const auto& [path, value] : options->overrides) {
        const std::size_t slash = path.find('/');
        store.WriteSetting(path.substr(0, slash), path.substr(slash + 1), value);
    }

    if (options->command == "settings" && options->operands.empty()) {
        return PrintSettings(store, programFolder, out);
    }
    if (options->command == "calc" && options->operands.size() == 1 && options->json) {
        return RunCalcCommand(options->operands[0], store, programFolder, out, err);
    }
    if (const int code =
            RunUddfCommand(options->command, options->operands, store, programFolder, out, err);
        code >= 0) {
        return code;
    }
    if (const int code = RunDatatrakCommand(options->command, options->operands, out, err);
        code >= 0) {
        return code;
    }
    if (const int code = RunVyperCommand(options->command, options->operands, options->named, store,
                                         programFolder, out, err);
        code >= 0) {
        return code;
    }
    if (const int code = RunKoraCommand(options->command, options->operands, options->named, store,
                                        programFolder, out, err);
        code >= 0) {
        return code;
    }
    const int code = RunOutputCommand(options->command, options->operands, options->json, store,
                                      programFolder, out, err);
    if (code >= 0) return code;
    err << "Unbekannter Befehl oder falsche Angaben: " << options->command << "\n" << kUsage;
    return kExitUsage;
}

int FinishOutput(std::ostream& out, std::ostream& err, int code) {
    out.flush();
    if (out) return code;
    err << "Die Ausgabe konnte nicht vollständig geschrieben werden.\n";
    return code == 0 ? 1 : code;
}

}  // namespace marelos
