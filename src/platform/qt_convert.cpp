#include "qt_convert.h"

#include <QLocale>

#include "core/text/number_format.h"

namespace marelos {

QString ToQString(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string ToStdString(const QString& text) {
    return text.toStdString();
}

QString FormatForScreen(double value) {
    return ToQString(FormatGeneral(value, ToStdString(QLocale().decimalPoint())));
}

QColor ToQColor(std::int32_t colour) {
    const auto value = static_cast<std::uint32_t>(colour);
    return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                  static_cast<int>((value >> 16) & 0xFF));
}

}  // namespace marelos
