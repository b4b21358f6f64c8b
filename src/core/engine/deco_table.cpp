#include "deco_table.h"

#include <array>

#include "core/engine/calculation.h"
#include "core/text/fields.h"
#include "core/text/number_format.h"
#include "core/text/rounding.h"
#include "core/text/val.h"

namespace marelos {
namespace {

std::string N(double value, std::string_view decimalSeparator) {
    return FormatGeneral(value, decimalSeparator);
}

struct DepthLine {
    double depth = 0;
    std::vector<double> times;
    bool truncated = false;  // more bottom times than the table has columns
};

DepthLine ReadDepthLine(const std::string& text) {
    DepthLine line;
    line.depth = RoundHalfEven(Val(GetField(text, 1)));
    for (int field = 2;; ++field) {
        const double time = Val(GetField(text, field));
        if (!(time > 0)) break;
        if (static_cast<int>(line.times.size()) == kDecoTableMaxTimes) {
            line.truncated = true;
            break;
        }
        line.times.push_back(RoundHalfEven(time));
    }
    return line;
}

std::vector<std::string> Header(const Workspace& workspace) {
    const GasMixFields& mix = workspace.mix;
    const Settings& settings = workspace.settings;
    const double bottomO2 = 99 - Val(mix.n2) - Val(mix.he);
    const double decoO2 = 99 - settings.n2PerCentDecompression - settings.hePerCentDecompression;
    return {
        "Dekompressionstabelle nach Bühlmann",
        "",
        "Gaszusammensetzung ",
        "Grundphase: \t\tN2: " + mix.n2 + "%  He: " + mix.he +
            "%  O2: " + N(bottomO2, workspace.settings.decimalSeparator) + "%",
        "Dekompressionsphase: \tN2: " +
            N(settings.n2PerCentDecompression, workspace.settings.decimalSeparator) +
            "%  He: " + N(settings.hePerCentDecompression, workspace.settings.decimalSeparator) +
            "%  O2: " + N(decoO2, workspace.settings.decimalSeparator) + "%",
        std::string(48, '-'),
        ""};
}

// Puts the run's changes back: the surface interval, the view, and an empty profile.
class TableRunScope {
  public:
    explicit TableRunScope(Workspace& workspace)
        : workspace_(workspace),
          surfaceInterval_(workspace.settings.surfaceInterval),
          viewMode_(workspace.view.mode) {}
    ~TableRunScope() {
        workspace_.settings.surfaceInterval = surfaceInterval_;
        if (cancelled) {
            NewProfile(workspace_);
            workspace_.view.mode = viewMode_;
        } else {
            workspace_.view.mode = viewMode_;
            NewProfile(workspace_);  // which shows the profile input again
        }
    }
    TableRunScope(const TableRunScope&) = delete;
    TableRunScope& operator=(const TableRunScope&) = delete;

    bool cancelled = false;

  private:
    Workspace& workspace_;
    std::int32_t surfaceInterval_;
    int viewMode_;
};

// The square dive of one table cell: 1 m in a minute, down to the depth in 2 minutes, the
// bottom time (at least 2 minutes) there; calculated on the line table as it stands.
void CalculateSquareDive(Workspace& workspace, const SettingsStore& store, Ui& ui, double depth,
                         double time) {
    DiveProfile& profile = workspace.profile;
    ResetPoints(profile, workspace.computed);
    const double n2 = Val(workspace.mix.n2);
    const double he = Val(workspace.mix.he);
    profile.lines[1] = {1, 1, profile.lines[1].tTotal, n2, he};
    profile.lines[2] = {depth, 2, profile.lines[2].tTotal, n2, he};
    profile.lines[3] = {depth, time > 2 ? time : 2, profile.lines[3].tTotal, n2, he};
    profile.nextPoint = 3;
    workspace.view.mode = 4;
    mnuCalcSaturation(workspace, store, ui);
    ui.RedrawProfileGraph();
}

}  // namespace

std::optional<std::vector<std::string>> BuildDecoTable(Workspace& workspace, SettingsStore& store,
                                                       Ui& ui,
                                                       const std::vector<std::string>& input) {
    workspace.cancelRequested = false;
    TableRunScope restore(workspace);
    workspace.settings.surfaceInterval = 0;
    ResetPoints(workspace.profile, workspace.computed);
    ClearLines(workspace.profile);

    double greatest = 0;
    for (const std::string& text : input) {
        const double depth = Val(GetField(text, 1));
        if (depth > greatest) greatest = depth;
    }
    workspace.settings.maxVScale = RoundToInt32(Int(greatest / 10) * 10 + 10);

    std::vector<std::string> out = Header(workspace);
    std::vector<std::array<std::int32_t, kStopTableEnd + 1>> grid(kDecoTableMaxTimes);
    for (std::size_t row = 0; row < input.size(); ++row) {
        const DepthLine line = ReadDepthLine(input[row]);
        if (line.truncated) {
            ui.ShowSysMsg(
                "Zeile " + N(static_cast<double>(row + 1), workspace.settings.decimalSeparator) +
                ": nur die ersten " + N(kDecoTableMaxTimes, workspace.settings.decimalSeparator) +
                " Grundzeiten werden berechnet.");
        }
        int deepest = 0;
        for (std::size_t c = 0; c < line.times.size(); ++c) {
            CalculateSquareDive(workspace, store, ui, line.depth, line.times[c]);
            deepest = 0;
            for (int s = kStopTableEnd; s >= 1; --s) {
                const std::int32_t time = workspace.profile.stops[s].time;
                grid[c][static_cast<std::size_t>(s)] = time > 0 ? time : 0;
                if (time > 0 && s > deepest) deepest = s;
            }
        }

        std::vector<std::string> block = {
            "Tiefe: " + N(line.depth, workspace.settings.decimalSeparator) + " m"};
        std::string header = "GZ\t";
        for (int s = deepest; s >= 1; --s)
            header += N(3 * s, workspace.settings.decimalSeparator) + "m\t";
        block.push_back(header);
        for (std::size_t c = 0; c < line.times.size(); ++c) {
            std::string cells = N(line.times[c], workspace.settings.decimalSeparator) + "\t";
            for (int s = deepest; s >= 1; --s)
                cells +=
                    N(grid[c][static_cast<std::size_t>(s)], workspace.settings.decimalSeparator) +
                    "\t";
            block.push_back(cells);
        }
        block.emplace_back();
        if (out.size() + block.size() > static_cast<std::size_t>(kDecoTableMaxLines)) {
            ui.ShowSysMsg("Die Tabelle erreicht " +
                          N(kDecoTableMaxLines, workspace.settings.decimalSeparator) +
                          " Zeilen; die weiteren Tiefen wurden nicht berechnet.");
            break;
        }
        out.insert(out.end(), block.begin(), block.end());

        ui.ProcessPendingEvents();
        if (workspace.cancelRequested &&
            ui.Ask("Wollen Sie abbrechen?", Buttons::YesNo) == Answer::Yes) {
            ui.ShowSysMsg("Ausgabe abgebrochen.");
            restore.cancelled = true;
            return std::nullopt;
        }
    }
    return out;
}

}  // namespace marelos
