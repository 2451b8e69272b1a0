#include "soak_journal.h"

#include "store/database.h"

#include <QTextStream>

namespace soak
{

Model Model::read(store::Database& db)
{
    Model model;
    store::Statement birds =
        db.prepare(QStringLiteral("SELECT jaula, anilla, nombre, grupo, sexo FROM Recepcion"));
    while (birds.step())
        model.birds[int(birds.int64(0))] = {birds.text(1), birds.text(2), birds.text(3), birds.text(4)};
    store::Statement scores = db.prepare(QStringLiteral("SELECT jaula, juez, puntost FROM Puntos"));
    while (scores.step())
        model.scores[{scores.text(0).toInt(), int(scores.int64(1))}] = scores.real(2);
    return model;
}

QString Model::difference(const Model& other) const
{
    if (birds.size() != other.birds.size())
        return QStringLiteral("%1 aves frente a %2").arg(birds.size()).arg(other.birds.size());
    for (const auto& [cage, bird] : birds) {
        const auto found = other.birds.find(cage);
        if (found == other.birds.end())
            return QStringLiteral("falta la jaula %1").arg(cage);
        if (!(found->second == bird))
            return QStringLiteral("la jaula %1 es distinta").arg(cage);
    }
    if (scores.size() != other.scores.size())
        return QStringLiteral("%1 puntuaciones frente a %2").arg(scores.size()).arg(other.scores.size());
    for (const auto& [key, total] : scores) {
        const auto found = other.scores.find(key);
        if (found == other.scores.end() || found->second != total)
            return QStringLiteral("la puntuación del juez %1 en la jaula %2").arg(key.second).arg(key.first);
    }
    return {};
}

void Operation::applyTo(Model& model) const
{
    const QString& kind = fields.value(0);
    if (kind == u"RECV") {
        model.birds[fields[1].toInt()] = {fields[2], fields[3], fields[4], fields[5]};
    } else if (kind == u"MOD") {
        Bird& bird = model.birds[fields[1].toInt()];
        bird.anilla = fields[2];
        bird.nombre = fields[3];
    } else if (kind == u"DEL") {
        const int cage = fields[1].toInt();
        model.birds.erase(cage);
        for (auto it = model.scores.begin(); it != model.scores.end();)
            it = it->first.first == cage ? model.scores.erase(it) : std::next(it);
    } else if (kind == u"SCORE") {
        model.scores[{fields[1].toInt(), fields[2].toInt()}] = fields[3].toDouble();
    } else if (kind == u"IMPR") {
        // cage,anilla,nombre,grupo,sexo;...
        for (const QString& row : fields[1].split(u';', Qt::SkipEmptyParts)) {
            const QStringList bird = row.split(u',');
            model.birds[bird[0].toInt()] = {bird[1], bird[2], bird[3], bird[4]};
        }
    } else if (kind == u"IMPS") {
        // juez, then cage:total;...
        const int juez = fields[1].toInt();
        for (const QString& row : fields[2].split(u';', Qt::SkipEmptyParts)) {
            const QStringList score = row.split(u':');
            model.scores[{score[0].toInt(), juez}] = score[1].toDouble();
        }
    }
}

Journal::Journal(const QString& path) : m_path(path) {}

Journal::State Journal::read() const
{
    State state;
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return state;
    std::map<qint64, Operation> open;
    const auto close = [&](qint64 seq, bool done) {
        const auto found = open.find(seq);
        if (found == open.end())
            return;
        if (done)
            found->second.applyTo(state.model);
        open.erase(found);
    };
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).chopped(1);
        const QStringList fields = line.split(u'\t');
        if (fields.size() < 2)
            continue; // a line cut by the kill: it was never acknowledged
        const qint64 seq = fields[1].toLongLong();
        state.lastSeq = std::max(state.lastSeq, seq);
        if (fields[0] == u"I") {
            open[seq] = {seq, fields.mid(2)};
        } else if (fields[0] == u"A") {
            close(seq, true);
            ++state.acknowledged;
        } else if (fields[0] == u"R") {
            close(seq, true);
            ++state.settledDone;
        } else if (fields[0] == u"X") {
            close(seq, false);
            ++state.abandoned;
        }
    }
    if (!open.empty())
        state.open = open.rbegin()->second;
    return state;
}

void Journal::intent(const Operation& operation)
{
    append(QStringLiteral("I\t%1\t%2").arg(operation.seq).arg(operation.fields.join(u'\t')));
}

void Journal::acknowledge(qint64 seq)
{
    append(QStringLiteral("A\t%1").arg(seq));
}

void Journal::settle(qint64 seq, bool done)
{
    append(QStringLiteral("%1\t%2").arg(done ? QStringLiteral("R") : QStringLiteral("X")).arg(seq));
}

void Journal::append(const QString& line)
{
    QFile file(m_path);
    if (!file.open(QIODevice::Append | QIODevice::Text))
        qFatal("No se puede escribir el diario %s", qPrintable(m_path));
    file.write((line + u'\n').toUtf8());
}

} // namespace soak
