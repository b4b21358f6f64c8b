#include "cli/cli.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>

#include "core/text/codepage.h"
#include "tests/fakes/golden.h"
#include "tests/fakes/temp_folder.h"

namespace marelos {
namespace {

using ::testing::HasSubstr;

struct CliRun {
    int code;
    std::string out;
    std::string err;
};

CliRun RunTool(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    const int code = RunCli(args, "/opt/marelos", out, err);
    return {code, out.str(), err.str()};
}

const std::string kExample = MARELOS_SOURCE_DIR "/examples/luft-30m-25min.mrp";

// Every command line of the transcript tests/data/cli/transcript.txt (a "$" line, its arguments
// separated by tabs) run anew: its exit code, standard output and standard error. The transcript
// holds the refused command lines with their German reasons, the ends of every option range, the
// help, files that cannot be read, dives that cannot be calculated, the commands that the
// reference comparison does not run, and the full text and JSON of calc, schedule and gas.
TEST(Cli, TheTranscriptOfCommandLinesIsAsRecorded) {
    const TempFolder temp("cli");
    const std::vector<std::pair<std::string, std::string>> places = {
        {"EXAMPLE", kExample}, {"DATA", MARELOS_TEST_DATA "/cli"}, {"TEMP", temp.path().string()}};
    const auto Replaced = [](std::string text, const std::string& from, const std::string& to) {
        for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at))
            text.replace(at, from.size(), to), at += to.size();
        return text;
    };
    // with long decimals rounded to 6 significant digits, so the last bits of a build never count
    const auto Named = [&](std::string text) {
        for (const auto& [name, place] : places)
            text = Replaced(text, place, name);
        static const std::regex kLong("-?\\d+\\.\\d{5,}");
        std::string rounded;
        std::sregex_iterator at(text.begin(), text.end(), kLong);
        std::size_t done = 0;
        for (; at != std::sregex_iterator(); ++at) {
            char digits[32];
            std::snprintf(digits, sizeof digits, "%.6g", std::stod(at->str()));
            rounded += text.substr(done, at->position() - done) + digits;
            done = at->position() + at->length();
        }
        return rounded + text.substr(done);
    };
    std::string transcript;
    std::istringstream recorded(FileBytes(MARELOS_TEST_DATA "/cli/transcript.txt"));
    for (std::string line; std::getline(recorded, line);) {
        if (line.starts_with("@")) {  // a file the commands before wrote, or left as it was
            std::string path = line.substr(2);
            for (const auto& [name, place] : places)
                path = Replaced(path, name, place);
            transcript += line + "\n" +
                          (std::filesystem::exists(path) ? Named(FileBytes(path)) : "[fehlt]\n");
        }
        if (!line.starts_with("$")) continue;
        std::vector<std::string> args;
        std::istringstream fields(line.substr(1));
        for (std::string arg; std::getline(fields, arg, '\t');) {
            for (const auto& [name, place] : places)
                arg = Replaced(arg, name, place);
            if (!arg.empty()) args.push_back(arg);
        }
        const CliRun run = RunTool(args);
        transcript += line + "\n[" + std::to_string(run.code) + "]\n" + Named(run.out);
        if (!run.err.empty()) transcript += "[stderr]\n" + Named(run.err);
    }
    ExpectGolden("cli/transcript.txt", transcript);
    // The help speaks German throughout: the parser's own words are translated too.
    for (const char* english : {"Usage", "Options", "Subcommands", "Positionals", "REQUIRED",
                                "TEXT", "INT", "help message", "required"})
        EXPECT_THAT(transcript, ::testing::Not(HasSubstr(english)));
}

TEST(Cli, JsonStaysValidUtf8ForAPathThatIsNot) {
    const TempFolder temp("cli");
    const std::string path = temp.File("tauch\xFFgang.mrp");
    std::filesystem::copy_file(kExample, path);
    const CliRun run = RunTool({"calc", path, "--json", "--settings", "/nicht/da.ini"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_TRUE(IsValidUtf8(run.out));
    const nlohmann::json parsed = nlohmann::json::parse(run.out);
    EXPECT_EQ(parsed["messages"][0], "Lade: " + temp.File("tauch\uFFFDgang.mrp"));
}

TEST(Cli, OutputThatCannotBeWrittenFailsTheRun) {
    std::ostringstream fine;
    std::ostringstream err;
    EXPECT_EQ(FinishOutput(fine, err, 0), 0);
    EXPECT_EQ(FinishOutput(fine, err, 2), 2);
    std::ostream broken(nullptr);  // as standard output on a full disk
    EXPECT_EQ(FinishOutput(broken, err, 0), 1);
    EXPECT_EQ(FinishOutput(broken, err, 2), 2);
    const std::string message = "Die Ausgabe konnte nicht vollständig geschrieben werden.\n";
    EXPECT_EQ(err.str(), message + message);
}

// The example log against its golden listing and two of its files (an air and a nitrox dive);
// MARELOS_UPDATE_GOLDEN=1 writes them anew after a deliberate change.
TEST(Cli, DatatrakConvertsTheExampleLogAsItsGoldenFilesSay) {
    const std::string log = MARELOS_SOURCE_DIR "/examples/aladin-logbuch.log";
    const TempFolder temp("cli");
    const std::string folder = temp.File("tg");
    CliRun run = RunTool({"datatrak", log, folder});
    ASSERT_EQ(run.code, 0) << run.err;
    run.out.replace(run.out.find(log), log.size(), "LOG");
    const std::vector<std::string> files = {"listing.txt",
                                            "aladin-logbuch Luft Datatrak TG 0002.mrp",
                                            "aladin-logbuch Nitrox Datatrak TG 0007.mrp"};
    for (const std::string& name : files) {
        const std::string written = name == files[0] ? run.out : FileBytes(folder + "/" + name);
        ExpectGolden("datatrak/" + name, written);
    }
    const auto entries = std::filesystem::directory_iterator(folder);
    EXPECT_EQ(std::distance(begin(entries), end(entries)), 48);
    EXPECT_EQ(RunTool({"datatrak", "/nicht/da.log", folder}).code, 1);
    EXPECT_EQ(RunTool({"datatrak", log}).code, 2);
}

}  // namespace
}  // namespace marelos
