#include "app/shell/german_dialogs.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <stdexcept>

#include "app/shell/guarded_application.h"
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
