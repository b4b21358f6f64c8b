#include "app/browser/frm_browse.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>
#include <filesystem>

#include "app/browser/frm_dir_copy.h"
#include "app/divecomputers/frm_aladin_import.h"
#include "app/shell/picture_box.h"
#include "core/settings/memory_settings_store.h"
#include "tests/fakes/recording_canvas.h"
#include "tests/fakes/scripted_ui.h"
#include "tests/fakes/temp_folder.h"
#include "tests/fakes/transcript.h"

namespace marelos {
namespace {

// Keeps what the input boxes proposed.
struct ProposingUi : ScriptedUi {
    std::optional<std::string> AskText(std::string_view prompt,
                                       std::string_view proposal) override {
        proposals.emplace_back(proposal);
        return ScriptedUi::AskText(prompt, proposal);
    }
    std::vector<std::string> proposals;
};

class Browser : public ::testing::Test {
  protected:
    void SetUp() override {
        // Sizes 9, 10 and 100 bytes and dates in the opposite order, so that sorting the texts
        // ("10 Bytes" before "9 Bytes") or the wrong column shows.
        Put("b.mrp", 100, 1000);
        Put("c.prf", 9, 3000);
        Put("a.mrp", 10, 2000);
        store.WriteSetting("Browser", "LastPath", dir.path().toStdString());
        window = std::make_unique<frmBrowse>(
            workspace, store, ui, disk, [this](const std::string& path) { opened = path; },
            nullptr);
    }
    void Put(const char* name, int size, int hoursAgo) {
        const QString path = dir.filePath(name);
        PutFile(path.toStdString(), std::string(size, '1'));
        namespace fs = std::filesystem;
        fs::last_write_time(path.toStdString(),
                            fs::file_time_type::clock::now() - std::chrono::hours(hoursAgo));
    }
    QTreeWidget* list() { return window->findChild<QTreeWidget*>("lvwFiles"); }
    QStringList Names() {
        QStringList names;
        for (int row = 0; row < list()->topLevelItemCount(); ++row)
            names << list()->topLevelItem(row)->text(0);
        return names;
    }
    void Select(std::initializer_list<int> rows) {
        list()->clearSelection();
        for (int row : rows)
            list()->topLevelItem(row)->setSelected(true);
    }
    void Click(const char* button) { window->findChild<QPushButton*>(button)->click(); }
    QString Label(const char* name) { return window->findChild<QLabel*>(name)->text(); }

    QTemporaryDir dir;
    Workspace workspace;
    InMemorySettingsStore store;
    ProposingUi ui;
    LocalFileSystem disk;
    std::string opened;
    std::unique_ptr<frmBrowse> window;
};

// Each column sorts up on its first click and down on the next (the last click brings back the
// order of the dates, in which the rows are chosen below); the selection rules and their
// messages, renaming from the current name, deleting (Enter keeps the files and the folder), F5
// and opening.
TEST_F(Browser, ListsSortsSelectsRenamesAndDeletesInTheStoredFolder) {
    Transcript t;
    t.Mask(dir.path().toStdString(), "<dir>");
    t.Note("geöffnet", Names(), Label("lblNFiles"), list()->topLevelItem(1)->text(1));
    for (int column : {0, 0, 1, 1, 2, 2, 2}) {
        emit list()->header()->sectionClicked(column);
        t.Note("Spalte " + std::to_string(column), Names());
    }

    Click("cmdSelectNone");
    Click("cmdOpen");
    Select({0, 2});
    Click("cmdOpen");
    Click("cmdRename");
    Click("cmdComment");
    t.Note("Auswahl", ui.Said(), opened);
    Click("cmdInvertSelection");
    t.Note("umgekehrt", Label("lblFN"));
    Click("cmdSelectAll");
    EXPECT_EQ(list()->selectedItems().size(), 3);

    Select({0});
    ui.textAnswers = {"neu.prf"};
    Click("cmdRename");
    t.Note("umbenannt", Names(), ui.proposals);

    Select({1, 2});  // all but the renamed one, the oldest
    ui.answers = {Answer::Yes};
    window->findChild<QAction*>("mnuFileDelete")->trigger();
    t.Note("gelöscht", Names(), Label("lblNFiles"), Label("lblFN"));
    window->findChild<QAction*>("mnuFolderDelete")->trigger();  // answered "Nein"
    t.Note("Ordner bleibt, Enter heißt Nein", QFile::exists(dir.filePath("neu.mrp")),
           ui.defaultAnswers == std::vector<Answer>{Answer::No, Answer::No});

    // F5 refreshes wherever the focus is; opening a file (Enter or a double-click) closes.
    window->show();
    QApplication::setActiveWindow(window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    Put("d.mrp", 1, 1);
    QTest::keyClick(window->findChild<QPushButton*>("cmdKill"), Qt::Key_F5);
    Select({1});
    emit list()->activated(list()->currentIndex());
    t.Note("F5, geöffnet", Names(), opened, window->isVisible(),
           store.ReadSetting("Browser", "LastPath"));
}

TEST_F(Browser, ThePreviewDrawsTheProfileAloneInArialAndLongNamesStayReadable) {
    // The comment's time of day is no run time: the dive lasts 9 minutes.
    PutFile(dir.filePath("Tauchgang 2003-Juli-02 09 Uhr 30 TG 0042.mrp").toStdString(),
            "Depth\tt.delta\tt.total\tN2%\tHe%\r\n12\t3\t3\t78\t0\r\n12\t6\t9\t78\t0\r\n"
            "# END OF PROFILE #\r\nUhrzeit: 09 30\r\n");
    workspace.settings.picDiveFontName = "Courier New";
    window->mnuFolderRefresh();
    window->show();
    QCoreApplication::processEvents();
    Select({static_cast<int>(Names().indexOf(QRegularExpression("^Tauchgang.*")))});
    RecordingCanvas preview(1, 1);
    window->findChild<PictureBox*>("picPreview")->canvas().Record().PaintOn(preview);
    EXPECT_EQ(preview.Texts(), (std::vector<std::string>{"m", "9 min."}));
    for (const auto& text : preview.Of(RecordingCanvas::Call::kText))
        EXPECT_EQ(text.font.name, "Arial");
    // The name column shows the longest name, up to the dive number at its end.
    const QString longest = "Tauchgang 2003-Juli-02 09 Uhr 30 TG 0042.mrp";
    EXPECT_GT(list()->columnWidth(0), QFontMetrics(list()->font()).horizontalAdvance(longest));
    EXPECT_EQ(list()->textElideMode(), Qt::ElideMiddle);
    // A name longer than the list is wide leaves the size column in view.
    Put((std::string(150, 'x') + ".mrp").c_str(), 1, 1);
    window->mnuFolderRefresh();
    EXPECT_LE(list()->columnWidth(0) + list()->columnWidth(1), list()->viewport()->width());
}

TEST_F(Browser, FirstOpenedInTheProfileFolderAndTheTreeStaysPutUnderAClick) {
    // Folders of their own outside the temporary folder, which other tests running meanwhile
    // change, so that no row comes or goes above them in the tree.
    const QTemporaryDir here(QDir::currentPath() + "/browser-XXXXXX");
    const QString profiles = QDir(here.path()).filePath("Profile");
    InMemorySettingsStore fresh;
    workspace.settings.fileStoragePath = profiles.toStdString();
    for (int i = 0; i < 40; ++i)
        QDir(profiles).mkpath(QString("Ordner %1").arg(i, 2, 10, QChar('0')));
    frmBrowse first(
        workspace, fresh, ui, disk, [](const std::string&) {}, nullptr);
    EXPECT_EQ(first.folder(), profiles);

    first.setFolder(profiles + "/Ordner 00");
    first.show();
    auto* tree = first.findChild<QTreeView*>("dirBrowse");
    auto* model = qobject_cast<QFileSystemModel*>(tree->model());
    const QString target = profiles + "/Ordner 30";
    const auto row = [&] { return tree->visualRect(model->index(target)); };
    ASSERT_TRUE(QTest::qWaitFor([&] { return row().isValid(); }, 5000));
    QTest::qWait(300);  // the tree has shown the folder it opened in
    tree->scrollTo(model->index(target), QAbstractItemView::PositionAtTop);
    const int shown = tree->verticalScrollBar()->value();
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, row().center());
    EXPECT_EQ(first.folder().toStdString(), target.toStdString());
    emit model->directoryLoaded(target);  // its listing comes in after the click
    QTest::qWait(100);
    EXPECT_EQ(tree->verticalScrollBar()->value(), shown);
}

// The Aladin import then writes into the storage folder, and the list shows the new files.
TEST_F(Browser, FolderChooserMovesTheSelectionAndTheStorageFolderIsKeptAndImportedInto) {
    Transcript t;
    t.Mask(dir.path().toStdString(), "<dir>");
    ProfileFileOperations operations(disk, ui);
    frmDirCopy chooser(operations, dir.path().toStdString(), {"a.mrp"}, "", nullptr);
    const auto has = [](const QWidget& window, const char* button) {
        return window.findChild<QPushButton*>(button) != nullptr;
    };
    t.Note("Kopieren, OK", has(chooser, "cmdCopy"), has(chooser, "cmdOK"), chooser.folder());
    ui.textAnswers = {"ziel"};
    chooser.cmdNewFolder();
    t.Note("neuer Ordner", chooser.folder());
    chooser.findChild<QPushButton*>("cmdMove")->click();
    t.Note("verschoben", chooser.moved(), QFile::exists(dir.filePath("ziel/a.mrp")),
           QFile::exists(dir.filePath("a.mrp")));

    frmDirCopy reduced(operations, dir.filePath("gone/deeper"), nullptr);
    // the nearest folder that exists
    t.Note("ohne Kopieren", has(reduced, "cmdCopy"), reduced.folder());

    window->setFolder(dir.filePath("ziel"));
    window->findChild<QAction*>("mnuFolderSelectForStorage")->trigger();
    t.Note("Ablage", store.ReadSetting("Settings", "FileStoragePath"), Names());

    ui.files = {std::string(MARELOS_SOURCE_DIR "/examples/aladin-logbuch.log")};
    ui.boxes.clear();
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* import = qobject_cast<frmAladinImport*>(QApplication::activeModalWidget());
        if (import && !ui.boxes.empty()) import->reject();  // closed once it has finished
    });
    poll.start(10);
    Click("cmdShowAladinImport");
    t.Note("Aladin-Import", Names().size());
}

}  // namespace
}  // namespace marelos
