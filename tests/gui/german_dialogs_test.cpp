#include "app/shell/german_dialogs.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <stdexcept>

#include "app/shell/guarded_application.h"
#include "app/shell/modal_dialogs.h"
#include "tests/gui/scripted_dialogs.h"

namespace marelos {
namespace {

QStringList ButtonTexts(const QWidget& dialog) {
    QStringList texts;
    for (const QPushButton* button : dialog.findChildren<QPushButton*>())
        texts << button->text().remove('&');
    return texts;
}

TEST(GermanDialogs, QtsOwnDialogsSpeakGermanWhateverTheDesktopSpeaks) {
    ASSERT_TRUE(UseGermanDialogs(*qApp));
    QMessageBox box(QMessageBox::Question, "Titel", "Text",
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel | QMessageBox::Ok);
    QStringList boxButtons = ButtonTexts(box);
    boxButtons.sort();
    EXPECT_EQ(boxButtons, (QStringList{"Abbrechen", "Ja", "Nein", "OK"}));

    QFileDialog save(nullptr, "Tauchprofil speichern unter...");
    save.setAcceptMode(QFileDialog::AcceptSave);
    // The desktop's own file dialog would speak the desktop's language.
    EXPECT_TRUE(QApplication::testAttribute(Qt::AA_DontUseNativeDialogs));
    const QStringList saveButtons = ButtonTexts(save);
    EXPECT_TRUE(saveButtons.contains("Speichern")) << saveButtons.join(", ").toStdString();
    EXPECT_TRUE(saveButtons.contains("Abbrechen"));
    QStringList labels;
    for (const QLabel* label : save.findChildren<QLabel*>())
        labels << label->text().remove('&');
    EXPECT_TRUE(labels.contains("Suchen in:")) << labels.join(", ").toStdString();
    EXPECT_TRUE(labels.contains("Dateiname:"));
    for (const char* english : {"Cancel", "Save", "Look in:", "File name:"}) {
        EXPECT_FALSE(saveButtons.contains(english) || labels.contains(english));
    }
}

// Answers the question box that is about to open with a key.
void PressWhenOpen(int key) {
    QTimer::singleShot(0, [key] {
        QWidget* box = QApplication::activeModalWidget();
        ASSERT_NE(box, nullptr);
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(box, &press);
    });
}

TEST(GermanDialogs, EscapeCancelsAQuestionThatCanBeCancelledAndOtherwiseSaysNo) {
    QtModalDialogs dialogs;
    PressWhenOpen(Qt::Key_Escape);
    EXPECT_EQ(dialogs.Ask(nullptr, "Geändertes Tauchprofil speichern?", Buttons::YesNoCancel,
                          MessageIcon::Question),
              Answer::Cancel);
    PressWhenOpen(Qt::Key_Escape);
    EXPECT_EQ(dialogs.Ask(nullptr, "Diesen Punkt löschen?", Buttons::YesNo, MessageIcon::Question),
              Answer::No);
}

// An object whose event handling fails, as a button of a dialog window might.
class Failing : public QObject {
  public:
    bool event(QEvent*) override { throw std::length_error("vector::_M_range_check"); }
};

TEST(GermanDialogs, AnErrorNoCommandCaughtIsReportedAndTheProgramGoesOn) {
    auto* application = dynamic_cast<GuardedApplication*>(qApp);
    ASSERT_NE(application, nullptr);
    ScriptedDialogs dialogs;
    application->ReportFailuresTo(&dialogs);
    Failing failing;
    QEvent event(QEvent::User);
    EXPECT_FALSE(QApplication::sendEvent(&failing, &event));
    application->ReportFailuresTo(nullptr);
    EXPECT_EQ(dialogs.messages,
              (std::vector<std::string>{"Der Befehl wurde wegen eines Fehlers abgebrochen: "
                                        "vector::_M_range_check."}));
}

}  // namespace
}  // namespace marelos
