// The Intelligent Filename Parser: turns a bare audio file name such as
// "01_-_some_artist_-_some_song_[rip].mp3" into "Some Artist - Some Song (Rip).mp3".
// A pure function of its arguments; it never fails and always returns a name.
#pragma once

#include <QString>

namespace vantrel {

// The parser's settings as the windows hold them. The defaults are those the
// main window and the renaming options start with.
struct ParserOptions {
    bool removeTrackNumbers = true; // "Remove track numbers "
    bool capitalizeWords = true;    // "Upper Case first characters in all words"
    QString removeText;             // "Remove string:" text, used only when removeEnabled
    bool removeEnabled = false;
    bool collapseRepeats = false; // "Remove repeated characters (3 or more) - slow!"
    QString replaceWhat;          // "Replace string:" texts, used only when replaceEnabled
    QString replaceWith;
    bool replaceEnabled = false;
    bool removeAllNumbers = false; // "Remove ALL numbers"
    bool allUpper = false;         // "All characters UPPER CASE": NOT applied by trimfilename;
                                   // callers apply allUpperCase() to the parser's result.
};

// Corrects one file name (extension included: the last four characters are
// taken as the extension whatever they are, and come back lower-cased).
//
// Text rules: 16-bit code units, case mapping one code unit at a time (the
// simple Unicode mapping), trimming removes spaces only, byte characters 128
// to 255 read as Windows-1252.
//
// Results the step list leaves open, decided here:
//  - a count below zero takes nothing: First/Last with a negative count give
//    "", a character position outside the name gives "", and changing the case
//    of a position outside the name changes nothing. So a name of fewer than
//    three characters, a two-thirds position beyond a shortened name, a dash or
//    dot at either end are all handled without repeating or losing text;
//  - a name shorter than four characters is all extension;
//  - only the first 20 different years from 1900 to 2020 are protected; any
//    further year is left as plain digits;
//  - "&repwith&" is always replaced by replaceWith at the end (with an empty
//    replaceWith it disappears), as the Replace option relies on.
QString trimfilename(const QString& name, bool removeTrackNumbers, bool capitalizeWords,
                     const QString& removeText, bool removeEnabled, bool collapseRepeats,
                     const QString& replaceWhat, const QString& replaceWith, bool removeAllNumbers);

// The same with the options gathered: replaceWhat/replaceWith are passed only
// when replaceEnabled is set; allUpper is ignored (see allUpperCase).
QString trimfilename(const QString& name, const ParserOptions& options);

// "All characters UPPER CASE": upper-cases all but the last four characters
// (the extension). A text of four characters or fewer is returned unchanged.
QString allUpperCase(const QString& name);

} // namespace vantrel
