#pragma once

#include <QColor>
#include <QString>
#include <cstdint>
#include <string>
#include <string_view>

namespace marelos {

// Texts cross between core (UTF-8 std::string) and Qt (QString) only through these.
QString ToQString(std::string_view utf8);
std::string ToStdString(const QString& text);

// The decimal separator of texts people read: the user's numeric locale's (LC_NUMERIC, else
// LANG), whatever language the program's dialogs speak.
std::string UserDecimalSeparator();

// The general number format with the user's decimal separator, for the screen.
QString FormatForScreen(double value);

// A file filter of the program, "Tauchprofile (*.prf;*.mrp)|*.prf;*.mrp", in Qt's form
// "Tauchprofile (*.prf *.mrp)"; several filters are separated by ";;".
QString ToQtFileFilter(std::string_view filter);

// A stored colour 0x00BBGGRR (red in the low byte) as a Qt colour.
QColor ToQColor(std::int32_t colour);
// A Qt colour as the program stores it, 0x00BBGGRR.
std::int32_t FromQColor(const QColor& colour);

}  // namespace marelos
