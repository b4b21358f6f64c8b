#include "core/settings/options_form.h"

#include <gtest/gtest.h>

#include <memory>

#include "core/divecomputers/serial_link.h"
#include "core/settings/memory_settings_store.h"
#include "tests/core/engine/outputs_test_support.h"

namespace marelos {
namespace {

// A workspace loaded from a store, as the program has it when the dialog opens.
struct Program {
    Program() : workspace(std::make_unique<Workspace>()) { Reload(); }
    void Reload() { *workspace = WorkspaceFromSettings(LoadSettings(store, "/opt/marelos")); }
    // Opens the dialog, lets `edit` change fields, and presses "OK"; the fields after are kept.
    std::optional<OptionsProblem> Confirm(const std::function<void(OptionsFields&)>& edit = {}) {
        fields = OpenOptions(*workspace, store);
        if (edit) edit(fields);
        return ApplyOptions(fields, workspace->model, *workspace, store, ui, [this] { ++redraws; });
    }

    InMemorySettingsStore store;
    ScriptedUi ui;
    std::unique_ptr<Workspace> workspace;
    OptionsFields fields;
    int redraws = 0;
};

TEST(OptionsForm, ConfirmingUnchangedFieldsKeepsTheRunningValuesAndTheStore) {
    Program p;
    p.store.WriteSetting("Values", "AirPressure", "960");
    p.store.WriteSetting("Values", "MaxPPO2", "1.4");
    p.store.WriteSetting("Guidelines", "Horizontal", "1");
    p.store.WriteSetting("View", "ShowCompartment1", "1");  // and 2..16 hidden
    p.Reload();
    p.Confirm();
    // What runs now is what the next start loads.
    Settings running = p.workspace->settings;
    EXPECT_EQ(LoadSettings(p.store, "/opt/marelos"), running);
    EXPECT_EQ(running.airPressure, 960);
    EXPECT_EQ(running.showCompartment[3], 0);
    EXPECT_EQ(running.showCompartment[1], 1);
    EXPECT_EQ(p.redraws, 1);
    EXPECT_TRUE(p.ui.boxes.empty());

    const auto before = p.store.Entries();
    p.Confirm();
    EXPECT_EQ(p.store.Entries(), before);
}

TEST(OptionsForm, OpeningShowsTheSubstitutesOfValuesTheDialogDoesNotOffer) {
    Program p;
    p.workspace->settings.port = 0;
    p.workspace->settings.dataBits = 6;
    p.workspace->settings.stopBits = 3;
    p.workspace->settings.parity = "x";
    p.workspace->settings.baudRate = 19200;
    p.workspace->settings.airConsumption = 0;
    p.workspace->settings.circleDiameter = 101;
    p.store.WriteSetting("Applications", "ExcelPath", "NOVALUE");
    p.store.WriteSetting("Values", "ConstantppO2", "abc");
    p.store.WriteSetting("Settings", "NitroxDecoStart", "21");
    p.store.WriteSetting("Settings", "LastOptionsTab", "3");
    const OptionsFields f = OpenOptions(*p.workspace, p.store);
    // No cabin pressure stored: 685; the END of the default 5 bar, 53.07..., cut to 0.1 m.
    EXPECT_EQ((std::vector<std::string>{f.commPort, f.dataBits, f.stopBits, f.parity, f.baudRate,
                                        f.airLitre, f.cabinPressure, f.constPpO2, f.circleDiameter,
                                        f.excelPath, f.decoGasStart, f.end}),
              (std::vector<std::string>{"2", "8", "1", "N", "2400", "12", "685", "1.5", "40", "",
                                        "21", "53"}));
    EXPECT_EQ(p.workspace->settings.nitroxDecoStart, 21);
    EXPECT_EQ(f.tab, 3);
}

TEST(OptionsForm, OkReplacesWhatIsOutOfRangeAndStoresTheRest) {
    using F = OptionsFields;
    struct Case {
        std::string OptionsFields::*field;
        const char* typed;
        SettingKey key;
        const char* stored;
    };
    const std::vector<Case> cases = {
        {&F::airPressure, "1500", keys::kAirPressure, "1010"},
        {&F::airPressure, "1200", keys::kAirPressure, "1200"},
        {&F::surfaceInterval, "-1", keys::kSurfaceInterval, "60"},
        {&F::surfaceInterval, "0", keys::kSurfaceInterval, "0"},
        {&F::surfaceInterval, "600", keys::kSurfaceInterval, "600"},
        {&F::surfaceInterval, "601", keys::kSurfaceInterval, "240"},
        {&F::interval, "70000", keys::kInterval, "70000"},  // stored as typed
        {&F::commPort, "Keine", keys::kPort, "2"},
        {&F::commPort, "4", keys::kPort, "4"},
        {&F::dataBits, "7", keys::kDataBits, "7"},
        {&F::stopBits, "2", keys::kStopBits, "2"},
        {&F::parity, "e", keys::kParity, "E"},
        {&F::parity, "X", keys::kParity, "N"},
        {&F::baudRate, "28800", keys::kBaudRate, "28800"},
        {&F::fileStoragePath, "/home/taucher/tg", keys::kFileStoragePath, "/home/taucher/tg/"},
        {&F::fileStoragePath, "/home/taucher/tg/", keys::kFileStoragePath, "/home/taucher/tg/"},
        {&F::maxPpO2, "1,45", keys::kMaxPPO2, "1.45"},
        {&F::initialPpN2, "0,75", keys::kInitialppN2, "0.75"},
        {&F::decoGasStart, "20.6", keys::kNitroxDecoStart, "21"},
        {&F::decoGasStart, "", keys::kNitroxDecoStart, "0"},
        {&F::airLitre, " 15,5 ", keys::kAirConsumption, "15.5"},
        {&F::device, " /dev/ttyUSB0 ", keys::kDevice, "/dev/ttyUSB0"},
    };
    for (const Case& c : cases) {
        Program p;
        EXPECT_EQ(p.Confirm([&](F& f) { f.*c.field = c.typed; }), std::nullopt);
        EXPECT_EQ(ReadSetting(p.store, c.key), c.stored) << c.key.name << " " << c.typed;
    }

    // The interface test opens what "OK" would store.
    OptionsFields serial;
    serial.commPort = "Keine";
    serial.baudRate = "19200";
    serial.parity = "m";
    serial.dataBits = "7";
    serial.stopBits = "3";
    EXPECT_EQ(ChosenPort(serial), 2);
    EXPECT_EQ(ChosenLineSettings(serial), (LineSettings{2400, 'M', 7, 1}));
    const auto usbExists = [](const std::string& path) { return path == "/dev/ttyUSB1"; };
    EXPECT_EQ(ChosenDevice(serial, usbExists),
              (SerialPortDevice{"/dev/ttyUSB1", "COM2 (/dev/ttyUSB1)"}));
    serial.device = " /dev/pts/7";
    EXPECT_EQ(ChosenDevice(serial, usbExists), (SerialPortDevice{"/dev/pts/7", "/dev/pts/7"}));

    // The interval runs only within 1 to 63999 ms.
    for (const auto& [typed, running] : std::vector<std::pair<const char*, int>>{
             {"70000", 1000}, {"64000", 1000}, {"63999", 63999}, {"0", 1000}, {"1", 1}}) {
        Program p;
        p.Confirm([&](OptionsFields& f) { f.interval = typed; });
        EXPECT_EQ(p.workspace->settings.interval, running) << typed;
    }
}

// Every numeric field takes exactly the numbers its setting keeps when it is loaded: each limit
// from both sides (whole-number settings are rounded first, halves to even), and never a text
// or an empty field. A refused field stores and applies nothing.
TEST(OptionsForm, OkRefusesWhatTheSettingCouldNotLoadAndStoresNothing) {
    struct Case {
        std::string OptionsFields::*field;
        const char* name;
        std::vector<const char*> taken;
        std::vector<const char*> refused;  // besides "abc", "1x" and ""
    };
    using F = OptionsFields;
    const std::vector<Case> cases = {
        {&F::airPressure, "txtAirPressure", {"0.001", "2000", "1013,25"}, {"0", "2000.01"}},
        {&F::airPressureStd, "txtAirPressureStd", {"0,5", "2000"}, {"-1", "2000.5"}},
        {&F::airLitre, "txtAirLitre", {"0.01"}, {"0", "-0.01"}},
        {&F::tankSize, "cmbTankSize", {"0.6", "15"}, {"0", "0.5"}},
        {&F::tankPressure, "cmbTankPressure", {"1"}, {"-0.4"}},
        {&F::cabinPressure, "txtCabinPressure", {"0.001", "-5"}, {"0"}},
        {&F::surfaceInterval, "txtSurfaceInterval", {"6000.5", "-1"}, {"6000.6"}},
        {&F::interval, "txtInterval", {"1", "-1"}, {"0", "0.4"}},
        {&F::n2PerCentSurface, "txtN2PerCentSurface", {"0", "100.4"}, {"-0.6", "100.6"}},
        {&F::n2PerCentDecompression, "txtN2PerCentDecompression", {"0", "100"}, {"-1", "101"}},
        {&F::hePerCentDecompression, "txtHePerCentDecompression", {"0", "22"}, {"-1", "23"}},
        {&F::decoGasStart, "txtDecoGasStart", {"0.6", "40"}, {"0.5", "-3"}},
        {&F::initialPpN2, "txtInitialppN2", {"0.01", "10"}, {"0", "10.01"}},
        {&F::deepStopTime, "txtDeepStopTime", {"0", "-3"}, {}},
        {&F::maxPpO2, "txtMaxPPO2", {"1,6", "-1"}, {"0"}},
        {&F::minPpO2, "txtMinPPO2", {"0.16"}, {"0.0"}},
        {&F::maxPpN2, "txtMaxPPN2", {"3.16"}, {"-0"}},
        {&F::constPpO2, "txtConstppO2", {"0.01"}, {"0", "-1.2"}},
        {&F::circleDiameter, "cmbCircleDiameter", {"0.6", "100.5"}, {"0.5", "100.6"}},
        {&F::lineWidth, "cmbLineWidth", {"0.6", "10"}, {"0.5", "-1"}},
        {&F::circleLineWidth, "cmbCircleLineWidth", {"1"}, {"0"}},
        {&F::dataBits, "cmbDataBits", {"7", "8"}, {"6", "9"}},
        {&F::stopBits, "cmbStopBits", {"1", "2"}, {"0", "3"}},
        {&F::baudRate, "cmbBaudRate", {"1200", "28800"}, {"19200", "2401"}},
        {&F::comDelay, "txtCOMDelay", {"1"}, {"0", "0.4"}},
        {&F::commPort, "cmbCommPort", {"1", "4", "Keine"}, {"0", "5"}},
        {&F::device, "cmbDevice", {"", "/dev/pts/7"}, {"ttyUSB0"}},
    };
    std::string golden;  // tab, field, text and message of every refusal
    for (const Case& c : cases) {
        for (const char* taken : c.taken) {
            Program p;
            EXPECT_EQ(p.Confirm([&](F& f) { f.*c.field = taken; }), std::nullopt)
                << c.name << " " << taken;
        }
        std::vector<const char*> refused = c.refused;
        refused.push_back("abc");
        refused.push_back("1x");
        if (c.field != &F::decoGasStart && c.field != &F::device) refused.push_back("");
        for (const char* text : refused) {
            Program p;
            const Settings before = p.workspace->settings;
            const int writes = p.store.WriteCount();
            const auto problem = p.Confirm([&](F& f) { f.*c.field = text; });
            ASSERT_TRUE(problem) << c.name << " " << text;
            EXPECT_EQ(problem->field, c.name) << text;
            golden += std::to_string(problem->tab) + " " + problem->field + " „" + text +
                      "“: " + problem->message + "\n";
            EXPECT_EQ(p.store.WriteCount(), writes) << c.name << " " << text;
            EXPECT_EQ(p.workspace->settings, before) << c.name << " " << text;
            EXPECT_EQ(p.redraws, 0);
        }
    }
    for (int i = 0; i < 6; ++i) {  // the six values of compartment 0
        Program p;
        const auto problem = p.Confirm([&](F& f) { f.compartment0[i] = "0"; });
        ASSERT_TRUE(problem) << i;
        golden +=
            std::to_string(problem->tab) + " " + problem->field + ": " + problem->message + "\n";
        EXPECT_EQ(p.Confirm([&](F& f) { f.compartment0[i] = "-0,5"; }), std::nullopt) << i;
    }

    // Both shares of the decompression gas together above 100 %.
    Program p;
    const auto sum = p.Confirm([](F& f) {
        f.n2PerCentDecompression = "60";
        f.hePerCentDecompression = "41";
    });
    golden += sum->field + ": " + sum->message + "\n";
    ExpectGolden("options_refused.txt", golden);
}

TEST(OptionsForm, TheModelFactorsMustBeNumbersAboveZero) {
    OptionsFields f;
    EXPECT_EQ(CheckCoefficientFactors(f), std::nullopt);
    EXPECT_EQ(CheckHalfTimeFactor(f), std::nullopt);
    f.bMulti = "0";
    ASSERT_TRUE(CheckCoefficientFactors(f));
    EXPECT_EQ(CheckCoefficientFactors(f)->field, "txtBMulti");
    f.aMulti = "abc";
    EXPECT_EQ(CheckCoefficientFactors(f)->field, "txtAMulti");
    f.t05Multi = "1,5";
    EXPECT_EQ(CheckHalfTimeFactor(f), std::nullopt);
    f.t05Multi = "-1";
    EXPECT_EQ(CheckHalfTimeFactor(f)->tab, 4);
}

TEST(OptionsForm, AConstantPpO2AboveTheMaximumIsCorrectedOnlyWhenTheUserSaysYes) {
    for (const Answer answer : {Answer::Yes, Answer::No}) {
        Program p;
        p.ui.answers = {answer};
        p.Confirm([](OptionsFields& fields) {
            fields.constPpO2 = "1.8";
            fields.maxPpO2 = "1,6";
        });
        const OptionsFields& f = p.fields;
        ASSERT_EQ(p.ui.questions.size(), 1u);
        EXPECT_EQ(p.ui.questions[0],
                  "Achtung! Der eingestellte konstante ppO2 ist größer als der maximal erlaubte "
                  "Wert. Wollen Sie die korrigieren?");
        const bool yes = answer == Answer::Yes;
        EXPECT_EQ(p.store.ReadSetting("Values", "ConstantppO2"), yes ? "1.6" : "1.8");
        EXPECT_EQ(p.workspace->settings.constantPpO2, yes ? 1.6 : 1.8);
        EXPECT_EQ(f.constPpO2, yes ? "1.6" : "1.8");
        EXPECT_EQ(p.ui.boxes.size(), yes ? 1u : 0u);
    }
    Program equal;
    equal.Confirm([](OptionsFields& f) { f.constPpO2 = f.maxPpO2; });
    EXPECT_TRUE(equal.ui.questions.empty());
}

TEST(OptionsForm, OkStoresExactlyTheCheckedCompartmentsAndCompartmentZero) {
    Program p;
    p.Confirm([](OptionsFields& f) {
        f.showCompartment.fill(false);
        f.showCompartment[2] = f.showCompartment[16] = true;
        f.useC0 = true;
        f.compartment0[0] = "2,5";
    });
    for (int k = 0; k <= 16; ++k) {
        const bool shown = k == 0 || k == 2 || k == 16;
        EXPECT_EQ(ReadSetting(p.store, ShowCompartmentKey(k)), shown ? "1" : "0") << k;
        EXPECT_EQ(p.workspace->settings.showCompartment[k], shown ? 1 : 0) << k;
    }
    EXPECT_EQ(p.workspace->model.firstCompartment, 0);
    EXPECT_EQ(p.workspace->model.halfTimeN2[0], 2.5);
    EXPECT_EQ(p.store.ReadSetting("Values", "C0T05N2"), "2.5");
    EXPECT_EQ(p.store.ReadSetting("Settings", "UseC0"), "1");
}

TEST(OptionsForm, ChangingTheModelLoadsItsLiteratureValuesWithOneMessage) {
    Program p;
    ScaleCoefficients(p.workspace->model, 1.1, 1.0);
    p.Confirm([](OptionsFields& f) {
        f.model = 1;
        f.progressivity = "Sehr konservativ";
    });
    ASSERT_EQ(p.ui.boxes.size(), 1u);
    EXPECT_NE(p.ui.boxes[0].text.find("Modell ZH-L16A geladen"), std::string::npos);
    EXPECT_EQ(p.workspace->model.aN2[5], 0.6667);
    EXPECT_EQ(p.workspace->model.aN2[13], 0.2971);
    EXPECT_EQ(p.workspace->model.timeFactor, 6.0);
    EXPECT_EQ(p.store.ReadSetting("Values", "DecoModel"), "1");
    EXPECT_EQ(p.store.ReadSetting("Values", "DecoMode"), "1");

    p.Confirm([](OptionsFields& f) { f.progressivity = "unbekannt"; });  // same model: quiet
    EXPECT_EQ(p.ui.boxes.size(), 1u);
    EXPECT_EQ(p.workspace->model.timeFactor, 6.0);
}

TEST(OptionsForm, EquivalentNarcoticDepthAndMaximumPpN2AreCut) {
    EXPECT_EQ(MaxPpN2FromEnd("30"), "3.16");  // 3.1653...
    EXPECT_EQ(MaxPpN2FromEnd("0"), "0.78");
    EXPECT_EQ(EndFromMaxPpN2("3,16"), "29.9");
    EXPECT_EQ(EndFromMaxPpN2("0.78"), "0");
}

TEST(SerialLink, LineSettingsAndTheDeviceOfAPort) {
    EXPECT_EQ(ParseLineSettings("2400,o,8,1"), (LineSettings{2400, 'O', 8, 1}));
    EXPECT_EQ(LineSettingsText({9600, 'N', 7, 2}), "9600,N,7,2");
    for (const char* bad : {"2400,O,8", "2400,X,8,1", "2400,O,9,1", "2400,O,8,3", "0,N,8,1"})
        EXPECT_FALSE(ParseLineSettings(bad)) << bad;

    InMemorySettingsStore store;
    const auto usbExists = [](const std::string& path) { return path == "/dev/ttyUSB1"; };
    const auto nothingExists = [](const std::string&) { return false; };
    EXPECT_EQ(SerialDevice(store, 2, usbExists).path, "/dev/ttyUSB1");
    EXPECT_EQ(SerialDevice(store, 2, nothingExists),
              (SerialPortDevice{"/dev/ttyS1", "COM2 (/dev/ttyS1)"}));
    store.WriteSetting("CommPort", "Device", "/dev/pts/7");
    EXPECT_EQ(SerialDevice(store, 2, usbExists), (SerialPortDevice{"/dev/pts/7", "/dev/pts/7"}));

    EXPECT_EQ(SerialOpenErrorMessage("COM2", {true, 0}),
              "Schnittstelle COM2: wird bereits von einem anderem Programm oder Prozess "
              "verwendet.");
    EXPECT_EQ(SerialOpenErrorMessage("COM3", {false, 2}),
              "Schnittstelle COM3: Datei oder Ordner nicht gefunden (Fehler 2)");
}

}  // namespace
}  // namespace marelos
