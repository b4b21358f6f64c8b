#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <type_traits>

#include "app/shell/frm_main.h"
#include "app/shell/picture_box.h"
#include "core/graphics/profile_graph.h"
#include "core/settings/memory_settings_store.h"
#include "tests/fakes/transcript.h"
#include "tests/gui/scripted_dialogs.h"

namespace marelos {

// A main window on its own workspace and scripted dialogs, shown at a fixed size; on a store
// of its own unless the test gives one.
struct MainWindow {
    explicit MainWindow(const std::string& file = {}) : MainWindow(ownStore, file) {}
    explicit MainWindow(SettingsStore& store, const std::string& file = {},
                        const QString& programFolder = "/opt/marelos/bin")
        : window(*workspace, store, dialogs, programFolder, QString::fromStdString(file)) {
        window.resize(1100, 760);
        window.show();
    }
    template <class T = QAction>
    T* Find(const char* name) const {
        return window.findChild<T*>(name);
    }
    void Trigger(const char* command) const { Find(command)->trigger(); }
    QtCanvas& picture() const { return Find<PictureBox>("picDive")->canvas(); }
    QStringList MessageLines() const {
        const auto* list = Find<QListWidget>("lstSysMsg");
        QStringList lines;
        for (int i = 0; list && i < list->count(); ++i)
            lines << list->item(i)->text();
        return lines;
    }
    // One note of what the window showed since the last one: its title, the new message lines,
    // and the questions, messages and file dialogs that came since.
    void Note(Transcript& t, std::string_view step) {
        t.Note(step, window.windowTitle(), Since(MessageLines(), seen[0]),
               Since(dialogs.questions, seen[1]), Since(dialogs.messages, seen[2]),
               Since(dialogs.fileDialogs, seen[3]));
    }
    template <class List>
    static List Since(const List& all, std::size_t& seen) {
        const auto size = static_cast<std::size_t>(all.size());
        List fresh(all.begin() + static_cast<qsizetype>(seen < size ? seen : size), all.end());
        seen = size;
        return fresh;
    }
    // A click at a minute and depth of the profile graph.
    void ClickAt(double minute, double depth) {
        const GraphGeometry g = GraphGeometry::Of(window.picture());
        const double x = g.left + minute * (g.right - g.left) / workspace->settings.maxHScale;
        const double y = g.top + depth * (g.bottom - g.top) / workspace->settings.maxVScale;
        window.GraphPointerMoved(x, y);
        window.GraphClicked(x, y);
    }

    std::size_t seen[4] = {};
    InMemorySettingsStore ownStore;
    ScriptedDialogs dialogs;
    std::unique_ptr<Workspace> workspace = std::make_unique<Workspace>();
    frmMain window;
};

// The letter after "&" in a caption, lower case; 0 when there is none.
inline QChar AccessKey(const QString& caption) {
    const qsizetype at = caption.indexOf('&');
    return at >= 0 && at + 1 < caption.size() ? caption[at + 1].toLower() : QChar();
}

// What a named action or field shows, in one line: its name, "-" when disabled, "x" when
// checked, and its text, entries, shortcuts and tool tip; empty for other objects.
inline QString Shown(const QObject& object) {
    QString line = object.objectName();
    if (const auto* action = qobject_cast<const QAction*>(&object))
        return line + (action->isEnabled() ? "" : " -") + (action->isChecked() ? " x" : "") +
               (action->isVisible() ? "" : " unsichtbar") + " | " + action->text() + " | " +
               QKeySequence::listToString(action->shortcuts()) + " | " + action->toolTip();
    const auto* widget = qobject_cast<const QWidget*>(&object);
    if (!widget) return {};
    line += widget->isEnabled() ? "" : " -";
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget))
        return line + (button->isChecked() ? " x" : "") + " | " + button->text();
    if (const auto* edit = qobject_cast<const QLineEdit*>(widget))
        return line + " | " + edit->text();
    if (const auto* menu = qobject_cast<const QMenu*>(widget)) return line + " | " + menu->title();
    if (const auto* label = qobject_cast<const QLabel*>(widget))
        return line + " | " + label->text();
    if (const auto* combo = qobject_cast<const QComboBox*>(widget))
        return line + " | " + combo->currentText() + " | " + QString::number(combo->count());
    if (const auto* list = qobject_cast<const QListWidget*>(widget))
        return line + " | " + (list->currentItem() ? list->currentItem()->text() : "") + " | " +
               QString::number(list->count());
    return {};
}

// What a window shows, one line per named action or field below `root` (those named in `skip`
// left out, as a device list that differs between machines). The golden files compare it whole.
inline std::string WindowDump(const QObject& root, const QStringList& skip = {}) {
    QStringList lines;
    for (const QObject* object : root.findChildren<QObject*>()) {
        const QString name = object->objectName();
        if (name.isEmpty() || name.startsWith("qt_") || skip.contains(name)) continue;
        if (const QString shown = Shown(*object); !shown.isEmpty()) lines << shown;
    }
    return lines.join('\n').toStdString() + "\n";
}

// Runs `step` on the modal window `name` (of type W) that opens next, once it is shown.
template <class W = QWidget>
void OnNextModal(const char* name, std::type_identity_t<std::function<void(W&)>> step) {
    QTimer::singleShot(0, [name, step] {
        auto* modal = qobject_cast<W*>(QApplication::activeModalWidget());
        ASSERT_TRUE(modal && modal->objectName() == name) << name;
        step(*modal);
    });
}

}  // namespace marelos
