#include "frm_main.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
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
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>
#include <exception>
#include <functional>
#include <vector>

#include "app/analysis/frm_bar_graph.h"
#include "app/analysis/graph_output.h"
#include "app/analysis/tool_windows.h"
#include "app/browser/frm_browse.h"
#include "app/divecomputers/frm_aladin_import.h"
#include "app/divecomputers/frm_select_dc.h"
#include "app/exchange/uddf_windows.h"
#include "app/planner/dive_slate_window.h"
#include "app/planner/gas_planning_window.h"
#include "app/profile/profile_windows.h"
#include "app/shell/dialog_parts.h"
#include "app/shell/frm_about.h"
#include "app/shell/frm_help.h"
#include "app/shell/frm_options.h"
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
#include "platform/desktop_file_system.h"
#include "platform/freedesktop_file_type.h"
#include "platform/profile_folder.h"
#include "platform/qt_convert.h"
#include "platform/shipped_files.h"
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
    Answer ShowQuestion(std::string_view text, Buttons buttons, MessageIcon icon,
                        Answer defaultAnswer) override {
        return window_.dialogs_.Ask(&window_, text, buttons, icon, defaultAnswer);
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
        caption_ = ToQString(caption);
        ShowCaption();
    }
    // Unsaved changes show as a "*" before the caption, as on every desktop.
    void ShowCaption() {
        window_.setWindowTitle((window_.workspace_.profile.changed ? "*" : "") + caption_);
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
    QString caption_;
};

namespace {

constexpr const char* kChangedQuestion = "Geändertes Tauchprofil speichern?";
constexpr const char* kLoadFilter = "Tauchprofile (*.prf;*.mrp)|*.prf;*.mrp";
constexpr const char* kSaveFilter = "Tauchprofile (*.mrp)|*.mrp";
constexpr const char* kSaveAsFilter = "Tauchprofile Marelos 2.x (*.mrp)|*.mrp";
constexpr const char* kComputedProfileTitle = "Errechnetes Tauchprofil";
constexpr const char* kShowBarGraphTip = "Balkengrafik der Gewebesättigung anzeigen";
constexpr const char* kHideBarGraphTip = "Balkengrafik der Gewebesättigung ausblenden";
constexpr int kMessageLines = 7;

}  // namespace

frmMain::frmMain(Workspace& workspace, SettingsStore& store, ModalDialogs& dialogs,
                 const QString& programFolder, const QString& profileFile, QWidget* parent)
    : QMainWindow(parent),
      workspace_(workspace),
      store_(store),
      dialogs_(dialogs),
      programFolder_(programFolder),
      ui_(std::make_unique<WindowUi>(*this)),
      guard_(workspace_, history_, *ui_) {
    BuildLayout();
    graphOutput_ = std::make_unique<GraphOutput>(*picDive_, dialogs_);
    BuildCommandBar(*this);
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
    // On a small screen the graph and the panel give way in proportion to what each can spare,
    // so that the graph stays the larger part.
    picDive_->setPreferredSize({560, 400});
    connect(picDive_, &PictureBox::resized, this, &frmMain::RedrawView);
    connect(picDive_, &PictureBox::pointerMoved, this, &frmMain::GraphPointerMoved);
    connect(picDive_, &PictureBox::clicked, this, &frmMain::GraphClicked);
    connect(picDive_, &PictureBox::doubleClicked, this, &frmMain::GraphDoubleClicked);

    auto* top = new QWidget;
    auto* topLayout = new QHBoxLayout(top);
    topLayout->setContentsMargins(0, 0, 0, 0);
    topLayout->addWidget(picDive_);  // no stretch factor, which would make its hint its minimum
    topLayout->addWidget(ScrollingPanel(BuildMixPanel()));

    lstSysMsg_ = new QListWidget;
    lstSysMsg_->setObjectName("lstSysMsg");
    lstSysMsg_->setAccessibleName("Meldungen");
    // Room for the lines a calculation reports, at every window size.
    lstSysMsg_->setMinimumHeight(lstSysMsg_->fontMetrics().lineSpacing() * kMessageLines +
                                 2 * lstSysMsg_->frameWidth());

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
    panel->setMinimumWidth(240);
    panel->setMaximumWidth(340);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(6, 0, 0, 0);
    // As wide as the widest mix where the window has the room.
    layout->addSpacerItem(new QSpacerItem(340, 0, QSizePolicy::Preferred, QSizePolicy::Fixed));

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
    // The list takes the height the panel has left: on a low window it shrinks, so that the
    // buttons and the cursor values below it stay in view.
    lstMixes_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Ignored);
    lstMixes_->setMinimumHeight(lstMixes_->fontMetrics().lineSpacing() * 3);
    connect(lstMixes_, &QListWidget::itemDoubleClicked, this, &frmMain::cmdSelectMix);
    layout->addWidget(lstMixes_, 1);
    auto* select = new QPushButton("Atemgas übernehmen");
    select->setObjectName("cmdSelectMix");
    connect(select, &QPushButton::clicked, this, &frmMain::cmdSelectMix);
    layout->addWidget(select);
    auto* newCalc = new QPushButton("Tauchgang mit Atemgas neu berechnen");
    newCalc->setObjectName("cmdNewCalc");
    connect(newCalc, &QPushButton::clicked, this, [this] {
        RunCommand(CommandKind::Edit,
                   [this] { marelos::cmdNewCalc(workspace_, store_, picture(), *ui_); });
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

void frmMain::ConnectCommands() {
    const auto on = [this](const char* name, std::function<void()> run,
                           CommandKind kind = CommandKind::Edit) {
        QAction* action = findChild<QAction*>(name);
        action->setEnabled(true);
        connect(action, &QAction::triggered, this,
                [this, kind, run = std::move(run)] { RunCommand(kind, run); });
    };
    // Commands that calculate change the profile only by their results: no step to undo.
    const auto calculate = [on](const char* name, std::function<void()> run) {
        on(name, std::move(run), CommandKind::Calculation);
    };
    const auto setMix = [this](const GasMixFields& mix) {
        workspace_.mix = mix;
        ShowMixFields();
    };
    on("mnuNewProfile2", [this] { mnuNewProfile(); });
    on("mnuLoadProfile2", [this] { mnuLoadProfile2(); });
    calculate("mnuSaveProfile2", [this] { mnuSaveProfile2(); });
    calculate("mnuSaveAs2", [this] { mnuSaveAs2(); });
    on("mnuFileQuit", [this] { close(); });
    calculate("mnuUndo", [this] { UndoEdit(); });
    calculate("mnuRedo", [this] { RedoEdit(); });
    on("mnuImportUddf", [this] {
        const auto imported = ImportUddfFile(ProfileFolder(), *ui_, this);
        if (imported && AskSaveChanges()) LoadProfile(*imported);
    });
    on("mnuImportDatatrak", [this] {
        frmAladinImport window(store_, ProfileFolder(), *ui_, this);
        window.exec();
    });
    on("mnuDiveComputer", [this] {
        frmSelectDC window(
            workspace_.settings, store_, *ui_,
            [this](const ProfileSnapshot& dive) { ShowDeviceDive(dive); }, this);
        window.exec();
        if (window.fileToOpen() && AskSaveChanges()) LoadProfile(*window.fileToOpen());
    });
    calculate("mnuExportUddf",
              [this] { ExportUddfFile(workspace_, store_, *ui_, ProfileFolder()); });
    for (int k = 1; k <= kRecentFileCount; ++k) {
        on(("mnuF" + std::to_string(k)).c_str(), [this, k] { OpenRecentFile(k); });
    }
    on("mnuDeleteLastDiveMark", [this] { DeleteLastPoint(workspace_, picture(), *ui_); });
    calculate("mnuProfileInput", [this] { mnuProfileInput(); });
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
    calculate("mnuCalcProfile", [this] { mnuCalcProfile(); });
    on("mnuInsertMinute", [this] { AskInsertMinute(workspace_, picture(), *ui_); });
    on("mnuDeleteMinute", [this] { AskDeleteMinute(workspace_, picture(), *ui_); });
    on("mnuSetTime", [this] { SetTimeAxis(workspace_, store_, picture(), *ui_); });
    on("mnuSetaxDepth", [this] { SetDepthAxis(workspace_, store_, picture(), *ui_); });
    calculate("mnuCalcSaturation", [this] { mnuCalcSaturation(); });
    calculate("mnuCalcNoFlyTime", [this] {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const std::optional<int> minutes = ComputeNoFlyMinutes(workspace_, store_, *ui_);
        QApplication::restoreOverrideCursor();
        // Until the next calculation there is nothing new to search.
        findChild<QAction*>("mnuCalcNoFlyTime")->setEnabled(false);
        ShowNoFlyResult(workspace_, minutes, *ui_);
    });
    on("mnuCalcAltitude", [this] {
        frmAltitude window(workspace_, store_, this);
        window.exec();
    });
    calculate("mnuDivePlan", [this] {
        const std::vector<std::string> plan = DivePlanLines(workspace_, store_, *ui_);
        frmRunTimeTable window(plan, *ui_, this);
        window.exec();
    });
    on("mnuPrintDecoPhase", [this] {
        if (ShowDecompressionText(workspace_, *ui_)) {
            QApplication::clipboard()->setText(
                ToQString(DecompressionText(workspace_)).replace("\r\n", "\n"));
        }
    });
    on("mnuCalcAirConsume", [this] {
        ui_->ShowMessage(AirConsumptionText(workspace_.computed, workspace_.settings),
                         MessageIcon::Information);
    });
    calculate("mnuGasPlanning", [this] {
        if (!gasPlanning_) {
            gasPlanning_ = new frmGasPlanning(
                workspace_, store_,
                [this] { RunCommand(CommandKind::Calculation, [this] { mnuCalcSaturation(); }); },
                this);
        }
        gasPlanning_->show();
        gasPlanning_->raise();
    });
    calculate("mnuDiveSlate", [this] {
        if (!diveSlate_) diveSlate_ = new frmDiveSlate(workspace_, store_, dialogs_, this);
        diveSlate_->show();
        diveSlate_->raise();
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
        frmBestMix window(workspace_.mix, *ui_, this);
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
    calculate("mnuPrintGraph",
              [this] { graphOutput_->mnuPrintGraph(workspace_.profile.fileName); });
    calculate("mnuSetPrinter", [this] { graphOutput_->mnuSetPrinter(); });
    calculate("mnuSavePic", [this] { graphOutput_->mnuSavePic(ProfileFolder()); });
    calculate("mnuCopyBMP", [this] { graphOutput_->mnuCopyBMP(); });
    on("mnuSavesaturationExcel", [this] {
        // A workbook of its own for every export, so an open earlier one is never in the way.
        const std::string path = SaturationWorkbookPath(
            workspace_.profile.fileName, ProfileFolder(),
            ToStdString(QDateTime::currentDateTime().toString("yyyyMMdd-HHmmss")));
        XlsxSpreadsheetLink link(ToQString(path), ToQString(ReadSetting(store_, keys::kExcelPath)));
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
    timStep_ = new QTimer(this);
    connect(timStep_, &QTimer::timeout, this, &frmMain::StepDisplayTick);
    for (const auto& [button, view] : {std::pair{"cmdGraph1", AnalysisView::TissuesNitrogen},
                                       std::pair{"cmdGraph2", AnalysisView::PressureRatio},
                                       std::pair{"cmdGraph3", AnalysisView::ComputedProfile}}) {
        calculate(button, [this, view = view] {
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
    on("mnuBrowse", [this] {
        DesktopFileSystem disk;
        frmBrowse window(
            workspace_, store_, *ui_, disk,
            [this](const std::string& path) {
                if (AskSaveChanges()) LoadProfile(path);
            },
            this);
        window.exec();
    });
    on("mnuJoinDives", [this] {  // joining starts a new profile
        if (AskSaveChanges()) JoinDives(workspace_, store_, *ui_);
    });
    on("mnuDiveSeries", [this] {
        frmDiveSerialMain window(workspace_, *ui_, this);
        window.exec();
    });
    on("mnuEditProfile", [this] {
        frmEditProfile window(workspace_, *ui_, this);
        window.exec();
    });
    on("mnuRecalDive", [this] { ApplyMixToAllPoints(workspace_, store_, picture(), *ui_); });
    on("mnuShowHelp", [this] { mnuShowHelp(); });
    on("mnuMe", [this] { mnuMe(); });
    calculate("mnuOptions", [this] { mnuOptions(false); });
    calculate("cmdDecoGas", [this] { mnuOptions(true); });
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
            ShowGraphBackground();
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
                LoadProfile(ToStdString(profileFile));
            }
        },
        [&] {
            FreedesktopFileTypeRegistry registry(QCoreApplication::applicationFilePath());
            AskToRegisterProfileFileType(registry, store_, *ui_);
        },
        [&] { RemoveLeftoversOfKilledSaves(ProfileFolder(), store_); },
    };
    for (const auto& step : steps) {
        try {
            step();
        } catch (const std::exception& error) {
            ui_->ShowMessage(std::string("Fehler beim Programmstart: ") + error.what(),
                             MessageIcon::Critical);
        }
    }
    history_.Start(TakeSnapshot(workspace_));
    ShowEditState();
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

void frmMain::ShowGraphBackground() {
    QPalette palette = picDive_->palette();
    palette.setColor(QPalette::Window, ToQColor(workspace_.settings.graphBackColour));
    picDive_->setPalette(palette);
}

void frmMain::mnuOptions(bool decoGasOnly) {
    FreedesktopFileTypeRegistry registry(QCoreApplication::applicationFilePath());
    // Confirmed settings redraw the profile input or the analysis graph; a table run redraws
    // its dives itself.
    const auto redraw = [this] {
        ShowGraphBackground();
        if (workspace_.view.mode == 1 || workspace_.view.mode == 2) RedrawView();
    };
    frmOptions window(workspace_, store_, *ui_, registry, redraw, decoGasOnly, this);
    window.exec();
}

void frmMain::RedrawView() {
    Canvas& canvas = picture();
    const ViewState& view = workspace_.view;
    if (view.mode == 1) {
        DrawProfile(canvas, workspace_.settings, workspace_.profile);
    } else if (view.mode == 4) {
        // The decompression table shows each of its dives as it is calculated.
        DrawComputedProfileView(false);
    } else if (view.graphKind == 1) {
        DrawTissueGraph(canvas, TissueGas::Nitrogen, workspace_);  // a resize shows the N2 graph
    } else if (view.graphKind == 2) {
        DrawPressureRatioGraph(canvas, workspace_);
    } else {
        DrawComputedProfileView(ShowDiveComputerWarnings());
    }
    picDive_->update();
}

void frmMain::DrawComputedProfileView(bool showWarnings) {
    DrawComputedProfile(picture(), workspace_, showWarnings);
    const ComputedProfile& computed = workspace_.computed;
    if (workspace_.settings.printDiveValues == 1 && computed.last.completed &&
        computed.computedCount > 1) {
        DrawDiveValues(picture(), workspace_);
    }
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
                return {kComputedProfileTitle, 3};
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
            DrawComputedProfileView(ShowDiveComputerWarnings());
            break;
        case AnalysisView::AscentSpeeds:
            DrawAscentSpeeds(canvas, workspace_);
            break;
    }
    picDive_->update();
}

void frmMain::ShowLastUsedView() {
    if (workspace_.view.mode == 4) {
        // A table run shows each of its dives (it redraws them itself), not the graph last used.
        ui_->SetWindowCaption(WindowCaption(kComputedProfileTitle, workspace_.profile.fileName));
        return;
    }
    if (!lastUsed_) lastUsed_ = StoredInteger(ReadSetting(store_, keys::kLastUsed));
    if (*lastUsed_ == 1) ShowAnalysis(AnalysisView::TissuesTotal);
    if (*lastUsed_ == 2) ShowAnalysis(AnalysisView::PressureRatio);
    if (*lastUsed_ == 3) ShowAnalysis(AnalysisView::ComputedProfile);
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
    RunCommand(CommandKind::Edit, [&] {
        workspace_.mix = SelectMix(ToStdString(item->text()));
        ShowMixFields();
    });
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
    RunCommand(CommandKind::Edit, [&] {
        if (workspace_.view.mode != 1) {
            cursorMinute_ = SelectCursorMinute(workspace_, picture(), *ui_, x);
            ShowBarsAtCursorMinute();
        } else if (AddPointAtClick(workspace_, picture(), *ui_, x, y)) {
            lstMixes_->clear();
            for (const std::string& mix : workspace_.mixList)
                lstMixes_->addItem(ToQString(mix));
        }
    });
}

void frmMain::OpenBarGraph() {
    if (!barGraph_) {
        barGraph_ = new frmBarGraph(*ui_, *timStep_, this);
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
    findChild<QAction*>("cmdBarGraph")->setToolTip(kHideBarGraphTip);
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
    findChild<QAction*>("cmdBarGraph")->setToolTip(kShowBarGraphTip);
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
    RunCommand(CommandKind::Edit,
               [this] { DeleteRightOfCursor(workspace_, picture(), *ui_, mousePosition_.x()); });
}

bool frmMain::HandleKey(int key, Qt::KeyboardModifiers modifiers) {
    const Qt::KeyboardModifiers held =
        modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    const bool keypad = modifiers & Qt::KeypadModifier;
    const std::int32_t minute =
        TimeFromX(mousePosition_.x(), GraphGeometry::Of(picture()), workspace_.settings.maxHScale);
    std::function<void()> command;
    if (key == Qt::Key_Escape) {
        command = [this] { workspace_.cancelRequested = true; };
    } else if (key == Qt::Key_F2) {
        command = [this] {
            SetBestMixAtCursor(workspace_, picture(), mousePosition_.y());
            ShowMixFields();
        };
    } else if (key == Qt::Key_F3) {
        command = [this, held] {
            SetConstantPpO2MixAtCursor(workspace_, picture(), *ui_, mousePosition_.y(), held != 0,
                                       ToStdString(lblCurPos_->text()));
            ShowMixFields();
        };
    } else if ((key == Qt::Key_Plus && keypad) || (key == Qt::Key_M && held == Qt::ShiftModifier)) {
        command = [this, minute] {
            EnterInputMode(workspace_, picture(), *ui_);
            InsertMinute(workspace_, picture(), *ui_, minute);
        };
    } else if ((key == Qt::Key_Minus && keypad) ||
               (key == Qt::Key_X && held == Qt::ShiftModifier)) {
        command = [this, minute] {
            EnterInputMode(workspace_, picture(), *ui_);
            DeleteMinute(workspace_, picture(), *ui_, minute);
        };
    } else {
        return false;
    }
    RunCommand(CommandKind::Edit, [&] {
        command();
        ShowCursorReadoutAt(mousePosition_.x(), mousePosition_.y());
    });
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

bool frmMain::AskSaveChanges() {
    if (!workspace_.profile.changed) return true;
    // Every save question offers "Abbrechen", so Escape never throws the changes away.
    const Answer answer = ui_->Ask(kChangedQuestion, Buttons::YesNoCancel, MessageIcon::Question);
    if (answer == Answer::Cancel) return false;
    return answer == Answer::No || mnuSaveProfile2();
}

std::string frmMain::ProfileFolder() const {
    return WritableProfileFolder(workspace_.settings.fileStoragePath);
}

void frmMain::mnuNewProfile() {
    if (!AskSaveChanges()) return;
    NewProfile(workspace_);
    history_.Start(TakeSnapshot(workspace_));
    ui_->SetWindowCaption(WindowCaption("", ""));
    RedrawView();
}

void frmMain::mnuLoadProfile2() {
    if (!AskSaveChanges()) return;
    LoadProfile(dialogs_.OpenFile(this, "Tauchprofil laden...", kLoadFilter, ProfileFolder())
                    .value_or("*.prf;*.mrp"));
}

void frmMain::LoadProfile(const std::string& path) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool loaded = ReadProfileFile(workspace_, store_, *ui_, path);
    QApplication::restoreOverrideCursor();
    // A cancelled dialog keeps the changed flag, so the question on quitting still comes; a
    // failed load stays a step that can be undone, which brings the dive before it back.
    if (!loaded) return;
    workspace_.profile.changed = false;
    history_.Start(TakeSnapshot(workspace_));
    ui_->ShowCaption();
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
    history_.MarkSaved();
    ui_->ShowCaption();
    return true;
}

void frmMain::mnuSaveAs2() {
    const std::string name =
        dialogs_.SaveFile(this, "Tauchprofil speichern unter...", kSaveAsFilter, ProfileFolder())
            .value_or("*.mrp");
    SaveProfileAs(workspace_, store_, *ui_, name);
}

void frmMain::OpenRecentFile(int slot) {
    if (!AskSaveChanges()) return;
    LoadProfile(RecentFiles(store_)[static_cast<std::size_t>(slot - 1)]);
}

void frmMain::UndoEdit() {
    ShowSnapshot(history_.Undo());
}

void frmMain::RedoEdit() {
    ShowSnapshot(history_.Redo());
}

void frmMain::ShowSnapshot(const ProfileSnapshot* snapshot) {
    if (!snapshot) return;
    // The axis lengths are settings as well: the store keeps what is shown.
    const Settings& settings = workspace_.settings;
    const std::pair<std::int32_t, std::int32_t> axes = {settings.maxHScale, settings.maxVScale};
    RestoreSnapshot(*snapshot, workspace_);
    if (settings.maxHScale != axes.first) {
        WriteSetting(store_, keys::kMaxHScale, std::to_string(settings.maxHScale));
    }
    if (settings.maxVScale != axes.second) {
        WriteSetting(store_, keys::kMaxVScale, std::to_string(settings.maxVScale));
    }
    workspace_.profile.changed = history_.Modified();
    // The profile as it is now, in the input view, under the caption of its file.
    workspace_.view.mode = 1;
    ui_->SetWindowCaption(WindowCaption("", workspace_.profile.fileName));
    RedrawView();
}

void frmMain::ShowDeviceDive(const ProfileSnapshot& dive) {
    if (!AskSaveChanges()) return;
    // The dive has no file yet; replacing the profile with it is a step that can be undone.
    workspace_.profile.fileName.clear();
    ShowSnapshot(&dive);
    history_.Record(TakeSnapshot(workspace_));
    workspace_.profile.changed = history_.Modified();
    ShowEditState();
}

void frmMain::RunCommand(CommandKind kind, const std::function<void()>& command) {
    if (!guard_.Run(kind, command)) {
        // Whatever the command had begun: no waiting pointer, and the profile as it was.
        while (QApplication::overrideCursor())
            QApplication::restoreOverrideCursor();
        RedrawView();
    }
    ShowEditState();
    picDive_->update();
    // The planner's windows follow every calculation.
    if (gasPlanning_) gasPlanning_->ShowCalculation();
    if (diveSlate_) diveSlate_->ShowCalculation();
}

void frmMain::ShowEditState() {
    ui_->ShowCaption();
    findChild<QAction*>("mnuUndo")->setEnabled(history_.CanUndo());
    findChild<QAction*>("mnuRedo")->setEnabled(history_.CanRedo());
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
    // The run ends with a new, empty profile, as "Neu" does.
    if (!AskSaveChanges()) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const std::optional<DecoTable> table = BuildDecoTable(workspace_, store_, *ui_, lines.value());
    QApplication::restoreOverrideCursor();
    history_.Start(TakeSnapshot(workspace_));
    ui_->SetWindowCaption(WindowCaption("", workspace_.profile.fileName));
    RedrawView();
    if (!table) return;
    const std::optional<std::string> output = ui_->AskSaveFile(
        "Dekotabelle speichern unter...", "Textdateien (*.txt)|*.txt|", ProfileFolder());
    if (!output) return;
    if (const auto failure = WriteTextFileLines(*output, table->lines)) {
        ui_->ShowMessage(FailureMessage(*failure), MessageIcon::Critical);
    }
}

void frmMain::mnuShowHelp() {
    ShowHelp(help_, programFolder_, *ui_, this);
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
    bool quit = false;
    RunCommand(CommandKind::Calculation, [&] {
        if (!AskSaveChanges()) return;
        WriteSetting(store_, keys::kMaxHScale, std::to_string(workspace_.settings.maxHScale));
        WriteSetting(store_, keys::kO2Percent, workspace_.mix.o2);
        WriteSetting(store_, keys::kN2Percent, workspace_.mix.n2);
        WriteSetting(store_, keys::kHePercent, workspace_.mix.he);
        quit = true;
    });
    event->setAccepted(quit);
}

}  // namespace marelos
