#include "uddf_commands.h"

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

int RunUddfCommand(const std::string& command, const std::vector<std::string>& operands,
                   SettingsStore& store, const std::string& programFolder, std::ostream& out,
                   std::ostream& err) {
    if (operands.size() != 2) return -1;
    if (command == "uddf-import") return ImportLog(operands[0], operands[1], out, err);
    if (command == "uddf-export") {
        return ExportProfile(operands[0], operands[1], store, programFolder, err);
    }
    return -1;
}

}  // namespace marelos
