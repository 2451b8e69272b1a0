// A document that cannot be written says why, in Spanish, and the one it was to replace stays as
// it was; a set of documents is written whole or not at all.

#include "output/export_all.h"
#include "output/printouts/show_printouts.h"
#include "output/text_document.h"
#include "output/xlsx/export_xlsx.h"
#include "output/xlsx/judge_workbooks.h"
#include "rules/printouts/show_contents.h"
#include "support/failing_disk.h"
#include "support/scored_exhibition.h"

#include <QDir>
#include <QFile>
#include <QTest>

namespace
{

QByteArray contentOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(no existe)");
}

// Every file of the folder but the disk's filler, by name.
QMap<QString, QByteArray> documentsIn(const QString& folder)
{
    QMap<QString, QByteArray> documents;
    for (const QString& name : QDir(folder).entryList(QDir::Files))
        if (name != u"relleno")
            documents.insert(name, contentOf(QDir(folder).filePath(name)));
    return documents;
}

} // namespace

class TestDocumentWriteFailures : public QObject
{
    Q_OBJECT

    QTemporaryDir m_work;
    store::Database m_db; // 100 scored birds
    store::Database m_clubs;

    // The document of the path's kind: a listing of 40 KiB (more than a block, as every real
    // listing), the catalogue, or the workbook of the listings.
    QString writeError(const QString& path)
    {
        try {
            store::Recordset clubs = m_clubs.openRecordset("select * from club");
            if (path.endsWith(".txt"))
                listings::writeFile(path, QByteArray(40 * 1024, 'x'));
            else if (path.endsWith(".pdf"))
                printouts::writePdf(printouts::Kind::Catalogo, printouts::readShow(m_db, &m_clubs), {}, path);
            else
                output::exportXlsx(m_db, clubs, path);
        } catch (const listings::OutputError& e) {
            return e.message();
        }
        return QStringLiteral("(grabado)");
    }

private slots:
    void initTestCase()
    {
        m_db = store::Database::open(fixtures::createScoredExhibition(m_work.filePath("Expo.mdb"), 100),
                                     store::schema::exhibition());
        m_clubs = store::Database::create(m_work.filePath("Club.mdb"), store::schema::clubs());
    }

    void theCauseIsNamed_data()
    {
        QTest::addColumn<QString>("document");
        QTest::addColumn<QString>("disk");
        QTest::addColumn<QString>("cause");
        const QString listing = "Grupo A Machos.txt";
        QTest::newRow("disk full") << listing << "full" << "no queda espacio en el disco";
        QTest::newRow("read-only disk") << listing << "read-only" << "el disco es de solo lectura";
        QTest::newRow("new document in a folder that cannot be written")
            << listing << "locked folder" << "no se puede escribir en esa carpeta";
        QTest::newRow("document that cannot be replaced")
            << listing << "locked file" << "ya hay un archivo con ese nombre y no se puede cambiar";
        QTest::newRow("a printout") << "Catálogo.pdf" << "read-only" << "el disco es de solo lectura";
        QTest::newRow("a workbook") << "Clasificaciones.xlsx" << "read-only" << "el disco es de solo lectura";
    }
    void theCauseIsNamed()
    {
        QFETCH(QString, document);
        QFETCH(QString, disk);
        QFETCH(QString, cause);
        failing_disk::SmallDisk small(256 * 1024);
        if (!small.mounted())
            QSKIP(qPrintable(small.why()));
        const QString path = small.filePath(document);
        // A document of that name, to be replaced; none in the locked folder, where the save
        // file would write straight into it.
        const QByteArray old = disk == u"locked folder" ? QByteArray("(no existe)")
                                                        : QByteArray("the document written an hour ago\r\n");
        if (disk != u"locked folder") {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(old);
        }
        std::unique_ptr<failing_disk::LockedFolder> locked;
        if (disk == u"full") {
            small.fillLeaving(8 * 1024);
        } else if (disk == u"read-only") {
            QVERIFY(small.remountReadOnly());
        } else {
            locked = std::make_unique<failing_disk::LockedFolder>(
                disk == u"locked folder" ? QFileInfo(path).absolutePath() : path);
            if (!locked->locked())
                QSKIP(qPrintable(locked->why()));
        }
        QCOMPARE(writeError(path), QStringLiteral("No se ha podido grabar el archivo %1 en la carpeta «%2»: %3.")
                                       .arg(document, QDir::toNativeSeparators(QFileInfo(path).absolutePath()), cause));
        locked.reset();
        QCOMPARE(contentOf(path), old);
        QCOMPARE(QDir(QFileInfo(path).absolutePath()).entryList({"*.*.*", "qt_temp*"}, QDir::Files), QStringList());
    }

    // A set of documents on a disk that fills up half way (the show has grown since the last
    // documents, and the new ones take more room): the documents of the last time stay as they
    // were, and no new one, nor any temporary file, is left.
    void aSetIsWrittenWholeOrNotAtAll_data()
    {
        QTest::addColumn<bool>("listings");
        QTest::newRow("the listings (listados)") << true;
        QTest::newRow("the judges' workbooks (hojas-jueces-xlsx)") << false;
    }
    void aSetIsWrittenWholeOrNotAtAll()
    {
        QFETCH(bool, listings);
        failing_disk::SmallDisk small(1 << 20);
        if (!small.mounted())
            QSKIP(qPrintable(small.why()));
        QTemporaryDir work;
        store::Database db = store::Database::open(
            fixtures::createScoredExhibition(work.filePath("Expo.mdb"), 100), store::schema::exhibition());
        store::Recordset clubs = m_clubs.openRecordset("select * from club");
        const auto write = [&](const QString& folder) {
            return listings ? listings::exportAll(db, clubs, folder, false) : output::writeJudgeWorkbooks(db, folder);
        };
        const QString folder = small.filePath("");
        QVERIFY(write(folder) > 1);
        const QMap<QString, QByteArray> before = documentsIn(folder);
        fixtures::fillScoredExhibition(db, 600);
        const QString grown = work.filePath("nuevos");
        QVERIFY(QDir().mkpath(grown) && write(grown) > 1);
        // Room for the largest new document and half the growth: one at a time, some would fit.
        qint64 growth = 0, largest = 0;
        for (const QByteArray& document : documentsIn(grown)) {
            growth += document.size();
            largest = std::max<qint64>(largest, document.size());
        }
        for (const QByteArray& document : before)
            growth -= document.size();
        small.fillLeaving(largest + growth / 2);
        QVERIFY_THROWS_EXCEPTION(listings::OutputError, write(folder));
        QCOMPARE(documentsIn(folder), before);
    }
};

QTEST_MAIN(TestDocumentWriteFailures)
#include "test_document_write_failures.moc"
