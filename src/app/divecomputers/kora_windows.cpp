#include "kora_windows.h"

#include <QCheckBox>
#include <QDateTime>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/shell/dialog_parts.h"
#include "core/app_info.h"
#include "core/divecomputers/vyper_link.h"
#include "platform/qt_convert.h"

namespace marelos {
namespace {

constexpr const char* kClockNotSent =
    "Datum und Uhrzeit konnten nicht zum KORA 4 gesendet werden. Bitte Anschluss und "
    "eingestellte Schnittstelle prüfen.";

}  // namespace

KoraClock PcClock() {
    const QDateTime now = QDateTime::currentDateTime();
    return {now.date().day(), now.date().month(), now.date().year(), now.time().hour(),
            now.time().minute()};
}

bool KoraCommand::Run(const std::function<void()>& command) {
    if (running_) return false;
    running_ = true;
    stopWanted_ = false;
    command();
    running_ = false;
    const bool close = closeWanted_;
    closeWanted_ = false;
    return close;
}

bool KoraCommand::DeferClose() {
    if (!running_) return false;
    stopWanted_ = true;
    closeWanted_ = true;
    return true;
}

frmKORASettings::frmKORASettings(KoraLink& link, Ui& ui, std::string decimalSeparator,
                                 std::function<KoraClock()> clock, QWidget* parent)
    : QDialog(parent),
      link_(link),
      ui_(ui),
      decimalSeparator_(std::move(decimalSeparator)),
      clock_(std::move(clock)) {
    setObjectName("frmKORASettings");
    setWindowTitle(ToQString(kProgramTitle));

    auto* heading = new QLabel("Auslesetool für KORA4 EEPROM");
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    // One row per label, its fields side by side and its unit behind them. The fields only show
    // what was read: the device's settings are not written from here.
    auto* grid = new QGridLayout;
    int row = -1;
    int column = 1;
    std::string label;
    std::string unit;
    const auto endRow = [&] {
        if (!unit.empty()) grid->addWidget(new QLabel(ToQString(unit)), row, column);
    };
    for (const KoraSettingField& field : KoraSettingFieldLayout()) {
        if (field.label != label) {
            endRow();
            label = field.label;
            unit = field.unit;
            column = 1;
            grid->addWidget(new QLabel(ToQString(label)), ++row, 0);
        }
        QWidget* control = nullptr;
        if (field.checkBox) {
            control = new QCheckBox;
            control->setAttribute(Qt::WA_TransparentForMouseEvents);
            control->setFocusPolicy(Qt::NoFocus);
        } else {
            auto* text = new QLineEdit;
            text->setReadOnly(true);
            text->setMaximumWidth(80);
            control = text;
        }
        control->setObjectName(ToQString(field.name));
        grid->addWidget(control, row, column++);
    }
    endRow();
    grid->setColumnStretch(5, 1);

    auto* read = NamedButton("cmdGetSettings", "Lesen", this);
    auto* sync = NamedButton("cmdRTCSync", "Datum/Uhrzeit synchronisieren", this);
    auto* set = NamedButton("cmdSetSettings", "Setzen", this);
    set->setEnabled(false);
    set->setToolTip("Das Schreiben der Einstellungen in den KORA 4 ist nicht vorgesehen.");
    auto* close = NamedButton("cmdClose", "Schließen", this);
    connect(read, &QPushButton::clicked, this, &frmKORASettings::cmdGetSettings);
    connect(sync, &QPushButton::clicked, this, &frmKORASettings::cmdRTCSync);
    connect(close, &QPushButton::clicked, this, &frmKORASettings::reject);
    commands_ = {read, sync};
    lblStatus_ = new QLabel;
    lblStatus_->setObjectName("lblStatus");

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addLayout(grid);
    layout->addWidget(lblStatus_);
    layout->addStretch();
    layout->addLayout(ButtonRow({read, sync, set}, {close}));

    connect(&timRTCSync_, &QTimer::timeout, this, &frmKORASettings::WriteNextClockByte);
}

void frmKORASettings::EnableCommands(bool enabled) {
    for (QPushButton* button : commands_)
        button->setEnabled(enabled);
}

void frmKORASettings::cmdGetSettings() {
    EnableCommands(false);
    lblStatus_->setText("Lese Einstellungen vom KORA 4...");
    std::vector<KoraSettingField> fields;
    const bool closed = command_.Run([&] { fields = ReadKoraSettings(link_, decimalSeparator_); });
    if (closed) {
        QDialog::reject();
        return;
    }
    for (const KoraSettingField& field : fields) {
        if (auto* box = findChild<QCheckBox*>(ToQString(field.name))) {
            box->setChecked(field.text == "1");
        } else if (auto* text = findChild<QLineEdit*>(ToQString(field.name))) {
            text->setText(ToQString(field.text));
        }
    }
    EnableCommands(true);
    commands_.front()->setFocus();  // not "Schließen", where the focus went while reading
    lblStatus_->clear();
    if (link_.GivenUp())
        ui_.ShowMessage(KoraFailureMessage(link_.LastFailure()), MessageIcon::Critical);
}

void frmKORASettings::cmdRTCSync() {
    EnableCommands(false);
    syncedClock_ = clock_();
    clockWrites_ = KoraClockWrites(syncedClock_);
    nextClockWrite_ = 0;
    lblStatus_->setText("Datum und Uhrzeit werden gesetzt...");
    // The first byte goes at once, each further one with a tick of the timer.
    WriteNextClockByte();
    timRTCSync_.start(kClockTickMs);
}

void frmKORASettings::WriteNextClockByte() {
    const bool done = nextClockWrite_ >= clockWrites_.size();
    const bool sent = done || link_.WriteEepromByte(clockWrites_[nextClockWrite_].address,
                                                    clockWrites_[nextClockWrite_].value);
    ++nextClockWrite_;
    if (!done && sent) return;
    timRTCSync_.stop();
    EnableCommands(true);
    if (!sent) {
        lblStatus_->clear();
        ui_.ShowMessage(kClockNotSent, MessageIcon::Critical);
        return;
    }
    const KoraClock& c = syncedClock_;
    lblStatus_->setText(QString("Datum und Uhrzeit des KORA 4 gesetzt: %1.%2.%3 %4:%5")
                            .arg(c.day, 2, 10, QChar('0'))
                            .arg(c.month, 2, 10, QChar('0'))
                            .arg(c.year)
                            .arg(c.hour, 2, 10, QChar('0'))
                            .arg(c.minute, 2, 10, QChar('0')));
}

void frmKORASettings::reject() {
    if (command_.DeferClose()) return;
    timRTCSync_.stop();  // a clock half set is set again by the next synchronisation
    QDialog::reject();
}

frmKORA4::frmKORA4(const Settings& settings, SettingsStore& store, Ui& ui, ShowDeviceDive showDive,
                   QWidget* parent, int replyTimeoutMs, std::function<KoraClock()> clock)
    : QDialog(parent),
      ui_(ui),
      showDive_(std::move(showDive)),
      decimalSeparator_(settings.decimalSeparator),
      clock_(std::move(clock)),
      link_(
          port_, [this](std::size_t count, int ms) { WaitForBytesWithEvents(port_, count, ms); },
          replyTimeoutMs) {
    setObjectName("frmKORA4");
    setWindowTitle("Datenübertragung vom KORA 4");

    lstDives_ = new QListWidget;
    lstDives_->setObjectName("lstDives");
    lblDives_ = new QLabel("0");
    lblDives_->setObjectName("lblDives");
    pgbLoad_ = new QProgressBar;
    pgbLoad_->setObjectName("pgbLoad");
    pgbLoad_->setRange(0, kKoraEepromSize - 1);
    pgbLoad_->setValue(0);
    cmdLoadDives_ = NamedButton("cmdLoadDives", "Tauchgänge laden", this);
    cmdShowDive_ = NamedButton("cmdShowDive", "Ansehen", this);
    cmdKORASettings_ = NamedButton("cmdKORASettings", "KORA", this);
    cmdKORASettings_->setToolTip("Einstellungen, Uhr und Statistik des KORA 4");
    cmdStop_ = NamedButton("cmdStop", "Stopp", this);
    auto* close = NamedButton("cmdClose", "Schließen", this);
    connect(cmdLoadDives_, &QPushButton::clicked, this, &frmKORA4::cmdLoadDives);
    connect(cmdShowDive_, &QPushButton::clicked, this, &frmKORA4::cmdShowDive);
    connect(cmdKORASettings_, &QPushButton::clicked, this, &frmKORA4::cmdKORASettings);
    connect(cmdStop_, &QPushButton::clicked, this, &frmKORA4::cmdStop);
    connect(close, &QPushButton::clicked, this, &frmKORA4::reject);
    connect(lstDives_, &QListWidget::currentRowChanged, this,
            [this](int row) { cmdShowDive_->setEnabled(row >= 0 && !command_.Running()); });
    connect(lstDives_, &QListWidget::itemDoubleClicked, this, &frmKORA4::cmdShowDive);

    auto* count = new QHBoxLayout;
    count->addWidget(new QLabel("Gefundene Tauchgänge:"));
    count->addWidget(lblDives_);
    count->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(count);
    layout->addWidget(lstDives_, 1);
    layout->addWidget(pgbLoad_);
    layout->addLayout(
        ButtonRow({cmdLoadDives_, cmdShowDive_, cmdKORASettings_, cmdStop_}, {close}));
    resize(430, 340);
    EnableCommands(false);
    OpenPort(settings, store);
}

frmKORA4::~frmKORA4() {
    port_.OnDataArrived({});
    port_.Close();
}

void frmKORA4::OpenPort(const Settings& settings, SettingsStore& store) {
    if (const auto failure = OpenCommPort(port_, settings, store)) {
        ui_.ShowMessage(*failure, MessageIcon::Critical);
        return;
    }
    port_.SetRts(true);
}

void frmKORA4::EnableCommands(bool loading) {
    cmdLoadDives_->setEnabled(!loading);
    cmdKORASettings_->setEnabled(!loading);
    cmdShowDive_->setEnabled(!loading && lstDives_->currentRow() >= 0);
    cmdStop_->setEnabled(loading);
}

void frmKORA4::cmdLoadDives() {
    EnableCommands(true);
    lstDives_->clear();
    lblDives_->setText("0");
    pgbLoad_->setValue(0);
    KoraLoad load;
    const bool closed = command_.Run([&] {
        load = LoadKoraEeprom(link_, [this](int address) {
            pgbLoad_->setValue(address);
            return !command_.StopWanted();
        });
    });
    if (closed) {
        QDialog::reject();
        return;
    }
    image_ = load.image;
    const KoraLoadReport report = ReportKoraLoad(load);
    for (const std::string& entry : report.dives)
        lstDives_->addItem(ToQString(entry));
    lblDives_->setText(QString::number(report.dives.size()));
    // A load that did not get to the end shows no progress that suggests it nearly did.
    if (load.end != KoraLoadEnd::Complete) pgbLoad_->setValue(0);
    EnableCommands(false);
    cmdLoadDives_->setFocus();
    if (!report.message.empty()) {
        ui_.ShowMessage(report.message,
                        report.failed ? MessageIcon::Critical : MessageIcon::Information);
    }
}

void frmKORA4::cmdShowDive() {
    const int n = lstDives_->currentRow() + 1;
    if (n < 1 || command_.Running()) return;
    // A dive with a byte that failed its read lacks depths: shown, it would pass for whole.
    if (const std::string incomplete = KoraIncompleteDiveMessage(image_, n); !incomplete.empty()) {
        ui_.ShowMessage(incomplete, MessageIcon::Information);
        return;
    }
    const std::optional<ProfileSnapshot> dive = KoraDiveProfile(image_, n);
    if (!dive || dive->lines.size() < 2) {
        ui_.ShowMessage("Der Tauchgang Nr. " + std::to_string(n) + " enthält keine Tiefenwerte.",
                        MessageIcon::Information);
        return;
    }
    showDive_(*dive);
}

void frmKORA4::cmdKORASettings() {
    frmKORASettings window(link_, ui_, decimalSeparator_, clock_, this);
    window.exec();
}

void frmKORA4::cmdStop() {
    command_.Stop();
}

void frmKORA4::reject() {
    if (command_.DeferClose()) return;
    QDialog::reject();
}

}  // namespace marelos
