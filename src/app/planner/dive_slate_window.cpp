#include "dive_slate_window.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPrinter>
#include <QSplitter>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/shell/dialog_parts.h"
#include "app/shell/modal_dialogs.h"
#include "core/engine/calculation.h"
#include "platform/profile_folder.h"
#include "platform/qt_convert.h"
#include "platform/slate_output.h"

namespace marelos {
namespace {

constexpr const char* kNeedsPlanner =
    "Der Tauchplan zeigt die Pläne des Planers: bitte den Planer einschalten (Einstellungen, "
    "Register Planer).";
constexpr const char* kSaveTitle = "Tauchplan als PDF speichern";
constexpr const char* kPdfFilter = "PDF-Dateien (*.pdf)|*.pdf|";
constexpr const char* kPrinterError = "Der Drucker kann den Tauchplan nicht drucken: ";

// The page of the slate as the printer gets it, as large as the widget lets it be.
class SlatePreview : public QWidget {
  public:
    explicit SlatePreview(const std::optional<DiveSlate>& slate) : slate_(slate) {
        setObjectName("picSlate");
        setAccessibleName("Seite des Tauchplans");
        setMinimumSize(240, 340);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::gray);
        if (!slate_) return;
        // The page in the middle, white, as large as it fits.
        const double ratio = kSlateWidth / kSlateHeight;
        const double w = std::min<double>(width(), height() * ratio);
        const double h = w / ratio;
        painter.translate((width() - w) / 2, (height() - h) / 2);
        painter.fillRect(QRectF(0, 0, w, h), Qt::white);
        PaintDiveSlate(painter, logicalDpiX(), w, h, *slate_);
    }

  private:
    const std::optional<DiveSlate>& slate_;
};

QTableWidgetItem* Cell(const std::string& text, bool bold) {
    auto* item = new QTableWidgetItem(ToQString(text));
    if (bold) {
        QFont font = item->font();
        font.setBold(true);
        item->setFont(font);
    }
    return item;
}

}  // namespace

frmDiveSlate::frmDiveSlate(Workspace& workspace, SettingsStore& store, ModalDialogs& dialogs,
                           QWidget* parent)
    : QDialog(parent), workspace_(workspace), store_(store), dialogs_(dialogs) {
    setObjectName("frmDiveSlate");
    setWindowTitle("Tauchplan");
    setModal(false);
    lblStatus_ = new QLabel;
    lblStatus_->setObjectName("lblStatus");
    lblStatus_->setWordWrap(true);
    tblPlans_ = new QTableWidget;
    tblPlans_->setObjectName("tblPlans");
    tblPlans_->setAccessibleName("Pläne nebeneinander");
    tblPlans_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblPlans_->verticalHeader()->hide();
    lstWarnings_ = new QListWidget;
    lstWarnings_->setObjectName("lstWarnings");
    lstWarnings_->setAccessibleName("Hinweise und Warnungen der Pläne");
    lstWarnings_->setWordWrap(true);
    picSlate_ = new SlatePreview(slate_);

    auto* plans = new QSplitter(Qt::Vertical);
    plans->addWidget(tblPlans_);
    plans->addWidget(lstWarnings_);
    plans->setStretchFactor(0, 3);
    plans->setStretchFactor(1, 1);
    plans->setChildrenCollapsible(false);
    tabs_ = new QTabWidget;
    tabs_->setObjectName("tabSlate");
    tabs_->addTab(plans, "&Tabelle");
    tabs_->addTab(picSlate_, "&Seite");

    cmdCopy_ = NamedButton("cmdCopy", "&Kopieren", this);
    cmdPrint_ = NamedButton("cmdPrint", "Tauchplan &drucken...", this);
    cmdSavePdf_ = NamedButton("cmdSavePdf", "Tauchplan als &PDF speichern...", this);
    auto* close = NamedButton("cmdClose", "S&chließen", this);
    connect(cmdCopy_, &QPushButton::clicked, this, [this] { CopyTable(); });
    connect(cmdPrint_, &QPushButton::clicked, this, [this] { PrintSlate(); });
    connect(cmdSavePdf_, &QPushButton::clicked, this, [this] { SaveSlate(); });
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblStatus_);
    layout->addWidget(tabs_, 1);
    layout->addLayout(ButtonRow({cmdCopy_, cmdPrint_, cmdSavePdf_}, {close}));
    ShowCalculation();
    resize(900, 640);
}

frmDiveSlate::~frmDiveSlate() = default;

void frmDiveSlate::ShowCalculation() {
    const Settings& settings = workspace_.settings;
    const CalculationResult& last = workspace_.computed.last;
    slate_.reset();
    // Nothing that was not calculated to its end is shown as a plan.
    if (const auto why = WhyNoPlan(settings.planner.enabled, last, kNeedsPlanner)) {
        lblStatus_->setText(ToQString(*why));
    } else {
        const std::vector<ContingencyPlan> plans = ContingencyPlans(
            workspace_.profile, *last.schedule, workspace_.model, workspace_.settings);
        slate_ = DiveSlateOf(workspace_.profile.fileName, plans, settings);
        lblStatus_->setText(ToQString(slate_->title));
    }
    ShowSlate();
}

void frmDiveSlate::ShowSlate() {
    tblPlans_->clear();
    tblPlans_->setRowCount(0);
    tblPlans_->setColumnCount(0);
    lstWarnings_->clear();
    for (QPushButton* button : {cmdCopy_, cmdPrint_, cmdSavePdf_})
        button->setEnabled(slate_.has_value());
    picSlate_->update();
    if (!slate_) return;
    const ContingencyTable& table = slate_->table;
    QStringList heads = {"Tiefe m", "Gas"};
    for (const std::string& head : table.heads)
        heads << ToQString(head);
    tblPlans_->setColumnCount(static_cast<int>(heads.size()));
    tblPlans_->setHorizontalHeaderLabels(heads);
    for (std::size_t p = 0; p < table.marked.size(); ++p) {
        if (!table.marked[p]) continue;
        QTableWidgetItem* head = tblPlans_->horizontalHeaderItem(static_cast<int>(p) + 2);
        QFont font = head->font();
        font.setBold(true);
        head->setFont(font);
    }
    for (const auto* rows : {&table.rows, &table.gasRows}) {
        for (const ContingencyRow& row : *rows) {
            const int r = tblPlans_->rowCount();
            tblPlans_->insertRow(r);
            tblPlans_->setItem(r, 0, Cell(row.label, false));
            tblPlans_->setItem(r, 1, Cell(row.gas, row.gasSwitch));
            for (std::size_t p = 0; p < row.cells.size(); ++p) {
                auto* item = Cell(row.cells[p], table.marked[p]);
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
                tblPlans_->setItem(r, static_cast<int>(p) + 2, item);
            }
        }
    }
    tblPlans_->resizeColumnsToContents();
    tblPlans_->resizeRowsToContents();  // a cell that names its gas has two lines
    for (const std::string& note : table.notes) {
        auto* item = new QListWidgetItem(ToQString(note), lstWarnings_);
        QFont font = item->font();
        font.setBold(true);
        item->setFont(font);
    }
    for (const std::string& warning : slate_->warnings)
        new QListWidgetItem(ToQString(warning), lstWarnings_);
}

void frmDiveSlate::CopyTable() {
    if (!slate_) return;
    QString text;
    for (const std::string& line : slate_->table.TextLines())
        text += ToQString(line) + "\n";
    for (const std::string& warning : slate_->warnings)
        text += ToQString(warning) + "\n";
    QApplication::clipboard()->setText(text);
}

void frmDiveSlate::PrintSlate() {
    if (!slate_) return;
    if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer_->setPageOrientation(QPageLayout::Portrait);
    printer_->setDocName(ToQString(slate_->title));
    if (!dialogs_.Print(this, *printer_)) return;
    if (!PrintDiveSlate(*printer_, *slate_) || printer_->printerState() == QPrinter::Error) {
        const QString target = printer_->outputFileName().isEmpty() ? printer_->printerName()
                                                                    : printer_->outputFileName();
        dialogs_.Message(this, kPrinterError + ToStdString(target), MessageIcon::Critical);
    }
}

void frmDiveSlate::SaveSlate() {
    if (!slate_) return;
    std::string folder = ReadSetting(store_, keys::kSlateFolder);
    if (folder.empty()) folder = WritableProfileFolder(workspace_.settings.fileStoragePath);
    const std::optional<std::string> path =
        dialogs_.SaveFile(this, kSaveTitle, kPdfFilter, folder + "/" + slate_->title + ".pdf");
    if (!path || path->empty()) return;
    if (const auto failure = SaveDiveSlatePdf(*slate_, *path)) {
        dialogs_.Message(this, FailureMessage(*failure), MessageIcon::Critical);
        return;
    }
    WriteSetting(store_, keys::kSlateFolder, path->substr(0, path->find_last_of('/')));
}

}  // namespace marelos
