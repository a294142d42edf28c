#include "parser/ParserText.h"

#include <QChar>
#include <array>
#include <cstring>
#include <memory>

namespace vantrel::parser {
namespace {

struct CaseTables {
    std::array<char16_t, 65536> lower;
    std::array<char16_t, 65536> upper;
    CaseTables()
    {
        for (char32_t c = 0; c < 65536; ++c) {
            const char32_t l = QChar::toLower(c), u = QChar::toUpper(c);
            // A mapping that would leave the 16-bit range keeps the unit as it is.
            lower[c] = char16_t(l > 0xFFFF ? c : l);
            upper[c] = char16_t(u > 0xFFFF ? c : u);
        }
    }
};

const CaseTables& caseTables()
{
    static const std::unique_ptr<CaseTables> tables = std::make_unique<CaseTables>();
    return *tables;
}

} // namespace

char16_t lowerUnitTable(char16_t c)
{
    return caseTables().lower[c];
}
char16_t upperUnitTable(char16_t c)
{
    return caseTables().upper[c];
}

void lowerInPlace(QString& s)
{
    // Only detach when something changes.
    const qsizetype n = s.size();
    const QChar* p = s.constData();
    qsizetype i = 0;
    while (i < n && lowerUnit(p[i].unicode()) == p[i].unicode())
        ++i;
    if (i == n) return;
    QChar* w = s.data();
    for (; i < n; ++i)
        w[i] = QChar(lowerUnit(w[i].unicode()));
}

void upperInPlace(QString& s)
{
    const qsizetype n = s.size();
    const QChar* p = s.constData();
    qsizetype i = 0;
    while (i < n && upperUnit(p[i].unicode()) == p[i].unicode())
        ++i;
    if (i == n) return;
    QChar* w = s.data();
    for (; i < n; ++i)
        w[i] = QChar(upperUnit(w[i].unicode()));
}

QString lowered(QStringView s)
{
    QString r = s.toString();
    lowerInPlace(r);
    return r;
}

namespace {

// Replace(First(s, limit), a, b) + the rest of s, for a b no longer than a,
// where the first match is at i: in place, the write position never passes
// the read position, and the search only reads what has not been written yet.
void replaceShrinking(QString& s, qsizetype limit, qsizetype i, QStringView a, QStringView b)
{
    const qsizetype n = s.size();
    QChar* d = s.data();
    const QStringView v(d, limit);
    qsizetype w = i, r = i;
    while (i >= 0) {
        if (w != r) std::memmove(d + w, d + r, size_t(i - r) * sizeof(QChar));
        w += i - r;
        std::memcpy(d + w, b.data(), size_t(b.size()) * sizeof(QChar));
        w += b.size();
        r = i + a.size();
        i = findIn(v, a, r);
    }
    std::memmove(d + w, d + r, size_t(n - r) * sizeof(QChar));
    s.truncate(w + (n - r));
}

} // namespace

bool replaceAll(QString& s, QStringView a, QStringView b)
{
    if (a.isEmpty()) return false;
    qsizetype i = findIn(s, a);
    if (i < 0) return false;
    if (b.size() <= a.size()) {
        replaceShrinking(s, s.size(), i, a, b);
        return true;
    }
    const QStringView v(s);
    QString out;
    out.reserve(s.size() + 8 * (b.size() - a.size()));
    qsizetype from = 0;
    while (i >= 0) {
        out.append(v.mid(from, i - from));
        out.append(b);
        from = i + a.size();
        i = findIn(v, a, from);
    }
    out.append(v.mid(from));
    s = std::move(out);
    return true;
}

void replaceInFirst(QString& s, qsizetype n, QStringView a, QStringView b)
{
    if (n <= 0 || a.isEmpty()) return; // First(s, n) is empty and Last(s, Len - n) is all of s
    if (n >= s.size()) {
        replaceAll(s, a, b); // Last(s, Len - n) is empty
        return;
    }
    const qsizetype i = findIn(QStringView(s).first(n), a);
    if (i < 0) return;
    if (b.size() <= a.size()) {
        replaceShrinking(s, n, i, a, b);
        return;
    }
    QString head = s.left(n);
    replaceAll(head, a, b);
    head.append(QStringView(s).mid(n));
    s = std::move(head);
}

void trimSpaces(QString& s)
{
    qsizetype a = 0, b = s.size();
    while (a < b && s[a] == u' ')
        ++a;
    while (b > a && s[b - 1] == u' ')
        --b;
    if (a == 0 && b == s.size()) return;
    s.truncate(b);
    if (a > 0) s.remove(0, a);
}

QString trimmedSpaces(QStringView s)
{
    QString r = s.toString();
    trimSpaces(r);
    return r;
}

Decimal::Decimal(int n)
{
    char16_t tmp[12];
    qsizetype k = 0;
    do {
        tmp[k++] = char16_t(u'0' + n % 10);
        n /= 10;
    } while (n > 0);
    for (qsizetype i = 0; i < k; ++i)
        buf[i] = tmp[k - 1 - i];
    len = k;
}

} // namespace vantrel::parser
