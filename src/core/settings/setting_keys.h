#pragma once

#include <array>
#include <limits>
#include <span>
#include <string_view>

#include "core/settings/settings_store.h"

namespace marelos {

// How a value is written into the store.
enum class StoredForm {
    Text,       // the text as it stands (mix fields, folders, font names, file paths)
    Integer,    // plain decimal, no sign for positive values, no grouping
    Number,     // general number format with "." as decimal point
    Flag,       // "1" / "0" (a whole number)
    TrueFalse,  // "True" / "False"
    Colour,     // decimal value of a 24-bit colour 0x00BBGGRR (red in the low byte)
};

// The values a numeric key keeps when it is loaded: its load rule, as a range. Whatever else is
// stored (a number outside, or a text that is no number) loads as the key's default, and the
// options dialog refuses the same values, so that what it stores is what the next start runs
// with. Whole-number keys are rounded (halves to even) before they are judged.
struct ValueRange {
    double low = -std::numeric_limits<double>::infinity();
    double high = std::numeric_limits<double>::infinity();
    bool aboveLow = false;              // low itself is outside
    bool notZero = false;               // 0 is outside
    std::span<const double> only = {};  // when not empty: exactly these values
};

constexpr ValueRange Between(double low, double high) {
    return {low, high};
}
constexpr ValueRange AtLeast(double low) {
    return {low};
}
constexpr ValueRange AtMost(double high) {
    return {-std::numeric_limits<double>::infinity(), high};
}
// Above `low`, up to `high` included.
constexpr ValueRange AboveUpTo(double low, double high) {
    return {low, high, true};
}
constexpr ValueRange Positive() {
    return AboveUpTo(0, std::numeric_limits<double>::infinity());
}
constexpr ValueRange NotZero() {
    ValueRange range;
    range.notZero = true;
    return range;
}
constexpr ValueRange OneOf(std::span<const double> values) {
    ValueRange range;
    range.only = values;
    return range;
}

// One key of the settings store: where it lives, how it is written, what unit its value has and,
// for a number, which values it keeps when it is loaded.
struct SettingKey {
    std::string_view section;
    std::string_view name;
    StoredForm form;
    std::string_view unit = {};
    ValueRange range = {};
};

std::string ReadSetting(const SettingsStore& store, const SettingKey& key);
void WriteSetting(SettingsStore& store, const SettingKey& key, std::string_view value);

// The baud rates the serial line may be set to.
inline constexpr std::array<double, 5> kBaudRates = {1200, 2400, 4800, 9600, 28800};
// The longest surface interval, min: the result table's length; more adds nothing but
// overflowing sums.
inline constexpr double kLongestSurfaceInterval = 6000;

namespace keys {

// Section "Settings".
inline constexpr SettingKey kApplPath{"Settings", "ApplPath", StoredForm::Text};
inline constexpr SettingKey kUseC0{"Settings", "UseC0", StoredForm::Flag};
inline constexpr SettingKey kInterval{"Settings", "Interval", StoredForm::Integer, "ms", NotZero()};
inline constexpr SettingKey kFileStoragePath{"Settings", "FileStoragePath", StoredForm::Text};
inline constexpr SettingKey kMaxVScale{"Settings", "MaxVScale", StoredForm::Integer, "m",
                                       Between(11, 199)};
inline constexpr SettingKey kMaxHScale{"Settings", "MaxHScale", StoredForm::Integer, "min",
                                       Between(10, 6000)};
inline constexpr SettingKey kLastOptionsTab{"Settings", "LastOptionsTab", StoredForm::Integer};
inline constexpr SettingKey kNitroxDecoStart{"Settings", "NitroxDecoStart", StoredForm::Integer,
                                             "m", Positive()};
inline constexpr SettingKey kTestMode{"Settings", "TestMode", StoredForm::Number};
inline constexpr SettingKey kBrowserCol1{"Settings", "BrowserCol1", StoredForm::Integer};
inline constexpr SettingKey kBrowserCol2{"Settings", "BrowserCol2", StoredForm::Integer};
inline constexpr SettingKey kBrowserCol3{"Settings", "BrowserCol3", StoredForm::Integer};

// Section "Values".
inline constexpr SettingKey kAirConsumption{"Values", "AirConsumption", StoredForm::Number, "l/min",
                                            Positive()};
inline constexpr SettingKey kAirPressure{"Values", "AirPressure", StoredForm::Number, "mbar",
                                         AboveUpTo(0, 2000)};
inline constexpr SettingKey kAirPressureStandard{"Values", "AirPressureStandard",
                                                 StoredForm::Number, "mbar", AboveUpTo(0, 2000)};
inline constexpr SettingKey kSurfaceInterval{"Values", "SurfaceInterval", StoredForm::Integer,
                                             "min", AtMost(kLongestSurfaceInterval)};
inline constexpr SettingKey kN2Percent{"Values", "N2Percent", StoredForm::Text, "%"};
inline constexpr SettingKey kHePercent{"Values", "HePercent", StoredForm::Text, "%"};
inline constexpr SettingKey kO2Percent{"Values", "O2Percent", StoredForm::Text, "%"};
inline constexpr SettingKey kInitialppN2{
    "Values", "InitialppN2", StoredForm::Number, {}, AboveUpTo(0, 10)};
inline constexpr SettingKey kN2PerCentSurface{"Values", "N2PerCentSurface", StoredForm::Integer,
                                              "%", Between(0, 100)};
inline constexpr SettingKey kN2PerCentDecompression{"Values", "N2PerCentDecompression",
                                                    StoredForm::Integer, "%", Between(0, 100)};
inline constexpr SettingKey kHePerCentDecompression{"Values", "HePerCentDecompression",
                                                    StoredForm::Integer, "%", Between(0, 100)};
inline constexpr SettingKey kMaxPPO2{"Values", "MaxPPO2", StoredForm::Number, "bar", NotZero()};
inline constexpr SettingKey kConstantppO2{"Values", "ConstantppO2", StoredForm::Number, "bar",
                                          Positive()};
inline constexpr SettingKey kMinPPO2{"Values", "MinPPO2", StoredForm::Number, "bar", NotZero()};
inline constexpr SettingKey kMaxPPN2{"Values", "MaxPPN2", StoredForm::Number, "bar", NotZero()};
inline constexpr SettingKey kDecoModel{
    "Values", "DecoModel", StoredForm::Integer, {}, Between(1, 4)};
inline constexpr SettingKey kDecoMode{"Values", "DecoMode", StoredForm::Integer};
inline constexpr SettingKey kCabinPressure{"Values", "CabinPressure", StoredForm::Number, "mbar",
                                           NotZero()};
inline constexpr SettingKey kDeepStops{"Values", "DeepStops", StoredForm::Integer};
inline constexpr SettingKey kDeepStopMode{
    "Values", "DeepStopMode", StoredForm::Integer, {}, NotZero()};
inline constexpr SettingKey kDeepStopTime{"Values", "DeepStopTime", StoredForm::Integer, "min"};
inline constexpr SettingKey kC0T05N2{"Values", "C0T05N2", StoredForm::Number, "min", NotZero()};
inline constexpr SettingKey kC0aN2{"Values", "C0aN2", StoredForm::Number, "bar", NotZero()};
inline constexpr SettingKey kC0bN2{"Values", "C0bN2", StoredForm::Number, {}, NotZero()};
inline constexpr SettingKey kC0T05He{"Values", "C0T05He", StoredForm::Number, "min", NotZero()};
inline constexpr SettingKey kC0aHe{"Values", "C0aHe", StoredForm::Number, "bar", NotZero()};
inline constexpr SettingKey kC0bHe{"Values", "C0bHe", StoredForm::Number, {}, NotZero()};
inline constexpr SettingKey kTankSize{"Values", "TankSize", StoredForm::Integer, "l", NotZero()};
inline constexpr SettingKey kTankPressure{"Values", "TankPressure", StoredForm::Integer, "bar",
                                          NotZero()};

// Section "View". ShowCompartment0 ... ShowCompartment16 come from ShowCompartmentKey.
inline constexpr SettingKey kLastUsed{"View", "LastUsed", StoredForm::Integer};
inline constexpr SettingKey kCircleDiameter{"View", "CircleDiameter", StoredForm::Integer, "twips",
                                            Between(1, 100)};
inline constexpr SettingKey kLineWidth{"View", "LineWidth", StoredForm::Integer, "px", AtLeast(1)};
inline constexpr SettingKey kCircleLineWidth{"View", "CircleLineWidth", StoredForm::Integer, "px",
                                             AtLeast(1)};
inline constexpr SettingKey kShowAirMix{"View", "ShowAirMix", StoredForm::Flag};
inline constexpr SettingKey kPicDiveFontName{"View", "PicDiveFontName", StoredForm::Text};
inline constexpr SettingKey kPrintDiveValues{"View", "PrintDiveValues", StoredForm::Flag};

// Section "Colors".
inline constexpr SettingKey kGuidelinesColour{
    "Colors", "Guidelines", StoredForm::Colour, {}, NotZero()};
inline constexpr SettingKey kProfileCircle{
    "Colors", "ProfileCircle", StoredForm::Colour, {}, Positive()};
inline constexpr SettingKey kGraphLine{"Colors", "GraphLine", StoredForm::Colour};
inline constexpr SettingKey kOutProfile{"Colors", "OutProfile", StoredForm::Colour};
inline constexpr SettingKey kGraphBackColor{
    "Colors", "GraphBackColor", StoredForm::Colour, {}, NotZero()};
inline constexpr SettingKey kCross{"Colors", "Cross", StoredForm::Colour};
inline constexpr SettingKey kUseMultiColorLine{"Colors", "UseMultiColorLine", StoredForm::Flag};

// Sections "Guidelines" and "Warnings".
inline constexpr SettingKey kHorizontal{"Guidelines", "Horizontal", StoredForm::Flag};
inline constexpr SettingKey kVertical{"Guidelines", "Vertical", StoredForm::Flag};
inline constexpr SettingKey kPPO2Hi{"Warnings", "PPO2Hi", StoredForm::Flag};
inline constexpr SettingKey kPPO2Lo{"Warnings", "PPO2Lo", StoredForm::Flag};
inline constexpr SettingKey kPPN2{"Warnings", "PPN2", StoredForm::Flag};

// Section "Decompression".
inline constexpr SettingKey kStep{"Decompression", "Step", StoredForm::TrueFalse};
inline constexpr SettingKey kSharp1stStep{"Decompression", "Sharp1stStep", StoredForm::TrueFalse};

// Section "CommPort".
inline constexpr SettingKey kPort{"CommPort", "Port", StoredForm::Integer, {}, Between(1, 4)};
inline constexpr SettingKey kDataBits{
    "CommPort", "DataBits", StoredForm::Integer, {}, Between(7, 8)};
inline constexpr SettingKey kStopBits{
    "CommPort", "StopBits", StoredForm::Integer, {}, Between(1, 2)};
inline constexpr SettingKey kParity{"CommPort", "Parity", StoredForm::Text};
inline constexpr SettingKey kBaudRate{"CommPort", "BaudRate", StoredForm::Integer, "Bd",
                                      OneOf(kBaudRates)};
inline constexpr SettingKey kUseComm{"CommPort", "UseComm", StoredForm::Flag};
// A device path that replaces the numbered port (a pseudo-terminal in tests, a USB adapter).
inline constexpr SettingKey kDevice{"CommPort", "Device", StoredForm::Text};

// Section "SuuntoVyper".
inline constexpr SettingKey kCOMDelay{"SuuntoVyper", "COMDelay", StoredForm::Integer, "5 ms",
                                      Positive()};
inline constexpr SettingKey kInterfaceType{
    "SuuntoVyper", "InterfaceType", StoredForm::Integer, {}, NotZero()};
inline constexpr SettingKey kVyperWarnings{"SuuntoVyper", "Warnings", StoredForm::Flag};

// Sections "Files", "Browser", "Applications", "DiveComments", "DatatrakImport".
// The recent files 1 ... 6 come from RecentFileKey.
inline constexpr SettingKey kTypeAssigned{"Files", "TypeAssigned", StoredForm::Text};
inline constexpr SettingKey kBrowserLastPath{"Browser", "LastPath", StoredForm::Text};
inline constexpr SettingKey kExcelPath{"Applications", "ExcelPath", StoredForm::Text};
inline constexpr SettingKey kLastNumber{"DiveComments", "LastNumber", StoredForm::Text};
inline constexpr SettingKey kLastCountry{"DiveComments", "LastCountry", StoredForm::Text};
inline constexpr SettingKey kLastSite{"DiveComments", "LastSite", StoredForm::Text};
inline constexpr SettingKey kDatatrakLastPath{"DatatrakImport", "LastPath", StoredForm::Text};

}  // namespace keys

inline constexpr int kCompartmentCount = 16;  // compartments 1..16; compartment 0 is optional
inline constexpr int kRecentFileCount = 6;

// "ShowCompartment<k>" of section "View", k = 0..16.
SettingKey ShowCompartmentKey(int compartment);
// Key "<k>" of section "Files", k = 1..6: the recent profile files, most recent first.
SettingKey RecentFileKey(int slot);

}  // namespace marelos
