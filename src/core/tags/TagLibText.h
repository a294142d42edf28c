// Text and byte conversions between Qt and TagLib, shared by the readers of
// the containers that keep their own tags.
#pragma once

#include <QByteArray>
#include <QString>
#include <tbytevector.h>
#include <tstring.h>

namespace vantrel {

inline QString qs(const TagLib::String& s)
{
    return QString::fromStdString(s.to8Bit(true));
}

inline TagLib::String tl(const QString& s)
{
    return TagLib::String(s.toStdString(), TagLib::String::UTF8);
}

inline TagLib::ByteVector bytesOf(const QByteArray& a)
{
    return TagLib::ByteVector(a.constData(), static_cast<unsigned int>(a.size()));
}

} // namespace vantrel
