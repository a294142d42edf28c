// The one seam through which core code asks the user something or tells them
// something. The GUI answers with message boxes; tests and the CLI answer from
// a script. Core code never shows a dialog itself.
#pragma once

#include <QList>
#include <QString>

namespace vantrel {

enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel, AbortRetryIgnore };
enum class Icon { None, Critical, Exclamation, Information, Question };
enum class Answer { Ok, Cancel, Yes, No, Abort, Retry, Ignore };

class Prompter {
  public:
    virtual ~Prompter() = default;

    // Shows text with the given title, buttons and icon; returns the button chosen.
    virtual Answer ask(const QString& text, const QString& title, Buttons buttons, Icon icon) = 0;

    // A message with only an OK button.
    void tell(const QString& text, const QString& title, Icon icon) { ask(text, title, Buttons::Ok, icon); }
};

// Answers from a queue, then with a fixed default; remembers every prompt.
// Used by the tests and by the command-line tool.
class ScriptedPrompter : public Prompter {
  public:
    struct Prompt {
        QString text;
        QString title;
        Buttons buttons;
        Icon icon;
        Answer answer;
    };

    explicit ScriptedPrompter(Answer fallback = Answer::Yes) : fallback_(fallback) {}

    void queue(Answer a) { queued_.append(a); }
    void setFallback(Answer a) { fallback_ = a; }

    Answer ask(const QString& text, const QString& title, Buttons buttons, Icon icon) override;

    const QList<Prompt>& prompts() const { return prompts_; }
    void clear() { prompts_.clear(); }

  private:
    QList<Answer> queued_;
    Answer fallback_;
    QList<Prompt> prompts_;
};

} // namespace vantrel
