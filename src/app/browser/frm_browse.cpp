#include "frm_browse.h"

#include <QApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QShortcut>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <array>

#include "app/browser/folder_view.h"
#include "app/browser/frm_dir_copy.h"
#include "app/divecomputers/frm_aladin_import.h"
#include "app/profile/profile_windows.h"
#include "app/shell/dialog_parts.h"
#include "app/shell/picture_box.h"
#include "core/settings/setting_keys.h"
#include "core/text/text_file.h"
#include "core/text/val.h"
#include "platform/profile_folder.h"
#include "platform/qt_convert.h"

namespace marelos {
namespace {

constexpr int kTwipsPerPixel = 15;  // column widths are stored in twips
constexpr int kDefaultColumnWidths[] = {220, 90, 130};
constexpr int kSortRole = Qt::UserRole;

// A row that sorts sizes as numbers and dates as dates rather than as their texts.
class FileRow : public QTreeWidgetItem {
  public:
    explicit FileRow(const FolderFile& file)
        : QTreeWidgetItem(
              {ToQString(file.name), ToQString(SizeText(file)), ToQString(ModifiedText(file))}) {
        setData(0, kSortRole, ToQString(file.name).toLower());
        setData(1, kSortRole, QVariant::fromValue<qulonglong>(file.size));
        setData(2, kSortRole, QVariant::fromValue<qlonglong>(file.modified));
    }
    bool operator<(const QTreeWidgetItem& other) const override {
        const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
        const QVariant mine = data(column, kSortRole);
        const QVariant theirs = other.data(column, kSortRole);
        if (column == 0) return mine.toString() < theirs.toString();
        return mine.toLongLong() < theirs.toLongLong();
    }
};

const std::array kColumnKeys = {&keys::kBrowserCol1, &keys::kBrowserCol2, &keys::kBrowserCol3};

}  // namespace

frmBrowse::frmBrowse(Workspace& workspace, SettingsStore& store, Ui& ui, FileSystem& files,
                     std::function<void(const std::string&)> open, QWidget* parent)
    : QDialog(parent),
      workspace_(workspace),
      store_(store),
      ui_(ui),
      files_(files),
      operations_(files, ui),
      open_(std::move(open)) {
    setObjectName("frmBrowse");
    setWindowTitle("Tauchprofil-Browser");
    const QString storage = ToQString(workspace_.settings.fileStoragePath);
    folders_ = new FolderView("drvBrowse", "dirBrowse", storage);

    lvwFiles_ = new QTreeWidget;
    lvwFiles_->setObjectName("lvwFiles");
    lvwFiles_->setHeaderLabels({"Name", "Größe", "Zuletzt geändert"});
    lvwFiles_->setRootIsDecorated(false);
    lvwFiles_->setUniformRowHeights(true);
    lvwFiles_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    // Imported dives share long names that differ at the end: a name too long for its column
    // keeps its beginning and its end with the dive number.
    lvwFiles_->setTextElideMode(Qt::ElideMiddle);
    lvwFiles_->viewport()->installEventFilter(this);  // widened to the longest name on resizing
    // Sorted by hand, so the rows come in the refresh order until a header is clicked.
    lvwFiles_->header()->setSectionsClickable(true);
    connect(lvwFiles_->header(), &QHeaderView::sectionClicked, this, [this](int column) {
        const bool again = column == sortColumn_ && sortOrder_ == Qt::AscendingOrder;
        sortColumn_ = column;
        sortOrder_ = again ? Qt::DescendingOrder : Qt::AscendingOrder;
        lvwFiles_->header()->setSortIndicatorShown(true);
        lvwFiles_->sortItems(sortColumn_, sortOrder_);
    });
    for (int column = 0; column < 3; ++column) {
        const int stored = static_cast<int>(Val(ReadSetting(store_, *kColumnKeys[column])));
        lvwFiles_->setColumnWidth(
            column, stored > 0 ? stored / kTwipsPerPixel : kDefaultColumnWidths[column]);
    }

    picPreview_ = new PictureBox;
    picPreview_->setObjectName("picPreview");
    picPreview_->setMinimumSize(220, 150);
    lblFN_ = new QLabel;
    lblFN_->setObjectName("lblFN");
    lblNFiles_ = new QLabel;
    lblNFiles_->setObjectName("lblNFiles");
    pgbFiles_ = new QProgressBar;
    pgbFiles_->setObjectName("pgbFiles");
    pgbFiles_->setTextVisible(false);

    const auto button = [this](const char* name, const QString& caption, auto slot) {
        auto* b = NamedButton(name, caption, this);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, slot);
        return b;
    };
    auto* commands = new QVBoxLayout;
    for (QPushButton* b :
         {button("cmdOpen", "Tauchgang ö&ffnen", &frmBrowse::cmdOpen),
          button("cmdCopy", "&Kopieren", &frmBrowse::cmdTransfer),
          button("cmdMove", "&Verschieben", &frmBrowse::cmdTransfer),
          button("cmdRename", "&Umbenennen", &frmBrowse::cmdRename),
          button("cmdKill", "&Löschen", &frmBrowse::cmdKill),
          button("cmdComment", "K&ommentieren", &frmBrowse::cmdComment),
          button("cmdSelectAll", "&Alle markieren", &frmBrowse::SelectAll),
          button("cmdSelectNone", "Keine markieren", &frmBrowse::SelectNone),
          button("cmdInvertSelection", "Markierung umkehren", &frmBrowse::InvertSelection),
          button("cmdUpdate", "A&ktualisieren   F5", &frmBrowse::mnuFolderRefresh),
          button("cmdShowAladinImport", "Aladin-Dateien &importieren",
                 &frmBrowse::cmdShowAladinImport),
          button("cmdClose", "&Schließen", &QDialog::reject)})
        commands->addWidget(b);
    commands->addStretch();
    commands->addWidget(new QLabel("Vorschau"));
    commands->addWidget(picPreview_);

    auto* filesPanel = new QWidget;
    auto* filesLayout = new QVBoxLayout(filesPanel);
    filesLayout->setContentsMargins(0, 0, 0, 0);
    filesLayout->addWidget(lvwFiles_);
    filesLayout->addWidget(lblNFiles_);
    filesLayout->addWidget(lblFN_);
    filesLayout->addWidget(pgbFiles_);
    auto* split = new QSplitter;
    split->addWidget(folders_);
    split->addWidget(filesPanel);
    split->setStretchFactor(1, 2);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(split, 1);
    layout->addLayout(commands);
    BuildMenu();
    resize(1100, 640);

    connect(folders_, &FolderView::folderChanged, this, [this] {
        ClearPreview();
        mnuFolderRefresh();
    });
    connect(lvwFiles_, &QTreeWidget::itemSelectionChanged, this, &frmBrowse::ShowPreview);
    connect(lvwFiles_, &QTreeWidget::activated, this, &frmBrowse::cmdOpen);
    auto* del =
        new QShortcut(QKeySequence::Delete, lvwFiles_, nullptr, nullptr, Qt::WidgetShortcut);
    connect(del, &QShortcut::activated, this, &frmBrowse::cmdKill);
    connect(picPreview_, &PictureBox::resized, this, &frmBrowse::ShowPreview);

    // The folder left last time; the first time, or when it is gone, the profile folder.
    const QString last = ToQString(ReadSetting(store_, keys::kBrowserLastPath));
    setFolder(!last.isEmpty() && QFileInfo(last).isDir()
                  ? last
                  : ToQString(WritableProfileFolder(workspace_.settings.fileStoragePath)));
}

frmBrowse::~frmBrowse() = default;

void frmBrowse::BuildMenu() {
    auto* bar = new QMenuBar(this);
    const auto entry = [this](QMenu* menu, const char* name, const QString& caption, auto slot) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(name);
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    QMenu* file = bar->addMenu("&Datei");
    entry(file, "mnuLoadFile", "&Laden", &frmBrowse::cmdOpen);
    entry(file, "mnuFileCopy", "&Kopieren", &frmBrowse::cmdTransfer);
    entry(file, "mnuFileMove", "&Verschieben", &frmBrowse::cmdTransfer);
    entry(file, "mnuFileRename", "&Umbenennen", &frmBrowse::cmdRename);
    entry(file, "mnuFileDelete", "&Löschen", &frmBrowse::cmdKill);
    entry(file, "mnuFileComment", "K&ommentieren", &frmBrowse::cmdComment);
    file->addSeparator();
    entry(file, "mnuAladinImport", "&Aladin Datatrak und WLog", &frmBrowse::cmdShowAladinImport);
    file->addSeparator();
    entry(file, "mnuExit", "&Beenden", [this] {
        StoreColumnWidths();
        reject();
    });
    QMenu* select = bar->addMenu("&Markieren");
    entry(select, "mnuSelectAll", "&Alle markieren", &frmBrowse::SelectAll);
    entry(select, "mnuSelectNone", "&Keine markieren", &frmBrowse::SelectNone);
    entry(select, "mnuInvertSelection", "Markierung &umkehren", &frmBrowse::InvertSelection);
    QMenu* folder = bar->addMenu("&Ordner");
    entry(folder, "mnuFolderNew", "&Neu", &frmBrowse::mnuFolderNew);
    entry(folder, "mnuFolderDelete", "&Löschen", &frmBrowse::mnuFolderDelete);
    QAction* refresh =
        entry(folder, "mnuFolderRefresh", "&Aktualisieren", &frmBrowse::mnuFolderRefresh);
    refresh->setShortcut(Qt::Key_F5);
    refresh->setShortcutContext(Qt::WindowShortcut);
    addAction(refresh);  // F5 anywhere in the window, even with the menu bar hidden
    entry(folder, "mnuFolderSelectForStorage", "&Aktuellen Ordner als Dateiverzeichnis verwenden",
          &frmBrowse::mnuFolderSelectForStorage);
    layout()->setMenuBar(bar);
}

QString frmBrowse::folder() const {
    return folders_->folder();
}

void frmBrowse::setFolder(const QString& folder) {
    folders_->setFolder(folder);
}

bool frmBrowse::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lvwFiles_->viewport() && event->type() == QEvent::Resize) WidenNameColumn();
    return QDialog::eventFilter(watched, event);
}

void frmBrowse::done(int result) {
    WriteSetting(store_, keys::kBrowserLastPath, ToStdString(folder()));
    QDialog::done(result);
}

void frmBrowse::StoreColumnWidths() {
    for (int column = 0; column < 3; ++column)
        WriteSetting(store_, *kColumnKeys[column],
                     std::to_string(lvwFiles_->columnWidth(column) * kTwipsPerPixel));
}

void frmBrowse::cmdShowAladinImport() {
    frmAladinImport window(store_, WritableProfileFolder(workspace_.settings.fileStoragePath), ui_,
                           this);
    window.exec();
    mnuFolderRefresh();
}

void frmBrowse::mnuFolderRefresh() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QSignalBlocker quiet(lvwFiles_);
    lvwFiles_->clear();
    const std::string path = ToStdString(folder());
    const std::vector<FolderFile> found = ListProfileFiles(files_, path);
    pgbFiles_->setMaximum(static_cast<int>(found.size()));
    QList<QTreeWidgetItem*> rows;
    rows.reserve(static_cast<qsizetype>(found.size()));
    for (const FolderFile& file : found) {
        rows.append(new FileRow(file));
        pgbFiles_->setValue(static_cast<int>(rows.size()));
    }
    lvwFiles_->addTopLevelItems(rows);
    if (sortColumn_ >= 0) lvwFiles_->sortItems(sortColumn_, sortOrder_);
    WidenNameColumn();
    lblNFiles_->setText(ToQString(FileCountText(found.size(), path)));
    pgbFiles_->reset();
    QApplication::restoreOverrideCursor();
    ShowPreview();
}

void frmBrowse::WidenNameColumn() {
    // As wide as the longest name, while the other two columns stay in view (the last one
    // stretches over whatever room is left).
    const int others = lvwFiles_->columnWidth(1) + kDefaultColumnWidths[2];
    const int room = lvwFiles_->viewport()->width() - others;
    const int before = lvwFiles_->columnWidth(0);
    lvwFiles_->resizeColumnToContents(0);
    lvwFiles_->setColumnWidth(0, std::max(before, std::min(lvwFiles_->columnWidth(0), room)));
}

std::vector<std::string> frmBrowse::SelectedNames() const {
    std::vector<std::string> names;
    for (int row = 0; row < lvwFiles_->topLevelItemCount(); ++row) {
        const QTreeWidgetItem* item = lvwFiles_->topLevelItem(row);
        if (item->isSelected()) names.push_back(ToStdString(item->text(0)));
    }
    return names;
}

void frmBrowse::ClearPreview() {
    lblFN_->clear();
    picPreview_->canvas().Clear(workspace_.settings.graphBackColour);
    picPreview_->update();
}

void frmBrowse::ShowPreview() {
    const auto names = SelectedNames();
    if (names.size() != 1) {
        if (names.empty()) ClearPreview();
        return;
    }
    const std::string path = JoinPath(ToStdString(folder()), names.front());
    lblFN_->setText(ToQString(path));
    const auto lines = ReadTextFileLines(path);
    DrawProfilePreview(picPreview_->canvas(), lines ? lines.value() : std::vector<std::string>{},
                       workspace_.settings.graphLineColour, workspace_.settings.graphBackColour);
    picPreview_->update();
}

void frmBrowse::cmdOpen() {
    const auto names = SelectedNames();
    if (names.empty()) {
        ui_.ShowMessage("Sie müssen einen Tauchgang auswählen.", MessageIcon::Information);
    } else if (names.size() > 1) {
        ui_.ShowMessage("Sie können nur einen Tauchgang auswählen.", MessageIcon::Information);
    } else {
        open_(JoinPath(ToStdString(folder()), names.front()));
        accept();
    }
}

void frmBrowse::cmdTransfer() {
    const auto names = SelectedNames();
    if (names.empty()) {
        ui_.ShowMessage("Sie müssen einen Tauchgang auswählen.", MessageIcon::Information);
        return;
    }
    frmDirCopy chooser(operations_, ToStdString(folder()), names,
                       ToQString(workspace_.settings.fileStoragePath), this);
    chooser.exec();
    if (chooser.moved()) {
        mnuFolderRefresh();
        ClearPreview();
    }
}

void frmBrowse::cmdRename() {
    const auto names = SelectedNames();
    if (names.size() > 1) {
        ui_.ShowMessage("Das Umbenennen von Dateien bei einer Mehrfachauswahl ist nicht möglich.",
                        MessageIcon::Information);
        return;
    }
    if (names.empty()) {
        ui_.ShowMessage("Sie müssen einen Tauchgang auswählen.", MessageIcon::Information);
        return;
    }
    const auto answer = ui_.AskText("Neuer Dateiname?", names.front());
    if (answer && operations_.Rename(ToStdString(folder()), names.front(), *answer))
        mnuFolderRefresh();
}

void frmBrowse::cmdKill() {
    const auto names = SelectedNames();
    if (names.empty()) return;
    if (ui_.Ask(operations_.DeleteQuestion(), Buttons::YesNo, MessageIcon::Question, Answer::No) !=
        Answer::Yes)
        return;
    operations_.Delete(ToStdString(folder()), names);
    mnuFolderRefresh();
    lvwFiles_->clearSelection();
    ClearPreview();
}

void frmBrowse::cmdComment() {
    const auto names = SelectedNames();
    if (names.size() != 1) {
        ui_.ShowMessage(
            "Das Kommentieren von Dateien ist nur möglich, wenn genau 1 Tauchgang "
            "ausgewählt ist.",
            MessageIcon::Information);
        return;
    }
    frmDiveComment window(store_, ui_, this);
    if (window.OpenDiveComment(JoinPath(ToStdString(folder()), names.front()))) window.exec();
}

void frmBrowse::mnuFolderNew() {
    const auto name = ui_.AskText("Name des neuen Verzeichnisses?", "");
    if (name && operations_.CreateFolder(ToStdString(folder()), *name)) mnuFolderRefresh();
}

void frmBrowse::mnuFolderDelete() {
    const std::string path = ToStdString(folder());
    if (ui_.Ask(operations_.DeleteFolderQuestion(path), Buttons::YesNo, MessageIcon::Question,
                Answer::No) != Answer::Yes)
        return;
    std::vector<std::string> listed;
    for (int row = 0; row < lvwFiles_->topLevelItemCount(); ++row)
        listed.push_back(ToStdString(lvwFiles_->topLevelItem(row)->text(0)));
    if (operations_.DeleteFolder(path, listed)) {
        setFolder(QFileInfo(folder()).absolutePath());
    } else {
        mnuFolderRefresh();
    }
}

void frmBrowse::mnuFolderSelectForStorage() {
    workspace_.settings.fileStoragePath = WithTrailingSlash(ToStdString(folder()));
    WriteSetting(store_, keys::kFileStoragePath, workspace_.settings.fileStoragePath);
}

void frmBrowse::SelectAll() {
    lvwFiles_->selectAll();
    ShowPreview();
}

void frmBrowse::SelectNone() {
    lvwFiles_->clearSelection();
    ShowPreview();
}

void frmBrowse::InvertSelection() {
    {
        const QSignalBlocker quiet(lvwFiles_);
        for (int row = 0; row < lvwFiles_->topLevelItemCount(); ++row) {
            QTreeWidgetItem* item = lvwFiles_->topLevelItem(row);
            item->setSelected(!item->isSelected());
        }
    }
    ShowPreview();
}

}  // namespace marelos
