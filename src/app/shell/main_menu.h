#pragma once

#include <QMainWindow>

namespace marelos {

// Builds the main window's menu bar with every command in its place. Each entry carries its
// command name as object name, so the window enables the commands that are built and finds
// them by name; every other entry stays visibly disabled.
void BuildMainMenu(QMainWindow& window);
// The command bar below the menu: each button runs the menu command of its row and is
// enabled with it.
void BuildCommandBar(QMainWindow& window);

}  // namespace marelos
