#include "core/settings/options_form.h"

#include <gtest/gtest.h>

#include <memory>

#include "core/divecomputers/serial_link.h"
#include "core/settings/memory_settings_store.h"
#include "tests/fakes/scripted_ui.h"

namespace marelos {
namespace {

// A workspace loaded from a store, as the program has it when the dialog opens.
struct Program {
    Program() : workspace(std::make_unique<Workspace>()) { Reload(); }
    void Reload() { *workspace = WorkspaceFromSettings(LoadSettings(store, "/opt/marelos")); }
    // Opens the dialog, lets `edit` change fields, and presses "OK"; returns the fields after.
    OptionsFields Confirm(const std::function<void(OptionsFields&)>& edit = {}) {
        OptionsFields fields = OpenOptions(*workspace, store);
        if (edit) edit(fields);
        ApplyOptions(fields, workspace->model, *workspace, store, ui, [this] { ++redraws; });
        return fields;
    }

    InMemorySettingsStore store;
    ScriptedUi ui;
    std::unique_ptr<Workspace> workspace;
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
    EXPECT_EQ(f.commPort, "2");
    EXPECT_EQ(f.dataBits, "8");
    EXPECT_EQ(f.stopBits, "1");
    EXPECT_EQ(f.parity, "N");
    EXPECT_EQ(f.baudRate, "2400");
    EXPECT_EQ(f.airLitre, "12");
    EXPECT_EQ(f.cabinPressure, "685");  // nothing stored
    EXPECT_EQ(f.constPpO2, "1.5");
    EXPECT_EQ(f.circleDiameter, "40");
    EXPECT_EQ(f.excelPath, "");
    EXPECT_EQ(f.decoGasStart, "21");
    EXPECT_EQ(p.workspace->settings.nitroxDecoStart, 21);
    EXPECT_EQ(f.tab, 3);
    EXPECT_EQ(f.end, "53");  // of the default 5 bar: 53.07... cut to 0.1 m
}

TEST(OptionsForm, OkReplacesWhatIsOutOfRangeAndStoresTheRest) {
    struct Case {
        std::string OptionsFields::*field;
        const char* typed;
        SettingKey key;
        const char* stored;
    };
    const std::vector<Case> cases = {
        {&OptionsFields::airPressure, "1500", keys::kAirPressure, "1010"},
        {&OptionsFields::airPressure, "-5", keys::kAirPressure, "1010"},
        {&OptionsFields::airPressure, "1200", keys::kAirPressure, "1200"},
        {&OptionsFields::airPressure, "0", keys::kAirPressure, "0"},
        {&OptionsFields::surfaceInterval, "-1", keys::kSurfaceInterval, "60"},
        {&OptionsFields::surfaceInterval, "0", keys::kSurfaceInterval, "0"},
        {&OptionsFields::surfaceInterval, "600", keys::kSurfaceInterval, "600"},
        {&OptionsFields::surfaceInterval, "601", keys::kSurfaceInterval, "240"},
        {&OptionsFields::interval, "70000", keys::kInterval, "70000"},  // stored as typed
        {&OptionsFields::commPort, "Keine", keys::kPort, "2"},
        {&OptionsFields::commPort, "4", keys::kPort, "4"},
        {&OptionsFields::commPort, "5", keys::kPort, "2"},
        {&OptionsFields::dataBits, "7", keys::kDataBits, "7"},
        {&OptionsFields::dataBits, "9", keys::kDataBits, "8"},
        {&OptionsFields::stopBits, "2", keys::kStopBits, "2"},
        {&OptionsFields::stopBits, "0", keys::kStopBits, "1"},
        {&OptionsFields::parity, "e", keys::kParity, "E"},
        {&OptionsFields::parity, "X", keys::kParity, "N"},
        {&OptionsFields::baudRate, "19200", keys::kBaudRate, "2400"},
        {&OptionsFields::baudRate, "28800", keys::kBaudRate, "28800"},
        {&OptionsFields::fileStoragePath, "/home/taucher/tg", keys::kFileStoragePath,
         "/home/taucher/tg/"},
        {&OptionsFields::fileStoragePath, "/home/taucher/tg/", keys::kFileStoragePath,
         "/home/taucher/tg/"},
        {&OptionsFields::maxPpO2, "1,45", keys::kMaxPPO2, "1.45"},
        {&OptionsFields::initialPpN2, "0,75", keys::kInitialppN2, "0.75"},
        {&OptionsFields::decoGasStart, "20.6", keys::kNitroxDecoStart, "21"},
    };
    for (const Case& c : cases) {
        Program p;
        p.Confirm([&](OptionsFields& f) { f.*c.field = c.typed; });
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

    // The interval runs only within 1 to 63999 ms.
    for (const auto& [typed, running] : std::vector<std::pair<const char*, int>>{
             {"70000", 1000}, {"64000", 1000}, {"63999", 63999}, {"0", 1000}, {"1", 1}}) {
        Program p;
        p.Confirm([&](OptionsFields& f) { f.interval = typed; });
        EXPECT_EQ(p.workspace->settings.interval, running) << typed;
    }
}

TEST(OptionsForm, AConstantPpO2AboveTheMaximumIsCorrectedOnlyWhenTheUserSaysYes) {
    for (const Answer answer : {Answer::Yes, Answer::No}) {
        Program p;
        p.ui.answers = {answer};
        const OptionsFields f = p.Confirm([](OptionsFields& fields) {
            fields.constPpO2 = "1.8";
            fields.maxPpO2 = "1,6";
        });
        ASSERT_EQ(p.ui.questions.size(), 1u);
        EXPECT_EQ(p.ui.questions[0],
                  "Achtung! Der eingestellte konstante ppO2 ist größer als der maximal erlaubte "
                  "Wert. Wollen Sie die korrigieren?");
        const bool yes = answer == Answer::Yes;
        EXPECT_EQ(p.store.ReadSetting("Values", "ConstantppO2"), yes ? "1,6" : "1.8");
        EXPECT_EQ(p.workspace->settings.constantPpO2, yes ? 1.6 : 1.8);
        EXPECT_EQ(f.constPpO2, yes ? "1,6" : "1.8");
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
    EXPECT_EQ(SerialDevice(store, 2, usbExists), "/dev/ttyUSB1");
    EXPECT_EQ(SerialDevice(store, 2, nothingExists), "/dev/ttyS1");
    store.WriteSetting("CommPort", "Device", "/dev/pts/7");
    EXPECT_EQ(SerialDevice(store, 2, usbExists), "/dev/pts/7");

    EXPECT_EQ(SerialOpenErrorMessage("COM2", {true, 0}),
              "Schnittstelle COM2: wird bereits von einem anderem Programm oder Prozess "
              "verwendet.");
    EXPECT_EQ(SerialOpenErrorMessage("COM3", {false, 2}),
              "Schnittstelle COM3: Datei oder Ordner nicht gefunden (Fehler 2)");
}

}  // namespace
}  // namespace marelos
