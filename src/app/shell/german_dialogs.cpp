#include "german_dialogs.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace marelos {

bool UseGermanDialogs(QApplication& application) {
    QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    auto* translator = new QTranslator(&application);
    if (!translator->load("qtbase_de", QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QApplication::installTranslator(translator);
}

}  // namespace marelos
