#include "Prompter.h"

#include <algorithm>

namespace vantrel {

// An answer the buttons cannot give is mapped to the nearest one they can, so
// a script written for a Yes/No question still makes sense on an OK message.
static Answer fit(Answer a, Buttons b)
{
    switch (b) {
    case Buttons::Ok:
        return Answer::Ok;
    case Buttons::OkCancel:
        return (a == Answer::Cancel || a == Answer::No || a == Answer::Abort) ? Answer::Cancel : Answer::Ok;
    case Buttons::YesNo:
        return (a == Answer::Yes || a == Answer::Ok || a == Answer::Retry) ? Answer::Yes : Answer::No;
    case Buttons::YesNoCancel:
        if (a == Answer::Yes || a == Answer::Ok) return Answer::Yes;
        return a == Answer::Cancel ? Answer::Cancel : Answer::No;
    case Buttons::AbortRetryIgnore:
        if (a == Answer::Retry) return Answer::Retry;
        if (a == Answer::Ignore || a == Answer::Yes || a == Answer::Ok) return Answer::Ignore;
        return Answer::Abort;
    }
    return a;
}

Answer ScriptedPrompter::ask(Question id, const QString& text, const QString& title, Buttons buttons,
                             Icon icon)
{
    Answer a = byId_.contains(id) ? byId_.value(id) : queued_.isEmpty() ? fallback_ : queued_.takeFirst();
    a = fit(a, buttons);
    prompts_.append({id, text, title, buttons, icon, a});
    return a;
}

qsizetype ScriptedPrompter::count(Question id) const
{
    return std::count_if(prompts_.cbegin(), prompts_.cend(), [id](const Prompt& p) { return p.id == id; });
}

} // namespace vantrel
