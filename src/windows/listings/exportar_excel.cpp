#include "windows/listings/exportar_excel.h"

#include "kit/file_dialogs.h"
#include "kit/messages.h"
#include "kit/store_guard.h"
#include "kit/wait_cursor.h"
#include "output/kept_files.h"
#include "output/xlsx/export_xlsx.h"
#include "windows/shell/app_state.h"

#include <QDir>
#include <QFileInfo>

namespace listings
{

void exportarAExcel(QWidget* parent, AppState& state)
{
    QString path = FileDialogs::saveFile(
        parent, QStringLiteral("Exportar a Excel"), QStringLiteral("Libros de Excel (*.xlsx)|*.xlsx"),
        QDir(state.programFolder).filePath(QStringLiteral("Clasificaciones.xlsx")));
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".xlsx");
    if (const QString refusal = output::overwriteRefusal(path, {state.mainDb.path(), state.clubDb.path()},
                                                         QStringLiteral("el libro"));
        !refusal.isEmpty()) {
        Messages::inform(parent, QStringLiteral("Aviso"), refusal);
        return;
    }
    int sheets = 0;
    if (guarded(parent, [&] {
            WaitCursor wait;
            sheets = output::exportXlsx(state.mainDb, state.clubRs, path);
        }))
        Messages::inform(
            parent, QStringLiteral("Aviso"),
            QStringLiteral("%1 hojas grabadas en %2").arg(sheets).arg(QDir::toNativeSeparators(path)));
}

} // namespace listings
