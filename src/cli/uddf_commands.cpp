#include "uddf_commands.h"

#include <array>
#include <memory>

#include "cli/calc_command.h"
#include "core/exchange/uddf_export.h"
#include "core/exchange/uddf_import.h"
#include "core/profile/dive_comment.h"
#include "core/ui/unattended_ui.h"
#include "platform/uddf_xml.h"

namespace marelos {
namespace {

int ImportLog(const std::string& file, const std::string& folder, std::ostream& out,
              std::ostream& err) {
    const Result<UddfLog> log = ReadUddfFile(file);
    if (!log) {
        err << FailureMessage(log.failure()) << "\n";
        return kExitFailure;
    }
    const std::vector<UddfDive>& dives = log.value().dives;
    for (std::size_t i = 0; i < dives.size(); ++i) {
        const std::string name = "Tauchgang " + std::to_string(i + 1);
        if (const auto problem = ImportProblem(dives[i])) {
            out << name << " nicht importiert: " << *problem << "\n";
            continue;
        }
        const Result<ImportOutcome> outcome =
            ImportDive(log.value(), static_cast<int>(i), folder, false);
        if (!outcome) {
            err << FailureMessage(outcome.failure()) << "\n";
            return kExitFailure;
        }
        out << (outcome.value().written ? "" : "bereits vorhanden, nicht überschrieben: ")
            << outcome.value().path << "\n";
    }
    return kExitOk;
}

int ExportProfile(const std::string& file, const std::string& target, SettingsStore& store,
                  const std::string& programFolder, std::ostream& err) {
    UnattendedUi ui(Answer::No);
    const auto workspace = LoadProfileForCommand(file, store, programFolder, ui, err);
    if (!workspace) return kExitFailure;
    const Result<CommentFields> comment = ReadDiveComment(file);
    const UddfLog log =
        ExportLog(workspace->profile, {}, comment ? comment.value() : CommentFields{});
    if (const auto failure = WriteUddfFile(target, log)) {
        err << FailureMessage(*failure) << "\n";
        return kExitFailure;
    }
    return kExitOk;
}

}  // namespace

void AddUddfCommands(CommandSet& commands) {
    const auto import = std::make_shared<std::array<std::string, 2>>();
    CLI::App& importing =
        commands.Add("uddf-import", "die Tauchgänge eines UDDF-Logbuchs als Tauchprofile",
                     [import](const CommandContext& c) {
                         return ImportLog((*import)[0], (*import)[1], c.out, c.err);
                     });
    AddOperand(importing, "DATEI", (*import)[0], "das UDDF-Logbuch");
    AddOperand(importing, "ORDNER", (*import)[1], "wohin die Tauchprofile kommen");
    importing.footer("Jeder Tauchgang mit Profil wird eine Datei; vorhandene Dateien bleiben.");

    const auto exportArgs = std::make_shared<std::array<std::string, 2>>();
    CLI::App& exporting = commands.Add("uddf-export", "ein Tauchprofil mit Kommentar als UDDF",
                                       [exportArgs](const CommandContext& c) {
                                           return ExportProfile((*exportArgs)[0], (*exportArgs)[1],
                                                                c.store, c.programFolder, c.err);
                                       });
    AddOperand(exporting, "DATEI", (*exportArgs)[0], "das Tauchprofil (.mrp)");
    AddOperand(exporting, "AUS", (*exportArgs)[1], "die UDDF-Datei, die geschrieben wird");
}

}  // namespace marelos
