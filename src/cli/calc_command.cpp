#include "calc_command.h"

#include <memory>
#include <vector>

#include "cli/json_writer.h"
#include "core/engine/calculation.h"
#include "core/engine/oxygen.h"
#include "core/profile/profile_file.h"
#include "core/profile/profile_text.h"
#include "core/settings/settings.h"
#include "core/text/number_format.h"
#include "core/ui/ui.h"
#include "core/ui/unattended_ui.h"
#include "core/workspace.h"
#include "platform/qt_convert.h"

namespace marelos {
namespace {

void WriteCompartments(JsonWriter& json, std::string_view key, const CompartmentValues& values) {
    json.Key(key);
    json.BeginArray();
    for (const double value : values)
        json.Number(value);
    json.EndArray();
}

void WriteResult(JsonWriter& json, const Workspace& workspace, const UnattendedUi& ui) {
    const DiveProfile& profile = workspace.profile;
    const ComputedProfile& computed = workspace.computed;
    json.BeginObject();
    json.Key("messages");
    json.BeginArray();
    for (const std::string& line : ui.lines)
        json.String(line);
    json.EndArray();
    json.Member("computedCount", static_cast<long long>(computed.computedCount));

    json.Key("lines");
    json.BeginArray();
    for (int i = 1; i < profile.nextPoint && i <= kProfileTableEnd; ++i) {
        const ProfileLine& line = profile.lines[i];
        json.BeginObject();
        json.Member("depth", line.depth);
        json.Member("tDelta", line.tDelta);
        json.Member("tTotal", line.tTotal);
        json.Key("n2Percent");
        json.Number(line.n2Percent);
        json.Member("hePercent", line.hePercent);
        json.EndObject();
    }
    json.EndArray();

    json.Key("records");
    json.BeginArray();
    for (int j = 1; j < computed.computedCount && j <= ComputedProfile::kTableEnd; ++j) {
        const ComputedMinute& record = computed.records[j];
        json.BeginObject();
        json.Member("depth", record.depth);
        json.Member("toleratedPressure", record.toleratedPressure);
        json.Key("n2Percent");
        json.Number(record.n2Percent);
        json.Member("hePercent", record.hePercent);
        json.Member("otu", record.otu);
        json.Member("cnsDive", record.cnsDive);
        json.Member("cnsDay", record.cnsDay);
        WriteCompartments(json, "pN2", record.pN2);
        WriteCompartments(json, "pHe", record.pHe);
        WriteCompartments(json, "pTotal", record.pTotal);
        json.EndObject();
    }
    json.EndArray();

    json.Key("stops");
    json.BeginArray();
    for (int k = kStopTableEnd; k >= 1; --k) {
        const DecoStop& stop = profile.stops[k];
        if (stop.time == 0) continue;
        json.BeginObject();
        json.Member("index", static_cast<long long>(k));
        json.Member("depth", static_cast<long long>(stop.depth));
        json.Member("time", static_cast<long long>(stop.time));
        json.EndObject();
    }
    json.EndArray();

    json.Key("totals");
    json.BeginObject();
    json.Member("otu", static_cast<long long>(static_cast<long long>(TotalOtu(computed))));
    json.Member("cnsDive", static_cast<long long>(static_cast<long long>(DiveCns(computed))));
    json.Member("cnsDay", static_cast<long long>(static_cast<long long>(DailyCns(computed))));
    json.Member("maxDepth", static_cast<long long>(computed.last.maxDepth));
    json.Member("diveMinutes", static_cast<long long>(computed.last.diveMinutes));
    json.Member("violations", static_cast<long long>(computed.last.violations));
    json.EndObject();
    json.EndObject();
}

// The text output: the same content as the JSON, in sections with a German heading and
// TAB-separated columns, numbers with the user's decimal separator.
class CalcText {
  public:
    CalcText(std::ostream& out, std::string separator)
        : out_(out), separator_(std::move(separator)) {}

    void Write(const Workspace& workspace, const UnattendedUi& ui) {
        for (const std::string& line : ui.lines)
            out_ << line << "\n";
        WriteLines(workspace.profile);
        WriteRecords(workspace.computed);
        if (!Stopped(workspace.computed.last)) WriteStops(workspace.profile);
        WriteTotals(workspace.computed);
    }

  private:
    void Heading(std::string_view title) { out_ << "\n" << title << "\n"; }

    void Cells(std::initializer_list<double> values) {
        const char* tab = "";
        for (const double value : values) {
            out_ << tab << FormatGeneral(value, separator_);
            tab = "\t";
        }
    }

    void WriteLines(const DiveProfile& profile) {
        Heading("Profilzeilen");
        out_ << kEditorHeader << "\n";
        for (int i = 1; i < profile.nextPoint && i <= kProfileTableEnd; ++i) {
            const ProfileLine& line = profile.lines[i];
            Cells({line.depth, line.tDelta, line.tTotal, line.n2Percent, line.hePercent});
            out_ << "\n";
        }
    }

    void WriteRecords(const ComputedProfile& computed) {
        Heading("Minutenwerte (Drücke in bar, Kompartimente 0 bis 16)");
        out_ << "Minute\tTiefe\tToleranzdruck\tN2%\tHe%\tOTU\tCNS Tauchgang %\tCNS Tag %";
        for (const char* gas : {"pN2", "pHe", "pGesamt"}) {
            for (int c = 0; c <= kLastCompartment; ++c)
                out_ << "\t" << gas << " " << c;
        }
        out_ << "\n";
        for (int j = 1; j < computed.computedCount && j <= ComputedProfile::kTableEnd; ++j) {
            const ComputedMinute& record = computed.records[j];
            Cells({static_cast<double>(j), record.depth, record.toleratedPressure, record.n2Percent,
                   record.hePercent, record.otu, record.cnsDive, record.cnsDay});
            for (const CompartmentValues* values : {&record.pN2, &record.pHe, &record.pTotal}) {
                for (const double value : *values)
                    out_ << "\t" << FormatGeneral(value, separator_);
            }
            out_ << "\n";
        }
    }

    void WriteStops(const DiveProfile& profile) {
        Heading("Dekostufen");
        out_ << "Tiefe m\tMinuten\n";
        for (int k = kStopTableEnd; k >= 1; --k) {
            const DecoStop& stop = profile.stops[k];
            if (stop.time == 0) continue;
            Cells({static_cast<double>(stop.depth), static_cast<double>(stop.time)});
            out_ << "\n";
        }
    }

    void WriteTotals(const ComputedProfile& computed) {
        Heading("Summen");
        // Whole numbers, as the message list and the JSON give them.
        out_ << "OTU\t" << static_cast<long long>(TotalOtu(computed)) << "\n"
             << "CNS Tauchgang %\t" << static_cast<long long>(DiveCns(computed)) << "\n"
             << "CNS Tag %\t" << static_cast<long long>(DailyCns(computed)) << "\n"
             << "Maximale Tiefe m\t" << computed.last.maxDepth << "\n"
             << "Tauchzeit min\t" << computed.last.diveMinutes << "\n"
             << "Minuten über dem Toleranzdruck\t" << computed.last.violations << "\n";
    }

    std::ostream& out_;
    const std::string separator_;
};

int RunCalc(const std::string& file, bool json, const CommandContext& c) {
    UnattendedUi ui;
    const auto workspace = LoadProfileForCommand(file, c.store, c.programFolder, ui, c.err);
    if (!workspace) return kExitFailure;
    if (json) {
        JsonWriter writer(c.out);
        WriteResult(writer, *workspace, ui);
        c.out << "\n";
    } else {
        CalcText(c.out, UserDecimalSeparator()).Write(*workspace, ui);
    }
    return ExitForCalculation(workspace->computed.last, c.err);
}

}  // namespace

int ExitForCalculation(const CalculationResult& result, std::ostream& err) {
    if (!Stopped(result)) return kExitOk;
    err << IncompleteCalculationMessage(result) << "\n";
    return kExitIncomplete;
}

Settings CommandSettings(SettingsStore& store, const std::string& programFolder) {
    Settings settings = LoadSettings(store, programFolder);
    settings.nitroxDecoStart = StoredInteger(ReadSetting(store, keys::kNitroxDecoStart));
    return settings;
}

std::unique_ptr<Workspace> LoadProfileForCommand(const std::string& file, SettingsStore& store,
                                                 const std::string& programFolder, UnattendedUi& ui,
                                                 std::ostream& err) {
    auto workspace =
        std::make_unique<Workspace>(WorkspaceFromSettings(CommandSettings(store, programFolder)));
    if (!ReadProfileFile(*workspace, store, ui, file)) {
        err << (ui.lastError.empty() ? "Die Datei " + file + " kann nicht geladen werden."
                                     : ui.lastError)
            << "\n";
        return nullptr;
    }
    return workspace;
}

void AddCalcCommand(CommandSet& commands) {
    struct Arguments {
        std::string file;
        bool json = false;
    };
    const auto args = std::make_shared<Arguments>();
    CLI::App& calc = commands.Add(
        "calc", "berechnet ein Tauchprofil",
        [args](const CommandContext& c) { return RunCalc(args->file, args->json, c); });
    AddOperand(calc, "DATEI", args->file, "das Tauchprofil (.mrp)");
    calc.add_flag("--json", args->json, "als ein JSON-Objekt (Zahlen immer mit Punkt)");
    calc.footer(
        "Ausgegeben werden die Meldungen, die Profilzeilen, ein Datensatz je Minute (Tiefe,\n"
        "tolerierter Druck, Gas, Sauerstoffdosen, Gewebedrücke), die Dekostufen und die Summen.");
}

}  // namespace marelos
