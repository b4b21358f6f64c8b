#include <gtest/gtest.h>

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QMenuBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTreeWidget>
#include <algorithm>
#include <map>
#include <new>
#include <optional>

#include "app/shell/frm_options.h"
#include "core/exchange/uddf_import.h"
#include "core/profile/edit_history.h"
#include "core/text/paths.h"
#include "platform/qt_settings_store.h"
#include "platform/uddf_xml.h"
#include "tests/fakes/recording_canvas.h"
#include "tests/fakes/temp_folder.h"
#include "tests/gui/main_window.h"
#include "tests/gui/simulated_device.h"

namespace marelos {
namespace {

// The main window driven by the scenario files in tests/data/gui/scenarios, step by step (the
// commands are listed in tests/data/gui/scenarios.md); each scenario writes its own transcript.
class frmMainScenarios : public ::testing::TestWithParam<std::string> {};

std::vector<std::string> Scenarios() {
    std::vector<std::string> names;
    for (const auto& entry :
         std::filesystem::directory_iterator(MARELOS_TEST_DATA "/gui/scenarios"))
        names.push_back(entry.path().stem().string());
    std::ranges::sort(names);
    return names;
}

// An action or field as WindowDump shows it, or another object's text.
std::string State(const QWidget& root, const std::string& name) {
    const QObject* object = root.findChild<QObject*>(QString::fromStdString(name));
    const QString shown = object ? Shown(*object) : QString();
    return (!shown.isEmpty() ? shown
            : object ? QString::fromStdString(name) + " " + object->property("text").toString()
                     : QString::fromStdString(name) + " fehlt")
        .toStdString();
}

std::string Value(const MainWindow& w, const QWidget& root, const std::string& what) {
    const auto text = [](const auto& value) { return Transcript::Text(value); };
    const Workspace& ws = *w.workspace;
    if (what == "nextPoint") return text(ws.profile.nextPoint);
    if (what == "changed") return text(ws.profile.changed);
    if (what == "fileName") return ws.profile.fileName;
    if (what == "mode") return text(ws.view.mode);
    if (what == "graphKind") return text(ws.view.graphKind);
    if (what == "cancel") return text(ws.cancelRequested);
    if (what == "decoMode") return text(ws.settings.decoMode);
    if (what == "computedCount") return text(ws.computed.computedCount);
    if (what == "maxHScale") return text(ws.settings.maxHScale);
    if (what == "maxVScale") return text(ws.settings.maxVScale);
    if (what == "visible") return text(root.isVisible());
    if (what == "title") return root.windowTitle().toStdString();
    if (what == "airPressure") return text(ws.settings.airPressure);
    if (what == "background") return w.picture().Image().pixelColor(2, 2).name().toStdString();
    if (what == "offered")
        return text(!w.dialogs.offered.empty() && w.dialogs.offered.back() == Buttons::YesNoCancel);
    std::vector<double> values;
    for (int i = 2; what == "times" && i < ws.profile.nextPoint; ++i)
        values.push_back(ws.profile.points[i].time);
    if (what.starts_with("line")) {
        const ProfileLine& l = ws.profile.lines[std::stoi(what.substr(4))];
        values = {l.depth, l.tDelta, l.tTotal, l.n2Percent, l.hePercent};
    } else if (what == "circles") {
        RecordingCanvas shown(1, 1);
        w.picture().Record().PaintOn(shown);
        return text(shown.Of(RecordingCanvas::Call::kCircle).size());
    } else if (what != "times") {
        ADD_FAILURE() << "unknown value " << what;
    }
    return text(values);
}

TEST_P(frmMainScenarios, Run) {
    const auto rows = DataRows("gui/scenarios/" + GetParam() + ".txt");
    const TempFolder dir("scenario");
    const auto path = [&](const std::string& name) {
        return name.starts_with("@/") ? MARELOS_SOURCE_DIR + name.substr(1)
               : name.starts_with("$DATA/")
                   ? qgetenv("XDG_DATA_HOME").toStdString() + name.substr(5)
                   : dir.File(name);
    };
    Transcript t;
    for (const auto& row : rows) {
        for (std::size_t i = 1;
             (row[0] == "file" || row[0] == "files" || row[0] == "open") && i < row.size(); ++i) {
            t.Mask(ShortenPath(path(row[i])), "<" + row[i] + ">");  // and as a tool tip shows it
            t.Mask(QString::fromStdString(ShortenPath(path(row[i]))).remove("...").toStdString(),
                   "<" + row[i] + ">");
        }
    }
    t.Mask(dir.path().string(), "<dir>");
    t.Mask(MARELOS_SOURCE_DIR, "<src>");
    InMemorySettingsStore memory;
    std::optional<QtSettingsStore> ini;
    SettingsStore* store = &memory;
    std::optional<MainWindow> w;
    std::map<std::string, ProfileSnapshot> snapshots;
    std::map<std::string, QImage> pictures;
    std::optional<SimulatedDevice> device;
    std::vector<QWidget*> modals;  // the modal windows open, the innermost last
    const auto root = [&]() -> QWidget& { return modals.empty() ? w->window : *modals.back(); };
    std::function<void(std::size_t&)> step = [&](std::size_t& r) {
        const auto& row = rows[r];
        const std::string& command = row[0];
        const std::vector<std::string> args(row.begin() + 1, row.end());
        const std::string arg = args.empty() ? "" : args[0];
        const auto action = [&](const std::string& name) {
            QAction* found = w->Find(name.c_str());
            EXPECT_NE(found, nullptr) << name;
            return found ? found : new QAction(&w->window);
        };
        const auto key = [&](std::size_t i) { return QKeySequence(args.at(i).c_str())[0].key(); };
        if (command == "setting") {
            std::string value = args.at(2);
            if (value.starts_with("<dir>")) value = dir.path().string() + value.substr(5);
            store->WriteSetting(args[0], args[1], value);
        } else if (command == "ini") {  // a store file instead of the store in memory
            store = &ini.emplace(QString::fromStdString(path(arg)));
        } else if (command == "file") {
            PutFile(path(arg), args.at(1));
        } else if (command == "exists") {
            t.Note("exists " + arg, std::filesystem::exists(path(arg)) &&
                                        (args.size() < 2 || FileBytes(path(arg)) == args[1]));
        } else if (command == "device") {  // a simulated dive computer on the port
            device.emplace(QString::fromStdString(arg));
            t.Mask(device->device, "<pty>");
            store->WriteSetting("CommPort", "Device", device->device);
        } else if (command == "open") {
            w.reset();
            w.emplace(*store, arg.empty() ? arg : path(arg));
        } else if (command == "close") {
            t.Note("close", w->window.close());
        } else if (command == "click") {
            w->ClickAt(std::stod(arg), std::stod(args.at(1)));
        } else if (command == "trigger") {
            for (const std::string& name : args)
                action(name)->trigger();
        } else if (command == "repeat") {  // while enabled, at most as often as given
            QAction* repeated = action(args.at(1));
            int count = 0;
            for (; count < std::stoi(arg) && repeated->isEnabled(); ++count)
                repeated->trigger();
            t.Note("repeat " + args[1], count);
        } else if (command == "answers") {
            for (const std::string& answer : args)
                w->dialogs.answers.push_back(answer == "Yes"  ? Answer::Yes
                                             : answer == "No" ? Answer::No
                                                              : Answer::Cancel);
        } else if (command == "files") {
            for (const std::string& file : args)
                w->dialogs.files.push_back(file == "-" ? std::nullopt : std::optional(path(file)));
        } else if (command == "texts") {
            w->dialogs.texts.insert(w->dialogs.texts.end(), args.begin(), args.end());
        } else if (command == "failing") {  // every question fails, as when memory runs out
            w->dialogs.onAsk = [](std::string_view) { throw std::bad_alloc(); };
            if (arg == "off") w->dialogs.onAsk = nullptr;
        } else if (command == "key") {
            const std::string& mod = args.at(1);
            t.Note("key " + arg + " " + mod,
                   w->window.HandleKey(key(0), mod == "Keypad"  ? Qt::KeypadModifier
                                               : mod == "Shift" ? Qt::ShiftModifier
                                                                : Qt::NoModifier));
        } else if (command == "typekey") {
            QTest::keyClick(w->Find<QComboBox>(arg.c_str())->lineEdit(), Qt::Key(key(1)));
        } else if (command == "edit") {
            w->Find<QComboBox>(arg.c_str())->setEditText(QString::fromStdString(args.at(1)));
        } else if (command == "resize" || command == "events") {
            if (command == "resize") w->window.resize(std::stoi(arg), std::stoi(args.at(1)));
            QCoreApplication::processEvents();
        } else if (command == "note") {
            w->Note(t, arg);
        } else if (command == "stored") {
            t.Note("stored " + arg + " " + args.at(1), store->ReadSetting(arg, args[1]));
        } else if (command == "state" || command == "value") {
            std::vector<std::string> values;
            for (const std::string& name : args)
                values.push_back(command == "state" ? State(root(), name)
                                                    : name + "=" + Value(*w, root(), name));
            t.Note(command, values);
        } else if (command == "uddf") {  // the first dive of the file, minute by minute
            std::vector<std::vector<int>> lines;
            const UddfLog log = ReadUddfFile(path(arg)).value();
            for (const ImportedLine& l : ResampleToMinutes(log.dives.at(0), log.mixes))
                lines.push_back({l.minute, l.depth, l.n2Percent, l.hePercent});
            t.Note("uddf " + arg, lines);
        } else if (command == "folder") {
            std::vector<std::string> names;
            for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
                names.push_back(entry.path().filename().string());
            std::ranges::sort(names);
            t.Note("folder", names);
        } else if (command == "dump") {  // the window, compared with the golden file
            ExpectGolden(arg, WindowDump(root(), {"lstSysMsg"}));
        } else if (command == "keys") {  // an access key twice in a menu, a shortcut twice
            std::vector<std::string> twice;
            for (const QMenu* menu : w->window.menuBar()->findChildren<QMenu*>()) {
                QSet<QChar> keys;
                for (const QAction* item : menu->actions()) {
                    const QChar key = AccessKey(item->text());
                    if (!key.isNull() && keys.contains(key))
                        twice.push_back(item->text().toStdString());
                    keys.insert(key);
                }
            }
            QSet<QString> taken;
            for (const QAction* item : w->window.findChildren<QAction*>()) {
                for (const QKeySequence& keys : item->shortcuts()) {
                    if (taken.contains(keys.toString()))
                        twice.push_back(keys.toString().toStdString());
                    taken.insert(keys.toString());
                }
            }
            t.Note("keys twice", twice);
        } else if (command == "modal") {  // the steps up to its "end" run in the window opened next
            const std::size_t first = r + 1;
            for (int depth = 1; depth > 0;)
                depth += rows.at(++r)[0] == "modal" ? 1 : rows[r][0] == "end" ? -1 : 0;
            OnNextModal(row.at(1).c_str(), [&, first, last = r](QWidget& modal) {
                modals.push_back(&modal);
                for (std::size_t i = first; i < last; ++i)
                    step(i);
                modals.pop_back();
                if (modal.isVisible()) modal.close();
            });
        } else if (command == "press") {
            auto* button = root().findChild<QAbstractButton*>(arg.c_str());
            EXPECT_TRUE(button && button->isEnabled()) << arg;
            if (button) button->click();
        } else if (command == "select") {  // a list's row, or rows of a tree added to its selection
            if (auto* tree = root().findChild<QTreeWidget*>(arg.c_str())) {
                for (std::size_t i = 1; i < args.size(); ++i)
                    tree->topLevelItem(std::stoi(args[i]))->setSelected(true);
            } else {
                root().findChild<QListWidget*>(arg.c_str())->setCurrentRow(std::stoi(args.at(1)));
            }
        } else if (command == "items") {  // a list's rows, or the first column of a tree's
            std::vector<std::string> items;
            if (const auto* tree = root().findChild<QTreeWidget*>(arg.c_str())) {
                for (int i = 0; i < tree->topLevelItemCount(); ++i)
                    items.push_back(tree->topLevelItem(i)->text(0).toStdString());
            } else {
                items = Items(root().findChild<QListWidget*>(arg.c_str()));
            }
            t.Note("items " + arg, items);
        } else if (command == "cell") {
            const auto* table = root().findChild<QTableWidget*>(arg.c_str());
            t.Note("cell " + arg + " " + args.at(1) + " " + args.at(2), table->rowCount(),
                   table->item(std::stoi(args[1]), std::stoi(args[2]))->text());
        } else if (command == "number") {  // a label's number, whatever the desktop's decimal sign
            const QString shown = root().findChild<QLabel*>(arg.c_str())->text().section(' ', 0, 0);
            t.Note("number " + arg, QString(shown).replace(',', '.').toDouble());
        } else if (command == "text") {
            root().findChild<QLineEdit*>(arg.c_str())->setText(QString::fromStdString(args.at(1)));
        } else if (command == "clipboard") {
            t.Note("clipboard", QGuiApplication::clipboard()->text());
        } else if (command == "tabs") {  // the tab shown, and which tabs can be chosen
            const auto* tabs = root().findChild<QTabWidget*>(arg.c_str());
            std::vector<bool> enabled;
            for (int tab = 0; tab < tabs->count(); ++tab)
                enabled.push_back(tabs->isTabEnabled(tab));
            t.Note("tabs " + arg, tabs->currentIndex(), enabled);
        } else if (command == "colour") {  // the colour the options dialog's colour chooser picks
            const QColor colour(std::stoi(arg), std::stoi(args.at(1)), std::stoi(args.at(2)));
            qobject_cast<frmOptions*>(&root())->chooseColour = [colour](const QColor&) {
                return std::optional(colour);
            };
        } else if (command == "picture") {
            pictures[arg] = w->picture().Image();
        } else if (command == "samepicture") {
            t.Note("same picture " + arg, w->picture().Image() == pictures[arg]);
        } else if (command == "snapshot") {
            snapshots[arg] = TakeSnapshot(*w->workspace);
        } else if (command == "same") {
            t.Note("same " + arg,
                   snapshots.contains(arg) && TakeSnapshot(*w->workspace) == snapshots[arg]);
        } else {
            ADD_FAILURE() << "unknown command " << command;
        }
    };
    for (std::size_t r = 0; r < rows.size(); ++r)
        step(r);
}

INSTANTIATE_TEST_SUITE_P(, frmMainScenarios, ::testing::ValuesIn(Scenarios()),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace marelos
