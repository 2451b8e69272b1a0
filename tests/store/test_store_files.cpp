// Creating and opening the database files: the schemas field by field, and the files that must
// be refused without being touched.

#include "store/error.h"
#include "support/fixtures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

using fixtures::fingerprint;

namespace
{

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// The bytes of a new, empty exhibition.
QByteArray newExhibition(const QString& path)
{
    store::Database::create(path, store::schema::exhibition());
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// "name TYPE" of every field, in order, as the file itself declares them.
QString declaredFields(store::Database& db, const QString& table)
{
    QStringList fields;
    store::Statement info = db.prepare(QStringLiteral("PRAGMA table_info(\"%1\")").arg(table));
    while (info.step())
        fields << info.text(1) + u' ' + info.text(2);
    return fields.join(QStringLiteral(", "));
}

} // namespace

class TestStoreFiles : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void exhibitionSchemaFieldByField_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("fields");
        QTest::newRow("Config")
            << "Config"
            << "Nombre TEXT, fecha TEXT, Jueces INTEGER, Dibujo TEXT, Region TEXT, media INTEGER, "
               "quitar INTEGER, juez TEXT";
        QTest::newRow("Puntos")
            << "Puntos"
            << "jaula TEXT, puntos1 REAL, puntos2 REAL, puntos3 REAL, puntos4 REAL, puntos5 REAL, "
               "juez INTEGER, puntost REAL, sexo TEXT, grupo TEXT, categ TEXT";
        QTest::newRow("Recepcion")
            << "Recepcion"
            << "jaula INTEGER, anilla TEXT, año TEXT, sexo TEXT, licencia TEXT, club TEXT, "
               "nombre TEXT, color TEXT, grupo TEXT, categ TEXT, puntos REAL, termina TEXT, "
               "conc INTEGER, km INTEGER, coef REAL";
        QTest::newRow("lclub")
            << "lclub"
            << "puntos REAL, grupo TEXT, categoria TEXT, club TEXT, nclub TEXT, provincia TEXT";
        QTest::newRow("lclub1") << "lclub1"
                                << "provincia TEXT, puntos REAL";
    }
    void exhibitionSchemaFieldByField()
    {
        QFETCH(QString, table);
        QFETCH(QString, fields);
        const QString path = m_dir.filePath("schema.mdb");
        if (!QFile::exists(path))
            store::Database::create(path, store::schema::exhibition());
        store::Database db = store::Database::open(path, store::schema::exhibition());
        QCOMPARE(declaredFields(db, table), fields);
    }

    void exactlyTheTablesAndTheTextSizes()
    {
        store::Database db =
            store::Database::create(m_dir.filePath("sizes.mdb"), store::schema::exhibition());
        store::Statement tables =
            db.prepare("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY rowid");
        QStringList names;
        while (tables.step())
            names << tables.text(0);
        QCOMPARE(names.join(u','), "Config,Puntos,Recepcion,lclub,lclub1");

        // Each Text(n) of the data model holds n characters and refuses n + 1.
        for (const store::TableDef& table : store::schema::exhibition().tables)
            for (const store::FieldDef& field : table.fields) {
                if (field.type != store::FieldType::Text)
                    continue;
                store::Recordset rs = db.openRecordset("select * from " + table.name);
                rs.addNew();
                rs.setValue(field.name, QString(field.size, u'x'));
                rs.update();
                rs.addNew();
                rs.setValue(field.name, QString(field.size + 1, u'x'));
                QVERIFY_THROWS_EXCEPTION(store::Error, rs.update());
            }
    }

    void clubsSchema()
    {
        store::Database db = store::Database::create(m_dir.filePath("Club.mdb"), store::schema::clubs());
        QCOMPARE(declaredFields(db, "club"), "Nombre TEXT, Codigo TEXT, Provincia TEXT");
    }

    void fileReadableByTheSqliteTool()
    {
        const QString sqlite = QStandardPaths::findExecutable("sqlite3");
        if (sqlite.isEmpty())
            QSKIP("the sqlite3 tool is not installed");
        const QString path = m_dir.filePath("tool.mdb");
        {
            store::Database db = store::Database::create(path, store::schema::exhibition());
            fixtures::addBird(db, 3, "A", "m", {{"nombre", "Ávila"}});
        }
        QProcess tool;
        tool.start(sqlite, {path, "SELECT jaula, nombre FROM Recepcion WHERE sexo = 'm'; "
                                  "INSERT INTO Recepcion (jaula) VALUES (4); PRAGMA integrity_check;"});
        QVERIFY(tool.waitForFinished());
        QCOMPARE(tool.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(tool.readAllStandardOutput()), "3|Ávila\nok\n");
    }

    void creatingRefusesAnExistingFileAndAMissingFolder()
    {
        const QString path = m_dir.filePath("exists.mdb");
        writeFile(path, "keep me");
        QVERIFY_THROWS_EXCEPTION(store::Error, store::Database::create(path, store::schema::exhibition()));
        QCOMPARE(QFile(path).size(), 7);
        const QString missing = m_dir.filePath("no/such/folder/x.mdb");
        try {
            store::Database::create(missing, store::schema::exhibition());
            QFAIL("created in a missing folder");
        } catch (const store::Error& e) {
            QCOMPARE(e.message(), "La carpeta «" +
                                      QDir::toNativeSeparators(m_dir.filePath("no/such/folder")) +
                                      "» no existe.");
        }
        QVERIFY(!QFile::exists(missing));
    }

    void badFilesRefusedUntouched_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("dropSql");
        QTest::addColumn<QString>("message");
        // %1: the file's name.
        const QString notOurs = "El archivo «%1» no es una base de datos de este programa (puede ser de otro "
                                "programa o de una versión antigua).";
        QTest::newRow("empty file")
            << QByteArray() << QString()
            << "El archivo «%1» está vacío: no es una base de datos de este programa.";
        QTest::newRow("random bytes") << QByteArray(4096, '\x5a') << QString() << notOurs;
        QByteArray jet(4096, '\0');
        jet.replace(0, 19, QByteArray("\x00\x01\x00\x00Standard Jet DB", 19));
        QTest::newRow("a Jet file") << jet << QString() << notOurs;
        QByteArray newer = newExhibition(m_dir.filePath("newer.mdb"));
        newer[47] = 9; // the schema format (bytes 44 to 47): SQLite reads 1 to 4
        QTest::newRow("a newer format")
            << newer << QString()
            << "El archivo «%1» tiene un formato de base de datos que este programa no conoce: es de una "
               "versión más moderna de SQLite o está dañado.";
        QTest::newRow("missing table") << QByteArray() << "DROP TABLE lclub1"
                                       << "A la base de datos «%1» le falta la tabla «lclub1».";
        QTest::newRow("missing field") << QByteArray() << "ALTER TABLE Recepcion DROP COLUMN coef"
                                       << "A la tabla «Recepcion» de «%1» le falta el campo «coef».";
    }
    void badFilesRefusedUntouched()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, dropSql);
        QFETCH(QString, message);
        const QString path = m_dir.filePath(QStringLiteral("bad-%1.mdb").arg(QTest::currentDataTag()));
        if (dropSql.isEmpty()) {
            writeFile(path, content);
        } else {
            store::Database db = store::Database::create(path, store::schema::exhibition());
            db.execute(dropSql);
        }
        const QByteArray before = fingerprint(path);
        try {
            store::Database::open(path, store::schema::exhibition());
            QFAIL("the file was accepted");
        } catch (const store::Error& e) {
            QCOMPARE(e.message(), message.arg(QFileInfo(path).fileName()));
        }
        QCOMPARE(fingerprint(path), before);
        QVERIFY(!QFile::exists(path + "-journal"));
    }
};

QTEST_GUILESS_MAIN(TestStoreFiles)
#include "test_store_files.moc"
