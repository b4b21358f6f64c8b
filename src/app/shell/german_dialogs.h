#pragma once

class QApplication;

namespace marelos {

// Qt's own dialogs and buttons (message boxes, file, input, colour and font dialogs) in German,
// whatever language the desktop speaks: Qt's German translations are loaded, and the dialogs
// of the desktop, which would follow the desktop's language, are not used. False when the
// translations are missing (Debian package qt6-translations-l10n).
bool UseGermanDialogs(QApplication& application);

}  // namespace marelos
