#include "core/settings/options_form.h"

#include <gtest/gtest.h>

#include <charconv>
#include <map>
#include <memory>
#include <sstream>

#include "core/divecomputers/serial_link.h"
#include "core/settings/memory_settings_store.h"
#include "tests/core/engine/outputs_test_support.h"
#include "tests/fakes/golden.h"
#include "tests/fakes/transcript.h"

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

// A text field of the dialog by its name.
std::string& Field(OptionsFields& f, const std::string& name) {
    using F = OptionsFields;
    static const std::map<std::string, std::string F::*> fields = {
        {"txtAirPressure", &F::airPressure},
        {"txtAirPressureStd", &F::airPressureStd},
        {"txtAirLitre", &F::airLitre},
        {"cmbTankSize", &F::tankSize},
        {"cmbTankPressure", &F::tankPressure},
        {"txtCabinPressure", &F::cabinPressure},
        {"txtSurfaceInterval", &F::surfaceInterval},
        {"txtInterval", &F::interval},
        {"txtN2PerCentSurface", &F::n2PerCentSurface},
        {"txtN2PerCentDecompression", &F::n2PerCentDecompression},
        {"txtHePerCentDecompression", &F::hePerCentDecompression},
        {"txtDecoGasStart", &F::decoGasStart},
        {"txtInitialppN2", &F::initialPpN2},
        {"txtDeepStopTime", &F::deepStopTime},
        {"txtMaxPPO2", &F::maxPpO2},
        {"txtMinPPO2", &F::minPpO2},
        {"txtMaxPPN2", &F::maxPpN2},
        {"txtConstppO2", &F::constPpO2},
        {"cmbCircleDiameter", &F::circleDiameter},
        {"cmbLineWidth", &F::lineWidth},
        {"cmbCircleLineWidth", &F::circleLineWidth},
        {"cmbDataBits", &F::dataBits},
        {"cmbStopBits", &F::stopBits},
        {"cmbBaudRate", &F::baudRate},
        {"txtCOMDelay", &F::comDelay},
        {"cmbCommPort", &F::commPort},
        {"cmbDevice", &F::device},
        {"cmbParity", &F::parity},
        {"txtFileStoragePath", &F::fileStoragePath}};
    return f.*fields.at(name);
}

// The texts of a cell of tests/data/options_fields.tsv, separated by spaces; "" is empty.
std::vector<std::string> Texts(const std::string& cell) {
    std::vector<std::string> texts;
    std::istringstream in(cell);
    for (std::string text; in >> text;)
        texts.push_back(text == "\"\"" ? "" : text);
    return texts;
}

// A number as the shortest text that reads back to exactly it.
std::string Exact(double value) {
    char text[32];
    return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}

TEST(OptionsForm, ConfirmingUnchangedFieldsKeepsTheRunningValuesAndTheStore) {
    Program p;
    // Compartment 1 shown, 2..16 hidden.
    WriteEntries(p.store,
                 "Values/AirPressure=960;Values/MaxPPO2=1.4;Guidelines/Horizontal=1;"
                 "View/ShowCompartment1=1");
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
    p.store.WriteSetting("Values", "C0aN2", "0.1");
    p.Reload();
    p.workspace->settings.port = 0;
    p.workspace->settings.dataBits = 6;
    p.workspace->settings.stopBits = 3;
    p.workspace->settings.parity = "x";
    p.workspace->settings.baudRate = 19200;
    p.workspace->settings.airConsumption = 0;
    p.workspace->settings.circleDiameter = 101;
    WriteEntries(p.store,
                 "Applications/ExcelPath=NOVALUE;Values/ConstantppO2=abc;"
                 "Settings/NitroxDecoStart=1;Settings/LastOptionsTab=3");
    const OptionsFields f = OpenOptions(*p.workspace, p.store);
    // No cabin pressure stored: 685; the END of the default 5 bar, 53.07..., cut to 0.1 m.
    EXPECT_EQ((std::vector<std::string>{f.commPort, f.dataBits, f.stopBits, f.parity, f.baudRate,
                                        f.airLitre, f.cabinPressure, f.constPpO2, f.circleDiameter,
                                        f.excelPath, f.decoGasStart, f.end, f.compartment0[1]}),
              (std::vector<std::string>{"2", "8", "1", "N", "2400", "12", "685", "1.5", "40", "",
                                        "1", "53", "0.1"}));
    EXPECT_EQ(p.workspace->settings.nitroxDecoStart, 1);
    EXPECT_EQ(f.tab, 3);
    for (const auto& [port, shown] : {std::pair{4, "4"}, std::pair{5, "2"}}) {
        p.workspace->settings.port = port;
        EXPECT_EQ(OpenOptions(*p.workspace, p.store).commPort, shown);
    }
}

TEST(OptionsForm, OkReplacesWhatIsOutOfRangeAndStoresTheRest) {
    for (const std::vector<std::string>& row : DataRows("options_stored.tsv")) {
        Program p;
        EXPECT_EQ(p.Confirm([&](OptionsFields& f) { Field(f, row[0]) = row[1]; }), std::nullopt);
        const std::size_t slash = row[2].find('/');
        EXPECT_EQ(p.store.ReadSetting(row[2].substr(0, slash), row[2].substr(slash + 1)), row[3])
            << row[0] << " " << row[1];
        if (row.size() > 4) {
            EXPECT_EQ(std::to_string(p.workspace->settings.interval), row[4]);
        }
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
}

// Every numeric field takes exactly the numbers its setting keeps when it is loaded
// (tests/data/options_fields.tsv), never a text or an empty field. A refused field stores and
// applies nothing.
TEST(OptionsForm, OkRefusesWhatTheSettingCouldNotLoadAndStoresNothing) {
    using F = OptionsFields;
    std::string golden;  // tab, field, text and message of every refusal
    for (const std::vector<std::string>& row : DataRows("options_fields.tsv")) {
        for (const std::string& taken : Texts(row[1])) {
            Program p;
            EXPECT_EQ(p.Confirm([&](F& f) { Field(f, row[0]) = taken; }), std::nullopt)
                << row[0] << " " << taken;
        }
        for (const std::string& text : Texts(row[2])) {
            Program p;
            const Settings before = p.workspace->settings;
            const int writes = p.store.WriteCount();
            const auto problem = p.Confirm([&](F& f) { Field(f, row[0]) = text; });
            ASSERT_TRUE(problem) << row[0] << " " << text;
            EXPECT_EQ(problem->field, row[0]) << text;
            golden += std::to_string(problem->tab) + " " + problem->field + " „" + text +
                      "“: " + problem->message + "\n";
            EXPECT_EQ(p.store.WriteCount(), writes) << row[0] << " " << text;
            EXPECT_EQ(p.workspace->settings, before) << row[0] << " " << text;
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
    Transcript t;
    for (const Answer answer : {Answer::Yes, Answer::No}) {
        Program p;
        p.ui.answers = {answer};
        p.Confirm([](OptionsFields& fields) {
            fields.constPpO2 = "1.8";
            fields.maxPpO2 = "1,6";
        });
        t.Note(answer == Answer::Yes ? "Ja: Speicher, laufend, Feld" : "Nein",
               p.store.ReadSetting("Values", "ConstantppO2"),
               Exact(p.workspace->settings.constantPpO2), p.fields.constPpO2, p.ui.Said());
    }
    Program equal;
    equal.Confirm([](OptionsFields& f) { f.constPpO2 = f.maxPpO2; });
    t.Note("gleich dem Maximum", equal.ui.Said());
}

TEST(OptionsForm, OkStoresExactlyTheCheckedCompartmentsAndCompartmentZero) {
    Program p;
    p.Confirm([](OptionsFields& f) {
        f.showCompartment.fill(false);
        f.showCompartment[2] = f.showCompartment[16] = true;
        f.useC0 = true;
        f.compartment0[0] = "2,5";
        f.interfaceSuunto = false;
        f.sharpDeco = true;
    });
    EXPECT_EQ(p.workspace->settings.interfaceType, 2);
    EXPECT_EQ(p.workspace->settings.sharp1stStep, 1);
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
    Transcript t;
    const auto note = [&](const char* step, const char* progressivity, int model) {
        p.Confirm([&](OptionsFields& f) {
            if (model != 0) f.model = model;
            f.progressivity = progressivity;
        });
        const ModelParameters& m = p.workspace->model;
        t.Note(step, Exact(m.aN2[5]), Exact(m.aN2[13]), Exact(m.timeFactor),
               p.store.ReadSetting("Values", "DecoModel"),
               p.store.ReadSetting("Values", "DecoMode"), p.ui.Said());
    };
    note("ZH-L16A, sehr konservativ: a N2 5 und 13, Zeitfaktor", "Sehr konservativ", 1);
    note("dasselbe Modell: still", "unbekannt", 0);
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
