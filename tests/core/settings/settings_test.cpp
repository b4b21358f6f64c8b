#include "core/settings/settings.h"

#include <gtest/gtest.h>

#include "core/settings/memory_settings_store.h"
#include "tests/core/engine/outputs_test_support.h"
#include "tests/fakes/golden.h"
#include "tests/fakes/transcript.h"

namespace marelos {
namespace {

constexpr const char* kProgramFolder = "/opt/marelos";

// Every running value as WriteSettings stores it, and the two it does not store.
std::vector<std::string> Written(const Settings& s) {
    InMemorySettingsStore store;
    WriteSettings(store, s);
    std::vector<std::string> texts;
    for (const auto& e : store.Entries())
        texts.push_back(e.section + "/" + e.key + "=" + e.value);
    texts.push_back("airSupply=" + std::to_string(s.airSupply));
    texts.push_back("showCompartment0=" + std::to_string(s.showCompartment[0]));
    return texts;
}

// The load rules of every setting, in tests/data/settings_load.txt: the defaults an empty store
// gives, then for each stored text (or group of texts) of settings_load_cases.txt the running
// values that differ from them and what the load wrote back to the store. Each limit is tried from
// both sides. What is written of each loads back to the same running values.
TEST(LoadSettings, EveryRuleAgainstItsGoldenFileAndBackThroughWriteSettings) {
    InMemorySettingsStore empty;
    const Settings defaults = LoadSettings(empty, kProgramFolder);
    Settings constructed;
    constructed.fileStoragePath = "/opt/marelos/Tauchprofile";
    EXPECT_EQ(defaults, constructed);
    EXPECT_EQ(empty.WriteCount(), 1);  // the repaired progressivity is the one write of the load
    const std::vector<std::string> base = Written(defaults);
    std::string golden = "# defaults, and written back: " + empty.Entries()[0].key + "=" +
                         empty.Entries()[0].value + "\n" + Joined(base);
    for (const std::vector<std::string>& row : DataRows("settings_load_cases.txt")) {
        const std::string entries = row[0];
        InMemorySettingsStore store;
        WriteEntries(store, "Values/DecoMode=3;" + entries);  // repaired only where it is set
        const std::vector<InMemorySettingsStore::Entry> stored = store.Entries();
        const int writes = store.WriteCount();
        const Settings settings = LoadSettings(store, kProgramFolder);
        const std::vector<std::string> loaded = Written(settings);
        InMemorySettingsStore written;  // what is written loads back to the same running values
        WriteSettings(written, settings);
        EXPECT_EQ(LoadSettings(written, kProgramFolder), settings) << row[0];
        golden += "# " + row[0] + "\n";
        for (const std::string& line : loaded) {
            if (std::find(base.begin(), base.end(), line) == base.end()) golden += line + "\n";
        }
        if (store.WriteCount() != writes) {
            golden += "written back " + std::to_string(store.WriteCount() - writes) + ":";
            for (const auto& e : store.Entries()) {
                if (std::find(stored.begin(), stored.end(), e) == stored.end())
                    golden += " " + e.key + "=" + e.value;
            }
            golden += "\n";
        }
    }
    ExpectGolden("settings_load.txt", golden);
}

TEST(OnDemandSettings, StepIsReadDifferentlyByCalculationAndOutputsTestModeShortensThePicture) {
    InMemorySettingsStore store;
    for (const std::vector<std::string>& row : DataRows("on_demand_settings.tsv")) {
        const bool step = row[0] == "Step";
        if (row[1] != "absent")
            store.WriteSetting(step ? "Decompression" : "Settings", row[0], row[1]);
        EXPECT_EQ(step ? std::to_string(StepwiseForCalculation(store)) + " " +
                             std::to_string(StepwiseForOutputs(store))
                       : std::to_string(StartUpPictureMilliseconds(store)),
                  row[2])
            << row[0] << "=" << row[1];
    }
}

// The written shape of each form of stored text, the keys made from numbers, and the tables of
// parity, baud rate and progressivity.
TEST(StoredText, EachFormHasItsWrittenShapeAndTheTablesOfTheLoad) {
    Transcript t;
    t.Note("MaxHScale 75, 74.5", StoredText(keys::kMaxHScale, 75),
           StoredText(keys::kMaxHScale, 74.5));
    t.Note("AirPressure 1013.25, InitialppN2 0.1 + 0.2", StoredText(keys::kAirPressure, 1013.25),
           StoredText(keys::kInitialppN2, 0.1 + 0.2));
    t.Note("Sharp1stStep 1, 0", StoredText(keys::kSharp1stStep, 1),
           StoredText(keys::kSharp1stStep, 0));
    t.Note("GraphBackColor 16777215", StoredText(keys::kGraphBackColor, 16777215));
    t.Note("Schlüssel 16, 6, 1", ShowCompartmentKey(16).name, RecentFileKey(6).name,
           RecentFileKey(1).section);
    t.Note("Parität m, leer", ParityOr("m", "N"), ParityOr("", "N"));  // the dialog's fallback
    t.Note("Baudrate 19200, 28800", IsAllowedBaudRate(19200), IsAllowedBaudRate(28800));
    for (int progressivity = 1; progressivity <= 6; ++progressivity)
        t.Note("Progressivität", progressivity, ProgressivityTimeFactor(progressivity));
}

TEST(InMemorySettingsStore, NamesAreComparedWithoutRegardToCaseAndAnOverlayKeepsItsWrites) {
    Transcript t;
    InMemorySettingsStore store;
    t.Note("leer", store.ReadSetting("Values", "MaxPPO2"));
    store.WriteSetting("Values", "MaxPPO2", "1.4");
    t.Note("ppo2, maxppo2", store.ReadSetting("values", "ppo2"),
           store.ReadSetting("VALUES", "maxppo2"));
    store.WriteSetting("values", "MAXPPO2", "1.5");  // the first spelling stays
    t.Note("Einträge, Schreibvorgänge", store.Entries().size(), store.Entries()[0].key,
           store.Entries()[0].value, store.WriteCount());

    // An overlay reads through and keeps its writes to itself.
    store.WriteSetting("Values", "DecoMode", "0");
    store.WriteSetting("Values", "DecoModel", "2");
    OverlaySettingsStore overlay(store);
    t.Note("durchgelesen", overlay.ReadSetting("values", "decomodel"));
    overlay.WriteSetting("Values", "DecoMode", "3");
    overlay.WriteSetting("Values", "DecoModel", "");  // an empty value hides the base value
    t.Note("darüber", overlay.ReadSetting("Values", "DecoMode"),
           overlay.ReadSetting("Values", "DecoModel"));
    t.Note("darunter", store.ReadSetting("Values", "DecoMode"), store.WriteCount());
}

}  // namespace
}  // namespace marelos
