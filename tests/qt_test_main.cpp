// Runs the Qt tests without a display and with a settings folder of their own, so no test ever
// reads or writes the settings of the user who runs them.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include "app/shell/guarded_application.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", QDir(home.path()).filePath("config").toUtf8());
    qputenv("XDG_DATA_HOME", QDir(home.path()).filePath("data").toUtf8());
    // Nor does a file type that an installed package registered for every user count here.
    qputenv("XDG_DATA_DIRS", QDir(home.path()).filePath("system-data").toUtf8());
    marelos::GuardedApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
