#pragma once

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QStyle>
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

// A check box and an option button with their names.
inline QCheckBox* NamedCheck(const char* name, const QString& caption) {
    auto* box = new QCheckBox(caption);
    box->setObjectName(name);
    return box;
}
inline QRadioButton* NamedOption(const char* name, const QString& caption) {
    auto* option = new QRadioButton(caption);
    option->setObjectName(name);
    return option;
}

// A field for a short number.
inline QLineEdit* ShortField(const char* name) {
    auto* field = NamedField(name, "");
    field->setMinimumWidth(70);
    field->setMaximumWidth(120);
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

// A side panel that scrolls up and down on a small or 2x screen rather than pushing its window
// past the screen's edge; as wide as the panel may be.
inline QScrollArea* ScrollingPanel(QWidget* panel) {
    auto* scroll = new QScrollArea;
    scroll->setWidget(panel);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const int bar = scroll->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    scroll->setMinimumWidth(panel->minimumWidth() + bar);
    scroll->setMaximumWidth(panel->maximumWidth() + bar);
    return scroll;
}

}  // namespace marelos
