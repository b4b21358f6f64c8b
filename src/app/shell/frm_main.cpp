#include "frm_main.h"

#include <QAction>
#include <QFrame>
#include <QListWidget>
#include <QMessageBox>
#include <QSplitter>
#include <exception>
#include <functional>
#include <utility>
#include <vector>

#include "app/shell/main_menu.h"
#include "core/app_info.h"
#include "core/settings/setting_keys.h"
#include "core/text/fields.h"
#include "platform/qt_convert.h"

namespace marelos {

frmMain::frmMain(Workspace& workspace, SettingsStore& store, const QString& programFolder,
                 QWidget* parent)
    : QMainWindow(parent), workspace_(workspace), store_(store) {
    BuildLayout();
    Initialise(programFolder);
}

void frmMain::BuildLayout() {
    setObjectName("frmMain");
    BuildMainMenu(*this);

    picDive_ = new QFrame;
    picDive_->setObjectName("picDive");
    picDive_->setFrameShape(QFrame::StyledPanel);
    picDive_->setAutoFillBackground(true);
    picDive_->setMinimumSize(300, 200);

    lstSysMsg_ = new QListWidget;
    lstSysMsg_->setObjectName("lstSysMsg");
    lstSysMsg_->setAccessibleName("Meldungen");

    auto* splitter = new QSplitter(Qt::Vertical);
    splitter->addWidget(picDive_);
    splitter->addWidget(lstSysMsg_);
    splitter->setStretchFactor(0, 4);
    splitter->setStretchFactor(1, 1);
    splitter->setChildrenCollapsible(false);
    setCentralWidget(splitter);
    resize(1000, 700);

    QAction* quit = findChild<QAction*>("mnuFileQuit");
    quit->setEnabled(true);
    quit->setShortcut(QKeySequence::Quit);
    connect(quit, &QAction::triggered, this, &QWidget::close);
}

void frmMain::Initialise(const QString& programFolder) {
    const QString title = ToQString(kProgramTitle);
    // Every step runs even when an earlier one failed; a failure is reported and skipped.
    const std::vector<std::function<void()>> steps = {
        [&] {
            WriteSetting(store_, keys::kApplPath, ToStdString(programFolder));
            setWindowTitle(title);
        },
        [&] {
            workspace_ = WorkspaceFromSettings(LoadSettings(store_, ToStdString(programFolder)));
            ApplyGraphBackground();
        },
        [&] {
            findChild<QAction*>("mnuMe")->setText("Über " + ToQString(TitleBeforeParenthesis()));
        },
        [&] {
            ShowSysMsg(ToQString(BuildLine()));
            ShowSysMsg("Ready.");
        },
        [&] { SetWindowTitle({}); },
    };
    for (const auto& step : steps) {
        try {
            step();
        } catch (const std::exception& error) {
            QMessageBox::critical(this, title,
                                  "Fehler beim Programmstart: " + QString::fromUtf8(error.what()));
        }
    }
}

void frmMain::ApplyGraphBackground() {
    QPalette palette = picDive_->palette();
    palette.setColor(QPalette::Window, ToQColor(workspace_.settings.graphBackColour));
    picDive_->setPalette(palette);
}

void frmMain::ShowSysMsg(const QString& line) {
    lstSysMsg_->addItem(ToQString(WithoutControlCharacters(ToStdString(line))));
    lstSysMsg_->setCurrentRow(lstSysMsg_->count() - 1);
}

void frmMain::SetWindowTitle(const QString& status) {
    setWindowTitle(ToQString(WindowCaption(ToStdString(status), {})));
}

}  // namespace marelos
