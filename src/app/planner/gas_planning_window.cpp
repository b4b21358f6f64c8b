#include "gas_planning_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/shell/dialog_parts.h"
#include "core/engine/calculation.h"
#include "core/planner/gas_plan.h"
#include "core/planner/runtime_table.h"
#include "core/settings/settings.h"
#include "core/text/number_format.h"
#include "core/text/rounding.h"
#include "platform/qt_convert.h"

namespace marelos {
namespace {

// The columns of the cylinder table: five the user edits, then the plan's.
enum Column {
    kName,
    kLitres,
    kFill,
    kOxygen,
    kHelium,
    kUsedLitres,
    kUsedBar,
    kEndBar,
    kIdealEndBar,
    kReserveBar,
    kTurnBar,
    kColumns
};
constexpr int kEditedColumns = kUsedLitres;
constexpr const char* kHeads[kColumns] = {"Name",
                                          "Liter",
                                          "Fülldruck\nbar",
                                          "O2 %",
                                          "He %",
                                          "Verbrauch\nl",
                                          "Verbrauch\nbar",
                                          "Rest\nbar",
                                          "Rest bar\nideal",
                                          "Reserve\nbar",
                                          "Umkehr-\ndruck bar"};

constexpr const char* kNeedsPlanner =
    "Die Gasplanung rechnet mit dem geplanten Aufstieg: bitte den Planer einschalten "
    "(Einstellungen, Register Planer).";

const QColor kWarningColour(190, 0, 0);

QDoubleSpinBox* Spin(const char* name, const SettingKey& key, double step, int decimals) {
    auto* spin = new QDoubleSpinBox;
    spin->setObjectName(name);
    spin->setRange(key.range.low, key.range.high);
    spin->setSingleStep(step);
    spin->setDecimals(decimals);
    if (!key.unit.empty()) spin->setSuffix(" " + ToQString(key.unit));
    return spin;
}

// The text of a cell as the store writes it: "," read as ".", no spaces around it.
std::string Cell(const QTableWidget& table, int row, int column) {
    const QTableWidgetItem* item = table.item(row, column);
    return item ? ToStdString(item->text().trimmed().replace(',', '.')) : std::string();
}

}  // namespace

frmGasPlanning::frmGasPlanning(Workspace& workspace, SettingsStore& store,
                               std::function<void()> recalculate, QWidget* parent)
    : QDialog(parent), workspace_(workspace), store_(store), recalculate_(std::move(recalculate)) {
    setObjectName("frmGasPlanning");
    setWindowTitle("Gasplanung");
    setModal(false);
    BuildCylinderTable();
    lblStatus_ = new QLabel;
    lblStatus_->setObjectName("lblStatus");
    lblStatus_->setWordWrap(true);
    lblStatus_->setStyleSheet("color: #be0000");
    lblSummary_ = new QLabel;
    lblSummary_->setObjectName("lblSummary");
    lblSummary_->setWordWrap(true);
    lblSummary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lstWarnings_ = new QListWidget;
    lstWarnings_->setObjectName("lstWarnings");
    lstWarnings_->setAccessibleName("Warnungen der Gasplanung");
    tblRuntime_ = new QTableWidget(0, 6);
    tblRuntime_->setObjectName("tblRuntime");
    tblRuntime_->setAccessibleName("Laufzeittabelle");
    tblRuntime_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblRuntime_->verticalHeader()->hide();
    tblRuntime_->horizontalHeader()->hide();
    tblRuntime_->horizontalHeader()->setStretchLastSection(true);

    auto* cylinders = new QGroupBox("&Flaschen");
    auto* cylinderLayout = new QVBoxLayout(cylinders);
    cylinderLayout->addWidget(tblCylinders_);
    cylinderLayout->addWidget(lblStatus_);

    auto* results = new QSplitter(Qt::Vertical);
    results->addWidget(lstWarnings_);
    results->addWidget(tblRuntime_);
    results->setStretchFactor(0, 1);
    results->setStretchFactor(1, 3);
    results->setChildrenCollapsible(false);

    auto* top = new QHBoxLayout;
    top->addWidget(cylinders, 1);
    top->addWidget(BuildRates());

    auto* close = NamedButton("cmdClose", "S&chließen", this);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(lblSummary_);
    layout->addWidget(results, 1);
    layout->addLayout(ButtonRow({}, {close}));
    ShowSettings();
    ShowCalculation();
    resize(980, 640);
}

void frmGasPlanning::BuildCylinderTable() {
    tblCylinders_ = new QTableWidget(kMaxCylinders, kColumns);
    tblCylinders_->setObjectName("tblCylinders");
    tblCylinders_->setAccessibleName("Flaschen");
    QStringList heads;
    for (const char* head : kHeads)
        heads << QString::fromUtf8(head);
    tblCylinders_->setHorizontalHeaderLabels(heads);
    tblCylinders_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    tblCylinders_->horizontalHeader()->setSectionResizeMode(kName, QHeaderView::Stretch);
    tblCylinders_->setEditTriggers(QAbstractItemView::AllEditTriggers);
    for (int row = 0; row < kMaxCylinders; ++row) {
        for (int column = 0; column < kColumns; ++column) {
            auto* item = new QTableWidgetItem;
            if (column >= kEditedColumns) {
                item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            }
            tblCylinders_->setItem(row, column, item);
        }
    }
    tblCylinders_->setMinimumHeight(
        tblCylinders_->horizontalHeader()->sizeHint().height() +
        kMaxCylinders * tblCylinders_->verticalHeader()->defaultSectionSize() + 4);
    connect(tblCylinders_, &QTableWidget::cellChanged, this, [this](int row, int column) {
        if (!showing_ && column < kEditedColumns) CylinderEdited(row);
    });
}

QWidget* frmGasPlanning::BuildRates() {
    spnSacBottom_ = Spin("spnSacBottom", keys::kSacBottom, 1, 1);
    spnSacDeco_ = Spin("spnSacDeco", keys::kSacDeco, 1, 1);
    spnStressFactor_ = Spin("spnStressFactor", keys::kStressFactor, 0.1, 1);
    spnProblemMinutes_ = Spin("spnProblemMinutes", keys::kProblemMinutes, 1, 1);
    cmbTurnRule_ = new QComboBox;
    cmbTurnRule_->setObjectName("cmbTurnRule");
    cmbTurnRule_->addItems({"Alles nutzbare Gas", "Drittel", "Hälfte"});  // the TurnRule order
    chkRealGas_ = new QCheckBox("&Reales Gas (Kompressibilität bei 15 °C)");
    chkRealGas_->setObjectName("chkRealGas");
    auto* box = new QGroupBox("Atemraten und Regeln");
    auto* form = new QFormLayout(box);
    form->addRow("&Boden (AMV)", spnSacBottom_);
    form->addRow("&Dekompression (AMV)", spnSacDeco_);
    form->addRow("&Stressfaktor", spnStressFactor_);
    form->addRow("&Problemzeit", spnProblemMinutes_);
    form->addRow("&Umkehrregel", cmbTurnRule_);
    form->addRow(chkRealGas_);
    for (QDoubleSpinBox* spin : {spnSacBottom_, spnSacDeco_, spnStressFactor_, spnProblemMinutes_})
        connect(spin, &QDoubleSpinBox::valueChanged, this, [this] { RatesEdited(); });
    connect(cmbTurnRule_, &QComboBox::currentIndexChanged, this, [this] { RatesEdited(); });
    connect(chkRealGas_, &QCheckBox::toggled, this, [this] { RatesEdited(); });
    return box;
}

void frmGasPlanning::ShowSettings() {
    showing_ = true;
    for (int slot = 1; slot <= kMaxCylinders; ++slot) {
        const std::optional<Cylinder> cylinder =
            ParseCylinder(ReadSetting(store_, CylinderKey(slot)));
        const int row = slot - 1;
        const auto show = [&](int column, const std::string& text) {
            tblCylinders_->item(row, column)->setText(ToQString(text));
        };
        const std::string& separator = workspace_.settings.decimalSeparator;
        show(kName, cylinder ? cylinder->name : "");
        show(kLitres, cylinder ? FormatGeneral(cylinder->litres, separator) : "");
        show(kFill, cylinder ? FormatGeneral(cylinder->fillBar, separator) : "");
        show(kOxygen, cylinder ? FormatGeneral(cylinder->gas.o2, separator) : "");
        show(kHelium, cylinder ? FormatGeneral(cylinder->gas.he, separator) : "");
    }
    const GasPlanSettings& s = workspace_.settings.gasPlan;
    spnSacBottom_->setValue(s.sacBottom);
    spnSacDeco_->setValue(s.sacDeco);
    spnStressFactor_->setValue(s.stressFactor);
    spnProblemMinutes_->setValue(s.problemMinutes);
    cmbTurnRule_->setCurrentIndex(static_cast<int>(s.turnRule));
    chkRealGas_->setChecked(s.realGas);
    showing_ = false;
}

void frmGasPlanning::CylinderEdited(int row) {
    std::string fields[kEditedColumns];
    bool empty = true;
    for (int column = 0; column < kEditedColumns; ++column) {
        fields[column] = Cell(*tblCylinders_, row, column);
        empty = empty && fields[column].empty();
    }
    const std::string text = fields[kName] + ";" + fields[kLitres] + ";" + fields[kFill] + ";" +
                             fields[kOxygen] + "/" +
                             (fields[kHelium].empty() ? "0" : fields[kHelium]);
    const bool cylinder = ParseCylinder(text).has_value();
    if (!empty && !cylinder) {
        // Kept in the table for the user to finish; the store keeps what it had.
        lblStatus_->setText(
            "Flasche " + QString::number(row + 1) +
            " wird erst gespeichert, wenn sie vollständig ist: ein Name ohne \";\", 0 bis 50 l, "
            "0 bis 350 bar und ein Gas, dessen O2 und He zusammen höchstens 100 % sind.");
        return;
    }
    lblStatus_->clear();
    WriteSetting(store_, CylinderKey(row + 1), empty ? "" : text);
    SettingsChanged();
}

void frmGasPlanning::RatesEdited() {
    if (showing_) return;
    GasPlanSettings s = workspace_.settings.gasPlan;
    s.sacBottom = spnSacBottom_->value();
    s.sacDeco = spnSacDeco_->value();
    s.stressFactor = spnStressFactor_->value();
    s.problemMinutes = spnProblemMinutes_->value();
    s.turnRule = static_cast<TurnRule>(cmbTurnRule_->currentIndex());
    s.realGas = chkRealGas_->isChecked();
    using namespace keys;
    for (const auto& [key, value] :
         {std::pair{kSacBottom, s.sacBottom}, std::pair{kSacDeco, s.sacDeco},
          std::pair{kStressFactor, s.stressFactor}, std::pair{kProblemMinutes, s.problemMinutes},
          std::pair{kRealGas, s.realGas ? 1.0 : 0.0}}) {
        WriteSetting(store_, key, StoredText(key, value));
    }
    WriteSetting(store_, kTurnRule, TurnRuleText(s.turnRule));
    SettingsChanged();
}

void frmGasPlanning::SettingsChanged() {
    workspace_.settings.gasPlan = LoadGasPlanSettings(store_);
    if (recalculate_) recalculate_();
    ShowCalculation();
}

void frmGasPlanning::ClearResults() {
    for (int row = 0; row < kMaxCylinders; ++row) {
        for (int column = kEditedColumns; column < kColumns; ++column) {
            tblCylinders_->item(row, column)->setText({});
            tblCylinders_->item(row, column)->setForeground(palette().text());
        }
    }
    lstWarnings_->clear();
    tblRuntime_->setRowCount(0);
}

void frmGasPlanning::ShowCalculation() {
    const bool wasShowing = showing_;
    showing_ = true;
    ClearResults();
    const Settings& settings = workspace_.settings;
    const CalculationResult& last = workspace_.computed.last;
    const std::string& separator = settings.decimalSeparator;
    // Nothing that was not calculated to its end is shown as a plan.
    if (const auto why = WhyNoPlan(settings.planner.enabled, last, kNeedsPlanner)) {
        lblSummary_->setText(ToQString(*why));
        showing_ = wasShowing;
        return;
    }
    const Schedule& schedule = *last.schedule;
    const GasPlan plan =
        PlanGas(schedule, settings.gasPlan, settings.planner, settings.airPressure, separator);
    const auto number = [&](double value) {
        return ToQString(FormatGeneral(RoundHalfEven(value * 10) / 10, separator));
    };
    std::size_t next = 0;  // the plan lists the stored cylinders in their order
    for (int slot = 1; slot <= kMaxCylinders && next < plan.cylinders.size(); ++slot) {
        if (!ParseCylinder(ReadSetting(store_, CylinderKey(slot)))) continue;
        const CylinderUse& use = plan.cylinders[next++];
        const int row = slot - 1;
        const auto show = [&](int column, const QString& text) {
            QTableWidgetItem* item = tblCylinders_->item(row, column);
            item->setText(text);
            if (use.emptyAt || use.belowReserve) item->setForeground(kWarningColour);
        };
        show(kUsedLitres, number(use.usedLitres));
        show(kUsedBar, number(use.pressures.used));
        show(kEndBar, number(use.pressures.end));
        show(kIdealEndBar, number(use.ideal.end));
        show(kReserveBar, number(use.pressures.reserve));
        show(kTurnBar, use.pressures.turn ? number(*use.pressures.turn) : QString());
    }
    const GasPlanSettings& rates = settings.gasPlan;
    QString summary = "Mindestgas (2 Taucher zu je " +
                      number(rates.sacBottom * rates.stressFactor) +
                      " l/min): " + number(plan.minimumGasLitres) + " l.";
    if (plan.turn) {
        summary += " Umkehrdruck " + number(plan.turn->bar) + " bar (" +
                   ToQString(plan.turn->cylinder) + ") bei Laufzeit " +
                   ToQString(RunTimeText(plan.turn->runTime, separator)) + " min.";
    }
    summary += plan.realGas ? " Drücke als reales Gas." : " Drücke als ideales Gas.";
    lblSummary_->setText(summary);

    std::vector<std::string> warnings = schedule.warnings;
    warnings.insert(warnings.end(), plan.warnings.begin(), plan.warnings.end());
    for (const std::string& warning : warnings) {
        auto* item = new QListWidgetItem(ToQString(warning), lstWarnings_);
        item->setForeground(kWarningColour);
    }

    const std::vector<std::string> lines =
        RuntimeTableLines(schedule, settings.planner, settings.airPressure, separator, plan.turn);
    // The dive plan's lines, whose cells say what they are: "Stopp: 1 min.", "ppO2: 1,2 bar".
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const QString line = ToQString(lines[i]);
        const QStringList cells = line.split('\t');
        const int row = tblRuntime_->rowCount();
        tblRuntime_->insertRow(row);
        for (int column = 0; column < cells.size() && column < tblRuntime_->columnCount();
             ++column) {
            auto* item = new QTableWidgetItem(cells[column]);
            if (cells[0].startsWith("Umkehrdruck")) {
                QFont bold = item->font();
                bold.setBold(true);
                item->setFont(bold);
            }
            if (line.contains(" ! ")) item->setForeground(kWarningColour);
            tblRuntime_->setItem(row, column, item);
        }
    }
    tblRuntime_->resizeColumnsToContents();
    showing_ = wasShowing;
}

}  // namespace marelos
