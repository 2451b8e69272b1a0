// The files of a show: the name "Nuevo" creates it under, and the opening sequence, which tells
// the clubs database and an exhibition apart, makes a missing Club.mdb and writes the default
// configuration once.

#include "rules/exhibition/exhibition.h"
#include "store/error.h"
#include "support/fixtures.h"

#include <QDir>

class TestExhibitionFiles : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;

    QString path(const QString& name) const { return QDir(m_dir->path()).filePath(name); }
    QStringList files() const
    {
        return QDir(m_dir->path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
    }

private slots:
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }

    void create_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("outcome"); // the files of the folder after it, or the refusal
        const QString club = "«%1» no puede ser el nombre de una exposición: Club.mdb es la base de datos de "
                             "los clubes del programa. Escriba otro nombre.";
        const QString rows[][2] = {{"  Regional 2026 ", "Regional 2026.mdb"},
                                   {"show.db", "show.db"}, // an extension of its own
                                   {"   ", "Escriba el nombre de la base de datos."},
                                   {"a/b", "«a/b» no sirve como nombre de archivo. Escriba un nombre sin los "
                                           "caracteres \\ / : * ? \" < > |."},
                                   {"Club 2024", "Club 2024.mdb"}, // only begins like the clubs database
                                   {"expo", "Base de Datos Existente"}};
        for (const auto& [typed, outcome] : rows)
            QTest::addRow("«%s»", qPrintable(typed)) << typed << outcome;
        // Club.mdb of the program folder is the clubs database: an exhibition of that name would
        // take its place, and from then on no exhibition would open.
        for (const char* name : {"Club", "club", "CLUB.MDB", "  cLuB "})
            QTest::addRow("%s", name) << name << club.arg(QString(name).trimmed());
    }
    void create()
    {
        QFETCH(QString, typed);
        QFETCH(QString, outcome);
        store::Database::create(path("expo.mdb"), store::schema::exhibition());
        const QByteArray before = fixtures::fingerprint(path("expo.mdb"));
        QString result;
        try {
            const QString created = exhibition::create(m_dir->path(), typed, m_dir->path());
            QVERIFY(store::Database::open(created, store::schema::exhibition()).isOpen());
            result = files().filter(QRegularExpression("^(?!expo.mdb$)")).join(u',');
        } catch (const base::Error& e) {
            result = e.message();
            QCOMPARE(files(), QStringList{"expo.mdb"});
        }
        QCOMPARE(result, outcome);
        QCOMPARE(fixtures::fingerprint(path("expo.mdb")), before);
    }

    // The clubs database chosen as an exhibition, and an exhibition left where the clubs database
    // belongs (an earlier version let one be created there): each refused, saying which it is,
    // and left as it was.
    void clubsAndExhibitionToldApart_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("message"); // "@" the folder
        QTest::newRow("Club.mdb chosen") << "Club.mdb"
                                         << "«Club.mdb» es la base de datos de los clubes, no una "
                                            "exposición: elija el archivo de una exposición.";
        QTest::newRow("an exhibition as Club.mdb")
            << "expo.mdb"
            << "«@/Club.mdb» es una exposición, no la base de datos de los clubes. Cámbiele el nombre para "
               "abrirla como exposición; el programa creará entonces una base de datos de clubes vacía.";
    }
    void clubsAndExhibitionToldApart()
    {
        QFETCH(QString, chosen);
        QFETCH(QString, message);
        store::Database::create(path("expo.mdb"), store::schema::exhibition());
        store::Database::create(path("Club.mdb"),
                                chosen == u"Club.mdb" ? store::schema::clubs() : store::schema::exhibition());
        const QByteArray before =
            fixtures::fingerprint(path("Club.mdb")) + fixtures::fingerprint(path("expo.mdb"));
        try {
            exhibition::openFiles(path(chosen), m_dir->path());
            QFAIL("opened");
        } catch (const base::Error& e) {
            QCOMPARE(e.message(), message.replace("@", QDir::toNativeSeparators(m_dir->path())));
        }
        QCOMPARE(fixtures::fingerprint(path("Club.mdb")) + fixtures::fingerprint(path("expo.mdb")), before);
    }

    // The default configuration is written the first time only; the clubs stay with the program
    // folder whatever exhibition opens; a missing Club.mdb is made empty again.
    void openingAgain()
    {
        store::Database::create(path("expo.mdb"), store::schema::exhibition());
        store::Database::create(path("otra.mdb"), store::schema::exhibition());
        QStringList seen;
        for (const char* show : {"expo.mdb", "expo.mdb", "otra.mdb"}) {
            const exhibition::Opened opened = exhibition::openFiles(path(show), m_dir->path());
            seen << fixtures::column(opened.exhibition, "select * from config", "jueces") + ' ' +
                        fixtures::column(opened.exhibition, "select * from config", "nombre") + ' ' +
                        fixtures::column(opened.clubs, "select * from club", "codigo");
            fixtures::addClub(opened.clubs, QString::number(seen.size()), "San Pedro", "Madrid");
        }
        QCOMPARE(seen, (QStringList{"3 Sin Nombre ", "3 Sin Nombre 1", "3 Sin Nombre 1,2"}));
        QVERIFY(QFile::remove(path("Club.mdb")));
        const exhibition::Opened again = exhibition::openFiles(path("expo.mdb"), m_dir->path());
        QCOMPARE(again.clubs.openRecordset("select * from club").recordCount(), 0);
    }
};

QTEST_GUILESS_MAIN(TestExhibitionFiles)
#include "test_exhibition_files.moc"
