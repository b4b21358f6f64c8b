#include "qt_settings_store.h"

#include <QFile>
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
    IndexUnquotedSemicolons();
    indexed_ = true;
}

void QtSettingsStore::IndexUnquotedSemicolons() const {
    QFile file(settings_.fileName());
    if (!file.open(QIODevice::ReadOnly)) return;
    QString section;
    for (const QByteArray& raw : file.readAll().split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.startsWith('[') && line.endsWith(']')) {
            section = line.mid(1, line.size() - 2).trimmed();
            continue;
        }
        const qsizetype equals = line.indexOf('=');
        if (equals <= 0 || section.isEmpty()) continue;
        const QString path = (section + "/" + line.left(equals).trimmed()).toCaseFolded();
        const QString value = line.mid(equals + 1).trimmed();
        const qsizetype semicolon = value.indexOf(';');
        // "x ; note" stays a comment: only a ";" right after a text joins two texts.
        if (semicolon > 0 && !value.startsWith('"') && !value[semicolon - 1].isSpace()) {
            unquoted_.insert(path, value);
        } else {
            unquoted_.remove(path);  // of two lines for one key, the later counts
        }
    }
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
    const QString path = StoredPath(section, key);
    if (const auto raw = unquoted_.constFind(path.toCaseFolded()); raw != unquoted_.cend())
        return ToStdString(*raw);
    const QVariant value = settings_.value(path);
    // An unquoted value with commas, such as a hand-typed "15,5", reads as a list of texts.
    if (value.typeId() == QMetaType::QStringList) {
        return ToStdString(value.toStringList().join(','));
    }
    return ToStdString(value.toString());
}

void QtSettingsStore::WriteSetting(std::string_view section, std::string_view key,
                                   std::string_view value) {
    const QString path = StoredPath(section, key);
    // QSettings writes its whole file: the hand-typed values go back whole (and quoted), not
    // as the part before their ";".
    for (auto raw = unquoted_.cbegin(); raw != unquoted_.cend(); ++raw)
        settings_.setValue(paths_.value(raw.key(), raw.key()), *raw);
    unquoted_.clear();
    settings_.setValue(path, ToQString(value));
    const qsizetype slash = path.indexOf('/');
    groups_.insert(path.left(slash).toCaseFolded(), path.left(slash));
    paths_.insert(path.toCaseFolded(), path);
    settings_.sync();  // each change reaches the file at once; a failure leaves the cache intact
}

}  // namespace marelos
