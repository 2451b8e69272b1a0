// A listing document that cannot be written says why, in Spanish, and a document it was to
// replace stays as it was. A full disk used to be reported as "(Unknown error)".

#include "output/export_all.h"
#include "output/text_document.h"
#include "output/xlsx/judge_workbooks.h"
#include "support/failing_disk.h"
#include "support/scored_exhibition.h"

#include <QDir>
#include <QFile>
#include <QTest>

namespace
{

QString writeError(const QString& path, const QByteArray& bytes)
{
    try {
        listings::writeFile(path, bytes);
    } catch (const listings::OutputError& e) {
        return e.message();
    }
    return QStringLiteral("(grabado)");
}

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

private slots:
    void theCauseIsNamed_data()
    {
        QTest::addColumn<QString>("disk");
        QTest::addColumn<QString>("cause");
        QTest::newRow("disk full") << "full"
                                   << "no queda espacio en el disco";
        QTest::newRow("read-only disk") << "read-only"
                                        << "el disco es de solo lectura";
        QTest::newRow("new document in a folder that cannot be written")
            << "locked folder"
            << "no se puede escribir en esa carpeta";
        QTest::newRow("document that cannot be replaced")
            << "locked file"
            << "ya hay un archivo con ese nombre y no se puede cambiar";
    }
    void theCauseIsNamed()
    {
        QFETCH(QString, disk);
        QFETCH(QString, cause);
        failing_disk::SmallDisk small(256 * 1024);
        if (!small.mounted())
            QSKIP(qPrintable(small.why()));
        const QString path = small.filePath("Grupo A Machos.txt");
        // A document of that name, to be replaced; none in the locked folder, where the save
        // file would write straight into it.
        const QByteArray old = disk == u"locked folder" ? QByteArray("(no existe)")
                                                        : QByteArray("the listing printed an hour ago\r\n");
        if (disk != u"locked folder") {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(old);
        }
        const QByteArray listing(40 * 1024, 'x'); // more than a block, as every real listing
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
        QCOMPARE(
            writeError(path, listing),
            QStringLiteral("No se ha podido grabar el archivo Grupo A Machos.txt en la carpeta «%1»: %2.")
                .arg(QDir::toNativeSeparators(QFileInfo(path).absolutePath()), cause));
        locked.reset();
        QCOMPARE(contentOf(path), old);
        QVERIFY(!QDir(QFileInfo(path).absolutePath()).entryList({"*.txt.*", "qt_temp*"}, QDir::Files).size());
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
        store::Recordset clubs = store::Database::create(work.filePath("Club.mdb"), store::schema::clubs())
                                     .openRecordset("select * from club");
        const auto write = [&](const QString& folder) {
            return listings ? listings::exportAll(db, clubs, folder, false)
                            : output::writeJudgeWorkbooks(db, folder);
        };
        qint64 largest = 0;
        const auto size = [&largest](const QMap<QString, QByteArray>& documents) {
            qint64 bytes = 0;
            for (const QByteArray& document : documents) {
                bytes += document.size();
                largest = std::max<qint64>(largest, document.size());
            }
            return bytes;
        };
        const QString folder = small.filePath("");
        QVERIFY(write(folder) > 1);
        const QMap<QString, QByteArray> before = documentsIn(folder);
        fixtures::fillScoredExhibition(db, 600);
        const QString grown = work.filePath("nuevos");
        QVERIFY(QDir().mkpath(grown) && write(grown) > 1);
        // Room for the largest new document and half the growth: one at a time, some would fit.
        const qint64 growth = size(documentsIn(grown)) - size(before);
        small.fillLeaving(largest + growth / 2);
        QVERIFY_THROWS_EXCEPTION(listings::OutputError, write(folder));
        QCOMPARE(documentsIn(folder), before);
    }
};

QTEST_GUILESS_MAIN(TestDocumentWriteFailures)
#include "test_document_write_failures.moc"
