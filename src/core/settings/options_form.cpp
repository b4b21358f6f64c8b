#include "options_form.h"

#include <cmath>

#include "core/engine/model_parameters.h"
#include "core/profile/profile_file.h"
#include "core/settings/settings.h"
#include "core/text/fields.h"
#include "core/text/number_format.h"
#include "core/text/rounding.h"
#include "core/text/val.h"

namespace marelos {
namespace {

constexpr const char* kConstantAboveMaximumQuestion =
    "Achtung! Der eingestellte konstante ppO2 ist größer als der maximal erlaubte Wert. Wollen "
    "Sie die korrigieren?";
constexpr const char* kConstantSetToMaximum =
    "Der Wert des konstanten ppO2 wurde auf den Maximalwert eingestellt.";

// A field's number with a decimal comma taken as a point.
double Parsed(const std::string& text) {
    return StoredNumber(CommaToPoint(text));
}

std::string Flag(bool on) {
    return on ? "1" : "0";
}

std::string TrueFalse(bool on) {
    return on ? "True" : "False";
}

std::int16_t Int16Of(const std::string& text) {
    return RoundToInt16(StoredNumber(text));
}

std::int32_t Int32Of(const std::string& text) {
    return RoundToInt32(StoredNumber(text));
}

bool StoredFlag(const SettingsStore& store, const SettingKey& key) {
    return StoredNumber(ReadSetting(store, key)) != 0;
}

// The serial settings the dialog offers, each replaced by the usual one when it is outside.
std::string PortOr2(std::int32_t port) {
    return port >= 1 && port <= 4 ? std::to_string(port) : "2";
}
std::string DataBitsOr8(std::int32_t bits) {
    return bits == 7 || bits == 8 ? std::to_string(bits) : "8";
}
std::string StopBitsOr1(std::int32_t bits) {
    return bits == 1 || bits == 2 ? std::to_string(bits) : "1";
}
std::string BaudRateOr2400(std::int32_t rate) {
    return IsAllowedBaudRate(rate) ? std::to_string(rate) : "2400";
}

void FillCompartment0(OptionsFields& f, const ModelParameters& model) {
    f.useC0 = model.firstCompartment == 0;
    f.compartment0 = {FormatGeneral(model.halfTimeN2[0]), FormatGeneral(model.aN2[0]),
                      FormatGeneral(model.bN2[0]),        FormatGeneral(model.halfTimeHe[0]),
                      FormatGeneral(model.aHe[0]),        FormatGeneral(model.bHe[0])};
}

// A numeric field of the dialog and the setting whose load rule judges it.
struct NumericField {
    std::string& text;
    const char* name;
    const char* label;
    int tab;
    const SettingKey& key;
    bool optional = false;  // empty means "not set"
};

std::vector<NumericField> NumericFields(OptionsFields& f) {
    using namespace keys;
    return {
        {f.airPressure, "txtAirPressure", "Luftdruck am Tauchort [mbar]", 0, kAirPressure},
        {f.airPressureStd, "txtAirPressureStd", "Luftdruck auf Meereshöhe (NN)", 0,
         kAirPressureStandard},
        {f.airLitre, "txtAirLitre", "Atemminutenvolumen an der Oberfläche (Liter)", 0,
         kAirConsumption},
        {f.tankSize, "cmbTankSize", "Flaschenvolumen [Liter]", 0, kTankSize},
        {f.tankPressure, "cmbTankPressure", "max. Druck der Flasche [bar]", 0, kTankPressure},
        {f.cabinPressure, "txtCabinPressure", "Kabinendruck im Flugzeug", 0, kCabinPressure},
        {f.surfaceInterval, "txtSurfaceInterval", "Oberflächenpause nach jedem Tauchgang", 0,
         kSurfaceInterval},
        {f.interval, "txtInterval",
         "Zeitintervall beim automatischen Ablaufenlassen des Tauchgangs in Millisekunden [ms]", 0,
         kInterval},
        {f.n2PerCentSurface, "txtN2PerCentSurface",
         "Stickstoffanteil im Atemgas [%] während der Oberflächenpause (OFP)", 1,
         kN2PerCentSurface},
        {f.n2PerCentDecompression, "txtN2PerCentDecompression",
         "N2-Anteil während der Dekompressionsphase", 1, kN2PerCentDecompression},
        {f.hePerCentDecompression, "txtHePerCentDecompression",
         "He-Anteil während der Dekompressionsphase", 1, kHePerCentDecompression},
        {f.decoGasStart, "txtDecoGasStart", "Dieses Nitrox ab … m verwenden", 1, kNitroxDecoStart,
         true},
        {f.initialPpN2, "txtInitialppN2", "ppN2 in den Geweben zu Beginn des Tauchgangs", 1,
         kInitialppN2},
        {f.deepStopTime, "txtDeepStopTime", "Tiefen Dekompressionsstop von x min. einlegen", 1,
         kDeepStopTime},
        {f.maxPpO2, "txtMaxPPO2", "Maximaler ppO2", 2, kMaxPPO2},
        {f.minPpO2, "txtMinPPO2", "Minimaler ppO2", 2, kMinPPO2},
        {f.maxPpN2, "txtMaxPPN2", "Maximaler ppN2", 2, kMaxPPN2},
        {f.constPpO2, "txtConstppO2", "Konstanter ppO2 (mit F3 einstellen)", 2, kConstantppO2},
        {f.circleDiameter, "cmbCircleDiameter",
         "Durchmesser des Markierungskreises im Tauchprofildiagramm in Bildpunkten", 3,
         kCircleDiameter},
        {f.lineWidth, "cmbLineWidth", "Linienstärke der Linien (in Pixel)", 3, kLineWidth},
        {f.circleLineWidth, "cmbCircleLineWidth", "Linienstärke des Markierungskreis (in Pixel)", 3,
         kCircleLineWidth},
        {f.compartment0[0], "txtC0T05N2", "Kompartiment 0, Halbwertszeit N2 [min]", 4, kC0T05N2},
        {f.compartment0[1], "txtC0aN2", "Kompartiment 0, a N2", 4, kC0aN2},
        {f.compartment0[2], "txtC0bN2", "Kompartiment 0, b N2", 4, kC0bN2},
        {f.compartment0[3], "txtC0T05He", "Kompartiment 0, Halbwertszeit He [min]", 4, kC0T05He},
        {f.compartment0[4], "txtC0aHe", "Kompartiment 0, a He", 4, kC0aHe},
        {f.compartment0[5], "txtC0bHe", "Kompartiment 0, b He", 4, kC0bHe},
        {f.dataBits, "cmbDataBits", "Datenbits", 5, kDataBits},
        {f.stopBits, "cmbStopBits", "StopBits", 5, kStopBits},
        {f.baudRate, "cmbBaudRate", "Baud", 5, kBaudRate},
        {f.comDelay, "txtCOMDelay", "COM-Verzögerung", 5, kCOMDelay},
        {f.planner.gfLow, "txtGFLow", "GF low", kPlannerTab, kGFLow},
        {f.planner.gfHigh, "txtGFHigh", "GF high", kPlannerTab, kGFHigh},
        {f.planner.ascentRate, "txtAscentRate", "Aufstiegsgeschwindigkeit [m/min]", kPlannerTab,
         kAscentRate},
        {f.planner.lastStop, "cmbLastStop", "Letzter Stopp [m]", kPlannerTab, kLastStop},
        {f.planner.switchMinutes, "txtSwitchMinutes", "Minuten je Gaswechsel", kPlannerTab,
         kSwitchMinutes},
        {f.planner.safetyStopMinutes, "txtSafetyStopMinutes", "Sicherheitsstopp [min]", kPlannerTab,
         kSafetyStopMinutes},
        {f.planner.maxPpO2Bottom, "txtMaxPpO2Bottom", "ppO2 höchstens, Grundphase [bar]",
         kPlannerTab, kMaxPpO2Bottom},
        {f.planner.maxPpO2Deco, "txtMaxPpO2Deco", "ppO2 höchstens, Dekompression [bar]",
         kPlannerTab, kMaxPpO2Deco},
        {f.planner.minPpO2, "txtPlannerMinPpO2", "ppO2 mindestens [bar]", kPlannerTab, kMinPpO2},
        {f.planner.endLimit, "txtEndLimit", "END höchstens [m]", kPlannerTab, kEndLimit},
        {f.planner.densityWarn, "txtDensityWarn", "Gasdichte, Warnung ab [g/l]", kPlannerTab,
         kDensityWarn},
        {f.planner.densityLimit, "txtDensityLimit", "Gasdichte, Grenze [g/l]", kPlannerTab,
         kDensityLimit},
        {f.planner.vpmConservatism, "cmbVpmConservatism", "Konservativität VPM-B", kPlannerTab,
         kVpmConservatism},
        {f.planner.extraDepth, "txtExtraDepth", "Notfallplan tiefer um [m]", kPlannerTab,
         kExtraDepth},
        {f.planner.extraMinutes, "txtExtraMinutes", "Notfallplan länger um [min]", kPlannerTab,
         kExtraMinutes},
    };
}

// The port list offers "Keine" besides the numbers; "OK" turns it into port 2.
constexpr std::string_view kNoPort = "Keine";

std::string Trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return std::string(text.substr(first, text.find_last_not_of(" \t") - first + 1));
}

std::string Number(double value) {
    return FormatGeneral(value);
}

// What a range allows, as the end of a message: "eine Zahl über 0 bis 2000".
std::string RangeText(const ValueRange& range) {
    if (!range.only.empty()) {
        std::string values;
        for (const double value : range.only)
            values += (values.empty() ? "" : ", ") + Number(value);
        return "einer der Werte " + values;
    }
    const bool low = std::isfinite(range.low);
    const bool high = std::isfinite(range.high);
    std::string text = "eine Zahl";
    if (low && range.aboveLow) text += " über " + Number(range.low);
    if (low && !range.aboveLow) text += (high ? " von " : " ab ") + Number(range.low);
    if (high) text += (low ? " bis " : " bis höchstens ") + Number(range.high);
    if (range.notZero) text += " außer 0";
    return text;
}

OptionsProblem ProblemOf(const NumericField& field, std::string_view what) {
    return {field.name, field.tab,
            "„" + std::string(field.label) + "“: " + std::string(what) + ". Erlaubt ist " +
                RangeText(field.key.range) + "."};
}

std::optional<OptionsProblem> FieldProblem(const NumericField& field) {
    const std::string& text = field.text;
    if (text.empty()) {
        if (field.optional) return std::nullopt;
        return ProblemOf(field, "Das Feld ist leer");
    }
    if (!IsDecimalNumber(text)) return ProblemOf(field, "„" + text + "“ ist keine Zahl");
    if (!Keeps(field.key, Val(text))) return ProblemOf(field, text + " ist nicht möglich");
    return std::nullopt;
}

// A decimal comma read as a point and the blanks around a number dropped, as the numbers are
// stored.
void NormalizeNumbers(OptionsFields& f) {
    for (const NumericField& field : NumericFields(f))
        field.text = Trimmed(CommaToPoint(field.text));
    f.commPort = Trimmed(f.commPort);
    f.device = Trimmed(f.device);
}

std::optional<OptionsProblem> FirstProblem(OptionsFields& f) {
    for (const NumericField& field : NumericFields(f)) {
        if (auto problem = FieldProblem(field)) return problem;
    }
    if (!IsPossibleGas(Val(f.n2PerCentDecompression), Val(f.hePerCentDecompression))) {
        return OptionsProblem{"txtHePerCentDecompression", 1,
                              "„He-Anteil während der Dekompressionsphase“: N2- und He-Anteil "
                              "zusammen dürfen höchstens 100 % sein."};
    }
    if (const auto planner = CheckPlannerFields(f.planner, Val(f.airPressure))) {
        return OptionsProblem{planner->field, kPlannerTab, planner->message};
    }
    if (f.commPort != kNoPort &&
        !(IsDecimalNumber(f.commPort) && Keeps(keys::kPort, Val(f.commPort)))) {
        return OptionsProblem{"cmbCommPort", 5,
                              "„COM“: „" + f.commPort + "“ ist nicht möglich. Erlaubt ist " +
                                  RangeText(keys::kPort.range) + " oder „Keine“."};
    }
    if (!f.device.empty() && f.device.front() != '/') {
        return OptionsProblem{"cmbDevice", 5,
                              "„Anschluss“: „" + f.device +
                                  "“ ist kein Gerätepfad. Geben Sie den vollständigen Pfad an, "
                                  "zum Beispiel /dev/ttyUSB0, oder lassen Sie das Feld leer, "
                                  "damit die COM-Nummer gilt."};
    }
    return std::nullopt;
}

std::optional<OptionsProblem> FactorProblem(const std::string& text, const char* name,
                                            const char* label) {
    static constexpr SettingKey kFactor{"", "", StoredForm::Number, {}, Positive()};
    std::string number = Trimmed(CommaToPoint(text));
    return FieldProblem({number, name, label, 4, kFactor});
}

Compartment0Values Compartment0From(const OptionsFields& f) {
    return {Parsed(f.compartment0[0]), Parsed(f.compartment0[1]), Parsed(f.compartment0[2]),
            Parsed(f.compartment0[3]), Parsed(f.compartment0[4]), Parsed(f.compartment0[5])};
}

}  // namespace

std::string EndFromMaxPpN2(const std::string& maxPpN2Text) {
    const double m = Parsed(maxPpN2Text);
    return FormatGeneral(Int((m / 0.78 - 1) * 9.81 * 10) / 10);
}

std::string MaxPpN2FromEnd(const std::string& endText) {
    const double e = Parsed(endText);
    return FormatGeneral(Int((e / 9.81 + 1) * 0.78 * 100) / 100);
}

void SetDecoStandardValues(OptionsFields& fields) {
    fields.n2PerCentSurface = "78";
    fields.n2PerCentDecompression = "78";
    fields.hePerCentDecompression = "0";
    fields.initialPpN2 = "0.78";
}

OptionsFields OpenOptions(Workspace& workspace, const SettingsStore& store) {
    const Settings& s = workspace.settings;
    OptionsFields f;
    f.tab = StoredInteger(ReadSetting(store, keys::kLastOptionsTab));

    // Cylinder, then the serial line, then everything else.
    f.tankSize = std::to_string(s.tankSize);
    f.tankPressure = std::to_string(s.tankPressure);
    f.commPort = PortOr2(s.port == 0 ? 2 : s.port);
    f.dataBits = DataBitsOr8(s.dataBits);
    f.stopBits = StopBitsOr1(s.stopBits);
    f.parity = ParityOr(s.parity, "N");
    f.baudRate = BaudRateOr2400(s.baudRate);
    f.comDelay = std::to_string(s.comDelay);
    f.device = ReadSetting(store, keys::kDevice);
    f.showVyperWarnings = StoredFlag(store, keys::kVyperWarnings);
    f.interfaceSuunto = s.interfaceType == 1;

    f.airPressure = FormatGeneral(s.airPressure);
    f.airPressureStd = FormatGeneral(s.airPressureStandard);
    f.airLitre = s.airConsumption == 0 ? "12" : FormatGeneral(s.airConsumption);
    const std::string cabin = ReadSetting(store, keys::kCabinPressure);
    f.cabinPressure = StoredNumber(cabin) == 0 ? "685" : cabin;
    f.surfaceInterval = std::to_string(s.surfaceInterval);
    f.n2PerCentSurface = std::to_string(s.n2PerCentSurface);
    f.n2PerCentDecompression = std::to_string(s.n2PerCentDecompression);
    f.hePerCentDecompression = std::to_string(s.hePerCentDecompression);
    const std::int32_t decoGasStart = StoredInteger(ReadSetting(store, keys::kNitroxDecoStart));
    if (decoGasStart > 0) {
        workspace.settings.nitroxDecoStart = decoGasStart;
        f.decoGasStart = std::to_string(decoGasStart);
    }
    f.initialPpN2 = FormatGeneral(s.initialPpN2);
    f.stepwise = ReadSetting(store, keys::kStep) != "False";
    f.sharpDeco = ReadSetting(store, keys::kSharp1stStep) == "True";
    f.deepStops = s.deepStops != 0;
    f.deepStopModeHalfToSurface = s.deepStopMode == 1;
    f.deepStopTime = std::to_string(s.deepStopTime);
    f.model = workspace.model.model;
    f.progressivity = ProgressivityName(s.decoMode);
    FillCompartment0(f, workspace.model);

    f.maxPpO2 = FormatGeneral(s.maxPpO2);
    f.minPpO2 = FormatGeneral(s.minPpO2);
    f.maxPpN2 = FormatGeneral(s.maxPpN2);
    f.warnPpO2Hi = StoredFlag(store, keys::kPPO2Hi);
    f.warnPpO2Lo = StoredFlag(store, keys::kPPO2Lo);
    f.warnPpN2 = StoredFlag(store, keys::kPPN2);
    f.end = EndFromMaxPpN2(f.maxPpN2);
    const std::string constant = ReadSetting(store, keys::kConstantppO2);
    f.constPpO2 = Parsed(constant) == 0 ? "1.5" : constant;

    for (int k = 1; k <= kCompartmentCount; ++k)
        f.showCompartment[k] = s.showCompartment[k] == 1;
    f.horizontalLines = StoredFlag(store, keys::kHorizontal);
    f.verticalLines = StoredFlag(store, keys::kVertical);
    f.showAirMix = StoredFlag(store, keys::kShowAirMix);
    f.printDiveValues = s.printDiveValues != 0;
    f.useMultiColorLine = s.useMultiColorLine == 1;
    f.circleDiameter =
        s.circleDiameter < 0 || s.circleDiameter > 100 ? "40" : std::to_string(s.circleDiameter);
    f.lineWidth = std::to_string(s.lineWidth);
    f.circleLineWidth = std::to_string(s.circleLineWidth);
    f.font = s.picDiveFontName;
    f.interval = std::to_string(s.interval);

    const std::string excel = ReadSetting(store, keys::kExcelPath);
    f.excelPath = excel == "NOVALUE" ? "" : excel;
    f.fileStoragePath = s.fileStoragePath;
    f.planner = PlannerFieldsFrom(s.planner);
    return f;
}

std::optional<OptionsProblem> ApplyOptions(OptionsFields& f, const ModelParameters& model,
                                           Workspace& workspace, SettingsStore& store, Ui& ui,
                                           const std::function<void()>& redraw) {
    OptionsFields checked = f;
    NormalizeNumbers(checked);
    if (auto problem = FirstProblem(checked)) return problem;
    f = checked;

    Settings& s = workspace.settings;
    const int modelBefore = workspace.model.model;
    workspace.model = model;
    workspace.model.model = static_cast<std::int16_t>(modelBefore);  // changed below, with notice
    const auto put = [&store](const SettingKey& key, std::string_view text) {
        WriteSetting(store, key, text);
    };

    put(keys::kLastOptionsTab, std::to_string(f.tab));

    const double airPressure = StoredNumber(f.airPressure);
    if (airPressure < 0 || airPressure > 1200) f.airPressure = "1010";
    put(keys::kAirPressure, f.airPressure);
    put(keys::kAirPressureStandard, f.airPressureStd);
    s.airPressure = StoredNumber(f.airPressure);
    s.airPressureStandard = StoredNumber(f.airPressureStd);

    put(keys::kInitialppN2, CommaToPoint(f.initialPpN2));
    s.initialPpN2 = Parsed(f.initialPpN2);

    // Every flag is cleared first, so the store ends with exactly the boxes that are checked.
    for (int k = 0; k <= kCompartmentCount; ++k) {
        s.showCompartment[k] = 0;
        put(ShowCompartmentKey(k), "0");
    }
    f.showCompartment[0] = f.useC0;
    for (int k = 0; k <= kCompartmentCount; ++k) {
        if (!f.showCompartment[k]) continue;
        s.showCompartment[k] = 1;
        put(ShowCompartmentKey(k), "1");
    }

    const int progressivity = SelectProgressivity(workspace.model, f.progressivity);
    if (progressivity != 0) {
        s.decoMode = static_cast<std::int16_t>(progressivity);
        put(keys::kDecoMode, std::to_string(progressivity));
    }
    const std::string modelMessage = ChangeModel(workspace.model, f.model);
    s.decoModel = workspace.model.model;
    put(keys::kDecoModel, std::to_string(s.decoModel));
    if (!modelMessage.empty()) ui.ShowMessage(modelMessage, MessageIcon::Information);

    put(keys::kCabinPressure, f.cabinPressure);
    s.cabinPressure = StoredNumber(f.cabinPressure);

    const double interval = StoredNumber(f.surfaceInterval);
    if (interval < 0) f.surfaceInterval = "60";
    if (interval > 600) f.surfaceInterval = "240";
    put(keys::kSurfaceInterval, f.surfaceInterval);
    s.surfaceInterval = Int32Of(f.surfaceInterval);
    put(keys::kN2PerCentSurface, f.n2PerCentSurface);
    put(keys::kN2PerCentDecompression, f.n2PerCentDecompression);
    put(keys::kHePerCentDecompression, f.hePerCentDecompression);
    s.n2PerCentSurface = Int32Of(f.n2PerCentSurface);
    s.n2PerCentDecompression = Int32Of(f.n2PerCentDecompression);
    s.hePerCentDecompression = Int32Of(f.hePerCentDecompression);

    s.deepStops = f.deepStops ? 1 : 0;
    s.deepStopMode = f.deepStopModeHalfToSurface ? 1 : 2;
    s.deepStopTime = Int16Of(f.deepStopTime);
    put(keys::kDeepStops, Flag(f.deepStops));
    put(keys::kDeepStopMode, std::to_string(s.deepStopMode));
    put(keys::kDeepStopTime, f.deepStopTime);

    s.compartment0 = Compartment0From(f);
    SetCompartment0(workspace.model, s.compartment0, f.useC0);
    s.firstCompartment = workspace.model.firstCompartment;
    put(keys::kC0T05N2, FormatGeneral(s.compartment0.halfTimeN2));
    put(keys::kC0aN2, FormatGeneral(s.compartment0.aN2));
    put(keys::kC0bN2, FormatGeneral(s.compartment0.bN2));
    put(keys::kC0T05He, FormatGeneral(s.compartment0.halfTimeHe));
    put(keys::kC0aHe, FormatGeneral(s.compartment0.aHe));
    put(keys::kC0bHe, FormatGeneral(s.compartment0.bHe));
    put(keys::kUseC0, Flag(f.useC0));

    s.nitroxDecoStart = Int32Of(f.decoGasStart);
    put(keys::kNitroxDecoStart, std::to_string(s.nitroxDecoStart));

    if (Parsed(f.constPpO2) > Parsed(f.maxPpO2) &&
        ui.Ask(kConstantAboveMaximumQuestion, Buttons::YesNo, MessageIcon::Critical) ==
            Answer::Yes) {
        f.constPpO2 = f.maxPpO2;
        ui.ShowMessage(kConstantSetToMaximum, MessageIcon::Information);
    }
    put(keys::kConstantppO2, f.constPpO2);
    s.constantPpO2 = Parsed(f.constPpO2);

    s.maxPpO2 = Parsed(f.maxPpO2);
    s.minPpO2 = Parsed(f.minPpO2);
    s.maxPpN2 = Parsed(f.maxPpN2);
    put(keys::kMaxPPO2, FormatGeneral(s.maxPpO2));
    put(keys::kMinPPO2, FormatGeneral(s.minPpO2));
    put(keys::kMaxPPN2, FormatGeneral(s.maxPpN2));

    s.warnPpO2Hi = f.warnPpO2Hi ? 1 : 0;
    s.warnPpO2Lo = f.warnPpO2Lo ? 1 : 0;
    s.warnPpN2 = f.warnPpN2 ? 1 : 0;
    put(keys::kPPO2Hi, Flag(f.warnPpO2Hi));
    put(keys::kPPO2Lo, Flag(f.warnPpO2Lo));
    put(keys::kPPN2, Flag(f.warnPpN2));

    s.planner = PlannerSettingsFrom(f.planner);
    StorePlannerSettings(store, s.planner);

    put(keys::kStep, TrueFalse(f.stepwise));
    put(keys::kSharp1stStep, TrueFalse(f.sharpDeco));
    s.sharp1stStep = f.sharpDeco ? 1 : 0;
    put(keys::kPrintDiveValues, Flag(f.printDiveValues));
    s.printDiveValues = f.printDiveValues ? 1 : 0;

    put(keys::kAirConsumption, f.airLitre);
    s.airConsumption = Parsed(f.airLitre);

    put(keys::kHorizontal, Flag(f.horizontalLines));
    put(keys::kVertical, Flag(f.verticalLines));
    s.horizontalGuidelines = f.horizontalLines ? 1 : 0;
    s.verticalGuidelines = f.verticalLines ? 1 : 0;

    s.picDiveFontName = f.font.empty() ? "Arial" : f.font;
    put(keys::kPicDiveFontName, s.picDiveFontName);
    put(keys::kShowAirMix, Flag(f.showAirMix));
    s.showAirMix = f.showAirMix ? 1 : 0;

    put(keys::kCircleDiameter, f.circleDiameter);
    put(keys::kLineWidth, f.lineWidth);
    s.circleDiameter = Int32Of(f.circleDiameter);
    s.lineWidth = Int32Of(f.lineWidth);
    s.circleLineWidth = Int32Of(f.circleLineWidth);
    put(keys::kCircleLineWidth, f.circleLineWidth);

    // The colours already run since their buttons; now they are kept.
    const auto colour = [&](const SettingKey& key, std::int32_t value) {
        put(key, std::to_string(value));
    };
    colour(keys::kGuidelinesColour, s.guidelinesColour);
    colour(keys::kProfileCircle, s.profileCircleColour);
    colour(keys::kGraphLine, s.graphLineColour);
    colour(keys::kOutProfile, s.outProfileColour);
    colour(keys::kCross, s.crossColour);
    colour(keys::kGraphBackColor, s.graphBackColour);

    redraw();

    put(keys::kUseMultiColorLine, Flag(f.useMultiColorLine));
    s.useMultiColorLine = f.useMultiColorLine ? 1 : 0;

    const double runInterval = StoredNumber(f.interval);
    s.interval = runInterval <= 0 || runInterval >= 64000 ? 1000 : RoundToInt32(runInterval);
    put(keys::kInterval, f.interval);  // as typed: the next start reads it again

    f.commPort = PortOr2(Int32Of(f.commPort));
    f.dataBits = DataBitsOr8(Int32Of(f.dataBits));
    f.stopBits = StopBitsOr1(Int32Of(f.stopBits));
    f.parity = ParityOr(f.parity, "N");
    f.baudRate = BaudRateOr2400(Int32Of(f.baudRate));
    s.port = Int16Of(f.commPort);
    s.dataBits = Int16Of(f.dataBits);
    s.stopBits = Int16Of(f.stopBits);
    s.parity = f.parity;
    s.baudRate = Int32Of(f.baudRate);
    s.comDelay = Int32Of(f.comDelay);
    put(keys::kPort, f.commPort);
    put(keys::kDataBits, f.dataBits);
    put(keys::kStopBits, f.stopBits);
    put(keys::kParity, f.parity);
    put(keys::kBaudRate, f.baudRate);
    put(keys::kCOMDelay, std::to_string(s.comDelay));
    put(keys::kDevice, f.device);  // read by every window that opens the port

    put(keys::kVyperWarnings, Flag(f.showVyperWarnings));
    s.interfaceType = f.interfaceSuunto ? 1 : 2;
    put(keys::kInterfaceType, std::to_string(s.interfaceType));

    s.airSupply = RoundToInt32(StoredNumber(f.tankPressure) * StoredNumber(f.tankSize));
    put(keys::kTankSize, f.tankSize);
    put(keys::kTankPressure, f.tankPressure);
    s.tankSize = StoredInteger(ReadSetting(store, keys::kTankSize));
    s.tankPressure = StoredInteger(ReadSetting(store, keys::kTankPressure));

    put(keys::kExcelPath, f.excelPath);

    if (f.fileStoragePath.empty() || f.fileStoragePath.back() != '/') f.fileStoragePath += '/';
    s.fileStoragePath = f.fileStoragePath;
    put(keys::kFileStoragePath, f.fileStoragePath);
    return std::nullopt;
}

std::optional<OptionsProblem> CheckCoefficientFactors(const OptionsFields& fields) {
    if (auto problem = FactorProblem(fields.aMulti, "txtAMulti", "a-Faktor")) return problem;
    return FactorProblem(fields.bMulti, "txtBMulti", "b-Faktor");
}

std::optional<OptionsProblem> CheckHalfTimeFactor(const OptionsFields& fields) {
    return FactorProblem(fields.t05Multi, "txtT05Multi", "Halbwertszeiten aller Gewebe mit");
}

int ChosenPort(const OptionsFields& fields) {
    return Int32Of(PortOr2(Int32Of(fields.commPort)));
}

LineSettings ChosenLineSettings(const OptionsFields& fields) {
    return {Int32Of(BaudRateOr2400(Int32Of(fields.baudRate))), ParityOr(fields.parity, "N")[0],
            Int32Of(DataBitsOr8(Int32Of(fields.dataBits))),
            Int32Of(StopBitsOr1(Int32Of(fields.stopBits)))};
}

SerialPortDevice ChosenDevice(const OptionsFields& fields,
                              const std::function<bool(const std::string&)>& exists) {
    return PortDevice(Trimmed(fields.device), ChosenPort(fields), exists);
}

void ClearRecentFiles(SettingsStore& store) {
    for (int slot = 1; slot <= kRecentFileCount; ++slot)
        WriteSetting(store, RecentFileKey(slot), "");
}

}  // namespace marelos
