#include "guarded_application.h"

#include <exception>

#include "app/shell/modal_dialogs.h"
#include "core/ui/command_guard.h"

namespace marelos {

GuardedApplication::GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        // No exception may run on into Qt's event loop, which cannot pass it on.
        QtModalDialogs boxes;
        ModalDialogs& dialogs = dialogs_ ? *dialogs_ : boxes;
        dialogs.Message(activeWindow(), CommandFailureMessage(std::current_exception()),
                        MessageIcon::Critical);
        return false;
    }
}

}  // namespace marelos
