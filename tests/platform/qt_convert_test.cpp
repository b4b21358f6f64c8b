#include "platform/qt_convert.h"

#include <gtest/gtest.h>

#include <QLocale>

namespace marelos {
namespace {

TEST(QtConvert, TextsKeepTheirGermanLetters) {
    EXPECT_EQ(ToQString("Größe 4 °C"), QString::fromUtf8("Größe 4 °C"));
    EXPECT_EQ(ToStdString(QString::fromUtf8("Größe 4 °C")), "Größe 4 °C");
}

TEST(QtConvert, ScreenNumbersUseTheLocaleDecimalSeparator) {
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(FormatForScreen(2.02343 * 0.78), "1,5782754");
    EXPECT_EQ(FormatForScreen(6000), "6000");
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(FormatForScreen(0.1 + 0.2), "0.3");
    QLocale::setDefault(previous);
}

TEST(QtConvert, StoredColoursHaveRedInTheLowByte) {
    EXPECT_EQ(ToQColor(255), QColor(255, 0, 0));
    EXPECT_EQ(ToQColor(8404992), QColor(0, 64, 128));
    EXPECT_EQ(ToQColor(14935011), QColor(227, 227, 227));
    EXPECT_EQ(ToQColor(16777215), QColor(255, 255, 255));
}

}  // namespace
}  // namespace marelos
