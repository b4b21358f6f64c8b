#include "frm_main.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>
#include <exception>
#include <functional>
#include <vector>

#include "app/analysis/frm_bar_graph.h"
#include "app/analysis/tool_windows.h"
#include "app/profile/profile_windows.h"
#include "app/shell/dialog_parts.h"
#include "app/shell/frm_about.h"
#include "app/shell/main_menu.h"
#include "app/shell/picture_box.h"
#include "core/app_info.h"
#include "core/engine/calculation.h"
#include "core/engine/calculators.h"
#include "core/engine/deco_table.h"
#include "core/engine/dive_plan.h"
#include "core/engine/no_fly.h"
#include "core/graphics/analysis_graphs.h"
#include "core/graphics/bar_graph.h"
#include "core/graphics/profile_graph.h"
#include "core/profile/editing.h"
#include "core/profile/file_type.h"
#include "core/profile/gas_mix.h"
#include "core/profile/profile_file.h"
#include "core/profile/repetitive_dives.h"
#include "core/settings/setting_keys.h"
#include "core/text/fields.h"
#include "core/text/paths.h"
#include "core/text/rounding.h"
#include "core/text/text_file.h"
#include "core/text/val.h"
#include "platform/freedesktop_file_type.h"
#include "platform/qt_convert.h"
#include "platform/xlsx_spreadsheet.h"

namespace marelos {

// The Ui port of the main window: its message list, progress bar, caption and recent-file menu,
// and the modal dialogs.
class frmMain::WindowUi : public Ui {
  public:
    explicit WindowUi(frmMain& window) : window_(window) {}

    void ShowMessage(std::string_view text, MessageIcon icon) override {
        window_.dialogs_.Message(&window_, text, icon);
    }
    Answer Ask(std::string_view text, Buttons buttons, MessageIcon icon) override {
        return window_.dialogs_.Ask(&window_, text, buttons, icon);
    }
    std::optional<std::string> AskText(std::string_view prompt,
                                       std::string_view proposal) override {
        return window_.dialogs_.AskText(&window_, prompt, proposal);
    }
    std::optional<std::string> AskOpenFile(std::string_view title, std::string_view filter,
                                           std::string_view folder) override {
        return window_.dialogs_.OpenFile(&window_, title, filter, folder);
    }
    std::optional<std::string> AskSaveFile(std::string_view title, std::string_view filter,
                                           std::string_view folder) override {
        return window_.dialogs_.SaveFile(&window_, title, filter, folder);
    }
    void StartProgress(int steps) override {
        window_.pgbMain_->setRange(0, std::max(steps, 1));
        window_.pgbMain_->setValue(0);
        window_.pgbMain_->show();
    }
    void ShowProgress(int step) override { window_.pgbMain_->setValue(step); }
    void ResetProgress() override {
        window_.pgbMain_->setValue(0);
        window_.pgbMain_->hide();
    }
    void ProcessPendingEvents() override { QCoreApplication::processEvents(); }
    void RedrawProfileGraph() override { window_.RedrawView(); }
    void SetWindowCaption(std::string_view caption) override {
        window_.setWindowTitle(ToQString(caption));
    }
    void ShowRecentFiles(const std::vector<std::string>& /*captions*/) override {
        window_.ShowRecentFiles();
    }
    void CalculationFinished() override {
        window_.findChild<QAction*>("mnuCalcNoFlyTime")->setEnabled(true);
        window_.ShowLastUsedView();
    }

  protected:
    void AppendMessageLine(std::string_view line) override {
        window_.lstSysMsg_->addItem(ToQString(line));
        window_.lstSysMsg_->setCurrentRow(window_.lstSysMsg_->count() - 1);
    }

  private:
    frmMain& window_;
};

namespace {

constexpr const char* kChangedQuestion = "Geändertes Tauchprofil speichern?";
constexpr const char* kLoadFilter = "Tauchprofile (*.prf;*.mrp)|*.prf;*.mrp";
constexpr const char* kSaveFilter = "Tauchprofile (*.mrp)|*.mrp";
constexpr const char* kSaveAsFilter = "Tauchprofile Marelos 2.x (*.mrp)|*.mrp";

// A button of the command bar: it runs the menu command of the same row.
struct CommandButton {
    const char* name;
    const char* tooltip;
    const char* command;
    const char* themeIcon;
    QStyle::StandardPixmap fallback;
};

constexpr CommandButton kButtons[] = {
    {"cmdNewProfile", "Neues Tauchprofil anlegen", "mnuNewProfile", "document-new",
     QStyle::SP_FileIcon},
    {"cmdLoadProfile", "Tauchprofil laden", "mnuLoadProfile2", "document-open",
     QStyle::SP_DialogOpenButton},
    {"cmdSaveProfile", "Tauchprofil speichern", "mnuSaveProfile2", "document-save",
     QStyle::SP_DialogSaveButton},
    {"cmdCalcDrawProfile", "Tauchprofil ausrechnen", "mnuCalcProfile", "view-refresh",
     QStyle::SP_BrowserReload},
    {"cmdDraProfile", "Tauchprofil editieren", "mnuProfileInput", "document-edit",
     QStyle::SP_FileDialogDetailedView},
    {"cmdCalc", "Tauchgang berechnen", "mnuCalcSaturation", "system-run", QStyle::SP_MediaPlay},
    {"cmdGraph1", "N2-Partialdrücke in den Geweben", "", "office-chart-line",
     QStyle::SP_FileDialogContentsView},
    {"cmdGraph2", "Druckverhältnisse", "", "office-chart-area", QStyle::SP_FileDialogListView},
    {"cmdGraph3", "Errechnetes Tauchprofil ausgeben", "", "go-bottom", QStyle::SP_ArrowDown},
    {"cmdAscendSpeed", "Aufstiegsgeschwindigkeit", "mnuShowAscSpeed", "go-up", QStyle::SP_ArrowUp},
    {"cmdBarGraph", "Balkengrafik der Gewebesättigung anzeigen", "mnuBarGraph", "office-chart-bar",
     QStyle::SP_FileDialogInfoView},
    {"cmdNoFly", "Flugverbotszeit berechnen", "mnuCalcNoFlyTime", "weather-few-clouds",
     QStyle::SP_MessageBoxWarning},
    {"cmdAirConsumption", "Luftverbrauch berechnen", "mnuCalcAirConsume", "accessories-calculator",
     QStyle::SP_DriveHDIcon},
    {"cmdCalcAltitude", "Luftdruck in der Höhe ausrechnen", "mnuCalcAltitude", "go-top",
     QStyle::SP_ArrowUp},
    {"cmdJoinDives", "2 oder mehrere Tauchgänge verbinden", "mnuJoinDives", "insert-link",
     QStyle::SP_ArrowRight},
    {"cmdBrowse", "Tauchgangs-Browser", "mnuBrowse", "folder", QStyle::SP_DirIcon},
    {"cmdPrint", "Tauchgangsgrafik drucken", "mnuPrintGraph", "document-print",
     QStyle::SP_ComputerIcon},
    {"cmdPrintDecophase", "Dekompressionsphase in Textform ausgeben", "mnuPrintDecoPhase",
     "text-x-generic", QStyle::SP_FileIcon},
    {"cmdSetMaxDepth", "Maximale Tauchtiefe einstellen", "mnuSetaxDepth", "zoom-fit-height",
     QStyle::SP_ToolBarVerticalExtensionButton},
    {"cmdSetTime", "Zeitachse einstellen", "mnuSetTime", "zoom-fit-width",
     QStyle::SP_ToolBarHorizontalExtensionButton},
    {"cmdSetN2Percent", "N2-Prozentsatz einstellen", "mnuSetN2Percent", "format-text-bold",
     QStyle::SP_DialogApplyButton},
    {"cmdShowOptions", "Einstellungen", "mnuOptions", "preferences-system",
     QStyle::SP_FileDialogDetailedView},
    {"cmdCommentADive", "Kommentar oder Beschreibung zum Tauchgang speichern", "",
     "document-properties", QStyle::SP_FileDialogInfoView},
    {"cmdDiveComp1", "Tauchcomputer auswählen", "mnuDiveComputer", "computer",
     QStyle::SP_ComputerIcon},
    {"cmdDecoGas", "Dekompressionsgas einstellen", "", "preferences-other",
     QStyle::SP_DialogResetButton},
    {"cmdLarge", "Fenster vergrößern", "", "zoom-in", QStyle::SP_TitleBarMaxButton},
    {"cmdSmall", "Fenster verkleinern", "", "zoom-out", QStyle::SP_TitleBarMinButton},
    {"cmdQuit", "Programm beenden", "mnuFileQuit", "application-exit",
     QStyle::SP_DialogCloseButton},
};

}  // namespace

frmMain::frmMain(Workspace& workspace, SettingsStore& store, ModalDialogs& dialogs,
                 const QString& programFolder, const QString& profileFile, QWidget* parent)
    : QMainWindow(parent),
      workspace_(workspace),
      store_(store),
      dialogs_(dialogs),
      ui_(std::make_unique<WindowUi>(*this)) {
    BuildLayout();
    BuildButtons();
    ConnectCommands();
    Initialise(programFolder, profileFile);
    qApp->installEventFilter(this);
}

frmMain::~frmMain() {
    qApp->removeEventFilter(this);
}

Canvas& frmMain::picture() {
    return picDive_->canvas();
}

void frmMain::BuildLayout() {
    setObjectName("frmMain");
    BuildMainMenu(*this);

    picDive_ = new PictureBox;
    picDive_->setObjectName("picDive");
    connect(picDive_, &PictureBox::resized, this, &frmMain::RedrawView);
    connect(picDive_, &PictureBox::pointerMoved, this, &frmMain::GraphPointerMoved);
    connect(picDive_, &PictureBox::clicked, this, &frmMain::GraphClicked);
    connect(picDive_, &PictureBox::doubleClicked, this, &frmMain::GraphDoubleClicked);

    auto* top = new QWidget;
    auto* topLayout = new QHBoxLayout(top);
    topLayout->setContentsMargins(0, 0, 0, 0);
    topLayout->addWidget(picDive_, 1);
    topLayout->addWidget(ScrollingPanel(BuildMixPanel()));

    lstSysMsg_ = new QListWidget;
    lstSysMsg_->setObjectName("lstSysMsg");
    lstSysMsg_->setAccessibleName("Meldungen");

    auto* splitter = new QSplitter(Qt::Vertical);
    splitter->addWidget(top);
    splitter->addWidget(lstSysMsg_);
    splitter->setStretchFactor(0, 5);
    splitter->setStretchFactor(1, 1);
    splitter->setChildrenCollapsible(false);
    setCentralWidget(splitter);

    pgbMain_ = new QProgressBar;
    pgbMain_->setObjectName("pgbMain");
    pgbMain_->setMaximumWidth(240);
    pgbMain_->hide();
    statusBar()->addPermanentWidget(pgbMain_);
    // As large as a comfortable screen, never larger than the screen it starts on.
    const QRect available = screen() ? screen()->availableGeometry() : QRect(0, 0, 1280, 860);
    resize(std::min(1180, available.width() * 95 / 100),
           std::min(780, available.height() * 95 / 100));
}

QWidget* frmMain::BuildMixPanel() {
    auto* panel = new QWidget;
    panel->setMinimumWidth(300);
    panel->setMaximumWidth(340);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(6, 0, 0, 0);

    auto* mixBox = new QGroupBox("Atemgas [%]");
    auto* grid = new QGridLayout(mixBox);
    const auto makeField = [&](const char* name, const char* label, int row) {
        auto* field = new QComboBox;
        field->setObjectName(name);
        field->setEditable(true);
        for (int percent = 0; percent <= 100; ++percent)
            field->addItem(QString::number(percent));
        field->setInsertPolicy(QComboBox::NoInsert);
        auto* caption = new QLabel(label);
        caption->setBuddy(field);
        grid->addWidget(caption, row, 0);
        grid->addWidget(field, row, 1);
        connect(field, &QComboBox::editTextChanged, this, &frmMain::MixFieldEdited);
        return field;
    };
    cmbO2Percent_ = makeField("cmbO2Percent", "&O2:", 0);
    cmbN2Percent_ = makeField("cmbN2Percent", "&N2:", 1);
    cmbHePercent_ = makeField("cmbHePercent", "H&e:", 2);
    lblTotalPercent_ = new QLabel;
    lblTotalPercent_->setObjectName("lblTotalPercent");
    grid->addWidget(lblTotalPercent_, 3, 1);
    layout->addWidget(mixBox);

    lstMixes_ = new QListWidget;
    lstMixes_->setObjectName("lstMixes");
    lstMixes_->setAccessibleName("Gemische");
    connect(lstMixes_, &QListWidget::itemDoubleClicked, this, &frmMain::cmdSelectMix);
    layout->addWidget(lstMixes_, 1);
    auto* select = new QPushButton("Atemgas übernehmen");
    select->setObjectName("cmdSelectMix");
    connect(select, &QPushButton::clicked, this, &frmMain::cmdSelectMix);
    layout->addWidget(select);
    auto* newCalc = new QPushButton("Tauchgang mit Atemgas neu berechnen");
    newCalc->setObjectName("cmdNewCalc");
    connect(newCalc, &QPushButton::clicked, this, [this] {
        marelos::cmdNewCalc(workspace_, store_, picture(), *ui_);
        picDive_->update();
    });
    layout->addWidget(newCalc);

    auto* cursorBox = new QGroupBox("Cursor");
    auto* cursor = new QGridLayout(cursorBox);
    const auto makeLabel = [&](const char* name) {
        auto* label = new QLabel("---");
        label->setObjectName(name);
        label->setWordWrap(true);
        return label;
    };
    lblCurPos_ = makeLabel("lblCurPos");
    lblBestMix_ = makeLabel("lblBestMix");
    lblppO2x_ = new QLabel("ppO2:");
    lblppO2x_->setObjectName("lblppO2x");
    lblppO2_ = makeLabel("lblppO2");
    lblppN2x_ = new QLabel("ppN2:");
    lblppN2x_->setObjectName("lblppN2x");
    lblppN2_ = makeLabel("lblppN2");
    cursor->addWidget(lblCurPos_, 0, 0, 1, 2);
    cursor->addWidget(lblBestMix_, 1, 0, 1, 2);
    cursor->addWidget(lblppO2x_, 2, 0);
    cursor->addWidget(lblppO2_, 2, 1);
    cursor->addWidget(lblppN2x_, 3, 0);
    cursor->addWidget(lblppN2_, 3, 1);
    layout->addWidget(cursorBox);
    return panel;
}

void frmMain::BuildButtons() {
    auto* bar = addToolBar("Befehle");
    bar->setObjectName("tlbCommands");
    bar->setMovable(false);
    bar->setIconSize(QSize(22, 22));
    for (const CommandButton& button : kButtons) {
        const QIcon icon =
            QIcon::fromTheme(button.themeIcon, style()->standardIcon(button.fallback));
        auto* action = bar->addAction(icon, QString::fromUtf8(button.tooltip));
        action->setObjectName(button.name);
        action->setToolTip(QString::fromUtf8(button.tooltip));
        action->setEnabled(false);
        QAction* command = *button.command ? findChild<QAction*>(button.command) : nullptr;
        if (command) {
            connect(action, &QAction::triggered, command, &QAction::trigger);
            connect(command, &QAction::enabledChanged, action, &QAction::setEnabled);
        }
    }
}

void frmMain::ConnectCommands() {
    const auto on = [this](const char* name, std::function<void()> run,
                           QKeySequence shortcut = {}) {
        QAction* action = findChild<QAction*>(name);
        action->setEnabled(true);
        if (!shortcut.isEmpty()) action->setShortcut(shortcut);
        connect(action, &QAction::triggered, this, [this, run = std::move(run)] {
            run();
            picDive_->update();
        });
    };
    const auto setMix = [this](const GasMixFields& mix) {
        workspace_.mix = mix;
        ShowMixFields();
    };
    on(
        "mnuNewProfile2", [this] { mnuNewProfile(); }, QKeySequence::New);
    on(
        "mnuLoadProfile2", [this] { mnuLoadProfile2(); }, QKeySequence::Open);
    on(
        "mnuSaveProfile2", [this] { mnuSaveProfile2(); }, QKeySequence::Save);
    on(
        "mnuSaveAs2", [this] { mnuSaveAs2(); }, QKeySequence::SaveAs);
    on(
        "mnuFileQuit",
        [this] {
            quitFromMenu_ = true;
            close();
            quitFromMenu_ = false;
        },
        QKeySequence::Quit);
    for (int k = 1; k <= kRecentFileCount; ++k) {
        on(("mnuF" + std::to_string(k)).c_str(), [this, k] { OpenRecentFile(k); });
    }
    on("mnuDeleteLastDiveMark", [this] { DeleteLastPoint(workspace_, picture(), *ui_); });
    on("mnuProfileInput", [this] { mnuProfileInput(); });
    on("mnuSetN2Percent", [this] {
        AskN2Percent(workspace_, *ui_);
        ShowMixFields();
    });
    on("mnuSetAir", [setMix] { setMix(AirMix()); });
    on("mnuNitrox32", [setMix] { setMix(NitroxMix(32)); });
    on("mnuNitrox36", [setMix] { setMix(NitroxMix(36)); });
    on("mnuSetOxygen100", [setMix] { setMix(OxygenMix()); });
    on("mnuSetHeliox", [setMix] { setMix(HelioxMix()); });
    on("mnuNewProfile", [this] { mnuNewProfile(); });
    on("mnuCalcProfile", [this] { mnuCalcProfile(); });
    on("mnuInsertMinute", [this] { AskInsertMinute(workspace_, picture(), *ui_); });
    on("mnuDeleteMinute", [this] { AskDeleteMinute(workspace_, picture(), *ui_); });
    on("mnuSetTime", [this] { SetTimeAxis(workspace_, store_, picture(), *ui_); });
    on("mnuSetaxDepth", [this] { SetDepthAxis(workspace_, store_, picture(), *ui_); });
    on(
        "mnuCalcSaturation", [this] { mnuCalcSaturation(); }, QKeySequence(Qt::Key_F5));
    on("mnuCalcNoFlyTime", [this] {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const std::optional<int> minutes = ComputeNoFlyMinutes(workspace_, store_, *ui_);
        QApplication::restoreOverrideCursor();
        // Until the next calculation there is nothing new to search.
        findChild<QAction*>("mnuCalcNoFlyTime")->setEnabled(false);
        ui_->ShowMessage(NoFlyMessage(minutes, workspace_.settings.cabinPressure,
                                      workspace_.settings.decimalSeparator),
                         MessageIcon::Information);
    });
    on("mnuCalcAltitude", [this] {
        frmAltitude window(workspace_, store_, this);
        window.exec();
    });
    on("mnuDivePlan", [this] {
        const std::vector<std::string> plan = DivePlanLines(workspace_, store_, *ui_);
        frmRunTimeTable window(plan, *ui_, this);
        window.exec();
    });
    on("mnuPrintDecoPhase", [this] {
        if (ShowDecompressionText(workspace_.profile, *ui_)) {
            QApplication::clipboard()->setText(
                ToQString(DecompressionText(workspace_.profile)).replace("\r\n", "\n"));
        }
    });
    on("mnuCalcAirConsume", [this] {
        ui_->ShowMessage(AirConsumptionText(workspace_.computed, workspace_.settings),
                         MessageIcon::Information);
    });
    on("mnuCalcAvDepth", [this] {
        ui_->ShowMessage(
            AverageDepthText(workspace_.computed, workspace_.settings.decimalSeparator),
            MessageIcon::Information);
    });
    on("mnuCalcBreathingRatio", [this] {
        mnuCalcBreathingRatio(workspace_.computed, *ui_, workspace_.settings.decimalSeparator);
    });
    on("mnuShowMixLimits", [this] {
        ui_->ShowMessage(MixLimitsText(workspace_.mix, workspace_.settings),
                         MessageIcon::Information);
    });
    on("mnuMakeBestMix", [this] {
        frmBestMix window(workspace_.mix, this);
        window.exec();
    });
    on("mnuCreateDecoTable", [this] { mnuCreateDecoTable(); });
    on("mnuPartialPressureN2plusHe", [this] { ShowAnalysis(AnalysisView::TissuesTotal); });
    on("mnuPartialPressureN2", [this] { ShowAnalysis(AnalysisView::TissuesNitrogen); });
    on("mnuPartialPressureHe", [this] { ShowAnalysis(AnalysisView::TissuesHelium); });
    on("mnuPressureRelation", [this] { ShowAnalysis(AnalysisView::PressureRatio); });
    on("mnuShowDiveProfile", [this] { ShowAnalysis(AnalysisView::ComputedProfile); });
    on("mnuShowAscSpeed", [this] { ShowAnalysis(AnalysisView::AscentSpeeds); });
    on("mnuCNSDraw", [this] {
        DrawCnsDayGraph(picture(), workspace_);
        picDive_->update();
    });
    on("mnuOverlayProfile", [this] {
        if (workspace_.view.mode != 2 && workspace_.view.graphKind == 3) return;
        OverlayComputedProfile(picture(), workspace_);
    });
    on("mnuCopyProfile", [this] { keptProfile_ = KeepProfile(workspace_.computed); });
    on("mnuCompareProfiles", [this] {
        ShowAnalysis(AnalysisView::ComputedProfile);
        DrawProfileComparison(picture(), workspace_, keptProfile_, ShowDiveComputerWarnings());
    });
    on("mnuSaveSaturationFile", [this] { mnuSaveSaturationFile(); });
    on("mnuSavesaturationExcel", [this] {
        // A workbook of its own for every export, so an open earlier one is never in the way.
        const QString folder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
        QDir().mkpath(folder);
        const QString path = folder + "/Gewebesaettigung-" +
                             QDateTime::currentDateTime().toString("yyyyMMdd-HHmmss") + ".xlsx";
        XlsxSpreadsheetLink link(path, ToQString(ReadSetting(store_, keys::kExcelPath)), true);
        QApplication::setOverrideCursor(Qt::WaitCursor);
        ExportSaturationToSpreadsheet(workspace_, *ui_, link);
        QApplication::restoreOverrideCursor();
    });
    on("mnuBarGraph", [this] {
        if (barGraph_) {
            CloseBarGraph(false);
        } else {
            OpenBarGraph();
        }
    });
    on("mnuDiveDemo", [this] { StartStepDisplay(); });
    findChild<QAction*>("mnuBarGraph")->setCheckable(true);
    findChild<QAction*>("cmdBarGraph")->setToolTip("Balkengrafikfesnter einblenden");
    timStep_ = new QTimer(this);
    connect(timStep_, &QTimer::timeout, this, &frmMain::StepDisplayTick);
    for (const auto& [button, view] : {std::pair{"cmdGraph1", AnalysisView::TissuesNitrogen},
                                       std::pair{"cmdGraph2", AnalysisView::PressureRatio},
                                       std::pair{"cmdGraph3", AnalysisView::ComputedProfile}}) {
        on(button, [this, view = view] {
            mnuCalcSaturation();
            ShowAnalysis(view);
        });
    }
    on("cmdCommentADive", [this] {
        if (workspace_.profile.fileName.empty()) {
            ui_->ShowMessage(
                "Sie müssen diesem Tauchgang erst einen Dateinamen geben, indem Sie "
                "speichern.",
                MessageIcon::Information);
            return;
        }
        frmDiveComment window(store_, *ui_, this);
        if (window.OpenDiveComment(workspace_.profile.fileName)) window.exec();
    });
    on("mnuJoinDives", [this] { JoinDives(workspace_, store_, *ui_); });
    on("mnuDiveSeries", [this] {
        frmDiveSerialMain window(workspace_, *ui_, this);
        window.exec();
    });
    on("mnuEditProfile", [this] {
        frmEditProfile window(workspace_, *ui_, this);
        window.exec();
    });
    on("mnuRecalDive", [this] { ApplyMixToAllPoints(workspace_, store_, picture(), *ui_); });
    on(
        "mnuShowHelp", [this] { mnuShowHelp(); }, QKeySequence::HelpContents);
    on("mnuMe", [this] { mnuMe(); });
    for (const char* name : {"cmdLarge", "cmdSmall"})
        findChild<QAction*>(name)->setEnabled(true);
    connect(findChild<QAction*>("cmdLarge"), &QAction::triggered, this, &frmMain::cmdLarge);
    connect(findChild<QAction*>("cmdSmall"), &QAction::triggered, this, &frmMain::cmdSmall);
}

void frmMain::Initialise(const QString& programFolder, const QString& profileFile) {
    const QString title = ToQString(kProgramTitle);
    const std::string folder = ToStdString(programFolder);
    // Every step runs even when an earlier one failed; a failure is reported and skipped.
    const std::vector<std::function<void()>> steps = {
        [&] {
            WriteSetting(store_, keys::kApplPath, folder);
            setWindowTitle(title);
        },
        [&] {
            workspace_ = WorkspaceFromSettings(LoadSettings(store_, folder));
            workspace_.settings.decimalSeparator = UserDecimalSeparator();
            lstMixes_->clear();
            for (const std::string& mix : workspace_.mixList)
                lstMixes_->addItem(ToQString(mix));
            ShowMixFields();
            QPalette palette = picDive_->palette();
            palette.setColor(QPalette::Window, ToQColor(workspace_.settings.graphBackColour));
            picDive_->setPalette(palette);
        },
        [&] {
            // The tissues start from the N2 field's share of the surface pressure.
            InitTissues(workspace_.tissues, workspace_.settings.initialPpN2,
                        workspace_.settings.airPressure);
            for (int c = 0; c <= kLastCompartment; ++c) {
                workspace_.tissues.pTotal[c] =
                    Val(workspace_.mix.n2) / 100 * (workspace_.settings.airPressure / 1000);
            }
        },
        [&] {
            findChild<QAction*>("mnuCalcNoFlyTime")->setEnabled(false);
            findChild<QAction*>("mnuMe")->setText("Über " + ToQString(TitleBeforeParenthesis()));
        },
        [&] {
            ShowSysMsg(ToQString(BuildLine()));
            ShowSysMsg("Ready.");
        },
        [&] {
            ui_->SetWindowCaption(WindowCaption("", workspace_.profile.fileName));
            ShowRecentFiles();
            workspace_.view = ViewState{};
        },
        [&] {
            if (!profileFile.isEmpty()) {
                ReadProfileFile(workspace_, store_, *ui_, ToStdString(profileFile));
            }
        },
        [&] {
            FreedesktopFileTypeRegistry registry(QCoreApplication::applicationFilePath());
            AskToRegisterProfileFileType(registry, store_, *ui_);
        },
    };
    for (const auto& step : steps) {
        try {
            step();
        } catch (const std::exception& error) {
            ui_->ShowMessage(std::string("Fehler beim Programmstart: ") + error.what(),
                             MessageIcon::Critical);
        }
    }
}

void frmMain::ShowStartUpPicture() {
    auto* about = new frmAbout(this, StartUpPictureMilliseconds(store_));
    about->setAttribute(Qt::WA_DeleteOnClose);
    connect(about, &QDialog::finished, this, [this] {
        raise();
        activateWindow();
    });
    about->open();
}

void frmMain::ShowSysMsg(const QString& line) {
    ui_->ShowSysMsg(ToStdString(line));
}

void frmMain::RedrawView() {
    Canvas& canvas = picture();
    const ViewState& view = workspace_.view;
    if (view.mode == 1) {
        DrawProfile(canvas, workspace_.settings, workspace_.profile);
    } else if (view.mode == 4) {
        // The decompression table shows each of its dives as it is calculated.
        DrawComputedProfile(canvas, workspace_, false);
    } else if (view.graphKind == 1) {
        DrawTissueGraph(canvas, TissueGas::Nitrogen, workspace_);  // a resize shows the N2 graph
    } else if (view.graphKind == 2) {
        DrawPressureRatioGraph(canvas, workspace_);
    } else {
        DrawComputedProfile(canvas, workspace_, ShowDiveComputerWarnings());
    }
    picDive_->update();
}

bool frmMain::ShowDiveComputerWarnings() const {
    return StoredNumber(ReadSetting(store_, keys::kVyperWarnings)) != 0;
}

void frmMain::ShowAnalysis(AnalysisView view) {
    struct Shown {
        const char* title;
        int kind;
    };
    const auto shown = [view]() -> Shown {
        switch (view) {
            case AnalysisView::TissuesTotal:
                return {"Inertgaspartialdrücke in den einzelnen Geweben - Summe N2 + He", 1};
            case AnalysisView::TissuesNitrogen:
                return {"Inertgaspartialdrücke in den einzelnen Geweben - Nur N2", 1};
            case AnalysisView::TissuesHelium:
                return {"Inertgaspartialdrücke in den einzelnen Geweben - Nur He", 1};
            case AnalysisView::PressureRatio:
                return {"DCS-Wahrscheinlichkeit", 2};
            case AnalysisView::ComputedProfile:
                return {"Errechnetes Tauchprofil", 3};
            case AnalysisView::AscentSpeeds:
                return {"Tauchprofil mit Aufstiegsgeschwindigkeit", 3};
        }
        return {"", 3};
    }();
    ui_->SetWindowCaption(WindowCaption(shown.title, workspace_.profile.fileName));
    workspace_.view = {2, shown.kind};
    lastUsed_ = shown.kind;
    WriteSetting(store_, keys::kLastUsed, std::to_string(shown.kind));
    Canvas& canvas = picture();
    switch (view) {
        case AnalysisView::TissuesTotal:
            DrawTissueGraph(canvas, TissueGas::Total, workspace_);
            break;
        case AnalysisView::TissuesNitrogen:
            DrawTissueGraph(canvas, TissueGas::Nitrogen, workspace_);
            break;
        case AnalysisView::TissuesHelium:
            DrawTissueGraph(canvas, TissueGas::Helium, workspace_);
            break;
        case AnalysisView::PressureRatio:
            DrawPressureRatioGraph(canvas, workspace_);
            break;
        case AnalysisView::ComputedProfile:
            DrawComputedProfile(canvas, workspace_, ShowDiveComputerWarnings());
            break;
        case AnalysisView::AscentSpeeds:
            DrawAscentSpeeds(canvas, workspace_);
            break;
    }
    picDive_->update();
}

void frmMain::ShowLastUsedView() {
    if (!lastUsed_) lastUsed_ = StoredInteger(ReadSetting(store_, keys::kLastUsed));
    if (*lastUsed_ == 1) ShowAnalysis(AnalysisView::TissuesTotal);
    if (*lastUsed_ == 2) ShowAnalysis(AnalysisView::PressureRatio);
    if (*lastUsed_ != 3) return;
    ShowAnalysis(AnalysisView::ComputedProfile);
    if (workspace_.settings.printDiveValues != 1) return;
    DrawDiveValues(picture(), workspace_);
    picDive_->update();
}

void frmMain::mnuSaveSaturationFile() {
    const std::string path = ui_->AskSaveFile("Tauchprofil speichern unter...",
                                              "Textdateien (*.txt)|*.txt|", ProfileFolder())
                                 .value_or("");
    if (path.empty() || HasWildcards(path)) return;
    const std::vector<std::string> table =
        SaturationTable(workspace_, workspace_.settings.decimalSeparator);
    if (const auto failure = WriteTextFileLines(path, table)) {
        ui_->ShowMessage(FailureMessage(*failure), MessageIcon::Critical);
    }
}

void frmMain::ShowMixFields() {
    const struct {
        QComboBox* field;
        const std::string& text;
    } fields[] = {{cmbO2Percent_, workspace_.mix.o2},
                  {cmbN2Percent_, workspace_.mix.n2},
                  {cmbHePercent_, workspace_.mix.he}};
    for (const auto& [field, text] : fields) {
        const QSignalBlocker block(field);
        field->setEditText(ToQString(text));
    }
    MixFieldEdited();
}

void frmMain::MixFieldEdited() {
    workspace_.mix = {ToStdString(cmbO2Percent_->currentText()),
                      ToStdString(cmbN2Percent_->currentText()),
                      ToStdString(cmbHePercent_->currentText())};
    const MixCheck check = CheckMix(workspace_.mix);
    lblTotalPercent_->setText(ToQString(check.label));
    QPalette palette = lblTotalPercent_->palette();
    palette.setColor(QPalette::WindowText, ToQColor(check.colour));
    lblTotalPercent_->setPalette(palette);
}

void frmMain::cmdSelectMix() {
    const QListWidgetItem* item = lstMixes_->currentItem();
    if (!item) return;
    workspace_.mix = SelectMix(ToStdString(item->text()));
    ShowMixFields();
}

void frmMain::ShowCursorReadoutAt(double x, double y) {
    const CursorReadout readout = ShowCursorReadout(workspace_, picture(), x, y);
    lblCurPos_->setText(ToQString(readout.position));
    lblBestMix_->setText(ToQString(readout.bestMix));
    lblppO2_->setText(ToQString(readout.ppO2));
    lblppN2_->setText(ToQString(readout.ppN2));
    const auto paint = [](QLabel* label, std::int32_t colour) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, ToQColor(colour));
        label->setPalette(palette);
    };
    paint(lblppO2_, readout.ppO2Colour);
    paint(lblppO2x_, readout.ppO2Colour);
    paint(lblppN2_, readout.ppN2Colour);
    paint(lblppN2x_, readout.ppN2Colour);
}

void frmMain::GraphPointerMoved(double x, double y) {
    ShowCursorReadoutAt(x, y);
    mousePosition_ = QPointF(std::round(x), std::round(y));
}

void frmMain::GraphClicked(double x, double y) {
    if (workspace_.view.mode == 1) {
        if (AddPointAtClick(workspace_, picture(), *ui_, x, y)) {
            lstMixes_->clear();
            for (const std::string& mix : workspace_.mixList)
                lstMixes_->addItem(ToQString(mix));
        }
    } else {
        cursorMinute_ = SelectCursorMinute(workspace_, picture(), *ui_, x);
        ShowBarsAtCursorMinute();
    }
    picDive_->update();
}

void frmMain::OpenBarGraph() {
    if (!barGraph_) {
        barGraph_ = new frmBarGraph(this);
        connect(barGraph_, &frmBarGraph::closeClicked, this, [this] { CloseBarGraph(true); });
        connect(barGraph_, &frmBarGraph::goClicked, this, &frmMain::StartStepDisplay);
        connect(barGraph_, &frmBarGraph::pictureClicked, this, [this] {
            if (timStep_->isActive()) return;
            DrawBarGraphHint(barGraph_->picBG()->canvas(), workspace_.settings);
            barGraph_->picBG()->update();
        });
        connect(barGraph_->picBG(), &PictureBox::resized, this, &frmMain::ShowBarsAtCursorMinute);
    }
    findChild<QAction*>("mnuBarGraph")->setChecked(true);
    findChild<QAction*>("cmdBarGraph")->setToolTip("Balkengrafikfesnter ausblenden");
    barGraph_->show();
    barGraph_->raise();
}

void frmMain::CloseBarGraph(bool redrawMainView) {
    timStep_->stop();
    if (barGraph_) {
        barGraph_->SetRunning(false);
        barGraph_->hide();
        barGraph_->deleteLater();
        barGraph_ = nullptr;
    }
    findChild<QAction*>("mnuBarGraph")->setChecked(false);
    findChild<QAction*>("cmdBarGraph")->setToolTip("Balkengrafikfesnter einblenden");
    if (redrawMainView) RedrawView();
}

void frmMain::ShowBarsAtCursorMinute() {
    if (!barGraph_) return;
    DrawCompartmentBars(barGraph_->picBG()->canvas(), workspace_, cursorMinute_);
    barGraph_->picBG()->update();
}

void frmMain::StartStepDisplay() {
    if (workspace_.view.graphKind == 1) ShowAnalysis(AnalysisView::TissuesTotal);
    if (workspace_.view.graphKind == 2) ShowAnalysis(AnalysisView::PressureRatio);
    if (workspace_.view.graphKind == 3) ShowAnalysis(AnalysisView::ComputedProfile);
    cursorMinute_ = 0;
    OpenBarGraph();
    findChild<QAction*>("cmdBarGraph")->setToolTip("Balkengrafikfenster ausblenden");
    barGraph_->SetRunning(true);
    timStep_->start(workspace_.settings.interval > 0 && workspace_.settings.interval < 64000
                        ? workspace_.settings.interval
                        : 1000);
}

void frmMain::StepDisplayTick() {
    const GraphGeometry g = GraphGeometry::Of(picture());
    const double perMinute = RoundHalfEven((g.right - g.left) / workspace_.settings.maxHScale);
    cursorMinute_ += 1;
    ShowSysMsg("t = " + FormatForScreen(cursorMinute_) + " min.");
    if (cursorMinute_ >= workspace_.settings.maxHScale) {
        timStep_->stop();
        if (barGraph_) barGraph_->SetRunning(false);
        return;
    }
    const double x = perMinute * cursorMinute_ + GraphGeometry::kMargin;
    picture().Line(x, g.bottom - 100, x, g.bottom, 1, 255);
    picDive_->update();
    ShowBarsAtCursorMinute();
}

void frmMain::GraphDoubleClicked() {
    DeleteRightOfCursor(workspace_, picture(), *ui_, mousePosition_.x());
    picDive_->update();
}

bool frmMain::HandleKey(int key, Qt::KeyboardModifiers modifiers) {
    const Qt::KeyboardModifiers held =
        modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    const bool keypad = modifiers & Qt::KeypadModifier;
    const std::int32_t minute =
        TimeFromX(mousePosition_.x(), GraphGeometry::Of(picture()), workspace_.settings.maxHScale);
    if (key == Qt::Key_Escape) {
        workspace_.cancelRequested = true;
    } else if (key == Qt::Key_F2) {
        SetBestMixAtCursor(workspace_, picture(), mousePosition_.y());
        ShowMixFields();
    } else if (key == Qt::Key_F3) {
        SetConstantPpO2MixAtCursor(workspace_, picture(), *ui_, mousePosition_.y(), held != 0,
                                   ToStdString(lblCurPos_->text()));
        ShowMixFields();
    } else if ((key == Qt::Key_Plus && keypad) || (key == Qt::Key_M && held == Qt::ShiftModifier)) {
        EnterInputMode(workspace_, picture(), *ui_);
        InsertMinute(workspace_, picture(), *ui_, minute);
    } else if ((key == Qt::Key_Minus && keypad) ||
               (key == Qt::Key_X && held == Qt::ShiftModifier)) {
        EnterInputMode(workspace_, picture(), *ui_);
        DeleteMinute(workspace_, picture(), *ui_, minute);
    } else {
        return false;
    }
    ShowCursorReadoutAt(mousePosition_.x(), mousePosition_.y());
    picDive_->update();
    return true;
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QMainWindow::eventFilter(watched, event);
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != this) return QMainWindow::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    // Typing into a mix field keeps its letters and signs; the function keys work everywhere.
    const bool typing = qobject_cast<QLineEdit*>(widget) != nullptr;
    const bool functionKey =
        key->key() == Qt::Key_Escape || key->key() == Qt::Key_F2 || key->key() == Qt::Key_F3;
    if (typing && !functionKey) return QMainWindow::eventFilter(watched, event);
    return HandleKey(key->key(), key->modifiers()) || QMainWindow::eventFilter(watched, event);
}

bool frmMain::AskSaveChanges(Buttons buttons) {
    if (!workspace_.profile.changed) return true;
    const Answer answer = ui_->Ask(kChangedQuestion, buttons);
    if (answer == Answer::Cancel) return false;
    if (answer == Answer::Yes) mnuSaveProfile2();
    return true;
}

std::string frmMain::ProfileFolder() const {
    const QString stored = ToQString(workspace_.settings.fileStoragePath);
    if (QDir().mkpath(stored)) return ToStdString(stored);
    // The program's folder may be read-only: the profiles go to the user's data folder then.
    const QString own =
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + "/Tauchprofile";
    QDir().mkpath(own);
    return ToStdString(own);
}

void frmMain::mnuNewProfile() {
    if (!AskSaveChanges(Buttons::YesNoCancel)) return;
    NewProfile(workspace_);
    ui_->SetWindowCaption(WindowCaption("", ""));
    RedrawView();
}

void frmMain::mnuLoadProfile2() {
    if (workspace_.profile.changed && ui_->Ask(kChangedQuestion, Buttons::YesNo) == Answer::Yes) {
        mnuSaveProfile2();
    }
    const std::string name =
        dialogs_.OpenFile(this, "Tauchprofil laden...", kLoadFilter, ProfileFolder())
            .value_or("*.prf;*.mrp");
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool loaded = ReadProfileFile(workspace_, store_, *ui_, name);
    QApplication::restoreOverrideCursor();
    // A cancelled dialog keeps the changed flag, so the question on quitting still comes.
    if (loaded) workspace_.profile.changed = false;
}

bool frmMain::mnuSaveProfile2() {
    std::string name = workspace_.profile.fileName;
    if (name.empty()) {
        name =
            dialogs_.SaveFile(this, "Tauchprofil speichern unter...", kSaveFilter, ProfileFolder())
                .value_or("*.mrp");
    }
    if (!WriteProfileFile(workspace_, store_, *ui_, name)) return false;
    RememberRecentFile(store_, name);
    ShowRecentFiles();
    workspace_.profile.changed = false;
    return true;
}

void frmMain::mnuSaveAs2() {
    const std::string name =
        dialogs_.SaveFile(this, "Tauchprofil speichern unter...", kSaveAsFilter, ProfileFolder())
            .value_or("*.mrp");
    SaveProfileAs(workspace_, store_, *ui_, name);
}

void frmMain::OpenRecentFile(int slot) {
    const std::vector<std::string> files = RecentFiles(store_);
    ReadProfileFile(workspace_, store_, *ui_, files[static_cast<std::size_t>(slot - 1)]);
}

void frmMain::ShowRecentFiles() {
    const std::vector<std::string> files = RecentFiles(store_);
    const std::vector<std::string> captions = RecentFileCaptions(store_);
    for (int k = 1; k <= kRecentFileCount; ++k) {
        QAction* entry = findChild<QAction*>(ToQString("mnuF" + std::to_string(k)));
        const bool used = !files[static_cast<std::size_t>(k - 1)].empty();
        entry->setText(ToQString(captions[static_cast<std::size_t>(k - 1)]));
        entry->setVisible(used);
        entry->setEnabled(used);
    }
}

void frmMain::mnuCalcProfile() {
    marelos::mnuCalcProfile(workspace_, picture(), *ui_);
    picDive_->update();
}

void frmMain::mnuProfileInput() {
    EnterInputMode(workspace_, picture(), *ui_);
    picDive_->update();
}

void frmMain::mnuCalcSaturation() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    marelos::mnuCalcSaturation(workspace_, store_, *ui_);
    QApplication::restoreOverrideCursor();
    picDive_->update();
}

void frmMain::mnuCreateDecoTable() {
    const std::optional<std::string> input =
        ui_->AskOpenFile("Tauchzeiten und -tiefen für Tabelle laden...",
                         "Textdateien (*.txt)|*.txt|", ProfileFolder());
    if (!input) return;
    const Result<std::vector<std::string>> lines = ReadTextFileLines(*input);
    if (!lines) {
        ui_->ShowMessage(FailureMessage(lines.failure()), MessageIcon::Critical);
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const std::optional<std::vector<std::string>> table =
        BuildDecoTable(workspace_, store_, *ui_, lines.value());
    QApplication::restoreOverrideCursor();
    ui_->SetWindowCaption(WindowCaption("", workspace_.profile.fileName));  // a new profile
    RedrawView();
    if (!table) return;
    const std::optional<std::string> output = ui_->AskSaveFile(
        "Dekotabelle speichern unter...", "Textdateien (*.txt)|*.txt|", ProfileFolder());
    if (!output) return;
    if (const auto failure = WriteTextFileLines(*output, *table)) {
        ui_->ShowMessage(FailureMessage(*failure), MessageIcon::Critical);
    }
}

void frmMain::mnuShowHelp() {
    const QString page = QCoreApplication::applicationDirPath() + "/hilfe/marelos-hilfe.html";
    if (!QFileInfo::exists(page) || !QDesktopServices::openUrl(QUrl::fromLocalFile(page))) {
        ui_->ShowMessage("Die Hilfe " + ToStdString(page) + " konnte nicht geöffnet werden.",
                         MessageIcon::Information);
    }
}

void frmMain::mnuMe() {
    frmAbout about(this);
    about.exec();
}

void frmMain::cmdLarge() {
    if (isMaximized()) {
        ShowSysMsg("Programmfenster ist bereits maximiert");
        return;
    }
    // Larger, but never past the screen the window stands on.
    const QRect available = screen() ? screen()->availableGeometry() : geometry();
    resize(std::min(static_cast<int>(width() / 0.9), available.width()),
           std::min(static_cast<int>(height() / 0.9), available.height()));
}

void frmMain::cmdSmall() {
    if (isMaximized()) showNormal();
    resize(static_cast<int>(width() * 0.9), static_cast<int>(height() * 0.9));
}

void frmMain::closeEvent(QCloseEvent* event) {
    if (!AskSaveChanges(quitFromMenu_ ? Buttons::YesNoCancel : Buttons::YesNo)) {
        event->ignore();
        return;
    }
    WriteSetting(store_, keys::kMaxHScale, std::to_string(workspace_.settings.maxHScale));
    WriteSetting(store_, keys::kO2Percent, workspace_.mix.o2);
    WriteSetting(store_, keys::kN2Percent, workspace_.mix.n2);
    WriteSetting(store_, keys::kHePercent, workspace_.mix.he);
    event->accept();
}

}  // namespace marelos
