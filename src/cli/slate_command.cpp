#include "slate_command.h"

#include <QGuiApplication>
#include <memory>

#include "cli/calc_command.h"
#include "cli/schedule_command.h"
#include "core/planner/contingency.h"
#include "core/planner/dive_slate.h"
#include "platform/qt_convert.h"
#include "platform/slate_output.h"

namespace marelos {
namespace {

int RunSlate(const std::string& file, const std::string& pdf, const CommandContext& c) {
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        c.err << "Der Tauchplan braucht die Schriften der grafischen Oberfläche.\n";
        return kExitFailure;
    }
    const auto workspace = LoadPlannedDive(file, UserDecimalSeparator(), c);
    if (!workspace) return kExitFailure;
    const CalculationResult& result = workspace->computed.last;
    if (Stopped(result) || !result.schedule) return ExitForCalculation(result, c.err);
    const std::vector<ContingencyPlan> plans = ContingencyPlans(
        workspace->profile, *result.schedule, workspace->model, workspace->settings);
    const DiveSlate slate = DiveSlateOf(file, plans, workspace->settings);
    if (const auto failure = SaveDiveSlatePdf(slate, pdf)) {
        c.err << FailureMessage(*failure) << "\n";
        return kExitFailure;
    }
    return kExitOk;
}

}  // namespace

void AddSlateCommand(CommandSet& commands) {
    struct Arguments {
        std::string file;
        std::string pdf;
    };
    const auto args = std::make_shared<Arguments>();
    CLI::App& slate = commands.Add(
        "slate", "der Tauchplan mit den Notfallplänen als PDF-Seite zum Mitnehmen unter Wasser",
        [args](const CommandContext& c) { return RunSlate(args->file, args->pdf, c); },
        CommandNeeds::Fonts);
    AddOperand(slate, "DATEI", args->file, "das Tauchprofil (.mrp)");
    AddOperand(slate, "PDF", args->pdf, "die PDF-Datei, die geschrieben wird (A4)");
    slate.footer(
        "Plant mit dem Planer, ob er eingeschaltet ist oder nicht: der Plan, tiefer und länger\n"
        "(Planner/ExtraDepth, Planner/ExtraMinutes), ohne jedes Dekogas und der schlimmste Fall,\n"
        "mit den Flaschen des Abschnitts Cylinders.");
}

}  // namespace marelos
