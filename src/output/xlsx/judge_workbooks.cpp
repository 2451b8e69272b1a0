#include "output/xlsx/judge_workbooks.h"

#include "output/text_document.h"
#include "output/xlsx/workbook.h"
#include "rules/import/sheet_rows.h"
#include "rules/judging/judge_rows.h"
#include "store/database.h"
#include "store/error.h"

#include <QDir>
#include <QFileInfo>

namespace output
{

namespace
{

struct Bird {
    qint64 jaula = 0;
    QString grupo;
    QString sexo;
};

std::vector<Bird> scoredBirds(const store::Database& db)
{
    store::Statement birds = db.query(QStringLiteral(
        "SELECT jaula, grupo, sexo FROM Recepcion WHERE grupo IN ('A', 'B', 'C') ORDER BY jaula, rowid"));
    std::vector<Bird> all;
    while (birds.step())
        all.push_back({birds.value(0).toLongLong(), birds.text(1).trimmed(), birds.text(2).trimmed()});
    return all;
}

int configuredJudges(const store::Database& db)
{
    const int jueces = judging::ScoringRule::read(db).jueces;
    if (jueces < 1)
        throw store::Error(judging::judgeRangeRefusal(std::nullopt, 0));
    return jueces;
}

// The five criteria as the classification's heading names them.
const char* const criteria[] = {"Cabez-Ojos-Expr", "Osamen-Quilla-Horqui", "Espald-Rabadilla-Ucola",
                                "Equilib-Muscul", "Ala-Pluma"};

QByteArray judgeWorkbook(const std::vector<Bird>& birds, int judge, const QString& fileName)
{
    xlsx::Workbook workbook;
    workbook.setProperties(QStringLiteral("Puntuación del juez %1").arg(judge), QStringLiteral("Puntuación"));
    xlsx::Sheet sheet = workbook.addSheet(imports::sheetName());
    sheet.text(0, 0, QStringLiteral("Puntuación del juez"), workbook.bold());
    sheet.text(1, 0, QStringLiteral("Juez"), workbook.bold());
    sheet.number(1, 1, judge, workbook.bold());
    const QStringList headers = {QStringLiteral("Jaula"), QStringLiteral("Grupo"), QStringLiteral("Sexo")};
    for (int c = 0; c < int(headers.size()); ++c)
        sheet.text(imports::firstDataRow - 2, c, headers[c], workbook.bold());
    for (int c = 0; c < 5; ++c)
        sheet.text(imports::firstDataRow - 2, 8 + c, QString::fromUtf8(criteria[c]), workbook.bold());
    sheet.text(imports::firstDataRow - 2, 13, QStringLiteral("Total"), workbook.bold());
    sheet.columnWidth(3, 7, 2);
    sheet.columnWidth(8, 12, 14);
    sheet.freezeRowsAbove(imports::firstDataRow - 1);
    int row = imports::firstDataRow - 1;
    for (const Bird& bird : birds) {
        sheet.number(row, 0, double(bird.jaula));
        sheet.text(row, 1, bird.grupo);
        sheet.text(row, 2, bird.sexo);
        ++row;
    }
    return workbook.bytes(fileName);
}

} // namespace

int writeJudgeWorkbooks(const store::Database& db, const QString& folder)
{
    listings::DocumentSet workbooks(folder);
    const int judges = configuredJudges(db);
    const std::vector<Bird> birds = scoredBirds(db);
    for (int judge = 1; judge <= judges; ++judge) {
        const QString fileName = QStringLiteral("Juez %1.xlsx").arg(judge);
        workbooks.add(fileName, judgeWorkbook(birds, judge, fileName));
    }
    return workbooks.commit();
}

} // namespace output
