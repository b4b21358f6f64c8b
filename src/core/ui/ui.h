#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace marelos {

enum class MessageIcon { Information, Question, Exclamation, Critical };
enum class Buttons { YesNo, YesNoCancel };
enum class Answer { Yes, No, Cancel };

// The program's message for an entry that a field does not take.
inline constexpr const char* kInvalidInput = "Eingabe ungültig!";

// Everything the program's logic says to or asks of the user goes through this port: message
// boxes (with the program title as caption), questions, the message list of the main window,
// progress, and the few redraws that the logic triggers. The window adapter shows them; the
// command-line tool and the tests answer from a script.
class Ui {
  public:
    virtual ~Ui() = default;

    // Appends a line to the message list; characters below code 32 are removed first.
    void ShowSysMsg(std::string_view text);

    // A message box with an OK button.
    virtual void ShowMessage(std::string_view text, MessageIcon icon) = 0;
    // A question box; the answer is one of the offered buttons. Enter gives `defaultAnswer`:
    // a question whose "Ja" destroys or replaces data passes Answer::No.
    Answer Ask(std::string_view text, Buttons buttons, MessageIcon icon = MessageIcon::Question,
               Answer defaultAnswer = Answer::Yes) {
        return ShowQuestion(text, buttons, icon, defaultAnswer);
    }

    // File dialogs; `filter` in the program's form "Tauchprofile (*.mrp)|*.mrp". Nothing when the
    // user cancels.
    virtual std::optional<std::string> AskOpenFile(std::string_view title, std::string_view filter,
                                                   std::string_view folder) = 0;
    virtual std::optional<std::string> AskSaveFile(std::string_view title, std::string_view filter,
                                                   std::string_view folder) = 0;

    // Progress of long work: started with the number of steps, then each step, then reset.
    virtual void StartProgress(int /*steps*/) {}
    virtual void ShowProgress(int /*step*/) {}
    virtual void ResetProgress() {}

    // Lets the window handle what happened meanwhile (a key that asks to cancel, a repaint).
    virtual void ProcessPendingEvents() {}
    // An input box; nullopt when it was cancelled.
    virtual std::optional<std::string> AskText(std::string_view prompt,
                                               std::string_view defaultText) = 0;

    // The calculation changed the time axis: the profile graph is drawn again.
    virtual void RedrawProfileGraph() {}
    // The caption of the main window changed.
    virtual void SetWindowCaption(std::string_view /*caption*/) {}
    // The recent-files menu: six captions "&1  ..." (empty entries end in the two blanks).
    virtual void ShowRecentFiles(const std::vector<std::string>& /*captions*/) {}
    // A calculation has finished: the no-fly time can be asked for and the analysis view last
    // used is shown again.
    virtual void CalculationFinished() {}

  protected:
    // A line of the message list, already without control characters.
    virtual void AppendMessageLine(std::string_view line) = 0;
    // The question box of Ask.
    virtual Answer ShowQuestion(std::string_view text, Buttons buttons, MessageIcon icon,
                                Answer defaultAnswer) = 0;
};

}  // namespace marelos
