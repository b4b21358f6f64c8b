#include <QCoreApplication>
#include <iostream>
#include <string>
#include <vector>

#include "cli/cli.h"

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const std::vector<std::string> args(argv + 1, argv + argc);
    const int code = marelos::RunCli(args, QCoreApplication::applicationDirPath().toStdString(),
                                     std::cout, std::cerr);
    return marelos::FinishOutput(std::cout, std::cerr, code);
}
