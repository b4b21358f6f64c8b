#include <QApplication>
#include <QIcon>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "app/shell/frm_main.h"
#include "app/shell/german_dialogs.h"
#include "app/shell/guarded_application.h"
#include "app/shell/modal_dialogs.h"
#include "core/workspace.h"
#include "platform/qt_settings_store.h"

namespace {

bool HasDisplay() {
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') return true;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (!HasDisplay()) {
        std::fputs(
            "Marelos braucht eine grafische Anzeige, aber DISPLAY und WAYLAND_DISPLAY sind leer; "
            "ohne Bildschirm startet es mit: xvfb-run -a ./run.sh (Debian-Paket xvfb)\n",
            stderr);
        return 1;
    }
    marelos::GuardedApplication application(argc, argv);
    QApplication::setApplicationName("Marelos");
    QApplication::setDesktopFileName("marelos");
    // The menu entry's icon: from the icon theme where the package installed it, else the copy
    // the program carries.
    QApplication::setWindowIcon(QIcon::fromTheme("marelos", QIcon(":/marelos/marelos.svg")));
    if (!marelos::UseGermanDialogs(application)) {
        std::fputs(
            "Die deutschen Qt-Übersetzungen fehlen (Debian-Paket qt6-translations-l10n); "
            "die Standarddialoge erscheinen deshalb in der Sprache von Qt.\n",
            stderr);
    }

    // The whole command line after the program name is one profile file name.
    const QStringList arguments = QApplication::arguments().mid(1);
    marelos::QtSettingsStore store;
    marelos::QtModalDialogs dialogs;
    const auto workspace = std::make_unique<marelos::Workspace>();
    marelos::frmMain window(*workspace, store, dialogs, QApplication::applicationDirPath(),
                            arguments.join(' '));
    window.show();
    window.ShowStartUpPicture();
    return QApplication::exec();
}
