#pragma once

#include <QDialog>
#include <QString>
#include <string>
#include <vector>

#include "core/profile/dive_comment.h"
#include "core/settings/settings_store.h"
#include "core/ui/ui.h"
#include "core/workspace.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;

namespace marelos {

// The comment of one profile file: fourteen fields, found by their names "txt...".
class frmDiveComment : public QDialog {
    Q_OBJECT

  public:
    frmDiveComment(SettingsStore& store, Ui& ui, QWidget* parent);

    // Fills the window from the file; false (and the reason in the message list) when the
    // file cannot be read.
    bool OpenDiveComment(const std::string& path);
    CommentFields Fields() const;
    void cmdSave();
    void cmdNext();
    void cmdPrev();

  private:
    void SetField(int index, const std::string& text);
    QString FieldText(int index) const;

    SettingsStore& store_;
    Ui& ui_;
    QLabel* xlblFName_;
    std::string path_;
};

// The profile as editable text, saved as a profile file.
class frmEditProfile : public QDialog {
    Q_OBJECT

  public:
    frmEditProfile(const Workspace& workspace, Ui& ui, QWidget* parent);

    void LoadTextFile();
    void SaveTextFile();
    QPlainTextEdit* text() const { return txtProfile_; }

  private:
    const Workspace& workspace_;
    Ui& ui_;
    QPlainTextEdit* txtProfile_;
};

// "Tauchgangsserie": a list of dives with the surface interval before each, whose nitrogen
// loading is written into a table.
class frmDiveSerialMain : public QDialog {
    Q_OBJECT

  public:
    frmDiveSerialMain(Workspace& workspace, Ui& ui, QWidget* parent);

    void cmdBrowseDives();
    void cmdAdd();
    void cmdDelDive();
    void cmdLoadlist();
    void cmdSaveList();
    void cmdCalc();
    std::vector<std::string> Entries() const;

  private:
    Workspace& workspace_;
    Ui& ui_;
    QLineEdit* txtSurfaceTime_;
    QLabel* lblDive_;
    QListWidget* lstDives_;
};

}  // namespace marelos
