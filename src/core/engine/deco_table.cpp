#include "deco_table.h"

#include <array>
#include <limits>

#include "core/engine/calculation.h"
#include "core/text/fields.h"
#include "core/text/number_format.h"
#include "core/text/rounding.h"
#include "core/text/val.h"

namespace marelos {
namespace {

struct DepthLine {
    double depth = 0;
    std::vector<double> times;
    bool truncated = false;  // more bottom times than the table has columns
    bool usable = true;      // false for a depth or time too large to be one
};

DepthLine ReadDepthLine(const std::string& text) {
    DepthLine line;
    line.depth = RoundHalfEven(Val(GetField(text, 1)));
    line.usable = IsUsableFileNumber(line.depth);
    for (int field = 2;; ++field) {
        const double time = Val(GetField(text, field));
        if (!(time > 0)) break;
        if (!IsUsableFileNumber(time)) line.usable = false;
        if (static_cast<int>(line.times.size()) == kDecoTableMaxTimes) {
            line.truncated = true;
            break;
        }
        line.times.push_back(RoundHalfEven(time));
    }
    return line;
}

// "N2: 44%  He: 0%  O2: 55%".
std::string GasSharesText(const GasShares& gas, std::string_view separator) {
    return "N2: " + FormatGeneral(gas.n2Percent, separator) +
           "%  He: " + FormatGeneral(gas.hePercent, separator) +
           "%  O2: " + FormatGeneral(99 - gas.n2Percent - gas.hePercent, separator) + "%";
}

// The header names the gases the decompression phase breathes: the bottom gas's N2 share with
// the decompression gas's He share, and the decompression gas from its switch depth upwards.
std::vector<std::string> Header(const Workspace& workspace) {
    const GasMixFields& mix = workspace.mix;
    const Settings& settings = workspace.settings;
    const std::string_view separator = settings.decimalSeparator;
    const double bottomO2 = 99 - Val(mix.n2) - Val(mix.he);
    // Under VPM-B the stops are the bubble model's; the title must not name Bühlmann.
    const bool vpmb = settings.planner.enabled && settings.planner.model == PlannerModel::Vpmb;
    std::vector<std::string> header = {
        vpmb ? "Dekompressionstabelle nach VPM-B" : "Dekompressionstabelle nach Bühlmann", "",
        "Gaszusammensetzung ",
        "Grundphase: \t\tN2: " + mix.n2 + "%  He: " + mix.he +
            "%  O2: " + FormatGeneral(bottomO2, separator) + "%"};
    if (settings.planner.enabled) {
        header.push_back("Dekompressionsphase: \tPlaner " +
                         PlannerModelName(settings.planner, workspace.model.model));
        for (const PlannedGas& gas : DecoGasesOf(settings.planner, settings.airPressure)) {
            header.push_back("Dekogas: \t\t" + GasName(gas.gas, separator) + " ab " +
                             FormatGeneral(gas.switchDepth, separator) + " m");
        }
        header.push_back(std::string(48, '-'));
        header.emplace_back();
        return header;
    }
    const double bottomN2 = StagedBottomN2(mix);
    const GasShares deep = StagedDecompressionGas(
        settings, bottomN2, std::numeric_limits<double>::infinity(), StagedStep::Stop);
    const GasShares shallow = StagedDecompressionGas(settings, bottomN2, 0, StagedStep::Stop);
    if (deep == shallow) {
        header.push_back("Dekompressionsphase: \t" + GasSharesText(deep, separator));
    } else {
        const std::string switchDepth = FormatGeneral(settings.nitroxDecoStart, separator);
        header.push_back("Dekompressionsphase: \t" + GasSharesText(deep, separator) +
                         "  (tiefer als " + switchDepth + " m)");
        header.push_back("Dekompressionsphase: \t" + GasSharesText(shallow, separator) + "  (ab " +
                         switchDepth + " m)");
    }
    header.push_back(std::string(48, '-'));
    header.emplace_back();
    return header;
}

// One calculated cell: the stop times of the square dive, or why it could not be calculated.
struct Cell {
    std::array<std::int32_t, kStopTableEnd + 1> stops{};
    std::string failure;
};

// The progress over all cells of the table. Every calculation resets the progress display when
// its (empty) surface interval ends, so each step shows the whole range again.
class CellProgress {
  public:
    CellProgress(Ui& ui, const std::vector<DepthLine>& lines) : ui_(ui) {
        for (const DepthLine& line : lines)
            total_ += static_cast<int>(line.times.size());
    }
    ~CellProgress() { ui_.ResetProgress(); }
    CellProgress(const CellProgress&) = delete;
    CellProgress& operator=(const CellProgress&) = delete;

    void Step() {
        ui_.StartProgress(total_);
        ui_.ShowProgress(++done_);
    }

  private:
    Ui& ui_;
    int total_ = 0;
    int done_ = 0;
};

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

// The block of one depth line: its title, the stop depths down to `deepest`, a row per bottom
// time (the stop times, or why the dive could not be calculated) and an empty line.
std::vector<std::string> DepthBlock(const DepthLine& line, const std::vector<Cell>& cells,
                                    int deepest, std::string_view sep) {
    std::vector<std::string> block = {"Tiefe: " + FormatGeneral(line.depth, sep) + " m"};
    std::string header = "GZ\t";
    for (int s = deepest; s >= 1; --s)
        header += FormatGeneral(3 * s, sep) + "m\t";
    block.push_back(header);
    for (std::size_t c = 0; c < line.times.size(); ++c) {
        std::string row = FormatGeneral(line.times[c], sep) + "\t";
        if (!cells[c].failure.empty()) {
            row += cells[c].failure;
        } else {
            for (int s = deepest; s >= 1; --s)
                row += FormatGeneral(cells[c].stops[static_cast<std::size_t>(s)], sep) + "\t";
        }
        block.push_back(row);
    }
    block.emplace_back();
    return block;
}

std::nullopt_t Cancel(Ui& ui, TableRunScope& restore) {
    ui.ShowSysMsg("Ausgabe abgebrochen.");
    restore.cancelled = true;
    return std::nullopt;
}

}  // namespace

std::optional<DecoTable> BuildDecoTable(Workspace& workspace, SettingsStore& store, Ui& ui,
                                        const std::vector<std::string>& input) {
    workspace.cancelRequested = false;
    TableRunScope restore(workspace);
    workspace.settings.surfaceInterval = 0;
    ResetPoints(workspace.profile, workspace.computed);
    ClearLines(workspace.profile);

    std::vector<DepthLine> lines;
    double greatest = 0;
    for (const std::string& text : input) {
        lines.push_back(ReadDepthLine(text));
        if (lines.back().usable && lines.back().depth > greatest) greatest = lines.back().depth;
    }
    workspace.settings.maxVScale = RoundToInt32(Int(greatest / 10) * 10 + 10);

    DecoTable table;
    table.lines = Header(workspace);
    std::vector<std::string>& out = table.lines;
    const std::string_view sep = workspace.settings.decimalSeparator;
    const auto note = [&](const std::string& text) {
        ui.ShowSysMsg(text);
        table.notes.push_back(text);
    };
    std::vector<Cell> cells(kDecoTableMaxTimes);
    CellProgress progress(ui, lines);
    // Escape is asked about after the cell in which it was pressed; a No asks again only after
    // the next depth line has begun.
    const auto cancelled = [&](bool& asked) {
        ui.ProcessPendingEvents();
        if (!workspace.cancelRequested || asked) return false;
        asked = true;
        return ui.Ask("Wollen Sie abbrechen?", Buttons::YesNo) == Answer::Yes;
    };
    for (std::size_t row = 0; row < lines.size(); ++row) {
        const DepthLine& line = lines[row];
        const std::string lineName = "Zeile " + FormatGeneral(static_cast<double>(row + 1), sep);
        if (!line.usable) {
            note(lineName + ": Tiefe oder Grundzeit ist zu groß, die Zeile wird nicht berechnet.");
            continue;
        }
        if (line.truncated) {
            note(lineName + ": nur die ersten " + FormatGeneral(kDecoTableMaxTimes, sep) +
                 " Grundzeiten werden berechnet.");
        }
        bool asked = false;
        // The columns reach the deepest stop of the line's last calculated dive (the longest,
        // when the times rise); a dive that could not be calculated has no stops to count.
        int deepest = 0;
        for (std::size_t c = 0; c < line.times.size(); ++c) {
            CalculateSquareDive(workspace, store, ui, line.depth, line.times[c]);
            Cell& cell = cells[c];
            cell.failure.clear();
            const CalculationResult& result = workspace.computed.last;
            if (Stopped(result)) {
                cell.failure = IncompleteCalculationMessage(result);
                if (table.everyDiveCalculated) {
                    note(lineName + ", Grundzeit " + FormatGeneral(line.times[c], sep) + ": " +
                         cell.failure);
                }
                table.everyDiveCalculated = false;
            } else {
                deepest = 0;
            }
            for (int s = kStopTableEnd; s >= 1; --s) {
                const std::int32_t time = workspace.profile.stops[s].time;
                cell.stops[static_cast<std::size_t>(s)] = time > 0 ? time : 0;
                if (time > 0 && s > deepest) deepest = s;
            }
            progress.Step();
            if (cancelled(asked)) return Cancel(ui, restore);
        }

        const std::vector<std::string> block = DepthBlock(line, cells, deepest, sep);
        if (out.size() + block.size() > static_cast<std::size_t>(kDecoTableMaxLines)) {
            note("Die Tabelle erreicht " + FormatGeneral(kDecoTableMaxLines, sep) +
                 " Zeilen; die weiteren Tiefen wurden nicht berechnet.");
            break;
        }
        out.insert(out.end(), block.begin(), block.end());
        if (line.times.empty() && cancelled(asked)) return Cancel(ui, restore);
    }
    return table;
}

}  // namespace marelos
