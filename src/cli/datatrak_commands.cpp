#include "datatrak_commands.h"

#include <array>
#include <memory>

#include "cli/calc_command.h"
#include "core/divecomputers/datatrak_log.h"

namespace marelos {
namespace {

class PrintingView : public DatatrakView {
  public:
    explicit PrintingView(std::ostream& out) : out_(out) {}
    void List(const std::string& line) override { out_ << line << "\n"; }

  private:
    std::ostream& out_;
};

int ConvertLog(const std::string& log, const std::string& folder, std::ostream& out,
               std::ostream& err) {
    PrintingView view(out);
    const DatatrakOutcome outcome = ImportDatatrakFile(log, folder, view);
    if (outcome.end == DatatrakEnd::Failed) {
        err << outcome.message << "\n";
        return kExitFailure;
    }
    out << outcome.message << "\n";
    return kExitOk;
}

}  // namespace

void AddDatatrakCommand(CommandSet& commands) {
    const auto args = std::make_shared<std::array<std::string, 2>>();
    CLI::App& datatrak =
        commands.Add("datatrak", "die Tauchgänge eines Aladin-DataTrak-Logs als Tauchprofile",
                     [args](const CommandContext& c) {
                         return ConvertLog((*args)[0], (*args)[1], c.out, c.err);
                     });
    AddOperand(datatrak, "LOG", (*args)[0], "das Log der DataTrak-Software");
    AddOperand(datatrak, "ORDNER", (*args)[1], "wohin die Tauchprofile kommen");
    datatrak.footer("Vorhandene Dateien werden ersetzt.");
}

}  // namespace marelos
