#include "folder_view.h"

#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QStorageInfo>
#include <QTimer>
#include <QVBoxLayout>

namespace marelos {

FolderView::FolderView(const char* placesName, const char* treeName, const QString& storageFolder,
                       QWidget* parent)
    : QWidget(parent),
      places_(new QComboBox),
      tree_(new QTreeView),
      model_(new QFileSystemModel(this)) {
    places_->setObjectName(placesName);
    tree_->setObjectName(treeName);
    QStringList places{"/", QDir::homePath()};
    if (!storageFolder.isEmpty()) places << QDir::cleanPath(storageFolder);
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid() && volume.isReady() && !volume.rootPath().startsWith("/proc") &&
            !volume.rootPath().startsWith("/sys"))
            places << volume.rootPath();
    }
    places.removeDuplicates();
    places_->addItems(places);

    model_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    model_->setRootPath("/");
    tree_->setModel(model_);
    tree_->setRootIndex(model_->index("/"));
    for (int column = 1; column < model_->columnCount(); ++column)
        tree_->hideColumn(column);
    tree_->setHeaderHidden(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(places_);
    layout->addWidget(tree_);

    // The tree fills itself in the background: once the branch of a folder that was opened by
    // name is there, show it. A folder clicked in the tree is in view already, and the tree
    // stays where it is under the pointer.
    connect(model_, &QFileSystemModel::directoryLoaded, this, [this](const QString& loaded) {
        const bool above = folder_ == loaded || loaded == "/" || folder_.startsWith(loaded + '/');
        if (scrollPending_ && above) QTimer::singleShot(0, this, &FolderView::ScrollToFolder);
    });
    tree_->viewport()->installEventFilter(this);
    connect(places_, &QComboBox::activated, this,
            [this](int index) { setFolder(places_->itemText(index)); });
    connect(tree_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                const QString path = model_->filePath(current);
                if (path.isEmpty() || path == folder_) return;
                scrollPending_ = false;  // chosen in the tree, where the user looks
                folder_ = path;
                emit folderChanged(folder_);
            });
}

bool FolderView::eventFilter(QObject* watched, QEvent* event) {
    // Once the user clicks or scrolls in the tree, the tree is where the user put it.
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::Wheel)
        scrollPending_ = false;
    return QWidget::eventFilter(watched, event);
}

void FolderView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    scrollPending_ = true;
    QTimer::singleShot(200, this,
                       &FolderView::ScrollToFolder);  // after the first layout and listing
}

void FolderView::ScrollToFolder() {
    if (!scrollPending_) return;
    const QModelIndex index = model_->index(folder_);
    for (QModelIndex above = index.parent(); above.isValid(); above = above.parent())
        tree_->expand(above);
    tree_->scrollTo(index, QAbstractItemView::PositionAtCenter);
}

void FolderView::setFolder(const QString& folder) {
    QString path = QDir::cleanPath(folder.isEmpty() ? QDir::homePath() : folder);
    while (!QFileInfo(path).isDir() && path != "/")
        path = QFileInfo(path).absolutePath();
    const QModelIndex index = model_->index(path);
    scrollPending_ = true;
    if (path != folder_) {
        folder_ = path;
        emit folderChanged(folder_);
    }
    tree_->setCurrentIndex(index);
    tree_->scrollTo(index);
    // The place the folder lies in: the longest place its path begins with.
    int place = 0;
    for (int i = 0; i < places_->count(); ++i) {
        const QString root = places_->itemText(i);
        if ((path == root || path.startsWith(root.endsWith('/') ? root : root + '/')) &&
            root.size() > places_->itemText(place).size())
            place = i;
    }
    places_->setCurrentIndex(place);
}

}  // namespace marelos
