// The renaming scheme: composes a new file name from a file's tag fields
// ("Artist - Title.mp3", "Title - Artist.mp3" or a custom pattern with
// <Artist>, <Title>, <Album> and <Track>) and runs it through the parser with
// the same options as a bare file name.
#pragma once

#include "parser/FilenameParser.h"

#include <QString>

namespace vantrel {

// The scheme choice of the renaming options (its option buttons, in order).
enum class SchemeChoice { ArtistTitle = 0, TitleArtist = 1, Custom = 2 };

// The pattern the custom scheme starts with.
inline QString defaultSchemePattern()
{
    return QStringLiteral("<Track>. <Artist> - <Album> - <Title>");
}

// Tag fields as the simulation prepares them: trimmed, the track written with
// at least two digits ("00" when the tag has none).
struct SchemeFields {
    QString artist;
    QString title;
    QString album;
    QString track;
};

// The lower-cased last four characters of a file name (all of it when shorter).
QString extensionOf(const QString& fileName);

// The new name for one file. `ext` is extensionOf(current file name);
// `pattern` is used only with SchemeChoice::Custom and is matched exactly
// (run NormalizeScheme on user input first). Placeholders are replaced in the
// order <Artist>, <Title>, <Album>, <Track>; dots of the pattern itself are
// protected from the parser and come back afterwards. options.allUpper
// upper-cases all but the extension at the end. The result still needs the
// caller's collision check (" (1)") and trimming.
QString composeSchemeName(SchemeChoice choice, const QString& pattern, const SchemeFields& fields,
                          const QString& ext, const ParserOptions& options);

// Cleans a custom pattern when the options window closes: lower-cases it,
// restores the four placeholders' spelling ("<Title>", "<Artist>", "<Album>",
// "<Track>"), and deletes "\", "/", ":", "*", "?", "|" and double quotes.
// "<" and ">" stay: they belong to the placeholders.
QString NormalizeScheme(const QString& pattern);

} // namespace vantrel
