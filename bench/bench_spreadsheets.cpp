// palomas-bench-spreadsheets: the imports reading and storing sheets of 999 rows as .xlsx, .ods
// and .csv, and 65,000 rows as .xlsx; the export of every listing to one Excel workbook for 999
// birds. The sheets are those of palomas-bench-import (tests/data/make_workbook.py, .xls), written
// again by libxlsxwriter (.xlsx), as ";" separated UTF-8 (.csv) and by LibreOffice Calc (.ods,
// when soffice is installed), once, into the temporary folder.

#include "generator.h"
#include "output/xlsx/export_xlsx.h"
#include "output/xlsx/workbook.h"
#include "rules/import/reception_import.h"
#include "rules/import/score_import.h"
#include "rules/import/worksheet.h"
#include "sample_workbooks.h"
#include "store/database.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTextStream>

namespace
{

QDir workFolder()
{
    return bench::workFolder(QStringLiteral("palomas-bench-spreadsheets"));
}

QString xlsWorkbook(const QString& kind, int rows)
{
    return bench::sampleWorkbook(workFolder(), kind, rows);
}

QString csvField(const imports::Cell& cell)
{
    QString text =
        cell.kind == imports::Cell::Kind::Number ? QString::number(cell.number, 'g', 17) : cell.text;
    if (text.contains(u';') || text.contains(u'"') || text.contains(u'\n'))
        text = u'"' + text.replace(QStringLiteral("\""), QStringLiteral("\"\"")) + u'"';
    return text;
}

// The .xls sheet "Hoja1" written again in another format: "xlsx", "csv" or "ods".
QString convert(const QString& xls, const QString& format)
{
    const QString path = xls.chopped(3) + format;
    if (QFile::exists(path))
        return path;
    const imports::Worksheet sheet = imports::Worksheet::open(xls, QStringLiteral("Hoja1"));
    if (format == u"ods") {
        if (QStandardPaths::findExecutable(QStringLiteral("soffice")).isEmpty())
            return {};
        const QString xlsx = convert(xls, QStringLiteral("xlsx"));
        QProcess::execute(QStringLiteral("soffice"),
                          {QStringLiteral("-env:UserInstallation=file://") + workFolder().filePath("perfil"),
                           QStringLiteral("--headless"), QStringLiteral("--convert-to"),
                           QStringLiteral("ods"), QStringLiteral("--outdir"), workFolder().path(), xlsx});
        return QFile::exists(path) ? path : QString();
    }
    if (format == u"csv") {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            qFatal("cannot write %s", qPrintable(path));
        QByteArray all;
        for (int r = 1; r <= sheet.rowCount(); ++r) {
            QStringList fields;
            for (int c = 1; c <= 14; ++c)
                fields << csvField(sheet.cell(r, c));
            all += fields.join(u';').toUtf8() + "\r\n";
        }
        file.write(all);
        return path;
    }
    output::xlsx::Workbook workbook;
    output::xlsx::Sheet out = workbook.addSheet(QStringLiteral("Hoja1"));
    for (int r = 1; r <= sheet.rowCount(); ++r)
        for (int c = 1; c <= 14; ++c) {
            const imports::Cell cell = sheet.cell(r, c);
            if (cell.kind == imports::Cell::Kind::Number)
                out.number(r - 1, c - 1, cell.number);
            else if (cell.kind == imports::Cell::Kind::Text)
                out.text(r - 1, c - 1, cell.text);
        }
    workbook.saveAs(path);
    return path;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const QDir folder = workFolder();
    bench::ExhibitionSize size;
    size.jueces = 6;
    const bench::Generated show = bench::generate(folder.path(), QStringLiteral("base.mdb"), size);
    const QString work = folder.filePath(QStringLiteral("work.mdb"));
    store::Database db;
    auto fresh = [&] {
        db = store::Database();
        QFile::remove(work);
        QFile::copy(show.exhibition, work);
        db = store::Database::open(work, store::schema::exhibition());
    };

    int stored = 0;
    for (const int rows : {999, 65000}) {
        const QString census = xlsWorkbook(QStringLiteral("reception"), rows);
        const QString judge = xlsWorkbook(QStringLiteral("scores"), rows);
        const QStringList formats =
            rows == 999 ? QStringList{"xls", "xlsx", "ods", "csv"} : QStringList{"xls", "xlsx"};
        for (const QString& format : formats) {
            const QString censusFile = format == u"xls" ? census : convert(census, format);
            const QString judgeFile = format == u"xls" ? judge : convert(judge, format);
            if (censusFile.isEmpty() || judgeFile.isEmpty()) {
                out << QStringLiteral("(.%1: soffice no está instalado)").arg(format) << Qt::endl;
                continue;
            }
            const int repetitions = rows > 999 ? 3 : 7;
            bench::report(QStringLiteral("recepción .%1, leer y grabar %2 filas").arg(format).arg(rows),
                          bench::measure(repetitions, fresh, [&] {
                              stored = imports::storeReception(db, imports::readReception(censusFile)).stored;
                          }));
            out << QStringLiteral("    %1 palomas grabadas").arg(stored) << Qt::endl;
            bench::report(QStringLiteral("puntuación .%1, leer y grabar %2 filas").arg(format).arg(rows),
                          bench::measure(repetitions, fresh, [&] {
                              const imports::ScoreSheet sheet = imports::readScores(judgeFile);
                              stored = imports::storeScores(db, sheet.rows, sheet.juez).stored;
                          }));
            out << QStringLiteral("    %1 jaulas pasadas").arg(stored) << Qt::endl;
        }
    }

    store::Database clubs = store::Database::open(show.clubs, store::schema::clubs());
    store::Recordset clubRs = clubs.openRecordset(QStringLiteral("select * from club "));
    int sheets = 0;
    bench::report(QStringLiteral("Exportar a Excel, 999 jaulas"), bench::measure(7, fresh, [&] {
                      sheets = output::exportXlsx(db, clubRs,
                                                  folder.filePath(QStringLiteral("Clasificaciones.xlsx")));
                  }));
    out << QStringLiteral("    %1 hojas grabadas").arg(sheets) << Qt::endl;
    db = store::Database();
    QFile::remove(work);
    return 0;
}
