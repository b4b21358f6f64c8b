#pragma once

#include <CLI/CLI.hpp>
#include <functional>
#include <map>
#include <ostream>
#include <string>

#include "core/settings/settings_store.h"

namespace marelos {

// What a command works with once its arguments are parsed: the settings of this call (the user's
// file with the --set changes over it, never written back), the folder the program runs from,
// and the two outputs.
struct CommandContext {
    SettingsStore& store;
    const std::string& programFolder;
    std::ostream& out;
    std::ostream& err;
};

// Runs a parsed command and returns its exit code.
using CommandAction = std::function<int(const CommandContext&)>;

// What a command needs of Qt: the core application, or the GUI application whose fonts and
// painting a command that draws a page (a PDF) needs.
enum class CommandNeeds { Core, Fonts };

// The commands of marelos-cli. A command is added in three steps, in the file of its subject:
//
//     auto args = std::make_shared<PlanArguments>();     // where the parser puts the values
//     CLI::App& plan = commands.Add("plan", "Tauchgangsplan",
//                                   [args](const CommandContext& c) { return Plan(*args, c); });
//     AddOperand(plan, "DATEI", args->file, "das Tauchprofil");
//
// and its Add… function is called once in cli.cpp; the help, the manual check and the shell
// completion pick it up from there.
class CommandSet {
  public:
    explicit CommandSet(CLI::App& app) : app_(app) {}

    // A new command `name` with its one-line German description for the help; `action` runs it
    // when the user chose it. Its operands and options go onto the returned app.
    CLI::App& Add(const std::string& name, const std::string& description, CommandAction action,
                  CommandNeeds needs = CommandNeeds::Core);

    // The action of the command that the parsed command line chose; nothing when none was.
    const CommandAction* Chosen() const;
    // What the chosen command needs; the core application when none was chosen.
    CommandNeeds ChosenNeeds() const;

  private:
    struct Command {
        CommandAction action;
        CommandNeeds needs;
    };
    const Command* ChosenCommand() const;

    CLI::App& app_;
    std::map<const CLI::App*, Command> actions_;
};

// A required operand of a command, such as DATEI, shown in the help without a type.
CLI::Option* AddOperand(CLI::App& command, const std::string& name, std::string& value,
                        const std::string& description);

// An optional operand, such as the previous dive of vyper-decode.
CLI::Option* AddOptionalOperand(CLI::App& command, const std::string& name, std::string& value,
                                const std::string& description);

// Accepts only a whole number from `min` to `max` written in decimal digits: no text, no
// fraction, no exponent ("1e30"), nothing out of range; the parser's message is German.
CLI::Validator WholeNumber(int min, int max);

// Sets up the parser the German way (labels, help flag, groups) before any option is added.
void UseGermanHelp(CLI::App& app);

// The German message for a command line the parser refused.
std::string GermanParseMessage(const CLI::ParseError& error, const CLI::App& app);

}  // namespace marelos
