#include "batch/ErrorLog.h"

#include "platform/Clipboard.h"
#include "platform/Prompter.h"

namespace vantrel {

QString errorLogQuestion()
{
    return QStringLiteral(
        "One or more errors occurred while performing the requested operation. Would you like to "
        "place the errorlog in the clipboard?");
}

bool offerErrorLog(QString& errorLog, Prompter& prompter, Clipboard& clipboard,
                   const std::function<QString(const QString& log)>& clipText)
{
    if (errorLog.isEmpty()) return false;
    const QString log = errorLog;
    errorLog = errorLogQuestion() + QStringLiteral("\r\n") + log;
    if (prompter.ask(Question::CopyErrorLog, errorLog, QStringLiteral("Error log"), Buttons::YesNo,
                     Icon::Information) != Answer::Yes)
        return false;
    clipboard.setText(clipText ? clipText(log) : log);
    return true;
}

} // namespace vantrel
