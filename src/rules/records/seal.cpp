#include "rules/records/seal.h"

#include "rules/judging/final_score.h"
#include "store/database.h"
#include "store/statement.h"

#include <QCryptographicHash>

namespace records
{

namespace
{

// One value: "-" when there is none, otherwise its length in bytes, a colon and its text.
// Numbers in the shortest form that reads back the same, with a point.
void write(QByteArray& text, const QVariant& value)
{
    QByteArray bytes;
    if (value.isNull())
        return void(text.append("-;"));
    if (value.typeId() == QMetaType::Double)
        bytes = QByteArray::number(value.toDouble(), 'g', 17);
    else if (value.typeId() == QMetaType::LongLong || value.typeId() == QMetaType::Int)
        bytes = QByteArray::number(value.toLongLong());
    else
        bytes = value.toString().toUtf8();
    text.append(QByteArray::number(bytes.size())).append(':').append(bytes).append(';');
}

// A section: its name, its number of rows, then every row's values in the query's order.
void writeRows(QByteArray& text, const store::Database& db, const char* name, const QString& sql)
{
    store::Statement rows = db.query(sql);
    QByteArray body;
    qint64 count = 0;
    while (rows.step()) {
        ++count;
        for (int i = 0; i < rows.columnCount(); ++i)
            write(body, rows.value(i));
    }
    write(text, QString::fromLatin1(name));
    write(text, count);
    text.append(body);
}

QString normalized(const QString& seal)
{
    QString plain;
    for (const QChar c : seal)
        if (!c.isSpace() && c != u'-')
            plain += c.toUpper();
    return plain;
}

} // namespace

QByteArray sealText(const store::Database& db)
{
    store::Transaction reading(db, store::Transaction::Kind::Read);
    QByteArray text;
    writeRows(text, db, "Recepcion",
              QStringLiteral("SELECT jaula, anilla, grupo, categ, sexo, puntos, termina FROM \"Recepcion\" "
                             "ORDER BY jaula, anilla, grupo, categ, sexo, puntos, termina"));
    writeRows(text, db, "Estado",
              QStringLiteral("SELECT jaula, anilla, estado, motivo FROM \"Estado\" "
                             "ORDER BY jaula, anilla, estado, motivo"));
    writeRows(
        text, db, "Puntos",
        QStringLiteral("SELECT jaula, juez, puntos1, puntos2, puntos3, puntos4, puntos5 FROM \"Puntos\" "
                       "ORDER BY jaula, juez, puntos1, puntos2, puntos3, puntos4, puntos5"));
    const judging::ScoringRule rule = judging::ScoringRule::read(db);
    write(text, QStringLiteral("Config"));
    write(text,
          rule.criterion == judging::Criterion::Average ? QStringLiteral("media") : QStringLiteral("quitar"));
    write(text, rule.jueces);
    return text;
}

QString seal(const store::Database& db)
{
    const QByteArray hash = QCryptographicHash::hash(sealText(db), QCryptographicHash::Sha256);
    quint64 bits = 0;
    for (int i = 0; i < 8; ++i)
        bits = bits << 8 | quint8(hash[i]);
    QString seal;
    for (int i = 0; i < 12; ++i) {
        if (i > 0 && i % 4 == 0)
            seal += u'-';
        seal += QLatin1Char(sealAlphabet[(bits >> (59 - 5 * i)) & 31]);
    }
    return seal;
}

bool sameSeal(const QString& seal, const QString& typed)
{
    return !normalized(typed).isEmpty() && normalized(seal) == normalized(typed);
}

} // namespace records
