#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "core/browser/profile_browser.h"

namespace marelos {

class FolderView;

// "Zielverzeichnis wählen": the target folder of a copy or move from the browser, or (in its
// reduced layout with "&OK") a folder for the options dialog.
class frmDirCopy : public QDialog {
    Q_OBJECT

  public:
    // Copies or moves `names` out of `source`.
    frmDirCopy(ProfileFileOperations& operations, std::string source,
               std::vector<std::string> names, const QString& storageFolder, QWidget* parent);
    // The reduced layout: only a folder is chosen.
    frmDirCopy(ProfileFileOperations& operations, const QString& startFolder, QWidget* parent);

    QString folder() const;
    // True after a move: the browser's folder lost files.
    bool moved() const { return moved_; }

    void cmdNewFolder();
    void cmdCopy(bool move);

  private:
    void Build(const QString& storageFolder, bool reduced);

    ProfileFileOperations& operations_;
    std::string source_;
    std::vector<std::string> names_;
    FolderView* folders_ = nullptr;
    bool moved_ = false;
};

}  // namespace marelos
