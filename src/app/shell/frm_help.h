#pragma once

#include <QDialog>
#include <QPointer>
#include <QUrl>
#include <functional>

#include "core/ui/ui.h"

class QTextBrowser;

namespace marelos {

// "Marelos – Hilfe": the help page in the program's own window, so help works where no
// browser is set up; a button hands the page to the desktop's browser as well.
class frmHelp : public QDialog {
    Q_OBJECT

  public:
    // `openInBrowser` hands a page to the desktop (false when nothing took it).
    using BrowserOpener = std::function<bool(const QUrl&)>;
    frmHelp(const QString& page, Ui& ui, BrowserOpener openInBrowser, QWidget* parent);

    void cmdOpenInBrowser();

  private:
    QUrl page_;
    Ui& ui_;
    BrowserOpener openInBrowser_;
    QTextBrowser* txtHelp_;
};

// Where the help page lies: "hilfe/marelos-hilfe.html" in the program folder.
QString HelpPagePath(const QString& programFolder);

// Shows the help window (`window` while it is open), beside the work and not waiting for it; a
// missing help page is reported.
void ShowHelp(QPointer<frmHelp>& window, const QString& programFolder, Ui& ui, QWidget* parent);

}  // namespace marelos
