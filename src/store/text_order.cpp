#include "store/text_order.h"

#include <array>

namespace store::text
{

namespace
{

// A letter folded to its base letter without accent, in small letters.
char16_t baseLetter(char16_t c)
{
    if (c < 0x80)
        return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c;
    QChar ch(c);
    if (ch.decompositionTag() == QChar::Canonical) {
        const QString decomposed = ch.decomposition();
        if (!decomposed.isEmpty())
            ch = decomposed.at(0);
    }
    return ch.toLower().unicode();
}

// Small letters, accents kept: breaks ties between "Jose" and "José".
char16_t smallLetter(char16_t c)
{
    return QChar(c).toLower().unicode();
}

template <typename Fold> int compareFolded(QStringView a, QStringView b, Fold fold)
{
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t x = fold(a[i].unicode());
        const char16_t y = fold(b[i].unicode());
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool matchSet(QStringView pattern, qsizetype& p, char16_t c)
{
    // pattern[p] is '['; on return p points past the closing ']'.
    qsizetype i = p + 1;
    bool negate = false;
    if (i < pattern.size() && pattern[i] == u'!') {
        negate = true;
        ++i;
    }
    bool found = false;
    while (i < pattern.size() && pattern[i] != u']') {
        const char16_t from = baseLetter(pattern[i].unicode());
        if (i + 2 < pattern.size() && pattern[i + 1] == u'-' && pattern[i + 2] != u']') {
            const char16_t to = baseLetter(pattern[i + 2].unicode());
            found = found || (c >= from && c <= to);
            i += 3;
        } else {
            found = found || c == from;
            ++i;
        }
    }
    p = i < pattern.size() ? i + 1 : i;
    return found != negate;
}

bool likeFrom(QStringView text, qsizetype t, QStringView pattern, qsizetype p)
{
    while (p < pattern.size()) {
        const QChar pc = pattern[p];
        if (pc == u'*') {
            while (p < pattern.size() && pattern[p] == u'*')
                ++p;
            if (p == pattern.size())
                return true;
            for (qsizetype k = t; k <= text.size(); ++k)
                if (likeFrom(text, k, pattern, p))
                    return true;
            return false;
        }
        if (t >= text.size())
            return false;
        const char16_t c = baseLetter(text[t].unicode());
        if (pc == u'?') {
            ++p;
        } else if (pc == u'#') {
            if (!text[t].isDigit())
                return false;
            ++p;
        } else if (pc == u'[') {
            if (!matchSet(pattern, p, c))
                return false;
        } else {
            if (baseLetter(pc.unicode()) != c)
                return false;
            ++p;
        }
        ++t;
    }
    return t == text.size();
}

} // namespace

int compare(QStringView a, QStringView b)
{
    const int primary = compareFolded(a, b, baseLetter);
    if (primary != 0)
        return primary;
    return compareFolded(a, b, smallLetter);
}

int compareUtf8(const char* a, int aLength, const char* b, int bLength)
{
    const int n = std::min(aLength, bLength);
    for (int i = 0; i < n; ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (x >= 0x80 || y >= 0x80)
            return compare(QString::fromUtf8(a, aLength), QString::fromUtf8(b, bLength));
        if (x >= 'A' && x <= 'Z')
            x += 32;
        if (y >= 'A' && y <= 'Z')
            y += 32;
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (aLength == bLength)
        return 0;
    // The longer text may still hold an accent whose folding matters only for the tie-break.
    return aLength < bLength ? -1 : 1;
}

bool like(QStringView text, QStringView pattern)
{
    return likeFrom(text, 0, pattern, 0);
}

} // namespace store::text
