#pragma once

#include <QDialog>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

#include "core/divecomputers/kora_link.h"
#include "core/settings/settings_store.h"
#include "core/ui/ui.h"
#include "platform/qt_serial_link.h"

class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;

namespace marelos {

// Hands a dive read from a dive computer to the main window, which shows it as the current
// profile (after asking to save a changed one).
using ShowDeviceDive = std::function<void(const ProfileSnapshot& dive)>;

// The PC's clock now.
KoraClock PcClock();

// Marks a window busy with a command that lets events run, so that closing it meanwhile only
// asks the command to stop, and the window closes when the command is done.
class KoraCommand {
  public:
    bool Running() const { return running_; }
    bool StopWanted() const { return stopWanted_; }
    void Stop() { stopWanted_ = true; }
    // Runs the command; true when the window was closed meanwhile and is to close now.
    bool Run(const std::function<void()>& command);
    // A close of the window: while a command runs it only stops the command.
    bool DeferClose();

  private:
    bool running_ = false;
    bool stopWanted_ = false;
    bool closeWanted_ = false;
};

// The settings, clock and statistics stored in the KORA 4, and the setting of its clock.
class frmKORASettings : public QDialog {
    Q_OBJECT

  public:
    // The clock synchronisation writes one byte per tick of the window's timer.
    static constexpr int kClockTickMs = 200;

    frmKORASettings(KoraLink& link, Ui& ui, std::string decimalSeparator,
                    std::function<KoraClock()> clock, QWidget* parent);

    void cmdGetSettings();
    void cmdRTCSync();
    void reject() override;

  private:
    void WriteNextClockByte();
    void EnableCommands(bool enabled);

    KoraLink& link_;
    Ui& ui_;
    std::string decimalSeparator_;
    std::function<KoraClock()> clock_;
    KoraCommand command_;
    QTimer timRTCSync_;
    KoraClock syncedClock_;
    std::vector<KoraWrite> clockWrites_;
    std::size_t nextClockWrite_ = 0;
    QLabel* lblStatus_;
    std::vector<QPushButton*> commands_;
};

// The KORA 4: reads its whole EEPROM, lists the dives found and shows one as the current profile.
// The serial port is open for as long as the window is.
class frmKORA4 : public QDialog {
    Q_OBJECT

  public:
    frmKORA4(const Settings& settings, SettingsStore& store, Ui& ui, ShowDeviceDive showDive,
             QWidget* parent, int replyTimeoutMs = kKoraReplyTimeoutMs,
             std::function<KoraClock()> clock = PcClock);
    ~frmKORA4() override;

    void cmdLoadDives();
    void cmdShowDive();
    void cmdKORASettings();
    void cmdStop();
    void reject() override;

  private:
    void OpenPort(const Settings& settings, SettingsStore& store);
    void EnableCommands(bool loading);

    Ui& ui_;
    ShowDeviceDive showDive_;
    std::string decimalSeparator_;
    std::function<KoraClock()> clock_;
    QtSerialLink port_;
    KoraLink link_;
    KoraCommand command_;
    KoraEeprom image_ = EmptyKoraEeprom();
    QListWidget* lstDives_;
    QLabel* lblDives_;
    QProgressBar* pgbLoad_;
    QPushButton* cmdLoadDives_;
    QPushButton* cmdShowDive_;
    QPushButton* cmdKORASettings_;
    QPushButton* cmdStop_;
};

}  // namespace marelos
