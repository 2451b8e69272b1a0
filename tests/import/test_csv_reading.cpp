// The reading of .csv files by the reader's core, byte for byte: the separator found from the
// first lines, quotes, encodings and line ends as spreadsheets write them, and the files refused.

#include "lector/csv_book.h"
#include "rules/import/workbook_answer.h"

#include <QTest>

using imports::Cell;

namespace
{

// The sheet's cells as "row,column=text" in order, or the refusal's code and first number.
QString describe(const std::string& answer)
{
    const imports::ReaderAnswer decoded =
        imports::decodeAnswer(QByteArrayView(answer.data(), qsizetype(answer.size())));
    if (decoded.refusal)
        return QStringLiteral("refusal %1 %2")
            .arg(int(decoded.refusal->kind))
            .arg(decoded.refusal->numbers[0]);
    QStringList cells;
    for (const imports::SheetCells& sheet : decoded.sheets) {
        cells << sheet.name;
        for (const auto& [key, cell] : sheet.cells)
            cells << QStringLiteral("%1,%2=%3").arg(key >> 16).arg(key & 0xFFFF).arg(cell.text);
    }
    return cells.join(u' ');
}

} // namespace

class TestCsvReading : public QObject
{
    Q_OBJECT

private slots:
    void cells_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("cells");
        QTest::newRow("semicolons, decimal commas kept")
            << QByteArray("12;A;9,5\n13;B;8,25\n") << "Hoja1 1,1=12 1,2=A 1,3=9,5 2,1=13 2,2=B 2,3=8,25";
        QTest::newRow("commas, decimal points")
            << QByteArray("12,A,9.5\n13,B,8.25\n") << "Hoja1 1,1=12 1,2=A 1,3=9.5 2,1=13 2,2=B 2,3=8.25";
        QTest::newRow("a semicolon on a later first line wins")
            << QByteArray("Censo, 2024\n\nJaula;Grupo\n1;A\n")
            << "Hoja1 1,1=Censo, 2024 3,1=Jaula 3,2=Grupo 4,1=1 4,2=A";
        QTest::newRow("quoted separators and line ends")
            << QByteArray("\"a;b\";\"dos\nlíneas\";c\n") << "Hoja1 1,1=a;b 1,2=dos\nlíneas 1,3=c";
        QTest::newRow("doubled quotes")
            << QByteArray("\"dijo \"\"hola\"\"\";x\n") << "Hoja1 1,1=dijo \"hola\" 1,2=x";
        QTest::newRow("empty fields keep their columns") << QByteArray(";;3;\n;B\n") << "Hoja1 1,3=3 2,2=B";
        QTest::newRow("CR LF line ends") << QByteArray("1;A\r\n2;B\r\n") << "Hoja1 1,1=1 1,2=A 2,1=2 2,2=B";
        QTest::newRow("no line end at the end") << QByteArray("1;A\n2;B") << "Hoja1 1,1=1 1,2=A 2,1=2 2,2=B";
        QTest::newRow("UTF-8 with its byte order mark")
            << QByteArray("\xEF\xBB\xBFJos\xC3\xA9;Mu\xC3\xB1oz\n") << "Hoja1 1,1=José 1,2=Muñoz";
        QTest::newRow("Windows-1252")
            << QByteArray("Jos\xE9;Mu\xF1oz;\x80 5\n") << "Hoja1 1,1=José 1,2=Muñoz 1,3=€ 5";
        QTest::newRow("blank lines keep their rows")
            << QByteArray("1;A\n\n\n4;D\n") << "Hoja1 1,1=1 1,2=A 4,1=4 4,2=D";
        QTest::newRow("mixed separators") << QByteArray("Jaula;Grupo;Sexo\n1;A;M\n2,B,H\n") << "refusal 7 3";
        // A semicolon among the first lines makes it the separator: the comma lines before it are
        // the ones that differ.
        QTest::newRow("comma lines, then a semicolon line")
            << QByteArray("Jaula,Grupo,Sexo\n1,A,M\n2;B;H\n") << "refusal 7 1";
        QTest::newRow("a decimal comma alone is no separator")
            << QByteArray("Jaula;Puntos\n9,5\n1;8,5\n") << "Hoja1 1,1=Jaula 1,2=Puntos 2,1=9,5 3,1=1 3,2=8,5";
        QTest::newRow("a NUL byte") << QByteArray("1;A\n2;\0B\n", 9) << "refusal 5 0";
        QTest::newRow("a quote never closed") << QByteArray("1;\"A\n2;B\n") << "refusal 5 0";
    }
    void cells()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, cells);
        QCOMPARE(describe(lector::readCsv(std::string_view(file.constData(), std::size_t(file.size())))),
                 cells);
    }
};

QTEST_GUILESS_MAIN(TestCsvReading)
#include "test_csv_reading.moc"
