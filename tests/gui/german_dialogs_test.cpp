#include "app/shell/german_dialogs.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
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
    QMessageBox box(QMessageBox::Question, "Titel", "Text", QMessageBox::Ok | QMessageBox::Cancel);
    EXPECT_TRUE(ButtonTexts(box).contains("Abbrechen"));
    // The desktop's own file dialog would speak the desktop's language.
    EXPECT_TRUE(QApplication::testAttribute(Qt::AA_DontUseNativeDialogs));
    QFileDialog save;
    save.setAcceptMode(QFileDialog::AcceptSave);
    EXPECT_EQ(ButtonTexts(save).filter("Speichern").size(), 1);
    QStringList labels;
    for (const QLabel* label : save.findChildren<QLabel*>())
        labels << label->text().remove('&');
    EXPECT_TRUE(labels.contains("Suchen in:")) << labels.join(", ").toStdString();
    EXPECT_TRUE(
        QCoreApplication::translate("QFileDialog", "%1 already exists.\nDo you want to replace it?")
            .startsWith("Die Datei %1 existiert bereits."));
}

// Presses Enter in the dialog that is up once the event loop runs again, and notes which
// button Enter meant.
void PressEnterInNextDialog(QMessageBox::StandardButton* meant) {
    QTimer::singleShot(0, [meant] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        *meant = box->standardButton(box->defaultButton());
        QTest::keyClick(box, Qt::Key_Return);
    });
}

TEST(QtModalDialogs, EnterGivesTheQuestionsDefaultAnswer) {
    QtModalDialogs dialogs;
    for (const Buttons buttons : {Buttons::YesNo, Buttons::YesNoCancel}) {
        for (const Answer preset : {Answer::Yes, Answer::No}) {
            QMessageBox::StandardButton meant = QMessageBox::NoButton;
            PressEnterInNextDialog(&meant);
            EXPECT_EQ(dialogs.Ask(nullptr, "Ersetzen?", buttons, MessageIcon::Question, preset),
                      preset);
            EXPECT_EQ(meant, preset == Answer::Yes ? QMessageBox::Yes : QMessageBox::No);
        }
    }
}

TEST(QtModalDialogs,
     TheSaveDialogAsksBeforeReplacingAFileDefaultingToNeinAndGivesTheFiltersEnding) {
    QTemporaryDir dir;
    const QString existing = dir.filePath("tg.mrp");
    QFile(existing).open(QIODevice::WriteOnly);
    const auto save = SaveFileDialog(nullptr, "Tauchprofil speichern unter...",
                                     "Tauchprofile (*.mrp)|*.mrp", dir.path().toStdString());
    save->selectFile(existing);
    QMessageBox::StandardButton meant = QMessageBox::NoButton;
    QTimer::singleShot(0, [&] {
        PressEnterInNextDialog(&meant);
        static_cast<QDialog*>(save.get())->accept();  // asks; Enter keeps the dialog open
        EXPECT_TRUE(save->isVisible());
        save->reject();
    });
    EXPECT_EQ(save->exec(), QDialog::Rejected);
    EXPECT_EQ(meant, QMessageBox::No);

    // A picture's dialog starts on the first filter's ending; a typed name gets the chosen one's.
    const auto picture =
        SaveFileDialog(nullptr, "Titel", "Bitmap-Dateien (*.bmp)|*.bmp|PNG-Bilder (*.png)|*.png|",
                       dir.filePath("*.bmp").toStdString());
    EXPECT_EQ(picture->directory().path(), dir.path());
    EXPECT_EQ(picture->findChild<QLineEdit*>("fileNameEdit")->text(), "*.bmp");
    EXPECT_EQ(picture->defaultSuffix(), "bmp");
    emit picture->filterSelected("PNG-Bilder (*.png)");
    EXPECT_EQ(picture->defaultSuffix(), "png");
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
