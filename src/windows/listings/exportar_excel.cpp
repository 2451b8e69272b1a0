#include "windows/listings/exportar_excel.h"

#include "listings/text_document.h"
#include "output/xlsx/export_xlsx.h"
#include "shell/app_state.h"
#include "shell/file_dialogs.h"
#include "shell/messages.h"
#include "shell/store_guard.h"
#include "shell/wait_cursor.h"

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
    int sheets = 0;
    QString failure;
    const bool ran = guarded(parent, [&] {
        WaitCursor wait;
        try {
            sheets = output::exportXlsx(state.mainDb, state.clubRs, path);
        } catch (const OutputError& e) {
            failure = e.message();
        }
    });
    if (!ran)
        return;
    if (!failure.isEmpty())
        Messages::inform(parent, QStringLiteral("Aviso"), failure, Messages::Icon::Warning);
    else
        Messages::inform(
            parent, QStringLiteral("Aviso"),
            QStringLiteral("%1 hojas grabadas en %2").arg(sheets).arg(QDir::toNativeSeparators(path)));
}

} // namespace listings
