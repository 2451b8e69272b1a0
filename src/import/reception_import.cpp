#include "import/reception_import.h"

#include "import/worksheet.h"
#include "reception/cage_number.h"
#include "shell/formats.h"
#include "store/database.h"

#include <QSet>
#include <unordered_map>

namespace imports
{

namespace
{

enum Column { A = 1, B, C, D, E, F, G, H, N = 14 };

// What the preview shows in "Puntos": the score formatted, 0 for an empty cell, and a text that
// is not a number as it was written (the column is only shown).
QString shownScore(const Cell& cell)
{
    if (cell.isBlank())
        return formats::score(0);
    const std::optional<double> number = cell.toNumber();
    return number ? formats::score(*number) : cell.toText().trimmed();
}

// The birds already received, by cage, with their rings.
class ReceivedBirds
{
public:
    explicit ReceivedBirds(const store::Database& db)
    {
        store::Statement birds = db.prepare(QStringLiteral("SELECT jaula, anilla FROM Recepcion"));
        while (birds.step())
            if (!birds.isNull(0) && !birds.isNull(1))
                add(birds.int64(0), birds.text(1));
    }

    bool contains(qint64 cage, const QString& ring) const
    {
        const auto found = m_rings.find(cage);
        return found != m_rings.end() && found->second.contains(key(ring));
    }

    void add(qint64 cage, const QString& ring) { m_rings[cage].insert(key(ring)); }

private:
    // Rings compare as the store compares texts: letter by letter without regard to case.
    static QString key(const QString& ring)
    {
        QString folded = ring;
        for (QChar& c : folded)
            c = c.toLower();
        return folded;
    }

    std::unordered_map<qint64, QSet<QString>> m_rings;
};

} // namespace

std::vector<ReceptionRow> readReception(const QString& path, const Progress& progress)
{
    const Worksheet sheet = Worksheet::open(path, sheetName(), [&] { waiting(progress); });
    std::vector<ReceptionRow> rows;
    rows.reserve(std::size_t(lastDataRow(sheet) - firstDataRow + 1));
    forEachDataRow(sheet, progress, [&](int r) {
        auto text = [&](int column) { return sheet.cell(r, column).toText().trimmed(); };
        ReceptionRow row;
        row.sheetRow = r;
        row.jaula = text(A);
        row.grupo = text(B);
        row.sexo = text(C);
        row.licencia = text(D);
        row.nombre = text(E);
        row.club = text(F);
        row.anyo = text(G);
        row.anilla = text(H);
        row.puntos = shownScore(sheet.cell(r, N));
        row.status = assessReception(row);
        rows.push_back(std::move(row));
    });
    return rows;
}

RowStatus assessReception(const ReceptionRow& row)
{
    if (row.anilla.isEmpty())
        return RowStatus::skip(QStringLiteral("Sin anilla: no se graba."));
    if (!reception::parseCage(row.jaula))
        return RowStatus::refuse(reception::invalidCageMessage(row.jaula));
    const std::pair<const char*, const QString*> texts[] = {
        {"anilla", &row.anilla}, {"año", &row.anyo}, {"licencia", &row.licencia}, {"nombre", &row.nombre}};
    for (const auto& [field, value] : texts) {
        const QString refusal = refusalFor(QStringLiteral("Recepcion"), QString::fromUtf8(field), *value);
        if (!refusal.isEmpty())
            return RowStatus::refuse(refusal);
    }
    return {};
}

StoreCounts storeReception(const store::Database& db, const std::vector<ReceptionRow>& rows)
{
    StoreCounts counts;
    store::Transaction transaction(db);
    ReceivedBirds received(db);
    store::Statement insert =
        db.prepare(QStringLiteral("INSERT INTO Recepcion (jaula, anilla, \"año\", sexo, licencia, club, "
                                  "nombre, color, grupo, puntos, termina, "
                                  "conc, km, coef) VALUES (?, ?, ?, ?, ?, ?, ?, ' ', ?, 0, 'N', 0, 0, 0)"));
    for (const ReceptionRow& row : rows) {
        const RowStatus status = assessReception(row);
        if (status.verdict == Verdict::Refuse)
            ++counts.refused;
        if (status.verdict != Verdict::Store)
            continue;
        const int cage = *reception::parseCage(row.jaula);
        if (received.contains(cage, row.anilla))
            continue;
        // The census is written by hand: the group is taken in capitals, the sex as written.
        insert.bind(1, qint64(cage))
            .bind(2, row.anilla)
            .bind(3, blankIfEmpty(row.anyo))
            .bind(4, blankIfEmpty(row.sexo.left(1)))
            .bind(5, blankIfEmpty(row.licencia))
            .bind(6, blankIfEmpty(row.club.left(4)))
            .bind(7, blankIfEmpty(row.nombre))
            .bind(8, blankIfEmpty(row.grupo.left(1).toUpper()));
        insert.run();
        received.add(cage, row.anilla);
        ++counts.stored;
    }
    transaction.commit();
    return counts;
}

QString receptionSummary(const StoreCounts& counts)
{
    return summary(counts, QStringLiteral(" Grabadas Palomas"));
}

} // namespace imports
