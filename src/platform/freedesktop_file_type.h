#pragma once

#include <QString>

#include "core/profile/file_type.h"

namespace marelos {

// The profile file type on a freedesktop desktop: a shared-mime-info package for "*.mrp"
// ("Marelos Tauchprofil"), the program's icon and a .desktop entry that starts the program with
// the file, all in the user's data folder ($XDG_DATA_HOME, else ~/.local/share); then the mime
// database is updated and the program made the default for the type, where those tools exist.
// The Debian package installs the same files for every user under /usr/share.
class FreedesktopFileTypeRegistry : public FileTypeRegistry {
  public:
    static constexpr const char* kMimeType = "application/x-marelos-profile";

    explicit FreedesktopFileTypeRegistry(QString programPath);

    bool RegisterProfileFileType() override;
    // True when a data folder of the desktop ($XDG_DATA_HOME, $XDG_DATA_DIRS) holds both the
    // mime package and the desktop entry.
    bool ProfileFileTypeKnown() const override;

    static QString MimePackagePath();
    static QString DesktopEntryPath();
    static QString IconPath();

  private:
    QString programPath_;
};

}  // namespace marelos
