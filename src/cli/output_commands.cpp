#include "output_commands.h"

#include <functional>
#include <memory>

#include "cli/calc_command.h"
#include "cli/json_writer.h"
#include "core/engine/calculation.h"
#include "core/engine/calculators.h"
#include "core/engine/deco_table.h"
#include "core/engine/dive_plan.h"
#include "core/engine/no_fly.h"
#include "core/profile/profile_file.h"
#include "core/settings/settings.h"
#include "core/text/number_format.h"
#include "core/text/rounding.h"
#include "core/text/text_file.h"
#include "core/text/val.h"
#include "core/ui/unattended_ui.h"
#include "platform/qt_convert.h"

namespace marelos {
namespace {

struct Context {
    const std::vector<std::string>& operands;
    SettingsStore& store;
    const std::string& programFolder;
    std::ostream& out;
    std::ostream& err;
    // Texts for people use the user's decimal separator, JSON always ".".
    std::string decimalSeparator;
};

void PrintLines(std::ostream& out, const std::vector<std::string>& lines) {
    for (const std::string& line : lines)
        out << line << "\n";
}

// A text that may hold CR LF line breaks, printed with the line ends of this system.
void PrintText(std::ostream& out, const std::string& text) {
    std::string printed;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        printed += text[i];
    }
    out << printed;
    if (printed.empty() || printed.back() != '\n') out << "\n";
}

// A command on a loaded and calculated profile; the CLI user answers every question with
// `answer`. When the last calculation ended early, why is told on the error output.
int WithProfile(const Context& c, Answer answer,
                const std::function<void(Workspace&, UnattendedUi&)>& run) {
    UnattendedUi ui(answer);
    const auto workspace =
        LoadProfileForCommand(c.operands[0], c.store, c.programFolder, ui, c.err);
    if (!workspace) return kExitFailure;
    workspace->settings.decimalSeparator = c.decimalSeparator;
    run(*workspace, ui);
    return ExitForCalculation(workspace->computed.last, c.err);
}

Settings RunningSettings(const Context& c) {
    Settings settings = CommandSettings(c.store, c.programFolder);
    settings.decimalSeparator = c.decimalSeparator;
    return settings;
}

int NoFly(const Context& c) {
    return WithProfile(c, Answer::No, [&](Workspace& workspace, UnattendedUi& ui) {
        const std::optional<int> minutes = ComputeNoFlyMinutes(workspace, c.store, ui);
        if (Stopped(workspace.computed.last)) return;
        JsonWriter json(c.out);
        json.BeginObject();
        json.Key("minutes");
        if (minutes) {
            json.Integer(*minutes);
        } else {
            json.Null();
        }
        json.Key("message");
        json.String(NoFlyMessage(minutes, workspace.settings.cabinPressure,
                                 RecommendedWaitBeforeFlying(workspace),
                                 workspace.settings.decimalSeparator));
        json.EndObject();
        c.out << "\n";
    });
}

int Plan(const Context& c) {
    return WithProfile(c, Answer::Yes, [&](Workspace& workspace, UnattendedUi& ui) {
        PrintLines(c.out, DivePlanLines(workspace, c.store, ui));
    });
}

int DecoText(const Context& c) {
    return WithProfile(c, Answer::No, [&](Workspace& workspace, UnattendedUi&) {
        if (!Stopped(workspace.computed.last)) PrintText(c.out, DecompressionText(workspace));
    });
}

int DecoLines(const Context& c) {
    return WithProfile(c, Answer::Yes, [&](Workspace& workspace, UnattendedUi& ui) {
        // As the profile writer does: calculate, and in stops when the user agrees.
        mnuCalcSaturation(workspace, c.store, ui);
        if (!StepwiseForOutputs(c.store)) {
            WriteSetting(c.store, keys::kStep, "True");
            mnuCalcSaturation(workspace, c.store, ui);
        }
        PrintLines(c.out, DecompressionLines(workspace, LastWrittenLine(workspace.profile)));
    });
}

int DecoTableCommand(const Context& c) {
    const Result<std::vector<std::string>> input = ReadTextFileLines(c.operands[0]);
    if (!input) {
        c.err << FailureMessage(input.failure()) << "\n";
        return kExitFailure;
    }
    const auto workspace = std::make_unique<Workspace>(WorkspaceFromSettings(RunningSettings(c)));
    UnattendedUi ui;
    const std::optional<DecoTable> table = BuildDecoTable(*workspace, c.store, ui, input.value());
    if (!table) return kExitFailure;
    PrintLines(c.err, table->notes);
    if (const auto failure = WriteTextFileLines(c.operands[1], table->lines)) {
        c.err << FailureMessage(*failure) << "\n";
        return kExitFailure;
    }
    return table->everyDiveCalculated ? kExitOk : kExitIncomplete;
}

int AirUse(const Context& c) {
    return WithProfile(c, Answer::No, [&](Workspace& workspace, UnattendedUi&) {
        PrintText(c.out, AirConsumptionText(workspace.computed, workspace.settings));
    });
}

int AverageDepthCommand(const Context& c) {
    return WithProfile(c, Answer::No, [&](Workspace& workspace, UnattendedUi&) {
        PrintText(c.out, AverageDepthText(workspace.computed, workspace.settings.decimalSeparator));
    });
}

int MixLimits(const Context& c) {
    const Workspace workspace = WorkspaceFromSettings(RunningSettings(c));
    PrintText(c.out, MixLimitsText(workspace.mix, workspace.settings));
    return 0;
}

int BestMix(const Context& c) {
    PrintText(c.out, BestMixText(RoundToInt32(Val(c.operands[0])), RunningSettings(c)));
    return 0;
}

int Blend(const Context& c) {
    const BlendSteps steps = BlendMix(c.operands[0], c.operands[1], c.operands[2], c.operands[3]);
    const auto number = [&](double value) { return FormatGeneral(value, c.decimalSeparator); };
    c.out << "1. Füllschritt: Sauerstoff\t" << number(steps.oxygen) << " bar\n"
          << "2. Füllschritt:  Helium\t" << number(steps.helium) << " bar\n"
          << "3. Füllschritt:  Luft aus Kompressor\t" << number(steps.air) << " bar\n"
          << "Summe\t" << number(steps.sum) << " bar\n";
    return 0;
}

int Altitude(const Context& c) {
    PrintText(c.out, AltitudeResultText(c.operands[0], c.operands[1]));
    return 0;
}

struct Operand {
    const char* name;
    const char* description;
};

struct Command {
    const char* name;
    const char* description;
    std::vector<Operand> operands;
    bool json;  // prints JSON and wants --json said
    int (*run)(const Context&);
};

const Operand kProfile = {"DATEI", "das Tauchprofil (.mrp)"};
const std::string kJsonHelp = "als JSON (Zahlen immer mit Punkt)";  // CLI11 takes it by reference

const std::vector<Command>& Commands() {
    static const std::vector<Command> commands = {
        {"nofly", "Flugverbotszeit als JSON", {kProfile}, true, NoFly},
        {"plan", "Tauchgangsplan", {kProfile}, false, Plan},
        {"decotext", "Dekompressionsphase als Text", {kProfile}, false, DecoText},
        {"decolines",
         "Dekompressionszeilen, wie sie ins Profil gespeichert werden",
         {kProfile},
         false,
         DecoLines},
        {"decotable",
         "Dekompressionstabelle aus Tiefen und Grundzeiten",
         {{"EIN", "Textdatei mit Tiefe und Grundzeit je Zeile"}, {"AUS", "die Tabelle"}},
         false,
         DecoTableCommand},
        {"airuse", "Luftverbrauch", {kProfile}, false, AirUse},
        {"avgdepth", "Durchschnittstiefe", {kProfile}, false, AverageDepthCommand},
        {"mixlimits", "Grenztiefen des eingestellten Gemisches", {}, false, MixLimits},
        {"bestmix", "bestes Gemisch für eine Tiefe", {{"TIEFE", "in Metern"}}, false, BestMix},
        {"blend",
         "Füllschritte für ein Trimix-Gemisch",
         {{"O2", "Sauerstoff in %"},
          {"N2", "Stickstoff in %"},
          {"HE", "Helium in %"},
          {"BAR", "Fülldruck in bar"}},
         false,
         Blend},
        {"altitude",
         "Luftdruck in der Höhe",
         {{"MBAR", "Luftdruck auf Meereshöhe in mbar"}, {"METER", "Höhe in Metern"}},
         false,
         Altitude},
    };
    return commands;
}

}  // namespace

void AddOutputCommands(CommandSet& commands) {
    for (const Command& command : Commands()) {
        const auto operands = std::make_shared<std::vector<std::string>>(command.operands.size());
        const bool json = command.json;
        const auto run = command.run;
        CLI::App& app = commands.Add(command.name, command.description,
                                     [operands, json, run](const CommandContext& c) {
                                         return run({*operands, c.store, c.programFolder, c.out,
                                                     c.err, json ? "." : UserDecimalSeparator()});
                                     });
        for (std::size_t i = 0; i < command.operands.size(); ++i)
            AddOperand(app, command.operands[i].name, (*operands)[i],
                       command.operands[i].description);
        if (json) app.add_flag("--json", kJsonHelp)->required();
    }
}

}  // namespace marelos
