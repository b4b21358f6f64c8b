#include "settings.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "core/text/fields.h"
#include "core/text/number_format.h"
#include "core/text/rounding.h"
#include "core/text/val.h"

namespace marelos {

bool Keeps(const SettingKey& key, double value) {
    if (key.form == StoredForm::Integer || key.form == StoredForm::Colour) {
        value = RoundHalfEven(value);
    }
    const ValueRange& range = key.range;
    if (!std::isfinite(value)) return false;
    if (!range.only.empty()) return std::ranges::find(range.only, value) != range.only.end();
    if (range.notZero && value == 0) return false;
    if (range.aboveLow ? value <= range.low : value < range.low) return false;
    return value <= range.high;
}

std::optional<double> KeptNumber(const SettingKey& key, std::string_view stored) {
    if (!StartsWithNumber(stored)) return std::nullopt;
    const double value = Val(stored);
    if (!Keeps(key, value)) return std::nullopt;
    const bool whole = key.form == StoredForm::Integer || key.form == StoredForm::Colour;
    return whole ? RoundHalfEven(value) : value;
}

bool IsPossibleGas(double n2Percent, double hePercent) {
    return n2Percent >= 0 && hePercent >= 0 && n2Percent + hePercent <= 100;
}

double InRangeOr(double value, double low, double high, double fallback) {
    return value >= low && value <= high ? value : fallback;
}

double AboveZeroUpToOr(double value, double high, double fallback) {
    return value > 0 && value <= high ? value : fallback;
}

std::string StoredText(const SettingKey& key, double value) {
    switch (key.form) {
        case StoredForm::Number:
        case StoredForm::Text:
            return FormatGeneral(value);
        case StoredForm::TrueFalse:
            return value != 0 ? "True" : "False";
        case StoredForm::Integer:
        case StoredForm::Flag:
        case StoredForm::Colour:
            break;
    }
    return FormatGeneral(RoundHalfEven(value));
}

double StoredNumber(std::string_view stored) {
    const double value = Val(stored);
    return std::isfinite(value) ? value : 0.0;
}

std::int32_t StoredInteger(std::string_view stored) {
    return RoundToInt32(StoredNumber(stored));
}

bool IsAllowedBaudRate(std::int32_t baudRate) {
    return Keeps(keys::kBaudRate, baudRate);
}

std::string ParityOr(std::string_view stored, std::string_view fallback) {
    if (stored.size() == 1) {
        const char letter = stored[0] >= 'a' && stored[0] <= 'z' ? stored[0] - 32 : stored[0];
        if (std::string_view("NEOSM").find(letter) != std::string_view::npos) {
            return std::string(1, letter);
        }
    }
    return std::string(fallback);
}

double ProgressivityTimeFactor(int decoMode) {
    constexpr std::array<double, 6> kTimeFactors = {0.0, 6.0, 3.0, 1.5, 1.1, 1.0};
    return decoMode >= 0 && decoMode <= 5 ? kTimeFactors[static_cast<std::size_t>(decoMode)] : 0.0;
}

namespace {

// Reads the keys of one store with the parsing every key shares.
class Loader {
  public:
    explicit Loader(const SettingsStore& store) : store_(store) {}

    std::string Text(const SettingKey& key) const { return ReadSetting(store_, key); }
    double Number(const SettingKey& key) const { return StoredNumber(Text(key)); }
    std::int32_t Int32(const SettingKey& key) const { return StoredInteger(Text(key)); }
    std::int16_t Int16(const SettingKey& key) const { return RoundToInt16(Number(key)); }

    // The value under the key's load rule, else the default `d`.
    double Kept(const SettingKey& key, double d) const {
        return KeptNumber(key, Text(key)).value_or(d);
    }
    std::int32_t Kept(const SettingKey& key, std::int32_t d) const {
        return RoundToInt32(KeptNumber(key, Text(key)).value_or(d));
    }
    std::int16_t Kept(const SettingKey& key, std::int16_t d) const {
        return RoundToInt16(KeptNumber(key, Text(key)).value_or(d));
    }
    // A gas share: the default `d` when none is stored (or a text), nothing when the number is
    // no share.
    std::optional<double> Share(const SettingKey& key, double d) const {
        const std::string text = Text(key);
        return StartsWithNumber(text) ? KeptNumber(key, text) : d;
    }

  private:
    const SettingsStore& store_;
};

std::int32_t SaturatedProduct(std::int32_t a, std::int32_t b) {
    const long long product = static_cast<long long>(a) * b;
    return static_cast<std::int32_t>(
        std::clamp<long long>(product, std::numeric_limits<std::int32_t>::min(),
                              std::numeric_limits<std::int32_t>::max()));
}

std::int16_t AbsoluteValue16(std::int16_t value) {
    return value == std::numeric_limits<std::int16_t>::min()
               ? std::numeric_limits<std::int16_t>::max()
               : static_cast<std::int16_t>(std::abs(value));
}

std::string TextOr(std::string stored, std::string_view fallback) {
    return stored.empty() ? std::string(fallback) : stored;
}

}  // namespace

Settings LoadSettings(SettingsStore& store, std::string_view programFolder) {
    const Settings d;  // the defaults
    const Loader in(store);
    Settings s;

    // The order is the program's start-up order: a later key never depends on an earlier one,
    // except the repairs noted, but a store that records its reads sees them in this order.
    s.airConsumption = in.Kept(keys::kAirConsumption, d.airConsumption);
    s.airPressure = in.Kept(keys::kAirPressure, d.airPressure);
    s.airPressureStandard = in.Kept(keys::kAirPressureStandard, d.airPressureStandard);
    s.surfaceInterval = in.Kept(keys::kSurfaceInterval, d.surfaceInterval);
    s.n2PercentText = TextOr(in.Text(keys::kN2Percent), d.n2PercentText);
    if (!IsPossibleGas(Val(s.n2PercentText), 0)) s.n2PercentText = d.n2PercentText;
    s.initialPpN2 = in.Kept(keys::kInitialppN2, d.initialPpN2);

    s.hePercentText = in.Text(keys::kHePercent);
    const double he = StoredNumber(s.hePercentText);
    if (s.hePercentText.empty() || he < 0 || he > 100) s.hePercentText = d.hePercentText;
    s.o2PercentText = in.Text(keys::kO2Percent);
    const double o2 = StoredNumber(s.o2PercentText);
    if (o2 <= 0 || o2 > 100) s.o2PercentText = d.o2PercentText;

    s.n2PerCentSurface = in.Kept(keys::kN2PerCentSurface, d.n2PerCentSurface);
    // A decompression gas that no gas can be (a share outside 0..100 %, or both above 100 %
    // together) is replaced as a whole, so the defaults never mix with half of a wrong gas.
    const auto n2Deco = in.Share(keys::kN2PerCentDecompression, d.n2PerCentDecompression);
    const auto heDeco = in.Share(keys::kHePerCentDecompression, d.hePerCentDecompression);
    if (n2Deco && heDeco && IsPossibleGas(*n2Deco, *heDeco)) {
        s.n2PerCentDecompression = RoundToInt32(*n2Deco);
        s.hePerCentDecompression = RoundToInt32(*heDeco);
    }
    s.maxPpO2 = in.Kept(keys::kMaxPPO2, d.maxPpO2);
    // The only key whose decimal comma is accepted at load.
    s.constantPpO2 = KeptNumber(keys::kConstantppO2, CommaToPoint(in.Text(keys::kConstantppO2)))
                         .value_or(d.constantPpO2);
    s.minPpO2 = in.Kept(keys::kMinPPO2, d.minPpO2);
    s.maxPpN2 = in.Kept(keys::kMaxPPN2, d.maxPpN2);

    bool anyCompartmentShown = false;
    s.showCompartment[0] = 0;
    for (int k = 1; k <= kCompartmentCount; ++k) {
        s.showCompartment[k] = in.Int16(ShowCompartmentKey(k));
        anyCompartmentShown = anyCompartmentShown || s.showCompartment[k] == 1;
    }
    if (!anyCompartmentShown) std::fill(s.showCompartment.begin() + 1, s.showCompartment.end(), 1);

    s.warnPpO2Hi = in.Int16(keys::kPPO2Hi);
    s.warnPpO2Lo = in.Int16(keys::kPPO2Lo);
    s.warnPpN2 = in.Int16(keys::kPPN2);
    s.decoModel = in.Kept(keys::kDecoModel, d.decoModel);
    s.decoMode = in.Int16(keys::kDecoMode);
    if (ProgressivityTimeFactor(s.decoMode) == 0.0) {
        // Absent, 0, not a number, or outside the table: the middle progressivity, stored so
        // that the options dialog shows what the calculation uses.
        s.decoMode = d.decoMode;
        WriteSetting(store, keys::kDecoMode, std::to_string(s.decoMode));
    }
    s.sharp1stStep = in.Text(keys::kSharp1stStep) == "True" ? 1 : 0;
    s.cabinPressure = in.Kept(keys::kCabinPressure, d.cabinPressure);
    s.deepStops = in.Int16(keys::kDeepStops);
    s.deepStopMode = in.Kept(keys::kDeepStopMode, d.deepStopMode);
    s.deepStopTime = in.Kept(keys::kDeepStopTime, d.deepStopTime);

    Compartment0Values& c0 = s.compartment0;
    c0.halfTimeN2 = in.Kept(keys::kC0T05N2, d.compartment0.halfTimeN2);
    c0.aN2 = in.Kept(keys::kC0aN2, d.compartment0.aN2);
    c0.bN2 = in.Kept(keys::kC0bN2, d.compartment0.bN2);
    c0.halfTimeHe = in.Kept(keys::kC0T05He, d.compartment0.halfTimeHe);
    c0.aHe = in.Kept(keys::kC0aHe, d.compartment0.aHe);
    c0.bHe = in.Kept(keys::kC0bHe, d.compartment0.bHe);
    s.firstCompartment = in.Number(keys::kUseC0) == 1 ? 0 : 1;

    s.guidelinesColour = in.Kept(keys::kGuidelinesColour, d.guidelinesColour);
    s.horizontalGuidelines = in.Int16(keys::kHorizontal);
    s.verticalGuidelines = in.Int16(keys::kVertical);
    s.showAirMix = AbsoluteValue16(in.Int16(keys::kShowAirMix));
    s.circleDiameter = in.Kept(keys::kCircleDiameter, d.circleDiameter);
    s.lineWidth = in.Kept(keys::kLineWidth, d.lineWidth);
    s.circleLineWidth = in.Kept(keys::kCircleLineWidth, d.circleLineWidth);
    s.profileCircleColour = in.Kept(keys::kProfileCircle, d.profileCircleColour);
    s.graphLineColour = in.Int32(keys::kGraphLine);
    s.outProfileColour = in.Int32(keys::kOutProfile);
    s.graphBackColour = in.Kept(keys::kGraphBackColor, d.graphBackColour);
    s.crossColour = in.Int32(keys::kCross);
    s.useMultiColorLine = in.Int16(keys::kUseMultiColorLine);
    s.picDiveFontName = TextOr(in.Text(keys::kPicDiveFontName), d.picDiveFontName);
    s.interval = in.Kept(keys::kInterval, d.interval);
    s.printDiveValues = in.Int16(keys::kPrintDiveValues);

    s.port = in.Kept(keys::kPort, d.port);
    s.dataBits = in.Kept(keys::kDataBits, d.dataBits);
    s.stopBits = in.Kept(keys::kStopBits, d.stopBits);
    s.parity = ParityOr(in.Text(keys::kParity), d.parity);
    s.baudRate = in.Kept(keys::kBaudRate, d.baudRate);
    s.comDelay = in.Kept(keys::kCOMDelay, d.comDelay);
    s.interfaceType = in.Kept(keys::kInterfaceType, d.interfaceType);
    s.fileStoragePath =
        TextOr(in.Text(keys::kFileStoragePath), std::string(programFolder) + "/Tauchprofile");
    s.tankSize = in.Kept(keys::kTankSize, d.tankSize);
    s.tankPressure = in.Kept(keys::kTankPressure, d.tankPressure);
    s.airSupply = SaturatedProduct(s.tankSize, s.tankPressure);

    // The axis lengths are read after the model is set up.
    s.maxVScale = in.Kept(keys::kMaxVScale, d.maxVScale);
    s.maxHScale = in.Kept(keys::kMaxHScale, d.maxHScale);
    s.planner = LoadPlannerSettings(store, s.airPressure);
    return s;
}

void WriteSettings(SettingsStore& store, const Settings& s) {
    const auto value = [&](const SettingKey& key, double v) {
        WriteSetting(store, key, StoredText(key, v));
    };
    const auto text = [&](const SettingKey& key, std::string_view v) {
        WriteSetting(store, key, v);
    };
    value(keys::kAirConsumption, s.airConsumption);
    value(keys::kAirPressure, s.airPressure);
    value(keys::kAirPressureStandard, s.airPressureStandard);
    value(keys::kSurfaceInterval, s.surfaceInterval);
    text(keys::kN2Percent, s.n2PercentText);
    value(keys::kInitialppN2, s.initialPpN2);
    text(keys::kHePercent, s.hePercentText);
    text(keys::kO2Percent, s.o2PercentText);
    value(keys::kN2PerCentSurface, s.n2PerCentSurface);
    value(keys::kN2PerCentDecompression, s.n2PerCentDecompression);
    value(keys::kHePerCentDecompression, s.hePerCentDecompression);
    value(keys::kMaxPPO2, s.maxPpO2);
    value(keys::kConstantppO2, s.constantPpO2);
    value(keys::kMinPPO2, s.minPpO2);
    value(keys::kMaxPPN2, s.maxPpN2);
    for (int k = 1; k <= kCompartmentCount; ++k) {
        value(ShowCompartmentKey(k), s.showCompartment[k]);
    }
    value(keys::kPPO2Hi, s.warnPpO2Hi);
    value(keys::kPPO2Lo, s.warnPpO2Lo);
    value(keys::kPPN2, s.warnPpN2);
    value(keys::kDecoModel, s.decoModel);
    value(keys::kDecoMode, s.decoMode);
    value(keys::kSharp1stStep, s.sharp1stStep);
    value(keys::kCabinPressure, s.cabinPressure);
    value(keys::kDeepStops, s.deepStops);
    value(keys::kDeepStopMode, s.deepStopMode);
    value(keys::kDeepStopTime, s.deepStopTime);
    value(keys::kC0T05N2, s.compartment0.halfTimeN2);
    value(keys::kC0aN2, s.compartment0.aN2);
    value(keys::kC0bN2, s.compartment0.bN2);
    value(keys::kC0T05He, s.compartment0.halfTimeHe);
    value(keys::kC0aHe, s.compartment0.aHe);
    value(keys::kC0bHe, s.compartment0.bHe);
    value(keys::kUseC0, s.firstCompartment == 0 ? 1 : 0);
    value(keys::kGuidelinesColour, s.guidelinesColour);
    value(keys::kHorizontal, s.horizontalGuidelines);
    value(keys::kVertical, s.verticalGuidelines);
    value(keys::kShowAirMix, s.showAirMix);
    value(keys::kCircleDiameter, s.circleDiameter);
    value(keys::kLineWidth, s.lineWidth);
    value(keys::kCircleLineWidth, s.circleLineWidth);
    value(keys::kProfileCircle, s.profileCircleColour);
    value(keys::kGraphLine, s.graphLineColour);
    value(keys::kOutProfile, s.outProfileColour);
    value(keys::kGraphBackColor, s.graphBackColour);
    value(keys::kCross, s.crossColour);
    value(keys::kUseMultiColorLine, s.useMultiColorLine);
    text(keys::kPicDiveFontName, s.picDiveFontName);
    value(keys::kInterval, s.interval);
    value(keys::kPrintDiveValues, s.printDiveValues);
    value(keys::kPort, s.port);
    value(keys::kDataBits, s.dataBits);
    value(keys::kStopBits, s.stopBits);
    text(keys::kParity, s.parity);
    value(keys::kBaudRate, s.baudRate);
    value(keys::kCOMDelay, s.comDelay);
    value(keys::kInterfaceType, s.interfaceType);
    text(keys::kFileStoragePath, s.fileStoragePath);
    value(keys::kTankSize, s.tankSize);
    value(keys::kTankPressure, s.tankPressure);
    value(keys::kMaxVScale, s.maxVScale);
    value(keys::kMaxHScale, s.maxHScale);
    StorePlannerSettings(store, s.planner);
}

bool StepwiseForCalculation(const SettingsStore& store) {
    return ReadSetting(store, keys::kStep) != "False";
}

bool StepwiseForOutputs(const SettingsStore& store) {
    return ReadSetting(store, keys::kStep) == "True";
}

int StartUpPictureMilliseconds(const SettingsStore& store) {
    return StoredNumber(ReadSetting(store, keys::kTestMode)) == 0 ? 5000 : 1;
}

}  // namespace marelos
