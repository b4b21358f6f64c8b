#pragma once

#include <QString>

#include "core/profile/file_type.h"

namespace marelos {

// The profile file type on a freedesktop desktop: a shared-mime-info package for "*.mrp"
// ("Marelos Tauchprofil") and a .desktop entry that starts the program with the file, both in
// the user's data folder ($XDG_DATA_HOME, else ~/.local/share); then the mime database is
// updated and the program made the default for the type, where those tools exist.
class FreedesktopFileTypeRegistry : public FileTypeRegistry {
  public:
    static constexpr const char* kMimeType = "application/x-marelos-profile";

    explicit FreedesktopFileTypeRegistry(QString programPath);

    bool RegisterProfileFileType() override;

    static QString MimePackagePath();
    static QString DesktopEntryPath();

  private:
    QString programPath_;
};

}  // namespace marelos
