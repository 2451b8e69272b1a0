// The four show-day printouts written as PDFs and read back as their readers would: every cage
// once on the labels and on each judge's sheets, every bird once in its class of the catalogue
// and on its owner's receipt, in order; the QR codes open the cage's scoring page; every page
// numbered and named; long texts cut to their columns; nothing to print said plainly.

#include "generator.h"
#include "output/printouts/show_printouts.h"
#include "output/text_document.h"
#include "output/qr_code.h"
#include "rules/judging/score_ranges.h"
#include "support/pdf_pages.h"
#include "support/fixtures.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QTest>
#include <map>

using printouts::Kind;

namespace
{

// The cages a query of the generated show gives, in its order.
QList<int> cagesOf(store::Database& db, const QString& sql)
{
    QList<int> cages;
    store::Statement rows = db.prepare(sql);
    while (rows.step())
        cages << int(rows.int64(0));
    return cages;
}

// The whole numbers standing alone in a text, in reading order.
QList<int> numbersIn(const QString& text)
{
    QList<int> numbers;
    static const QRegularExpression number(QStringLiteral("(?<![\\w.,-])(\\d+)(?![\\w.,-])"));
    for (const QRegularExpressionMatch& m : number.globalMatch(text))
        numbers << m.captured(1).toInt();
    return numbers;
}

QString writeError(Kind kind, const printouts::Show& show, const QString& path)
{
    try {
        printouts::writePdf(kind, show, {}, path);
    } catch (const listings::OutputError& e) {
        return e.message();
    }
    return QStringLiteral("(grabado)");
}

} // namespace

class TestShowPrintouts : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    store::Database m_db; // the generated show of 999 birds
    printouts::Show m_show;
    std::map<Kind, QStringList> m_pages; // each printout's pages as text
    std::map<Kind, int> m_counted;       // the page count writePdf gave

    QString path(const QString& name) const { return m_dir.filePath(name); }

    // A small show of its own for a test.
    struct Small {
        QTemporaryDir dir;
        store::Database db;
        store::Database clubs;
        Small()
        {
            db = store::Database::create(dir.filePath("expo.mdb"), store::schema::exhibition());
            clubs = store::Database::create(dir.filePath("Club.mdb"), store::schema::clubs());
            fixtures::setConfig(db, 2, true);
            db.execute("UPDATE Config SET nombre = 'Regional de Prueba', region = 'Castilla'");
        }
        printouts::Show show() const { return printouts::readShow(db, &clubs); }
    };

private slots:
    void initTestCase()
    {
        bench::ExhibitionSize size;
        size.cages = 999;
        size.jueces = size.judgesPerCage = 3;
        const bench::Generated generated = bench::generate(m_dir.path(), "expo.mdb", size);
        m_db = store::Database::open(generated.exhibition, store::schema::exhibition());
        store::Database clubs = store::Database::open(generated.clubs, store::schema::clubs());
        m_show = printouts::readShow(m_db, &clubs);
        printouts::Options options;
        options.networkAddress = "10.0.0.7:8080";
        for (Kind kind : {Kind::Etiquetas, Kind::HojasJueces, Kind::Catalogo, Kind::Resguardos}) {
            const QString pdf = path(printouts::commandName(kind) + ".pdf");
            m_counted[kind] = printouts::writePdf(kind, m_show, options, pdf);
            m_pages[kind] = pdfpages::pageTexts(pdf);
        }
    }

    void everyPageIsNamedAndNumbered_data()
    {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<int>("pages"); // 0: not known beforehand
        QTest::newRow("labels, 24 to a sheet") << Kind::Etiquetas << (999 + 23) / 24;
        QTest::newRow("judges' sheets") << Kind::HojasJueces << 0;
        QTest::newRow("catalogue") << Kind::Catalogo << 0;
        QTest::newRow("receipts") << Kind::Resguardos << 0;
    }
    void everyPageIsNamedAndNumbered()
    {
        QFETCH(Kind, kind);
        QFETCH(int, pages);
        const QStringList& texts = m_pages[kind];
        const int written = m_counted[kind];
        // The painter never had to break a page the layout did not: the file has the pages
        // counted, and each says which it is.
        QCOMPARE(pdfpages::pageCount(path(printouts::commandName(kind) + ".pdf")), written);
        QCOMPARE(int(texts.size()), written);
        if (pages > 0)
            QCOMPARE(written, pages);
        for (int i = 0; i < written; ++i) {
            const QString& page = texts[i];
            QVERIFY2(page.contains(m_show.nombre), qPrintable(QString("page %1").arg(i + 1)));
            if (kind == Kind::Etiquetas)
                continue; // a sheet of labels has no margin to number: each label names the show
            QVERIFY2(page.contains(m_show.region), qPrintable(QString("page %1").arg(i + 1)));
            QCOMPARE(page.count(QRegularExpression("Página \\d+ de \\d+")), 1);
            QVERIFY2(page.contains(QString("Página %1 de %2").arg(i + 1).arg(written)),
                     qPrintable(page.left(300)));
        }
    }

    void labelsHoldEveryCageOnceInOrderAndNoOwner()
    {
        const QString text = m_pages[Kind::Etiquetas].join('\n');
        QCOMPARE(numbersIn(text), cagesOf(m_db, "SELECT jaula FROM Recepcion ORDER BY jaula"));
        // Judging is blind: no owner, licence, club or ring on a label.
        for (const printouts::Bird& bird : m_show.birds) {
            QVERIFY2(!text.contains(bird.nombre), qPrintable(bird.nombre));
            QVERIFY2(!text.contains(bird.anilla), qPrintable(bird.anilla));
        }
        QVERIFY(!text.contains("Club") && !text.contains("Licencia"));
        QCOMPARE(text.count("Grupo D · Cat."),
                 int(cagesOf(m_db, "SELECT jaula FROM Recepcion WHERE grupo = 'D'").size()));
    }

    void labelQrCodesOpenTheCagesScoringPage_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("url");
        QTest::newRow("address and port") << "192.168.1.20:8080" << "http://192.168.1.20:8080/puntuar?jaula=%1";
        QTest::newRow("named address") << "https://expo.local/" << "https://expo.local/puntuar?jaula=%1";
        QTest::newRow("blanks and slashes around") << " https://expo:8443// " << "https://expo:8443/puntuar?jaula=%1";
        QTest::newRow("no address, no codes") << "" << "";
    }
    void labelQrCodesOpenTheCagesScoringPage()
    {
        QFETCH(QString, address);
        QFETCH(QString, url);
        Small small;
        // Two sheets, the second partly filled, cages not consecutive.
        QStringList expected;
        for (int i = 0; i < 30; ++i) {
            const int jaula = 1 + i * 33;
            fixtures::addBird(small.db, jaula, i % 7 == 0 ? "D" : "A", i % 2 ? "M" : "H", {{"categ", "B"}});
            if (!url.isEmpty())
                expected << url.arg(jaula);
        }
        printouts::Options options;
        options.networkAddress = address;
        const QString pdf = small.dir.filePath("etiquetas.pdf");
        QCOMPARE(printouts::writePdf(Kind::Etiquetas, small.show(), options, pdf), 2);
        QStringList codes = pdfpages::qrCodes(pdf);
        codes.sort();
        expected.sort();
        QCOMPARE(codes, expected);
    }

    void labelsMoveWithTheSheetsMargins()
    {
        // The cells are placed on the paper: a margin moves every label by as much, in the PDF too.
        Small small;
        fixtures::addBird(small.db, 5, "A", "M");
        auto xOfCage = [&](double leftMm) {
            printouts::Options options;
            options.sheet.leftMm = leftMm;
            const QString pdf = small.dir.filePath("m.pdf");
            printouts::writePdf(Kind::Etiquetas, small.show(), options, pdf);
            const QString box = pdfpages::run("pdftotext", {"-bbox", pdf, "-"});
            const QRegularExpressionMatch m =
                QRegularExpression("xMin=\"([0-9.]+)\"[^>]*>5</word>").match(box);
            return m.hasMatch() ? m.captured(1).toDouble() : -1.0;
        };
        const double at0 = xOfCage(0);
        const double at10 = xOfCage(10);
        QVERIFY(at0 >= 0);
        QVERIFY2(qAbs((at10 - at0) - 10 / 25.4 * 72) < 0.5, qPrintable(QString("%1 %2").arg(at0).arg(at10)));
    }

    void judgesSheetsListEveryJudgedCageOncePerJudge()
    {
        const QList<int> judged =
            cagesOf(m_db, "SELECT jaula FROM Recepcion WHERE grupo IN ('A','B','C') ORDER BY jaula");
        std::map<int, QList<int>> byJudge;
        static const QRegularExpression judgeLine("Juez Nº (\\d+) +Firma del juez: _+");
        static const QRegularExpression row("^ *(\\d+) +([A-Z]+) +(Macho|Hembra) +(\\[ +\\] *){6}$");
        for (const QString& page : m_pages[Kind::HojasJueces]) {
            const QRegularExpressionMatch judge = judgeLine.match(page);
            QVERIFY2(judge.hasMatch(), qPrintable(page.left(400)));
            // Each page names the criteria and their ranges as the judging window does.
            for (const judging::Apartado& apartado : judging::apartados())
                QVERIFY2(page.contains(apartado.label + ' ' + apartado.rangeLabel),
                         qPrintable(apartado.label));
            for (const QString& line : page.split('\n')) {
                const QRegularExpressionMatch m = row.match(line);
                if (m.hasMatch())
                    byJudge[judge.captured(1).toInt()] << m.captured(1).toInt();
            }
        }
        QCOMPARE(int(byJudge.size()), 3);
        for (const auto& [juez, cages] : byJudge)
            QCOMPARE(cages, judged);
    }

    // Every bird once, in the class and order the rules give it (their own tests hold which).
    void catalogueListsEveryBirdOnceInItsClass()
    {
        QStringList expected;
        for (const printouts::CatalogueClass& c : printouts::catalogueClasses(m_show)) {
            QStringList cages;
            for (const printouts::Bird* bird : c.birds)
                cages << QString::number(bird->jaula);
            expected << QString("%1 (%2 palomas): %3").arg(c.heading).arg(c.birds.size()).arg(cages.join(','));
        }
        static const QRegularExpression heading("^(Grupo .+|Otras palomas) \\((\\d+) palomas?(, continuación)?\\)$");
        static const QRegularExpression bird("^ *(\\d+) +\\d{7}-\\d\\d ");
        QStringList seen;
        for (const QString& line : m_pages[Kind::Catalogo].join('\n').split('\n')) {
            if (const QRegularExpressionMatch m = heading.match(line.trimmed()); m.hasMatch()) {
                if (m.captured(3).isEmpty())
                    seen << QString("%1 (%2 palomas):").arg(m.captured(1), m.captured(2));
            } else if (const QRegularExpressionMatch b = bird.match(line); b.hasMatch() && !seen.isEmpty()) {
                seen.last() += (seen.last().endsWith(':') ? " " : ",") + b.captured(1);
            }
        }
        QCOMPARE(seen, expected);
        const QString cover = m_pages[Kind::Catalogo].first();
        QVERIFY2(cover.contains("999 palomas") && cover.contains("Catálogo"), qPrintable(cover));
    }

    void receiptsHoldEachOwnersBirdsOnce()
    {
        // Every owner's birds by a query of their own: name, licence and club.
        std::map<QString, QList<int>> expected;
        store::Statement rows = m_db.prepare(
            "SELECT trim(nombre), trim(licencia), trim(club), jaula FROM Recepcion ORDER BY jaula");
        while (rows.step())
            expected[rows.text(0) + '|' + rows.text(1) + '|' + rows.text(2)] << int(rows.int64(3));

        std::map<QString, QList<int>> seen;
        static const QRegularExpression owner("^Propietario: (.+?) +Licencia: (\\S*)$");
        static const QRegularExpression bird("^ +(\\d+) +\\d{7}-\\d\\d ");
        static const QRegularExpression club("^Club: (\\S*)");
        static const QRegularExpression count("^ +Palomas entregadas: (\\d+)$");
        QString current;
        int receipts = 0;
        for (const QString& line : m_pages[Kind::Resguardos].join('\n').split('\n')) {
            if (const QRegularExpressionMatch m = owner.match(line); m.hasMatch()) {
                current = m.captured(1) + '|' + m.captured(2);
            } else if (const QRegularExpressionMatch k = club.match(line); k.hasMatch()) {
                current += '|' + k.captured(1);
            } else if (const QRegularExpressionMatch b = bird.match(line); b.hasMatch()) {
                seen[current] << b.captured(1).toInt();
            } else if (const QRegularExpressionMatch c = count.match(line); c.hasMatch()) {
                QCOMPARE(c.captured(1).toInt(), int(seen[current].size()));
                ++receipts;
            }
        }
        QCOMPARE(seen, expected);
        QCOMPARE(receipts, int(printouts::exhibitors(m_show).size()));
    }

    void aReceiptOverAPageGoesOnUnderItsOwner_data()
    {
        QTest::addColumn<int>("birds");
        // Around a page's room, where the count and signature fall at the page's end, and more.
        for (int birds : {54, 55, 56, 57, 58, 59, 60, 130})
            QTest::addRow("%d birds", birds) << birds;
    }
    void aReceiptOverAPageGoesOnUnderItsOwner()
    {
        QFETCH(int, birds);
        Small small;
        for (int cage = 1; cage <= birds; ++cage)
            fixtures::addBird(small.db, cage, "A", "H",
                              {{"nombre", "Lucía"}, {"licencia", "77"}, {"anilla", "5"}, {"año", "2024"}});
        fixtures::addBird(small.db, 999, "B", "M", {{"nombre", "Zoilo"}, {"anilla", "6"}, {"año", "2024"}});
        const QString pdf = small.dir.filePath("resguardos.pdf");
        printouts::writePdf(Kind::Resguardos, small.show(), {}, pdf);
        QList<int> cages;
        for (const QString& page : pdfpages::pageTexts(pdf)) {
            // Every page holding Lucía's birds or her count names her.
            const bool hers = page.contains("Propietario: Lucía");
            for (const QString& line : page.split('\n')) {
                const QRegularExpressionMatch row = QRegularExpression("^ +(\\d+) +0000005-24 ").match(line);
                if (row.hasMatch())
                    cages << row.captured(1).toInt();
                if (row.hasMatch() || line.contains(QString("Palomas entregadas: %1").arg(birds)))
                    QVERIFY2(hers, qPrintable(page));
            }
        }
        QList<int> expected;
        for (int cage = 1; cage <= birds; ++cage)
            expected << cage;
        QCOMPARE(cages, expected);
    }

    void longTextsAreCutToTheirColumns_data()
    {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QString>("start");  // of the bird's line
        QTest::addColumn<QString>("column"); // the heading over the column that must stay clear
        QTest::newRow("catalogue") << Kind::Catalogo << "  417  " << "Provincia";
        QTest::newRow("receipt") << Kind::Resguardos << "Propietario: " << "Licencia:";
    }
    void longTextsAreCutToTheirColumns()
    {
        QFETCH(Kind, kind);
        QFETCH(QString, start);
        QFETCH(QString, column);
        Small small;
        const QString owner = "Propietario Con Un Nombre Larguísimo Que No Cabe X"; // 50
        fixtures::addClub(small.clubs, "7", "Real Sociedad Colombófila de Palomas Mensajeras", "Toledo");
        fixtures::addBird(small.db, 417, "B", "M",
                          {{"nombre", owner}, {"color", "Azul Barrado Mosaico"}, {"club", "7"},
                           {"licencia", "12345"}, {"anilla", "1234567"}, {"año", "2024"}});
        const QString pdf = small.dir.filePath("largo.pdf");
        printouts::writePdf(kind, small.show(), {}, pdf);
        const QStringList lines = pdfpages::pageTexts(pdf).join('\n').split('\n');
        QString line;
        QString heading;
        for (const QString& l : lines) {
            if (l.startsWith(start))
                line = l;
            if (l.contains(column) && heading.isEmpty() && kind == Kind::Catalogo)
                heading = l;
        }
        QVERIFY2(!line.isEmpty(), qPrintable(lines.join('\n')));
        if (kind == Kind::Catalogo) {
            // Colour, owner and club each end before the next column begins.
            const qsizetype province = heading.indexOf(column);
            QCOMPARE(line.mid(province).trimmed(), QString("Toledo"));
            // Colour 16, owner 28 and club 22 characters wide.
            for (const QString& cut : {QString("Azul Barrado Mosaico"), owner,
                                       QString("Real Sociedad Colombófila de Palomas Mensajeras")}) {
                const int width = cut.startsWith("Azul") ? 16 : cut.startsWith("Prop") ? 28 : 22;
                QVERIFY2(line.contains(cut.left(width) + ' ') && !line.contains(cut.left(width + 1)),
                         qPrintable(line));
            }
        } else {
            QVERIFY2(line.endsWith("  Licencia: 12345"), qPrintable(line));
            QVERIFY2(line.contains(owner.left(40)), qPrintable(line));
        }
    }

    void nothingToPrintIsSaid_data()
    {
        QTest::addColumn<QString>("birds"); // groups of the birds received
        QTest::addColumn<int>("jueces");
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QString>("message");
        const QString noBirds =
            "No hay ninguna paloma recibida en esta exposición: no hay nada que imprimir.";
        for (Kind kind : {Kind::Etiquetas, Kind::HojasJueces, Kind::Catalogo, Kind::Resguardos})
            QTest::addRow("no birds, %s", qPrintable(printouts::commandName(kind)))
                << "" << 3 << kind << noBirds;
        QTest::newRow("no judges") << "A" << 0 << Kind::HojasJueces
                                   << "No Hay Jueces en la Configuración,debes poner al menos Uno";
        QTest::newRow("group D only")
            << "D,D" << 3 << Kind::HojasJueces
            << "No hay ninguna paloma de los grupos A, B o C: las del grupo D no se puntúan.";
    }
    void nothingToPrintIsSaid()
    {
        QFETCH(QString, birds);
        QFETCH(int, jueces);
        QFETCH(Kind, kind);
        QFETCH(QString, message);
        Small small;
        fixtures::setConfig(small.db, jueces, true);
        int jaula = 1;
        for (const QString& grupo : birds.split(',', Qt::SkipEmptyParts))
            fixtures::addBird(small.db, jaula++, grupo, "M", {{"categ", "A"}});
        const QString pdf = small.dir.filePath("nada.pdf");
        QCOMPARE(writeError(kind, small.show(), pdf), message);
        QVERIFY(!QFileInfo::exists(pdf));
    }

    // The QR code of a text, read back by zbar as the very text, whatever its characters; one
    // too long for any code gives no image rather than a wrong one.
    void qrCodeReadsBackAsTheText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("accents") << "http://exposición-peñíscola/puntuar?jaula=12";
        QTest::newRow("long address") << "http://" + QString(300, 'a') + "/puntuar?jaula=500";
        QTest::newRow("too long") << QString(3000, 'x');
        QTest::newRow("nothing") << "";
    }
    void qrCodeReadsBackAsTheText()
    {
        QFETCH(QString, text);
        const QImage code = output::qrCode(text);
        QCOMPARE(code.isNull(), text.isEmpty() || text.size() == 3000);
        const QString png = m_dir.filePath("qr.png");
        QFile::remove(png);
        if (!code.isNull()) {
            // One pixel a module, 17 + 4 v a side, inside a quiet zone of four white modules.
            QVERIFY((code.width() - 8 - 17) % 4 == 0 && code.pixelColor(4, 4) == Qt::black);
            for (int y = 0; y < code.height(); ++y)
                for (int x = 0; x < code.width(); ++x)
                    if (!code.rect().adjusted(4, 4, -4, -4).contains(x, y))
                        QVERIFY2(code.pixelColor(x, y) == Qt::white, qPrintable(QString("%1,%2").arg(x).arg(y)));
            QVERIFY(code.scaled(code.size() * 6).save(png));
        }
        QCOMPARE(pdfpages::run("zbarimg", {"-q", "--raw", "-Sbinary", png}).toUtf8(),
                 code.isNull() ? QByteArray() : text.toUtf8());
    }
};

QTEST_MAIN(TestShowPrintouts)
#include "test_show_printouts.moc"
