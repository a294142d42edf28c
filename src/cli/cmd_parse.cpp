// vantrel-cli parse: runs the filename parser on names given as arguments or,
// without any, on each line of standard input.
#include "Command.h"
#include "ParserCliOptions.h"
#include "parser/FilenameParser.h"

namespace vantrel::cli {
namespace {

void parseHelp(QTextStream& s)
{
    s << "Usage: vantrel-cli parse [PARSER OPTIONS] [--] [NAME...]\n\n"
      << "Prints the corrected form of each NAME (a bare file name with its extension), one per\n"
      << "line. Without NAME, each line of standard input (UTF-8) is a name.\n\n"
      << parserOptionsHelp();
}

int runParse(const QStringList& arguments, Streams& io)
{
    QStringList args = arguments;
    const qsizetype end = args.indexOf(QStringLiteral("--"));
    const QStringList options = end < 0 ? args : args.first(end);
    if (options.contains(QStringLiteral("--help")) || options.contains(QStringLiteral("-h"))) {
        parseHelp(io.out);
        return ExitOk;
    }
    ParserOptions parser;
    QString error = takeParserOptions(args, parser);

    QStringList names;
    bool onlyNames = false;
    for (const QString& a : std::as_const(args)) {
        if (!onlyNames && a == u"--") {
            onlyNames = true;
        } else if (!onlyNames && a.startsWith(u'-') && a.size() > 1 && error.isEmpty()) {
            error = QStringLiteral("unknown option '%1'").arg(a);
        } else {
            names << a;
        }
    }
    if (!error.isEmpty()) {
        io.err << "vantrel-cli parse: " << error << "\nTry 'vantrel-cli parse --help'.\n";
        return ExitUsage;
    }

    const auto print = [&](const QString& name) {
        QString out = trimfilename(name, parser);
        if (parser.allUpper) out = allUpperCase(out);
        io.out << out << '\n';
    };
    if (!names.isEmpty()) {
        for (const QString& n : std::as_const(names))
            print(n);
        return ExitOk;
    }
    QString line;
    while (io.in.readLineInto(&line))
        print(line);
    return ExitOk;
}

} // namespace
} // namespace vantrel::cli

VANTREL_CLI_COMMAND(parse, "parse", "corrects file names with the filename parser", vantrel::cli::runParse);
