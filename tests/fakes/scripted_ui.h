#pragma once

#include <deque>
#include <functional>
#include <optional>
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
    std::optional<std::string> AskText(std::string_view prompt, std::string_view) override {
        questions.emplace_back(prompt);
        return Next(textAnswers);
    }
    std::optional<std::string> AskOpenFile(std::string_view title, std::string_view,
                                           std::string_view) override {
        questions.emplace_back(title);
        return Next(files);
    }
    std::optional<std::string> AskSaveFile(std::string_view title, std::string_view,
                                           std::string_view) override {
        questions.emplace_back(title);
        return Next(files);
    }
    void ProcessPendingEvents() override {
        ++eventRounds;
        if (onEvents) onEvents();
    }
    void StartProgress(int steps) override { progressSteps = steps; }
    void ShowProgress(int step) override { lastProgress = step; }
    void ResetProgress() override { progressReset = true; }
    void SetWindowCaption(std::string_view text) override { caption = text; }

    // Everything asked and said since the last call, one line each (questions, message lines,
    // boxes with their icon), and forgotten.
    std::string Said() {
        std::string text;
        for (const std::string& question : questions)
            text += "? " + question + "\n";
        for (const std::string& line : lines)
            text += "> " + line + "\n";
        for (const Box& box : boxes)
            text += "! " + std::to_string(static_cast<int>(box.icon)) + " " + box.text + "\n";
        questions.clear();
        lines.clear();
        boxes.clear();
        return text;
    }

    std::deque<Answer> answers;  // the answers to the coming questions; No when empty
    std::deque<std::optional<std::string>> textAnswers;  // input boxes; cancelled when empty
    std::deque<std::optional<std::string>> files;        // file dialogs; cancelled when empty
    std::function<void()> onEvents;  // what the user does while long work lets events run
    int eventRounds = 0;
    std::vector<std::string> lines;
    std::vector<Box> boxes;
    std::vector<std::string> questions;
    std::vector<Answer> defaultAnswers;  // what Enter would give, one per question box
    std::string caption;
    int progressSteps = -1;
    int lastProgress = -1;
    bool progressReset = false;

  protected:
    static std::optional<std::string> Next(std::deque<std::optional<std::string>>& queue) {
        if (queue.empty()) return std::nullopt;
        std::optional<std::string> next = queue.front();
        queue.pop_front();
        return next;
    }
    void AppendMessageLine(std::string_view line) override { lines.emplace_back(line); }
    Answer ShowQuestion(std::string_view text, Buttons, MessageIcon,
                        Answer defaultAnswer) override {
        questions.emplace_back(text);
        defaultAnswers.push_back(defaultAnswer);
        if (answers.empty()) return Answer::No;
        const Answer answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

}  // namespace marelos
