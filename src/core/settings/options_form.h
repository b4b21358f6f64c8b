#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/divecomputers/serial_link.h"
#include "core/settings/settings_store.h"
#include "core/ui/ui.h"
#include "core/workspace.h"

namespace marelos {

// The items of the option dialog's lists, as shown.
inline const std::vector<std::string> kTankSizeItems = {"4",  "7",  "8",  "10", "12", "14",
                                                        "15", "16", "20", "24", "30"};
inline const std::vector<std::string> kTankPressureItems = {"200", "300"};
inline const std::vector<std::string> kCircleDiameterItems = {"20", "30", "40", "50",
                                                              "60", "70", "80"};
inline const std::vector<std::string> kLineWidthItems = {"1", "2", "3", "4", "5",
                                                         "6", "7", "8", "9", "10"};
inline const std::vector<std::string> kCommPortItems = {"1", "2", "3", "4", "Keine"};
inline const std::vector<std::string> kDataBitsItems = {"7", "8"};
inline const std::vector<std::string> kStopBitsItems = {"1", "2"};
inline const std::vector<std::string> kParityItems = {"N", "E", "O", "S", "M"};
inline const std::vector<std::string> kBaudRateItems = {"1200", "2400", "4800", "9600", "28800"};

// What the options dialog shows and the user edits: every field as its text or state. The
// dialog holds one of these and commits it with ApplyOptions on "OK".
struct OptionsFields {
    int tab = 0;

    // Tab "Allgemein": pressures, air, cylinder, flight.
    std::string airPressure, airPressureStd, airLitre, tankSize, tankPressure, cabinPressure;
    std::string surfaceInterval, interval, fileStoragePath, excelPath;

    // Tab "Dekompression".
    std::string n2PerCentSurface, n2PerCentDecompression, hePerCentDecompression, decoGasStart;
    std::string initialPpN2;
    bool stepwise = true;
    bool sharpDeco = false;
    bool deepStops = false;
    bool deepStopModeHalfToSurface = true;  // else half way to the first stop
    std::string deepStopTime;
    int model = 3;              // the selected entry of the model list, 1..4
    std::string progressivity;  // the text of the progressivity box
    std::string aMulti = "1", bMulti = "1", t05Multi = "1";
    bool useC0 = false;
    std::array<std::string, 6> compartment0;  // T05 N2, a N2, b N2, T05 He, a He, b He

    // Tab "Warnungen".
    std::string maxPpO2, minPpO2, maxPpN2, end, constPpO2;
    bool warnPpO2Hi = false, warnPpO2Lo = false, warnPpN2 = false;

    // Tab "Grafik".
    std::array<bool, 17> showCompartment{};  // 1..16; index 0 follows useC0
    bool horizontalLines = false, verticalLines = false, showAirMix = false;
    bool printDiveValues = false, useMultiColorLine = false;
    std::string circleDiameter, lineWidth, circleLineWidth, font;

    // Tab "Schnittstelle". `device` is a device path that replaces the COM port; empty when the
    // port number decides.
    std::string commPort, dataBits, stopBits, parity, baudRate, comDelay, device;
    bool showVyperWarnings = false;
    bool interfaceSuunto = true;  // else home-made

    // Tab "Planer".
    PlannerFields planner;
};

// The tab of the planner's fields.
inline constexpr int kPlannerTab = 6;

// The fields as the dialog opens, in the program's order, from the running values and the few
// keys read from the store. Also takes the decompression-gas start depth into the running
// values, which are read only here.
OptionsFields OpenOptions(Workspace& workspace, const SettingsStore& store);

// "END verwenden": the nitrogen partial pressure of air at the equivalent narcotic depth in the
// END field, cut to 0.01 bar, as the text of the maximum-ppN2 field.
std::string MaxPpN2FromEnd(const std::string& endText);
// The equivalent narcotic depth of a maximum ppN2 text, cut to 0.1 m.
std::string EndFromMaxPpN2(const std::string& maxPpN2Text);

// "Standard": the standard decompression values into the fields (air, no helium).
void SetDecoStandardValues(OptionsFields& fields);

// A field whose text the dialog cannot take: its name ("txtAirPressure"), its tab, and the
// message that names it by its label and says what it takes.
struct OptionsProblem {
    std::string field;
    int tab = 0;
    std::string message;

    bool operator==(const OptionsProblem&) const = default;
};

// "OK": checks the fields first. Every numeric field must hold a number (a decimal comma counts
// as a point) that its setting keeps when it is loaded (see ValueRange), the decompression
// shares together at most 100 %, and the device a full path; the first field that does not, in
// the order of the tabs, is returned, and nothing is stored or applied. Otherwise it stores every
// setting, with its numbers written with ".", and applies it to the running program, in the
// program's order, replacing what the dialog replaces in the fields themselves. `model` is the
// dialog's copy of the parameter set with the changes of its buttons; it becomes the running
// model. `redraw` runs where the main view is redrawn, between the colours and the multi-colour
// line. The question about the constant ppO2 and the model-change message go through `ui`.
std::optional<OptionsProblem> ApplyOptions(OptionsFields& fields, const ModelParameters& model,
                                           Workspace& workspace, SettingsStore& store, Ui& ui,
                                           const std::function<void()>& redraw);

// The factors of "Berechnen" (a and b) and of "multiplizieren" (half-times): numbers above 0,
// else the problem of the first field that is not.
std::optional<OptionsProblem> CheckCoefficientFactors(const OptionsFields& fields);
std::optional<OptionsProblem> CheckHalfTimeFactor(const OptionsFields& fields);

// The serial port and line settings chosen in the fields, with the replacements of "OK": what
// the interface test opens.
int ChosenPort(const OptionsFields& fields);
LineSettings ChosenLineSettings(const OptionsFields& fields);
// The device the fields choose: the device path, else the device of the COM port (see
// SerialDevice).
SerialPortDevice ChosenDevice(const OptionsFields& fields,
                              const std::function<bool(const std::string&)>& exists);

// "Liste der zuletzt geladenen Dateien löschen": the six recent files become empty.
void ClearRecentFiles(SettingsStore& store);

}  // namespace marelos
