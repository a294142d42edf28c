// The plain-text report about one file and the current options that "Copy
// info" and a failed renaming put on the clipboard for a support request.
#pragma once

#include "batch/Estimates.h"

#include <QDateTime>
#include <QString>

namespace vantrel {

// What the details window shows for the file, as shown.
struct ReportFile {
    QString path;
    QString before;
    QString after;
    QString size; // the size caption, e.g. "3.47MB"
    struct {
        QString artist, title, album, year, comment, genre;
    } v1;
    struct {
        QString artist, title, album, year, comment, track, linkTo, genre;
    } v2;
};

// The settings of the main window and of the renaming options window.
struct ReportOptions {
    Mode mode = Mode::TagNames; // which of optType(0..2) is selected
    bool forceId1 = false;
    bool numbers = false;
    bool remove = false;
    QString removeText;
    bool replace = false;
    QString replaceWhat;
    QString replaceWith;
    bool ucase = false;
    bool ucaseAll = false;
    int scheme = 0; // which of optScheme(0..2) is selected
    QString schemeText;
};

// The report, lines joined by CR LF, no line break after the last line.
// errlog follows "Error log:" directly.
QString diagnosticReport(const ReportFile& file, const ReportOptions& options, const QString& errlog,
                         const QDateTime& now = QDateTime::currentDateTime());

// The date and time line: the user's short date and time with seconds.
QString reportDateTime(const QDateTime& now);

} // namespace vantrel
