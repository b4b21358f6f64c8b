#include "qt_settings_store.h"

#include <QStandardPaths>
#include <QStringList>

#include "core/app_info.h"
#include "platform/qt_convert.h"

namespace marelos {
QtSettingsStore::QtSettingsStore() : QtSettingsStore(DefaultFilePath()) {}

QtSettingsStore::QtSettingsStore(const QString& iniPath)
    : settings_(iniPath, QSettings::IniFormat) {}

QString QtSettingsStore::DefaultFilePath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/" +
           ToQString(ApplicationName()) + ".ini";
}

void QtSettingsStore::IndexSpellings() const {
    // Once per store: a file with very many keys must not make every lookup list them all.
    for (const QString& path : settings_.allKeys()) {
        const qsizetype slash = path.indexOf('/');
        if (slash < 0) continue;  // a key outside every section is never looked up
        groups_.insert(path.left(slash).toCaseFolded(), path.left(slash));
        paths_.insert(path.toCaseFolded(), path);
    }
    indexed_ = true;
}

QString QtSettingsStore::StoredPath(std::string_view section, std::string_view key) const {
    if (!indexed_) IndexSpellings();
    const QString wanted = ToQString(section) + "/" + ToQString(key);
    const QString folded = wanted.toCaseFolded();
    if (const auto path = paths_.constFind(folded); path != paths_.cend()) return *path;
    // A new key goes into the section's existing spelling.
    const QString group = groups_.value(ToQString(section).toCaseFolded(), ToQString(section));
    return group + "/" + ToQString(key);
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
    const QString path = StoredPath(section, key);
    settings_.setValue(path, ToQString(value));
    const qsizetype slash = path.indexOf('/');
    groups_.insert(path.left(slash).toCaseFolded(), path.left(slash));
    paths_.insert(path.toCaseFolded(), path);
    settings_.sync();  // each change reaches the file at once; a failure leaves the cache intact
}

}  // namespace marelos
