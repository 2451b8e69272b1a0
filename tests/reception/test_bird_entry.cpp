// The field rules of a received bird and the deletions, without the window.

#include "reception/bird_entry.h"
#include "store/error.h"
#include "support/fixtures.h"

#include <QTest>

using reception::BirdEntry;
using reception::EntryField;
using reception::EntryMode;

Q_DECLARE_METATYPE(reception::EntryField)

namespace
{

BirdEntry entry(const QString& jaula, const QString& grupo)
{
    BirdEntry e;
    e.jaula = jaula;
    e.anilla = QStringLiteral("1234567");
    e.anio = QStringLiteral("2024");
    e.sexo = QStringLiteral("Macho");
    e.color = QStringLiteral("Azul");
    e.licencia = QStringLiteral("12345");
    e.nombre = QStringLiteral("José Pérez");
    e.club = QStringLiteral("7");
    e.grupo = grupo;
    e.conc = e.km = e.coef = QStringLiteral("0");
    return e;
}

} // namespace

class TestBirdEntry : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_file = 0;

    store::Database newExhibition()
    {
        return store::Database::create(m_dir.filePath(QStringLiteral("e%1.mdb").arg(++m_file)),
                                       store::schema::exhibition());
    }

private slots:
    void storedValues_data()
    {
        QTest::addColumn<QString>("grupo");
        QTest::addColumn<QString>("categ");
        QTest::addColumn<QString>("conc");
        QTest::addColumn<QString>("km");
        QTest::addColumn<QString>("coef");
        QTest::addColumn<QString>("sexo");
        // expected
        QTest::addColumn<QString>("storedGrupo");
        QTest::addColumn<QString>("storedCateg");
        QTest::addColumn<int>("storedConc");
        QTest::addColumn<int>("storedKm");
        QTest::addColumn<double>("storedCoef");
        QTest::addColumn<QString>("storedSexo");

        QTest::newRow("group D keeps category and conditions") << "D"
                                                               << "B"
                                                               << "12"
                                                               << "350"
                                                               << "1,25"
                                                               << "Macho"
                                                               << "D"
                                                               << "B" << 12 << 350 << 1.25 << "M";
        QTest::newRow("digit category 3 becomes C") << "D"
                                                    << "3"
                                                    << "1"
                                                    << "1"
                                                    << "1"
                                                    << "Hembra"
                                                    << "D"
                                                    << "C" << 1 << 1 << 1.0 << "H";
        QTest::newRow("digit category 6 kept as typed") << "D"
                                                        << "6"
                                                        << "0"
                                                        << "0"
                                                        << "0"
                                                        << "Macho"
                                                        << "D"
                                                        << "6" << 0 << 0 << 0.0 << "M";
        QTest::newRow("small d is group D") << "d"
                                            << "5"
                                            << "2"
                                            << "3"
                                            << "4"
                                            << "Macho"
                                            << "D"
                                            << "E" << 2 << 3 << 4.0 << "M";
        QTest::newRow("contests typed 12x stored as 12, empty km as 0") << "D"
                                                                        << "A"
                                                                        << "12x"
                                                                        << ""
                                                                        << "0,5"
                                                                        << "Macho"
                                                                        << "D"
                                                                        << "A" << 12 << 0 << 0.5 << "M";
        QTest::newRow("empty coefficient stored as 0") << "D"
                                                       << "A"
                                                       << "1"
                                                       << "1"
                                                       << ""
                                                       << "Macho"
                                                       << "D"
                                                       << "A" << 1 << 1 << 0.0 << "M";
        QTest::newRow("coefficient with a dot, as other settings type it") << "D"
                                                                           << "A"
                                                                           << "1"
                                                                           << "1"
                                                                           << "2.75"
                                                                           << "Macho"
                                                                           << "D"
                                                                           << "A" << 1 << 1 << 2.75 << "M";
        QTest::newRow("group B: blank category and zeros whatever the frame shows")
            << "B"
            << "C"
            << "12"
            << "400"
            << "3,5"
            << "Hembra"
            << "B"
            << " " << 0 << 0 << 0.0 << "H";
        QTest::newRow("group a stored in capitals") << "a"
                                                    << ""
                                                    << "0"
                                                    << "0"
                                                    << "0"
                                                    << "Macho"
                                                    << "A"
                                                    << " " << 0 << 0 << 0.0 << "M";
        QTest::newRow("group not limited to A-D") << "x"
                                                  << ""
                                                  << "0"
                                                  << "0"
                                                  << "0"
                                                  << "Macho"
                                                  << "X"
                                                  << " " << 0 << 0 << 0.0 << "M";
    }
    void storedValues()
    {
        QFETCH(QString, grupo);
        QFETCH(QString, categ);
        QFETCH(QString, conc);
        QFETCH(QString, km);
        QFETCH(QString, coef);
        QFETCH(QString, sexo);
        BirdEntry e = entry("5", grupo);
        e.categ = categ;
        e.conc = conc;
        e.km = km;
        e.coef = coef;
        e.sexo = sexo;

        const store::Database db = newExhibition();
        reception::storeBird(db, reception::toRecord(e), EntryMode::NewCage);
        store::Recordset rs = db.openRecordset("select * from recepcion");
        QCOMPARE(rs.recordCount(), 1);
        QTEST(rs.text("grupo"), "storedGrupo");
        QTEST(rs.text("categ"), "storedCateg");
        QTEST(rs.value("conc").toInt(), "storedConc");
        QTEST(rs.value("km").toInt(), "storedKm");
        QTEST(rs.value("coef").toDouble(), "storedCoef");
        QTEST(rs.text("sexo"), "storedSexo");
        QCOMPARE(rs.value("jaula").toInt(), 5);
        QCOMPARE(rs.text("anilla"), "1234567");
        QCOMPARE(rs.text("año"), "2024");
        QCOMPARE(rs.text("nombre"), "José Pérez");
        QCOMPARE(rs.value("puntos").toDouble(), 0.0);
        QCOMPARE(rs.text("termina"), "N");
    }

    void badEntries_data()
    {
        QTest::addColumn<QString>("boxName");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<EntryField>("field");
        QTest::addColumn<QString>("named");
        QTest::newRow("cage 0") << "jaula"
                                << "0" << EntryField::Jaula << "jaula";
        QTest::newRow("cage 1000") << "jaula"
                                   << "1000" << EntryField::Jaula << "jaula";
        QTest::newRow("cage 12x") << "jaula"
                                  << "12x" << EntryField::Jaula << "jaula";
        QTest::newRow("cage empty") << "jaula"
                                    << "" << EntryField::Jaula << "jaula";
        QTest::newRow("ring of 8") << "anilla"
                                   << "12345678" << EntryField::Anilla << "«Anilla» admite como máximo 7";
        QTest::newRow("year of 5") << "anio"
                                   << "20245" << EntryField::Anio << "«Año» admite como máximo 4";
        QTest::newRow("licence of 6") << "licencia"
                                      << "123456" << EntryField::Licencia << "«Licencia»";
        QTest::newRow("owner of 51") << "nombre" << QString(51, u'x') << EntryField::Nombre
                                     << "«Propietario»";
        QTest::newRow("colour of 21") << "color" << QString(21, u'a') << EntryField::Color << "«Color»";
        QTest::newRow("club of 5") << "club"
                                   << "12345" << EntryField::Club << "«Club» admite como máximo 4";
        QTest::newRow("group of 3") << "grupo"
                                    << "ABC" << EntryField::Grupo << "«Grupo»";
        QTest::newRow("category of 2 in group D")
            << "categ"
            << "AB" << EntryField::Categ << "«Categoria» admite como máximo 1 carácter";
        QTest::newRow("coefficient not a number") << "coef"
                                                  << "1,2,3" << EntryField::Coef << "«Coef»";
        QTest::newRow("contests beyond a whole number") << "conc"
                                                        << "99999999999" << EntryField::Conc << "«Conc»";
    }
    void badEntries()
    {
        QFETCH(QString, boxName);
        QFETCH(QString, typed);
        QFETCH(EntryField, field);
        QFETCH(QString, named);
        BirdEntry e = entry("5", "D");
        e.categ = "A";
        QString BirdEntry::*member = boxName == "jaula"      ? &BirdEntry::jaula
                                     : boxName == "anilla"   ? &BirdEntry::anilla
                                     : boxName == "anio"     ? &BirdEntry::anio
                                     : boxName == "licencia" ? &BirdEntry::licencia
                                     : boxName == "nombre"   ? &BirdEntry::nombre
                                     : boxName == "color"    ? &BirdEntry::color
                                     : boxName == "club"     ? &BirdEntry::club
                                     : boxName == "grupo"    ? &BirdEntry::grupo
                                     : boxName == "categ"    ? &BirdEntry::categ
                                     : boxName == "coef"     ? &BirdEntry::coef
                                                             : &BirdEntry::conc;
        e.*member = typed;
        const auto problem = reception::check(e);
        QVERIFY(problem.has_value());
        QCOMPARE(problem->field, field);
        QVERIFY2(problem->message.contains(named), qPrintable(problem->message));
        QVERIFY_THROWS_EXCEPTION(store::Error, reception::toRecord(e));
    }

    void fullLengthFieldsAreAccepted()
    {
        BirdEntry e = entry("999", "C");
        e.nombre = QString(50, u'ñ');
        e.color = QString(20, u'a');
        e.categ = "too long, but group C stores a blank";
        e.coef = "not a number, but group C stores 0";
        QVERIFY(!reception::check(e).has_value());
        QCOMPARE(reception::toRecord(e).jaula, 999);
    }

    void newCageRefusesANumberInUse()
    {
        const store::Database db = newExhibition();
        fixtures::addBird(db, 12, "A", "M", {{"anilla", "ORIGINA"}});
        try {
            reception::storeBird(db, reception::toRecord(entry("012", "B")), EntryMode::NewCage);
            QFAIL("a second cage 12 was stored");
        } catch (const store::Error& e) {
            QCOMPARE(e.message(), "Jaula Existente");
        }
        QCOMPARE(fixtures::column(db, "select * from recepcion", "anilla"), "ORIGINA");
    }

    void modificationKeepsTheScoreAndRefusesAMissingCage()
    {
        const store::Database db = newExhibition();
        fixtures::addBird(db, 3, "A", "M", {{"puntos", 270.5}, {"termina", "S"}});
        BirdEntry e = entry("3", "B");
        e.anilla = "7654321";
        reception::storeBird(db, reception::toRecord(e), EntryMode::Modify);
        store::Recordset rs = db.openRecordset("select * from recepcion");
        QCOMPARE(rs.recordCount(), 1);
        QCOMPARE(rs.text("anilla"), "7654321");
        QCOMPARE(rs.text("grupo"), "B");
        QCOMPARE(rs.value("puntos").toDouble(), 270.5);
        QCOMPARE(rs.text("termina"), "S");

        QVERIFY_THROWS_EXCEPTION(
            store::Error, reception::storeBird(db, reception::toRecord(entry("4", "A")), EntryMode::Modify));
        QCOMPARE(db.openRecordset("select * from recepcion").recordCount(), 1);
    }

    void deletingACageTakesItsScoresOnly()
    {
        const store::Database db = newExhibition();
        fixtures::addBird(db, 7, "A", "M");
        fixtures::addBird(db, 17, "A", "M");
        for (int juez = 1; juez <= 3; ++juez) {
            fixtures::addScore(db, "7", juez, 88);
            fixtures::addScore(db, "17", juez, 89);
        }
        QVERIFY(reception::deleteCage(db, 7));
        QCOMPARE(fixtures::column(db, "select * from recepcion", "jaula"), "17");
        QCOMPARE(fixtures::column(db, "select * from puntos", "jaula"), "17,17,17");

        // A cage already gone deletes nothing, not even score rows that name it.
        fixtures::addScore(db, "7", 1, 90);
        QVERIFY(!reception::deleteCage(db, 7));
        QCOMPARE(db.openRecordset("select * from puntos").recordCount(), 4);
    }

    void deletingAllKeepsConfigurationAndClubs()
    {
        const store::Database db = newExhibition();
        fixtures::setConfig(db, 5, true);
        for (int cage = 1; cage <= 4; ++cage) {
            fixtures::addBird(db, cage, "A", "H");
            fixtures::addScore(db, QString::number(cage), 1, 90);
        }
        reception::deleteAllCages(db);
        QCOMPARE(db.openRecordset("select * from recepcion").recordCount(), 0);
        QCOMPARE(db.openRecordset("select * from puntos").recordCount(), 0);
        QCOMPARE(fixtures::column(db, "select * from config", "jueces"), "5");
    }
};

QTEST_GUILESS_MAIN(TestBirdEntry)
#include "test_bird_entry.moc"
