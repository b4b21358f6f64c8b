#include <QCoreApplication>
#include <iostream>
#include <string>
#include <vector>

#include "cli/cli.h"

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const std::vector<std::string> args(argv + 1, argv + argc);
    return marelos::RunCli(args, QCoreApplication::applicationDirPath().toStdString(), std::cout,
                           std::cerr);
}
