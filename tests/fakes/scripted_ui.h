#pragma once

#include <deque>
#include <string>
#include <vector>

#include "core/ui/ui.h"

namespace marelos {

// Answers questions from a script and keeps a transcript of everything said to the user.
class ScriptedUi : public Ui {
  public:
    struct Box {
        std::string text;
        MessageIcon icon;
    };

    void ShowMessage(std::string_view text, MessageIcon icon) override {
        boxes.push_back({std::string(text), icon});
    }
    Answer Ask(std::string_view text, Buttons) override {
        questions.emplace_back(text);
        if (answers.empty()) return Answer::No;
        const Answer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void StartProgress(int steps) override { progressSteps = steps; }
    void ShowProgress(int step) override { lastProgress = step; }
    void ResetProgress() override { progressReset = true; }
    void SetWindowCaption(std::string_view text) override { caption = text; }

    std::deque<Answer> answers;  // the answers to the coming questions; No when empty
    std::vector<std::string> lines;
    std::vector<Box> boxes;
    std::vector<std::string> questions;
    std::string caption;
    int progressSteps = -1;
    int lastProgress = -1;
    bool progressReset = false;

  protected:
    void AppendMessageLine(std::string_view line) override { lines.emplace_back(line); }
};

}  // namespace marelos
