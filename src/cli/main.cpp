// vantrel-cli: the batch work of Vantrel without windows.
#include "Command.h"
#include "Version.h"

#include <QCoreApplication>
#include <QFile>
#include <algorithm>
#include <cstdio>

namespace vantrel::cli {

std::vector<Command>& commands()
{
    static std::vector<Command> all;
    return all;
}

static void usage(QTextStream& s)
{
    s << "Usage: vantrel-cli COMMAND [OPTIONS] [ARGS...]\n\n"
      << "Tidies the names and ID3 tags of .mp3 and .wma files.\n\nCommands:\n";
    std::vector<Command> sorted = commands();
    std::sort(sorted.begin(), sorted.end(),
              [](const Command& a, const Command& b) { return qstrcmp(a.name, b.name) < 0; });
    for (const Command& c : sorted)
        s << "  " << QString::fromLatin1(c.name).leftJustified(10) << ' ' << c.summary << '\n';
    s << "\n  vantrel-cli COMMAND --help   describes a command\n"
      << "  vantrel-cli --version        prints the version\n";
}

} // namespace vantrel::cli

int main(int argc, char** argv)
{
    using namespace vantrel::cli;
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vantrel-cli"));
    QCoreApplication::setApplicationVersion(vantrel::versionFull());

    QFile outFile, errFile, inFile;
    outFile.open(stdout, QIODevice::WriteOnly);
    errFile.open(stderr, QIODevice::WriteOnly);
    inFile.open(stdin, QIODevice::ReadOnly);
    QTextStream out(&outFile), err(&errFile), in(&inFile);
    Streams io{out, err, in};

    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty()) {
        usage(err);
        return ExitUsage;
    }
    const QString name = args.takeFirst();
    if (name == QLatin1String("--help") || name == QLatin1String("-h") || name == QLatin1String("help")) {
        usage(out);
        return ExitOk;
    }
    if (name == QLatin1String("--version")) {
        out << "vantrel-cli " << vantrel::versionFull() << '\n';
        return ExitOk;
    }
    for (const Command& c : commands()) {
        if (name == QLatin1String(c.name)) {
            const int rc = c.run(args, io);
            out.flush();
            err.flush();
            return rc;
        }
    }
    err << "vantrel-cli: unknown command '" << name << "'\n\n";
    usage(err);
    return ExitUsage;
}
