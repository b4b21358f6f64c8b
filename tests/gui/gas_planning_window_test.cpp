#include "app/planner/gas_planning_window.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QTableWidget>

#include "tests/gui/main_window.h"

namespace marelos {
namespace {

const std::string kExampleDive = MARELOS_SOURCE_DIR "/examples/luft-30m-25min.mrp";

QStringList Texts(const QListWidget& list) {
    QStringList texts;
    for (int i = 0; i < list.count(); ++i)
        texts << list.item(i)->text();
    return texts;
}

// The window beside the graph: opened from the menu, it shows the gas plan of every
// calculation, keeps what the user types into the settings store once it is a cylinder, and
// shows nothing as a plan that the planner did not make.
TEST(GasPlanningWindow, FollowsTheCalculationAndKeepsTheCylindersInTheStore) {
    InMemorySettingsStore store;
    store.WriteSetting("Planner", "Enabled", "1");
    store.WriteSetting("Planner", "DecoGas1", "50/0");
    store.WriteSetting("Cylinders", "Cylinder1", "D12;24;232;21/0");
    MainWindow w(store, kExampleDive);
    w.Trigger("mnuGasPlanning");
    auto* window = w.Find<frmGasPlanning>("frmGasPlanning");
    ASSERT_TRUE(window && window->isVisible() && !window->isModal());
    w.Trigger("mnuCalcSaturation");
    auto* table = window->findChild<QTableWidget*>("tblCylinders");
    auto* warnings = window->findChild<QListWidget*>("lstWarnings");
    auto* status = window->findChild<QLabel*>("lblStatus");
    EXPECT_EQ(table->item(0, 0)->text(), "D12");
    EXPECT_FALSE(table->item(0, 5)->text().isEmpty());   // litres used
    EXPECT_FALSE(table->item(0, 10)->text().isEmpty());  // the bottom cylinder's turn pressure
    ASSERT_THAT(Texts(*warnings).filter("Für EAN50"), ::testing::SizeIs(1));
    EXPECT_EQ(
        warnings->findItems("Warnung: Für EAN50", Qt::MatchStartsWith)[0]->foreground().color(),
        QColor(190, 0, 0));
    const qsizetype warned = w.MessageLines().filter("Für EAN50").size();  // each calculation's
    EXPECT_GE(warned, 1);
    EXPECT_THAT(w.MessageLines().last().toStdString(), ::testing::StartsWith("Warnung: Für EAN50"));

    // A stage typed in cell by cell is stored once it is a cylinder; the plan then breathes it.
    table->item(1, 0)->setText("S80");
    EXPECT_THAT(status->text().toStdString(), ::testing::StartsWith("Flasche 2 wird erst"));
    EXPECT_EQ(store.ReadSetting("Cylinders", "Cylinder2"), "");
    table->item(1, 1)->setText("11,1");
    table->item(1, 2)->setText("207");
    table->item(1, 3)->setText("50");
    EXPECT_EQ(store.ReadSetting("Cylinders", "Cylinder2"), "S80;11.1;207;50/0");
    EXPECT_TRUE(status->text().isEmpty());
    EXPECT_TRUE(Texts(*warnings).filter("Für EAN50").isEmpty());
    EXPECT_FALSE(table->item(1, 5)->text().isEmpty());
    EXPECT_EQ(w.MessageLines().filter("Für EAN50").size(), warned);  // calculated again without

    // A fill pressure the model does not cover is refused and the store keeps the cylinder.
    table->item(1, 2)->setText("400");
    EXPECT_FALSE(status->text().isEmpty());
    EXPECT_EQ(store.ReadSetting("Cylinders", "Cylinder2"), "S80;11.1;207;50/0");

    // Halves turn later than thirds (a lower turn pressure).
    const double thirds = table->item(0, 10)->text().replace(',', '.').toDouble();
    window->findChild<QComboBox*>("cmbTurnRule")->setCurrentIndex(2);
    EXPECT_EQ(store.ReadSetting("Planner", "TurnRule"), "Halves");
    EXPECT_LT(table->item(0, 10)->text().replace(',', '.').toDouble(), thirds);

    // Without the planner there is no plan to show.
    w.workspace->settings.planner.enabled = false;
    w.Trigger("mnuCalcSaturation");
    EXPECT_TRUE(table->item(0, 5)->text().isEmpty());
    EXPECT_TRUE(warnings->count() == 0);
    EXPECT_THAT(window->findChild<QLabel*>("lblSummary")->text().toStdString(),
                ::testing::StartsWith("Die Gasplanung rechnet mit dem geplanten Aufstieg"));
}

}  // namespace
}  // namespace marelos
