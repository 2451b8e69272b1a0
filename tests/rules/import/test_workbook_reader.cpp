// The workbook reader process and the program's side of it: the decoding of its answer; a reader
// that crashes, hangs, floods the pipe, exits with an error, answers garbage or refuses; the real
// reader's memory limit and end; and values of real workbooks as it hands them over. The refusals
// of real files and their messages: test_workbook_formats.

#include "lector/protocol.h"
#include "rules/import/workbook_reader.h"
#include "rules/import/worksheet.h"
#include "support/workbooks.h"

#include <QTemporaryDir>
#include <QTest>
#include <csignal>

using imports::Cell;

namespace
{

QByteArray answer(const QByteArray& body)
{
    return "PALOMAS-LECTOR 1\n" + body;
}

QString describe(const Cell& cell)
{
    QString text = cell.text;
    return cell.kind == Cell::Kind::Number ? "N " + QString::number(cell.number, 'g', 17)
           : cell.kind == Cell::Kind::Empty
               ? "empty"
               : "T «" + text.replace(QChar(0), "\\0").replace('\n', "\\n") + "»";
}

// The decoded answer in one line: each sheet with its size and cells, or the refusal; or why the
// answer was rejected whole.
QString decoded(const QByteArray& bytes)
{
    QStringList parts;
    try {
        const imports::ReaderAnswer answer = imports::decodeAnswer(bytes);
        if (const auto& refusal = answer.refusal)
            parts << QString("refusal %1 «%2» %3 %4 %5")
                         .arg(int(refusal->kind))
                         .arg(refusal->sheet)
                         .arg(refusal->numbers[0])
                         .arg(refusal->numbers[1])
                         .arg(refusal->numbers[2]);
        for (const imports::SheetCells& sheet : answer.sheets) {
            parts << QString("%1 %2x%3").arg(sheet.name).arg(sheet.rows).arg(sheet.columns);
            for (const auto& [key, cell] : sheet.cells)
                parts << QString("[%1,%2 %3]").arg(key >> 16).arg(key & 0xFFFF).arg(describe(cell));
        }
    } catch (const imports::AnswerError& e) {
        return e.otherVersion() ? "rejected: another version" : "rejected";
    }
    return parts.join(' ');
}

} // namespace

class TestWorkbookReader : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    // The message of the WorkbookError the reading raises; "" when it reads. The fake reader
    // (fake_lector.cpp) does what the workbook says.
    QString failure(const QByteArray& script, int timeoutMs = 20000, const QString& program = FAKE_LECTOR)
    {
        QFile file(m_dir.filePath("libro.xls"));
        if (!script.isNull() && (!file.open(QIODevice::WriteOnly) || file.write(script) != script.size()))
            qFatal("cannot write the script");
        file.close();
        imports::ReaderSetup setup;
        setup.program = program;
        setup.timeoutMs = timeoutMs;
        return failure(file.fileName(), setup);
    }
    static QString failure(const QString& path, const imports::ReaderSetup& setup)
    {
        try {
            imports::readWorkbook(path, setup);
        } catch (const imports::WorkbookError& e) {
            return e.message();
        }
        return {};
    }

private slots:
    // Anything out of place rejects the answer whole; only another version is told as such.
    void answers_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("decoded");
        const QByteArray sheet = "H 5:Hoja1 7 14\n";
        QByteArray sheets;
        for (quint32 i = 0; i <= lector::maxSheets; ++i)
            sheets += "H 1:h 0 0\n";
        const auto row = [](const char* name, const QByteArray& bytes, const QString& decoded = "rejected") {
            QTest::newRow(name) << bytes << decoded;
        };
        row("no sheets", answer("F 0 0\n"), "");
        row("a number and a text", answer(sheet + "N 5 1 12.5\nT 5 2 1:A\nF 1 2\n"),
            "Hoja1 7x14 [5,1 N 12.5] [5,2 T «A»]");
        row("a text holds any byte: blanks, a line end, a NUL",
            answer("H 1:h 1 1\nT 1 1 6: a\n" + QByteArray(1, '\0') + "b \nF 1 1\n"),
            "h 1x1 [1,1 T « a\\n\\0b »]");
        row("numbers that are not finite, and the largest",
            answer("H 1:h 1 4\nN 1 1 inf\nN 1 2 -inf\nN 1 3 nan\nN 1 4 1.7976931348623157e+308\nF 1 4\n"),
            "h 1x4 [1,1 N inf] [1,2 N -inf] [1,3 N nan] [1,4 N 1.7976931348623157e+308]");
        row("an emoji, and a byte order mark kept",
            answer("H 1:h 1 2\nT 1 1 6:x\xF0\x9F\x98\x80y\nT 1 2 3:\xEF\xBB\xBF\nF 1 2\n"),
            QString("h 1x2 [1,1 T «x\U0001F600y»] [1,2 T «\uFEFF»]"));
        row("two sheets, the second as large as a sheet can be",
            answer("H 7:Resumen 0 0\nH 5:Hoja1 1048576 16384\nN 1048576 16384 1\nF 2 1\n"),
            "Resumen 0x0 Hoja1 1048576x16384 [1048576,16384 N 1]");
        row("a refusal with its fields", answer("E texto 5:Hoja1 6 1 32000\nF 0 0\n"),
            "refusal 4 «Hoja1» 6 1 32000");
        const auto bad = [&](const char* name, const QByteArray& bytes) { row(name, bytes); };
        bad("nothing", "");
        bad("no end", answer(""));
        bad("another magic word", "PALOMAS-LECTURA 1\nF 0 0\n");
        row("version 2", "PALOMAS-LECTOR 2\nF 0 0\n", "rejected: another version");
        bad("version with a leading zero", "PALOMAS-LECTOR 01\nF 0 0\n");
        bad("a count with a leading zero", answer(sheet + "N 05 1 3\nF 1 1\n"));
        bad("a text longer than the answer", answer("H 100:Hoja1 7 14\nF 1 0\n"));
        bad("a text without its colon", answer("H 5 Hoja1 7 14\nF 1 0\n"));
        bad("a text not in UTF-8", answer(sheet + "T 5 1 1:\xFF\nF 1 1\n"));
        bad("an overlong UTF-8 form", answer(sheet + "T 5 1 2:\xC0\xAF\nF 1 1\n"));
        bad("a surrogate in UTF-8", answer(sheet + "T 5 1 3:\xED\xA0\x80\nF 1 1\n"));
        bad("UTF-8 cut short", answer(sheet + "T 5 1 2:\xE2\x82\nF 1 1\n"));
        bad("a text of 32,768 characters",
            answer(sheet + "T 5 1 32768:" + QByteArray(32768, 'a') + "\nF 1 1\n"));
        bad("a text longer than its bytes limit",
            answer(sheet + "T 5 1 98302:" + QByteArray(98302, 'a') + "\nF 1 1\n"));
        bad("a cell before any sheet", answer("N 1 1 5\nF 0 1\n"));
        bad("row 0", answer(sheet + "N 0 1 5\nF 1 1\n"));
        bad("column 0", answer(sheet + "N 1 0 5\nF 1 1\n"));
        bad("a row below the sheet", answer(sheet + "N 8 1 5\nF 1 1\n"));
        bad("a column right of the sheet", answer(sheet + "N 1 15 5\nF 1 1\n"));
        bad("cells out of order", answer(sheet + "N 5 2 5\nN 5 1 5\nF 1 2\n"));
        bad("a cell twice", answer(sheet + "N 5 1 5\nT 5 1 1:a\nF 1 2\n"));
        bad("a number with a comma", answer(sheet + "N 5 1 12,5\nF 1 1\n"));
        bad("a number in hexadecimal", answer(sheet + "N 5 1 0x10\nF 1 1\n"));
        bad("an empty number", answer(sheet + "N 5 1 \nF 1 1\n"));
        bad("a number of 33 characters", answer(sheet + "N 5 1 " + QByteArray(33, '1') + "\nF 1 1\n"));
        bad("more rows than a sheet has", answer("H 1:h 1048577 1\nF 1 0\n"));
        bad("more columns than a sheet has", answer("H 1:h 1 16385\nF 1 0\n"));
        bad("a count beyond 64 bits", answer("H 1:h 99999999999999999999999 1\nF 1 0\n"));
        bad("a sheet name of 256 characters", answer("H 256:" + QByteArray(256, 'h') + " 1 1\nF 1 0\n"));
        bad("more sheets than written", answer(sheet + "F 2 0\n"));
        bad("more cells than written", answer(sheet + "N 5 1 5\nF 1 2\n"));
        bad("bytes after the end", answer("F 0 0\nF 0 0\n"));
        bad("no line end at the end", answer("F 0 0"));
        bad("line ends of two bytes", "PALOMAS-LECTOR 1\r\nF 0 0\r\n");
        bad("two blanks", answer(sheet + "N 5  1 5\nF 1 1\n"));
        bad("an unknown record", answer(sheet + "X 5 1 5\nF 1 1\n"));
        bad("an unknown refusal", answer("E raro\nF 0 0\n"));
        bad("a refusal with sheets", answer("E formato\nF 1 0\n"));
        bad("a refusal with a field missing", answer("E dimensiones 5:Hoja1 7\nF 0 0\n"));
        bad("rows beyond any sheet", answer("E filas 5:Hoja1 1048578\nF 0 0\n"));
        bad("separators without their row", answer("E separadores\nF 0 0\n"));
        bad("an empty file with a field", answer("E vacio 0\nF 0 0\n"));
        bad("a refusal after a sheet", answer(sheet + "E formato\nF 0 0\n"));
        bad("a refusal without its end", answer("E formato\n"));
        bad("4,097 sheets", answer(sheets + "F 4097 0\n"));
    }
    void answers()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, decoded);
        QCOMPARE(::decoded(bytes), decoded);
    }

    // Whatever goes wrong with the process itself is told the same way, and a refusal by its cause.
    void readerFailures_data()
    {
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<int>("timeoutMs");
        QTest::addColumn<QString>("message");
        const QString damaged = "El libro «libro.xls» está dañado o no se puede leer.";
        const auto row = [&](const char* name, const QByteArray& script, const QString& message,
                             int timeoutMs = 20000) {
            QTest::newRow(name) << script << timeoutMs << message;
        };
        row("a crash", "segv", damaged);
        row("an abort", "abort", damaged);
        row("an answer, then an exit with an error", "exit3 " + answer("F 0 0\n"), damaged);
        row("no answer within the time limit", "hang", damaged, 300);
        row("more than the program receives", "flood", damaged, 60000);
        row("garbage", "Hola, soy un libro.\n", damaged);
        row("an answer cut short", answer("H 5:Hoja1 7 14\nN 5 1 1"), damaged);
        row("damaged, said by the reader", answer("E danado\nF 0 0\n"), damaged);
        row("a reader of another version", "PALOMAS-LECTOR 2\nF 0 0\n",
            QString(
                "El lector de libros «%1» no es de esta versión del programa: vuelva a instalar el programa.")
                .arg(QDir::toNativeSeparators(FAKE_LECTOR)));
        row("too many cells", answer("E tamano 20000000\nF 0 0\n"),
            "El libro «libro.xls» es demasiado grande para leerlo: sus hojas dicen tener 20.000.000 celdas.");
        row("a file too large", answer("E tamano 0\nF 0 0\n"),
            "El libro «libro.xls» es demasiado grande para leerlo.");
        row("a long text in no cell", answer("E texto 0: 0 0 20000\nF 0 0\n"),
            "El libro «libro.xls» tiene un texto de 20.000 caracteres, más de los que se pueden leer.");
    }
    void readerFailures()
    {
        QFETCH(QByteArray, script);
        QFETCH(int, timeoutMs);
        QFETCH(QString, message);
        QCOMPARE(failure(script, timeoutMs), message);
    }

    // A missing reader is named; while the reader works, the window is told over and over, so
    // that it keeps drawing itself.
    void missingOrSlowReader()
    {
        const QString missing = m_dir.filePath("no-lector");
        QCOMPARE(failure("segv", 20000, missing),
                 QString("No se encuentra el lector de libros «%1»: vuelva a instalar el programa.")
                     .arg(QDir::toNativeSeparators(missing)));
        imports::ReaderSetup setup{FAKE_LECTOR, 600};
        int told = 0;
        setup.waiting = [&] { ++told; };
        failure("hang");
        QCOMPARE(failure(m_dir.filePath("libro.xls"), setup),
                 "El libro «libro.xls» está dañado o no se puede leer.");
        QVERIFY2(told >= 5, qPrintable(QString::number(told)));
    }

    // The real reader ends with the program that started it, even killed: here the program is a
    // shell that gives its own process as --padre, and the reader waits on a pipe nobody writes.
    void theRealReaderEndsWithItsProgram()
    {
        const QString fifo = m_dir.filePath("tuberia.csv");
        QCOMPARE(QProcess::execute("mkfifo", {fifo}), 0);
        QProcess shell;
        shell.start("/bin/sh",
                    {"-c", "\"$0\" --padre $$ -- \"$1\" & echo $!; wait", imports::readerProgram(), fifo});
        QVERIFY(shell.waitForReadyRead(20000));
        const qint64 reader = shell.readLine().trimmed().toLongLong();
        const auto running = [reader] {
            QFile stat(QString("/proc/%1/stat").arg(reader));
            return stat.open(QIODevice::ReadOnly) && !stat.readAll().contains(") Z "); // a zombie has ended
        };
        QVERIFY(reader > 0 && running());
        QTest::qWait(300); // waiting on the pipe by now, its parent still the shell
        shell.kill();
        shell.waitForFinished();
        const bool ended = QTest::qWaitFor([&] { return !running(); }, 10000);
        if (!ended)
            ::kill(pid_t(reader), SIGKILL);
        QVERIFY(ended);
    }

    // The real reader gives itself the memory it is told: a census it reads with the usual limit
    // fails with 1 MB, as a workbook that exhausts the memory would.
    void theRealReaderKeepsWithinItsMemory()
    {
#if defined(__SANITIZE_ADDRESS__)
        QSKIP("Under AddressSanitizer the reader sets no memory limit: the sanitizer reserves terabytes.");
#endif
        const QString census = m_dir.filePath("censo.xls");
        QCOMPARE(QProcess::execute("/usr/bin/python3", {workbooks::script(), "reception", census, "2000"}),
                 0);
        imports::ReaderSetup setup = imports::defaultReaderSetup();
        QCOMPARE(imports::readWorkbook(census, setup).at(0).rows, 2004);
        setup.memoryMb = 1;
        QCOMPARE(failure(census, setup), "El libro «censo.xls» está dañado o no se puede leer.");
    }

    // Each value as a spreadsheet stores it, as the real reader hands it over: one row of a sheet.
    void valuesAsRead()
    {
        const QList<std::pair<QVariant, QString>> values = {
            {12, "N 12"},
            {-5, "N -5"},
            {2147483648.0, "N 2147483648"},
            {8.35, "N 8.3499999999999996"},
            {1e308, "N 1e+308"},
            {QVariantMap{{"n", "-inf"}}, "N -inf"},
            {QVariantMap{{"n", "nan"}}, "N nan"},
            {"Peña", "T «Peña»"},
            {" 12 ", "T « 12 »"},
            {QString("x\U0001F600y"), QString("T «x\U0001F600y»")},
            {QString("12") + QChar(0) + " 34", "T «12\\0 34»"},
            {"a\nb", "T «a\\nb»"},
            {QString(16000, 'a'), "T «" + QString(16000, 'a') + "»"}};
        QVariantList cells;
        for (const auto& [written, read] : values)
            cells << written;
        workbooks::write(m_dir.filePath("celdas.xls"), {{5, cells}});
        const imports::Worksheet sheet = imports::Worksheet::open(m_dir.filePath("celdas.xls"), "Hoja1");
        for (int column = 1; column <= values.size(); ++column)
            QCOMPARE(describe(sheet.cell(5, column)), values[column - 1].second);
    }

    // FreeXL completes a text begun in one record in the next one and no further: a text spread
    // over three records would be read wrong (cut, or past the record), so the reader refuses it,
    // naming the cell. A census's "a" of 16,428 characters and the "€" after it still fit.
    void textsOverThreeRecords_data()
    {
        QTest::addColumn<int>("length");   // of the text in A5; A7 holds half as many "€"
        QTest::addColumn<QString>("read"); // the lengths read, or the refusal
        const QString refused = "La celda %1 de la hoja «Hoja1» del libro «largo.xls» tiene un texto de %2 "
                                "caracteres, más de los que se pueden leer.";
        QTest::newRow("both within two records") << 16428 << "16428 8214";
        QTest::newRow("A5 over three records") << 16444 << refused.arg("A5", "16.444");
        QTest::newRow("A7 over three records") << 16300 << refused.arg("A7", "8.150");
    }
    void textsOverThreeRecords()
    {
        QFETCH(int, length);
        QFETCH(QString, read);
        const QString path = m_dir.filePath("largo.xls");
        workbooks::write(path, {{5, {QString(length, u'a')}}, {6, {"b"}}, {7, {QString(length / 2, u'€')}}});
        try {
            const imports::Worksheet sheet = imports::Worksheet::open(path, "Hoja1");
            QCOMPARE(
                QString("%1 %2").arg(sheet.cell(5, 1).text.size()).arg(sheet.cell(7, 1).text.count(u'€')),
                read);
        } catch (const imports::WorkbookError& e) {
            QCOMPARE(e.message(), read);
        }
    }
};

QTEST_GUILESS_MAIN(TestWorkbookReader)
#include "test_workbook_reader.moc"
