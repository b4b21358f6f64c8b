#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "core/settings/settings_store.h"
#include "core/ui/ui.h"
#include "core/workspace.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace marelos {

// "Luftdruck berechnen": the air pressure at the altitude of a dive site, which can become the
// air pressure every calculation uses.
class frmAltitude : public QDialog {
    Q_OBJECT

  public:
    frmAltitude(Workspace& workspace, SettingsStore& store, QWidget* parent);

    void cmdCalc();
    void cmdGetValue();

  private:
    Workspace& workspace_;
    SettingsStore& store_;
    QLineEdit* txtNormPressure_;
    QLineEdit* txtAltitude_;
    QLabel* lblResult_;
    QPushButton* cmdGetValue_;
};

// "Tauchgangsplan": the run-time table of the dive, which can go to the clipboard.
class frmRunTimeTable : public QDialog {
    Q_OBJECT

  public:
    frmRunTimeTable(const std::vector<std::string>& plan, Ui& ui, QWidget* parent);

    // All lines, each followed by a line break, as the clipboard gets them.
    QString PlanText() const;
    void cmdCopy();

  private:
    std::vector<std::string> plan_;
    Ui& ui_;
    QTableWidget* lstPlan_;
};

// "Best-Mix herstellen": the partial-pressure filling steps of a trimix cylinder.
class frmBestMix : public QDialog {
    Q_OBJECT

  public:
    frmBestMix(const GasMixFields& mix, Ui& ui, QWidget* parent);

    // The filling steps of the wanted mix; a field that is not a number or shares that do not
    // add up are refused: with a message when `tellUser`, else by empty results.
    void Calculate(bool tellUser = true);

  private:
    Ui& ui_;
    QLineEdit* txtO2_;
    QLineEdit* txtN2_;
    QLineEdit* txtHe_;
    QLineEdit* txtPressure_;
    QLabel* lblOxygen_;
    QLabel* lblHelium_;
    QLabel* lblAir_;
    QLabel* lblSum_;
};

}  // namespace marelos
