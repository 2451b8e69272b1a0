// A received bird: the cage number typed and the one proposed, the rules of its entry's boxes, a
// new cage that is already taken, and the deletion of one bird of a cage (failed at each write:
// test_all_or_nothing).

#include "rules/backups/copies.h"
#include "rules/backups/keeper.h"
#include "rules/reception/bird_entry.h"
#include "rules/reception/cage_number.h"
#include "rules/records/statuses.h"
#include "store/error.h"
#include "support/fixtures.h"

#include <tuple>

using reception::BirdEntry;

Q_DECLARE_METATYPE(reception::BirdEntry)

namespace
{

// A group D bird that check() accepts, with one box typed over it.
BirdEntry entry(QString BirdEntry::*box = nullptr, const QString& typed = {})
{
    BirdEntry e{"5", "1234567", "2024", "Hembra", "Azul", "12345", "Pérez", "7", "D", "A", "0", "0", "0"};
    if (box != nullptr)
        e.*box = typed;
    return e;
}

BirdEntry group(const QString& grupo, const QString& categ, const QString& conc, const QString& km,
                const QString& coef)
{
    BirdEntry e = entry(&BirdEntry::grupo, grupo);
    e.categ = categ, e.conc = conc, e.km = km, e.coef = coef;
    return e;
}

QString stored(const store::Database& db, const QString& field)
{
    return fixtures::column(db, "select * from recepcion where jaula = 5", field);
}

// "1-4,6,9-11": the cage of each bird received, one entry per bird.
std::vector<int> cages(const QString& listed)
{
    std::vector<int> received;
    for (const QString& part : listed.split(u',', Qt::SkipEmptyParts)) {
        const QStringList ends = part.split(u'-');
        for (int cage = ends.first().toInt(); cage <= ends.last().toInt(); ++cage)
            received.push_back(cage);
    }
    return received;
}

} // namespace

class TestBirdEntry : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    store::Database m_db;

private slots:
    void init()
    {
        QFile::remove(m_dir.filePath("expo.mdb"));
        m_db = store::Database::create(m_dir.filePath("expo.mdb"), store::schema::exhibition());
    }

    void parse_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("cage"); // 0: refused
        // From 1 to 999, which the score rows can hold, blanks and leading zeros ignored.
        const std::pair<const char*, int> rows[] = {{"1", 1},   {"999", 999}, {"012", 12},       {" 7 ", 7},
                                                    {"0", 0},   {"1000", 0},  {"-5", 0},         {"1,5", 0},
                                                    {"12x", 0}, {"", 0},      {"99999999999", 0}};
        for (const auto& [typed, cage] : rows)
            QTest::addRow("«%s»", typed) << QString(typed) << cage;
    }
    void parse()
    {
        QFETCH(QString, typed);
        QFETCH(int, cage);
        QCOMPARE(reception::parseCage(typed).value_or(0), cage);
    }

    void proposal_data()
    {
        QTest::addColumn<QString>("received"); // the cages of the birds received
        QTest::addColumn<int>("proposed");     // 0: none
        QTest::newRow("first bird") << "" << 1;
        QTest::newRow("12 birds, numbered as they came") << "1-10,30,31" << 13;
        QTest::newRow("count plus one free, higher cages taken") << "998,999" << 3;
        QTest::newRow("after deleting cage 5 of 13: 13 taken, 14 free") << "1-4,6-13" << 14;
        QTest::newRow("count plus one and the next taken") << "1-4,6-17" << 18;
        QTest::newRow("a show with gaps") << "2,4,6,8,10" << 7;
        QTest::newRow("gaps only below: the highest free below") << "1-3,5-6,8-999" << 7;
        QTest::newRow("last free cage") << "1-998" << 999;
        QTest::newRow("full show of 999 cages") << "1-999" << 0;
        QTest::newRow("full, one bird twice: 1000 would be out of range") << "1-999,500" << 0;
        QTest::newRow("999 birds, one cage twice: the one free cage") << "1-997,997,999" << 998;
        QTest::newRow("stored numbers that are no cage do not take one") << "0,1000,2" << 4;
        QTest::newRow("a gap below only, counted from above 999") << "1-499,501-999,700" << 500;
    }
    void proposal()
    {
        QFETCH(QString, received);
        QTEST(reception::proposeCage(cages(received)).value_or(0), "proposed");
    }
    void check_data()
    {
        QTest::addColumn<BirdEntry>("typed");
        QTest::addColumn<QString>("result"); // group, category and conditions stored, or the message
        const QString longer = "El campo «%1» admite como máximo %2 caracteres, y «%3» tiene %4.";
        const QString notACategory = "El campo «Categoria» admite solo las categorías de la A a la E (o de 1 "
                                     "a 5), y «%1» no es ninguna de ellas.";
        const QString noCategory = "El campo «Categoria» es obligatorio en el grupo D: escriba una categoría "
                                   "de la A a la E (o de 1 a 5).";
        QTest::newRow("d, digit 5, leading numbers, coefficient with a dot")
            << group("d", "5", "12x", "", "2.75") << "D|E|12|0|2.75";
        QTest::newRow("category in small letters stored in capitals")
            << group("D", "c", "1", "1", "") << "D|C|1|1|0";
        QTest::newRow("group c: whatever its category") << group("c", "long", "1", "", "x") << "C| |0|0|0";
        QTest::newRow("owner of 50") << entry(&BirdEntry::nombre, QString(50, u'ñ')) << "D|A|0|0|0";
        QTest::newRow("cage 1000")
            << entry(&BirdEntry::jaula, "1000")
            << "El número de jaula «1000» no es válido: debe ser un número entero del 1 al 999.";
        const std::tuple<QString BirdEntry::*, const char*, int> sizes[] = {
            {&BirdEntry::anilla, "Anilla", 7},     {&BirdEntry::anio, "Año", 4},
            {&BirdEntry::licencia, "Licencia", 5}, {&BirdEntry::color, "Color", 20},
            {&BirdEntry::club, "Club", 4},         {&BirdEntry::grupo, "Grupo", 2}};
        for (const auto& [box, name, size] : sizes)
            QTest::addRow("%s too long", name)
                << entry(box, QString(size + 1, u'7'))
                << longer.arg(name).arg(size).arg(QString(size + 1, u'7')).arg(size + 1);
        QTest::newRow("owner of 51, quoted cut")
            << entry(&BirdEntry::nombre, QString(51, u'x'))
            << longer.arg("Propietario").arg(50).arg(QString(40, u'x') + "… (51 caracteres)").arg(51);
        QTest::newRow("category of 2") << entry(&BirdEntry::categ, "AB") << notACategory.arg("AB");
        for (const char* categ : {"6", "0", "f", "Ñ"})
            QTest::addRow("%s is no category", categ)
                << entry(&BirdEntry::categ, categ) << notACategory.arg(QString::fromUtf8(categ));
        QTest::newRow("group D without category") << entry(&BirdEntry::categ, "") << noCategory;
        QTest::newRow("group D with a blank category") << entry(&BirdEntry::categ, " ") << noCategory;
        QTest::newRow("km too big") << entry(&BirdEntry::km, "99999999999")
                                    << "El campo «Km» es un número demasiado grande: «99999999999».";
        QTest::newRow("contests of 60 digits, cut")
            << entry(&BirdEntry::conc, QString(60, u'9'))
            << "El campo «Conc» es un número demasiado grande: «" + QString(40, u'9') + "… (60 caracteres)».";
        QTest::newRow("coefficient") << entry(&BirdEntry::coef, "1,2,3")
                                     << "El campo «Coef» solo admite números, como 12,5, y «1,2,3» no lo es.";
    }
    void check()
    {
        QFETCH(BirdEntry, typed);
        QFETCH(QString, result);
        const auto problem = reception::check(typed);
        if (result.contains(u'«')) {
            QCOMPARE(problem.value_or(reception::EntryProblem{}).message, result);
            try {
                reception::toRecord(typed);
                QFAIL("an entry check() refuses was turned into a record");
            } catch (const base::Error& e) {
                QCOMPARE(e.message(), result);
            }
            return;
        }
        QVERIFY2(!problem, qPrintable(problem ? problem->message : QString()));
        const reception::BirdRecord r = reception::toRecord(typed);
        QCOMPARE(QStringList({r.grupo, r.categ, QString::number(r.conc), QString::number(r.km),
                              QString::number(r.coef)})
                     .join(u'|'),
                 result);
    }

    // A new cage in use and a modification of a bird that is gone are refused, the row untouched.
    void storeRefusesAnotherCage()
    {
        fixtures::addBird(m_db, 5, "A", "M", {{"anilla", "ANTES"}});
        try {
            reception::storeBird(m_db, reception::toRecord(entry()), reception::EntryMode::NewCage);
            QFAIL("a second cage 5 was stored");
        } catch (const base::Error& e) {
            QCOMPARE(e.message(), "Jaula Existente");
        }
        const reception::BirdRecord gone = reception::toRecord(entry(&BirdEntry::jaula, "6"));
        QVERIFY_THROWS_EXCEPTION(base::Error, reception::storeBird(m_db, gone, reception::EntryMode::Modify));
        QCOMPARE(stored(m_db, "anilla"), "ANTES");
    }

    // The reception import may store a second bird in a cage in use (another ring). A deletion
    // removes the bird named and no other; the cage's scores go with its last bird; the
    // exhibition is copied first.
    void deletingABird_data()
    {
        QTest::addColumn<QStringList>("rings"); // of the birds of cage 5, in store order
        QTest::addColumn<int>("deleted");       // the bird deleted, from 0; one beyond: a bird gone
        QTest::addColumn<QString>("left");      // the rings left in cage 5, its score rows, its status
        QTest::newRow("the second of two: the scores stay") << QStringList{"111", "222"} << 1 << "111|1,2|Ausente";
        QTest::newRow("the first of two") << QStringList{"111", "222"} << 0 << "222|1,2|Ausente";
        QTest::newRow("the only bird: its scores go") << QStringList{"111"} << 0 << "||";
        QTest::newRow("a bird deleted meanwhile: nothing") << QStringList{"111"} << 1 << "111|1,2|Ausente";
    }
    void deletingABird()
    {
        QFETCH(QStringList, rings);
        QFETCH(int, deleted);
        QFETCH(QString, left);
        for (const QString& ring : rings)
            fixtures::addBird(m_db, 5, "A", "M", {{"anilla", ring}});
        for (int juez = 1; juez <= 2; ++juez)
            fixtures::addScore(m_db, "5", juez, 90);
        m_db.execute("INSERT INTO Estado (jaula, anilla, estado) VALUES (5, '', 'Ausente')");
        store::Recordset cage = m_db.openRecordset("select * from recepcion where jaula = 5");
        for (int i = 0; i < deleted && !cage.eof(); ++i)
            cage.moveNext();
        const qint64 row = cage.eof() ? 99 : cage.rowid();
        backups::Keeper keeper;
        QCOMPARE(reception::deleteBird(m_db, keeper, {5, row}), deleted < rings.size());
        QCOMPARE(stored(m_db, "anilla") + '|' + fixtures::column(m_db, "select * from puntos", "juez") + '|' +
                     records::statusOf(m_db, 5).text(),
                 left);
        QCOMPARE(backups::contentsOf(keeper.lastCopy()).cages, int(rings.size()));
    }
};

QTEST_GUILESS_MAIN(TestBirdEntry)
#include "test_bird_entry.moc"
