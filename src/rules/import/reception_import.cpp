#include "rules/import/reception_import.h"

#include "base/formats.h"
#include "base/kept_values.h"
#include "rules/import/worksheet.h"
#include "rules/reception/bird_entry.h"
#include "rules/reception/cage_number.h"
#include "rules/records/closed_state.h"
#include "store/database.h"
#include "store/recorded_pass.h"

#include <QSet>
#include <algorithm>
#include <optional>
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
        store::Statement birds = db.query(QStringLiteral("SELECT jaula, anilla FROM Recepcion"));
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
        ReceptionRow row;
        auto text = [&](int column, const char16_t* title) {
            return rowCellText(sheet, r, column, title, row.cellRefusal);
        };
        row.sheetRow = r;
        row.jaula = text(A, u"Jaula");
        row.grupo = text(B, u"Grupo");
        row.sexo = text(C, u"Sexo");
        row.licencia = text(D, u"Licencia");
        row.nombre = text(E, u"Propietario");
        row.club = text(F, u"Club");
        row.anyo = text(G, u"Año");
        row.anilla = text(H, u"Paloma");
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
    if (!row.cellRefusal.isEmpty())
        return RowStatus::refuse(row.cellRefusal);
    // Every text that is stored, under its column's title in the preview.
    const std::pair<const char16_t*, const QString*> stored[] = {
        {u"Jaula", &row.jaula},       {u"Grupo", &row.grupo},        {u"Sexo", &row.sexo},
        {u"Licencia", &row.licencia}, {u"Propietario", &row.nombre}, {u"Club", &row.club},
        {u"Año", &row.anyo},          {u"Paloma", &row.anilla}};
    for (const auto& [title, value] : stored)
        if (!values::keeps(*value))
            return RowStatus::refuse(values::textRefusal(QString::fromUtf16(title), *value));
    if (!reception::parseCage(row.jaula))
        return RowStatus::refuse(reception::invalidCageMessage(row.jaula));
    // A number cell that is not finite comes as its word: never a ring, year or licence.
    const std::pair<const char16_t*, const QString*> numbers[] = {
        {u"Paloma", &row.anilla}, {u"Año", &row.anyo}, {u"Licencia", &row.licencia}};
    for (const auto& [title, value] : numbers)
        if (values::spellsNonFinite(*value))
            return RowStatus::refuse(values::nonFiniteTextRefusal(QString::fromUtf16(title), *value));
    const std::pair<const char*, const QString*> texts[] = {
        {"anilla", &row.anilla}, {"año", &row.anyo}, {"licencia", &row.licencia}, {"nombre", &row.nombre}};
    for (const auto& [field, value] : texts) {
        const QString refusal = refusalFor(QStringLiteral("Recepcion"), QString::fromUtf8(field), *value);
        if (!refusal.isEmpty())
            return RowStatus::refuse(refusal);
    }
    return {};
}

bool isBlankSheet(const std::vector<ReceptionRow>& rows)
{
    return std::all_of(rows.begin(), rows.end(), [](const ReceptionRow& row) {
        return (row.jaula + row.grupo + row.sexo + row.licencia + row.nombre + row.club + row.anyo +
                row.anilla)
                   .isEmpty() &&
               row.cellRefusal.isEmpty();
    });
}

StoreCounts storeReception(store::Database& db, const std::vector<ReceptionRow>& rows)
{
    records::refuseIfClosed(db);
    StoreCounts counts;
    counts.blankSheet = isBlankSheet(rows);
    // The import's one transaction: every row of the pass is stored, or none, and recorded.
    store::Transaction transaction(db);
    std::optional<store::records::RecordedInsertPass> recorded;
    ReceivedBirds received(db);
    store::Statement insert =
        db.prepare(QStringLiteral("INSERT INTO Recepcion (jaula, anilla, \"año\", sexo, licencia, club, "
                                  "nombre, color, grupo, puntos, termina, "
                                  "conc, km, coef) VALUES (?, ?, ?, ?, ?, ?, ?, ' ', ?, 0, 'N', 0, 0, 0)"));
    for (const ReceptionRow& row : rows) {
        const RowStatus status = assessReception(row);
        if (status.verdict == Verdict::Refuse)
            ++counts.refused;
        else if (status.verdict == Verdict::Skip)
            ++counts.skipped;
        if (status.verdict != Verdict::Store)
            continue;
        const int cage = *reception::parseCage(row.jaula);
        if (received.contains(cage, row.anilla)) {
            ++counts.alreadyStored;
            continue;
        }
        // The census is written by hand: the group is taken in capitals, the sex as written.
        insert.bind(1, qint64(cage))
            .bind(2, row.anilla)
            .bind(3, blankIfEmpty(row.anyo))
            .bind(4, blankIfEmpty(row.sexo.left(1)))
            .bind(5, blankIfEmpty(row.licencia))
            .bind(6, blankIfEmpty(row.club.left(4)))
            .bind(7, blankIfEmpty(row.nombre))
            .bind(8, blankIfEmpty(row.grupo.left(1).toUpper()));
        if (!recorded)
            recorded.emplace(db, QStringLiteral("Recepcion"));
        insert.run();
        received.add(cage, row.anilla);
        ++counts.stored;
        // The census has no category column: such a bird waits for its category in Recepción.
        if (reception::isGroupD(row.grupo.left(1)))
            ++counts.groupDWithoutCategory;
    }
    if (recorded)
        recorded->finish();
    transaction.commit();
    return counts;
}

QString receptionSummary(const StoreCounts& counts)
{
    QString text = summary(counts, QStringLiteral(" Grabadas Palomas"), QStringLiteral("sin anilla"));
    if (const QString note = groupDWithoutCategoryNote(counts); !note.isEmpty())
        text += u'\n' + note;
    return text;
}

QString groupDWithoutCategoryNote(const StoreCounts& counts)
{
    if (counts.groupDWithoutCategory == 0)
        return {};
    if (counts.groupDWithoutCategory == 1)
        return QStringLiteral("1 paloma del grupo D sin categoría: complétela en Recepción");
    return QStringLiteral("%1 palomas del grupo D sin categoría: complételas en Recepción")
        .arg(counts.groupDWithoutCategory);
}

} // namespace imports
