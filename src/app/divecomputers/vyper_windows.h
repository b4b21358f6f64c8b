#pragma once

#include <QDialog>
#include <QTimer>
#include <optional>
#include <string>

#include "core/divecomputers/vyper_link.h"
#include "core/settings/settings_store.h"
#include "core/ui/ui.h"
#include "platform/qt_serial_link.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace marelos {

// The transfer from the Suunto Vyper: reads its settings or downloads its dives into the storage
// folder, listing what happens. The serial port is open for as long as the window is.
class frmVyper : public QDialog, private VyperView {
    Q_OBJECT

  public:
    frmVyper(const Settings& settings, SettingsStore& store, Ui& ui, QWidget* parent);
    ~frmVyper() override;

    void cmdDownload();
    void cmdGetVyperSettings();
    void cmdStop();
    void cmdClose();
    // Every way of closing the window (Escape, the title bar, "Schließen") ends a transfer, so
    // that nothing more is written after the window is gone.
    void reject() override;
    // The downloaded file the user double-clicked, for the main window to open.
    const std::optional<std::string>& fileToOpen() const { return fileToOpen_; }

  private:
    void OpenPort(const Settings& settings, SettingsStore& store);
    void Start(bool download);
    void DownloadControlTick();
    void PollReceived();
    void OpenFile(const std::string& name);

    void List(const std::string& line) override;
    void ShowBytes(long long total) override;
    void ShowDiveNumber(long long number) override;
    void ShowErrors(int count) override;
    void AddFile(const std::string& fileName) override;
    bool AskOverwrite(const std::string& fileName) override;
    void DownloadFinished() override;
    void Pause(int milliseconds) override;

    Ui& ui_;
    QtSerialLink port_;
    VyperLink link_;
    QTimer timChkRxDone_;
    QTimer timDownLoadCtrl_;
    std::optional<std::string> fileToOpen_;
    QListWidget* lstVyperComm_;
    QListWidget* lstFiles_;
    QLabel* lblCnt_;
    QLabel* lblDiveCnt_;
    QLabel* lblErr_;
    QLabel* lblErr2_;
    QComboBox* cmbNDives_;
    QLineEdit* txtErrMax_;
    QRadioButton* optNever_;
    QRadioButton* optAsk_;
    QRadioButton* optAlways_;
    QCheckBox* chkAbortCondition_;
    QPushButton* cmdClose_;
};

}  // namespace marelos
