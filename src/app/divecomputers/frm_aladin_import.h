#pragma once

#include <QDialog>
#include <string>

#include "core/divecomputers/datatrak_log.h"
#include "core/settings/settings_store.h"
#include "core/ui/ui.h"

class QListWidget;
class QProgressBar;
class QPushButton;

namespace marelos {

// The import of Aladin DataTrak logs: asks for a log as soon as it is shown, lists every dive
// of it and writes the usable ones as profile files into the storage folder. Escape during the
// import asks whether to stop it.
class frmAladinImport : public QDialog, private DatatrakView {
    Q_OBJECT

  public:
    frmAladinImport(SettingsStore& store, std::string storageFolder, Ui& ui, QWidget* parent);

    // cmdImport: the file dialog, then the walk through the chosen log. A dialog left without
    // a choice closes the window.
    void ImportDatatrakLog();

  public slots:
    // Escape and closing the window: while a log is converted, a request to stop it.
    void reject() override;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void List(const std::string& line) override;
    bool Cancelled(std::size_t position, std::size_t size) override;

    SettingsStore& store_;
    std::string storageFolder_;
    Ui& ui_;
    QListWidget* lstImport_;
    QProgressBar* pgbImport_;
    QPushButton* cmdImport_;
    bool running_ = false;
    bool cancelRequested_ = false;
    bool shown_ = false;
};

}  // namespace marelos
