#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/ui/ui.h"

namespace marelos {

// A user who is not there: the command-line tool, benchmarks and tools run the program's work
// with it. Every question gets the same answer, input boxes and file dialogs are cancelled,
// message-list lines are kept, and of the message boxes the last critical one, to explain a
// failure.
class UnattendedUi : public Ui {
  public:
    explicit UnattendedUi(Answer answer = Answer::No) : answer_(answer) {}

    void ShowMessage(std::string_view text, MessageIcon icon) override {
        if (icon == MessageIcon::Critical) lastError = text;
    }
    std::optional<std::string> AskText(std::string_view, std::string_view) override {
        return textAnswer;
    }
    std::optional<std::string> AskOpenFile(std::string_view, std::string_view,
                                           std::string_view) override {
        return std::nullopt;
    }
    std::optional<std::string> AskSaveFile(std::string_view, std::string_view,
                                           std::string_view) override {
        return std::nullopt;
    }

    std::vector<std::string> lines;
    std::string lastError;
    std::optional<std::string> textAnswer;

  protected:
    void AppendMessageLine(std::string_view line) override { lines.emplace_back(line); }
    Answer ShowQuestion(std::string_view, Buttons, MessageIcon, Answer) override { return answer_; }

  private:
    Answer answer_;
};

}  // namespace marelos
