// The error log a run collects (lines each introduced by CR LF) and the one
// question that offers it for the clipboard, after a simulation as after a
// renaming stopped by an access failure.
#pragma once

#include <QString>
#include <functional>

namespace vantrel {

class Clipboard;
class Prompter;

// The question put in front of a non-empty error log.
QString errorLogQuestion();

// When errorLog is not empty: puts the question in front of it, asks (title
// "Error log"), and on "Yes" puts clipText(log) on clipboard, or the log
// without the question when clipText is empty. Returns whether the clipboard
// was written.
bool offerErrorLog(QString& errorLog, Prompter& prompter, Clipboard& clipboard,
                   const std::function<QString(const QString& log)>& clipText = {});

} // namespace vantrel
