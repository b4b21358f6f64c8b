#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/ui/ui.h"

namespace marelos {

// The command line's user: it reads the message list afterwards and answers every question
// the same way, as the command prescribes. Message boxes are kept to explain a failure.
class CliUi : public Ui {
  public:
    explicit CliUi(Answer answer = Answer::No) : answer_(answer) {}

    void ShowMessage(std::string_view text, MessageIcon icon) override {
        if (icon == MessageIcon::Critical) lastError = text;
    }
    Answer Ask(std::string_view, Buttons, MessageIcon) override { return answer_; }
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

  private:
    Answer answer_;
};

}  // namespace marelos
