#pragma once

#include <QWidget>
#include <array>

#include "core/planner/planner_settings.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;

namespace marelos {

// The tab "Planer" of the options dialog: the planner's switch, model, gradient factors, ascent,
// stops, water, gas limits and decompression gases. It shows and reads the fields; the dialog
// checks and stores them with the others on "OK".
class PlannerOptionsTab : public QWidget {
    Q_OBJECT

  public:
    explicit PlannerOptionsTab(QWidget* parent = nullptr);

    void Show(const PlannerFields& fields);
    void Read(PlannerFields& fields) const;

  private:
    QCheckBox* chkPlannerEnabled_;
    QRadioButton* optBuhlmannGf_;
    QRadioButton* optVpmb_;
    QLineEdit* txtGFLow_;
    QLineEdit* txtGFHigh_;
    QComboBox* cmbVpmConservatism_;
    QLineEdit* txtAscentRate_;
    QComboBox* cmbLastStop_;
    QComboBox* cmbWater_;
    QLineEdit* txtSwitchMinutes_;
    QLineEdit* txtSafetyStopMinutes_;
    QLineEdit* txtMaxPpO2Bottom_;
    QLineEdit* txtMaxPpO2Deco_;
    QLineEdit* txtPlannerMinPpO2_;
    QLineEdit* txtEndLimit_;
    QCheckBox* chkO2Narcotic_;
    QLineEdit* txtDensityWarn_;
    QLineEdit* txtDensityLimit_;
    QLineEdit* txtExtraDepth_;
    QLineEdit* txtExtraMinutes_;
    std::array<QLineEdit*, kMaxDecoGases> txtDecoGas_{};
};

}  // namespace marelos
