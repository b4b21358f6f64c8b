#include "datatrak_commands.h"

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

}  // namespace

int RunDatatrakCommand(const std::string& command, const std::vector<std::string>& operands,
                       std::ostream& out, std::ostream& err) {
    if (command != "datatrak" || operands.size() != 2) return -1;
    PrintingView view(out);
    const DatatrakOutcome outcome = ImportDatatrakFile(operands[0], operands[1], view);
    if (outcome.end == DatatrakEnd::Failed) {
        err << outcome.message << "\n";
        return kExitFailure;
    }
    out << outcome.message << "\n";
    return kExitOk;
}

}  // namespace marelos
