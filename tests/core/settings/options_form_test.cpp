#include "core/settings/options_form.h"

#include <gtest/gtest.h>

#include <array>
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

// A text field of the dialog by its name; the names in the order of the members.
std::string& Field(OptionsFields& f, const std::string& name) {
    std::istringstream names(
        "txtAirPressure txtAirPressureStd txtAirLitre cmbTankSize cmbTankPressure "
        "txtCabinPressure txtSurfaceInterval txtInterval txtN2PerCentSurface "
        "txtN2PerCentDecompression txtHePerCentDecompression txtDecoGasStart txtInitialppN2 "
        "txtDeepStopTime txtMaxPPO2 txtMinPPO2 txtMaxPPN2 txtConstppO2 cmbCircleDiameter "
        "cmbLineWidth cmbCircleLineWidth cmbDataBits cmbStopBits cmbBaudRate txtCOMDelay "
        "cmbCommPort cmbDevice cmbParity txtFileStoragePath");
    std::size_t at = 0;
    for (std::string next; names >> next && next != name;)
        ++at;
    using F = OptionsFields;
    const auto pick = [&](auto... members) -> std::string& {
        return *std::array{&(f.*members)...}.at(at);
    };
    return pick(&F::airPressure, &F::airPressureStd, &F::airLitre, &F::tankSize, &F::tankPressure,
                &F::cabinPressure, &F::surfaceInterval, &F::interval, &F::n2PerCentSurface,
                &F::n2PerCentDecompression, &F::hePerCentDecompression, &F::decoGasStart,
                &F::initialPpN2, &F::deepStopTime, &F::maxPpO2, &F::minPpO2, &F::maxPpN2,
                &F::constPpO2, &F::circleDiameter, &F::lineWidth, &F::circleLineWidth, &F::dataBits,
                &F::stopBits, &F::baudRate, &F::comDelay, &F::commPort, &F::device, &F::parity,
                &F::fileStoragePath);
}

// The texts of a cell of tests/data/options_fields.tsv, separated by spaces; "" is empty.
std::vector<std::string> Texts(const std::string& cell) {
    std::vector<std::string> texts;
    std::istringstream in(cell);
    for (std::string text; in >> text;)
        texts.push_back(text == "\"\"" ? "" : text);
    return texts;
}

// Unchanged fields keep the running values and the store; the checked compartments and
// compartment 0 are stored exactly.
TEST(OptionsForm, ConfirmingKeepsUnchangedFieldsAndStoresTheCheckedCompartments) {
    Program p;
    // Compartment 1 shown, 2..16 hidden; the three gas warnings on.
    WriteEntries(p.store,
                 "Values/AirPressure=960;Values/MaxPPO2=1.4;Guidelines/Horizontal=1;"
                 "View/ShowCompartment1=1;Warnings/PPO2Hi=1;Warnings/PPO2Lo=1;Warnings/PPN2=1");
    p.Reload();
    p.Confirm();
    // What runs now is what the next start loads.
    const Settings& running = p.workspace->settings;
    EXPECT_EQ(LoadSettings(p.store, "/opt/marelos"), running);
    Transcript t;
    t.Note("Luftdruck, Kompartiment 3 und 1, Neuzeichnen, Meldungen", running.airPressure,
           running.showCompartment[3], running.showCompartment[1], p.redraws, p.ui.boxes.size());
    const auto before = p.store.Entries();
    p.Confirm();
    EXPECT_EQ(p.store.Entries(), before);

    p.Confirm([](OptionsFields& f) {
        f.showCompartment.fill(false);
        f.showCompartment[2] = f.showCompartment[16] = true;
        f.useC0 = true;
        f.compartment0[0] = "2,5";
        f.interfaceSuunto = false;
        f.sharpDeco = true;
    });
    t.Note("Schnittstelle, scharfe erste Stufe", running.interfaceType, running.sharp1stStep);
    for (int k = 0; k <= 16; ++k)
        t.Note("Kompartiment", k, ReadSetting(p.store, ShowCompartmentKey(k)),
               running.showCompartment[k]);
    t.Note("Kompartiment 0: erstes, T05 N2, gespeichert, UseC0",
           p.workspace->model.firstCompartment, p.workspace->model.halfTimeN2[0],
           p.store.ReadSetting("Values", "C0T05N2"), p.store.ReadSetting("Settings", "UseC0"));
}

TEST(OptionsForm, OpeningShowsTheSubstitutesOfValuesTheDialogDoesNotOffer) {
    Program p;
    p.store.WriteSetting("Values", "C0aN2", "0.1");
    p.Reload();
    Settings& s = p.workspace->settings;
    s.port = 0, s.dataBits = 6, s.stopBits = 3, s.parity = "x", s.baudRate = 19200;
    s.airConsumption = 0, s.circleDiameter = 101;
    WriteEntries(p.store,
                 "Applications/ExcelPath=NOVALUE;Values/ConstantppO2=abc;"
                 "Settings/NitroxDecoStart=1;Settings/LastOptionsTab=3");
    const OptionsFields f = OpenOptions(*p.workspace, p.store);
    // No cabin pressure stored: 685; the END of the default 5 bar, 53.07..., cut to 0.1 m.
    Transcript t;
    t.Note("Felder", f.commPort, f.dataBits, f.stopBits, f.parity, f.baudRate, f.airLitre,
           f.cabinPressure, f.constPpO2, f.circleDiameter, f.excelPath, f.decoGasStart, f.end,
           f.compartment0[1], f.tab, s.nitroxDecoStart);
    for (const int port : {4, 5}) {
        s.port = port;
        t.Note("Port", port, OpenOptions(*p.workspace, p.store).commPort);
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
    const auto usbExists = [](const std::string& path) { return path == "/dev/ttyUSB1"; };
    const SerialPortDevice usb = ChosenDevice(serial, usbExists);
    serial.device = " /dev/pts/7";
    const SerialPortDevice pts = ChosenDevice(serial, usbExists);
    Transcript().Note("Schnittstellentest", ChosenPort(serial),
                      LineSettingsText(ChosenLineSettings(serial)), usb.path, usb.name, pts.path,
                      pts.name);
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

// The factors of "Berechnen" and "multiplizieren"; END and maximum ppN2 cut, not rounded.
TEST(OptionsForm, TheModelFactorsTheEndFieldsAndTheSerialLine) {
    Transcript t;
    OptionsFields f;
    const auto note = [&](const char* what) {
        for (const auto& problem : {CheckCoefficientFactors(f), CheckHalfTimeFactor(f)})
            t.Note(what, problem ? problem->field + " " + std::to_string(problem->tab) : "keins",
                   problem ? problem->message : "");
    };
    note("a, b, T05 = 1");
    f.bMulti = "0";
    note("b = 0");
    f.aMulti = "abc";
    f.t05Multi = "1,5";
    note("a = abc, T05 = 1,5");
    f.t05Multi = "-1";
    note("T05 = -1");
    t.Note("END 30, 0", MaxPpN2FromEnd("30"), MaxPpN2FromEnd("0"));  // 3.1653...
    t.Note("ppN2 3,16, 0.78", EndFromMaxPpN2("3,16"), EndFromMaxPpN2("0.78"));

    // The serial line as read, written and refused; the device of COM2 and the open errors.
    const std::optional<LineSettings> line = ParseLineSettings("2400,o,8,1");
    t.Note("Leitung", line->baudRate, line->parity, line->dataBits, line->stopBits,
           LineSettingsText({9600, 'N', 7, 2}));
    for (const char* bad : {"2400,O,8", "2400,X,8,1", "2400,O,9,1", "2400,O,8,3", "0,N,8,1"})
        t.Note("ungültig", bad, ParseLineSettings(bad).has_value());
    InMemorySettingsStore store;
    const auto usbExists = [](const std::string& path) { return path == "/dev/ttyUSB1"; };
    const SerialPortDevice usb = SerialDevice(store, 2, usbExists);
    const SerialPortDevice none = SerialDevice(store, 2, [](const std::string&) { return false; });
    store.WriteSetting("CommPort", "Device", "/dev/pts/7");
    const SerialPortDevice chosen = SerialDevice(store, 2, usbExists);
    t.Note("COM2", usb.path, none.path, none.name, chosen.path, chosen.name);
    t.Note("Fehler", SerialOpenErrorMessage("COM2", {true, 0}),
           SerialOpenErrorMessage("COM3", {false, 2}));
}

// A constant ppO2 above the maximum is corrected only when the user says yes; a changed model
// loads its literature values with one message.
TEST(OptionsForm, TheConstantPpO2QuestionAndAChangedModel) {
    Transcript t;
    for (const Answer answer : {Answer::Yes, Answer::No}) {
        Program p;
        p.ui.answers = {answer};
        p.Confirm([](OptionsFields& fields) {
            fields.constPpO2 = "1.8";
            fields.maxPpO2 = "1,6";
        });
        t.Note(answer == Answer::Yes ? "Ja: Speicher, laufend, Feld" : "Nein",
               p.store.ReadSetting("Values", "ConstantppO2"), p.workspace->settings.constantPpO2,
               p.fields.constPpO2, p.ui.Said());
    }
    Program equal;
    equal.Confirm([](OptionsFields& f) { f.constPpO2 = f.maxPpO2; });
    t.Note("gleich dem Maximum", equal.ui.Said());

    Program p;
    ScaleCoefficients(p.workspace->model, 1.1, 1.0);
    const auto note = [&](const char* step, const char* progressivity, int model) {
        p.Confirm([&](OptionsFields& f) {
            if (model != 0) f.model = model;
            f.progressivity = progressivity;
        });
        const ModelParameters& m = p.workspace->model;
        t.Note(step, m.aN2[5], m.aN2[13], m.timeFactor, p.store.ReadSetting("Values", "DecoModel"),
               p.store.ReadSetting("Values", "DecoMode"), p.ui.Said());
    };
    note("ZH-L16A, sehr konservativ: a N2 5 und 13, Zeitfaktor", "Sehr konservativ", 1);
    note("dasselbe Modell: still", "unbekannt", 0);
}

}  // namespace
}  // namespace marelos
