#pragma once

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <initializer_list>

namespace marelos {

// A button with its command name as object name, so tests and the window find it by name.
inline QPushButton* NamedButton(const char* name, const QString& caption, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    return button;
}

// A text field with its name and first text.
inline QLineEdit* NamedField(const char* name, const QString& text) {
    auto* field = new QLineEdit(text);
    field->setObjectName(name);
    return field;
}

// The button row at the bottom of a window: the first buttons on the left, the others on the
// right.
inline QHBoxLayout* ButtonRow(std::initializer_list<QPushButton*> left,
                              std::initializer_list<QPushButton*> right) {
    auto* row = new QHBoxLayout;
    for (QPushButton* button : left)
        row->addWidget(button);
    row->addStretch();
    for (QPushButton* button : right)
        row->addWidget(button);
    return row;
}

}  // namespace marelos
