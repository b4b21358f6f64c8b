#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QTest>
#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>

#include "core/profile/edit_history.h"
#include "core/text/paths.h"
#include "tests/fakes/recording_canvas.h"
#include "tests/fakes/temp_folder.h"
#include "tests/gui/main_window.h"

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

// An action's or a field's state: "-" when disabled, "x" when checked, its text and shortcuts.
std::string State(const MainWindow& w, const std::string& name) {
    const QObject* object = w.window.findChild<QObject*>(QString::fromStdString(name));
    QString line = QString::fromStdString(name);
    if (const auto* action = qobject_cast<const QAction*>(object)) {
        line += QString(action->isEnabled() ? "" : " -") + (action->isChecked() ? " x" : "") +
                (action->isVisible() ? "" : " unsichtbar") + " " + action->text() + " " +
                QKeySequence::listToString(action->shortcuts());
    } else if (const auto* combo = qobject_cast<const QComboBox*>(object)) {
        line += " " + combo->currentText();
    } else if (const auto* label = qobject_cast<const QLabel*>(object)) {
        line += " " + label->text();
    } else {
        line += " fehlt";
    }
    return line.toStdString();
}

// A value of the profile or the window.
std::string Value(const MainWindow& w, const std::string& what) {
    const Workspace& ws = *w.workspace;
    if (what == "nextPoint") return std::to_string(ws.profile.nextPoint);
    if (what == "changed") return Transcript::Text(ws.profile.changed);
    if (what == "fileName") return ws.profile.fileName;
    if (what == "mode") return std::to_string(ws.view.mode);
    if (what == "graphKind") return std::to_string(ws.view.graphKind);
    if (what == "cancel") return Transcript::Text(ws.cancelRequested);
    if (what == "maxHScale") return std::to_string(ws.settings.maxHScale);
    if (what == "maxVScale") return std::to_string(ws.settings.maxVScale);
    if (what == "visible") return Transcript::Text(w.window.isVisible());
    if (what == "offered")
        return w.dialogs.offered.empty()                          ? "-"
               : w.dialogs.offered.back() == Buttons::YesNoCancel ? "JaNeinAbbrechen"
                                                                  : "JaNein";
    if (what == "times") {
        std::vector<std::int32_t> times;
        for (int i = 2; i < ws.profile.nextPoint; ++i)
            times.push_back(ws.profile.points[i].time);
        return Transcript::Text(times);
    }
    if (what.starts_with("line")) {
        const ProfileLine& l = ws.profile.lines[std::stoi(what.substr(4))];
        return Transcript::Text(std::vector<double>{l.depth, l.tDelta, l.tTotal, l.n2Percent,
                                                    l.hePercent});
    }
    if (what == "circles") {
        RecordingCanvas shown(1, 1);
        w.picture().Record().PaintOn(shown);
        return std::to_string(shown.Of(RecordingCanvas::Call::kCircle).size());
    }
    ADD_FAILURE() << "unknown value " << what;
    return {};
}

TEST_P(frmMainScenarios, Run) {
    const auto rows = DataRows("gui/scenarios/" + GetParam() + ".txt");
    const TempFolder dir("scenario");
    const auto path = [&](const std::string& name) {
        if (name.starts_with("@/")) return MARELOS_SOURCE_DIR + name.substr(1);
        return name.find('/') == name.npos ? dir.File(name) : name;
    };
    Transcript t;
    for (const auto& row : rows) {
        if (row[0] == "file" || row[0] == "files")
            for (std::size_t i = 1; i < row.size(); ++i)
                t.Mask(ShortenPath(path(row[i])), "<" + row[i] + ">");
    }
    t.Mask(dir.path().string(), "<dir>");
    InMemorySettingsStore store;
    std::optional<MainWindow> w;
    std::map<std::string, ProfileSnapshot> snapshots;
    for (const auto& row : rows) {
        const std::string& command = row[0];
        const std::vector<std::string> args(row.begin() + 1, row.end());
        const std::string arg = args.empty() ? "" : args[0];
        const auto action = [&](const std::string& name) {
            QAction* found = w->Find(name.c_str());
            EXPECT_NE(found, nullptr) << name;
            return found ? found : new QAction(&w->window);
        };
        if (command == "setting") {
            std::string value = args.at(2);
            if (value.starts_with("<dir>")) value = dir.path().string() + value.substr(5);
            store.WriteSetting(args[0], args[1], value);
        } else if (command == "file") {
            PutFile(path(arg), args.at(1));
        } else if (command == "remove") {
            std::filesystem::remove(path(arg));
        } else if (command == "open") {
            w.reset();
            w.emplace(store, arg.empty() ? arg : path(arg));
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
                w->dialogs.files.push_back(file == "-" ? std::nullopt
                                                       : std::optional(path(file)));
        } else if (command == "texts") {
            w->dialogs.texts.insert(w->dialogs.texts.end(), args.begin(), args.end());
        } else if (command == "key" || command == "typekey") {  // KEY MODIFIER, or FIELD KEY
            const QString key = QString::fromStdString(args.at(command == "key" ? 0 : 1));
            const int code = QKeySequence(key)[0].key();
            if (command == "typekey") {
                QTest::keyClick(w->Find<QComboBox>(arg.c_str())->lineEdit(), Qt::Key(code));
                continue;
            }
            const Qt::KeyboardModifiers mod = args.at(1) == "Keypad"  ? Qt::KeypadModifier
                                              : args.at(1) == "Shift" ? Qt::ShiftModifier
                                                                      : Qt::NoModifier;
            t.Note("key " + arg + " " + args[1], w->window.HandleKey(code, mod));
        } else if (command == "edit") {
            w->Find<QComboBox>(arg.c_str())->setEditText(QString::fromStdString(args.at(1)));
        } else if (command == "resize") {
            w->window.resize(std::stoi(arg), std::stoi(args.at(1)));
            QCoreApplication::processEvents();
        } else if (command == "events") {
            QCoreApplication::processEvents();
        } else if (command == "note") {
            w->Note(t, arg);
        } else if (command == "stored") {
            t.Note("stored " + arg + " " + args.at(1), store.ReadSetting(arg, args[1]));
        } else if (command == "state" || command == "value") {
            std::vector<std::string> values;
            for (const std::string& name : args)
                values.push_back(command == "state" ? State(*w, name)
                                                    : name + "=" + Value(*w, name));
            t.Note(command, values);
        } else if (command == "snapshot") {
            snapshots[arg] = TakeSnapshot(*w->workspace);
        } else if (command == "same") {
            t.Note("same " + arg, snapshots.contains(arg) &&
                                      TakeSnapshot(*w->workspace) == snapshots[arg]);
        } else {
            ADD_FAILURE() << "unknown command " << command;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(, frmMainScenarios, ::testing::ValuesIn(Scenarios()),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace marelos
