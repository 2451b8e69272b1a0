// The drive letters of the original's paths, as folders of the program folder.

#include "base/drives.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

class TestDrives : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void resolve_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected"); // within the program folder, unless absolute
        QTest::newRow("drive alone with a file name") << "A:Grupo A Machos.txt"
                                                      << "Unidades/A/Grupo A Machos.txt";
        QTest::newRow("drive root") << "A:\\x.txt"
                                    << "Unidades/A/x.txt";
        QTest::newRow("small letter") << "e:\\listados\\x.txt"
                                      << "Unidades/E/listados/x.txt";
        QTest::newRow("folder without drive") << "listados\\x.txt"
                                              << "listados/x.txt";
        QTest::newRow("absolute path as it is") << "/tmp/x.txt"
                                                << "/tmp/x.txt";
    }
    void resolve()
    {
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        QCOMPARE(drives::resolve(typed, m_dir.path()), QDir(m_dir.path()).filePath(expected));
    }

    void aDriveFolderExistsOnceUsed()
    {
        const QString folder = drives::folderOf("F:", m_dir.path());
        QCOMPARE(folder, QDir(m_dir.path()).filePath("Unidades/F"));
        QVERIFY(QDir(folder).exists());
    }
};

QTEST_GUILESS_MAIN(TestDrives)
#include "test_drives.moc"
