#include "main_menu.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QStyle>
#include <QToolBar>
#include <span>

namespace marelos {
namespace {

struct MenuEntry {
    const char* name;     // command name, also the object name of the action or submenu
    const char* caption;  // "&" marks the access key
    int level;            // 0 menu of the bar, 1 entry, 2 entry of a submenu; "-" is a separator
    const char* shortcuts = "";  // key sequences in their portable form, "; " between two
};

// The menu bar in its order; an entry followed by deeper entries is a submenu. Within a menu
// every access key is another letter, so that it runs its entry at once.
constexpr MenuEntry kMenu[] = {
    {"mnuFile", "&Datei", 0},
    {"mnuNewProfile2", "&Neues Tauchprofil", 1, "Ctrl+N"},
    {"mnuLoadProfile2", "Tauchprofil &laden", 1, "Ctrl+O"},
    {"mnuSaveProfile2", "Tauchprofil &speichern", 1, "Ctrl+S"},
    {"mnuSaveAs2", "Tauchprofil speichern &unter", 1, "Ctrl+Shift+S"},
    {"-", "", 1},
    {"mnuImportDatatrak", "&Importieren von Aladin-Dateien", 1},
    {"mnuImport", "I&mportieren", 1},
    {"mnuImportUddf", "&UDDF-Datei…", 2},
    {"mnuExport", "E&xportieren", 1},
    {"mnuExportUddf", "&UDDF-Datei…", 2},
    {"mnuBrowse", "Br&owser", 1, "Ctrl+B"},
    {"-", "", 1},
    {"mnuSavePic", "Tauchgangsgrafik s&peichern", 1},
    {"mnuPrintGraph", "Tauchgangsgrafik &drucken", 1, "Ctrl+P"},
    {"mnuSetPrinter", "D&rucker einrichten", 1},
    {"-", "", 1},
    {"mnuCreateDecoTable", "De&kompressionstabelle erstellen", 1, "Ctrl+T"},
    {"mnuSaveSaturation", "&Gewebesättigung speichern", 1},
    {"mnuSaveSaturationFile", "Als &Textdatei", 2},
    {"mnuSavesaturationExcel", "Direktausgabe in Excel", 2},
    {"-", "", 1},
    {"mnuF1", "&1", 1},
    {"mnuF2", "&2", 1},
    {"mnuF3", "&3", 1},
    {"mnuF4", "&4", 1},
    {"mnuF5", "&5", 1},
    {"mnuF6", "&6", 1},
    {"-", "", 1},
    {"mnuFileQuit", "&Beenden", 1, "Ctrl+Q"},
    {"mnuEdit", "&Bearbeiten", 0},
    {"mnuUndo", "&Rückgängig", 1, "Ctrl+Z"},
    {"mnuRedo", "&Wiederholen", 1, "Ctrl+Y; Ctrl+Shift+Z"},
    {"-", "", 1},
    {"mnuDeleteLastDiveMark", "&Letzte Tauchgangskoordinate löschen", 1},
    {"mnuCopyBMP", "Tauchgangsgrafik &kopieren", 1},
    {"mnuCopyProfile", "&Profil zwischenspeichern", 1},
    {"-", "", 1},
    {"mnuOptions", "&Einstellungen", 1},
    {"mnuView", "&Ansicht", 0},
    {"mnuProfileInput", "&Tauchprofileingabe", 1},
    {"mnuCompareProfiles", "A&ktuelles Tauchprofil mit gespeichertem vergleichen", 1},
    {"mnuOverlayProfile", "Tauchprofil einb&lenden", 1},
    {"mnuBarGraph", "&Balkendiagramm Gewebesättigung und Führungsgewebe", 1},
    {"mnuDiveDemo", "Grafik schrittw&eise anzeigen", 1},
    {"-", "", 1},
    {"mnuInterGasPressure", "&Inertgaspartialdruck in den Geweben", 1},
    {"mnuPartialPressureN2plusHe", "Summe Stickstoff &plus Helium", 2, "Ctrl+1"},
    {"mnuPartialPressureN2", "Nur &Stickstoffpartialdruck", 2, "Ctrl+2"},
    {"mnuPartialPressureHe", "Nur &Heliumpartialdruck", 2, "Ctrl+3"},
    {"mnuPressureRelation", "&Verhältnis p.amb / p.amb.tol", 1, "Ctrl+4"},
    {"mnuShowDiveProfile", "Be&rechnetes Tauchprofil incl. Dekompressionsphase", 1, "Ctrl+5"},
    {"mnuCNSDraw", "&ZNS-Tagesdosis", 1, "Ctrl+6"},
    {"mnuShowAscSpeed", "&Aufstiegsgeschwindigkeit", 1, "Ctrl+7"},
    {"mnuMix", "A&temgasgemisch", 0},
    {"mnuSetN2Percent", "N2-&Anteil einstellen", 1},
    {"-", "", 1},
    {"mnuSetAir", "&Luft (21% O2, 78% N2)", 1},
    {"mnuNitrox36", "Nitrox 3&6", 1},
    {"mnuNitrox32", "Nitrox3&2", 1},
    {"mnuSetOxygen100", "&100% Sauerstoffanteil einstellen", 1},
    {"mnuSetHeliox", "&Heliox (21% O2, 78% He)", 1},
    {"-", "", 1},
    {"mnuShowMixLimits", "&Grenztiefen des aktuellen Gemisches ermitteln", 1},
    {"mnuMakeBestMix", "Herstellanweisung zum &Füllen des optimierten Gemisches", 1},
    {"mnuDiveProfile", "Tauch&profil", 0},
    {"mnuNewProfile", "&Neu", 1},
    {"mnuCalcProfile", "&Zeichnen und Tiefenlinie berechnen", 1},
    {"mnuDivePlan", "Tauchgangs&plan ausdrucken", 1, "Ctrl+Shift+P"},
    {"mnuPrintDecoPhase", "&Dekompressionsphase drucken", 1},
    {"-", "", 1},
    {"mnuInsertMinute", "Tauchgangsmin&ute einfügen", 1},
    {"mnuDeleteMinute", "Tauchgangsminute l&öschen", 1},
    {"mnuSetTime", "Z&eitachse einstellen", 1},
    {"mnuSetaxDepth", "&Maximaltiefe einstellen", 1},
    {"-", "", 1},
    {"mnuEditProfile", "&Bearbeiten/Laden im Text-Modus", 1},
    {"mnuJoinDives", "Zusammen&fügen mehrerer Tauchgänge (1. und n Wiederholungs-TG)", 1},
    {"mnuDiveSeries", "Tauchgangs&serie", 1},
    {"mnuDive", "Tauch&gang berechnen", 0},
    {"mnuCalcSaturation", "&Gewebesättigung der 16 Kompartimente", 1, "F5"},
    {"mnuCalcNoFlyTime", "&Flugverbotszeit", 1, "Ctrl+F"},
    {"mnuCalcAirConsume", "&Luftverbrauch", 1},
    {"mnuCalcBreathingRatio", "&Atemminutenvolumen (AMV)", 1},
    {"mnuCalcAvDepth", "&Durchschnittstiefe", 1},
    {"mnuRecalDive", "&Tauchgang mit aktueller Atemgaseinstellung nachberechnen", 1},
    {"mnuExtras", "E&xtras", 0},
    {"mnuCalcAltitude", "&Luftdruck in der Höhe ausrechnen", 1},
    {"mnuDiveComputer", "Tauch&computer", 1},
    {"mnuAbout", "&?", 0},
    {"mnuShowHelp", "&Hilfe", 1, "F1"},
    {"mnuMe", "Über", 1},
};

bool OpensSubmenu(std::span<const MenuEntry> entries, std::size_t index) {
    return index + 1 < entries.size() && entries[index + 1].level > entries[index].level;
}

// A button of the command bar: it runs the menu command of the same row.
struct CommandButton {
    const char* name;
    const char* tooltip;
    const char* command;
    const char* themeIcon;
    QStyle::StandardPixmap fallback;
};

constexpr CommandButton kButtons[] = {
    {"cmdNewProfile", "Neues Tauchprofil anlegen", "mnuNewProfile", "document-new",
     QStyle::SP_FileIcon},
    {"cmdLoadProfile", "Tauchprofil laden", "mnuLoadProfile2", "document-open",
     QStyle::SP_DialogOpenButton},
    {"cmdSaveProfile", "Tauchprofil speichern", "mnuSaveProfile2", "document-save",
     QStyle::SP_DialogSaveButton},
    {"cmdCalcDrawProfile", "Tauchprofil ausrechnen", "mnuCalcProfile", "view-refresh",
     QStyle::SP_BrowserReload},
    {"cmdDraProfile", "Tauchprofil editieren", "mnuProfileInput", "document-edit",
     QStyle::SP_FileDialogDetailedView},
    {"cmdCalc", "Tauchgang berechnen", "mnuCalcSaturation", "system-run", QStyle::SP_MediaPlay},
    {"cmdGraph1", "N2-Partialdrücke in den Geweben", "", "office-chart-line",
     QStyle::SP_FileDialogContentsView},
    {"cmdGraph2", "Druckverhältnisse", "", "office-chart-area", QStyle::SP_FileDialogListView},
    {"cmdGraph3", "Errechnetes Tauchprofil ausgeben", "", "go-bottom", QStyle::SP_ArrowDown},
    {"cmdAscendSpeed", "Aufstiegsgeschwindigkeit", "mnuShowAscSpeed", "go-up", QStyle::SP_ArrowUp},
    {"cmdBarGraph", "Balkengrafik der Gewebesättigung anzeigen", "mnuBarGraph", "office-chart-bar",
     QStyle::SP_FileDialogInfoView},
    {"cmdNoFly", "Flugverbotszeit berechnen", "mnuCalcNoFlyTime", "weather-few-clouds",
     QStyle::SP_MessageBoxWarning},
    {"cmdAirConsumption", "Luftverbrauch berechnen", "mnuCalcAirConsume", "accessories-calculator",
     QStyle::SP_DriveHDIcon},
    {"cmdCalcAltitude", "Luftdruck in der Höhe ausrechnen", "mnuCalcAltitude", "go-top",
     QStyle::SP_ArrowUp},
    {"cmdJoinDives", "2 oder mehrere Tauchgänge verbinden", "mnuJoinDives", "insert-link",
     QStyle::SP_ArrowRight},
    {"cmdBrowse", "Tauchgangs-Browser", "mnuBrowse", "folder", QStyle::SP_DirIcon},
    {"cmdPrint", "Tauchgangsgrafik drucken", "mnuPrintGraph", "document-print",
     QStyle::SP_ComputerIcon},
    {"cmdPrintDecophase", "Dekompressionsphase in Textform ausgeben", "mnuPrintDecoPhase",
     "text-x-generic", QStyle::SP_FileIcon},
    {"cmdSetMaxDepth", "Maximale Tauchtiefe einstellen", "mnuSetaxDepth", "zoom-fit-height",
     QStyle::SP_ToolBarVerticalExtensionButton},
    {"cmdSetTime", "Zeitachse einstellen", "mnuSetTime", "zoom-fit-width",
     QStyle::SP_ToolBarHorizontalExtensionButton},
    {"cmdSetN2Percent", "N2-Prozentsatz einstellen", "mnuSetN2Percent", "format-text-bold",
     QStyle::SP_DialogApplyButton},
    {"cmdShowOptions", "Einstellungen", "mnuOptions", "preferences-system",
     QStyle::SP_FileDialogDetailedView},
    {"cmdCommentADive", "Kommentar oder Beschreibung zum Tauchgang speichern", "",
     "document-properties", QStyle::SP_FileDialogInfoView},
    {"cmdDiveComp1", "Tauchcomputer auswählen", "mnuDiveComputer", "computer",
     QStyle::SP_ComputerIcon},
    {"cmdDecoGas", "Dekompressionsgas einstellen", "", "preferences-other",
     QStyle::SP_DialogResetButton},
    {"cmdLarge", "Fenster vergrößern", "", "zoom-in", QStyle::SP_TitleBarMaxButton},
    {"cmdSmall", "Fenster verkleinern", "", "zoom-out", QStyle::SP_TitleBarMinButton},
    {"cmdQuit", "Programm beenden", "mnuFileQuit", "application-exit",
     QStyle::SP_DialogCloseButton},
};

}  // namespace

void BuildMainMenu(QMainWindow& window) {
    const std::span<const MenuEntry> entries(kMenu);
    QMenu* menus[3] = {nullptr, nullptr, nullptr};  // the open menu of each level
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const MenuEntry& entry = entries[i];
        if (entry.level == 0) {
            menus[1] = window.menuBar()->addMenu(QString::fromUtf8(entry.caption));
            menus[1]->setObjectName(entry.name);
            continue;
        }
        QMenu* parent = menus[entry.level];
        if (QString(entry.name) == "-") {
            parent->addSeparator();
        } else if (OpensSubmenu(entries, i)) {
            menus[entry.level + 1] = parent->addMenu(QString::fromUtf8(entry.caption));
            menus[entry.level + 1]->setObjectName(entry.name);
            menus[entry.level + 1]->menuAction()->setObjectName(entry.name);
        } else {
            QAction* action = parent->addAction(QString::fromUtf8(entry.caption));
            action->setObjectName(entry.name);
            if (*entry.shortcuts)
                action->setShortcuts(QKeySequence::listFromString(entry.shortcuts));
            action->setEnabled(false);  // enabled by the window once its command is built
        }
    }
}

void BuildCommandBar(QMainWindow& window) {
    // The buttons explain themselves also while another of the program's windows (the bar
    // graph, the help) has the focus.
    window.setAttribute(Qt::WA_AlwaysShowToolTips);
    auto* bar = window.addToolBar("Befehle");
    bar->setObjectName("tlbCommands");
    bar->setMovable(false);
    bar->setIconSize(QSize(22, 22));
    for (const CommandButton& button : kButtons) {
        const QIcon icon =
            QIcon::fromTheme(button.themeIcon, window.style()->standardIcon(button.fallback));
        auto* action = bar->addAction(icon, QString::fromUtf8(button.tooltip));
        action->setObjectName(button.name);
        action->setToolTip(QString::fromUtf8(button.tooltip));
        action->setEnabled(false);
        QAction* command = *button.command ? window.findChild<QAction*>(button.command) : nullptr;
        if (command) {
            QObject::connect(action, &QAction::triggered, command, &QAction::trigger);
            QObject::connect(command, &QAction::enabledChanged, action, &QAction::setEnabled);
        }
    }
}

}  // namespace marelos
