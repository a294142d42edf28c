// Applying the simulation ("Fix files!"), the file details window and undo
// of the main window.
#include "SubWindows.h"
#include "batch/Estimates.h"
#include "batch/FixJournal.h"
#include "batch/Renamer.h"
#include "batch/RunAccount.h"
#include "batch/Simulation.h"
#include "batch/TagsFromNames.h"
#include "frmFile.h"
#include "frmMain.h"
#include "tags/formTag.h"

#include <QItemSelectionModel>

namespace vantrel {

void frmMain::cmdFix_Click()
{
    simulating = false;
    FileList& list = fileList();
    const qsizetype n = list.lstFiles.size();
    if (mode() == Mode::TagsFromNames) {
        if (prompter().ask(Question::FixTags,
                           QStringLiteral("You are about to fix %1 tags. Continue?").arg(n),
                           QStringLiteral("Fix files"), Buttons::YesNo, Icon::Question) != Answer::Yes)
            return;
        closeDetailsWindow(*this);
        working(true, SetTimeFormat(static_cast<double>(estimateFix(n, Mode::TagsFromNames))));
        Delay(0.1);
        const TagsFromNamesOutcome out =
            fixlisttags(list, parserOptions(*this), prompter(), tagWindow(*this), workingProgress());
        working(false);
        lblPath->setText(tagAccount(out, int(n)));
        cmdUndo->setEnabled(FixJournal::canUndo());
        return;
    }

    if (prompter().ask(
            Question::RenameFiles,
            QStringLiteral("You are about to fix %1 files. The old filenames will be overwritten. Continue?")
                .arg(n),
            QStringLiteral("Fix files"), Buttons::YesNo, Icon::Question) != Answer::Yes)
        return;
    closeDetailsWindow(*this);
    working(true, SetTimeFormat(static_cast<double>(estimateFix(n, Mode::FileNames))));
    Delay(0.1);

    FixJournal journal;
    RenameRun run{list, prompter(), clipboard(), errorLog, {}, workingProgress(), &journal, {}};
    // After an access failure the report describes the file that failed, as
    // the details window shows it.
    run.report = [this](int k, const QString& log) {
        lvFiles->clearSelection();
        lvFiles->selectRow(k);
        auto* details = new frmFile(*this);
        frmFileWindow = details;
        details->show();
        details->loadFileInfo();
        QString text = log;
        if (details->isVisible()) { // still open: the file was found
            text = details->reportText(log);
            details->hide();
            details->close();
        }
        return text;
    };
    const RenameOutcome out = renamefiles(run);
    working(false);
    cmdUndo->setEnabled(FixJournal::canUndo());
    lblPath->setText(renameAccount(out, int(n)));
    // Names skipped as unusable and files that found their name taken are in
    // the log already; failures shown with Abort/Retry/Ignore join them. An
    // access failure has offered the log already.
    if (!out.stopped) {
        for (const RenameOutcome::Failure& f : out.failures)
            if (!errorLog.contains(f.message)) errorLog += QStringLiteral("\r\n") + f.message;
        offerErrorLog(errorLog, prompter(), clipboard());
    }
}

void frmMain::lvFiles_DblClick()
{
    if (fileList().rowCountShown() < 1) return;
    frmFile* details = qobject_cast<frmFile*>(frmFileWindow.data());
    if (!details) {
        details = new frmFile(*this);
        frmFileWindow = details;
    }
    details->show();
    details->raise();
    details->loadFileInfo();
}

void frmMain::cmdUndo_Click()
{
    const QString title = QStringLiteral("Undo last fix");
    const std::optional<FixJournal::Contents> journal = FixJournal::nextToUndo();
    if (!journal) {
        cmdUndo->setEnabled(false);
        prompter().tell(Question::NothingToUndo, QStringLiteral("There is no fix to undo."), title,
                        Icon::Information);
        return;
    }
    if (journal->problem.isEmpty() && !journal->running) {
        QString question =
            QStringLiteral("Undo the last fix (%1): rename its files back and put back the tags it wrote?")
                .arg(QDateTime::fromString(journal->started, Qt::ISODate).toString(Qt::TextDate));
        if (!journal->done)
            question += QStringLiteral("\r\nThat fix did not finish; what it changed is undone.");
        if (prompter().ask(Question::UndoLastFix, question, title, Buttons::YesNo, Icon::Question) !=
            Answer::Yes)
            return;
    }
    closeDetailsWindow(*this);
    working(true);
    Delay(0.1);
    const UndoResult r = undoLastFix(workingProgress());
    working(false);
    cmdUndo->setEnabled(FixJournal::canUndo());

    // The list follows the files back to their old names.
    FileList& list = fileList();
    for (const UndoResult::Restored& back : r.restored) {
        const qsizetype k = list.lstAllfiles.indexOf(back.from);
        if (k < 0) continue;
        list.lstAllfiles[k] = back.to;
        if (k < list.lstFiles.size()) list.lstFiles[k] = FileList::nameOf(back.to);
    }
    if (!r.restored.isEmpty()) list.listviewthem();

    QString text = undoSummary(r);
    lblPath->setText(text);
    if (r.stopped) text += QStringLiteral("\r\nClick \"Undo last fix\" again to put back the rest.");
    const QStringList problems = r.damage + r.failures;
    if (!problems.isEmpty()) text += QStringLiteral("\r\n\r\n") + problems.join(QStringLiteral("\r\n"));
    prompter().tell(Question::UndoDone, text, title, r.complete() ? Icon::Information : Icon::Exclamation);
}

} // namespace vantrel
