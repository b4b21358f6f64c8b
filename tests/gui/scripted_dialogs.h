#pragma once

#include <QPrinter>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/shell/modal_dialogs.h"

namespace marelos {

// Answers a window's modal dialogs from a script and keeps a transcript of what was shown.
class ScriptedDialogs : public ModalDialogs {
  public:
    void Message(QWidget*, std::string_view text, MessageIcon) override {
        messages.emplace_back(text);
    }
    Answer Ask(QWidget*, std::string_view text, Buttons buttons, MessageIcon, Answer) override {
        if (onAsk) onAsk(text);
        questions.emplace_back(text);
        offered.push_back(buttons);
        return Next(answers, Answer::No);
    }
    std::optional<std::string> AskText(QWidget*, std::string_view prompt,
                                       std::string_view) override {
        questions.emplace_back(prompt);
        return Next(texts, std::optional<std::string>());
    }
    std::optional<std::string> OpenFile(QWidget* parent, std::string_view title,
                                        std::string_view filter, std::string_view) override {
        return SaveFile(parent, title, filter, {});  // the script does not tell them apart
    }
    std::optional<std::string> SaveFile(QWidget*, std::string_view title, std::string_view filter,
                                        std::string_view) override {
        fileDialogs.push_back(std::string(title) + " | " + std::string(filter));
        return Next(files, std::optional<std::string>());
    }
    // The print dialog chooses a PDF file from `printFiles`, or is cancelled when none is left.
    bool Print(QWidget*, QPrinter& printer) override {
        const std::optional<std::string> file = Next(printFiles, std::optional<std::string>());
        if (!file) return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(*file));
        return true;
    }
    bool SetUpPage(QWidget*, QPrinter&) override {
        ++pageSetUps;
        return true;
    }

    std::function<void(std::string_view)> onAsk;  // runs before a question is answered
    std::deque<Answer> answers;
    std::deque<std::optional<std::string>> texts;
    std::deque<std::optional<std::string>> files;
    std::deque<std::optional<std::string>> printFiles;
    int pageSetUps = 0;
    std::vector<std::string> messages;
    std::vector<std::string> questions;
    std::vector<Buttons> offered;
    std::vector<std::string> fileDialogs;

  private:
    template <class T>
    static T Next(std::deque<T>& script, T fallback) {
        if (script.empty()) return fallback;
        T next = script.front();
        script.pop_front();
        return next;
    }
};

}  // namespace marelos
