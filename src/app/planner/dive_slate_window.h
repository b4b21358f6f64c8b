#pragma once

#include <QDialog>
#include <memory>

#include "core/planner/dive_slate.h"
#include "core/settings/settings_store.h"
#include "core/workspace.h"

class QLabel;
class QListWidget;
class QPrinter;
class QPushButton;
class QTabWidget;
class QTableWidget;

namespace marelos {

class ModalDialogs;

// "Tauchplan": the plan and its contingency plans side by side beside the graph (one column of
// run times per plan, the stops as rows, the gas of each row, the gas each plan takes from each
// cylinder below), their notes and warnings, and the page of the slate as it is printed. It
// follows each calculation (ShowCalculation, called by the main window); copies the table as
// text, prints the slate and saves it as a PDF. Without a plan calculated to its end by the
// planner it says why and offers nothing to print.
class frmDiveSlate : public QDialog {
    Q_OBJECT

  public:
    frmDiveSlate(Workspace& workspace, SettingsStore& store, ModalDialogs& dialogs,
                 QWidget* parent);
    ~frmDiveSlate() override;

    void ShowCalculation();

  private:
    void ShowSlate();
    void CopyTable();
    void PrintSlate();
    void SaveSlate();

    Workspace& workspace_;
    SettingsStore& store_;
    ModalDialogs& dialogs_;
    std::optional<DiveSlate> slate_;  // the slate of the last calculation, if it has one
    std::unique_ptr<QPrinter> printer_;
    QLabel* lblStatus_;
    QTabWidget* tabs_;
    QTableWidget* tblPlans_;
    QListWidget* lstWarnings_;
    QWidget* picSlate_;
    QPushButton* cmdCopy_;
    QPushButton* cmdPrint_;
    QPushButton* cmdSavePdf_;
};

}  // namespace marelos
