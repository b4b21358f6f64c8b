#include "frm_dir_copy.h"

#include <QLabel>
#include <QVBoxLayout>

#include "app/browser/folder_view.h"
#include "app/shell/dialog_parts.h"
#include "platform/qt_convert.h"

namespace marelos {

frmDirCopy::frmDirCopy(ProfileFileOperations& operations, std::string source,
                       std::vector<std::string> names, const QString& storageFolder,
                       QWidget* parent)
    : QDialog(parent),
      operations_(operations),
      source_(std::move(source)),
      names_(std::move(names)) {
    Build(storageFolder, false);
    folders_->setFolder(ToQString(source_));
}

frmDirCopy::frmDirCopy(ProfileFileOperations& operations, const QString& startFolder,
                       QWidget* parent)
    : QDialog(parent), operations_(operations) {
    Build(startFolder, true);
    folders_->setFolder(startFolder);  // a folder that is gone opens the nearest one above it
}

void frmDirCopy::Build(const QString& storageFolder, bool reduced) {
    setObjectName("frmDirCopy");
    setWindowTitle("Zielverzeichnis wählen");
    setModal(true);
    folders_ = new FolderView("drvDirCopy", "dirDirCopy", storageFolder);
    auto* newFolder = NamedButton("cmdNewFolder", "&Neuer Ordner", this);
    auto* cancel = NamedButton("cmdCancel", "&Abbrechen", this);
    connect(newFolder, &QPushButton::clicked, this, &frmDirCopy::cmdNewFolder);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* chosen = new QLabel;
    chosen->setObjectName("lblFolder");
    connect(folders_, &FolderView::folderChanged, chosen, &QLabel::setText);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(folders_);
    layout->addWidget(chosen);
    if (reduced) {
        auto* ok = NamedButton("cmdOK", "&OK", this);
        ok->setDefault(true);
        connect(ok, &QPushButton::clicked, this, &QDialog::accept);
        layout->addLayout(ButtonRow({newFolder}, {ok, cancel}));
    } else {
        auto* copy = NamedButton("cmdCopy", "&Kopieren", this);
        auto* move = NamedButton("cmdMove", "&Verschieben", this);
        connect(copy, &QPushButton::clicked, this, [this] { cmdCopy(false); });
        connect(move, &QPushButton::clicked, this, [this] { cmdCopy(true); });
        layout->addLayout(ButtonRow({newFolder}, {copy, move, cancel}));
    }
    resize(420, 460);
}

QString frmDirCopy::folder() const {
    return folders_->folder();
}

void frmDirCopy::cmdNewFolder() {
    const auto name = operations_.ui().AskText("Name des neuen Verzeichnisses?", "");
    if (!name) return;
    const std::string parent = ToStdString(folder());
    if (operations_.CreateFolder(parent, *name))
        folders_->setFolder(ToQString(JoinPath(parent, *name)));
}

void frmDirCopy::cmdCopy(bool move) {
    operations_.Copy(source_, names_, ToStdString(folder()), move);
    moved_ = move;
    accept();
}

}  // namespace marelos
