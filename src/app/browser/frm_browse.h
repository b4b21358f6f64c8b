#pragma once

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "core/browser/profile_browser.h"
#include "core/settings/settings_store.h"
#include "core/workspace.h"

class QLabel;
class QProgressBar;
class QTreeWidget;

namespace marelos {

class FolderView;
class PictureBox;

// "Tauchprofil-Browser": the profile files of one folder with a preview of the selected one, and
// the commands that open, copy, move, rename, delete and comment them.
class frmBrowse : public QDialog {
    Q_OBJECT

  public:
    // `open` makes a file the current profile.
    frmBrowse(Workspace& workspace, SettingsStore& store, Ui& ui, FileSystem& files,
              std::function<void(const std::string&)> open, QWidget* parent);
    ~frmBrowse() override;

    QString folder() const;
    void setFolder(const QString& folder);

    void mnuFolderRefresh();
    void cmdShowAladinImport();
    void cmdOpen();
    void cmdTransfer();  // copy or move through the folder chooser
    void cmdRename();
    void cmdKill();
    void cmdComment();
    void mnuFolderNew();
    void mnuFolderDelete();
    void mnuFolderSelectForStorage();
    void SelectAll();
    void SelectNone();
    void InvertSelection();
    void ShowPreview();
    // Writes the column widths; the menu's "&Beenden" does it before closing.
    void StoreColumnWidths();

  protected:
    void done(int result) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    std::vector<std::string> SelectedNames() const;
    void BuildMenu();
    void ClearPreview();
    void WidenNameColumn();

    Workspace& workspace_;
    SettingsStore& store_;
    Ui& ui_;
    FileSystem& files_;
    ProfileFileOperations operations_;
    std::function<void(const std::string&)> open_;
    FolderView* folders_;
    QTreeWidget* lvwFiles_;
    PictureBox* picPreview_;
    QLabel* lblFN_;
    QLabel* lblNFiles_;
    QProgressBar* pgbFiles_;
    int sortColumn_ = -1;  // none: the refresh order
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
};

}  // namespace marelos
