// The commands of vantrel-cli. Each command lives in its own file and
// registers itself with VANTREL_CLI_COMMAND; main() dispatches on the name.
#pragma once

#include <QStringList>
#include <QTextStream>
#include <vector>

namespace vantrel::cli {

struct Streams {
    QTextStream& out;
    QTextStream& err;
    QTextStream& in;
};

// Exit codes shared by every command.
enum Exit { ExitOk = 0, ExitFailure = 1, ExitUsage = 2 };

struct Command {
    const char* name;
    const char* summary; // one line for the command overview
    int (*run)(const QStringList& args, Streams& io);
};

std::vector<Command>& commands();

struct Registrar {
    explicit Registrar(const Command& c) { commands().push_back(c); }
};

} // namespace vantrel::cli

#define VANTREL_CLI_COMMAND(ident, name, summary, fn)                                                        \
    static const ::vantrel::cli::Registrar ident##_registrar                                                 \
    {                                                                                                        \
        ::vantrel::cli::Command                                                                              \
        {                                                                                                    \
            name, summary, fn                                                                                \
        }                                                                                                    \
    }
