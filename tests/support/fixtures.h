#pragma once

// Small exhibitions for tests: real files on disk, filled through the store itself.

#include "store/database.h"
#include "store/quote.h"

#include <QCryptographicHash>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QVariantMap>

namespace fixtures
{

// The file's bytes as a hash, to show that a refused or failed action left a file untouched.
inline QByteArray fingerprint(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly)
               ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256)
               : QByteArray();
}

// Adds one row with the given fields (names as in the data model) through a result.
inline void addRow(const store::Database& db, const QString& table, const QVariantMap& fields)
{
    store::Recordset rs = db.openRecordset(QStringLiteral("select * from ") + table);
    rs.addNew();
    for (auto it = fields.begin(); it != fields.end(); ++it)
        rs.setValue(it.key(), it.value());
    rs.update();
}

inline void addBird(const store::Database& db, int jaula, const QString& grupo, const QString& sexo,
                    const QVariantMap& more = {})
{
    QVariantMap fields{{QStringLiteral("jaula"), jaula},
                       {QStringLiteral("grupo"), grupo},
                       {QStringLiteral("sexo"), sexo},
                       {QStringLiteral("categ"), QStringLiteral(" ")},
                       {QStringLiteral("termina"), QStringLiteral("N")},
                       {QStringLiteral("puntos"), 0.0}};
    for (auto it = more.begin(); it != more.end(); ++it)
        fields.insert(it.key(), it.value());
    addRow(db, QStringLiteral("Recepcion"), fields);
}

// One judge's row for a cage; the five partial scores add up to the total.
inline void addScore(const store::Database& db, const QString& jaula, int juez, double total,
                     const QVariantMap& more = {})
{
    QVariantMap fields{{QStringLiteral("jaula"), jaula},
                       {QStringLiteral("juez"), juez},
                       {QStringLiteral("puntos1"), 8.0},
                       {QStringLiteral("puntos2"), 8.0},
                       {QStringLiteral("puntos3"), 17.0},
                       {QStringLiteral("puntos4"), 27.0},
                       {QStringLiteral("puntos5"), total - 60.0},
                       {QStringLiteral("puntost"), total},
                       {QStringLiteral("grupo"), QStringLiteral("A")},
                       {QStringLiteral("categ"), QStringLiteral(" ")}};
    for (auto it = more.begin(); it != more.end(); ++it)
        fields.insert(it.key(), it.value());
    addRow(db, QStringLiteral("Puntos"), fields);
}

inline void setConfig(const store::Database& db, int jueces, bool media)
{
    store::Recordset rs = db.openRecordset(QStringLiteral("select * from config"));
    if (rs.recordCount() == 0) {
        rs.addNew();
        rs.setValue(QStringLiteral("nombre"), QStringLiteral("Sin Nombre"));
        rs.setValue(QStringLiteral("region"), QStringLiteral(" "));
    } else {
        rs.edit();
    }
    rs.setValue(QStringLiteral("jueces"), jueces);
    rs.setValue(QStringLiteral("media"), media);
    rs.setValue(QStringLiteral("quitar"), !media);
    rs.update();
}

inline void addClub(const store::Database& clubs, const QString& codigo, const QString& nombre,
                    const QString& provincia)
{
    addRow(clubs, QStringLiteral("club"),
           {{QStringLiteral("codigo"), codigo},
            {QStringLiteral("nombre"), nombre},
            {QStringLiteral("provincia"), provincia}});
}

// The values of one field over a whole result, in its order, joined by commas.
inline QString column(store::Recordset rs, const QString& field)
{
    QStringList values;
    for (rs.moveFirst(); !rs.eof(); rs.moveNext())
        values << rs.text(field);
    return values.join(u',');
}

inline QString column(const store::Database& db, const QString& query, const QString& field)
{
    return column(db.openRecordset(query), field);
}

// Where the last change on record in a show came from.
inline QString lastOrigin(const QString& path)
{
    store::Statement last = store::Database::open(path, store::schema::exhibition(), store::Database::Access::ReadOnly)
                                .query(QStringLiteral("SELECT origen FROM Historial ORDER BY id DESC LIMIT 1"));
    return last.step() ? last.text(0) : QString();
}

} // namespace fixtures
