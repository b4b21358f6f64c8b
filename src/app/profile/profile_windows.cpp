#include "profile_windows.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

#include "app/shell/dialog_parts.h"
#include "core/profile/profile_text.h"
#include "core/profile/repetitive_dives.h"
#include "core/settings/setting_keys.h"
#include "core/text/codepage.h"
#include "core/text/paths.h"
#include "core/text/text_file.h"
#include "core/text/val.h"
#include "platform/qt_convert.h"

namespace marelos {
namespace {

// The index of a comment field from its name: the number after "txt", "DiveNum" reading as 0.
int FieldIndex(const QString& name) {
    return static_cast<int>(Val(ToStdString(name.mid(3))));
}

std::vector<std::string> SplitEditorText(const QString& text) {
    std::vector<std::string> lines;
    for (const QString& line : text.split('\n'))
        lines.push_back(ToStdString(line));
    if (!lines.empty() && lines.back().empty()) lines.pop_back();
    return lines;
}

}  // namespace

frmDiveComment::frmDiveComment(SettingsStore& store, Ui& ui, QWidget* parent)
    : QDialog(parent), store_(store), ui_(ui) {
    setObjectName("frmDiveComment");
    setWindowTitle("Kommentar zum Tauchgang");
    xlblFName_ = new QLabel;
    xlblFName_->setObjectName("xlblFName");
    auto* grid = new QGridLayout;
    for (int n = 0; n < kCommentFieldCount; ++n) {
        QWidget* field = nullptr;
        if (n == kRemarkField) {
            auto* remark = new QPlainTextEdit;
            remark->setMinimumHeight(90);
            field = remark;
        } else {
            field = new QLineEdit;
        }
        field->setObjectName(n == 0 ? QString("txtDiveNum") : QString("txt%1").arg(n));
        auto* label = new QLabel(ToQString(kCommentKeys[static_cast<std::size_t>(n)]) + ":");
        label->setBuddy(field);
        grid->addWidget(label, n, 0);
        grid->addWidget(field, n, 1);
    }
    const auto lastValue = [this](const char* name, const char* caption, int field,
                                  const SettingKey& key, int row) {
        auto* button = NamedButton(name, caption, this);
        button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        button->setToolTip("Letzten gespeicherten Wert übernehmen");
        connect(button, &QPushButton::clicked, this,
                [this, field, key] { SetField(field, ReadSetting(store_, key)); });
        return std::pair<QPushButton*, int>(button, row);
    };
    for (const auto& [button, row] : {lastValue("cmdDivenum", "letzte", 0, keys::kLastNumber, 0),
                                      lastValue("cmdCountry", "letzter", 1, keys::kLastCountry, 1),
                                      lastValue("cmdSite", "letztes", 2, keys::kLastSite, 2)}) {
        grid->addWidget(button, row, 2);
    }
    auto* gases = new QHBoxLayout;
    for (const auto& [name, gas] : {std::pair{"cmdAir", "Luft"}, std::pair{"cmdNitrox", "Nitrox"},
                                    std::pair{"cmdTmx", "Trimix"}}) {
        auto* button = NamedButton(name, gas, this);
        connect(button, &QPushButton::clicked, this,
                [this, gas] { SetField(11, AddGas(ToStdString(FieldText(11)), gas)); });
        gases->addWidget(button);
    }
    grid->addLayout(gases, 11, 2);
    grid->setColumnStretch(1, 1);
    grid->setColumnMinimumWidth(1, 300);

    auto* previous = NamedButton("cmdPrev", "< Vorheriger", this);
    auto* next = NamedButton("cmdNext", "Nächster >", this);
    auto* save = NamedButton("cmdSave", "&Speichern", this);
    auto* cancel = NamedButton("cmdCancel", "Abbrechen", this);
    connect(previous, &QPushButton::clicked, this, &frmDiveComment::cmdPrev);
    connect(next, &QPushButton::clicked, this, &frmDiveComment::cmdNext);
    connect(save, &QPushButton::clicked, this, &frmDiveComment::cmdSave);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = ButtonRow({previous, next}, {save, cancel});
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(xlblFName_);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    save->setDefault(true);
}

void frmDiveComment::SetField(int index, const std::string& text) {
    for (QWidget* field : findChildren<QWidget*>(QRegularExpression("^txt"))) {
        if (FieldIndex(field->objectName()) != index) continue;
        if (auto* line = qobject_cast<QLineEdit*>(field)) line->setText(ToQString(text));
        if (auto* block = qobject_cast<QPlainTextEdit*>(field))
            block->setPlainText(ToQString(text));
    }
}

QString frmDiveComment::FieldText(int index) const {
    for (QWidget* field : findChildren<QWidget*>(QRegularExpression("^txt"))) {
        if (FieldIndex(field->objectName()) != index) continue;
        if (auto* line = qobject_cast<QLineEdit*>(field)) return line->text();
        if (auto* block = qobject_cast<QPlainTextEdit*>(field)) return block->toPlainText();
    }
    return {};
}

bool frmDiveComment::OpenDiveComment(const std::string& path) {
    const Result<CommentFields> comment = ReadDiveComment(path);
    if (!comment) {
        ui_.ShowSysMsg(FailureMessage(comment.failure()));
        return false;
    }
    path_ = path;
    xlblFName_->setText(ToQString(path));
    for (int n = 0; n < kCommentFieldCount; ++n) {
        SetField(n, comment.value()[static_cast<std::size_t>(n)]);
    }
    return true;
}

CommentFields frmDiveComment::Fields() const {
    CommentFields fields;
    for (int n = 0; n < kCommentFieldCount; ++n) {
        fields[static_cast<std::size_t>(n)] = ToStdString(FieldText(n));
    }
    return fields;
}

void frmDiveComment::cmdSave() {
    if (const auto failure = SaveDiveComment(path_, Fields(), store_)) {
        ui_.ShowMessage(FailureMessage(*failure), MessageIcon::Critical);
        return;
    }
    accept();
}

void frmDiveComment::cmdNext() {
    if (const auto next = NeighbourProfileFile(path_, +1)) OpenDiveComment(*next);
}

void frmDiveComment::cmdPrev() {
    if (const auto previous = NeighbourProfileFile(path_, -1)) OpenDiveComment(*previous);
}

frmEditProfile::frmEditProfile(const Workspace& workspace, Ui& ui, QWidget* parent)
    : QDialog(parent), workspace_(workspace), ui_(ui) {
    setObjectName("frmEditProfile");
    setWindowTitle("Tauchprofil im Text-Modus");
    txtProfile_ = new QPlainTextEdit;
    txtProfile_->setObjectName("txtProfile");
    txtProfile_->setFont(QFont("Monospace"));
    txtProfile_->setTabStopDistance(80);
    QString text;
    for (const std::string& line : ProfileAsTextLines(workspace.profile)) {
        text += ToQString(line) + "\n";
    }
    txtProfile_->setPlainText(text);
    auto* load = NamedButton("cmdLoadProfile", "&Laden...", this);
    auto* save = NamedButton("cmdSaveProfile", "&Speichern...", this);
    auto* close = NamedButton("cmdClose", "S&chließen", this);
    connect(load, &QPushButton::clicked, this, &frmEditProfile::LoadTextFile);
    connect(save, &QPushButton::clicked, this, &frmEditProfile::SaveTextFile);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = ButtonRow({load, save}, {close});
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(txtProfile_);
    layout->addLayout(buttons);
    resize(560, 480);
}

void frmEditProfile::LoadTextFile() {
    const std::string path =
        ui_.AskOpenFile("Tauchprofil laden...", "Tauchprofile (*.prf;*.mrp)|*.prf;*.mrp",
                        workspace_.settings.fileStoragePath)
            .value_or("*.prf;*.mrp");
    if (Utf8Length(path) < 3 || HasWildcards(path)) return;
    const Result<std::vector<std::string>> lines = TextLinesOfFile(path);
    if (!lines) {
        ui_.ShowMessage(FailureMessage(lines.failure()), MessageIcon::Critical);
        return;
    }
    QString text;
    for (const std::string& line : lines.value())
        text += ToQString(line) + "\n";
    txtProfile_->setPlainText(text);
}

void frmEditProfile::SaveTextFile() {
    const std::string path =
        ui_.AskSaveFile("Tauchprofil speichern unter...", "Tauchprofile Marelos 2.x (*.mrp)|*.mrp|",
                        workspace_.settings.fileStoragePath)
            .value_or("*.mrp");
    if (Utf8Length(path) < 3 || HasWildcards(path)) return;
    if (const auto failure = SaveTextLines(path, SplitEditorText(txtProfile_->toPlainText()))) {
        ui_.ShowMessage(FailureMessage(*failure), MessageIcon::Critical);
    }
}

frmDiveSerialMain::frmDiveSerialMain(Workspace& workspace, Ui& ui, QWidget* parent)
    : QDialog(parent), workspace_(workspace), ui_(ui) {
    setObjectName("frmDiveSerialMain");
    setWindowTitle("Tauchgangsserie");
    txtSurfaceTime_ = new QLineEdit("0");
    txtSurfaceTime_->setObjectName("txtSurfaceTime");
    lblDive_ = new QLabel;
    lblDive_->setObjectName("lblDive");
    lstDives_ = new QListWidget;
    lstDives_->setObjectName("lstDives");
    auto* entry = new QGridLayout;
    entry->addWidget(new QLabel("Oberflächenpause vor dem TG [h]:"), 0, 0);
    entry->addWidget(txtSurfaceTime_, 0, 1);
    entry->addWidget(new QLabel("Tauchprofil:"), 1, 0);
    entry->addWidget(lblDive_, 1, 1);
    auto* browse = NamedButton("cmdBrowseDives", "Profil &wählen...", this);
    auto* add = NamedButton("cmdAdd", "&Hinzufügen", this);
    entry->addWidget(browse, 1, 2);
    entry->addWidget(add, 0, 2);
    auto* remove = NamedButton("cmdDelDive", "&Entfernen", this);
    auto* load = NamedButton("cmdLoadlist", "Liste &laden...", this);
    auto* save = NamedButton("cmdSaveList", "Liste &speichern...", this);
    auto* calc = NamedButton("cmdCalc", "&Berechnen...", this);
    auto* close = NamedButton("cmdClose", "S&chließen", this);
    connect(browse, &QPushButton::clicked, this, &frmDiveSerialMain::cmdBrowseDives);
    connect(add, &QPushButton::clicked, this, &frmDiveSerialMain::cmdAdd);
    connect(remove, &QPushButton::clicked, this, &frmDiveSerialMain::cmdDelDive);
    connect(load, &QPushButton::clicked, this, &frmDiveSerialMain::cmdLoadlist);
    connect(save, &QPushButton::clicked, this, &frmDiveSerialMain::cmdSaveList);
    connect(calc, &QPushButton::clicked, this, &frmDiveSerialMain::cmdCalc);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = ButtonRow({remove, load, save}, {calc, close});
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(entry);
    layout->addWidget(lstDives_);
    layout->addLayout(buttons);
    resize(620, 400);
}

void frmDiveSerialMain::cmdBrowseDives() {
    if (const auto path =
            ui_.AskOpenFile("Tauchprofil laden...", "Tauchprofile (*.prf;*.mrp)|*.prf;*.mrp",
                            workspace_.settings.fileStoragePath)) {
        lblDive_->setText(ToQString(*path));
    }
}

void frmDiveSerialMain::cmdAdd() {
    lstDives_->addItem(txtSurfaceTime_->text() + "|" + lblDive_->text());
}

void frmDiveSerialMain::cmdDelDive() {
    delete lstDives_->currentItem();
}

void frmDiveSerialMain::cmdLoadlist() {
    const auto path =
        ui_.AskOpenFile("Defintionsdatei für Serien-TG laden...", "Textdateien (*.txt)|*.txt|",
                        workspace_.settings.fileStoragePath);
    if (!path || path->empty()) return;
    const Result<std::vector<std::string>> lines = ReadTextFileLines(*path);
    if (!lines) {
        ui_.ShowMessage(FailureMessage(lines.failure()), MessageIcon::Critical);
        return;
    }
    for (const std::string& line : lines.value())
        lstDives_->addItem(ToQString(line));
}

void frmDiveSerialMain::cmdSaveList() {
    const auto path =
        ui_.AskSaveFile("Defintionsdatei für Serien-TG speichern...", "Textdateien (*.txt)|*.txt|",
                        workspace_.settings.fileStoragePath);
    if (!path || path->empty() || HasWildcards(*path)) return;
    if (const auto failure = WriteTextFileLines(*path, Entries())) {
        ui_.ShowMessage(FailureMessage(*failure), MessageIcon::Critical);
    }
}

void frmDiveSerialMain::cmdCalc() {
    const auto path =
        ui_.AskSaveFile("Ausgabedatei für Rechenergebnisse bestimmen...",
                        "Textdateien (*.txt)|*.txt|", workspace_.settings.fileStoragePath);
    if (!path) return;
    CalcDiveSeries(workspace_, ui_, Entries(), *path);
}

std::vector<std::string> frmDiveSerialMain::Entries() const {
    std::vector<std::string> entries;
    for (int i = 0; i < lstDives_->count(); ++i)
        entries.push_back(ToStdString(lstDives_->item(i)->text()));
    return entries;
}

}  // namespace marelos
