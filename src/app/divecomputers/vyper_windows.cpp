#include "vyper_windows.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <filesystem>

#include "app/shell/dialog_parts.h"
#include "core/divecomputers/vyper_dive.h"
#include "core/text/val.h"
#include "platform/qt_convert.h"

namespace marelos {

namespace {

constexpr int kPollMs = 10;
constexpr int kTickMs = 100;

// The values of the listed lines stand in one column: the tabs after a label become the spaces up
// to it in the list's fixed-width font, so that no value runs off to the right behind a long
// label's tab stops.
constexpr int kValueColumn = 33;

QString WithValueColumn(const QString& line) {
    const qsizetype tab = line.indexOf('\t');
    if (tab < 0) return line;
    qsizetype value = tab;
    while (value < line.size() && line[value] == '\t')
        ++value;
    const QString label = line.left(tab);
    return label.leftJustified(std::max<qsizetype>(kValueColumn, label.size() + 1)) +
           line.mid(value);
}

QString InterfaceText(int type) {
    if (type == 1) return "Interface Typ: Suunto Interface";
    if (type == 2) return "Interface Typ: Selbstbau/Nachbau Interface";
    return "Interface Typ: Unbekannt";
}

}  // namespace

frmVyper::frmVyper(const Settings& settings, SettingsStore& store, Ui& ui, QWidget* parent)
    : QDialog(parent), ui_(ui), link_(port_, *this, VyperOptionsFrom(settings)) {
    setObjectName("frmVyper");
    setWindowTitle("Datenübertragung vom Suunto Vyper");

    lstVyperComm_ = new QListWidget;
    lstVyperComm_->setObjectName("lstVyperComm");
    lstVyperComm_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    lstVyperComm_->setWordWrap(true);  // a long message stays readable in the list's width
    lstVyperComm_->setToolTip("Meldungen während des Ladevorgangs vom Suunto Vyper");
    lstFiles_ = new QListWidget;
    lstFiles_->setObjectName("lstFiles");
    connect(lstFiles_, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { OpenFile(ToStdString(item->text())); });
    const auto label = [](const char* name, const char* text) {
        auto* l = new QLabel(QString::fromUtf8(text));
        l->setObjectName(name);
        return l;
    };
    lblCnt_ = label("lblCnt", "0");
    lblDiveCnt_ = label("lblDiveCnt", "0");
    lblErr_ = label("lblErr", "0");
    lblErr2_ = label("lblErr2", "Fehler oder 'End of Data':");
    cmbNDives_ = new QComboBox;
    cmbNDives_->setObjectName("cmbNDives");
    cmbNDives_->addItem("Alle");
    for (int n = 1; n <= 99; ++n)
        cmbNDives_->addItem(QString::number(n));
    txtErrMax_ = new QLineEdit("3");
    txtErrMax_->setObjectName("txtErrMax");
    txtErrMax_->setToolTip("Max. Fehlerzahl bis zum Abbruch der Übertragung");
    optNever_ = new QRadioButton("Nie überschreiben");
    optNever_->setObjectName("optNever");
    optAsk_ = new QRadioButton("Vor dem Überschreiben fragen");
    optAsk_->setObjectName("optAsk");
    optAlways_ = new QRadioButton("Immer überschreiben");
    optAlways_->setObjectName("optAlways");
    optNever_->setChecked(true);
    chkAbortCondition_ = new QCheckBox("Abbrechen, wenn keine neuen TG geladen werden");
    chkAbortCondition_->setObjectName("chkAbortCondition");

    auto* download = NamedButton("cmdDownload", "Tauchgangsdaten &übertragen", this);
    auto* readSettings = NamedButton("cmdGetVyperSettings", "&Vyper Einstellungen auslesen", this);
    auto* stop = NamedButton("cmdStop", "Sto&p", this);
    cmdClose_ = NamedButton("cmdClose", "Schließen", this);
    connect(download, &QPushButton::clicked, this, &frmVyper::cmdDownload);
    connect(readSettings, &QPushButton::clicked, this, &frmVyper::cmdGetVyperSettings);
    connect(stop, &QPushButton::clicked, this, &frmVyper::cmdStop);
    connect(cmdClose_, &QPushButton::clicked, this, &frmVyper::cmdClose);

    auto* counts = new QGridLayout;
    counts->addWidget(new QLabel("Bytes  empfangen:"), 0, 0);
    counts->addWidget(lblCnt_, 0, 1);
    counts->addWidget(new QLabel("Tauchgang Nr.:"), 1, 0);
    counts->addWidget(lblDiveCnt_, 1, 1);
    counts->addWidget(lblErr2_, 2, 0);
    counts->addWidget(lblErr_, 2, 1);
    counts->addWidget(new QLabel("Anzahl Tauchgänge:"), 3, 0);
    counts->addWidget(cmbNDives_, 3, 1);
    counts->addWidget(new QLabel("Max. Fehlerzahl:"), 4, 0);
    counts->addWidget(txtErrMax_, 4, 1);
    auto* overwrite = new QGroupBox("Vorhandene Dateien");
    auto* options = new QVBoxLayout(overwrite);
    for (QWidget* w :
         std::initializer_list<QWidget*>{optNever_, optAsk_, optAlways_, chkAbortCondition_})
        options->addWidget(w);
    auto* side = new QVBoxLayout;
    side->addLayout(counts);
    side->addWidget(overwrite);
    side->addWidget(new QLabel("Geladene Tauchgänge:"));
    side->addWidget(lstFiles_, 1);
    auto* top = new QHBoxLayout;
    top->addWidget(lstVyperComm_, 2);
    top->addLayout(side, 1);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {download, readSettings, stop, cmdClose_})
        buttons->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(buttons);
    resize(900, 560);

    timDownLoadCtrl_.setSingleShot(true);
    connect(&timDownLoadCtrl_, &QTimer::timeout, this, &frmVyper::DownloadControlTick);
    connect(&timChkRxDone_, &QTimer::timeout, this, &frmVyper::PollReceived);
    timChkRxDone_.start(kPollMs);
    port_.OnDataArrived([this] {
        while (port_.BytesWaiting() > 0)
            link_.ReceiveByte();
    });

    // An empty storage folder becomes "Tauchgänge" in the program's profile folder.
    VyperOptions chosen = link_.Options();
    chosen.storageFolder =
        settings.fileStoragePath.empty() ? "Tauchgänge" : settings.fileStoragePath;
    std::error_code ignored;  // a folder that cannot be made shows up when a dive is written
    std::filesystem::create_directories(chosen.storageFolder, ignored);
    link_.SetOptions(chosen);
    List("Eingestellte Schnittstelle: Vyper an COM" + std::to_string(settings.port) + ":");
    List(ToStdString(InterfaceText(settings.interfaceType)));
    OpenPort(settings, store);
}

frmVyper::~frmVyper() {
    timChkRxDone_.stop();
    timDownLoadCtrl_.stop();
    port_.OnDataArrived({});
    port_.Close();
}

void frmVyper::OpenPort(const Settings& settings, SettingsStore& store) {
    if (const auto failure = OpenCommPort(port_, settings, store)) {
        ui_.ShowMessage(*failure, MessageIcon::Critical);
        return;
    }
    port_.SetDtr(true);  // it powers the interface
    port_.SetRts(false);
}

void frmVyper::Start(bool download) {
    VyperOptions chosen = link_.Options();
    chosen.maxDives = static_cast<int>(Val(ToStdString(cmbNDives_->currentText())));
    chosen.maxErrors = static_cast<int>(Val(ToStdString(txtErrMax_->text())));
    chosen.overwrite = optAlways_->isChecked() ? OverwriteChoice::Always
                       : optAsk_->isChecked()  ? OverwriteChoice::Ask
                                               : OverwriteChoice::Never;
    chosen.abortWhenStored = chkAbortCondition_->isChecked();
    link_.SetOptions(chosen);
    lblErr_->setStyleSheet("color: #808080");
    lblErr2_->setStyleSheet("color: #808080");
    if (download) {
        link_.StartDownload();
    } else {
        link_.StartReadSettings();
    }
    timDownLoadCtrl_.start(kTickMs);
}

void frmVyper::cmdDownload() {
    Start(true);
}

void frmVyper::cmdGetVyperSettings() {
    Start(false);
}

void frmVyper::cmdStop() {
    timDownLoadCtrl_.stop();
    link_.Stop();
    cmdClose_->setFocus();
}

void frmVyper::cmdClose() {
    close();
}

void frmVyper::reject() {
    timChkRxDone_.stop();
    timDownLoadCtrl_.stop();
    // A command waiting in its pauses finds the link idle and stores nothing.
    if (link_.Mode() != VyperMode::Idle) link_.Stop();
    QDialog::reject();
}

void frmVyper::DownloadControlTick() {
    timDownLoadCtrl_.stop();
    if (link_.Tick()) timDownLoadCtrl_.start(kTickMs);
}

void frmVyper::PollReceived() {
    if (port_.BytesWaiting() == 0) return;
    // A control tick never starts while a packet is arriving.
    const bool armed = timDownLoadCtrl_.isActive();
    timDownLoadCtrl_.stop();
    while (port_.BytesWaiting() > 0)
        link_.ReceiveByte();
    if (armed) timDownLoadCtrl_.start(kTickMs);
}

void frmVyper::OpenFile(const std::string& name) {
    if (name.empty()) return;
    fileToOpen_ = VyperDivePath(link_.Options().storageFolder, name.substr(0, name.size() - 4));
    cmdClose();
}

void frmVyper::List(const std::string& line) {
    lstVyperComm_->addItem(WithValueColumn(ToQString(line)));
    lstVyperComm_->scrollToBottom();
}

void frmVyper::ShowBytes(long long total) {
    lblCnt_->setText(QString::number(total));
}

void frmVyper::ShowDiveNumber(long long number) {
    lblDiveCnt_->setText(QString::number(number));
}

void frmVyper::ShowErrors(int count) {
    lblErr_->setText(QString::number(count));
    if (count == 0) return;
    lblErr_->setStyleSheet("color: red");
    lblErr2_->setStyleSheet("color: red");
}

void frmVyper::AddFile(const std::string& fileName) {
    lstFiles_->addItem(ToQString(fileName));
}

bool frmVyper::AskOverwrite(const std::string& fileName) {
    return ui_.Ask("Dieser Tauchgang wurde bereits abgespeichert. Soll die Datei " + fileName +
                       " überschrieben werden?",
                   Buttons::YesNo, MessageIcon::Question, Answer::No) == Answer::Yes;
}

void frmVyper::DownloadFinished() {
    timDownLoadCtrl_.stop();
    ui_.ShowMessage("Übertragung beendet", MessageIcon::Information);
}

void frmVyper::Pause(int milliseconds) {
    PauseWithEvents(milliseconds);
}

}  // namespace marelos
