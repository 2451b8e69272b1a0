// The reading of workbooks by the reader's core, in the test's process: .csv files byte for byte
// (separators, quotes, encodings and line ends as spreadsheets write them), and .xlsx and .ods
// packages made of a few lines of XML with the markup that writers differ in; one case a row.

#include "lector/csv_book.h"
#include "lector/xml_book.h"
#include "rules/import/workbook_answer.h"

#include <QProcess>
#include <QTest>

namespace
{

// A package of the parts given ("name", "content", ...), zipped in that order by Python.
QByteArray package(const QStringList& parts)
{
    QProcess python;
    python.start("/usr/bin/python3",
                 QStringList{"-c", "import io, sys, zipfile\n"
                                   "out, p = io.BytesIO(), sys.argv[1:]\n"
                                   "with zipfile.ZipFile(out, 'w', zipfile.ZIP_DEFLATED) as z:\n"
                                   "    for i in range(0, len(p), 2): z.writestr(p[i], p[i + 1])\n"
                                   "sys.stdout.buffer.write(out.getvalue())\n"} +
                     parts);
    if (!python.waitForFinished(60000) || python.exitCode() != 0)
        qFatal("python: %s", python.readAllStandardError().constData());
    return python.readAllStandardOutput();
}

// (moc misreads raw strings that hold an odd number of quotes: each below holds an even one.)
QByteArray xlsx(const QString& sheetData, const QString& sharedStrings = {})
{
    const QString ns = R"(xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main")";
    const QString type = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
    const QString rels =
        R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
        R"(<Relationship Id="rId1" Type="%1/%2" Target="%3"/>%4</Relationships>)";
    QStringList parts = {
        "_rels/.rels",
        rels.arg(type, "officeDocument", "xl/workbook.xml", ""),
        "xl/workbook.xml",
        QString(R"(<workbook %1 xmlns:r="%2"><sheets><sheet name="Hoja1" sheetId="1" r:id="rId1"/></sheets>)")
                .arg(ns, type) +
            "</workbook>",
        "xl/_rels/workbook.xml.rels",
        rels.arg(type, "worksheet", "worksheets/sheet1.xml",
                 QString(R"(<Relationship Id="rId2" Type="%1/sharedStrings" Target="sharedStrings.xml"/>)")
                     .arg(type)),
        "xl/worksheets/sheet1.xml",
        "<worksheet " + ns + "><sheetData>" + sheetData + "</sheetData></worksheet>"};
    if (!sharedStrings.isEmpty())
        parts << "xl/sharedStrings.xml"
              << "<sst " + ns + ">" + sharedStrings + "</sst>";
    return package(parts);
}

QByteArray odsPackage(const QString& rows)
{
    return package(
        {"mimetype", "application/vnd.oasis.opendocument.spreadsheet", "content.xml",
         R"(<office:document-content xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" )"
         R"(xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" )"
         R"(xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"><office:body>)"
         R"(<office:spreadsheet><table:table table:name="Hoja1">)" +
             rows + "</table:table></office:spreadsheet></office:body></office:document-content>"});
}

// The sheets as their name, then their cells as "row,column=" N and the number or T and the text,
// in order; or the refusal's code and first number.
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
            cells << QStringLiteral("%1,%2=%3")
                         .arg(key >> 16)
                         .arg(key & 0xFFFF)
                         .arg(cell.kind == imports::Cell::Kind::Number
                                  ? "N" + QString::number(cell.number, 'g', 17)
                                  : "T" + cell.text);
    }
    return cells.join(u' ');
}

} // namespace

class TestSheetReading : public QObject
{
    Q_OBJECT

private slots:
    void csvCells_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("cells");
        const auto row = [](const char* name, const QByteArray& file, const QString& cells) {
            QTest::newRow(name) << file << cells;
        };
        row("semicolons, decimal commas kept", "12;A;9,5\n13;B;8,25\n",
            "Hoja1 1,1=T12 1,2=TA 1,3=T9,5 2,1=T13 2,2=TB 2,3=T8,25");
        row("commas, decimal points", "12,A,9.5\n13,B,8.25\n",
            "Hoja1 1,1=T12 1,2=TA 1,3=T9.5 2,1=T13 2,2=TB 2,3=T8.25");
        row("a semicolon on a later first line wins", "Censo, 2024\n\nJaula;Grupo\n1;A\n",
            "Hoja1 1,1=TCenso, 2024 3,1=TJaula 3,2=TGrupo 4,1=T1 4,2=TA");
        row("quoted separators and line ends", "\"a;b\";\"dos\nlíneas\";c\n",
            "Hoja1 1,1=Ta;b 1,2=Tdos\nlíneas 1,3=Tc");
        row("doubled quotes", "\"dijo \"\"hola\"\"\";x\n", "Hoja1 1,1=Tdijo \"hola\" 1,2=Tx");
        row("empty fields keep their columns", ";;3;\n;B\n", "Hoja1 1,3=T3 2,2=TB");
        row("CR LF line ends", "1;A\r\n2;B\r\n", "Hoja1 1,1=T1 1,2=TA 2,1=T2 2,2=TB");
        row("CR alone as line ends (Excel for Mac)", "1;A\r2;B\r\r4;D",
            "Hoja1 1,1=T1 1,2=TA 2,1=T2 2,2=TB 4,1=T4 4,2=TD");
        row("no line end at the end", "1;A\n2;B", "Hoja1 1,1=T1 1,2=TA 2,1=T2 2,2=TB");
        row("UTF-8 with its byte order mark", "\xEF\xBB\xBFJos\xC3\xA9;Mu\xC3\xB1oz\n",
            "Hoja1 1,1=TJosé 1,2=TMuñoz");
        // Every byte of 0x80 to 0x9F: the 27 characters of the code page, and the 5 it leaves
        // undefined kept as the C1 controls of their code.
        QByteArray high;
        for (int byte = 0x80; byte <= 0x9F; ++byte)
            high += char(byte);
        row("Windows-1252", "Jos\xE9;Mu\xF1oz;" + high + "\n",
            "Hoja1 1,1=TJosé 1,2=TMuñoz 1,3=T€\u0081‚ƒ„…†‡ˆ‰Š‹Œ\u008DŽ\u008F"
            "\u0090‘’“”•–—˜™š›œ\u009DžŸ");
        // One byte that is not UTF-8 spoils its own text, never the letters of the whole file.
        row("UTF-8 with one byte that is not", "Jos\xC3\xA9;Mu\xF1oz\n", "Hoja1 1,1=TJosé 1,2=TMu\uFFFDoz");
        row("blank lines keep their rows", "1;A\n\n\n4;D\n", "Hoja1 1,1=T1 1,2=TA 4,1=T4 4,2=TD");
        row("mixed separators", "Jaula;Grupo;Sexo\n1;A;M\n2,B,H\n", "refusal 7 3");
        // A semicolon among the first lines makes it the separator: the comma lines before it are
        // the ones that differ.
        row("comma lines, then a semicolon line", "Jaula,Grupo,Sexo\n1,A,M\n2;B;H\n", "refusal 7 1");
        row("a decimal comma alone is no separator", "Jaula;Puntos\n9,5\n1;8,5\n",
            "Hoja1 1,1=TJaula 1,2=TPuntos 2,1=T9,5 3,1=T1 3,2=T8,5");
        row("a value on the last row an import takes", QByteArray(65535, '\n') + "1\n", "Hoja1 65536,1=T1");
        row("a value beyond it", QByteArray(65536, '\n') + "1\n", "refusal 6 65537");
        row("a NUL byte", QByteArray("1;A\n2;\0B\n", 9), "refusal 5 0");
        row("a quote never closed", "1;\"A\n2;B\n", "refusal 5 0");
    }
    void csvCells()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, cells);
        QCOMPARE(describe(lector::readCsv(std::string_view(file.constData(), std::size_t(file.size())))),
                 cells);
    }

    // .xlsx: the sheet's rows, then its shared strings after a "|"; .ods: the table's rows.
    void packageCells_data()
    {
        QTest::addColumn<bool>("ods");
        QTest::addColumn<QString>("xml");
        QTest::addColumn<QString>("cells");
        const auto xlsx = [](const char* name, const char* xml, const char* cells) {
            QTest::newRow(name) << false << xml << cells;
        };
        xlsx("numbers, whole and decimal",
             R"(<row r="5"><c r="A5"><v>12</v></c><c r="N5" t="n"><v>9.5</v></c></row>)",
             "Hoja1 5,1=N12 5,14=N9.5");
        xlsx("shared, inline and formula texts",
             R"(<row r="1"><c r="A1" t="s"><v>1</v></c><c r="B1" t="inlineStr"><is><t>en línea</t></is></c>)"
             R"(<c r="C1" t="str"><f>A1&amp;"x"</f><v>Bx</v></c></row>)"
             R"(|<si><t>A</t></si><si><r><t>B</t></r><r><t>x</t></r><rPh><t>fonética</t></rPh></si>)",
             "Hoja1 1,1=TBx 1,2=Ten línea 1,3=TBx");
        xlsx("formula by its saved value; none saved, no cell",
             R"(<row r="5"><c r="N5"><f>SUM(I5:M5)</f><v>92</v></c><c r="M5"><f>1+1</f></c></row>)",
             "Hoja1 5,14=N92");
        xlsx("booleans, errors and dates",
             R"(<row r="2"><c r="A2" t="b"><v>1</v></c><c r="B2" t="e"><v>#DIV/0!</v></c>)"
             R"(<c r="C2" t="d"><v>2024-03-01T00:00:00</v></c></row>)",
             "Hoja1 2,1=N1 2,2=T#DIV/0! 2,3=T2024-03-01");
        xlsx("rows and cells without their place",
             R"(<row><c><v>1</v></c><c><v>2</v></c></row><row><c><v>3</v></c></row>)"
             R"(<row r="9"><c r="C9"><v>4</v></c><c><v>5</v></c></row>)",
             "Hoja1 1,1=N1 1,2=N2 2,1=N3 9,3=N4 9,4=N5");
        xlsx(
            "Office's escapes in texts",
            R"(<row r="1"><c r="A1" t="s"><v>0</v></c><c r="B1" t="inlineStr"><is><t>_x004D_</t></is></c></row>)"
            R"(|<si><t>Pe_x00F1_a_x005F_x0041_</t></si>)",
            "Hoja1 1,1=TPeña_x0041_ 1,2=TM");
        xlsx("a cell that names another row",
             R"(<row r="5"><c r="A5"><v>1</v></c></row><row r="6"><c r="A4"><v>2</v></c></row>)",
             "refusal 5 0");
        xlsx("a row beyond 65,536", R"(<row r="65537"><c r="A65537"><v>1</v></c></row>)", "refusal 6 65537");
        xlsx("a shared string that is not there",
             R"(<row r="1"><c r="A1" t="s"><v>7</v></c></row>|<si><t>A</t></si>)", "refusal 5 0");
        xlsx("a number that is not one", R"(<row r="1"><c r="A1"><v>doce</v></c></row>)", "refusal 5 0");
        xlsx("malformed XML", R"(<row r="1"><c r="A1"><v>1</v></row>)", "refusal 5 0");

        const auto ods = [](const char* name, const QString& xml, const char* cells) {
            QTest::newRow(name) << true << xml << cells;
        };
        const QString text =
            R"(<table:table-cell office:value-type="string"><text:p>%1</text:p></table:table-cell>)";
        const QString row = "<table:table-row>%1</table:table-row>";
        ods("numbers and texts",
            row.arg(R"(<table:table-cell office:value-type="float" office:value="12"/>)" + text.arg("A") +
                    R"(<table:table-cell office:value-type="percentage" office:value="0.5"/>)"),
            "Hoja1 1,1=N12 1,2=TA 1,3=N0.5");
        // Calc ends every sheet with a million empty rows in one element.
        ods("repeated cells and rows",
            R"(<table:table-row table:number-rows-repeated="2"><table:table-cell table:number-columns-repeated="2"/>)"
            R"(<table:table-cell table:number-columns-repeated="2" office:value-type="float" office:value="7"/>)"
            "</table:table-row>" +
                row.arg(text.arg("fin")) +
                R"(<table:table-row table:number-rows-repeated="1048570">)"
                R"(<table:table-cell table:number-columns-repeated="1024"/></table:table-row>)",
            "Hoja1 1,3=N7 1,4=N7 2,3=N7 2,4=N7 3,1=Tfin");
        ods("blanks, tabs, line breaks, paragraphs, spans",
            row.arg(text.arg(R"(a<text:s text:c="3"/>b<text:tab/>c<text:line-break/><text:span>d</text:span>)"
                             "</text:p><text:p>e")),
            "Hoja1 1,1=Ta   b\tc\nd\ne");
        ods("dates, booleans, and a comment left out",
            row.arg(R"(<table:table-cell office:value-type="date" office:date-value="2024-03-01"/>)"
                    R"(<table:table-cell office:value-type="boolean" office:boolean-value="true"/>)"
                    R"(<table:table-cell office:value-type="float" office:value="3"><office:annotation>)"
                    R"(<text:p>nota</text:p></office:annotation><text:p>3</text:p></table:table-cell>)"),
            "Hoja1 1,1=T2024-03-01 1,2=N1 1,3=N3");
        ods("rows in a group",
            "<table:table-row-group>" + row.arg(text.arg("x")) + "</table:table-row-group>", "Hoja1 1,1=Tx");
        ods("a value repeated beyond row 65,536",
            R"(<table:table-row table:number-rows-repeated="70000">)" + text.arg("x") + "</table:table-row>",
            "refusal 6 65537");
    }
    void packageCells()
    {
        QFETCH(bool, ods);
        QFETCH(QString, xml);
        QFETCH(QString, cells);
        const QByteArray bytes = ods ? odsPackage(xml) : xlsx(xml.section(u'|', 0, 0), xml.section(u'|', 1));
        const std::string_view view(bytes.constData(), std::size_t(bytes.size()));
        QCOMPARE(describe(ods ? lector::readOds(view) : lector::readXlsx(view)), cells);
    }
};

QTEST_GUILESS_MAIN(TestSheetReading)
#include "test_sheet_reading.moc"
