#pragma once

#include <QHash>
#include <QSettings>
#include <QString>

#include "core/settings/settings_store.h"

namespace marelos {

// The settings store as an INI file. Section and key names are matched without regard to case,
// and a write goes to the spelling already in the file, so a hand-edited file never ends up with
// two spellings of one key. A file that cannot be written (read-only folder, full disk) keeps
// the values for the running program and loses them for the next start, without an error.
class QtSettingsStore : public SettingsStore {
  public:
    // The file "<application name>.ini" in the per-user config folder ($XDG_CONFIG_HOME, else
    // ~/.config).
    QtSettingsStore();
    explicit QtSettingsStore(const QString& iniPath);

    static QString DefaultFilePath();
    QString FilePath() const { return settings_.fileName(); }

    std::string ReadSetting(std::string_view section, std::string_view key) const override;
    void WriteSetting(std::string_view section, std::string_view key,
                      std::string_view value) override;

  private:
    // "Section/Key" in the spelling the file already uses, or the given one.
    QString StoredPath(std::string_view section, std::string_view key) const;
    void IndexSpellings() const;
    void IndexUnquotedSemicolons() const;

    mutable QSettings settings_;
    // The spellings in the file, by their case-folded form: sections, and "Section/Key".
    mutable QHash<QString, QString> groups_;
    mutable QHash<QString, QString> paths_;
    // Hand-typed values with a ";" between texts, such as a cylinder "D12;24;232;21/0", which
    // QSettings would cut at the ";" as at a comment; by their case-folded "Section/Key".
    mutable QHash<QString, QString> unquoted_;
    mutable bool indexed_ = false;
};

}  // namespace marelos
