#include "command_line.h"

#include <charconv>

namespace marelos {
namespace {

constexpr const char* kCommandGroup = "Befehle";
constexpr const char* kOptionGroup = "Angaben";

// The help flag in German, in the group of the other options (it was made before them).
void GermanHelpFlag(CLI::App& app) {
    app.option_defaults()->group(kOptionGroup);
    app.set_help_flag("-h,--help", "diese Hilfe");
}

// The names of the options and operands of `command` that must be given and are not.
std::string MissingNames(const CLI::App& command) {
    std::string names;
    for (const CLI::Option* option : command.get_options()) {
        if (!option->get_required() || option->count() > 0) continue;
        names += (names.empty() ? "" : ", ") + option->get_name(false, true);
    }
    return names;
}

// The option a parser message is about: what stands before its first ": ".
std::string OptionNameOf(const std::string& message) {
    const std::size_t colon = message.find(": ");
    return colon == std::string::npos ? std::string() : message.substr(0, colon);
}

}  // namespace

CLI::App& CommandSet::Add(const std::string& name, const std::string& description,
                          CommandAction action, CommandNeeds needs) {
    CLI::App* command = app_.add_subcommand(name, description);
    command->group(kCommandGroup);
    GermanHelpFlag(*command);
    actions_.emplace(command, Command{std::move(action), needs});
    return *command;
}

const CommandSet::Command* CommandSet::ChosenCommand() const {
    for (const CLI::App* command : app_.get_subcommands()) {
        const auto found = actions_.find(command);
        if (found != actions_.end()) return &found->second;
    }
    return nullptr;
}

const CommandAction* CommandSet::Chosen() const {
    const Command* chosen = ChosenCommand();
    return chosen ? &chosen->action : nullptr;
}

CommandNeeds CommandSet::ChosenNeeds() const {
    const Command* chosen = ChosenCommand();
    return chosen ? chosen->needs : CommandNeeds::Core;
}

CLI::Option* AddOperand(CLI::App& command, const std::string& name, std::string& value,
                        const std::string& description) {
    return AddOptionalOperand(command, name, value, description)->required();
}

CLI::Option* AddOptionalOperand(CLI::App& command, const std::string& name, std::string& value,
                                const std::string& description) {
    return command.add_option(name, value, description)->type_name("");
}

CLI::Validator WholeNumber(int min, int max) {
    return CLI::Validator(
        [min, max](std::string& text) -> std::string {
            int value = 0;
            const char* end = text.data() + text.size();
            const auto [stop, error] = std::from_chars(text.data(), end, value);
            if (error == std::errc{} && stop == end && value >= min && value <= max) return {};
            return "erwartet eine ganze Zahl von " + std::to_string(min) + " bis " +
                   std::to_string(max) + ", nicht: " + text;
        },
        "");
}

void UseGermanHelp(CLI::App& app) {
    const auto formatter = app.get_formatter();
    for (const auto& [label, german] : {std::pair{"Usage", "Aufruf"},
                                        {"OPTIONS", "ANGABEN"},
                                        {"SUBCOMMAND", "BEFEHL"},
                                        {"Positionals", "Operanden"},
                                        {"REQUIRED", "(Pflicht)"}})
        formatter->label(label, german);
    formatter->column_width(26);
    GermanHelpFlag(app);
    // Options of the whole tool (--settings, --set) may also stand after a command's operands,
    // and what the parser does not know is refused with a German message (see RunCli).
    app.fallthrough();
    app.allow_extras();
}

std::string GermanParseMessage(const CLI::ParseError& error, const CLI::App& app) {
    const std::string kind = error.get_name();
    const std::vector<CLI::App*> chosen = app.get_subcommands();
    if (kind == "RequiredError") {
        if (chosen.empty()) return "Es fehlt ein Befehl.";
        return "Es fehlt: " + MissingNames(*chosen.front());
    }
    // The validators of this tool write their reasons in German after the option's name.
    if (kind == "ValidationError") return error.what();
    if (kind == "ArgumentMismatch") {
        return "Die Angabe " + OptionNameOf(error.what()) +
               " hat nicht die erwartete Zahl von Werten.";
    }
    const std::string name = OptionNameOf(error.what());
    return name.empty() ? "Falsche Angaben." : "Falsche Angabe bei " + name + ".";
}

}  // namespace marelos
