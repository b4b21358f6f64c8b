#include "frm_aladin_import.h"

#include <QApplication>
#include <QFontDatabase>
#include <QListWidget>
#include <QProgressBar>
#include <QTimer>
#include <QVBoxLayout>

#include "app/shell/dialog_parts.h"
#include "core/settings/setting_keys.h"
#include "core/text/codepage.h"
#include "core/text/paths.h"
#include "platform/qt_convert.h"

namespace marelos {
namespace {

// The list's font has fixed widths, so the values line up when each tab becomes the spaces up to
// the next multiple of eight characters.
QString WithTabsExpanded(const QString& line) {
    QString shown;
    for (const QChar c : line) {
        if (c != '\t') {
            shown += c;
            continue;
        }
        do {
            shown += ' ';
        } while (shown.size() % 8 != 0);
    }
    return shown;
}

// While a log is converted: the busy pointer, the import button disabled, Escape a request to
// stop. All of it ends with the conversion, also when a failure ends it.
class RunningImport {
  public:
    RunningImport(bool& running, QPushButton& import) : running_(running), import_(import) {
        running_ = true;
        import_.setEnabled(false);
        QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~RunningImport() {
        QApplication::restoreOverrideCursor();
        import_.setEnabled(true);
        running_ = false;
    }
    RunningImport(const RunningImport&) = delete;
    RunningImport& operator=(const RunningImport&) = delete;

  private:
    bool& running_;
    QPushButton& import_;
};

}  // namespace

frmAladinImport::frmAladinImport(SettingsStore& store, std::string storageFolder, Ui& ui,
                                 QWidget* parent)
    : QDialog(parent), store_(store), storageFolder_(std::move(storageFolder)), ui_(ui) {
    setObjectName("frmAladinImport");
    setWindowTitle("Import von Aladin Datatrak-Dateien");
    lstImport_ = new QListWidget;
    lstImport_->setObjectName("lstImport");
    lstImport_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    pgbImport_ = new QProgressBar;
    pgbImport_->setObjectName("pgbImport");
    pgbImport_->setTextVisible(false);
    cmdImport_ = NamedButton("cmdImport", "&Importieren", this);
    auto* close = NamedButton("cmdClose", "&Schließen", this);
    cmdImport_->setAutoDefault(false);
    close->setAutoDefault(false);
    connect(cmdImport_, &QPushButton::clicked, this, &frmAladinImport::ImportDatatrakLog);
    connect(close, &QPushButton::clicked, this, &frmAladinImport::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lstImport_, 1);
    layout->addWidget(pgbImport_);
    layout->addLayout(ButtonRow({cmdImport_}, {close}));
    resize(760, 520);
}

void frmAladinImport::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (shown_) return;
    shown_ = true;
    QTimer::singleShot(0, this, &frmAladinImport::ImportDatatrakLog);
}

void frmAladinImport::reject() {
    if (running_) {
        cancelRequested_ = true;
        return;
    }
    QDialog::reject();
}

void frmAladinImport::ImportDatatrakLog() {
    if (running_) return;
    cancelRequested_ = false;
    const std::optional<std::string> path =
        ui_.AskOpenFile("Aladin Datatrak-Datei laden...", "Aladin Datatrak-Datei (*.log)|*.log",
                        ReadSetting(store_, keys::kDatatrakLastPath));
    if (!path || Utf8Length(*path) < 3 || HasWildcards(*path)) {
        QDialog::reject();
        return;
    }
    WriteSetting(store_, keys::kDatatrakLastPath, DatatrakLastPath(*path));
    const DatatrakOutcome outcome = [&] {
        const RunningImport running(running_, *cmdImport_);
        return ImportDatatrakFile(*path, storageFolder_, *this);
    }();
    ui_.ShowMessage(outcome.message, outcome.icon);
}

void frmAladinImport::List(const std::string& line) {
    lstImport_->addItem(WithTabsExpanded(ToQString(line)));
}

bool frmAladinImport::Cancelled(std::size_t position, std::size_t size) {
    pgbImport_->setRange(0, static_cast<int>(size));
    pgbImport_->setValue(static_cast<int>(position));
    lstImport_->scrollToBottom();
    ui_.ProcessPendingEvents();
    if (!cancelRequested_) return false;
    QApplication::restoreOverrideCursor();
    const bool stop = ui_.Ask("Umwandeln abbrechen?", Buttons::YesNo) == Answer::Yes;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    cancelRequested_ = false;
    return stop;
}

}  // namespace marelos
