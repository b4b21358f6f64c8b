#pragma once

#include <QComboBox>
#include <QTreeView>

class QFileSystemModel;

namespace marelos {

// The folder tree from "/" with a list of places above it (the root, the user's home, the storage
// folder and every mounted volume): choosing a place opens it in the tree. Both the browser and
// the folder chooser use it.
class FolderView : public QWidget {
    Q_OBJECT

  public:
    FolderView(const char* placesName, const char* treeName, const QString& storageFolder,
               QWidget* parent = nullptr);

    QString folder() const { return folder_; }
    // Opens the folder (or, when it is gone, the nearest folder above it that exists).
    void setFolder(const QString& folder);

  protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  signals:
    void folderChanged(const QString& folder);

  private:
    void ScrollToFolder();

    QComboBox* places_;
    QTreeView* tree_;
    QFileSystemModel* model_;
    QString folder_;
    bool scrollPending_ = false;  // a folder opened by name waits to be shown in the tree
};

}  // namespace marelos
