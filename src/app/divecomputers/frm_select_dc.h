#pragma once

#include <QDialog>
#include <optional>
#include <string>

#include "app/divecomputers/kora_windows.h"
#include "core/settings/settings.h"
#include "core/settings/settings_store.h"
#include "core/ui/ui.h"

namespace marelos {

// The choice of dive computer: the Suunto Vyper or the KORA 4. The selection closes and the
// computer's window opens.
class frmSelectDC : public QDialog {
    Q_OBJECT

  public:
    frmSelectDC(const Settings& settings, SettingsStore& store, Ui& ui, ShowDeviceDive showDive,
                QWidget* parent);
    // The downloaded Vyper dive the user chose to open.
    const std::optional<std::string>& fileToOpen() const { return fileToOpen_; }

  private:
    std::optional<std::string> fileToOpen_;
};

}  // namespace marelos
