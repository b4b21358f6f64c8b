#include <QCoreApplication>
#include <QGuiApplication>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "cli/cli.h"

namespace {

// The application the command needs: the GUI's for a command that draws a page (its fonts),
// on the offscreen platform where there is no display; the core one for every other command,
// which thus runs without a display.
std::unique_ptr<QCoreApplication> ApplicationFor(const std::vector<std::string>& args, int& argc,
                                                 char** argv) {
    if (marelos::NeedsOf(args) == marelos::CommandNeeds::Core) {
        return std::make_unique<QCoreApplication>(argc, argv);
    }
    const bool display =
        !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    if (!display && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    return std::make_unique<QGuiApplication>(argc, argv);
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const auto application = ApplicationFor(args, argc, argv);
    const int code = marelos::RunCli(args, QCoreApplication::applicationDirPath().toStdString(),
                                     std::cout, std::cerr);
    return marelos::FinishOutput(std::cout, std::cerr, code);
}
