#include "dive_slate.h"

#include <algorithm>
#include <cmath>

#include "core/engine/model_parameters.h"
#include "core/graphics/graph_layout.h"
#include "core/planner/runtime_table.h"
#include "core/text/number_format.h"
#include "core/text/rounding.h"

namespace marelos {
namespace {

constexpr std::int32_t kBlack = 0;
constexpr std::int32_t kWhite = 0xFFFFFF;
constexpr double kTwipsPerPoint = 20;
constexpr double kLargestTable = 16;  // points
constexpr double kSmallestTable = 12;
constexpr double kSmallestWideTable = 8;  // for more plans than the page is wide at 12 pt
constexpr double kTextSize = 12;
constexpr double kSmallestText = 9;  // the facts and warnings, read before the dive
constexpr double kTitleSize = 18;
constexpr double kPadding = 60;  // twips around the text of a cell
constexpr double kGap = 200;     // twips between the blocks of the page
constexpr int kThin = 1;
constexpr int kHeavy = 4;
constexpr const char* kPageFull = "Weiteres passt nicht auf die Seite: siehe Fenster Tauchplan.";

std::string Whole(double value, std::string_view separator) {
    return FormatGeneral(RoundHalfEven(value), separator);
}

// The profile's file name without its folder and ending: what the diver called the plan.
std::string TitleOf(std::string_view fileName) {
    std::string_view name = fileName.substr(fileName.find_last_of('/') + 1);
    if (const std::size_t dot = name.rfind('.'); dot != std::string_view::npos && dot > 0)
        name = name.substr(0, dot);
    return name.empty() ? "Tauchplan ohne Namen" : "Tauchplan " + std::string(name);
}

// The maximum operating depth at a ppO2 limit, rounded down to a tenth of a metre: the diver's
// limit, which a switch depth rounded to 3 m may pass by a little (O2 from 6 m: MOD 5,9 m).
std::string Mod(const BreathingGas& gas, double ppO2, const Settings& settings) {
    const double depth = DepthAtPpO2(gas, ppO2, settings.airPressure, settings.planner.Water());
    return FormatGeneral(std::floor(depth * 10 + 1e-9) / 10, settings.decimalSeparator);
}

std::vector<std::string> Facts(const std::vector<ContingencyPlan>& plans,
                               const Settings& settings) {
    const PlannerSettings& p = settings.planner;
    const std::string_view separator = settings.decimalSeparator;
    const Schedule& plan = plans.front().schedule;
    std::vector<std::string> facts = {
        "Modell " + plan.model + " · " + (p.freshWater ? "Süßwasser" : "Salzwasser") +
        " · Aufstieg " + FormatGeneral(p.ascentRate, separator) + " m/min · letzter Stopp " +
        std::to_string(p.lastStop) + " m · Gaswechsel " +
        FormatGeneral(p.switchMinutes, separator) + " min"};
    std::string gases = "Gase: " + GasName(plan.start.bottomGas, separator) + " am Boden (MOD " +
                        Mod(plan.start.bottomGas, p.maxPpO2Bottom, settings) + " m bei " +
                        FormatGeneral(p.maxPpO2Bottom, separator) + " bar)";
    for (const PlannedGas& gas : DecoGasesOf(p, settings.airPressure)) {
        gases += " · " + GasName(gas.gas, separator) + " ab " + FormatGeneral(gas.switchDepth) +
                 " m (MOD " + Mod(gas.gas, p.maxPpO2Deco, settings) + " m)";
    }
    facts.push_back(gases + "; MOD der Dekogase bei " + FormatGeneral(p.maxPpO2Deco, separator) +
                    " bar");
    if (!plans.front().gas) {
        facts.emplace_back("Flaschen: keine eingetragen (Tauchgang berechnen, Gasplanung)");
        return facts;
    }
    const GasPlan& gas = *plans.front().gas;
    for (const CylinderUse& use : gas.cylinders) {
        const Cylinder& c = use.cylinder;
        std::string line = "Flasche " + c.name + ": " + FormatGeneral(c.litres, separator) +
                           " l, " + GasName(c.gas, separator) + ", Fülldruck " +
                           Whole(c.fillBar, separator) + " bar, Reserve " +
                           Whole(use.pressures.reserve, separator) + " bar";
        if (use.pressures.turn)
            line += ", Umkehrdruck " + Whole(*use.pressures.turn, separator) + " bar";
        if (use.bottom && gas.turn) {
            line += " (Laufzeit " + RunTimeText(gas.turn->runTime, separator) + " min)";
        }
        facts.push_back(line + "; Rest im Plan " + Whole(use.pressures.end, separator) + " bar");
    }
    return facts;
}

// Each warning once, after the numbers of the plans it concerns.
std::vector<std::string> Warnings(const std::vector<ContingencyPlan>& plans) {
    std::vector<std::pair<std::string, std::vector<std::size_t>>> distinct;
    for (std::size_t i = 0; i < plans.size(); ++i) {
        for (const std::string& warning : plans[i].Warnings()) {
            auto found = std::find_if(distinct.begin(), distinct.end(),
                                      [&](const auto& d) { return d.first == warning; });
            if (found == distinct.end()) {
                distinct.push_back({warning, {}});
                found = distinct.end() - 1;
            }
            if (found->second.empty() || found->second.back() != i + 1)
                found->second.push_back(i + 1);
        }
    }
    std::vector<std::string> warnings;
    for (const auto& [text, numbers] : distinct) {
        std::string which = numbers.size() == plans.size() ? "Alle" : "";
        for (std::size_t k = 0; which != "Alle" && k < numbers.size(); ++k)
            which += (k == 0 ? "" : ", ") + std::to_string(numbers[k]);
        warnings.push_back(which + ": " + text);
    }
    return warnings;
}

CanvasFont Font(double size, bool bold = false) {
    return {"Arial", size, bold};
}

// The words of a text in lines no wider than `width`; a word wider than that stands alone.
std::vector<std::string> Wrapped(const std::string& text, const CanvasFont& font, double width) {
    std::vector<std::string> lines;
    std::string line;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = std::min(text.find(' ', at), text.size());
        const std::string word = text.substr(at, end - at);
        at = end + 1;
        const std::string longer = line.empty() ? word : line + " " + word;
        if (!line.empty() && TextWidth(longer, font) > width) {
            lines.push_back(line);
            line = word;
        } else {
            line = longer;
        }
    }
    if (!line.empty() || lines.empty()) lines.push_back(line);
    return lines;
}

double LongestWord(const std::string& text, const CanvasFont& font) {
    double longest = 0;
    for (const std::string& word : Wrapped(text, font, 0))
        longest = std::max(longest, TextWidth(word, font));
    return longest;
}

// The lines of a cell: its run time, and the gas below it where the cell names one.
std::vector<std::string> CellLines(const std::string& cell) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    for (std::size_t end; (end = cell.find('\n', at)) != std::string::npos; at = end + 1)
        lines.push_back(cell.substr(at, end - at));
    lines.push_back(cell.substr(at));
    return lines;
}

std::size_t LineCount(const ContingencyRow& row) {
    std::size_t count = 1;
    for (const std::string& cell : row.cells)
        count = std::max(count, CellLines(cell).size());
    return count;
}

// Where the columns and rows of the table go at one font size.
struct TableLayout {
    CanvasFont cell;
    CanvasFont head;
    std::vector<double> widths;  // label, gas, one per plan
    std::vector<std::vector<std::string>> headLines;
    double headHeight = 0;

    double Width() const {
        double total = 0;
        for (const double w : widths)
            total += w;
        return total;
    }
    double RowHeight(const ContingencyRow& row) const {
        return TextHeight(cell) * static_cast<double>(LineCount(row)) + 2 * kPadding;
    }
    double Height(const ContingencyTable& table) const {
        double height = headHeight;
        for (const auto* rows : {&table.rows, &table.gasRows}) {
            for (const ContingencyRow& row : *rows)
                height += RowHeight(row);
        }
        return height;
    }
};

// The table at `size` points, its plan columns widened to share what is left of `pageWidth`, so
// that their heads wrap into fewer lines.
TableLayout LayOut(const ContingencyTable& table, double size, double pageWidth) {
    TableLayout t{Font(size), Font(size, true), {}, {}, 0};
    const auto fit = [&](double& width, const std::string& text, const CanvasFont& font) {
        width = std::max(width, TextWidth(text, font) + 2 * kPadding);
    };
    double label = 0, gas = 0;
    fit(label, "Tiefe m", t.head);
    fit(gas, "Gas", t.head);
    for (const ContingencyRow& row : table.rows) {
        fit(label, row.label, t.cell);
        fit(gas, row.gas, t.head);  // a switch is set in bold
    }
    double gasLabel = 0;  // a cylinder's label spans the depth and the gas columns
    for (const ContingencyRow& row : table.gasRows)
        fit(gasLabel, row.label, t.cell);
    gas = std::max(gas, gasLabel - label);
    t.widths = {label, gas};
    for (std::size_t p = 0; p < table.heads.size(); ++p) {
        double width = LongestWord(table.heads[p], t.head) + 2 * kPadding;
        for (const auto* rows : {&table.rows, &table.gasRows}) {
            for (const ContingencyRow& row : *rows) {
                for (const std::string& line : CellLines(row.cells[p]))
                    fit(width, line, t.cell);
            }
        }
        t.widths.push_back(width);
    }
    // What is left of the page goes to the narrowest plan columns first, up to a common width.
    const double room = pageWidth - t.widths[0] - t.widths[1];
    std::vector<double> plansWidths(t.widths.begin() + 2, t.widths.end());
    std::sort(plansWidths.begin(), plansWidths.end(), std::greater<>());
    double level = 0;
    double wider = 0;  // the sum of the columns wider than the level
    for (std::size_t k = 0; k < plansWidths.size(); ++k) {
        level = (room - wider) / static_cast<double>(plansWidths.size() - k);
        if (plansWidths[k] <= level) break;
        wider += plansWidths[k];
    }
    std::size_t headLineCount = 1;
    for (std::size_t p = 0; p < table.heads.size(); ++p) {
        double& width = t.widths[p + 2];
        width = std::max(width, level);
        t.headLines.push_back(Wrapped(table.heads[p], t.head, width - 2 * kPadding));
        headLineCount = std::max(headLineCount, t.headLines.back().size());
    }
    t.headHeight = TextHeight(t.head) * static_cast<double>(headLineCount) + 2 * kPadding;
    return t;
}

class SlatePainter {
  public:
    explicit SlatePainter(Canvas& canvas) : canvas_(canvas) {}

    double y = 0;

    // Texts wrapped to the page's width, as many as the page holds; what does not fit is said.
    void Lines(const std::vector<std::string>& texts, const CanvasFont& font) {
        const double line = TextHeight(font);
        for (const std::string& text : texts) {
            for (const std::string& part : Wrapped(text, font, canvas_.Width())) {
                if (y + 2 * line > canvas_.Height()) {
                    canvas_.Text(0, y, kPageFull, Font(font.size, true), kBlack);
                    y = canvas_.Height();
                    return;
                }
                canvas_.Text(0, y, part, font, kBlack);
                y += line;
            }
        }
    }

    void Table(const ContingencyTable& table, const TableLayout& t) {
        const double top = y;
        const double right = t.Width();
        std::vector<double> x = {0};
        for (const double w : t.widths)
            x.push_back(x.back() + w);
        // The head: the columns' names, each plan's wrapped.
        canvas_.Text(kPadding, y + kPadding, "Tiefe m", t.head, kBlack);
        canvas_.Text(x[1] + kPadding, y + kPadding, "Gas", t.head, kBlack);
        for (std::size_t p = 0; p < t.headLines.size(); ++p) {
            double lineY = y + kPadding;
            for (const std::string& line : t.headLines[p]) {
                canvas_.Text(x[p + 2] + kPadding, lineY, line, t.head, kBlack);
                lineY += TextHeight(t.head);
            }
        }
        canvas_.Line(0, top, right, top, kHeavy, kBlack);
        y += t.headHeight;
        canvas_.Line(0, y, right, y, kHeavy, kBlack);
        for (const ContingencyRow& row : table.rows)
            Row(row, t, x, false);
        const double stopsBottom = y;
        canvas_.Line(0, y, right, y, kHeavy, kBlack);
        for (const ContingencyRow& row : table.gasRows)
            Row(row, t, x, true);
        canvas_.Line(0, y, right, y, kHeavy, kBlack);
        for (std::size_t i = 0; i < x.size(); ++i) {
            const bool framed = (i >= 2 && table.marked[i - 2]) ||
                                (i >= 3 && table.marked[i - 3]) || i == 0 || i + 1 == x.size();
            // A cylinder's label spans the depth and the gas columns.
            canvas_.Line(x[i], top, x[i], i == 1 ? stopsBottom : y, framed ? kHeavy : kThin,
                         kBlack);
        }
    }

  private:
    void Row(const ContingencyRow& row, const TableLayout& t, const std::vector<double>& x,
             bool gasRow) {
        const double textY = y + kPadding;
        canvas_.Text(kPadding, textY, row.label, t.cell, kBlack);
        if (!gasRow) {
            canvas_.Text(x[1] + kPadding, textY, row.gas, row.gasSwitch ? t.head : t.cell, kBlack);
        }
        for (std::size_t p = 0; p < row.cells.size(); ++p) {
            double lineY = textY;
            for (const std::string& line : CellLines(row.cells[p])) {
                canvas_.Text(x[p + 2] + kPadding, lineY, line, t.cell, kBlack);
                lineY += TextHeight(t.cell);
            }
        }
        y += t.RowHeight(row);
        canvas_.Line(0, y, x.back(), y, kThin, kBlack);
    }

    Canvas& canvas_;
};

double LinesHeight(const std::vector<std::string>& texts, const CanvasFont& font, double width) {
    double height = 0;
    for (const std::string& text : texts)
        height += TextHeight(font) * static_cast<double>(Wrapped(text, font, width).size());
    return height;
}

}  // namespace

DiveSlate DiveSlateOf(std::string_view profileFileName, const std::vector<ContingencyPlan>& plans,
                      const Settings& settings) {
    DiveSlate slate;
    slate.title = TitleOf(profileFileName);
    if (plans.empty()) return slate;
    slate.facts = Facts(plans, settings);
    slate.table = ContingencyTableOf(plans, settings.decimalSeparator);
    for (std::size_t p = 0; p < slate.table.heads.size(); ++p)
        slate.table.heads[p] = std::to_string(p + 1) + " " + slate.table.heads[p];
    slate.warnings = Warnings(plans);
    return slate;
}

void DrawDiveSlate(Canvas& canvas, const DiveSlate& slate) {
    canvas.Clear(kWhite);
    const double width = canvas.Width();
    // The largest table that fits beside everything else, down to the smallest size a diver
    // reads under water, and the facts and warnings smaller rather than left off the page; the
    // table smaller still only where it would not fit across the page.
    double textSize = kTextSize;
    double size = kLargestTable;
    TableLayout table;
    for (;; --textSize) {
        const double above = TextHeight(Font(kTitleSize, true)) +
                             LinesHeight(slate.facts, Font(textSize), width) + 2 * kGap;
        // and a line to spare, which the painter keeps free for saying the page is full
        const double below = LinesHeight(slate.table.notes, Font(textSize, true), width) +
                             LinesHeight(slate.warnings, Font(textSize), width) + 2 * kGap +
                             TextHeight(Font(textSize, true));
        const auto fits = [&] {
            return table.Width() <= width &&
                   above + table.Height(slate.table) + below <= canvas.Height();
        };
        size = kLargestTable;
        table = LayOut(slate.table, size, width);
        while (size > kSmallestTable && !fits())
            table = LayOut(slate.table, --size, width);
        if (fits() || textSize <= kSmallestText) break;
    }
    while (size > kSmallestWideTable && table.Width() > width)
        table = LayOut(slate.table, --size, width);
    const CanvasFont text = Font(textSize);
    const CanvasFont bold = Font(textSize, true);

    SlatePainter page(canvas);
    canvas.Text(0, 0, slate.title, Font(kTitleSize, true), kBlack);
    page.y = TextHeight(Font(kTitleSize, true));
    page.Lines(slate.facts, text);
    page.y += kGap;
    if (!slate.table.rows.empty()) page.Table(slate.table, table);
    page.y += kGap;
    page.Lines(slate.table.notes, bold);
    page.Lines(slate.warnings, text);
}

}  // namespace marelos
