#include "rules/import/worksheet.h"

#include "rules/import/workbook_reader.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace imports
{

Worksheet::Worksheet(SheetCells sheet) : m_sheet(std::move(sheet)) {}

Worksheet Worksheet::open(const QString& path, const QString& sheetName, const std::function<void()>& waiting)
{
    const QString name = QFileInfo(path).fileName();
    if (path.trimmed().isEmpty())
        throw WorkbookError(
            QStringLiteral("No se ha elegido ninguna hoja de cálculo (.xls, .xlsx, .ods o .csv)."));
    const QFileInfo info(path);
    if (!info.exists())
        throw WorkbookError(QStringLiteral("No se encuentra el archivo «%1».").arg(path));
    if (!info.isFile())
        throw WorkbookError(
            QStringLiteral("«%1» no es un archivo, y no se puede leer como libro de Excel.").arg(path));
    {
        QFile probe(path);
        if (!probe.open(QIODevice::ReadOnly))
            throw WorkbookError(
                QStringLiteral("No se puede leer el archivo «%1»: %2.").arg(path, probe.errorString()));
    }

    ReaderSetup setup = defaultReaderSetup();
    setup.waiting = waiting;
    std::vector<SheetCells> sheets = readWorkbook(path, setup);
    for (SheetCells& sheet : sheets)
        if (sheet.name.trimmed().compare(sheetName, Qt::CaseInsensitive) == 0)
            return Worksheet(std::move(sheet));
    throw WorkbookError(QStringLiteral("El libro «%1» no tiene la hoja «%2».").arg(name, sheetName));
}

Cell Worksheet::cell(int row, int column) const
{
    if (row < 1 || column < 1 || row > m_sheet.rows || column > m_sheet.columns)
        return {};
    const quint64 key = SheetCells::cellKey(row, column);
    const auto found = std::lower_bound(m_sheet.cells.begin(), m_sheet.cells.end(), key,
                                        [](const auto& entry, quint64 k) { return entry.first < k; });
    if (found == m_sheet.cells.end() || found->first != key)
        return {};
    return found->second;
}

} // namespace imports
