#pragma once

#include <QDialog>
#include <optional>
#include <string>

#include "core/exchange/uddf_dive.h"
#include "core/settings/settings_store.h"
#include "core/ui/ui.h"
#include "core/workspace.h"

class QListWidget;
class QTreeWidget;

namespace marelos {

// The dives of a dive log: each listed with number, date, time, maximum depth, duration and
// site; the chosen ones (or all) become profile files in the profile folder, and "open" loads
// one as the current profile.
class frmUddfImport : public QDialog {
    Q_OBJECT

  public:
    frmUddfImport(UddfLog log, std::string folder, Ui& ui, QWidget* parent);

    void cmdImportSelected();
    void cmdImportAll();
    void cmdOpen();
    // The profile file that "open" wrote, for the main window to load.
    const std::optional<std::string>& fileToOpen() const { return fileToOpen_; }

  private:
    // Writes the dive of `row`, asking before a file is replaced; its path when it is there.
    std::optional<std::string> ImportRow(int row);
    void ImportRows(const std::vector<int>& rows);

    UddfLog log_;
    std::string folder_;
    Ui& ui_;
    QTreeWidget* lvwDives_;
    QListWidget* lstMessages_;
    std::optional<std::string> fileToOpen_;
};

// Datei → Importieren → UDDF-Datei…: asks for the file and shows its dives. The file to load
// as the current profile when the user chose "open".
std::optional<std::string> ImportUddfFile(const std::string& profileFolder, Ui& ui,
                                          QWidget* parent);

// Datei → Exportieren → UDDF-Datei…: calculates the profile and writes it as one dive, with
// the decompression phase on request and the comment of its file.
void ExportUddfFile(Workspace& workspace, SettingsStore& store, Ui& ui,
                    const std::string& profileFolder);

}  // namespace marelos
