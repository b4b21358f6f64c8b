#include "uddf_windows.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "core/engine/calculation.h"
#include "core/exchange/uddf_export.h"
#include "core/exchange/uddf_import.h"
#include "core/profile/dive_comment.h"
#include "core/profile/profile_file.h"
#include "core/text/paths.h"
#include "platform/qt_convert.h"
#include "platform/uddf_xml.h"

namespace marelos {
namespace {

constexpr const char* kUddfFilter = "UDDF-Dateien (*.uddf)|*.uddf";

QPushButton* Button(const char* name, const QString& caption, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    return button;
}

}  // namespace

frmUddfImport::frmUddfImport(UddfLog log, std::string folder, Ui& ui, QWidget* parent)
    : QDialog(parent), log_(std::move(log)), folder_(std::move(folder)), ui_(ui) {
    setObjectName("frmUddfImport");
    setWindowTitle("UDDF-Datei importieren");
    resize(760, 420);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(
        new QLabel("Tauchgänge der Datei (Zielordner: " + ToQString(folder_) + "):", this));
    lvwDives_ = new QTreeWidget(this);
    lvwDives_->setObjectName("lvwDives");
    lvwDives_->setRootIsDecorated(false);
    lvwDives_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lvwDives_->setHeaderLabels(
        {"Nr.", "Datum", "Uhrzeit", "Max. Tiefe [m]", "Dauer [min]", "Ort", "Hinweis"});
    for (std::size_t row = 0; row < log_.dives.size(); ++row) {
        const DiveSummary summary = SummarizeDive(log_.dives[row], log_.mixes);
        auto* item = new QTreeWidgetItem(lvwDives_);
        // A dive without a number of its own (a drawn dive exported by this program) is listed
        // by its place in the file.
        const QString number =
            summary.number.empty() ? QString::number(row + 1) : ToQString(summary.number);
        const QString values[] = {number,
                                  ToQString(summary.date),
                                  ToQString(summary.time),
                                  summary.problem ? QString() : FormatForScreen(summary.maxDepth),
                                  ToQString(summary.duration),
                                  ToQString(summary.site),
                                  ToQString(summary.problem.value_or(""))};
        for (int column = 0; column < 7; ++column)
            item->setText(column, values[column]);
        if (summary.problem) item->setFlags(item->flags() & ~Qt::ItemIsSelectable);
    }
    lvwDives_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    layout->addWidget(lvwDives_, 3);
    lstMessages_ = new QListWidget(this);
    lstMessages_->setObjectName("lstMessages");
    layout->addWidget(lstMessages_, 1);

    auto* buttons = new QDialogButtonBox(this);
    auto* importSelected = Button("cmdImportSelected", "&Auswahl importieren", this);
    auto* importAll = Button("cmdImportAll", "A&lle importieren", this);
    auto* open = Button("cmdOpen", "&Öffnen", this);
    auto* close = Button("cmdClose", "&Schließen", this);
    buttons->addButton(importSelected, QDialogButtonBox::ActionRole);
    buttons->addButton(importAll, QDialogButtonBox::ActionRole);
    buttons->addButton(open, QDialogButtonBox::ActionRole);
    buttons->addButton(close, QDialogButtonBox::RejectRole);
    layout->addWidget(buttons);
    connect(importSelected, &QPushButton::clicked, this, &frmUddfImport::cmdImportSelected);
    connect(importAll, &QPushButton::clicked, this, &frmUddfImport::cmdImportAll);
    connect(open, &QPushButton::clicked, this, &frmUddfImport::cmdOpen);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(lvwDives_, &QTreeWidget::itemDoubleClicked, this, &frmUddfImport::cmdOpen);
}

std::optional<std::string> frmUddfImport::ImportRow(int row) {
    const UddfDive& dive = log_.dives[static_cast<std::size_t>(row)];
    if (const auto problem = ImportProblem(dive)) {
        lstMessages_->addItem(
            ToQString("Tauchgang " + std::to_string(row + 1) + " nicht importiert: " + *problem));
        return std::nullopt;
    }
    Result<ImportOutcome> outcome = ImportDive(log_, row, folder_, false);
    if (outcome && !outcome.value().written) {
        const std::string name = ImportedFileName(dive, row + 1);
        const std::string question =
            "Dieser Tauchgang wurde bereits abgespeichert. Soll die "
            "Datei " +
            name + " überschrieben werden?";
        if (ui_.Ask(question, Buttons::YesNo, MessageIcon::Question, Answer::No) != Answer::Yes) {
            lstMessages_->addItem(ToQString("Nicht überschrieben: " + name));
            return outcome.value().path;
        }
        outcome = ImportDive(log_, row, folder_, true);
    }
    if (!outcome) {
        ui_.ShowMessage(FailureMessage(outcome.failure()), MessageIcon::Critical);
        return std::nullopt;
    }
    lstMessages_->addItem(ToQString("Importiert: " + outcome.value().path));
    return outcome.value().path;
}

void frmUddfImport::ImportRows(const std::vector<int>& rows) {
    for (const int row : rows)
        ImportRow(row);
    lstMessages_->scrollToBottom();
}

void frmUddfImport::cmdImportSelected() {
    std::vector<int> rows;
    for (const QModelIndex& index : lvwDives_->selectionModel()->selectedRows())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    ImportRows(rows);
}

void frmUddfImport::cmdImportAll() {
    std::vector<int> rows(log_.dives.size());
    for (std::size_t i = 0; i < rows.size(); ++i)
        rows[i] = static_cast<int>(i);
    ImportRows(rows);
}

void frmUddfImport::cmdOpen() {
    const QModelIndex current = lvwDives_->currentIndex();
    if (!current.isValid()) return;
    fileToOpen_ = ImportRow(current.row());
    if (fileToOpen_) accept();
}

std::optional<std::string> ImportUddfFile(const std::string& profileFolder, Ui& ui,
                                          QWidget* parent) {
    const std::optional<std::string> path =
        ui.AskOpenFile("UDDF-Datei importieren...", kUddfFilter, profileFolder);
    if (!path || path->empty() || HasWildcards(*path)) return std::nullopt;
    Result<UddfLog> log = ReadUddfFile(*path);
    if (!log) {
        ui.ShowMessage(FailureMessage(log.failure()), MessageIcon::Critical);
        return std::nullopt;
    }
    if (log.value().dives.empty()) {
        ui.ShowMessage("Die Datei " + *path + " enthält keinen Tauchgang.",
                       MessageIcon::Information);
        return std::nullopt;
    }
    frmUddfImport window(std::move(log).value(), profileFolder, ui, parent);
    window.exec();
    return window.fileToOpen();
}

void ExportUddfFile(Workspace& workspace, SettingsStore& store, Ui& ui,
                    const std::string& profileFolder) {
    const std::optional<std::string> path =
        ui.AskSaveFile("UDDF-Datei exportieren...", kUddfFilter, profileFolder);
    if (!path || path->empty() || HasWildcards(*path)) return;
    mnuCalcSaturation(workspace, store, ui);
    const std::vector<std::string> decompression =
        AskedDecompressionLines(workspace, store, ui, LastWrittenLine(workspace.profile));
    CommentFields comment;
    if (!workspace.profile.fileName.empty()) {
        if (const auto read = ReadDiveComment(workspace.profile.fileName)) comment = read.value();
    }
    const UddfLog log = ExportLog(workspace.profile, decompression, comment);
    if (const auto failure = WriteUddfFile(*path, log)) {
        ui.ShowMessage(FailureMessage(*failure), MessageIcon::Critical);
        return;
    }
    ui.ShowSysMsg("UDDF-Datei geschrieben: " + *path);
}

}  // namespace marelos
