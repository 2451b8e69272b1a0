#include "rules/records/statuses.h"

#include "base/error.h"
#include "store/database.h"
#include "store/quote.h"
#include "store/statement.h"

#include <QStringList>

namespace records
{

namespace
{

// The rings of the birds of the cage, in the order they were received.
QStringList ringsOf(const store::Database& db, int jaula)
{
    store::Statement birds =
        db.query(QStringLiteral("SELECT anilla FROM Recepcion WHERE jaula = ? ORDER BY rowid"));
    birds.bind(1, qint64(jaula));
    QStringList rings;
    while (birds.step())
        rings << birds.text(0).trimmed();
    return rings;
}

BirdStatus readStatus(store::Statement& row)
{
    BirdStatus status;
    status.jaula = int(row.int64(0));
    status.anilla = row.text(1);
    status.status = parseStatus(row.text(2)).value_or(Status::Presente);
    status.motivo = row.text(3);
    return status;
}

// The ring the row of the bird keeps: none for the only bird of its cage.
QString ringToKeep(const store::Database& db, int jaula, const QString& anilla)
{
    const QStringList rings = ringsOf(db, jaula);
    const QString ring = anilla.trimmed();
    if (rings.isEmpty())
        throw base::ValidationError(QStringLiteral("La jaula %1 no tiene ninguna paloma").arg(jaula));
    if (!ring.isEmpty() && !rings.contains(ring))
        throw base::ValidationError(QStringLiteral("La jaula %1 no tiene la anilla %2").arg(jaula).arg(ring));
    if (rings.size() == 1)
        return {};
    if (ring.isEmpty())
        throw base::ValidationError(QStringLiteral("La jaula %1 tiene dos palomas, anillas %2: diga cuál")
                                        .arg(jaula)
                                        .arg(rings.join(QStringLiteral(" y "))));
    return ring;
}

} // namespace

QString statusName(Status status)
{
    switch (status) {
    case Status::Ausente:
        return QStringLiteral("Ausente");
    case Status::Descalificada:
        return QStringLiteral("Descalificada");
    case Status::Presente:
        break;
    }
    return QStringLiteral("Presente");
}

std::optional<Status> parseStatus(const QString& text)
{
    for (Status status : {Status::Presente, Status::Ausente, Status::Descalificada})
        if (text.trimmed().compare(statusName(status), Qt::CaseInsensitive) == 0)
            return status;
    return std::nullopt;
}

QString BirdStatus::text() const
{
    if (status == Status::Descalificada)
        return statusName(status) + QStringLiteral(": ") + motivo;
    return status == Status::Ausente ? statusName(status) : QString();
}

BirdStatus statusOf(const store::Database& db, int jaula, const QString& anilla)
{
    store::Statement row = db.query(QStringLiteral(
        "SELECT jaula, anilla, estado, motivo FROM Estado WHERE jaula = ? AND coalesce(anilla, '') = ? "
        "ORDER BY rowid"));
    row.bind(1, qint64(jaula)).bind(2, anilla.trimmed());
    if (row.step())
        return readStatus(row);
    BirdStatus present;
    present.jaula = jaula;
    present.anilla = anilla.trimmed();
    return present;
}

void setStatus(store::Database& db, int jaula, const QString& anilla, Status status, const QString& motivo)
{
    const QString reason = status == Status::Descalificada ? motivo.trimmed() : QString();
    if (status == Status::Descalificada && reason.isEmpty())
        throw base::ValidationError(QStringLiteral("Una paloma descalificada necesita un motivo"));
    store::Transaction transaction(db);
    const QString ring = ringToKeep(db, jaula, anilla);
    const BirdStatus before = statusOf(db, jaula, ring);
    if (status == Status::Presente) {
        store::Statement remove =
            db.prepare(QStringLiteral("DELETE FROM Estado WHERE jaula = ? AND coalesce(anilla, '') = ?"));
        remove.bind(1, qint64(jaula)).bind(2, ring).run();
    } else if (before.status == Status::Presente) {
        store::Statement insert = db.prepare(
            QStringLiteral("INSERT INTO Estado (jaula, anilla, estado, motivo) VALUES (?, ?, ?, ?)"));
        insert.bind(1, qint64(jaula)).bind(2, ring).bind(3, statusName(status)).bind(4, reason).run();
    } else {
        store::Statement update = db.prepare(QStringLiteral(
            "UPDATE Estado SET estado = ?, motivo = ? WHERE jaula = ? AND coalesce(anilla, '') = ?"));
        update.bind(1, statusName(status)).bind(2, reason).bind(3, qint64(jaula)).bind(4, ring).run();
    }
    transaction.commit();
}

std::vector<BirdStatus> unrankedBirds(const store::Database& db)
{
    store::Statement rows =
        db.query(QStringLiteral("SELECT jaula, anilla, estado, motivo FROM Estado ORDER BY jaula, rowid"));
    std::vector<BirdStatus> birds;
    while (rows.step()) {
        BirdStatus bird = readStatus(rows);
        if (bird.status != Status::Presente)
            birds.push_back(bird);
    }
    return birds;
}

QString rankedCondition(const store::Database& db)
{
    QStringList terms;
    for (const BirdStatus& bird : unrankedBirds(db)) {
        const QString cage = QStringLiteral("jaula = %1").arg(bird.jaula);
        terms << (bird.anilla.isEmpty()
                      ? cage
                      : QStringLiteral("(%1 and anilla = %2)").arg(cage, store::quote(bird.anilla)));
    }
    if (terms.isEmpty())
        return {};
    return QStringLiteral(" and not (") + terms.join(QStringLiteral(" or ")) + u')';
}

QString scoreRefusal(const store::Database& db, int jaula)
{
    store::Statement row = db.query(
        QStringLiteral("SELECT jaula, anilla, estado, motivo FROM Estado WHERE jaula = ? ORDER BY rowid"));
    row.bind(1, qint64(jaula));
    while (row.step()) {
        const BirdStatus bird = readStatus(row);
        if (bird.status == Status::Ausente)
            return QStringLiteral("Paloma ausente");
        if (bird.status == Status::Descalificada)
            return QStringLiteral("Paloma descalificada: ") + bird.motivo;
    }
    return {};
}

} // namespace records
