// The TXT documents: names, lines, centring, Windows-1252 bytes, CR LF, the path rule, and a
// document that cannot be written.

#include "listings/text_document.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace
{

listings::Listing listing(listings::ListingKind kind, const QString& label3)
{
    listings::Listing l;
    l.kind = kind;
    l.titles = {"caption", "  Exposición Regional  ",
                kind == listings::ListingKind::Province ? "" : "Clasificación General", label3};
    return l;
}

QStringList documentTextLines(const QByteArray& bytes)
{
    QStringList lines = QString::fromLatin1(bytes).split("\r\n");
    if (lines.last().isEmpty())
        lines.removeLast(); // after the last line's CR LF
    return lines;
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestTextDocument : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void fileNames_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("label3");
        QTest::addColumn<QString>("fileName");
        QTest::newRow("group A males") << int(listings::ListingKind::Classification) << "Grupo A Machos"
                                       << "Grupo A Machos.txt";
        QTest::newRow("label trimmed") << int(listings::ListingKind::Classification) << "  Grupo C Hembras "
                                       << "Grupo C Hembras.txt";
        QTest::newRow("group D category C") << int(listings::ListingKind::GroupD) << "Grupo D  Categoria C"
                                            << "sport DCategC.txt";
        QTest::newRow("group D category A") << int(listings::ListingKind::GroupD) << "Grupo D  Categoria A"
                                            << "sport DCategA.txt";
        QTest::newRow("provinces") << int(listings::ListingKind::Province) << "Clasificación Por Provincia"
                                   << "Clasificación Por Provincia.txt";
    }
    void fileNames()
    {
        QFETCH(int, kind);
        QFETCH(QString, label3);
        QFETCH(QString, fileName);
        QCOMPARE(listings::documentFileName(listing(listings::ListingKind(kind), label3)), fileName);
    }

    void centring_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("blanks");
        QTest::newRow("20: 37.5 goes to 38") << 20 << 38;
        QTest::newRow("21: 37") << 21 << 37;
        QTest::newRow("22: 36.5 goes to 36") << 22 << 36;
        QTest::newRow("14") << 14 << 40; // 40.5 to the even 40
        QTest::newRow("94: 0.5 goes to 0") << 94 << 0;
        QTest::newRow("93: 1") << 93 << 1;
        QTest::newRow("longer than the line") << 120 << 0;
    }
    void centring()
    {
        QFETCH(int, length);
        QFETCH(int, blanks);
        const QString title(length, 'x');
        QCOMPARE(listings::centredTitle(title), QString(blanks, ' ') + title);
    }

    void classificationDocument()
    {
        listings::Listing l = listing(listings::ListingKind::Classification, " Grupo A Machos ");
        l.text = " Clasf  Nº Anilla\r\n* 1     0012345-05\r\n\r\n";
        const QByteArray bytes = listings::documentBytes(l);
        const QStringList lines = documentTextLines(bytes);
        QCOMPARE(lines.size(), 10);
        QCOMPARE(lines[0], QString(95, ' '));
        QCOMPARE(lines[1], QString(95, ' '));
        QCOMPARE(lines[2], QString(38, ' ') + QString::fromLatin1("Exposici\xf3n Regional"));
        QCOMPARE(lines[3], QString(37, ' ') + QString::fromLatin1("Clasificaci\xf3n General"));
        QCOMPARE(lines[4], QString(40, ' ') + "Grupo A Machos");
        QCOMPARE(lines[5], QString(95, ' '));
        QCOMPARE(lines.mid(6),
                 (QStringList{QString::fromLatin1(" Clasf  N\xba Anilla"), "* 1     0012345-05", "", ""}));
        QVERIFY(bytes.endsWith("0012345-05\r\n\r\n\r\n"));
        QCOMPARE(bytes.count("\r\n"), 10);
        QCOMPARE(bytes.count('\n'), 10);
        QVERIFY(bytes.contains("Exposici\xf3n"));
        QVERIFY(bytes.contains("N\xba Anilla"));
    }

    void groupDDocument()
    {
        listings::Listing l = listing(listings::ListingKind::GroupD, "Grupo D  Categoria B");
        l.groupD.push_back(
            {1, " 05-1234567X", "123", "1.234,56", "Francisco Javier Fernández de la Rosa", "12"});
        l.groupD.push_back({10, "05-7", "9", "3,46", "Ana", "345"});
        const QStringList lines = documentTextLines(listings::documentBytes(l));
        QCOMPARE(lines.size(), 10);
        QCOMPARE(lines.mid(5, 2), (QStringList{QString(95, ' '), QString(95, ' ')}));
        QCOMPARE(lines[7], " Orden  Jaula      Anilla       Concursos    Coeficiente    Socio");
        const QString first = lines[8];
        QCOMPARE(first.size(), 88);
        QCOMPARE(first.left(18), "  1       12      ");
        QCOMPARE(first.mid(18, 10), " 05-123456"); // as listed, not trimmed, cut at 10
        QCOMPARE(first.mid(35, 2), "12");          // cut at 2
        QCOMPARE(first.mid(46, 6), "1.234,");      // cut at 6
        QCOMPARE(first.mid(58), QString::fromLatin1("Francisco Javier Fern\xe1ndez de "));
        QCOMPARE(lines[9],
                 "  10      345     05-7             9          3,46        Ana" + QString(27, ' '));
    }

    void provinceDocument()
    {
        listings::Listing l = listing(listings::ListingKind::Province, "Clasificación Por Provincia");
        l.provinces.push_back({1, " Toledo ", "16"});
        l.provinces.push_back({2, "Una provincia de nombre muy largo", "1234"});
        const QStringList lines = documentTextLines(listings::documentBytes(l));
        QCOMPARE(lines.size(), 10);
        QCOMPARE(lines[2], QString(38, ' ') + QString::fromLatin1("Exposici\xf3n Regional"));
        QCOMPARE(lines[3], QString(95, ' '));
        QCOMPARE(lines[4], QString(34, ' ') + QString::fromLatin1("Clasificaci\xf3n Por Provincia"));
        QCOMPARE(lines.mid(5, 2), (QStringList{QString(95, ' '), QString(95, ' ')}));
        QCOMPARE(lines[7], " Orden     Provincia                     Puntos");
        QCOMPARE(lines[8], "  1         Toledo                         16");
        QCOMPARE(lines[8].size(), 45);
        QCOMPARE(lines[9], "  2         Una provincia de nombre m     1234");
    }

    void windows1252_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("accents and ordinal") << "óñÁº" << QByteArray("\xf3\xf1\xc1\xba");
        QTest::newRow("euro and dashes") << "€–—" << QByteArray("\x80\x96\x97");
        QTest::newRow("not in the code page") << "Ωx" << QByteArray("?x");
        QTest::newRow("outside the basic plane is one character")
            << QString::fromUtf8("a\xf0\x9f\x90\xa6") << QByteArray("a?");
    }
    void windows1252()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(listings::toWindows1252(text), bytes);
    }

    void documentPath_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected"); // inside the program folder
        QTest::newRow("empty box") << ""
                                   << "Unidades/A/Grupo A Machos.txt";
        QTest::newRow("A:\\") << "A:\\"
                              << "Unidades/A/Grupo A Machos.txt";
        QTest::newRow("A:") << "A:"
                            << "Unidades/A/Grupo A Machos.txt";
        QTest::newRow("folder with its final \\") << "C:\\listados\\"
                                                  << "Unidades/C/listados/Grupo A Machos.txt";
        QTest::newRow("folder without final \\") << "C:\\listados"
                                                 << "Unidades/C/listadosGrupo A Machos.txt";
        QTest::newRow("relative folder") << "salida/"
                                         << "salida/Grupo A Machos.txt";
    }
    void documentPath()
    {
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        QCOMPARE(listings::documentPath(typed, "Grupo A Machos.txt", m_dir.path()),
                 QDir(m_dir.path()).filePath(expected));
    }

    void writingReplacesAnExistingFile()
    {
        const QString path = QDir(m_dir.path()).filePath("doc.txt");
        listings::writeFile(path, "first version, longer\r\n");
        listings::writeFile(path, "second\r\n");
        QCOMPARE(readAll(path), QByteArray("second\r\n"));
    }

    void unwritableDocumentsAreReported_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing folder") << "no/such/folder/doc.txt"
                                        << "no existe";
        QTest::newRow("a folder of that name") << "carpeta"
                                               << "No se ha podido grabar el archivo carpeta";
    }
    void unwritableDocumentsAreReported()
    {
        QFETCH(QString, path);
        QFETCH(QString, message);
        QDir(m_dir.path()).mkpath("carpeta");
        const QString full = QDir(m_dir.path()).filePath(path);
        try {
            listings::writeFile(full, "x");
            QFAIL("no error");
        } catch (const listings::OutputError& e) {
            QVERIFY2(e.message().contains(message), qPrintable(e.message()));
        }
        QVERIFY(!QFileInfo(full).isFile());
    }
};

QTEST_GUILESS_MAIN(TestTextDocument)
#include "test_text_document.moc"
