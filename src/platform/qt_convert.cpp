#include "qt_convert.h"

#include <QLocale>
#include <QStringList>

#include "core/text/number_format.h"

namespace marelos {

QString ToQString(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string ToStdString(const QString& text) {
    return text.toStdString();
}

std::string UserDecimalSeparator() {
    return ToStdString(QLocale::system().decimalPoint());
}

QString FormatForScreen(double value) {
    return ToQString(FormatGeneral(value, UserDecimalSeparator()));
}

QString ToQtFileFilter(std::string_view filter) {
    // The parts alternate between the shown name and its patterns.
    const QStringList parts = ToQString(filter).split('|', Qt::SkipEmptyParts);
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString name = parts[i];
        const QString patterns = QString(parts[i + 1]).replace(';', ' ');
        const qsizetype open = name.indexOf('(');
        if (open >= 0) name = name.left(open).trimmed();
        filters << name + " (" + patterns + ")";
    }
    return filters.join(";;");
}

QColor ToQColor(std::int32_t colour) {
    const auto value = static_cast<std::uint32_t>(colour);
    return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                  static_cast<int>((value >> 16) & 0xFF));
}

std::int32_t FromQColor(const QColor& colour) {
    return colour.red() | (colour.green() << 8) | (colour.blue() << 16);
}

}  // namespace marelos
