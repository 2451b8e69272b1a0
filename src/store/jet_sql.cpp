#include "store/jet_sql.h"

#include "store/error.h"
#include "store/quote.h"

#include <QRegularExpression>
#include <vector>

namespace store::detail
{

namespace
{

struct Token {
    enum Kind { Word, Name, String, Number, Symbol } kind;
    QString text; // Name: a [bracketed] name, never a keyword
};

[[noreturn]] void refuse(const QString& jet, const QString& why)
{
    throw Error(QStringLiteral("La consulta «%1» no se puede ejecutar: %2.").arg(jet.trimmed(), why));
}

// Each reader takes one token starting at i and returns the position after it.
qsizetype readName(const QString& jet, qsizetype i, std::vector<Token>& tokens)
{
    const qsizetype end = jet.indexOf(u']', i);
    if (end < 0)
        refuse(jet, QStringLiteral("falta un «]»"));
    tokens.push_back({Token::Name, jet.mid(i + 1, end - i - 1)});
    return end + 1;
}

qsizetype readWord(const QString& jet, qsizetype i, std::vector<Token>& tokens)
{
    qsizetype j = i + 1;
    while (j < jet.size() && (jet[j].isLetterOrNumber() || jet[j] == u'_'))
        ++j;
    tokens.push_back({Token::Word, jet.mid(i, j - i)});
    return j;
}

qsizetype skipDigits(const QString& jet, qsizetype j)
{
    while (j < jet.size() && jet[j].isDigit())
        ++j;
    return j;
}

qsizetype readNumber(const QString& jet, qsizetype i, std::vector<Token>& tokens)
{
    qsizetype j = skipDigits(jet, i);
    if (j < jet.size() && jet[j] == u'.')
        j = skipDigits(jet, j + 1);
    tokens.push_back({Token::Number, jet.mid(i, j - i)});
    return j;
}

// A text between quotes, the quote doubled inside it.
qsizetype readString(const QString& jet, qsizetype i, std::vector<Token>& tokens)
{
    const QChar quote = jet[i];
    QString literal;
    qsizetype j = i + 1;
    for (;;) {
        if (j >= jet.size())
            refuse(jet, QStringLiteral("falta cerrar un texto entre comillas"));
        if (jet[j] != quote) {
            literal += jet[j++];
        } else if (j + 1 < jet.size() && jet[j + 1] == quote) {
            literal += quote;
            j += 2;
        } else {
            break;
        }
    }
    tokens.push_back({Token::String, literal});
    return j + 1;
}

qsizetype readSymbol(const QString& jet, qsizetype i, std::vector<Token>& tokens)
{
    const QString two = jet.mid(i, 2);
    if (two == u"<=" || two == u">=" || two == u"<>") {
        tokens.push_back({Token::Symbol, two});
        return i + 2;
    }
    const QChar c = jet[i];
    if (!QStringView(u"=<>(),*+-/&").contains(c))
        refuse(jet, QStringLiteral("no se entiende el carácter «%1»").arg(c));
    tokens.push_back({Token::Symbol, QString(c)});
    return i + 1;
}

std::vector<Token> tokenize(const QString& jet)
{
    std::vector<Token> tokens;
    const qsizetype n = jet.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = jet[i];
        if (c.isSpace())
            ++i;
        else if (c == u'[')
            i = readName(jet, i, tokens);
        else if (c.isLetter() || c == u'_')
            i = readWord(jet, i, tokens);
        else if (c.isDigit() || (c == u'.' && i + 1 < n && jet[i + 1].isDigit()))
            i = readNumber(jet, i, tokens);
        else if (c == u'\'' || c == u'"')
            i = readString(jet, i, tokens);
        else
            i = readSymbol(jet, i, tokens);
    }
    return tokens;
}

bool isWord(const std::vector<Token>& t, std::size_t k, const char* word)
{
    return k < t.size() && t[k].kind == Token::Word &&
           t[k].text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}

bool isSymbol(const std::vector<Token>& t, std::size_t k, const char* symbol)
{
    return k < t.size() && t[k].kind == Token::Symbol && t[k].text == QLatin1String(symbol);
}

bool isNumeric(FieldType type)
{
    return type == FieldType::Long || type == FieldType::Double || type == FieldType::Boolean;
}

QString quotedName(const QString& name)
{
    return u'"' + name + u'"';
}

// Translates the tokens [from, to) of a condition or of one ordering term.
class Translator
{
public:
    Translator(const QString& jet, const TableDef& table, const std::vector<Token>& tokens)
        : m_jet(jet), m_table(table), m_t(tokens)
    {
    }

    QString translate(std::size_t from, std::size_t to)
    {
        QStringList out;
        bool afterLike = false;
        for (std::size_t k = from; k < to; ++k) {
            const Token& token = m_t[k];
            const bool wasLike = afterLike;
            afterLike = false;
            switch (token.kind) {
            case Token::Word: {
                const QString lower = token.text.toLower();
                static const QStringList keywords = {
                    QStringLiteral("and"),     QStringLiteral("or"), QStringLiteral("not"),
                    QStringLiteral("like"),    QStringLiteral("is"), QStringLiteral("null"),
                    QStringLiteral("between"), QStringLiteral("in"), QStringLiteral("mod")};
                if (keywords.contains(lower)) {
                    out << (lower == u"mod" ? QStringLiteral("%") : lower.toUpper());
                    afterLike = lower == u"like";
                } else if (lower == u"true" || lower == u"false") {
                    out << (lower == u"true" ? QStringLiteral("1") : QStringLiteral("0"));
                } else if (isSymbol(m_t, k + 1, "(")) {
                    k = function(k, to, out);
                } else {
                    out << field(token.text);
                }
                break;
            }
            case Token::Name:
                out << field(token.text);
                break;
            case Token::String:
                out << literal(token.text, wasLike);
                break;
            case Token::Number:
                out << token.text;
                break;
            case Token::Symbol:
                out << (token.text == u"&" ? QStringLiteral("||") : token.text);
                break;
            }
        }
        return out.join(u' ');
    }

    const FieldDef* fieldDef(std::size_t k) const
    {
        if (k >= m_t.size() || (m_t[k].kind != Token::Word && m_t[k].kind != Token::Name))
            return nullptr;
        const int index = m_table.fieldIndex(m_t[k].text);
        return index < 0 ? nullptr : &m_table.fields[std::size_t(index)];
    }

private:
    QString field(const QString& name) const
    {
        const int index = m_table.fieldIndex(name);
        if (index < 0)
            refuse(m_jet, QStringLiteral("el campo «%1» no existe en la tabla «%2»").arg(name, m_table.name));
        return quotedName(m_table.fields[std::size_t(index)].name);
    }

    static QString literal(const QString& text, bool likePattern)
    {
        // Digits and signs compare the same in every order; only letters need the file's order,
        // and leaving it out lets the store use its indexes.
        static const QRegularExpression letters(QStringLiteral("[^0-9 .,:;+\\-/]"));
        if (likePattern || !letters.match(text).hasMatch())
            return quote(text);
        return quote(text) + QStringLiteral(" COLLATE jet");
    }

    // A function call starting at token k; returns the last token consumed.
    std::size_t function(std::size_t k, std::size_t to, QStringList& out)
    {
        const QString name = m_t[k].text.toLower();
        const FieldDef* argument = isSymbol(m_t, k + 3, ")") && k + 3 < to ? fieldDef(k + 2) : nullptr;
        if (name == u"cstr") {
            if (argument != nullptr && argument->type == FieldType::Long && isSymbol(m_t, k + 4, "=") &&
                k + 5 < to && m_t[k + 5].kind == Token::String) {
                // cstr(jaula) = '12' holds exactly when jaula is 12: a whole number's text has no
                // leading zeros, blanks or "+". Comparing the number lets the store use its index.
                static const QRegularExpression canonical(QStringLiteral("^(0|-?[1-9][0-9]{0,9})$"));
                const QString& text = m_t[k + 5].text;
                if (canonical.match(text).hasMatch())
                    out << quotedName(argument->name) << QStringLiteral("=") << text;
                else
                    out << QStringLiteral("0");
                return k + 5;
            }
            if (argument != nullptr &&
                (argument->type == FieldType::Text || argument->type == FieldType::Memo)) {
                out << quotedName(argument->name);
                return k + 3;
            }
            out << QStringLiteral("jet_cstr");
            return k;
        }
        if (name == u"val") {
            if (argument != nullptr && isNumeric(argument->type)) {
                out << quotedName(argument->name);
                return k + 3;
            }
            out << QStringLiteral("jet_val");
            return k;
        }
        static const QList<std::pair<QString, QString>> plain = {
            {QStringLiteral("trim"), QStringLiteral("trim")},
            {QStringLiteral("ltrim"), QStringLiteral("ltrim")},
            {QStringLiteral("rtrim"), QStringLiteral("rtrim")},
            {QStringLiteral("ucase"), QStringLiteral("upper")},
            {QStringLiteral("lcase"), QStringLiteral("lower")},
            {QStringLiteral("len"), QStringLiteral("length")},
        };
        for (const auto& [jetName, sqliteName] : plain)
            if (name == jetName) {
                out << sqliteName;
                return k;
            }
        refuse(m_jet, QStringLiteral("la función «%1» no está disponible").arg(m_t[k].text));
    }

    const QString& m_jet;
    const TableDef& m_table;
    const std::vector<Token>& m_t;
};

QString translateOrderBy(const QString& jet, const TableDef& table, const std::vector<Token>& t,
                         std::size_t from)
{
    Translator translator(jet, table, t);
    QStringList terms;
    std::size_t start = from;
    int depth = 0;
    for (std::size_t k = from; k <= t.size(); ++k) {
        if (k < t.size()) {
            if (isSymbol(t, k, "("))
                ++depth;
            else if (isSymbol(t, k, ")"))
                --depth;
            if (!(depth == 0 && isSymbol(t, k, ",")))
                continue;
        }
        std::size_t end = k;
        QString direction;
        if (end > start && (isWord(t, end - 1, "desc") || isWord(t, end - 1, "asc"))) {
            direction = t[end - 1].text.toUpper();
            --end;
        }
        if (end == start)
            refuse(jet, QStringLiteral("falta un término de la ordenación"));
        QString term = translator.translate(start, end);
        const FieldDef* single = end == start + 1 ? translator.fieldDef(start) : nullptr;
        const bool numeric = (single != nullptr && isNumeric(single->type)) || isWord(t, start, "val");
        if (!numeric)
            term += QStringLiteral(" COLLATE jet");
        if (!direction.isEmpty())
            term += u' ' + direction;
        terms << term;
        start = k + 1;
    }
    terms << QStringLiteral("rowid");
    return terms.join(QStringLiteral(", "));
}

} // namespace

Query translateSelect(const QString& jet, const Schema& schema)
{
    const std::vector<Token> t = tokenize(jet);
    if (!(isWord(t, 0, "select") && isSymbol(t, 1, "*") && isWord(t, 2, "from") && t.size() > 3 &&
          (t[3].kind == Token::Word || t[3].kind == Token::Name)))
        refuse(jet, QStringLiteral("solo se admite «select * from» una tabla"));
    Query query;
    query.table = schema.table(t[3].text);
    if (query.table == nullptr)
        refuse(jet, QStringLiteral("la tabla «%1» no existe").arg(t[3].text));

    std::size_t k = 4;
    std::size_t orderAt = t.size();
    int depth = 0;
    for (std::size_t i = k; i < t.size(); ++i) {
        if (isSymbol(t, i, "("))
            ++depth;
        else if (isSymbol(t, i, ")"))
            --depth;
        else if (depth == 0 && isWord(t, i, "order") && isWord(t, i + 1, "by")) {
            orderAt = i;
            break;
        }
    }
    if (isWord(t, k, "where")) {
        if (orderAt == k + 1)
            refuse(jet, QStringLiteral("falta la condición"));
        query.where = Translator(jet, *query.table, t).translate(k + 1, orderAt);
    } else if (k != orderAt) {
        refuse(jet, QStringLiteral("se esperaba «where» u «order by»"));
    }
    query.orderBy =
        orderAt < t.size() ? translateOrderBy(jet, *query.table, t, orderAt + 2) : QStringLiteral("rowid");
    return query;
}

QString translateCondition(const QString& jet, const TableDef& table)
{
    const std::vector<Token> t = tokenize(jet);
    if (t.empty())
        refuse(jet, QStringLiteral("la condición está vacía"));
    return Translator(jet, table, t).translate(0, t.size());
}

QString selectSql(const Query& query)
{
    QStringList columns{QStringLiteral("rowid")};
    for (const FieldDef& f : query.table->fields)
        columns << quotedName(f.name);
    QString sql = QStringLiteral("SELECT %1 FROM %2")
                      .arg(columns.join(QStringLiteral(", ")), quotedName(query.table->name));
    if (!query.where.isEmpty())
        sql += QStringLiteral(" WHERE ") + query.where;
    sql += QStringLiteral(" ORDER BY ") + query.orderBy;
    return sql;
}

} // namespace store::detail
