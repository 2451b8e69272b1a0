#include "rules/clubs/club_search.h"

#include "store/text_order.h"

namespace clubs
{

namespace
{

// The text as a pattern that matches exactly itself: each wildcard character in a set of its own.
QString literalPattern(QStringView text)
{
    QString pattern;
    pattern.reserve(text.size());
    for (const QChar c : text) {
        if (c == u'*' || c == u'?' || c == u'#' || c == u'[')
            pattern += u'[' + QString(c) + u']';
        else
            pattern += c;
    }
    return pattern;
}

} // namespace

bool beginsWithWord(QStringView text, QStringView word)
{
    if (text.size() < word.size())
        return false;
    if (!store::text::like(text.first(word.size()), literalPattern(word)))
        return false;
    return text.size() == word.size() || !text[word.size()].isLetterOrNumber();
}

std::optional<int> findByCode(const std::vector<Club>& clubs, const QString& pattern)
{
    const QString word = pattern.trimmed();
    if (word.isEmpty())
        return std::nullopt;
    for (std::size_t i = 0; i < clubs.size(); ++i)
        if (beginsWithWord(clubs[i].codigo.trimmed(), word))
            return int(i);
    return std::nullopt;
}

QString nameBeginning(const QString& typed)
{
    return literalPattern(typed.trimmed()) + u'*';
}

std::optional<int> findByName(const std::vector<Club>& clubs, const QString& typed)
{
    const QString pattern = nameBeginning(typed);
    for (std::size_t i = 0; i < clubs.size(); ++i)
        if (store::text::like(clubs[i].nombre, pattern))
            return int(i);
    return std::nullopt;
}

} // namespace clubs
