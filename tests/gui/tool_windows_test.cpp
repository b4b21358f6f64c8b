#include "app/analysis/tool_windows.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <memory>

#include "core/settings/memory_settings_store.h"
#include "tests/fakes/scripted_ui.h"

namespace marelos {
namespace {

TEST(frmAltitude, CalculatesAndTakesThePressureOver) {
    auto workspace = std::make_unique<Workspace>(WorkspaceFromSettings(Settings{}));
    workspace->settings.airPressureStandard = 1013;
    InMemorySettingsStore store;
    frmAltitude window(*workspace, store, nullptr);
    EXPECT_EQ(window.findChild<QLineEdit*>("txtNormPressure")->text(), "1013");
    auto* take = window.findChild<QPushButton*>("cmdGetValue");
    EXPECT_FALSE(take->isEnabled());
    window.findChild<QLineEdit*>("txtAltitude")->setText("1000");
    window.findChild<QPushButton*>("cmdCalc")->click();
    EXPECT_EQ(window.findChild<QLabel*>("lblResult")->text(), "Luftdruck (Höhe) = 893 mbar.");
    ASSERT_TRUE(take->isEnabled());
    take->click();
    EXPECT_EQ(workspace->settings.airPressure, 893);
    EXPECT_EQ(store.ReadSetting("Values", "AirPressure"), "893");
}

TEST(frmRunTimeTable, ShowsThePlanInColumnsAndCopiesItAsLines) {
    ScriptedUi ui;
    const std::vector<std::string> plan = {
        "Abtauchen auf  \t30 m\tZeit: 3 min.\tGesamtzeit: 3 min.\tN2: 78%\tHe: 0%",
        "Dekostufe: \t3 m\tZeit: 4 min.\tGesamtzeit: 36 min.\t N2: 78%\tHe: 0%"};
    frmRunTimeTable window(plan, ui, nullptr);
    auto* table = window.findChild<QTableWidget*>("lstPlan");
    EXPECT_EQ(table->rowCount(), 2);
    EXPECT_EQ(table->item(1, 2)->text(), "Zeit: 4 min.");
    window.findChild<QPushButton*>("cmdCopy")->click();
    EXPECT_EQ(QApplication::clipboard()->text(),
              QString::fromStdString(plan[0] + "\n" + plan[1] + "\n"));
    EXPECT_EQ(ui.boxes.back().text, "Tauchplan wurde in die Zwischenablage kopiert.");
}

TEST(frmBestMix, FillingStepsOfTheWantedMixAndNothingForAMixThatCannotBe) {
    ScriptedUi ui;
    frmBestMix window({"21", "79", "5"}, ui, nullptr);  // opened on a mix that does not add up
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(window.findChild<QLabel*>("lblHelium")->text(), "---");
    const auto calculate = [&](const char* o2, const char* n2, const char* he,
                               const char* pressure) {
        for (const auto& [field, text] :
             {std::pair{"txtO2", o2}, {"txtN2", n2}, {"txtHe", he}, {"txtPressure", pressure}})
            window.findChild<QLineEdit*>(field)->setText(text);
        window.findChild<QPushButton*>("cmdCalc")->click();
        return window.findChild<QLabel*>("lblHelium")->text();
    };
    EXPECT_EQ(calculate("21", "35", "44", "200"), "88 bar");
    EXPECT_TRUE(window.findChild<QLabel*>("lblSum")->text().startsWith("200"));
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(calculate("20,5", "35,5", "44", "200"), "88 bar");  // decimal commas are numbers
    EXPECT_EQ(calculate("21", "35", "4a", "200"), "---");
    EXPECT_EQ(ui.boxes.back().text, "Eingabe ungültig!");
    EXPECT_EQ(calculate("21", "35", "44", "zweihundert"), "---");
    EXPECT_EQ(ui.boxes.back().text, "Eingabe ungültig!");
    EXPECT_EQ(calculate("21", "35", "44", std::string(400, '9').c_str()), "---");
    EXPECT_EQ(calculate("21", "35", "50", "200"), "---");  // 106 %
    EXPECT_EQ(ui.boxes.back().text, "Das eingestellte Gemisch ist unplausibel!");
    EXPECT_EQ(ui.boxes.size(), 4u);
}

}  // namespace
}  // namespace marelos
