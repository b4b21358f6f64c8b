#include "core/settings/settings.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/settings/memory_settings_store.h"

namespace marelos {
namespace {

constexpr const char* kProgramFolder = "/opt/marelos";

Settings LoadWith(std::initializer_list<std::tuple<const char*, const char*, const char*>> values,
                  InMemorySettingsStore* keep = nullptr) {
    InMemorySettingsStore local;
    InMemorySettingsStore& store = keep ? *keep : local;
    for (const auto& [section, key, value] : values)
        store.WriteSetting(section, key, value);
    return LoadSettings(store, kProgramFolder);
}

// The defaults are also every fallback: those the tests below pin through a replaced value are
// not repeated here, and the loaded settings must equal the default-constructed ones.
TEST(LoadSettings, AnEmptyStoreGivesEveryDefault) {
    InMemorySettingsStore store;
    const Settings s = LoadSettings(store, kProgramFolder);
    EXPECT_EQ(s.airPressureStandard, 1000);
    EXPECT_EQ(s.maxPpO2, 1.6);
    EXPECT_EQ(s.constantPpO2, 1.5);
    EXPECT_EQ(s.minPpO2, 0.2);
    EXPECT_EQ(s.maxPpN2, 5.0);
    EXPECT_EQ(s.cabinPressure, 595);
    EXPECT_EQ(s.tankPressure, 200);
    EXPECT_EQ(s.picDiveFontName, "Arial");
    EXPECT_EQ(s.graphBackColour, 16777215);
    EXPECT_EQ(s.guidelinesColour, 14935011);
    EXPECT_EQ(s.interfaceType, 1);
    EXPECT_EQ(s.deepStopMode, 1);
    EXPECT_EQ(s.fileStoragePath, "/opt/marelos/Tauchprofile");
    Settings defaults;
    defaults.fileStoragePath = "/opt/marelos/Tauchprofile";
    EXPECT_EQ(s, defaults);
    // The repaired progressivity is the one write of the load.
    EXPECT_EQ(store.ReadSetting("Values", "DecoMode"), "3");
    EXPECT_EQ(store.WriteCount(), 1);
}

TEST(LoadSettings, EmptyRuleKeepsAStoredZeroWhilePositiveAndNonZeroRulesReplaceIt) {
    const Settings s = LoadWith({{"Values", "SurfaceInterval", "0"},
                                 {"Values", "AirConsumption", "0"},
                                 {"Values", "N2PerCentSurface", "0"},
                                 {"Values", "HePerCentDecompression", "abc"},
                                 {"Values", "TankSize", "0"},
                                 {"Values", "CabinPressure", "-5"},
                                 {"SuuntoVyper", "COMDelay", "-5"},
                                 {"Colors", "ProfileCircle", "-1"},
                                 {"Colors", "Guidelines", "-1"}});
    EXPECT_EQ(s.surfaceInterval, 0);
    EXPECT_EQ(s.airConsumption, 15);
    EXPECT_EQ(s.n2PerCentSurface, 0);
    EXPECT_EQ(s.hePerCentDecompression, 0);
    EXPECT_EQ(s.tankSize, 15);
    EXPECT_EQ(s.cabinPressure, -5);  // only exactly 0 is replaced
    EXPECT_EQ(s.comDelay, 350);
    EXPECT_EQ(s.profileCircleColour, 8404992);
    EXPECT_EQ(s.guidelinesColour, -1);
}

// A text that holds no number is no value: where a stored 0 is kept, the text does not pass
// for one but loads as the default, like an empty entry.
TEST(LoadSettings, ATextThatIsNoNumberLoadsAsTheDefault) {
    const Settings s = LoadWith({{"Values", "SurfaceInterval", "abc"},
                                 {"Values", "N2PerCentSurface", "-"},
                                 {"Values", "N2PerCentDecompression", "x"},
                                 {"Values", "HePerCentDecompression", "10"},
                                 {"Values", "DeepStopTime", "abc"},
                                 {"Values", "AirPressure", "abc"},
                                 {"Values", "CabinPressure", "Luft"}});
    EXPECT_EQ(s.surfaceInterval, 120);
    EXPECT_EQ(s.n2PerCentSurface, 78);
    EXPECT_EQ(s.n2PerCentDecompression, 78);  // the other share is kept
    EXPECT_EQ(s.hePerCentDecompression, 10);
    EXPECT_EQ(s.deepStopTime, 0);
    EXPECT_EQ(s.airPressure, 1000);
    EXPECT_EQ(s.cabinPressure, 595);
    EXPECT_EQ(LoadWith({{"Values", "SurfaceInterval", " 0"}}).surfaceInterval, 0);
    EXPECT_EQ(LoadWith({{"Values", "SurfaceInterval", "-.5"}}).surfaceInterval, 0);
}

TEST(LoadSettings, ADecimalCommaIsReadOnlyForTheConstantPpO2) {
    const Settings s = LoadWith({{"Values", "AirConsumption", "15,5"},
                                 {"Values", "InitialppN2", "0,5"},
                                 {"Values", "ConstantppO2", "1,3"},
                                 {"Values", "MaxPPO2", "1,4"}});
    EXPECT_EQ(s.airConsumption, 15);
    EXPECT_EQ(s.initialPpN2, 0.79);  // "0,5" reads as 0, outside the range
    EXPECT_EQ(s.constantPpO2, 1.3);
    EXPECT_EQ(s.maxPpO2, 1);
}

TEST(LoadSettings, RangesIncludeTheirEndsAndReplaceEverythingOutside) {
    EXPECT_EQ(LoadWith({{"Settings", "MaxVScale", "11"}}).maxVScale, 11);
    EXPECT_EQ(LoadWith({{"Settings", "MaxVScale", "199"}}).maxVScale, 199);
    EXPECT_EQ(LoadWith({{"Settings", "MaxVScale", "200"}}).maxVScale, 50);
    EXPECT_EQ(LoadWith({{"Settings", "MaxVScale", "10.6"}}).maxVScale, 11);  // rounded first
    EXPECT_EQ(LoadWith({{"Settings", "MaxHScale", "6000"}}).maxHScale, 6000);
    EXPECT_EQ(LoadWith({{"Settings", "MaxHScale", "6001"}}).maxHScale, 60);
    EXPECT_EQ(LoadWith({{"Settings", "MaxHScale", "9"}}).maxHScale, 60);
    EXPECT_EQ(LoadWith({{"Values", "AirPressure", "2000"}}).airPressure, 2000);
    EXPECT_EQ(LoadWith({{"Values", "AirPressure", "2000.5"}}).airPressure, 1000);
    EXPECT_EQ(LoadWith({{"Values", "AirPressure", "0.001"}}).airPressure, 0.001);
    EXPECT_EQ(LoadWith({{"Values", "AirPressure", "-1"}}).airPressure, 1000);
    EXPECT_EQ(LoadWith({{"Values", "AirPressureStandard", "1013.25"}}).airPressureStandard,
              1013.25);
    EXPECT_EQ(LoadWith({{"Values", "InitialppN2", "10"}}).initialPpN2, 10);
    EXPECT_EQ(LoadWith({{"Values", "InitialppN2", "10.01"}}).initialPpN2, 0.79);
    EXPECT_EQ(LoadWith({{"Values", "DecoModel", "4"}}).decoModel, 4);
    EXPECT_EQ(LoadWith({{"Values", "DecoModel", "5"}}).decoModel, 3);
    EXPECT_EQ(LoadWith({{"View", "CircleDiameter", "100"}}).circleDiameter, 100);
    EXPECT_EQ(LoadWith({{"View", "CircleDiameter", "0"}}).circleDiameter, 30);
    EXPECT_EQ(LoadWith({{"View", "LineWidth", "-3"}}).lineWidth, 1);
    EXPECT_EQ(LoadWith({{"View", "LineWidth", "4"}}).lineWidth, 4);
    EXPECT_EQ(LoadWith({{"View", "CircleLineWidth", "0"}}).circleLineWidth, 1);
    EXPECT_EQ(LoadWith({{"CommPort", "Port", "4"}}).port, 4);  // what the options dialog offers
    EXPECT_EQ(LoadWith({{"CommPort", "Port", "5"}}).port, 1);
    EXPECT_EQ(LoadWith({{"CommPort", "DataBits", "7"}}).dataBits, 7);
    EXPECT_EQ(LoadWith({{"CommPort", "DataBits", "9"}}).dataBits, 8);
    EXPECT_EQ(LoadWith({{"CommPort", "StopBits", "2"}}).stopBits, 2);
    EXPECT_EQ(LoadWith({{"CommPort", "StopBits", "0"}}).stopBits, 1);
}

TEST(LoadSettings, SurfaceIntervalAndGasSharesOutsideWhatCanBeAreReplaced) {
    struct Case {
        const char* interval;
        std::int32_t loaded;
    };
    for (const Case& c : std::initializer_list<Case>{
             {"0", 0}, {"6000", 6000}, {"6001", 120}, {"-1", -1}, {"2147483647", 120}}) {
        EXPECT_EQ(LoadWith({{"Values", "SurfaceInterval", c.interval}}).surfaceInterval, c.loaded)
            << c.interval;
    }
    struct Gas {
        const char* n2;
        const char* he;
        std::int32_t n2Loaded;
        std::int32_t heLoaded;
    };
    for (const Gas& g : std::initializer_list<Gas>{{"22", "78", 22, 78},
                                                   {"0", "100", 0, 100},
                                                   {"23", "78", 78, 0},
                                                   {"0", "250", 78, 0},
                                                   {"150", "0", 78, 0},
                                                   {"-1", "50", 78, 0}}) {
        const Settings s = LoadWith({{"Values", "N2PerCentDecompression", g.n2},
                                     {"Values", "HePerCentDecompression", g.he}});
        EXPECT_EQ(s.n2PerCentDecompression, g.n2Loaded) << g.n2 << "/" << g.he;
        EXPECT_EQ(s.hePerCentDecompression, g.heLoaded) << g.n2 << "/" << g.he;
    }
    EXPECT_EQ(LoadWith({{"Values", "N2PerCentSurface", "100"}}).n2PerCentSurface, 100);
    EXPECT_EQ(LoadWith({{"Values", "N2PerCentSurface", "101"}}).n2PerCentSurface, 78);
    EXPECT_EQ(LoadWith({{"Values", "N2Percent", "1e999"}}).n2PercentText, "78");
    EXPECT_EQ(LoadWith({{"Values", "N2Percent", "100"}}).n2PercentText, "100");
}

TEST(LoadSettings, MixFieldsKeepTheirTextWithinTheirLimits) {
    Settings s = LoadWith({{"Values", "O2Percent", "32"},
                           {"Values", "N2Percent", "68"},
                           {"Values", "HePercent", "0"}});
    EXPECT_EQ(s.o2PercentText, "32");
    EXPECT_EQ(s.n2PercentText, "68");
    s = LoadWith({{"Values", "O2Percent", "0"},
                  {"Values", "N2Percent", "0"},
                  {"Values", "HePercent", "101"}});
    EXPECT_EQ(s.o2PercentText, "21");
    EXPECT_EQ(s.n2PercentText, "0");  // only an empty N2 text is replaced
    EXPECT_EQ(s.hePercentText, "0");
    s = LoadWith({{"Values", "O2Percent", "100"}, {"Values", "HePercent", "-1"}});
    EXPECT_EQ(s.o2PercentText, "100");
    EXPECT_EQ(s.hePercentText, "0");
    s = LoadWith({{"Values", "O2Percent", "abc"}, {"Values", "HePercent", "abc"}});
    EXPECT_EQ(s.o2PercentText, "21");
    EXPECT_EQ(s.hePercentText, "abc");  // a text without a number reads as 0, which is allowed
}

TEST(LoadSettings, ProgressivityOutsideTheTableIsRepairedAndWrittenBack) {
    for (const char* stored : {"", "0", "abc", "6", "-1", "5.5", "99999"}) {
        InMemorySettingsStore store;
        store.WriteSetting("Values", "DecoMode", stored);
        const Settings s = LoadSettings(store, kProgramFolder);
        EXPECT_EQ(s.decoMode, 3) << stored;
        EXPECT_EQ(store.ReadSetting("Values", "DecoMode"), "3") << stored;
    }
    for (const int mode : {1, 2, 3, 4, 5}) {
        InMemorySettingsStore store;
        store.WriteSetting("Values", "DecoMode", std::to_string(mode));
        EXPECT_EQ(LoadSettings(store, kProgramFolder).decoMode, mode);
        EXPECT_EQ(store.WriteCount(), 1) << "nothing is written for a valid progressivity";
    }
    EXPECT_EQ(LoadWith({{"Values", "DecoMode", "4.5"}}).decoMode, 4);  // halves to even
    EXPECT_THAT((std::vector<double>{ProgressivityTimeFactor(1), ProgressivityTimeFactor(2),
                                     ProgressivityTimeFactor(3), ProgressivityTimeFactor(4),
                                     ProgressivityTimeFactor(5)}),
                ::testing::ElementsAre(6.0, 3.0, 1.5, 1.1, 1.0));
}

TEST(LoadSettings, AllCompartmentsHiddenMeansAllShown) {
    InMemorySettingsStore store;
    for (int k = 0; k <= kCompartmentCount; ++k) {
        store.WriteSetting("View", "ShowCompartment" + std::to_string(k), "0");
    }
    Settings s = LoadSettings(store, kProgramFolder);
    for (int k = 1; k <= kCompartmentCount; ++k)
        EXPECT_EQ(s.showCompartment[k], 1) << k;
    EXPECT_EQ(s.showCompartment[0], 0);

    store.WriteSetting("View", "ShowCompartment7", "1");
    store.WriteSetting("View", "ShowCompartment0", "1");  // not loaded at start
    s = LoadSettings(store, kProgramFolder);
    for (int k = 1; k <= kCompartmentCount; ++k)
        EXPECT_EQ(s.showCompartment[k], k == 7) << k;
    EXPECT_EQ(s.showCompartment[0], 0);

    // A flag of 2 is not "shown", so with no 1 among them all are shown again.
    store.WriteSetting("View", "ShowCompartment7", "2");
    s = LoadSettings(store, kProgramFolder);
    EXPECT_EQ(s.showCompartment[3], 1);
}

TEST(LoadSettings, FlagsSwitchesAndSerialLineValues) {
    const Settings s = LoadWith({{"Settings", "UseC0", "1"},
                                 {"View", "ShowAirMix", "-1"},
                                 {"Decompression", "Sharp1stStep", "true"},
                                 {"CommPort", "Parity", "e"},
                                 {"CommPort", "BaudRate", "9600"},
                                 {"SuuntoVyper", "InterfaceType", "2"}});
    EXPECT_EQ(s.firstCompartment, 0);
    EXPECT_EQ(s.showAirMix, 1);
    EXPECT_EQ(s.sharp1stStep, 0);  // only "True" switches it on
    EXPECT_EQ(s.parity, "E");
    EXPECT_EQ(s.baudRate, 9600);
    EXPECT_EQ(s.interfaceType, 2);
    EXPECT_EQ(LoadWith({{"Settings", "UseC0", "1.4"}}).firstCompartment, 1);
    EXPECT_EQ(LoadWith({{"Decompression", "Sharp1stStep", "True"}}).sharp1stStep, 1);
    EXPECT_EQ(LoadWith({{"CommPort", "Parity", "X"}}).parity, "O");
    EXPECT_EQ(LoadWith({{"CommPort", "Parity", "NE"}}).parity, "O");
    EXPECT_EQ(LoadWith({{"CommPort", "BaudRate", "19200"}}).baudRate, 2400);
    EXPECT_EQ(ParityOr("m", "N"), "M");
    EXPECT_EQ(ParityOr("", "N"), "N");  // the options dialog's fallback
    EXPECT_FALSE(IsAllowedBaudRate(19200));
    EXPECT_TRUE(IsAllowedBaudRate(28800));
}

TEST(LoadSettings, GarbageAndHugeNumbersFallBackWithoutOverflow) {
    const Settings s = LoadWith({{"Values", "TankSize", "1E400"},
                                 {"Values", "TankPressure", "99999999999"},
                                 {"Values", "AirConsumption", "1E400"},
                                 {"Values", "DeepStopTime", "70000"},
                                 {"View", "ShowAirMix", "-40000"},
                                 {"Settings", "Interval", "\x01\xff garbage"}});
    EXPECT_EQ(s.tankSize, 15);  // too large to be a number: as if none was stored
    EXPECT_EQ(s.tankPressure, 2147483647);
    EXPECT_EQ(s.airSupply, 2147483647);  // the product is held at the 32-bit limit
    EXPECT_EQ(s.airConsumption, 15);
    EXPECT_EQ(s.deepStopTime, 32767);
    EXPECT_EQ(s.showAirMix, 32767);
    EXPECT_EQ(s.interval, 1000);
    EXPECT_EQ(LoadWith({{"Values", "TankSize", "12"}, {"Values", "TankPressure", "232"}}).airSupply,
              2784);
}

TEST(WriteSettings, WrittenValuesLoadBackToTheSameRunningValues) {
    const Settings loaded = LoadWith({{"Values", "AirConsumption", "17.5"},
                                      {"Values", "AirPressure", "1013.25"},
                                      {"Values", "SurfaceInterval", "0"},
                                      {"Values", "N2PerCentDecompression", "0"},
                                      {"Values", "O2Percent", "32"},
                                      {"Values", "N2Percent", "68"},
                                      {"Values", "ConstantppO2", "1,3"},
                                      {"Values", "C0T05N2", "2.25"},
                                      {"Values", "DecoMode", "2"},
                                      {"Settings", "UseC0", "1"},
                                      {"Settings", "FileStoragePath", "/home/taucher/Profile/"},
                                      {"Decompression", "Sharp1stStep", "True"},
                                      {"View", "ShowCompartment4", "1"},
                                      {"View", "ShowCompartment5", "2"},
                                      {"CommPort", "Parity", "s"},
                                      {"Colors", "GraphBackColor", "12632256"}});
    InMemorySettingsStore written;
    WriteSettings(written, loaded);
    EXPECT_EQ(written.ReadSetting("Values", "AirPressure"), "1013.25");
    EXPECT_EQ(written.ReadSetting("Values", "ConstantppO2"), "1.3");
    EXPECT_EQ(written.ReadSetting("Decompression", "Sharp1stStep"), "True");
    EXPECT_EQ(written.ReadSetting("Settings", "UseC0"), "1");
    EXPECT_EQ(written.ReadSetting("CommPort", "Parity"), "S");
    const Settings reloaded = LoadSettings(written, kProgramFolder);
    EXPECT_EQ(reloaded, loaded);
}

TEST(OnDemandSettings, StepIsReadDifferentlyByCalculationAndOutputsTestModeShortensThePicture) {
    struct Case {
        const char* step;  // nullptr: absent
        bool calculation, outputs;
    };
    InMemorySettingsStore store;
    for (const Case& c : {Case{nullptr, true, false}, Case{"False", false, false},
                          Case{"True", true, true}, Case{"false", true, false}}) {
        if (c.step) store.WriteSetting("Decompression", "Step", c.step);
        EXPECT_EQ(StepwiseForCalculation(store), c.calculation) << (c.step ? c.step : "absent");
        EXPECT_EQ(StepwiseForOutputs(store), c.outputs) << (c.step ? c.step : "absent");
    }
    for (const auto& [testMode, milliseconds] :
         {std::pair{"", 5000}, std::pair{"0", 5000}, std::pair{"1", 1}, std::pair{"-0.5", 1}}) {
        if (*testMode) store.WriteSetting("Settings", "TestMode", testMode);
        EXPECT_EQ(StartUpPictureMilliseconds(store), milliseconds) << testMode;
    }
}

TEST(StoredText, EachFormHasItsWrittenShape) {
    EXPECT_EQ(StoredText(keys::kMaxHScale, 75), "75");
    EXPECT_EQ(StoredText(keys::kMaxHScale, 74.5), "74");
    EXPECT_EQ(StoredText(keys::kAirPressure, 1013.25), "1013.25");
    EXPECT_EQ(StoredText(keys::kInitialppN2, 0.1 + 0.2), "0.3");
    EXPECT_EQ(StoredText(keys::kSharp1stStep, 1), "True");
    EXPECT_EQ(StoredText(keys::kSharp1stStep, 0), "False");
    EXPECT_EQ(StoredText(keys::kGraphBackColor, 16777215), "16777215");
    EXPECT_EQ(ShowCompartmentKey(16).name, "ShowCompartment16");
    EXPECT_EQ(RecentFileKey(6).name, "6");
    EXPECT_EQ(RecentFileKey(1).section, "Files");
}

}  // namespace
}  // namespace marelos
