#include "frm_help.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "app/shell/dialog_parts.h"
#include "platform/shipped_files.h"

namespace marelos {

frmHelp::frmHelp(const QString& page, Ui& ui, BrowserOpener openInBrowser, QWidget* parent)
    : QDialog(parent),
      page_(QUrl::fromLocalFile(page)),
      ui_(ui),
      openInBrowser_(std::move(openInBrowser)) {
    setObjectName("frmHelp");
    setWindowTitle("Marelos – Hilfe");
    txtHelp_ = new QTextBrowser(this);
    txtHelp_->setObjectName("txtHelp");
    txtHelp_->setOpenExternalLinks(true);  // links out of the help go to the browser
    txtHelp_->setSource(page_);
    auto* browser = NamedButton("cmdOpenInBrowser", "Im &Browser öffnen", this);
    auto* close = NamedButton("cmdClose", "&Schließen", this);
    close->setDefault(true);
    connect(browser, &QPushButton::clicked, this, &frmHelp::cmdOpenInBrowser);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(txtHelp_, 1);
    layout->addLayout(ButtonRow({browser}, {close}));
    resize(760, 640);
}

void frmHelp::cmdOpenInBrowser() {
    if (openInBrowser_(page_)) return;
    ui_.ShowMessage(
        "Es ist kein Browser eingerichtet, der die Hilfe öffnen kann. Sie bleibt in diesem "
        "Fenster.",
        MessageIcon::Information);
}

QString HelpPagePath(const QString& programFolder) {
    return ShippedFilePath(programFolder, "hilfe/marelos-hilfe.html");
}

void ShowHelp(QPointer<frmHelp>& window, const QString& programFolder, Ui& ui, QWidget* parent) {
    const QString page = HelpPagePath(programFolder);
    if (!QFileInfo::exists(page)) {
        ui.ShowMessage("Die Hilfe " + page.toStdString() + " fehlt.", MessageIcon::Information);
        return;
    }
    if (!window) {
        window = new frmHelp(page, ui, &QDesktopServices::openUrl, parent);
        window->setAttribute(Qt::WA_DeleteOnClose);
    }
    window->show();
    window->raise();
}

}  // namespace marelos
