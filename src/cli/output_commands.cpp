#include "output_commands.h"

#include <functional>
#include <map>

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

struct Command {
    std::size_t operands;
    bool needsJson;
    int (*run)(const Context&);
};

const std::map<std::string, Command>& Commands() {
    static const std::map<std::string, Command> commands = {
        {"nofly", {1, true, NoFly}},
        {"plan", {1, false, Plan}},
        {"decotext", {1, false, DecoText}},
        {"decolines", {1, false, DecoLines}},
        {"decotable", {2, false, DecoTableCommand}},
        {"airuse", {1, false, AirUse}},
        {"avgdepth", {1, false, AverageDepthCommand}},
        {"mixlimits", {0, false, MixLimits}},
        {"bestmix", {1, false, BestMix}},
        {"blend", {4, false, Blend}},
        {"altitude", {2, false, Altitude}},
    };
    return commands;
}

}  // namespace

int RunOutputCommand(const std::string& command, const std::vector<std::string>& operands,
                     bool json, SettingsStore& store, const std::string& programFolder,
                     std::ostream& out, std::ostream& err) {
    const auto found = Commands().find(command);
    if (found == Commands().end() || found->second.operands != operands.size() ||
        found->second.needsJson != json) {
        return -1;
    }
    return found->second.run(
        {operands, store, programFolder, out, err, json ? "." : UserDecimalSeparator()});
}

}  // namespace marelos
