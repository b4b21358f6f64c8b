#include "vyper_commands.h"

#include <charconv>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <sstream>

#include "cli/calc_command.h"
#include "core/divecomputers/vyper_dive.h"
#include "core/text/text_file.h"

namespace marelos {
namespace {

// The byte values of a dump: whitespace-separated decimal numbers 0..255; nothing when one is
// not such a number.
std::optional<std::vector<std::uint8_t>> ParseDump(const std::string& text) {
    std::vector<std::uint8_t> bytes;
    std::istringstream words(text);
    std::string word;
    while (words >> word) {
        unsigned value = 0;
        const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
        if (ec != std::errc{} || end != word.data() + word.size() || value > 255)
            return std::nullopt;
        bytes.push_back(static_cast<std::uint8_t>(value));
    }
    return bytes;
}

int DecodeDive(const std::string& dumpFile, const std::string& folder, const std::string& previous,
               std::ostream& out, std::ostream& err) {
    const Result<std::string> text = ReadFileBytes(dumpFile);
    if (!text) {
        err << FailureMessage(text.failure()) << "\n";
        return kExitFailure;
    }
    const auto bytes = ParseDump(text.value());
    if (!bytes) {
        err << "Die Datei " << dumpFile << " enthält keine Bytewerte von 0 bis 255.\n";
        return kExitUsage;
    }
    const auto dive = ConvertVyperDive(*bytes, previous);
    if (!dive) {
        out << "ErrorCount: 1\n";
        return kExitFailure;
    }
    std::error_code ignored;  // a folder that cannot be made shows up as the write failure
    std::filesystem::create_directories(folder, ignored);
    if (const auto failure =
            WriteTextFileLines(VyperDivePath(folder, dive->name), dive->fileLines)) {
        err << FailureMessage(*failure) << "\n";
        return kExitFailure;
    }
    for (const std::string& line : dive->summaryLines)
        out << line << "\n";
    out << dive->name << ".mrp\n";
    return kExitOk;
}

}  // namespace

int RunVyperCommand(const std::string& command, const std::vector<std::string>& operands,
                    std::ostream& out, std::ostream& err) {
    if (command != "vyper-decode" || operands.size() < 2 || operands.size() > 3) return -1;
    return DecodeDive(operands[0], operands[1], operands.size() == 3 ? operands[2] : "", out, err);
}

}  // namespace marelos
