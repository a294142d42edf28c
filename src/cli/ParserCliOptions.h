// The PARSER OPTIONS shared by the commands that run the filename parser
// (parse, and the simulation and renaming commands): they map onto the
// settings of the main window and the renaming options.
#pragma once

#include "parser/FilenameParser.h"

#include <QString>
#include <QStringList>

namespace vantrel::cli {

// Takes the parser options out of args, leaving every other argument in its
// order; a "--" ends the options (it stays in args for the command). Options:
//   --keep-track-numbers  --no-word-capitals  --remove TEXT  --collapse-repeats
//   --replace WHAT --with TEXT  --remove-all-numbers  --all-upper
// Values may also be given as --remove=TEXT, --replace=WHAT, --with=TEXT.
// Returns an empty text on success, otherwise what is wrong (bad usage).
QString takeParserOptions(QStringList& args, ParserOptions& options);

// The lines that describe the options above, for a command's --help.
QString parserOptionsHelp();

} // namespace vantrel::cli
