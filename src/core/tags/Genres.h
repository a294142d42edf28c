// The genre vocabulary shared by both tag classes and by every genre picker:
// a one-byte genre number to its display name.
#pragma once

#include <QList>
#include <QString>

namespace vantrel {

// The genre number that stands for "no genre" (reset value, empty picker entry).
inline constexpr int NoGenre = 255;
// Slots of the genre table: numbers 0 to 147 (123 among them has no name).
inline constexpr int GenreTableSize = 148;

// Name of a genre number; empty for a number without a name (123, 148 to 255,
// and anything outside 0 to 255). Never fails.
QString GenreName(int number);

// One entry of a genre picker: the shown text and the number kept as item data.
struct GenreEntry {
    QString name;
    int number;
};

// The entries of a genre picker in list order: first the empty entry with
// number 255, then every named genre in number order (148 entries in all).
QList<GenreEntry> genrePickerEntries();

} // namespace vantrel
