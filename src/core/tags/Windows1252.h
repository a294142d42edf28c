// Single-byte text of the ID3v1 record: Windows-1252 ("ANSI") bytes to and
// from the program's 16-bit strings. Every byte decodes to exactly one
// character and encodes back to the same byte, so a record read and written
// back keeps its bytes (zero bytes and the five unassigned codes included).
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace vantrel::cp1252 {

// One character per byte; a zero byte becomes U+0000.
QString decode(QByteArrayView bytes);

// One byte per character; a character the code page lacks becomes '?'
// (a surrogate pair counts as one character).
QByteArray encode(QStringView text);

} // namespace vantrel::cp1252
