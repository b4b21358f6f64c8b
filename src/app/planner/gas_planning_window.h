#pragma once

#include <QDialog>
#include <functional>

#include "core/settings/settings_store.h"
#include "core/workspace.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QListWidget;
class QTableWidget;

namespace marelos {

// "Gasplanung": the cylinders, edited in place and kept in the settings store, and the gas plan
// of the last calculation beside the graph: each cylinder's use, what is left (and as an ideal
// gas), its reserve and the bottom cylinder's turn pressure, the minimum gas, the warnings in
// red and the run-time table with the turn. A change asks the main window to calculate again
// (`recalculate`); the main window shows each calculation here (ShowCalculation).
class frmGasPlanning : public QDialog {
    Q_OBJECT

  public:
    frmGasPlanning(Workspace& workspace, SettingsStore& store, std::function<void()> recalculate,
                   QWidget* parent);

    // The gas plan of the last calculation, or why there is none.
    void ShowCalculation();

  private:
    void BuildCylinderTable();
    QWidget* BuildRates();
    void ShowSettings();
    // A cylinder row the user edited: stored when it is a cylinder or empty, else the reason.
    void CylinderEdited(int row);
    void RatesEdited();
    void SettingsChanged();
    void ClearResults();

    Workspace& workspace_;
    SettingsStore& store_;
    std::function<void()> recalculate_;
    bool showing_ = false;  // while the window fills its fields, edits are no user's
    QTableWidget* tblCylinders_;
    QDoubleSpinBox* spnSacBottom_;
    QDoubleSpinBox* spnSacDeco_;
    QDoubleSpinBox* spnStressFactor_;
    QDoubleSpinBox* spnProblemMinutes_;
    QComboBox* cmbTurnRule_;
    QCheckBox* chkRealGas_;
    QLabel* lblStatus_;
    QLabel* lblSummary_;
    QListWidget* lstWarnings_;
    QTableWidget* tblRuntime_;
};

}  // namespace marelos
