// The one seam through which core code asks the user something or tells them
// something. The GUI answers with message boxes; tests and the CLI answer from
// a script. Core code never shows a dialog itself.
#pragma once

#include <QHash>
#include <QList>
#include <QString>

namespace vantrel {

enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel, AbortRetryIgnore };
enum class Icon { None, Critical, Exclamation, Information, Question };
enum class Answer { Ok, Cancel, Yes, No, Abort, Retry, Ignore };

// What is asked or told. Every question and message the program puts has its
// own id, so that a front end or a test answers by what is asked, never by
// the wording of a message or its title.
enum class Question {
    // Questions
    SimulateFiles,     // simulate the listed files? (before a simulation)
    KeepTrackNumbers,  // the scheme uses <Track> while track numbers are removed: keep them?
    FixTags,           // the window's "fix N tags?"
    RenameFiles,       // the window's "fix N files?"
    OverwriteTags,     // tags from names: replace tags that already exist?
    RenameWithoutUndo, // the record for undoing could not be written: rename anyway?
    RenameFailed,      // a rename failed: Abort, Retry or Ignore
    CopyErrorLog,      // put the error log on the clipboard?
    FatalTagError,     // an ID3v1 record could not be read: quit?
    UndoLastFix,       // undo the last fix?
    UpdateAvailable,   // a newer version exists: update?
    // Messages (an OK button only)
    FolderNotFound,    // the folder to load does not exist
    FoldersUnreadable, // folders met while loading could not be read
    FileNotLoadable,   // a file name the system cannot represent was left out
    NoFiles,           // loading found no file
    TagNotLoaded,      // a file's tags could not be read
    TagNotWritten,     // a file's tags (or its ID3v1 record) were not written
    TagRunDone,        // the account at the end of a tags-from-names run
    NothingToUndo,     // "Undo last fix" without a fix to undo
    UndoDone,          // the account of an undo
    FileVanished,      // the details window's file no longer exists
    AfterNotSaved,     // the details window's After text could not go back to its row
    OpenFailed,        // a file could not be opened with its program
};

class Prompter {
  public:
    virtual ~Prompter() = default;

    // Asks question id: shows text with the given title, buttons and icon;
    // returns the button chosen.
    virtual Answer ask(Question id, const QString& text, const QString& title, Buttons buttons,
                       Icon icon) = 0;

    // A message with only an OK button.
    void tell(Question id, const QString& text, const QString& title, Icon icon)
    {
        ask(id, text, title, Buttons::Ok, icon);
    }
};

// Answers a question from its own answer when one is set for its id, else
// from a queue, then with a fixed default; remembers every prompt. Used by
// the tests.
class ScriptedPrompter : public Prompter {
  public:
    struct Prompt {
        Question id;
        QString text;
        QString title;
        Buttons buttons;
        Icon icon;
        Answer answer;
    };

    explicit ScriptedPrompter(Answer fallback = Answer::Yes) : fallback_(fallback) {}

    void queue(Answer a) { queued_.append(a); }
    // Every question id is answered a, whatever the queue holds.
    void answer(Question id, Answer a) { byId_.insert(id, a); }
    void setFallback(Answer a) { fallback_ = a; }

    Answer ask(Question id, const QString& text, const QString& title, Buttons buttons, Icon icon) override;

    const QList<Prompt>& prompts() const { return prompts_; }
    // How often question id was asked.
    qsizetype count(Question id) const;
    void clear() { prompts_.clear(); }

  private:
    QHash<Question, Answer> byId_;
    QList<Answer> queued_;
    Answer fallback_;
    QList<Prompt> prompts_;
};

} // namespace vantrel
