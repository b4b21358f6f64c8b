#pragma once

#include <QMainWindow>
#include <QString>

#include "core/settings/settings_store.h"
#include "core/workspace.h"

class QFrame;
class QListWidget;

namespace marelos {

// The main window: the profile graph, the message list and the program's commands.
class frmMain : public QMainWindow {
    Q_OBJECT

  public:
    // Runs the start-up: the settings are loaded from `store` into `workspace`, `ApplPath` is
    // written with `programFolder`.
    frmMain(Workspace& workspace, SettingsStore& store, const QString& programFolder,
            QWidget* parent = nullptr);

    // Appends a line to the message list (characters below code 32 removed) and selects it.
    void ShowSysMsg(const QString& line);
    // The window caption for the current profile, with an optional status text.
    void SetWindowTitle(const QString& status);

  private:
    void BuildLayout();
    void Initialise(const QString& programFolder);
    void ApplyGraphBackground();

    Workspace& workspace_;
    SettingsStore& store_;
    QFrame* picDive_ = nullptr;
    QListWidget* lstSysMsg_ = nullptr;
};

}  // namespace marelos
