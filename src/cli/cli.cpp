#include "cli.h"

#include <QFileInfo>
#include <memory>
#include <optional>

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
    "  settings    zeigt die geladenen Einstellungen als Abschnitt/Schlüssel=Wert\n"
    "  --version   zeigt die Programmversion\n"
    "  --help      zeigt diese Hilfe\n"
    "\n"
    "Ohne --settings gelten die Einstellungen des Benutzers. Sie werden nie verändert:\n"
    "--set und alles, was das Programm beim Laden zurückschreibt, gilt nur für diesen Aufruf.\n";

struct Options {
    std::string command;
    std::optional<std::string> settingsFile;
    std::vector<std::pair<std::string, std::string>> overrides;  // "Section/Key", value
};

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
        } else if (options.command.empty() && !arg.starts_with("--")) {
            options.command = arg;
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
        return args.empty() ? 2 : 0;
    }
    if (args[0] == "--version") {
        out << kProgramTitle << "\n";
        return 0;
    }
    const std::optional<Options> options = ParseOptions(args, err);
    if (!options) return 2;

    std::unique_ptr<QtSettingsStore> userStore;
    if (options->settingsFile) {
        if (!QFileInfo(ToQString(*options->settingsFile)).isFile()) {
            err << "Die Einstellungsdatei " << *options->settingsFile << " gibt es nicht.\n";
            return 1;
        }
        userStore = std::make_unique<QtSettingsStore>(ToQString(*options->settingsFile));
    } else {
        userStore = std::make_unique<QtSettingsStore>();
    }
    OverlaySettingsStore store(*userStore);
    for (const auto& [path, value] : options->overrides) {
        const std::size_t slash = path.find('/');
        store.WriteSetting(path.substr(0, slash), path.substr(slash + 1), value);
    }

    if (options->command == "settings") return PrintSettings(store, programFolder, out);
    err << "Unbekannter Befehl: " << options->command << "\n" << kUsage;
    return 2;
}

}  // namespace marelos
