#include "qt_settings_store.h"

#include <QStandardPaths>
#include <QStringList>

#include "core/app_info.h"
#include "platform/qt_convert.h"

namespace marelos {
namespace {

QString MatchingName(const QStringList& names, const QString& wanted) {
    for (const QString& name : names) {
        if (name.compare(wanted, Qt::CaseInsensitive) == 0) return name;
    }
    return wanted;
}

}  // namespace

QtSettingsStore::QtSettingsStore() : QtSettingsStore(DefaultFilePath()) {}

QtSettingsStore::QtSettingsStore(const QString& iniPath)
    : settings_(iniPath, QSettings::IniFormat) {}

QString QtSettingsStore::DefaultFilePath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/" +
           ToQString(ApplicationName()) + ".ini";
}

QString QtSettingsStore::StoredPath(std::string_view section, std::string_view key) const {
    const QString group = MatchingName(settings_.childGroups(), ToQString(section));
    settings_.beginGroup(group);
    const QString name = MatchingName(settings_.childKeys(), ToQString(key));
    settings_.endGroup();
    return group + "/" + name;
}

std::string QtSettingsStore::ReadSetting(std::string_view section, std::string_view key) const {
    const QVariant value = settings_.value(StoredPath(section, key));
    // An unquoted value with commas, such as a hand-typed "15,5", reads as a list of texts.
    if (value.typeId() == QMetaType::QStringList) {
        return ToStdString(value.toStringList().join(','));
    }
    return ToStdString(value.toString());
}

void QtSettingsStore::WriteSetting(std::string_view section, std::string_view key,
                                   std::string_view value) {
    settings_.setValue(StoredPath(section, key), ToQString(value));
    settings_.sync();  // each change reaches the file at once; a failure leaves the cache intact
}

}  // namespace marelos
