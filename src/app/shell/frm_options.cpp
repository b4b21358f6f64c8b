#include "frm_options.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFontDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <exception>

#include "app/browser/frm_dir_copy.h"
#include "app/planner/planner_options_tab.h"
#include "app/shell/dialog_parts.h"
#include "core/browser/file_system.h"
#include "core/profile/profile_file.h"
#include "core/settings/setting_keys.h"
#include "core/text/fields.h"
#include "core/text/number_format.h"
#include "core/text/val.h"
#include "platform/qt_convert.h"

namespace marelos {
namespace {

// The colour settings behind the six colour buttons, in the order of their samples.
struct ColourSetting {
    const char* button;
    const char* caption;
    std::int32_t Settings::*value;
};
constexpr std::array<ColourSetting, 6> kColours = {{
    {"cmdColLines", "Hilfsli&nien", &Settings::guidelinesColour},
    {"cmdColorCircle", "Mar&kierungskreis", &Settings::profileCircleColour},
    {"cmdProfileLineCol", "Grap&hlinie", &Settings::graphLineColour},
    {"cmdColOutProfile", "&Tauchprofilausgabe", &Settings::outProfileColour},
    {"cmdBackColor", "Hintergr&undfarbe  TG-Grafik", &Settings::graphBackColour},
    {"cmdCrossColor", "K&oordinatenkreuz", &Settings::crossColour},
}};

constexpr const char* kCompartment0Names[6] = {"txtC0T05N2", "txtC0aN2", "txtC0bN2",
                                               "txtC0T05He", "txtC0aHe", "txtC0bHe"};
constexpr const char* kCompartment0Labels[6] = {"Halbwertszeit N2 [min]", "a N2", "b N2",
                                                "Halbwertszeit He [min]", "a He", "b He"};

QString Q(const std::string& text) {
    return ToQString(text);
}

std::string S(const QString& text) {
    return ToStdString(text);
}

// An editable list box: the program shows values that are not among the items as they are.
QComboBox* NamedCombo(const char* name, const std::vector<std::string>& items) {
    auto* box = new QComboBox;
    box->setObjectName(name);
    box->setEditable(true);
    for (const std::string& item : items)
        box->addItem(Q(item));
    return box;
}

// A field with a button behind it, for a path.
QHBoxLayout* WithButton(QWidget* field, QPushButton* button) {
    auto* row = new QHBoxLayout;
    row->addWidget(field, 1);
    row->addWidget(button);
    return row;
}

QWidget* Page(QLayout* layout) {
    auto* page = new QWidget;
    page->setLayout(layout);
    return page;
}

}  // namespace

frmOptions::frmOptions(Workspace& workspace, SettingsStore& store, Ui& ui,
                       FileTypeRegistry& registry, std::function<void()> redraw, bool decoGasOnly,
                       QWidget* parent)
    : QDialog(parent),
      workspace_(workspace),
      store_(store),
      ui_(ui),
      registry_(registry),
      redraw_(std::move(redraw)),
      model_(workspace.model) {
    setObjectName("frmOptions");
    setWindowTitle("Einstellungen");
    setModal(true);
    chooseColour = [this](const QColor& initial) -> std::optional<QColor> {
        const QColor chosen = QColorDialog::getColor(initial, this);
        return chosen.isValid() ? std::optional(chosen) : std::nullopt;
    };
    chooseFont = [this](const QString& name) -> std::optional<QString> {
        bool ok = false;
        const QFont font = QFontDialog::getFont(&ok, QFont(name), this);
        return ok ? std::optional(font.family()) : std::nullopt;
    };
    chooseFolder = [this](const QString& start) -> std::optional<QString> {
        LocalFileSystem disk;
        ProfileFileOperations operations(disk, ui_);
        frmDirCopy chooser(operations, start, this);
        if (chooser.exec() != QDialog::Accepted) return std::nullopt;
        return std::optional(chooser.folder());
    };

    tabOptions_ = new QTabWidget;
    tabOptions_->setObjectName("tabOptions");
    tabOptions_->addTab(BuildGeneralTab(), "A&llgemein");
    tabOptions_->addTab(BuildDecompressionTab(), "&Dekompression");
    tabOptions_->addTab(BuildWarningsTab(), "&Warnungen");
    tabOptions_->addTab(BuildGraphicsTab(), "&Grafik");
    tabOptions_->addTab(BuildTissuesTab(), "Gewe&be");
    tabOptions_->addTab(BuildInterfaceTab(), "&Schnittstelle");
    plannerTab_ = new PlannerOptionsTab;
    tabOptions_->addTab(plannerTab_, "Planer");  // every letter of it is taken; Ctrl+Tab reaches it

    auto* ok = NamedButton("cmdOK", "OK", this);
    auto* cancel = NamedButton("cmdCancel", "Abbrechen", this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &frmOptions::cmdOK);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabOptions_);
    layout->addLayout(ButtonRow({}, {ok, cancel}));

    try {
        fields_ = OpenOptions(workspace_, store_);
    } catch (const std::exception& error) {
        ui_.ShowMessage(std::string(error.what()) + " beim Laden des Formulars.",
                        MessageIcon::Critical);
    }
    ShowFields();
    if (decoGasOnly) {
        fields_.tab = 1;
        for (int tab : {0, 2, 3})
            tabOptions_->setTabEnabled(tab, false);
    }
    tabOptions_->setCurrentIndex(
        fields_.tab >= 0 && fields_.tab < tabOptions_->count() ? fields_.tab : 0);
}

frmOptions::~frmOptions() = default;

QWidget* frmOptions::BuildGeneralTab() {
    txtAirPressure_ = ShortField("txtAirPressure");
    txtAirPressureStd_ = ShortField("txtAirPressureStd");
    txtAirLitre_ = ShortField("txtAirLitre");
    cmbTankSize_ = NamedCombo("cmbTankSize", kTankSizeItems);
    cmbTankPressure_ = NamedCombo("cmbTankPressure", kTankPressureItems);
    txtCabinPressure_ = ShortField("txtCabinPressure");
    txtSurfaceInterval_ = ShortField("txtSurfaceInterval");
    txtInterval_ = ShortField("txtInterval");
    txtFileStoragePath_ = NamedField("txtFileStoragePath", "");
    txtExcelPath_ = NamedField("txtExcelPath", "");

    auto* form = new QFormLayout;
    form->addRow("Luftdruck am &Tauchort [mbar]", txtAirPressure_);
    form->addRow("Luftdruck auf &Meereshöhe (NN)", txtAirPressureStd_);
    form->addRow("Atemminutenvol&umen an der Oberfläche (Liter)", txtAirLitre_);
    form->addRow("&Flaschenvolumen [Liter]", cmbTankSize_);
    form->addRow("ma&x. Druck der Flasche [bar]", cmbTankPressure_);
    auto* cabin = new QHBoxLayout;
    cabin->addWidget(txtCabinPressure_);
    cabin->addWidget(new QLabel("Eingabe in Millibar"));
    cabin->addStretch();
    auto* cabinLabel = new QLabel("&Kabinendruck im Flugzeug");
    cabinLabel->setBuddy(txtCabinPressure_);
    form->addRow(cabinLabel, cabin);
    form->addRow("&Oberflächenpause nach jedem Tauchgang", txtSurfaceInterval_);
    auto* intervalLabel = new QLabel(
        "&Zeitintervall beim automatischen Ablaufenlassen des Tauchgangs in Millisekunden [ms]");
    intervalLabel->setWordWrap(true);
    intervalLabel->setBuddy(txtInterval_);
    form->addRow(intervalLabel, txtInterval_);

    auto* searchFolder = NamedButton("cmdSearchFileStoragePath", "Durc&hsuchen", this);
    connect(searchFolder, &QPushButton::clicked, this, [this] {
        // A folder that is gone opens the nearest folder above it.
        if (const auto folder = chooseFolder(txtFileStoragePath_->text())) {
            txtFileStoragePath_->setText(folder->endsWith('/') ? *folder : *folder + "/");
        }
    });
    auto* folderLabel = new QLabel("&Verzeichnis für Tauchgänge");
    folderLabel->setBuddy(txtFileStoragePath_);
    form->addRow(folderLabel, WithButton(txtFileStoragePath_, searchFolder));

    auto* searchExcel = NamedButton("cmdSearchExcel", "Durchsu&chen", this);
    connect(searchExcel, &QPushButton::clicked, this, [this] {
        // On this platform the spreadsheet program is any program file, such as LibreOffice.
        if (const auto path =
                ui_.AskOpenFile("Tabellenkalkulation suchen", "Programme (*)|*", "/usr/bin")) {
            txtExcelPath_->setText(Q(*path));
        }
    });
    auto* excelLabel = new QLabel("&Excel (Programmpfad)");
    excelLabel->setBuddy(txtExcelPath_);
    form->addRow(excelLabel, WithButton(txtExcelPath_, searchExcel));

    auto* history =
        NamedButton("cmdDeleteHistoryList", "Liste der zuletzt geladenen Daeien lösche&n", this);
    connect(history, &QPushButton::clicked, this, [this] {
        ClearRecentFiles(store_);
        BuildRecentFilesMenu(store_, ui_);
    });
    auto* registration =
        NamedButton("cmdRegisterFileType", "Dateityp .mrp mit Marelos ve&rknüpfen", this);
    connect(registration, &QPushButton::clicked, this,
            [this] { RegisterProfileFileType(registry_, store_); });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(history);
    buttons->addWidget(registration);
    buttons->addStretch();
    form->addRow(buttons);
    return Page(form);
}

QWidget* frmOptions::BuildDecompressionTab() {
    txtN2PerCentSurface_ = ShortField("txtN2PerCentSurface");
    txtN2PerCentDecompression_ = ShortField("txtN2PerCentDecompression");
    txtHePerCentDecompression_ = ShortField("txtHePerCentDecompression");
    txtDecoGasStart_ = ShortField("txtDecoGasStart");
    txtInitialppN2_ = ShortField("txtInitialppN2");
    auto* gas = new QFormLayout;
    auto* surfaceLabel =
        new QLabel("St&ickstoffanteil im Atemgas [%] während der Oberflächenpause (OFP)");
    surfaceLabel->setWordWrap(true);
    surfaceLabel->setBuddy(txtN2PerCentSurface_);
    gas->addRow(surfaceLabel, txtN2PerCentSurface_);
    gas->addRow("&N2-Anteil während der Dekompressionsphase", txtN2PerCentDecompression_);
    gas->addRow("&He-Anteil während der Dekompressionsphase", txtHePerCentDecompression_);
    auto* start = new QHBoxLayout;
    auto* startLabel = new QLabel("Dieses Nitrox &ab");
    startLabel->setBuddy(txtDecoGasStart_);
    start->addWidget(startLabel);
    start->addWidget(txtDecoGasStart_);
    start->addWidget(new QLabel("m verwenden."));
    start->addStretch();
    gas->addRow(start);
    gas->addRow("&ppN2 in den Geweben zu Beginn des Tauchgangs", txtInitialppN2_);
    auto* standard = NamedButton("cmdSetDecoStandardValues", "S&tandard", this);
    connect(standard, &QPushButton::clicked, this, [this] {
        ReadFields();
        SetDecoStandardValues(fields_);
        ShowFields();
    });
    gas->addRow(standard);
    auto* gasBox = new QGroupBox("Dekompressionsgas");
    gasBox->setLayout(gas);

    optStep_ = NamedOption("optStep", "In Stu&fen (wie Dekotabelle)");
    optContinuous_ = NamedOption("optContinuous", "&Kontinuierlich (exponenziell)");
    chkSharpDeco_ = NamedCheck("chkSharpDeco", "&1. Dekostufe knapp berechnen");
    auto* ascentBox = new QGroupBox("Aufstieg");
    auto* ascent = new QVBoxLayout(ascentBox);
    ascent->addWidget(optStep_);
    ascent->addWidget(optContinuous_);
    ascent->addWidget(chkSharpDeco_);

    chkDeepStops_ = NamedCheck("chkDeepStops", "Tiefen Dekompressionsst&op von x min. einlegen");
    optDeepStopMode1_ = NamedOption("optDeepStopMode1", "Halbe Tiefe zu&r Oberfläche");
    optDeepStopMode2_ =
        NamedOption("optDeepStopMode2", "Halbe Tiefe zur erst&en Dekompressionsstufe");
    txtDeepStopTime_ = ShortField("txtDeepStopTime");
    auto* deepBox = new QGroupBox("Deep Stop");
    auto* deep = new QGridLayout(deepBox);
    deep->addWidget(chkDeepStops_, 0, 0);
    deep->addWidget(txtDeepStopTime_, 0, 1);
    deep->addWidget(optDeepStopMode1_, 1, 0, 1, 2);
    deep->addWidget(optDeepStopMode2_, 2, 0, 1, 2);

    lstDecoModel_ = new QListWidget;
    lstDecoModel_->setObjectName("lstDecoModel");
    for (int model = 1; model <= 4; ++model)
        lstDecoModel_->addItem(Q(ModelName(model)));
    lstDecoModel_->setMaximumHeight(90);
    cmdDecoMode_ = new QComboBox;
    cmdDecoMode_->setObjectName("cmdDecoMode");
    for (int mode = 1; mode <= 5; ++mode)
        cmdDecoMode_->addItem(Q(ProgressivityName(mode)));
    auto* modelBox = new QGroupBox("Dekompressionsmodell");
    auto* modelForm = new QFormLayout(modelBox);
    modelForm->addRow("&Modell", lstDecoModel_);
    modelForm->addRow("Grad der Konser&vativität der Dekompression", cmdDecoMode_);

    auto* grid = new QGridLayout;
    grid->addWidget(gasBox, 0, 0, 2, 1);
    grid->addWidget(ascentBox, 0, 1);
    grid->addWidget(deepBox, 1, 1);
    grid->addWidget(modelBox, 2, 0, 1, 2);
    grid->setRowStretch(3, 1);
    return Page(grid);
}

QWidget* frmOptions::BuildWarningsTab() {
    txtMaxPPO2_ = ShortField("txtMaxPPO2");
    txtMinPPO2_ = ShortField("txtMinPPO2");
    txtMaxPPN2_ = ShortField("txtMaxPPN2");
    txtEND_ = ShortField("txtEND");
    txtConstppO2_ = ShortField("txtConstppO2");
    chkWarnppO2Hi_ = NamedCheck("chkWarnppO2Hi", "Bei zu &hohem ppO2 warnen");
    chkWarnppO2Lo_ = NamedCheck("chkWarnppO2Lo", "Bei H&ypoxiegefahr (<<<ppO2) warnen");
    chkWarnppN2_ = NamedCheck("chkWarnppN2", "Bei zu hohem ppN2 wa&rnen");
    auto* grid = new QGridLayout;
    const auto row = [&](int r, const char* caption, QLineEdit* field, QWidget* extra) {
        auto* label = new QLabel(caption);
        label->setBuddy(field);
        grid->addWidget(label, r, 0);
        grid->addWidget(field, r, 1);
        if (extra) grid->addWidget(extra, r, 2);
    };
    row(0, "Ma&ximaler ppO2", txtMaxPPO2_, chkWarnppO2Hi_);
    row(1, "Mi&nimaler ppO2", txtMinPPO2_, chkWarnppO2Lo_);
    row(2, "Maximaler &ppN2", txtMaxPPN2_, chkWarnppN2_);
    auto* useEnd = NamedButton("cmdCalcEnd", "&END verwenden", this);
    connect(useEnd, &QPushButton::clicked, this,
            [this] { txtMaxPPN2_->setText(Q(MaxPpN2FromEnd(S(txtEND_->text())))); });
    row(3, "Äquivalente N2- Narkosetiefe in &m", txtEND_, useEnd);
    row(4, "&Konstanter ppO2 (mit F3 einstellen)", txtConstppO2_, nullptr);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(5, 1);
    return Page(grid);
}

QWidget* frmOptions::BuildGraphicsTab() {
    auto* compartmentsBox = new QGroupBox("Gewebepartialdrücke in Kompartimenten anzeigen:");
    auto* compartments = new QGridLayout(compartmentsBox);
    for (int k = 1; k <= kCompartmentCount; ++k) {
        const std::string name = "chkC" + std::to_string(k);
        chkC_[k] = NamedCheck(name.c_str(), QString::number(k));
        compartments->addWidget(chkC_[k], (k - 1) / 8, (k - 1) % 8);
    }

    chkHorLine_ = NamedCheck("chkHorLine", "Hori&zontale Hilfslinien");
    chkVertLine_ = NamedCheck("chkVertLine", "&Vertikale Hilfslinien");
    chkShowAirMix_ = NamedCheck("chkShowAirMix", "Gemischangaben im Di&agramm anzeigen");
    chkPrintDiveValues_ =
        NamedCheck("chkPrintDiveValues", "Daten des Tauchganges in Profilgrafik &einblenden");
    chkUseMultiColorLine_ =
        NamedCheck("chkUseMultiColorLine", "Linien&farbe abhängig vom Gasgemisch");
    auto* switchesBox = new QGroupBox("Anzeige");
    auto* switches = new QVBoxLayout(switchesBox);
    for (QCheckBox* box :
         {chkHorLine_, chkVertLine_, chkShowAirMix_, chkPrintDiveValues_, chkUseMultiColorLine_})
        switches->addWidget(box);

    cmbCircleDiameter_ = NamedCombo("cmbCircleDiameter", kCircleDiameterItems);
    cmbLineWidth_ = NamedCombo("cmbLineWidth", kLineWidthItems);
    cmbCircleLineWidth_ = NamedCombo("cmbCircleLineWidth", kLineWidthItems);
    txtCurFont_ = NamedField("txtCurFont", "");
    auto* changeFont = NamedButton("cmdChgFont", "Ände&rn", this);
    connect(changeFont, &QPushButton::clicked, this, [this] {
        if (const auto font = chooseFont(txtCurFont_->text())) {
            txtCurFont_->setText(*font);
            workspace_.settings.picDiveFontName = S(*font);  // in effect at once, stored on OK
        }
    });
    auto* linesBox = new QGroupBox("Linien und Schrift");
    auto* lines = new QFormLayout(linesBox);
    auto* diameterLabel =
        new QLabel("Durch&messer des Markierungskreises im Tauchprofildiagramm in Bildpunkten");
    diameterLabel->setWordWrap(true);
    diameterLabel->setBuddy(cmbCircleDiameter_);
    lines->addRow(diameterLabel, cmbCircleDiameter_);
    lines->addRow("Linienstärke der L&inien (in Pixel)", cmbLineWidth_);
    lines->addRow("Linienstärke des Markierungskreis (in &Pixel)", cmbCircleLineWidth_);
    auto* fontLabel = new QLabel("S&chriftart im Grafikfenster");
    fontLabel->setBuddy(txtCurFont_);
    lines->addRow(fontLabel, WithButton(txtCurFont_, changeFont));

    auto* coloursBox = new QGroupBox("Farben");
    auto* colours = new QGridLayout(coloursBox);
    for (std::size_t i = 0; i < kColours.size(); ++i) {
        const int index = static_cast<int>(i);
        colourSamples_[i] = new QLabel;
        colourSamples_[i]->setObjectName(QString("picColour%1").arg(index));
        auto* button =
            NamedButton(kColours[i].button, QString::fromUtf8(kColours[i].caption), this);
        connect(button, &QPushButton::clicked, this, [this, index] { ChangeColour(index); });
        colours->addWidget(colourSamples_[i], index / 2, (index % 2) * 2);
        colours->addWidget(button, index / 2, (index % 2) * 2 + 1);
    }

    auto* grid = new QGridLayout;
    grid->addWidget(compartmentsBox, 0, 0, 1, 2);
    grid->addWidget(switchesBox, 1, 0);
    grid->addWidget(coloursBox, 1, 1);
    grid->addWidget(linesBox, 2, 0, 1, 2);
    grid->setRowStretch(3, 1);
    return Page(grid);
}

QWidget* frmOptions::BuildTissuesTab() {
    txtAMulti_ = ShortField("txtAMulti");
    txtBMulti_ = ShortField("txtBMulti");
    txtT05Multi_ = ShortField("txtT05Multi");
    auto* resetAB = NamedButton("cmdResetAB", "Rü&cksetzen", this);
    auto* recalcAB = NamedButton("cmdRecalcAB", "Be&rechnen", this);
    auto* recalcT05 = NamedButton("cmdRecalcT05", "m&ultiplizieren", this);
    auto* resetT05 = NamedButton("cmdResetT05", "Rücks&etzen", this);
    connect(resetAB, &QPushButton::clicked, this, &frmOptions::cmdResetAB);
    connect(recalcAB, &QPushButton::clicked, this, &frmOptions::cmdRecalcAB);
    connect(recalcT05, &QPushButton::clicked, this, &frmOptions::cmdRecalcT05);
    connect(resetT05, &QPushButton::clicked, this, &frmOptions::cmdResetT05);

    auto* abBox = new QGroupBox("Übersättigungstoleranzen (a-, b-Werte)");
    auto* ab = new QGridLayout(abBox);
    auto* aLabel = new QLabel("&a-Faktor");
    aLabel->setBuddy(txtAMulti_);
    auto* bLabel = new QLabel("b-Fa&ktor");
    bLabel->setBuddy(txtBMulti_);
    ab->addWidget(aLabel, 0, 0);
    ab->addWidget(txtAMulti_, 0, 1);
    ab->addWidget(bLabel, 1, 0);
    ab->addWidget(txtBMulti_, 1, 1);
    ab->addWidget(recalcAB, 0, 2);
    ab->addWidget(resetAB, 1, 2);
    ab->setColumnStretch(3, 1);

    auto* halfTimesBox = new QGroupBox("Halbwertszeiten");
    auto* halfTimes = new QHBoxLayout(halfTimesBox);
    auto* t05Label = new QLabel("&Halbwertszeiten aller Gewebe für N2 und He mit ");
    t05Label->setBuddy(txtT05Multi_);
    halfTimes->addWidget(t05Label);
    halfTimes->addWidget(txtT05Multi_);
    halfTimes->addWidget(recalcT05);
    halfTimes->addWidget(resetT05);
    halfTimes->addStretch();

    chkUseC0_ = NamedCheck("chkUseC0", "Gewebe in Berechnung mit e&inbeziehen");
    auto* c0Box = new QGroupBox("Kompartiment 0");
    auto* c0 = new QGridLayout(c0Box);
    c0->addWidget(chkUseC0_, 0, 0, 1, 4);
    for (int i = 0; i < 6; ++i) {
        txtC0_[i] = ShortField(kCompartment0Names[i]);
        c0->addWidget(new QLabel(kCompartment0Labels[i]), 1 + i % 3, (i / 3) * 2);
        c0->addWidget(txtC0_[i], 1 + i % 3, (i / 3) * 2 + 1);
    }
    c0->setColumnStretch(4, 1);
    connect(chkUseC0_, &QCheckBox::toggled, this, [this](bool on) {
        for (QLineEdit* field : txtC0_)
            field->setEnabled(on);
    });

    auto* layout = new QVBoxLayout;
    layout->addWidget(abBox);
    layout->addWidget(halfTimesBox);
    layout->addWidget(c0Box);
    layout->addStretch();
    return Page(layout);
}

QWidget* frmOptions::BuildInterfaceTab() {
    cmbCommPort_ = NamedCombo("cmbCommPort", kCommPortItems);
    cmbDataBits_ = NamedCombo("cmbDataBits", kDataBitsItems);
    cmbStopBits_ = NamedCombo("cmbStopBits", kStopBitsItems);
    cmbParity_ = NamedCombo("cmbParity", kParityItems);
    cmbBaudRate_ = NamedCombo("cmbBaudRate", kBaudRateItems);
    txtCOMDelay_ = ShortField("txtCOMDelay");
    auto* portBox = new QGroupBox("Serielle Schnittstelle");
    auto* port = new QFormLayout(portBox);
    port->addRow("C&OM:", cmbCommPort_);
    port->addRow("Date&nbits", cmbDataBits_);
    port->addRow("S&topBits", cmbStopBits_);
    port->addRow("&Parität", cmbParity_);
    port->addRow("Ba&ud", cmbBaudRate_);
    auto* delay = new QHBoxLayout;
    delay->addWidget(txtCOMDelay_);
    delay->addWidget(new QLabel("[ms]"));
    delay->addStretch();
    // Empty: the COM number decides, as the placeholder shows.
    std::vector<std::string> devices = {""};
    for (const std::string& path : SystemSerialPorts())
        devices.push_back(path);
    cmbDevice_ = NamedCombo("cmbDevice", devices);
    cmbDevice_->setMinimumWidth(220);
    cmbDevice_->setToolTip(
        "Ein Gerät, das das System meldet, oder der Pfad eines anderen (z. B. eines "
        "USB-Seriell-Adapters); leer: das Gerät der COM-Nummer.");
    auto* deviceLabel = new QLabel("Ans&chluss");
    deviceLabel->setBuddy(cmbDevice_);
    port->addRow(deviceLabel, cmbDevice_);
    connect(cmbCommPort_, &QComboBox::currentTextChanged, this, &frmOptions::ShowPortDevice);
    auto* delayLabel = new QLabel("COM-&Verzögerung");
    delayLabel->setBuddy(txtCOMDelay_);
    port->addRow(delayLabel, delay);

    chkShowVyperWarnings_ =
        NamedCheck("chkShowVyperWarnings", "Warnmeldungen des Vyper in TG-Profilgrafik &ausgeben");
    optSuunto_ = NamedOption("optSuunto", "O&riginal-Suunto");
    optSimple_ = NamedOption("optSimple", "S&elbstbau oder Nachbau");
    auto* vyperBox = new QGroupBox("Suunto Vyper");
    auto* vyper = new QVBoxLayout(vyperBox);
    vyper->addWidget(chkShowVyperWarnings_);
    vyper->addWidget(optSuunto_);
    vyper->addWidget(optSimple_);
    auto* test = NamedButton("cmdVyperTest", "&Interface testen", this);
    connect(test, &QPushButton::clicked, this, &frmOptions::cmdVyperTest);
    txtReply_ = NamedField("txtReply", "");
    txtReply_->setReadOnly(true);
    auto* note =
        new QLabel("Achtung! Der Vyper darf für den Test nicht mit dem Interface verbunden sein!");
    note->setWordWrap(true);
    vyper->addWidget(note);
    vyper->addLayout(WithButton(txtReply_, test));

    auto* layout = new QHBoxLayout;
    layout->addWidget(portBox);
    layout->addWidget(vyperBox, 1);
    auto* page = new QVBoxLayout;
    page->addLayout(layout);
    page->addStretch();
    return Page(page);
}

void frmOptions::ShowFields() {
    plannerTab_->Show(fields_.planner);
    const OptionsFields& f = fields_;
    txtAirPressure_->setText(Q(f.airPressure));
    txtAirPressureStd_->setText(Q(f.airPressureStd));
    txtAirLitre_->setText(Q(f.airLitre));
    cmbTankSize_->setCurrentText(Q(f.tankSize));
    cmbTankPressure_->setCurrentText(Q(f.tankPressure));
    txtCabinPressure_->setText(Q(f.cabinPressure));
    txtSurfaceInterval_->setText(Q(f.surfaceInterval));
    txtInterval_->setText(Q(f.interval));
    txtFileStoragePath_->setText(Q(f.fileStoragePath));
    txtExcelPath_->setText(Q(f.excelPath));

    txtN2PerCentSurface_->setText(Q(f.n2PerCentSurface));
    txtN2PerCentDecompression_->setText(Q(f.n2PerCentDecompression));
    txtHePerCentDecompression_->setText(Q(f.hePerCentDecompression));
    txtDecoGasStart_->setText(Q(f.decoGasStart));
    txtInitialppN2_->setText(Q(f.initialPpN2));
    (f.stepwise ? optStep_ : optContinuous_)->setChecked(true);
    chkSharpDeco_->setChecked(f.sharpDeco);
    chkDeepStops_->setChecked(f.deepStops);
    (f.deepStopModeHalfToSurface ? optDeepStopMode1_ : optDeepStopMode2_)->setChecked(true);
    txtDeepStopTime_->setText(Q(f.deepStopTime));
    lstDecoModel_->setCurrentRow(f.model - 1);
    cmdDecoMode_->setCurrentText(Q(f.progressivity));

    txtMaxPPO2_->setText(Q(f.maxPpO2));
    txtMinPPO2_->setText(Q(f.minPpO2));
    txtMaxPPN2_->setText(Q(f.maxPpN2));
    txtEND_->setText(Q(f.end));
    txtConstppO2_->setText(Q(f.constPpO2));
    chkWarnppO2Hi_->setChecked(f.warnPpO2Hi);
    chkWarnppO2Lo_->setChecked(f.warnPpO2Lo);
    chkWarnppN2_->setChecked(f.warnPpN2);

    for (int k = 1; k <= kCompartmentCount; ++k)
        chkC_[k]->setChecked(f.showCompartment[k]);
    chkHorLine_->setChecked(f.horizontalLines);
    chkVertLine_->setChecked(f.verticalLines);
    chkShowAirMix_->setChecked(f.showAirMix);
    chkPrintDiveValues_->setChecked(f.printDiveValues);
    chkUseMultiColorLine_->setChecked(f.useMultiColorLine);
    cmbCircleDiameter_->setCurrentText(Q(f.circleDiameter));
    cmbLineWidth_->setCurrentText(Q(f.lineWidth));
    cmbCircleLineWidth_->setCurrentText(Q(f.circleLineWidth));
    txtCurFont_->setText(Q(f.font));
    for (int i = 0; i < static_cast<int>(kColours.size()); ++i)
        ShowColourSample(i);

    txtAMulti_->setText(Q(f.aMulti));
    txtBMulti_->setText(Q(f.bMulti));
    txtT05Multi_->setText(Q(f.t05Multi));
    chkUseC0_->setChecked(f.useC0);
    for (int i = 0; i < 6; ++i) {
        txtC0_[i]->setText(Q(f.compartment0[i]));
        txtC0_[i]->setEnabled(f.useC0);
    }

    cmbCommPort_->setCurrentText(Q(f.commPort));
    cmbDataBits_->setCurrentText(Q(f.dataBits));
    cmbStopBits_->setCurrentText(Q(f.stopBits));
    cmbParity_->setCurrentText(Q(f.parity));
    cmbBaudRate_->setCurrentText(Q(f.baudRate));
    txtCOMDelay_->setText(Q(f.comDelay));
    cmbDevice_->setCurrentText(Q(f.device));
    chkShowVyperWarnings_->setChecked(f.showVyperWarnings);
    (f.interfaceSuunto ? optSuunto_ : optSimple_)->setChecked(true);
    ShowPortDevice();
}

void frmOptions::ReadFields() {
    plannerTab_->Read(fields_.planner);
    OptionsFields& f = fields_;
    f.tab = tabOptions_->currentIndex();
    f.airPressure = S(txtAirPressure_->text());
    f.airPressureStd = S(txtAirPressureStd_->text());
    f.airLitre = S(txtAirLitre_->text());
    f.tankSize = S(cmbTankSize_->currentText());
    f.tankPressure = S(cmbTankPressure_->currentText());
    f.cabinPressure = S(txtCabinPressure_->text());
    f.surfaceInterval = S(txtSurfaceInterval_->text());
    f.interval = S(txtInterval_->text());
    f.fileStoragePath = S(txtFileStoragePath_->text());
    f.excelPath = S(txtExcelPath_->text());

    f.n2PerCentSurface = S(txtN2PerCentSurface_->text());
    f.n2PerCentDecompression = S(txtN2PerCentDecompression_->text());
    f.hePerCentDecompression = S(txtHePerCentDecompression_->text());
    f.decoGasStart = S(txtDecoGasStart_->text());
    f.initialPpN2 = S(txtInitialppN2_->text());
    f.stepwise = optStep_->isChecked();
    f.sharpDeco = chkSharpDeco_->isChecked();
    f.deepStops = chkDeepStops_->isChecked();
    f.deepStopModeHalfToSurface = optDeepStopMode1_->isChecked();
    f.deepStopTime = S(txtDeepStopTime_->text());
    f.model = lstDecoModel_->currentRow() + 1;
    f.progressivity = S(cmdDecoMode_->currentText());

    f.maxPpO2 = S(txtMaxPPO2_->text());
    f.minPpO2 = S(txtMinPPO2_->text());
    f.maxPpN2 = S(txtMaxPPN2_->text());
    f.end = S(txtEND_->text());
    f.constPpO2 = S(txtConstppO2_->text());
    f.warnPpO2Hi = chkWarnppO2Hi_->isChecked();
    f.warnPpO2Lo = chkWarnppO2Lo_->isChecked();
    f.warnPpN2 = chkWarnppN2_->isChecked();

    for (int k = 1; k <= kCompartmentCount; ++k)
        f.showCompartment[k] = chkC_[k]->isChecked();
    f.horizontalLines = chkHorLine_->isChecked();
    f.verticalLines = chkVertLine_->isChecked();
    f.showAirMix = chkShowAirMix_->isChecked();
    f.printDiveValues = chkPrintDiveValues_->isChecked();
    f.useMultiColorLine = chkUseMultiColorLine_->isChecked();
    f.circleDiameter = S(cmbCircleDiameter_->currentText());
    f.lineWidth = S(cmbLineWidth_->currentText());
    f.circleLineWidth = S(cmbCircleLineWidth_->currentText());
    f.font = S(txtCurFont_->text());

    f.aMulti = S(txtAMulti_->text());
    f.bMulti = S(txtBMulti_->text());
    f.t05Multi = S(txtT05Multi_->text());
    f.useC0 = chkUseC0_->isChecked();
    for (int i = 0; i < 6; ++i)
        f.compartment0[i] = S(txtC0_[i]->text());

    f.commPort = S(cmbCommPort_->currentText());
    f.dataBits = S(cmbDataBits_->currentText());
    f.stopBits = S(cmbStopBits_->currentText());
    f.parity = S(cmbParity_->currentText());
    f.baudRate = S(cmbBaudRate_->currentText());
    f.comDelay = S(txtCOMDelay_->text());
    f.device = S(cmbDevice_->currentText());
    f.showVyperWarnings = chkShowVyperWarnings_->isChecked();
    f.interfaceSuunto = optSuunto_->isChecked();
}

void frmOptions::ShowColourSample(int index) {
    // A filled circle in the colour, as in the colour's own graph.
    QPixmap sample(24, 24);
    sample.fill(Qt::transparent);
    QPainter painter(&sample);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor colour =
        ToQColor(workspace_.settings.*kColours[static_cast<std::size_t>(index)].value);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawEllipse(QRectF(2, 2, 20, 20));
    painter.end();
    colourSamples_[static_cast<std::size_t>(index)]->setPixmap(sample);
}

void frmOptions::ChangeColour(int index) {
    std::int32_t& running = workspace_.settings.*kColours[static_cast<std::size_t>(index)].value;
    if (const auto chosen = chooseColour(ToQColor(running))) {
        running = FromQColor(*chosen);  // runs at once; stored only on "OK"
        ShowColourSample(index);
    }
}

void frmOptions::cmdOK() {
    ReadFields();
    if (const auto problem = ApplyOptions(fields_, model_, workspace_, store_, ui_, redraw_)) {
        ShowProblem(*problem);
        return;
    }
    accept();
}

void frmOptions::ShowProblem(const OptionsProblem& problem) {
    tabOptions_->setTabEnabled(problem.tab, true);
    tabOptions_->setCurrentIndex(problem.tab);
    auto* field = findChild<QWidget*>(Q(problem.field));
    auto* box = qobject_cast<QComboBox*>(field);
    auto* text = box ? box->lineEdit() : qobject_cast<QLineEdit*>(field);
    const auto focus = [field, text] {
        field->setFocus();
        if (text) text->selectAll();
    };
    focus();
    ui_.ShowMessage(problem.message, MessageIcon::Critical);
    focus();
}

void frmOptions::cmdResetAB() {
    LoadCoefficients(model_, model_.model);
    cmdOK();
}

void frmOptions::cmdRecalcAB() {
    ReadFields();
    if (const auto problem = CheckCoefficientFactors(fields_)) {
        ShowProblem(*problem);
        return;
    }
    const double a = Val(CommaToPoint(fields_.aMulti));
    const double b = Val(CommaToPoint(fields_.bMulti));
    ui_.ShowMessage(RecalculateCoefficients(model_, a, b), MessageIcon::Information);
    cmdOK();
}

void frmOptions::cmdRecalcT05() {
    ReadFields();
    if (const auto problem = CheckHalfTimeFactor(fields_)) {
        ShowProblem(*problem);
        return;
    }
    MultiplyHalfTimes(model_, Val(CommaToPoint(fields_.t05Multi)));
    cmdOK();
}

void frmOptions::cmdResetT05() {
    // The literature half-times take effect, but nothing else of the dialog is kept.
    LoadHalfTimes(workspace_.model, workspace_.model.model);
    reject();
}

void frmOptions::ShowPortDevice() {
    OptionsFields chosen;
    chosen.commPort = S(cmbCommPort_->currentText());
    cmbDevice_->lineEdit()->setPlaceholderText("COM-Nummer: " +
                                               Q(ChosenDevice(chosen, DeviceExists).path));
}

void frmOptions::cmdVyperTest() {
    txtReply_->setText("Teste...");
    reply_.clear();
    testLink_.Close();
    ReadFields();
    const SerialPortDevice device = ChosenDevice(fields_, DeviceExists);
    const LineSettings settings = ChosenLineSettings(fields_);
    if (const auto error = testLink_.Open(device.path, settings)) {
        txtReply_->clear();
        ui_.ShowMessage(SerialOpenErrorMessage(device.name, *error), MessageIcon::Critical);
        return;
    }
    testLink_.SetDtr(true);
    testLink_.SetRts(false);
    testLink_.OnDataArrived([this] { ReplyArrived(); });
    const std::string_view text = kInterfaceTestText;
    testLink_.Write({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
}

void frmOptions::ReplyArrived() {
    // Shown once the whole length of the test text has come back.
    if (testLink_.BytesWaiting() < kInterfaceTestText.size()) return;
    const std::vector<std::uint8_t> bytes = testLink_.Read(testLink_.BytesWaiting());
    reply_.assign(bytes.begin(), bytes.end());
    txtReply_->setText(QString::fromLatin1(reply_.data(), static_cast<qsizetype>(reply_.size())));
}

void frmOptions::done(int result) {
    testLink_.Close();  // closing the window ends the interface test
    QDialog::done(result);
}

}  // namespace marelos
