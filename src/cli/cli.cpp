#include "cli.h"

#include <memory>

#include "cli/calc_command.h"
#include "cli/command_line.h"
#include "cli/datatrak_commands.h"
#include "cli/gas_command.h"
#include "cli/kora_commands.h"
#include "cli/output_commands.h"
#include "cli/schedule_command.h"
#include "cli/slate_command.h"
#include "cli/uddf_commands.h"
#include "cli/vyper_commands.h"
#include "core/app_info.h"
#include "core/settings/memory_settings_store.h"
#include "core/settings/settings.h"
#include "platform/qt_convert.h"
#include "platform/qt_settings_store.h"

namespace marelos {
namespace {

constexpr const char* kDescription =
    "marelos-cli: das Rechenwerk von Marelos ohne Fenster, für Skripte und Tests.";

constexpr const char* kFooter =
    "Rückgabewerte:\n"
    "  0  erfolgreich\n"
    "  1  eine Datei, die Ausgabe oder ein Tauchcomputer konnte nicht gelesen oder geschrieben\n"
    "     werden, oder eine Übertragung oder ein Logbuch war unvollständig oder beschädigt\n"
    "  2  unbekannter Befehl oder falsche Angaben\n"
    "  3  ein Tauchgang oder ein Plan konnte nicht vollständig berechnet werden; der Grund\n"
    "     steht in der Fehlerausgabe, und es werden keine Dekompressionsstufen ausgegeben\n"
    "\n"
    "Ohne --settings gelten die Einstellungen des Benutzers; eine fehlende Datei gilt als leer.\n"
    "Die Einstellungen werden nie verändert:\n"
    "--set und alles, was das Programm beim Laden zurückschreibt, gilt nur für diesen Aufruf.\n"
    "\n"
    "Die Angaben eines Befehls zeigt: marelos-cli BEFEHL --help";

// The options of every call: which settings file, and changes to it for this call only.
struct SettingsArguments {
    std::string file;
    std::vector<std::string> changes;  // "Section/Key=Value"
};

CLI::Validator SettingChange() {
    return CLI::Validator(
        [](std::string& change) -> std::string {
            const std::size_t slash = change.find('/');
            const std::size_t equals = change.find('=');
            if (slash != std::string::npos && equals != std::string::npos && slash < equals)
                return {};
            return "erwartet Abschnitt/Schlüssel=Wert, nicht: " + change;
        },
        "");
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

void AddSettingsCommand(CommandSet& commands) {
    commands.Add(
        "settings", "die Einstellungen, wie das Programm sie lädt",
        [](const CommandContext& c) { return PrintSettings(c.store, c.programFolder, c.out); });
}

// Every command of the tool, in the order the help lists them.
void AddCommands(CommandSet& commands) {
    AddCalcCommand(commands);
    AddOutputCommands(commands);
    AddGasCommand(commands);
    AddScheduleCommand(commands);
    AddSlateCommand(commands);
    AddUddfCommands(commands);
    AddVyperCommands(commands);
    AddDatatrakCommand(commands);
    AddKoraCommands(commands);
    AddSettingsCommand(commands);
}

// A command line that cannot run: the reason, then the help of the command it named.
int Refuse(const std::string& reason, const CLI::App& app, std::ostream& err) {
    err << reason << "\n\n" << app.help();
    return kExitUsage;
}

std::string Joined(const std::vector<std::string>& words) {
    std::string joined;
    for (const std::string& word : words)
        joined += (joined.empty() ? "" : " ") + word;
    return joined;
}

// The parser of the whole tool with every command on it.
struct Parser {
    Parser() {
        UseGermanHelp(app);
        app.set_version_flag("--version", std::string(kProgramTitle), "die Programmversion");
        app.add_option("--settings", settings.file,
                       "diese Einstellungsdatei statt der des Benutzers")
            ->type_name("INI");
        app.add_option("--set", settings.changes, "ändert eine Einstellung nur für diesen Aufruf")
            ->type_name("Abschnitt/Schlüssel=Wert")
            ->check(SettingChange())
            ->allow_extra_args(false);
        AddCommands(commands);
        app.footer(kFooter);  // after the commands, which would take it over into their own help
    }
    void Parse(const std::vector<std::string>& args) {
        std::vector<std::string> reversed(args.rbegin(), args.rend());  // as CLI11 takes them
        app.parse(reversed);
    }

    CLI::App app{kDescription, "marelos-cli"};
    SettingsArguments settings;
    CommandSet commands{app};
};

}  // namespace

CommandNeeds NeedsOf(const std::vector<std::string>& args) {
    Parser parser;
    try {
        parser.Parse(args);
    } catch (const CLI::Error&) {
        return CommandNeeds::Core;  // the run itself says what is wrong
    }
    return parser.commands.ChosenNeeds();
}

int RunCli(const std::vector<std::string>& args, const std::string& programFolder,
           std::ostream& out, std::ostream& err) {
    Parser parser;
    CLI::App& app = parser.app;
    const SettingsArguments& settings = parser.settings;
    const CommandSet& commands = parser.commands;

    if (args.empty()) {
        err << app.help();
        return kExitUsage;
    }
    try {
        parser.Parse(args);
    } catch (const CLI::CallForHelp&) {
        out << app.help();
        return kExitOk;
    } catch (const CLI::CallForVersion&) {
        out << kProgramTitle << "\n";
        return kExitOk;
    } catch (const CLI::ParseError& error) {
        return Refuse(GermanParseMessage(error, app), app, err);
    }
    const CommandAction* action = commands.Chosen();
    if (const std::vector<std::string> extra = app.remaining(true); !extra.empty()) {
        return Refuse((action ? "Unbekannte oder überzählige Angabe: " : "Unbekannter Befehl: ") +
                          Joined(extra),
                      app, err);
    }
    if (!action) return Refuse("Es fehlt ein Befehl.", app, err);

    // A settings file that does not exist reads as an empty store; nothing is ever written.
    const auto userStore = settings.file.empty()
                               ? std::make_unique<QtSettingsStore>()
                               : std::make_unique<QtSettingsStore>(ToQString(settings.file));
    OverlaySettingsStore store(*userStore);
    for (const std::string& change : settings.changes) {
        const std::size_t slash = change.find('/');
        const std::size_t equals = change.find('=');
        store.WriteSetting(change.substr(0, slash), change.substr(slash + 1, equals - slash - 1),
                           change.substr(equals + 1));
    }
    return (*action)({store, programFolder, out, err});
}

int FinishOutput(std::ostream& out, std::ostream& err, int code) {
    out.flush();
    if (out) return code;
    err << "Die Ausgabe konnte nicht vollständig geschrieben werden.\n";
    return code == 0 ? 1 : code;
}

}  // namespace marelos
