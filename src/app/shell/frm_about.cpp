#include "frm_about.h"

#include <QDialogButtonBox>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "core/app_info.h"
#include "core/profile/dive_profile.h"
#include "platform/qt_convert.h"

namespace marelos {
namespace {

constexpr const char* kDisclaimer =
    "Die Berechnungen dieses Programms sind ein Modell und kein Ersatz für Ausbildung, "
    "Erfahrung und einen Tauchcomputer. Jeder Taucher plant und taucht in eigener "
    "Verantwortung; für Schäden aus der Nutzung der Ergebnisse wird keine Haftung übernommen.";

}  // namespace

frmAbout::frmAbout(QWidget* parent, int closeAfterMilliseconds) : QDialog(parent) {
    setObjectName("frmAbout");
    setWindowTitle(ToQString(std::string("Über ") + std::string(TitleWithoutBuild())));
    setFixedSize(520, 330);
    auto* layout = new QVBoxLayout(this);
    layout->addStretch();
    if (closeAfterMilliseconds > 0) {
        setWindowFlag(Qt::FramelessWindowHint);
        QTimer::singleShot(closeAfterMilliseconds, this, &QDialog::accept);
    } else {
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
        buttons->button(QDialogButtonBox::Ok)->setObjectName("cmdOK");
        connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        layout->addWidget(buttons);
    }
}

void frmAbout::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const QString title = ToQString(TitleBeforeParenthesis()).trimmed();
    QFont titleFont("Arial");
    titleFont.setPointSize(20);
    painter.setFont(titleFont);
    // Drawn twice, 20 units apart, for a shadow.
    const double shadow = 20.0 * logicalDpiX() / 1440;
    painter.setPen(QColor(160, 160, 160));
    painter.drawText(QPointF(24 + shadow, 50 + shadow), title);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(QPointF(24, 50), title);

    painter.setFont(font());
    const QStringList lines = {
        "Software zur Tauchgangsplanung, zur Dekompressions-",
        "rechnung und zur Simulation von Tauchcomputern",
        "",
        "Max. Zeitrahmen für Tauchgangsberechnung:  " + QString::number(kProfileTableEnd) +
            " Minuten.",
        "V " + QString::number(kVersionMajor) + "." + QString::number(kVersionMinor) + "." +
            QString::number(kVersionRevision),
    };
    double y = 90;
    for (const QString& line : lines) {
        painter.drawText(QPointF(24, y), line);
        y += painter.fontMetrics().height() + 2;
    }
    painter.drawText(QRectF(24, y + 8, width() - 48, 90), Qt::TextWordWrap, kDisclaimer);
}

}  // namespace marelos
