#include "tool_windows.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/shell/dialog_parts.h"
#include "core/app_info.h"
#include "core/engine/calculators.h"
#include "core/engine/no_fly.h"
#include "core/text/number_format.h"
#include "platform/qt_convert.h"

namespace marelos {
namespace {

QLabel* Result(const char* name) {
    auto* label = new QLabel;
    label->setObjectName(name);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

}  // namespace

frmAltitude::frmAltitude(Workspace& workspace, SettingsStore& store, QWidget* parent)
    : QDialog(parent), workspace_(workspace), store_(store) {
    setObjectName("frmAltitude");
    setWindowTitle("Luftdruck berechnen");
    txtNormPressure_ = NamedField("txtNormPressure",
                                  ToQString(FormatGeneral(workspace.settings.airPressureStandard)));
    txtAltitude_ = NamedField("txtAltitude", "0");
    lblResult_ = Result("lblResult");
    auto* form = new QFormLayout;
    form->addRow("Luftdruck am Boden (0m Meereshöhe) [mbar]", txtNormPressure_);
    form->addRow("Höhe des Tauchgebietes über NN [m]", txtAltitude_);
    form->addRow(lblResult_);

    auto* calc = NamedButton("cmdCalc", "&Rechnen", this);
    cmdGetValue_ = NamedButton("cmdGetValue", "&Übernehmen", this);
    cmdGetValue_->setToolTip("Mit diesem Luftdruck weiterrechnen");
    cmdGetValue_->setEnabled(false);
    auto* close = NamedButton("cmdClose", "&Schließen", this);
    connect(calc, &QPushButton::clicked, this, &frmAltitude::cmdCalc);
    connect(cmdGetValue_, &QPushButton::clicked, this, &frmAltitude::cmdGetValue);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = ButtonRow({calc, cmdGetValue_}, {close});
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    calc->setDefault(true);
}

void frmAltitude::cmdCalc() {
    lblResult_->setText(ToQString(AltitudeResultText(ToStdString(txtNormPressure_->text()),
                                                     ToStdString(txtAltitude_->text()))));
    cmdGetValue_->setEnabled(true);
}

void frmAltitude::cmdGetValue() {
    TakeOverAltitudePressure(ToStdString(lblResult_->text()), workspace_.settings, store_);
}

frmRunTimeTable::frmRunTimeTable(const std::vector<std::string>& plan, Ui& ui, QWidget* parent)
    : QDialog(parent), plan_(plan), ui_(ui) {
    setObjectName("frmRunTimeTable");
    setWindowTitle("Tauchgangsplan");
    lstPlan_ = new QTableWidget(static_cast<int>(plan.size()), 6, this);
    lstPlan_->setObjectName("lstPlan");
    lstPlan_->horizontalHeader()->hide();
    lstPlan_->verticalHeader()->hide();
    lstPlan_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstPlan_->setShowGrid(false);
    for (int row = 0; row < static_cast<int>(plan.size()); ++row) {
        const QStringList cells = ToQString(plan[static_cast<std::size_t>(row)]).split('\t');
        for (int column = 0; column < cells.size() && column < 6; ++column) {
            lstPlan_->setItem(row, column, new QTableWidgetItem(cells[column].trimmed()));
        }
    }
    // A line of one cell (a title, a warning) runs across the columns instead of widening the
    // first one.
    for (int row = 0; row < static_cast<int>(plan.size()); ++row) {
        if (plan[static_cast<std::size_t>(row)].find('\t') == std::string::npos) {
            lstPlan_->setSpan(row, 0, 1, 6);
        }
    }
    lstPlan_->resizeColumnsToContents();
    auto* copy = NamedButton("cmdCopy", "Kopieren", this);
    auto* close = NamedButton("cmdCancel", "Schließen", this);
    connect(copy, &QPushButton::clicked, this, &frmRunTimeTable::cmdCopy);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = ButtonRow({}, {copy, close});
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lstPlan_);
    layout->addLayout(buttons);
    resize(860, 420);
}

QString frmRunTimeTable::PlanText() const {
    QString text;
    for (const std::string& line : plan_)
        text += ToQString(line) + "\n";
    return text;
}

void frmRunTimeTable::cmdCopy() {
    QApplication::clipboard()->setText(PlanText());
    ui_.ShowMessage("Tauchplan wurde in die Zwischenablage kopiert.", MessageIcon::Information);
}

frmBestMix::frmBestMix(const GasMixFields& mix, Ui& ui, QWidget* parent)
    : QDialog(parent), ui_(ui) {
    setObjectName("frmBestMix");
    setWindowTitle("Best-Mix herstellen");
    txtO2_ = NamedField("txtO2", ToQString(mix.o2));
    txtN2_ = NamedField("txtN2", ToQString(mix.n2));
    txtHe_ = NamedField("txtHe", ToQString(mix.he));
    txtPressure_ = NamedField("txtPressure", "200");
    lblOxygen_ = Result("lblOxygen");
    lblHelium_ = Result("lblHelium");
    lblAir_ = Result("lblAir");
    lblSum_ = Result("lblSum");
    auto* wanted = new QFormLayout;
    wanted->addRow("Sauerstoffanteil (f.O2)", txtO2_);
    wanted->addRow("Stickstoffanteil (f.N2)", txtN2_);
    wanted->addRow("Heliumanteil (f.He)", txtHe_);
    wanted->addRow("Gewünschter Maximalfülldruck der Empfängerflasche:", txtPressure_);
    auto* steps = new QFormLayout;
    steps->addRow(new QLabel("Die leere Flasche ist folgendermaßen zu befüllen:"));
    steps->addRow("1. Füllschritt: Sauerstoff", lblOxygen_);
    steps->addRow("2. Füllschritt:  Helium", lblHelium_);
    steps->addRow("3. Füllschritt:  Luft aus Kompressor", lblAir_);
    steps->addRow("Summe", lblSum_);
    auto* recalc = NamedButton("cmdCalc", "Neu berechnen", this);
    auto* close = NamedButton("cmdClose", "Schließen", this);
    connect(recalc, &QPushButton::clicked, this, [this] { Calculate(); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = ButtonRow({}, {recalc, close});
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(wanted);
    layout->addLayout(steps);
    layout->addLayout(buttons);
    Calculate(false);  // the main window's mix may not add up: no message on opening
}

void frmBestMix::Calculate(bool tellUser) {
    QLineEdit* const fields[] = {txtO2_, txtN2_, txtHe_, txtPressure_};
    std::string texts[4];
    for (int i = 0; i < 4; ++i)
        texts[i] = ToStdString(fields[i]->text());
    const BlendInputCheck check = CheckBlendInput(texts[0], texts[1], texts[2], texts[3]);
    if (!check.message.empty()) {
        for (QLabel* result : {lblOxygen_, lblHelium_, lblAir_, lblSum_})
            result->setText("---");
        if (!tellUser) return;
        ui_.ShowMessage(check.message, MessageIcon::Critical);
        fields[check.field]->setFocus();
        fields[check.field]->selectAll();
        return;
    }
    const BlendSteps steps = BlendMix(texts[0], texts[1], texts[2], texts[3]);
    lblOxygen_->setText(FormatForScreen(steps.oxygen) + " bar");
    lblHelium_->setText(FormatForScreen(steps.helium) + " bar");
    lblAir_->setText(FormatForScreen(steps.air) + " bar");
    lblSum_->setText(FormatForScreen(steps.sum) + " bar");
}

}  // namespace marelos
