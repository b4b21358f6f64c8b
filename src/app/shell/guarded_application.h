#pragma once

#include <QApplication>

namespace marelos {

class ModalDialogs;

// The application object with the last safety net: an exception from any event handler that no
// command caught (a button of a dialog window, a timer) is reported with the program's German
// message instead of ending the program. The main window's commands have their own guard,
// which also puts the profile back; this net only reports.
class GuardedApplication : public QApplication {
  public:
    GuardedApplication(int& argc, char** argv);

    // Where the net reports; Qt's message boxes when nothing (or nullptr) is set.
    void ReportFailuresTo(ModalDialogs* dialogs) { dialogs_ = dialogs; }
    bool notify(QObject* receiver, QEvent* event) override;

  private:
    ModalDialogs* dialogs_ = nullptr;
};

}  // namespace marelos
