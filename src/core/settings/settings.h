#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/planner/gas_plan_settings.h"
#include "core/planner/planner_settings.h"
#include "core/settings/setting_keys.h"
#include "core/settings/settings_store.h"

namespace marelos {

// The value of a stored text under the load rule of `key` (see ValueRange), rounded halves to
// even for a whole-number key; nothing when the text holds no number, or a number the key does
// not keep: the key's default applies then.
std::optional<double> KeptNumber(const SettingKey& key, std::string_view stored);
// Whether `key` keeps the value, judged after rounding for a whole-number key.
bool Keeps(const SettingKey& key, double value);

// True for N2 and He shares that a gas can have: neither below 0 %, together at most 100 %.
bool IsPossibleGas(double n2Percent, double hePercent);

// A value as the key stores it: whole numbers for integers, flags and colours, the general
// number format with "." for numbers, "True"/"False" for switches.
std::string StoredText(const SettingKey& key, double value);

// The number of a stored text as the loader reads it: Val, and 0 for a number too large to hold.
double StoredNumber(std::string_view stored);
// A stored whole number: StoredNumber rounded halves to even, held within 32 bits.
std::int32_t StoredInteger(std::string_view stored);

// The serial line settings that may be chosen.
bool IsAllowedBaudRate(std::int32_t baudRate);  // 1200, 2400, 4800, 9600, 28800
// One of the parity letters N, E, O, S, M (compared in upper case, returned in upper case),
// else the fallback: "O" when the program starts, "N" when the options dialog confirms.
std::string ParityOr(std::string_view stored, std::string_view fallback);

// The time factor of a progressivity ("DecoMode") 1..5: 6.0, 3.0, 1.5, 1.1, 1.0; 0.0 otherwise.
double ProgressivityTimeFactor(int decoMode);

// The six values of the optional compartment 0.
struct Compartment0Values {
    double halfTimeN2 = 1.1;  // min
    double aN2 = 0.2;         // bar
    double bN2 = 0.05;
    double halfTimeHe = 0.7;  // min
    double aHe = 0.21;        // bar
    double bHe = 0.06;

    bool operator==(const Compartment0Values&) const = default;
};

// The longest axes a user or a file can set: the time axis covers the computed profile's
// 6000 minutes, the depth axis any dive.
inline constexpr std::int32_t kLongestTimeAxis = 6000;
inline constexpr std::int32_t kDeepestDepthAxis = 200;

// The running values of every setting that is loaded when the program starts. The member
// initialisers are the defaults that the load rules fall back to, so a default-constructed
// value equals what an empty store loads.
struct Settings {
    // "Settings"
    std::int16_t firstCompartment = 1;  // 0 when compartment 0 takes part ("UseC0" = 1)
    std::int32_t interval = 1000;       // ms, step of the stepwise display
    std::string fileStoragePath;       // profile folder; "<program folder>/Tauchprofile" when empty
    std::int32_t maxVScale = 50;       // m, end of the depth axis (at most kDeepestDepthAxis)
    std::int32_t maxHScale = 60;       // min, end of the time axis (at most kLongestTimeAxis)
    std::int32_t nitroxDecoStart = 0;  // m; read when the options dialog opens, 0 until then

    // "Values"
    double airConsumption = 15;          // l/min at the surface
    double airPressure = 1000;           // mbar at the surface
    double airPressureStandard = 1000;   // mbar at sea level
    std::int32_t surfaceInterval = 120;  // min after the dive
    std::string n2PercentText = "78";    // texts of the three mix fields
    std::string hePercentText = "0";
    std::string o2PercentText = "21";
    double initialPpN2 = 0.79;  // N2 fraction of the tissue start state
    std::int32_t n2PerCentSurface = 78;
    std::int32_t n2PerCentDecompression = 78;
    std::int32_t hePerCentDecompression = 0;
    double maxPpO2 = 1.6;        // bar
    double constantPpO2 = 1.5;   // bar
    double minPpO2 = 0.2;        // bar
    double maxPpN2 = 5.0;        // bar
    std::int16_t decoModel = 3;  // 1 ZH-L16A, 2 ZH-L16B, 3 ZH-L16C, 4 ZH-L12
    std::int16_t decoMode = 3;   // progressivity 1..5
    double cabinPressure = 595;  // mbar
    std::int16_t deepStops = 0;
    std::int16_t deepStopMode = 1;
    std::int16_t deepStopTime = 0;  // min
    Compartment0Values compartment0;
    std::int32_t tankSize = 15;       // l
    std::int32_t tankPressure = 200;  // bar
    std::int32_t airSupply = 3000;    // l, tankSize x tankPressure

    // "View"; index 0 is compartment 0, which is not loaded at start
    std::array<std::int16_t, kCompartmentCount + 1> showCompartment = {0, 1, 1, 1, 1, 1, 1, 1, 1,
                                                                       1, 1, 1, 1, 1, 1, 1, 1};
    std::int32_t circleDiameter = 30;  // graph units
    std::int32_t lineWidth = 1;        // px
    std::int32_t circleLineWidth = 1;  // px
    std::int16_t showAirMix = 0;
    std::string picDiveFontName = "Arial";
    std::int16_t printDiveValues = 0;

    // "Colors", 0x00BBGGRR
    std::int32_t guidelinesColour = 14935011;  // light grey
    std::int32_t profileCircleColour = 8404992;
    std::int32_t graphLineColour = 0;
    std::int32_t outProfileColour = 0;
    std::int32_t graphBackColour = 16777215;  // white
    std::int32_t crossColour = 0;
    std::int16_t useMultiColorLine = 0;

    // "Guidelines", "Warnings", "Decompression"
    std::int16_t horizontalGuidelines = 0;
    std::int16_t verticalGuidelines = 0;
    std::int16_t warnPpO2Hi = 0;
    std::int16_t warnPpO2Lo = 0;
    std::int16_t warnPpN2 = 0;
    std::int16_t sharp1stStep = 0;

    // "CommPort", "SuuntoVyper"
    std::int16_t port = 1;
    std::int16_t dataBits = 8;
    std::int16_t stopBits = 1;
    std::string parity = "O";
    std::int32_t baudRate = 2400;
    std::int32_t comDelay = 350;  // units of 5 ms
    std::int16_t interfaceType = 1;

    // "Planner": the ascent planned with gradient factors or the bubble model, and its gases.
    PlannerSettings planner;
    // "Cylinders" and the gas plan's keys of "Planner".
    GasPlanSettings gasPlan;

    bool operator==(const Settings&) const = default;

    // Not stored: texts people read (messages, labels, tables for reading) use the decimal
    // separator of the user's locale, which the program takes from its environment at start;
    // files the program reads back always use ".".
    std::string decimalSeparator = ".";
};

// Reads every setting in the program's start-up order, each with its load rule. A progressivity
// outside 1..5 (also absent or not a number) becomes 3, and "3" is written back.
// `programFolder` is the folder the program runs from; the default profile folder lies below it.
Settings LoadSettings(SettingsStore& store, std::string_view programFolder);

// Writes every running value of `settings` in its stored form, so that loading them again gives
// the same running values.
void WriteSettings(SettingsStore& store, const Settings& settings);

// The keys read on demand, when the function that needs them starts.
// "Step": the calculation and the options dialog take only "False" as a continuous ascent...
bool StepwiseForCalculation(const SettingsStore& store);
// ...while the profile writer and the dive plan take anything but "True" as continuous.
bool StepwiseForOutputs(const SettingsStore& store);
// How long the start-up picture stays: 5000 ms, or 1 ms when "TestMode" is set to a number.
int StartUpPictureMilliseconds(const SettingsStore& store);

}  // namespace marelos
