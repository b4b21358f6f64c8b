#include "modal_dialogs.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPushButton>
#include <QRegularExpression>

#include "core/app_info.h"
#include "platform/qt_convert.h"

namespace marelos {
namespace {

QMessageBox::Icon IconOf(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::Question:
            return QMessageBox::Question;
        case MessageIcon::Exclamation:
            return QMessageBox::Warning;
        case MessageIcon::Critical:
            return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButton ButtonOf(Answer answer) {
    switch (answer) {
        case Answer::Yes:
            return QMessageBox::Yes;
        case Answer::No:
            return QMessageBox::No;
        case Answer::Cancel:
            return QMessageBox::Cancel;
    }
    return QMessageBox::NoButton;
}

QString Title() {
    return ToQString(kProgramTitle);
}

}  // namespace

void QtModalDialogs::Message(QWidget* parent, std::string_view text, MessageIcon icon) {
    QMessageBox box(IconOf(icon), Title(), ToQString(text), QMessageBox::Ok, parent);
    box.exec();
}

Answer QtModalDialogs::Ask(QWidget* parent, std::string_view text, Buttons buttons,
                           MessageIcon icon, Answer defaultAnswer) {
    QMessageBox::StandardButtons offered = QMessageBox::Yes | QMessageBox::No;
    if (buttons == Buttons::YesNoCancel) offered |= QMessageBox::Cancel;
    QMessageBox box(IconOf(icon), Title(), ToQString(text), offered, parent);
    box.button(QMessageBox::Yes)->setText("&Ja");
    box.button(QMessageBox::No)->setText("&Nein");
    if (buttons == Buttons::YesNoCancel) box.button(QMessageBox::Cancel)->setText("Abbrechen");
    box.setDefaultButton(ButtonOf(defaultAnswer));
    switch (box.exec()) {
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        default:
            return buttons == Buttons::YesNoCancel ? Answer::Cancel : Answer::No;
    }
}

std::optional<std::string> QtModalDialogs::AskText(QWidget* parent, std::string_view prompt,
                                                   std::string_view proposal) {
    bool ok = false;
    const QString answer = QInputDialog::getText(parent, Title(), ToQString(prompt),
                                                 QLineEdit::Normal, ToQString(proposal), &ok);
    if (!ok) return std::nullopt;
    return ToStdString(answer);
}

std::optional<std::string> QtModalDialogs::OpenFile(QWidget* parent, std::string_view title,
                                                    std::string_view filter,
                                                    std::string_view folder) {
    const QString name = QFileDialog::getOpenFileName(parent, ToQString(title), ToQString(folder),
                                                      ToQtFileFilter(filter));
    if (name.isEmpty()) return std::nullopt;
    return ToStdString(name);
}

std::optional<std::string> QtModalDialogs::SaveFile(QWidget* parent, std::string_view title,
                                                    std::string_view filter,
                                                    std::string_view folder) {
    const auto dialog = SaveFileDialog(parent, title, filter, folder);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return ToStdString(dialog->selectedFiles().front());
}

std::unique_ptr<QFileDialog> SaveFileDialog(QWidget* parent, std::string_view title,
                                            std::string_view filter, std::string_view folder) {
    auto dialog = std::make_unique<QFileDialog>(parent, ToQString(title), ToQString(folder),
                                                ToQtFileFilter(filter));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    const auto useEndingOf = [chosen = dialog.get()](const QString& nameFilter) {
        static const QRegularExpression firstPattern(R"(\*\.(\w+))");
        chosen->setDefaultSuffix(firstPattern.match(nameFilter).captured(1));
    };
    useEndingOf(dialog->selectedNameFilter());
    QObject::connect(dialog.get(), &QFileDialog::filterSelected, dialog.get(), useEndingOf);
    return dialog;
}

bool QtModalDialogs::Print(QWidget* parent, QPrinter& printer) {
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

bool QtModalDialogs::SetUpPage(QWidget* parent, QPrinter& printer) {
    QPageSetupDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace marelos
