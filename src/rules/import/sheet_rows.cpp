#include "rules/import/sheet_rows.h"

#include "base/kept_values.h"
#include "rules/import/worksheet.h"
#include "store/error.h"
#include "store/recordset.h"
#include "store/schema.h"

#include <cmath>

namespace imports
{

QString sheetName()
{
    return QStringLiteral("Hoja1");
}

int lastDataRow(const Worksheet& sheet)
{
    int row = firstDataRow;
    do {
        ++row;
    } while (!sheet.cell(row, 1).isBlank());
    return row - 1;
}

void forEachDataRow(const Worksheet& sheet, const Progress& progress,
                    const std::function<void(int row)>& read)
{
    const int last = lastDataRow(sheet);
    const int total = last - firstDataRow + 1;
    for (int row = firstDataRow; row <= last; ++row) {
        read(row);
        if (progress)
            progress(row - firstDataRow + 1, total);
    }
}

QString summary(const StoreCounts& counts, const QString& countText, const QString& skipText)
{
    QString text = QString::number(counts.stored) + countText;
    if (counts.refused == 1)
        text += QStringLiteral("\n1 fila rechazada por datos no válidos");
    else if (counts.refused > 1)
        text += QStringLiteral("\n%1 filas rechazadas por datos no válidos").arg(counts.refused);
    if (counts.stored > 0)
        return text;
    // Nothing stored from a sheet that was read: the user is told why, never a bare 0.
    if (counts.blankSheet)
        return text + u'\n' + blankSheetMessage();
    if (counts.alreadyStored > 0)
        text += QStringLiteral("\nFilas que ya estaban grabadas: %1").arg(counts.alreadyStored);
    if (counts.skipped > 0)
        text += QStringLiteral("\nFilas %1, que no se graban: %2").arg(skipText).arg(counts.skipped);
    return text;
}

QString blankSheetMessage()
{
    return QStringLiteral("La hoja «%1» no tiene datos desde la fila %2 (las filas de encima son los "
                          "títulos): no hay nada que grabar.")
        .arg(sheetName())
        .arg(firstDataRow);
}

QString numberCellRefusal(const Cell& cell, QStringView column)
{
    if (cell.kind != Cell::Kind::Number || std::isfinite(cell.number))
        return {};
    return values::numberRefusal(column.toString(), cell.number);
}

QString rowCellText(const Worksheet& sheet, int row, int column, QStringView title, QString& refusal)
{
    const Cell cell = sheet.cell(row, column);
    if (refusal.isEmpty())
        refusal = numberCellRefusal(cell, title);
    return cell.toText().trimmed();
}

QString refusalFor(const QString& table, const QString& field, const QVariant& value)
{
    const store::TableDef* def = store::schema::exhibition().table(table);
    const int index = def == nullptr ? -1 : def->fieldIndex(field);
    Q_ASSERT(index >= 0);
    try {
        store::convertForField(def->fields[std::size_t(index)], value);
    } catch (const base::Error& e) {
        return e.message();
    }
    return {};
}

} // namespace imports
