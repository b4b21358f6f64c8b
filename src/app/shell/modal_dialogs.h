#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/ui/ui.h"

class QFileDialog;
class QPrinter;
class QWidget;

namespace marelos {

// The modal questions of a window: message boxes with the program title as caption, input
// boxes and file dialogs. The windows ask through this, so widget tests can answer from a
// script while the program shows Qt's dialogs.
class ModalDialogs {
  public:
    virtual ~ModalDialogs() = default;

    virtual void Message(QWidget* parent, std::string_view text, MessageIcon icon) = 0;
    // Enter gives `defaultAnswer` (see Ui::Ask).
    virtual Answer Ask(QWidget* parent, std::string_view text, Buttons buttons, MessageIcon icon,
                       Answer defaultAnswer) = 0;
    virtual std::optional<std::string> AskText(QWidget* parent, std::string_view prompt,
                                               std::string_view proposal) = 0;
    // `filter` in the program's form, "Tauchprofile (*.mrp)|*.mrp"; nothing when cancelled.
    virtual std::optional<std::string> OpenFile(QWidget* parent, std::string_view title,
                                                std::string_view filter,
                                                std::string_view folder) = 0;
    virtual std::optional<std::string> SaveFile(QWidget* parent, std::string_view title,
                                                std::string_view filter,
                                                std::string_view folder) = 0;
    // The print dialog and the page set-up dialog for `printer`; false when cancelled.
    virtual bool Print(QWidget* parent, QPrinter& printer) = 0;
    virtual bool SetUpPage(QWidget* parent, QPrinter& printer) = 0;
};

// Qt's message boxes, input dialog and file dialogs.
class QtModalDialogs : public ModalDialogs {
  public:
    void Message(QWidget* parent, std::string_view text, MessageIcon icon) override;
    Answer Ask(QWidget* parent, std::string_view text, Buttons buttons, MessageIcon icon,
               Answer defaultAnswer) override;
    std::optional<std::string> AskText(QWidget* parent, std::string_view prompt,
                                       std::string_view proposal) override;
    std::optional<std::string> OpenFile(QWidget* parent, std::string_view title,
                                        std::string_view filter, std::string_view folder) override;
    std::optional<std::string> SaveFile(QWidget* parent, std::string_view title,
                                        std::string_view filter, std::string_view folder) override;
    bool Print(QWidget* parent, QPrinter& printer) override;
    bool SetUpPage(QWidget* parent, QPrinter& printer) override;
};

// The save dialog as the program shows it, not yet opened. A name typed without an ending gets
// the ending of the chosen filter.
std::unique_ptr<QFileDialog> SaveFileDialog(QWidget* parent, std::string_view title,
                                            std::string_view filter, std::string_view folder);

// Dialogs nobody answers: every question gets No, boxes are passed over, input boxes and file
// dialogs are cancelled. For benchmarks and tools that drive a window without a user.
class UnattendedDialogs : public ModalDialogs {
  public:
    void Message(QWidget*, std::string_view, MessageIcon) override {}
    Answer Ask(QWidget*, std::string_view, Buttons, MessageIcon, Answer) override {
        return Answer::No;
    }
    std::optional<std::string> AskText(QWidget*, std::string_view, std::string_view) override {
        return std::nullopt;
    }
    std::optional<std::string> OpenFile(QWidget*, std::string_view, std::string_view,
                                        std::string_view) override {
        return std::nullopt;
    }
    std::optional<std::string> SaveFile(QWidget*, std::string_view, std::string_view,
                                        std::string_view) override {
        return std::nullopt;
    }
    bool Print(QWidget*, QPrinter&) override { return false; }
    bool SetUpPage(QWidget*, QPrinter&) override { return false; }
};

}  // namespace marelos
