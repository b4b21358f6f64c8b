#include "planner_options_tab.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/shell/dialog_parts.h"
#include "platform/qt_convert.h"

namespace marelos {
namespace {

// A list to choose from, with nothing else to type.
QComboBox* Choice(const char* name, const QStringList& items) {
    auto* box = new QComboBox;
    box->setObjectName(name);
    box->addItems(items);
    return box;
}

}  // namespace

PlannerOptionsTab::PlannerOptionsTab(QWidget* parent) : QWidget(parent) {
    setObjectName("tabPlanner");
    chkPlannerEnabled_ = NamedCheck("chkPlannerEnabled",
                                    "&Aufstieg mit dem Planer berechnen (statt Stufen oder "
                                    "kontinuierlichem Austauchen)");
    optBuhlmannGf_ = NamedOption("optBuhlmannGf", "B&ühlmann mit Gradientenfaktoren");
    optVpmb_ = NamedOption("optVpmb", "VP&M-B");
    txtGFLow_ = ShortField("txtGFLow");
    txtGFHigh_ = ShortField("txtGFHigh");
    cmbVpmConservatism_ = Choice("cmbVpmConservatism", {"0", "1", "2", "3", "4"});
    txtAscentRate_ = ShortField("txtAscentRate");
    cmbLastStop_ = Choice("cmbLastStop", {"3", "6"});
    cmbWater_ = Choice("cmbWater", {"Salzwasser", "Süßwasser"});
    txtSwitchMinutes_ = ShortField("txtSwitchMinutes");
    txtSafetyStopMinutes_ = ShortField("txtSafetyStopMinutes");
    txtMaxPpO2Bottom_ = ShortField("txtMaxPpO2Bottom");
    txtMaxPpO2Deco_ = ShortField("txtMaxPpO2Deco");
    txtPlannerMinPpO2_ = ShortField("txtPlannerMinPpO2");
    txtEndLimit_ = ShortField("txtEndLimit");
    chkO2Narcotic_ = NamedCheck("chkO2Narcotic", "Sauerstoff &zählt narkotisch");
    txtDensityWarn_ = ShortField("txtDensityWarn");
    txtDensityLimit_ = ShortField("txtDensityLimit");
    txtExtraDepth_ = ShortField("txtExtraDepth");
    txtExtraMinutes_ = ShortField("txtExtraMinutes");

    auto* model = new QGroupBox("Modell");
    auto* modelGrid = new QGridLayout(model);
    modelGrid->addWidget(optBuhlmannGf_, 0, 0);
    const auto add = [](QGridLayout* grid, int row, int column, const QString& caption,
                        QWidget* field) {
        auto* label = new QLabel(caption);
        label->setBuddy(field);
        grid->addWidget(label, row, column);
        grid->addWidget(field, row, column + 1);
    };
    add(modelGrid, 0, 1, "GF l&ow [%]", txtGFLow_);
    add(modelGrid, 0, 3, "GF &high [%]", txtGFHigh_);
    modelGrid->addWidget(optVpmb_, 1, 0);
    add(modelGrid, 1, 1, "Konser&vativität", cmbVpmConservatism_);

    auto* ascent = new QGroupBox("Aufstieg");
    auto* ascentGrid = new QGridLayout(ascent);
    add(ascentGrid, 0, 0, "Aufstiegsgeschwind&igkeit [m/min]", txtAscentRate_);
    add(ascentGrid, 0, 2, "Le&tzter Stopp [m]", cmbLastStop_);
    add(ascentGrid, 1, 0, "Minuten &je Gaswechsel", txtSwitchMinutes_);
    add(ascentGrid, 1, 2, "Si&cherheitsstopp [min]", txtSafetyStopMinutes_);
    add(ascentGrid, 2, 0, "Wass&er", cmbWater_);
    add(ascentGrid, 3, 0, "Notfallplan tiefer um [m]", txtExtraDepth_);
    add(ascentGrid, 3, 2, "und länger um [min]", txtExtraMinutes_);

    auto* gases = new QGroupBox("Dekompressionsgase (O2/He, Wechseltiefe nach @)");
    auto* gasColumn = new QVBoxLayout(gases);
    auto* gasGrid = new QGridLayout;
    gasColumn->addLayout(gasGrid);
    for (int i = 0; i < kMaxDecoGases; ++i) {
        const std::string name = "txtDecoGas" + std::to_string(i + 1);
        txtDecoGas_[static_cast<std::size_t>(i)] = ShortField(name.c_str());
        add(gasGrid, i / 3, 2 * (i % 3), QString("Gas &%1").arg(i + 1),
            txtDecoGas_[static_cast<std::size_t>(i)]);
    }
    auto* gasNote = new QLabel(
        "Zum Beispiel 50/0 (EAN50) oder 21/35@57. Ohne Wechseltiefe wird das Gas bei der "
        "größten Tiefe für den ppO2 der Dekompression gewechselt, auf 3 m gerundet. Das "
        "Dekompressionsgas und „Dieses Nitrox ab … m“ des Registers Dekompression gelten für "
        "den Planer nicht; er beginnt mit dem Gas der letzten Profilzeile.");
    gasNote->setWordWrap(true);
    gasColumn->addWidget(gasNote);

    auto* limits = new QGroupBox("Warnungen");
    auto* limitGrid = new QGridLayout(limits);
    add(limitGrid, 0, 0, "ppO2 höchstens, G&rundphase [bar]", txtMaxPpO2Bottom_);
    add(limitGrid, 0, 2, "ppO2 höchstens, De&kompression [bar]", txtMaxPpO2Deco_);
    add(limitGrid, 1, 0, "ppO2 nie &unter [bar]", txtPlannerMinPpO2_);
    add(limitGrid, 1, 2, "END h&öchstens [m]", txtEndLimit_);
    limitGrid->addWidget(chkO2Narcotic_, 2, 2, 1, 2);
    add(limitGrid, 3, 0, "Gasdichte, Warnung ab [g/l]", txtDensityWarn_);
    add(limitGrid, 3, 2, "Gasdichte, Grenze [g/l]", txtDensityLimit_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(chkPlannerEnabled_);
    layout->addWidget(model);
    layout->addWidget(ascent);
    layout->addWidget(gases);
    layout->addWidget(limits);
    layout->addStretch();
}

void PlannerOptionsTab::Show(const PlannerFields& f) {
    chkPlannerEnabled_->setChecked(f.enabled);
    optBuhlmannGf_->setChecked(!f.vpmb);
    optVpmb_->setChecked(f.vpmb);
    txtGFLow_->setText(ToQString(f.gfLow));
    txtGFHigh_->setText(ToQString(f.gfHigh));
    cmbVpmConservatism_->setCurrentText(ToQString(f.vpmConservatism));
    txtAscentRate_->setText(ToQString(f.ascentRate));
    cmbLastStop_->setCurrentText(ToQString(f.lastStop));
    cmbWater_->setCurrentIndex(f.freshWater ? 1 : 0);
    txtSwitchMinutes_->setText(ToQString(f.switchMinutes));
    txtSafetyStopMinutes_->setText(ToQString(f.safetyStopMinutes));
    txtMaxPpO2Bottom_->setText(ToQString(f.maxPpO2Bottom));
    txtMaxPpO2Deco_->setText(ToQString(f.maxPpO2Deco));
    txtPlannerMinPpO2_->setText(ToQString(f.minPpO2));
    txtEndLimit_->setText(ToQString(f.endLimit));
    chkO2Narcotic_->setChecked(f.oxygenNarcotic);
    txtDensityWarn_->setText(ToQString(f.densityWarn));
    txtDensityLimit_->setText(ToQString(f.densityLimit));
    txtExtraDepth_->setText(ToQString(f.extraDepth));
    txtExtraMinutes_->setText(ToQString(f.extraMinutes));
    for (std::size_t i = 0; i < txtDecoGas_.size(); ++i)
        txtDecoGas_[i]->setText(ToQString(f.decoGases[i]));
}

void PlannerOptionsTab::Read(PlannerFields& f) const {
    f.enabled = chkPlannerEnabled_->isChecked();
    f.vpmb = optVpmb_->isChecked();
    f.gfLow = ToStdString(txtGFLow_->text());
    f.gfHigh = ToStdString(txtGFHigh_->text());
    f.vpmConservatism = ToStdString(cmbVpmConservatism_->currentText());
    f.ascentRate = ToStdString(txtAscentRate_->text());
    f.lastStop = ToStdString(cmbLastStop_->currentText());
    f.freshWater = cmbWater_->currentIndex() == 1;
    f.switchMinutes = ToStdString(txtSwitchMinutes_->text());
    f.safetyStopMinutes = ToStdString(txtSafetyStopMinutes_->text());
    f.maxPpO2Bottom = ToStdString(txtMaxPpO2Bottom_->text());
    f.maxPpO2Deco = ToStdString(txtMaxPpO2Deco_->text());
    f.minPpO2 = ToStdString(txtPlannerMinPpO2_->text());
    f.endLimit = ToStdString(txtEndLimit_->text());
    f.oxygenNarcotic = chkO2Narcotic_->isChecked();
    f.densityWarn = ToStdString(txtDensityWarn_->text());
    f.densityLimit = ToStdString(txtDensityLimit_->text());
    f.extraDepth = ToStdString(txtExtraDepth_->text());
    f.extraMinutes = ToStdString(txtExtraMinutes_->text());
    for (std::size_t i = 0; i < txtDecoGas_.size(); ++i)
        f.decoGases[i] = ToStdString(txtDecoGas_[i]->text());
}

}  // namespace marelos
