// What a user waits for on screen: the start-up to a usable main window, the redraw of a
// long profile with guide lines on every minute and metre, of axes of any length, and the
// printout of a graph.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <memory>

#include "app/analysis/graph_output.h"
#include "app/browser/frm_browse.h"
#include "app/shell/frm_main.h"
#include "core/engine/calculation.h"
#include "core/graphics/analysis_graphs.h"
#include "core/graphics/profile_graph.h"
#include "core/settings/memory_settings_store.h"
#include "core/settings/settings.h"
#include "core/ui/unattended_ui.h"
#include "platform/qt_canvas.h"
#include "platform/qt_settings_store.h"

namespace {

void BM_StartUpToAShownMainWindow(benchmark::State& state) {
    for (auto _ : state) {
        marelos::InMemorySettingsStore store;
        marelos::UnattendedDialogs dialogs;
        auto workspace = std::make_unique<marelos::Workspace>();
        marelos::frmMain window(*workspace, store, dialogs, "/opt/marelos");
        window.show();
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(window.isVisible());
    }
}
BENCHMARK(BM_StartUpToAShownMainWindow)->Unit(benchmark::kMillisecond);

void BM_Redraw600MinuteProfileWithGuideLines(benchmark::State& state) {
    marelos::Settings settings;
    settings.maxHScale = 600;
    settings.maxVScale = 60;
    settings.horizontalGuidelines = 1;
    settings.verticalGuidelines = 1;
    settings.showAirMix = 1;
    marelos::DiveProfile profile;
    for (int i = 1; i <= 600; ++i) {
        profile.lines[i] = {static_cast<double>(10 + (i * 7) % 45), 1, static_cast<double>(i), 78,
                            0};
    }
    profile.nextPoint = 601;
    marelos::QtCanvas canvas(96);
    canvas.Resize(1200, 700);
    for (auto _ : state)
        marelos::DrawProfile(canvas, settings, profile);
}
BENCHMARK(BM_Redraw600MinuteProfileWithGuideLines)->Unit(benchmark::kMillisecond);

// The grid with guide lines for a time axis of this many minutes, on a 2x screen: the work
// follows the pixels, so a billion-minute axis costs what a one-hour axis does.
void BM_RedrawTheGridOfAnAxisOnA2xScreen(benchmark::State& state) {
    marelos::Settings settings;
    settings.maxHScale = static_cast<std::int32_t>(state.range(0));
    settings.horizontalGuidelines = 1;
    settings.verticalGuidelines = 1;
    marelos::QtCanvas canvas(96);
    canvas.Resize(1200, 700, 2);
    for (auto _ : state) {
        marelos::DrawProfile(canvas, settings, marelos::DiveProfile{});
        benchmark::DoNotOptimize(canvas.Image().width());
    }
}
BENCHMARK(BM_RedrawTheGridOfAnAxisOnA2xScreen)
    ->Arg(60)
    ->Arg(6000)
    ->Arg(1'000'000'000)
    ->Unit(benchmark::kMillisecond);

// A calculated dive of 600 minutes at 20 m on air.
std::unique_ptr<marelos::Workspace> Calculated600MinuteDive() {
    auto workspace = std::make_unique<marelos::Workspace>(marelos::WorkspaceFromSettings({}));
    workspace->settings.maxHScale = 700;
    workspace->profile.points[workspace->profile.nextPoint++] = {3, 20, 78, 0};
    workspace->profile.points[workspace->profile.nextPoint++] = {600, 20, 78, 0};
    marelos::InMemorySettingsStore store;
    marelos::UnattendedUi ui;
    marelos::mnuCalcSaturation(*workspace, store, ui);
    return workspace;
}

// Every analysis view of a calculated 600-minute dive.
void BM_RedrawEveryAnalysisViewOf600Minutes(benchmark::State& state) {
    const auto workspace = Calculated600MinuteDive();
    marelos::QtCanvas canvas(96);
    canvas.Resize(1200, 700);
    for (auto _ : state) {
        marelos::DrawTissueGraph(canvas, marelos::TissueGas::Total, *workspace);
        marelos::DrawPressureRatioGraph(canvas, *workspace);
        marelos::DrawComputedProfile(canvas, *workspace, true);
        marelos::DrawAscentSpeeds(canvas, *workspace);
        marelos::DrawCnsDayGraph(canvas, *workspace);
        benchmark::DoNotOptimize(canvas.Image().width());
    }
    state.counters["views"] = 5;
}
BENCHMARK(BM_RedrawEveryAnalysisViewOf600Minutes)->Unit(benchmark::kMillisecond);

// The tissue graph of a calculated 600-minute dive printed into a PDF file at 1200 dpi: the
// graph is painted anew from its record at the printer's resolution.
void BM_PrintTissueGraphOf600MinutesToPdf(benchmark::State& state) {
    const auto workspace = Calculated600MinuteDive();
    marelos::QtCanvas canvas(96);
    canvas.Resize(1000, 620);
    marelos::DrawTissueGraph(canvas, marelos::TissueGas::Total, *workspace);
    QTemporaryDir folder;
    for (auto _ : state) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setResolution(1200);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(folder.filePath("grafik.pdf"));
        benchmark::DoNotOptimize(marelos::PrintPicture(canvas, printer));
    }
}
BENCHMARK(BM_PrintTissueGraphOf600MinutesToPdf)->Unit(benchmark::kMillisecond);

// Start-up reads every setting from the user's INI file, which may have grown by hand or by a
// broken tool to hundreds of thousands of keys in one section.
void BM_LoadSettingsFromAnIniFileWith400000Keys(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath("Marelos31.ini");
    {
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        QByteArray text = "[Values]\nAirPressure=950\n";
        for (int i = 0; i < 400000; ++i)
            text += "Unbekannt" + QByteArray::number(i) + "=1\n";
        file.write(text);
    }
    for (auto _ : state) {
        marelos::QtSettingsStore store(path);
        benchmark::DoNotOptimize(marelos::LoadSettings(store, "/opt/marelos"));
    }
}
BENCHMARK(BM_LoadSettingsFromAnIniFileWith400000Keys)->Unit(benchmark::kMillisecond);

// The browser in a folder of 5000 profile files: a refresh (F5) lists all of them, and
// selecting one draws its preview.
class BrowserFolder {
  public:
    BrowserFolder() {
        for (int i = 0; i < 5000; ++i) {
            QFile file(dir_.filePath(QString("tg%1.mrp").arg(i, 4, 10, QChar('0'))));
            if (file.open(QIODevice::WriteOnly)) file.write(kProfile);
        }
        store_.WriteSetting("Browser", "LastPath", dir_.path().toStdString());
        window_ = std::make_unique<marelos::frmBrowse>(
            workspace_, store_, ui_, disk_, [](const std::string&) {}, nullptr);
    }
    marelos::frmBrowse& window() { return *window_; }

  private:
    static constexpr const char* kProfile =
        "Tiefe\tdt\tt\tN2\tHe\r\n20\t2\t2\t78\t0\r\n40\t20\t22\t78\t0\r\n"
        "; Abstieg 3\r\n0\t10\t32\t78\t0\r\n# END OF PROFILE #\r\n";
    QTemporaryDir dir_;
    marelos::Workspace workspace_;
    marelos::InMemorySettingsStore store_;
    marelos::UnattendedUi ui_;
    marelos::LocalFileSystem disk_;
    std::unique_ptr<marelos::frmBrowse> window_;
};

void BM_BrowserRefreshOf5000Files(benchmark::State& state) {
    BrowserFolder folder;
    for (auto _ : state)
        folder.window().mnuFolderRefresh();
}
BENCHMARK(BM_BrowserRefreshOf5000Files)->Unit(benchmark::kMillisecond);

void BM_BrowserPreviewOfTheSelection(benchmark::State& state) {
    BrowserFolder folder;
    auto* list = folder.window().findChild<QTreeWidget*>("lvwFiles");
    int row = 0;
    for (auto _ : state) {
        list->clearSelection();
        list->topLevelItem(row++ % 5000)->setSelected(true);  // draws the preview
    }
}
BENCHMARK(BM_BrowserPreviewOfTheSelection)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
