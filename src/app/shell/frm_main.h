#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/shell/modal_dialogs.h"
#include "core/graphics/analysis_graphs.h"
#include "core/profile/edit_history.h"
#include "core/settings/settings_store.h"
#include "core/ui/command_guard.h"
#include "core/workspace.h"

class QComboBox;
class QLabel;
class QListWidget;
class QProgressBar;

namespace marelos {

class Canvas;
class frmHelp;
class GraphOutput;
class PictureBox;

// The main window: the profile graph, the mix fields and list, the cursor readout, the message
// list and the program's commands.
class frmMain : public QMainWindow {
    Q_OBJECT

  public:
    // Runs the start-up in its order: program folder, mix lists, settings, tissues, model,
    // start point, the start lines of the message list, the caption and the recent files, and
    // the profile named by `profileFile` when there is one.
    frmMain(Workspace& workspace, SettingsStore& store, ModalDialogs& dialogs,
            const QString& programFolder, const QString& profileFile = {},
            QWidget* parent = nullptr);
    ~frmMain() override;

    // The start-up picture: the About window, which closes itself after 5 s (1 ms with TestMode).
    void ShowStartUpPicture();

    // Appends a line to the message list (characters below code 32 removed) and selects it.
    void ShowSysMsg(const QString& line);
    Canvas& picture();

    // Pointer and keys on the graph, in picture units; the window's events come here.
    void GraphPointerMoved(double x, double y);
    void GraphClicked(double x, double y);
    void GraphDoubleClicked();
    // A key of the main window; true when it was one of the program's keys.
    bool HandleKey(int key, Qt::KeyboardModifiers modifiers);

    // Commands.
    void mnuNewProfile();
    void mnuLoadProfile2();
    bool mnuSaveProfile2();
    void mnuSaveAs2();
    void OpenRecentFile(int slot);
    // Ctrl+Z and Ctrl+Y: the profile one edit back or forward, shown in the input view.
    void UndoEdit();
    void RedoEdit();
    void mnuCalcProfile();
    void mnuProfileInput();
    void mnuCalcSaturation();
    void mnuCreateDecoTable();
    void mnuShowHelp();
    void mnuMe();
    // The options dialog; for the decompression gas only its decompression tab can be used.
    void mnuOptions(bool decoGasOnly);
    void cmdLarge();
    void cmdSmall();
    void cmdSelectMix();

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    class WindowUi;
    enum class AnalysisView {
        TissuesTotal,
        TissuesNitrogen,
        TissuesHelium,
        PressureRatio,
        ComputedProfile,
        AscentSpeeds
    };

    // An analysis graph of the last calculation, with its caption; remembered as last used.
    void ShowAnalysis(AnalysisView view);
    // After a calculation: the analysis graph last used (while a table is built, its dive).
    void ShowLastUsedView();
    // The computed profile, with the dive values when they are asked for and a dive was
    // calculated.
    void DrawComputedProfileView(bool showWarnings);
    bool ShowDiveComputerWarnings() const;
    void mnuSaveSaturationFile();
    // The bar graph window and the stepwise display.
    void OpenBarGraph();
    void CloseBarGraph(bool redrawMainView);
    void ShowBarsAtCursorMinute();
    void StepDisplayTick();

  public:
    void StartStepDisplay();
    int cursorMinute() const { return cursorMinute_; }

  private:
    void BuildLayout();
    QWidget* BuildMixPanel();
    void ConnectCommands();
    void Initialise(const QString& programFolder, const QString& profileFile);
    void RedrawView();
    void ShowGraphBackground();
    void ShowMixFields();
    void MixFieldEdited();
    void ShowCursorReadoutAt(double x, double y);
    void ShowRecentFiles();
    // Every command runs here: a failure is reported and leaves the profile as it was, and an
    // edit becomes a step of the undo history.
    void RunCommand(CommandKind kind, const std::function<void()>& command);
    // The "*" of unsaved changes in the caption, and which of undo and redo can be used.
    void ShowEditState();
    void ShowSnapshot(const ProfileSnapshot* snapshot);
    // A dive read from a dive computer as the current profile, after the save question.
    void ShowDeviceDive(const ProfileSnapshot& dive);
    // The question before a changed profile is dropped: false when the user cancels, also by
    // Escape or by cancelling the save dialog after "Ja".
    bool AskSaveChanges();
    // A profile file into the current dive; a loaded dive starts a fresh undo history.
    void LoadProfile(const std::string& path);
    std::string ProfileFolder() const;

    Workspace& workspace_;
    SettingsStore& store_;
    ModalDialogs& dialogs_;
    QString programFolder_;
    std::unique_ptr<WindowUi> ui_;
    EditHistory history_;
    CommandGuard guard_;
    QPointF mousePosition_;        // the last pointer position over the graph, in picture units
    std::optional<int> lastUsed_;  // the analysis graph last used; read when first needed
    KeptProfile keptProfile_;      // a calculation kept for comparison
    std::unique_ptr<GraphOutput> graphOutput_;  // printing, picture file, clipboard
    class frmBarGraph* barGraph_ = nullptr;
    QPointer<frmHelp> help_;  // the help window while it is open
    class QTimer* timStep_ = nullptr;
    int cursorMinute_ = 0;

    PictureBox* picDive_ = nullptr;
    QListWidget* lstSysMsg_ = nullptr;
    QListWidget* lstMixes_ = nullptr;
    QComboBox* cmbO2Percent_ = nullptr;
    QComboBox* cmbN2Percent_ = nullptr;
    QComboBox* cmbHePercent_ = nullptr;
    QLabel* lblTotalPercent_ = nullptr;
    QLabel* lblCurPos_ = nullptr;
    QLabel* lblBestMix_ = nullptr;
    QLabel* lblppO2_ = nullptr;
    QLabel* lblppO2x_ = nullptr;
    QLabel* lblppN2_ = nullptr;
    QLabel* lblppN2x_ = nullptr;
    QProgressBar* pgbMain_ = nullptr;
};

}  // namespace marelos
