#include "parser/RenamingScheme.h"

#include "parser/ParserText.h"

namespace vantrel {

using namespace parser;

namespace {

// Removes the artist's name from the title when it stands in brackets or
// after a dash, unless the title would be left empty.
QString titleWithoutArtist(QString title, const QString& artist)
{
    const QString a = trimmedSpaces(artist);
    for (const QString& p :
         {QStringLiteral("(") + a + QStringLiteral(")"), QStringLiteral(" -") + a, QStringLiteral("-") + a}) {
        QString without = title;
        replaceAll(without, p, u"");
        if (!trimmedSpaces(without).isEmpty()) title = std::move(without);
    }
    return title;
}

// Encloses album digits 1 to 9 in "@" markers, which the parser deletes only
// after its first number stage: so the album's numbers are not taken for
// track numbers there. The scan runs over the first Len characters of the
// growing text, as the markers were always placed.
QString markAlbumDigits(QString album)
{
    const qsizetype n = album.size();
    for (qsizetype k = 0; k < n; ++k) {
        const QChar c = album.at(k);
        if (c >= u'1' && c <= u'9') {
            album.insert(k + 1, QLatin1Char('@'));
            album.insert(k, QLatin1Char('@'));
        }
    }
    return album;
}

} // namespace

QString extensionOf(const QString& fileName)
{
    return lowered(QStringView(fileName).last(std::min<qsizetype>(4, fileName.size())));
}

QString composeSchemeName(SchemeChoice choice, const QString& pattern, const SchemeFields& fields,
                          const QString& ext, const ParserOptions& options)
{
    const QString& artist = fields.artist;
    const QString title = titleWithoutArtist(fields.title, artist);
    QString album = fields.album;
    if (trimmedSpaces(album).isEmpty()) album = QStringLiteral("Unknown Album");
    album = markAlbumDigits(album);

    QString n;
    switch (choice) {
    case SchemeChoice::ArtistTitle:
        n = artist + QStringLiteral(" - ") + title;
        break;
    case SchemeChoice::TitleArtist:
        n = title + QStringLiteral(" - ") + artist;
        break;
    case SchemeChoice::Custom:
        n = pattern;
        replaceAll(n, u".", u"&dot&");
        replaceAll(n, u"<Artist>", artist);
        replaceAll(n, u"<Title>", title);
        replaceAll(n, u"<Album>", album);
        replaceAll(n, u"<Track>", fields.track);
        break;
    }
    n += ext;
    n = trimfilename(n, options);

    // What an empty field leaves of the pattern: ". Artist" loses its dot.
    replaceAll(n, u"&dot&", u".");
    replaceAll(n, u" . ", u" ");
    replaceAll(n, u" .", u" ");
    if (n.startsWith(u'.')) n.remove(0, 1);
    replaceAll(n, QString(QLatin1Char('.') + ext), ext);
    if (options.allUpper) n = allUpperCase(n);
    return n;
}

QString NormalizeScheme(const QString& pattern)
{
    QString s = lowered(pattern);
    replaceAll(s, u"<title>", u"<Title>");
    replaceAll(s, u"<artist>", u"<Artist>");
    replaceAll(s, u"<album>", u"<Album>");
    replaceAll(s, u"<track>", u"<Track>");
    s.removeIf([](QChar c) {
        return c == u'\\' || c == u'/' || c == u':' || c == u'*' || c == u'?' || c == u'|' || c == u'"';
    });
    return s;
}

} // namespace vantrel
