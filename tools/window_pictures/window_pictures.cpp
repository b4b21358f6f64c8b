// Renders every window of the program into PNG files, so their layout can be looked at
// without clicking through the program: window_pictures OUTPUT_FOLDER
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QTabWidget>
#include <QWidget>
#include <cstdio>
#include <memory>
#include <tuple>

#include "app/analysis/tool_windows.h"
#include "app/divecomputers/frm_aladin_import.h"
#include "app/planner/dive_slate_window.h"
#include "app/planner/gas_planning_window.h"
#include "app/profile/profile_windows.h"
#include "app/shell/frm_about.h"
#include "app/shell/frm_main.h"
#include "app/shell/frm_options.h"
#include "app/shell/german_dialogs.h"
#include "app/shell/modal_dialogs.h"
#include "core/engine/calculation.h"
#include "core/engine/dive_plan.h"
#include "core/profile/file_type.h"
#include "core/profile/profile_file.h"
#include "core/settings/memory_settings_store.h"
#include "core/settings/options_form.h"
#include "core/settings/settings.h"
#include "core/ui/unattended_ui.h"

namespace {

// Chooses the example DataTrak log in the file dialog.
class ExampleLogUi : public marelos::UnattendedUi {
  public:
    std::optional<std::string> AskOpenFile(std::string_view, std::string_view,
                                           std::string_view) override {
        return MARELOS_SOURCE_DIR "/examples/aladin-logbuch.log";
    }
};

// The options dialog never registers the file type here.
class NoFileType : public marelos::FileTypeRegistry {
  public:
    bool RegisterProfileFileType() override { return false; }
    bool ProfileFileTypeKnown() const override { return true; }
};

void Save(QWidget& window, const QString& folder, const char* name) {
    window.show();
    QCoreApplication::processEvents();
    window.grab().save(QDir(folder).filePath(QString(name) + ".png"));
}

// The gas plan and the contingency plans of a 75 m / 10 min trimix dive planned with three
// decompression gases, one of whose cylinders is too small, so that the pictures show the
// warnings and the marks too.
void SavePlannerWindows(const QString& folder, QWidget& parent) {
    marelos::InMemorySettingsStore store;
    for (const auto& [section, key, value] : {std::tuple{"Planner", "Enabled", "1"},
                                              {"Planner", "DecoGas1", "35/25"},
                                              {"Planner", "DecoGas2", "50/0"},
                                              {"Planner", "DecoGas3", "100/0"},
                                              {"Values", "AirPressure", "1013.25"},
                                              {"Cylinders", "Cylinder1", "D24;24;232;18/45"},
                                              {"Cylinders", "Cylinder2", "S80;11.1;207;35/25"},
                                              {"Cylinders", "Cylinder3", "S80;11.1;207;50/0"},
                                              {"Cylinders", "Cylinder4", "S40;3;207;100/0"}}) {
        store.WriteSetting(section, key, value);
    }
    auto workspace = std::make_unique<marelos::Workspace>(
        marelos::WorkspaceFromSettings(marelos::LoadSettings(store, "/opt/marelos")));
    workspace->settings.decimalSeparator = ",";
    for (const marelos::ProfilePoint corner :
         {marelos::ProfilePoint{4, 75, 36, 45}, {14, 75, 36, 45}})
        workspace->profile.points[workspace->profile.nextPoint++] = corner;
    marelos::UnattendedUi ui;
    marelos::mnuCalcSaturation(*workspace, store, ui);
    marelos::frmGasPlanning window(*workspace, store, {}, &parent);
    window.resize(1020, 680);
    Save(window, folder, "frmGasPlanning");
    marelos::UnattendedDialogs dialogs;
    marelos::frmDiveSlate slate(*workspace, store, dialogs, &parent);
    slate.resize(1100, 700);
    Save(slate, folder, "frmDiveSlate");
    slate.findChild<QTabWidget*>("tabSlate")->setCurrentIndex(1);
    Save(slate, folder, "frmDiveSlate-page");
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    marelos::UseGermanDialogs(application);
    if (argc < 2) {
        std::fputs("Aufruf: window_pictures AUSGABEORDNER [PROFIL.mrp]\n", stderr);
        return 2;
    }
    const QString folder = argv[1];
    QDir().mkpath(folder);
    marelos::InMemorySettingsStore store;
    store.WriteSetting("Files", "TypeAssigned", "No");
    // Every optional text of the graphs, so that their placement can be looked at too.
    for (const char* key : {"ShowAirMix", "PrintDiveValues"})
        store.WriteSetting("View", key, "1");
    for (const char* key : {"PPO2Hi", "PPO2Lo", "PPN2"})
        store.WriteSetting("Warnings", key, "1");
    store.WriteSetting("View", "LastUsed", "3");  // a calculation shows the computed profile
    marelos::UnattendedDialogs dialogs;
    marelos::UnattendedUi ui(marelos::Answer::Yes);  // the dive plan calculates in stops
    auto workspace = std::make_unique<marelos::Workspace>();
    marelos::frmMain main(*workspace, store, dialogs, QCoreApplication::applicationDirPath(),
                          argc > 2 ? QString(argv[2]) : QString());
    Save(main, folder, "frmMain");
    // The main window in every view of the loaded dive.
    for (const auto& [command, name] :
         {std::pair{"mnuPartialPressureN2plusHe", "view-tissues"},
          std::pair{"mnuPressureRelation", "view-pressure-ratio"},
          std::pair{"mnuShowDiveProfile", "view-computed-profile"},
          std::pair{"mnuShowAscSpeed", "view-ascent-speeds"}, std::pair{"mnuCNSDraw", "view-cns"},
          std::pair{"mnuProfileInput", "view-profile-input"}}) {
        main.findChild<QAction*>(command)->trigger();
        Save(main, folder, name);
    }
    main.findChild<QAction*>("mnuBarGraph")->trigger();
    main.GraphClicked(650 + 20 * 60, 2000);
    if (auto* bars = main.findChild<QDialog*>("frmBarGraph")) Save(*bars, folder, "frmBarGraph");
    SavePlannerWindows(folder, main);
    marelos::frmAbout about(&main);
    Save(about, folder, "frmAbout");
    marelos::frmAltitude altitude(*workspace, store, &main);
    altitude.cmdCalc();
    Save(altitude, folder, "frmAltitude");
    marelos::frmRunTimeTable plan(marelos::DivePlanLines(*workspace, store, ui), ui, &main);
    Save(plan, folder, "frmRunTimeTable");
    marelos::frmBestMix bestMix({"21", "35", "44"}, ui, &main);
    Save(bestMix, folder, "frmBestMix");
    marelos::frmDiveComment comment(store, ui, &main);
    if (!workspace->profile.fileName.empty()) comment.OpenDiveComment(workspace->profile.fileName);
    Save(comment, folder, "frmDiveComment");
    marelos::frmEditProfile editor(*workspace, ui, &main);
    Save(editor, folder, "frmEditProfile");
    marelos::frmDiveSerialMain series(*workspace, ui, &main);
    Save(series, folder, "frmDiveSerialMain");
    // The DataTrak import after converting the example log into a folder of the output.
    ExampleLogUi exampleLog;
    marelos::frmAladinImport aladin(store, QDir(folder).filePath("tg").toStdString(), exampleLog,
                                    &main);
    aladin.show();
    aladin.ImportDatatrakLog();
    Save(aladin, folder, "frmAladinImport");
    // The planner: its tab of the options, and the dive plan of the loaded dive planned with it
    // (EAN50 and oxygen as decompression gases).
    store.WriteSetting("Planner", "Enabled", "1");
    store.WriteSetting("Planner", "DecoGas1", "50/0");
    store.WriteSetting("Planner", "DecoGas2", "100/0");
    workspace->settings.planner =
        marelos::LoadPlannerSettings(store, workspace->settings.airPressure);
    marelos::mnuCalcSaturation(*workspace, store, ui);
    marelos::frmRunTimeTable planned(marelos::DivePlanLines(*workspace, store, ui), ui, &main);
    Save(planned, folder, "frmRunTimeTable-planner");
    NoFileType noFileType;
    marelos::frmOptions options(
        *workspace, store, ui, noFileType, [] {}, false, &main);
    options.findChild<QTabWidget*>("tabOptions")->setCurrentIndex(marelos::kPlannerTab);
    Save(options, folder, "frmOptions-planner");
    // Qt's own save dialog, in German like every standard dialog of the program.
    const auto save = marelos::SaveFileDialog(&main, "Tauchprofil speichern unter...",
                                              "Tauchprofile (*.mrp)|*.mrp", folder.toStdString());
    Save(*save, folder, "SaveFileDialog");
    // Qt's own print and page set-up dialogs, as the graph's printout opens them.
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    QPrintDialog print(&printer, &main);
    Save(print, folder, "QPrintDialog");
    QPageSetupDialog pageSetUp(&printer, &main);
    Save(pageSetUp, folder, "QPageSetupDialog");
    return 0;
}
