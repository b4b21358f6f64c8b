#include "platform/qt_convert.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QTemporaryDir>

#include "platform/qt_canvas.h"
#include "platform/shipped_files.h"
#include "tests/fakes/temp_folder.h"

namespace marelos {
namespace {

// German dialogs (the default locale) must not change the numbers: they follow the user's
// numeric locale, the system's.
TEST(QtConvert, ScreenNumbersFollowTheNumericLocaleNotTheDialogLanguage) {
    const QLocale previous;
    for (const QLocale::Language language : {QLocale::German, QLocale::English}) {
        QLocale::setDefault(QLocale(language));
        const QString point = QLocale::system().decimalPoint();
        EXPECT_EQ(FormatForScreen(2.02343 * 0.78), "1" + point + "5782754");
        EXPECT_EQ(FormatForScreen(0.1 + 0.2), "0" + point + "3");
        EXPECT_EQ(FormatForScreen(6000), "6000");
        EXPECT_EQ(ToQString(UserDecimalSeparator()), point);
    }
    QLocale::setDefault(previous);
}

TEST(QtConvert, StoredColoursHaveRedInTheLowByte) {
    EXPECT_EQ(ToQColor(8404992 + 3), QColor(3, 64, 128));
    EXPECT_EQ(ToQColor(16777215), QColor(255, 255, 255));
}

// On a 2x screen the picture holds twice the pixels each way, at the same positions in twips,
// so a line is as long but drawn with the screen's full sharpness.
TEST(QtCanvas, DrawsAtTheDevicePixelRatio) {
    QtCanvas single(96);
    QtCanvas twice(96);
    single.Resize(200, 100);
    twice.Resize(200, 100, 2);
    EXPECT_DOUBLE_EQ(twice.Width(), single.Width());
    EXPECT_DOUBLE_EQ(twice.Height(), single.Height());
    EXPECT_EQ(twice.Image().width(), 400);
    EXPECT_EQ(twice.Image().height(), 200);
    twice.Line(150, 750, 2850, 750, 1, 0);  // 10 to 190 pixels at y 50
    const QImage& sharp = twice.Image();
    EXPECT_LT(QColor(sharp.pixel(20, 100)).lightness(), 128);   // the line's start, doubled
    EXPECT_LT(QColor(sharp.pixel(379, 100)).lightness(), 128);  // and its end
    EXPECT_GT(QColor(sharp.pixel(390, 100)).lightness(), 128);
}

// The build folder keeps the help beside the program; an installation keeps it in
// share/marelos beside bin/.
TEST(ShippedFiles, BesideTheProgramFirstThenInTheInstallationsDataFolder) {
    const QTemporaryDir prefix;
    const QString bin = prefix.filePath("bin");
    const QString help = "hilfe/marelos-hilfe.html";
    const QString installed = prefix.filePath("share/marelos/" + help);
    EXPECT_EQ(ShippedFilePath(bin, help), installed);  // in neither place: where it belongs
    for (const QString& path : {installed, bin + "/" + help}) {
        QDir().mkpath(QFileInfo(path).path());
        PutFile(path.toStdString(), "<html></html>");
        EXPECT_EQ(ShippedFilePath(bin, help), path);
    }
}

}  // namespace
}  // namespace marelos
