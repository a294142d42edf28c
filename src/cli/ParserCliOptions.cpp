#include "ParserCliOptions.h"

namespace vantrel::cli {
namespace {

// Matches "--name VALUE" and "--name=VALUE". On a match the option (and its
// value) leave args; a missing value is reported through error.
bool takeValue(QStringList& args, qsizetype& i, QLatin1String name, QString& value, QString& error)
{
    const QString& a = args.at(i);
    if (a == name) {
        if (i + 1 >= args.size()) {
            error = QStringLiteral("%1 needs a value").arg(name);
            return true;
        }
        value = args.at(i + 1);
        args.remove(i, 2);
        return true;
    }
    if (a.startsWith(name) && a.size() > name.size() && a.at(name.size()) == u'=') {
        value = a.mid(name.size() + 1);
        args.remove(i);
        return true;
    }
    return false;
}

} // namespace

QString takeParserOptions(QStringList& args, ParserOptions& options)
{
    QString error;
    bool haveReplace = false, haveWith = false;
    qsizetype i = 0;
    while (i < args.size() && error.isEmpty()) {
        const QString& a = args.at(i);
        if (a == u"--") break;
        QString value;
        if (a == u"--keep-track-numbers") {
            options.removeTrackNumbers = false;
            args.remove(i);
        } else if (a == u"--no-word-capitals") {
            options.capitalizeWords = false;
            args.remove(i);
        } else if (a == u"--collapse-repeats") {
            options.collapseRepeats = true;
            args.remove(i);
        } else if (a == u"--remove-all-numbers") {
            options.removeAllNumbers = true;
            args.remove(i);
        } else if (a == u"--all-upper") {
            options.allUpper = true;
            args.remove(i);
        } else if (takeValue(args, i, QLatin1String("--remove"), value, error)) {
            options.removeEnabled = true;
            options.removeText = value;
        } else if (takeValue(args, i, QLatin1String("--replace"), value, error)) {
            haveReplace = true;
            options.replaceEnabled = true;
            options.replaceWhat = value;
        } else if (takeValue(args, i, QLatin1String("--with"), value, error)) {
            haveWith = true;
            options.replaceWith = value;
        } else {
            ++i;
        }
    }
    if (error.isEmpty() && haveReplace && !haveWith)
        error = QStringLiteral("--replace WHAT needs --with TEXT");
    if (error.isEmpty() && haveWith && !haveReplace)
        error = QStringLiteral("--with TEXT needs --replace WHAT");
    return error;
}

QString parserOptionsHelp()
{
    return QStringLiteral(
        "Parser options (defaults: track numbers removed, word capitals on, the rest off):\n"
        "  --keep-track-numbers   keep track numbers (\"Remove track numbers \" unchecked)\n"
        "  --no-word-capitals     capitals only at the start of the artist, the title and\n"
        "                         after \"- \" (\"Upper Case first characters in all words\" off)\n"
        "  --remove TEXT          remove TEXT from every name, ignoring case (\"Remove string:\")\n"
        "  --collapse-repeats     runs of 3 or more equal characters become one\n"
        "                         (\"Remove repeated characters (3 or more) - slow!\")\n"
        "  --replace WHAT --with TEXT\n"
        "                         replace WHAT (ignoring case) by TEXT (\"Replace string:\")\n"
        "  --remove-all-numbers   remove every digit, years included (\"Remove ALL numbers\")\n"
        "  --all-upper            upper-case everything but the extension\n"
        "                         (\"All characters UPPER CASE\")\n");
}

} // namespace vantrel::cli
