#pragma once

#include <QColor>
#include <QDialog>
#include <array>
#include <functional>
#include <optional>
#include <string>

#include "core/engine/model_parameters.h"
#include "core/profile/file_type.h"
#include "core/settings/options_form.h"
#include "core/ui/ui.h"
#include "core/workspace.h"
#include "platform/qt_serial_link.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QRadioButton;
class QTabWidget;

namespace marelos {

class PlannerOptionsTab;

// "Einstellungen": every setting on tabs. The dialog edits a copy of the fields and of the
// model parameters and commits both on "OK"; only the colours and the font of its buttons take
// effect at once.
class frmOptions : public QDialog {
    Q_OBJECT

  public:
    // `redraw` redraws the main view after "OK"; `decoGasOnly` opens the decompression tab
    // with the other general tabs disabled.
    frmOptions(Workspace& workspace, SettingsStore& store, Ui& ui, FileTypeRegistry& registry,
               std::function<void()> redraw, bool decoGasOnly, QWidget* parent = nullptr);
    ~frmOptions() override;

    // The standard dialogs behind the buttons; tests replace them with scripted answers.
    std::function<std::optional<QColor>(const QColor&)> chooseColour;
    std::function<std::optional<QString>(const QString&)> chooseFont;
    std::function<std::optional<QString>(const QString&)> chooseFolder;

    void cmdOK();
    void done(int result) override;

  private:
    PlannerOptionsTab* plannerTab_ = nullptr;
    QWidget* BuildGeneralTab();
    QWidget* BuildDecompressionTab();
    QWidget* BuildWarningsTab();
    QWidget* BuildGraphicsTab();
    QWidget* BuildTissuesTab();
    QWidget* BuildInterfaceTab();
    void ShowFields();
    void ReadFields();
    void ShowColourSample(int index);
    void ChangeColour(int index);
    // The buttons that work on the model copy and then run "OK", as "Rücksetzen" and
    // "Berechnen" do.
    void cmdResetAB();
    void cmdRecalcAB();
    void cmdRecalcT05();
    void cmdResetT05();
    // Shows the device the chosen COM port opens when no device path is chosen.
    void ShowPortDevice();
    // The tab with the field and the message; the field has the focus.
    void ShowProblem(const OptionsProblem& problem);
    void cmdVyperTest();
    void ReplyArrived();

    Workspace& workspace_;
    SettingsStore& store_;
    Ui& ui_;
    FileTypeRegistry& registry_;
    std::function<void()> redraw_;
    OptionsFields fields_;
    ModelParameters model_;
    QtSerialLink testLink_;
    std::string reply_;

    QTabWidget* tabOptions_ = nullptr;
    // Tab "Allgemein".
    QLineEdit *txtAirPressure_, *txtAirPressureStd_, *txtAirLitre_, *txtCabinPressure_;
    QLineEdit *txtSurfaceInterval_, *txtInterval_, *txtFileStoragePath_, *txtExcelPath_;
    QComboBox *cmbTankSize_, *cmbTankPressure_;
    // Tab "Dekompression".
    QLineEdit *txtN2PerCentSurface_, *txtN2PerCentDecompression_, *txtHePerCentDecompression_;
    QLineEdit *txtDecoGasStart_, *txtInitialppN2_, *txtDeepStopTime_;
    QRadioButton *optStep_, *optContinuous_, *optDeepStopMode1_, *optDeepStopMode2_;
    QCheckBox *chkSharpDeco_, *chkDeepStops_;
    QListWidget* lstDecoModel_;
    QComboBox* cmdDecoMode_;
    // Tab "Warnungen".
    QLineEdit *txtMaxPPO2_, *txtMinPPO2_, *txtMaxPPN2_, *txtEND_, *txtConstppO2_;
    QCheckBox *chkWarnppO2Hi_, *chkWarnppO2Lo_, *chkWarnppN2_;
    // Tab "Grafik".
    std::array<QCheckBox*, 17> chkC_{};  // 1..16
    QCheckBox *chkHorLine_, *chkVertLine_, *chkShowAirMix_, *chkPrintDiveValues_;
    QCheckBox* chkUseMultiColorLine_;
    QComboBox *cmbCircleDiameter_, *cmbLineWidth_, *cmbCircleLineWidth_;
    QLineEdit* txtCurFont_;
    std::array<QLabel*, 6> colourSamples_{};
    // Tab "Gewebe".
    QLineEdit *txtAMulti_, *txtBMulti_, *txtT05Multi_;
    QCheckBox* chkUseC0_;
    std::array<QLineEdit*, 6> txtC0_{};
    // Tab "Schnittstelle".
    QComboBox *cmbCommPort_, *cmbDataBits_, *cmbStopBits_, *cmbParity_, *cmbBaudRate_;
    QComboBox* cmbDevice_;  // the ports the system reports, or any device path
    QLineEdit *txtCOMDelay_, *txtReply_;
    QCheckBox* chkShowVyperWarnings_;
    QRadioButton *optSuunto_, *optSimple_;
};

}  // namespace marelos
