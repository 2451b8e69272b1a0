// The clubs without windows: the orders of the lists, what a club may hold, the searches, and
// storing, changing and deleting through the shared result.

#include "clubs/club.h"
#include "clubs/club_search.h"
#include "store/error.h"
#include "support/fixtures.h"

#include <QDir>

namespace
{

std::vector<clubs::Club> named(const QStringList& codes, const QStringList& names = {})
{
    std::vector<clubs::Club> result;
    for (qsizetype i = 0; i < codes.size(); ++i)
        result.push_back({codes[i], i < names.size() ? names[i] : QString(), QString()});
    return result;
}

QString codes(const std::vector<clubs::Club>& list)
{
    QStringList out;
    for (const clubs::Club& club : list)
        out << club.codigo;
    return out.join(u',');
}

} // namespace

class TestClubs : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    store::Database m_db;

    QString stored(const QString& field) const
    {
        const store::Database again = store::Database::open(m_db.path(), store::schema::clubs());
        return fixtures::column(again, QStringLiteral("select * from club"), field);
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_db = store::Database::create(QDir(m_dir->path()).filePath("Club.mdb"), store::schema::clubs());
    }

    void orders_data()
    {
        QTest::addColumn<int>("order");
        QTest::addColumn<QString>("expected");
        QTest::newRow("code as text") << int(clubs::Order::CodeAsText) << "10,2,7";
        QTest::newRow("code as number") << int(clubs::Order::CodeAsNumber) << "2,7,10";
        QTest::newRow("name, accents beside their letter") << int(clubs::Order::Name) << "7,10,2";
    }
    void orders()
    {
        QFETCH(int, order);
        QFETCH(QString, expected);
        fixtures::addClub(m_db, "10", "Peña Sur", "Madrid");
        fixtures::addClub(m_db, "2", "Zamorano", "Zamora");
        fixtures::addClub(m_db, "7", "pena Norte", "Toledo");
        store::Recordset shared;
        const auto list = clubs::reopen(m_db, shared, clubs::Order(order));
        QCOMPARE(codes(list), expected);
        // The shared result is the list: its record i is entry i.
        QCOMPARE(fixtures::column(std::move(shared), "codigo"), expected);
    }

    void entries()
    {
        const clubs::Club club{" 7 ", "Peña d'Or", "Cáceres"};
        const clubs::ListEntry maintenance = clubs::maintenanceEntry(club);
        QCOMPARE(maintenance.text, "7");
        QCOMPARE(maintenance.tag, " 7 ");
        QCOMPARE(maintenance.nombre, "Peña d'Or");
        QCOMPARE(maintenance.provincia, "CÁCERES");
        const clubs::ListEntry search = clubs::searchEntry(club);
        QCOMPARE(search.text, " 7 ");
        QCOMPARE(search.tag, " 7 ");
        QCOMPARE(search.nombre, "PEÑA D'OR");
    }

    void refusal_data()
    {
        QTest::addColumn<QString>("codigo");
        QTest::addColumn<QString>("nombre");
        QTest::addColumn<QString>("provincia");
        QTest::addColumn<int>("field"); // -1: accepted
        QTest::addColumn<QString>("named");
        QTest::newRow("all at their limits") << "1234" << QString(50, u'n') << QString(25, u'p') << -1 << "";
        QTest::newRow("name and province empty") << "7"
                                                 << ""
                                                 << "" << -1 << "";
        QTest::newRow("empty code") << ""
                                    << "Club"
                                    << "Soria" << int(clubs::Field::Codigo) << "código";
        QTest::newRow("blanks are no code") << "   "
                                            << "Club"
                                            << "Soria" << int(clubs::Field::Codigo) << "código";
        QTest::newRow("code of five") << "12345"
                                      << "Club"
                                      << "Soria" << int(clubs::Field::Codigo) << "código";
        QTest::newRow("name of 51") << "7" << QString(51, u'n') << "Soria" << int(clubs::Field::Nombre)
                                    << "nombre";
        QTest::newRow("province of 26")
            << "7"
            << "Club" << QString(26, u'p') << int(clubs::Field::Provincia) << "provincia";
    }
    void refusal()
    {
        QFETCH(QString, codigo);
        QFETCH(QString, nombre);
        QFETCH(QString, provincia);
        QFETCH(int, field);
        QFETCH(QString, named);
        const clubs::Club club{codigo, nombre, provincia};
        const auto refused = clubs::refusal(club);
        QCOMPARE(refused ? int(refused->field) : -1, field);
        if (refused)
            QVERIFY2(refused->message.contains(named), qPrintable(refused->message));

        // What is refused is never written; what is accepted is stored exactly as typed.
        store::Recordset rs = m_db.openRecordset("select * from club");
        if (refused) {
            QVERIFY_THROWS_EXCEPTION(store::Error, clubs::add(rs, club));
            QCOMPARE(stored("codigo"), QString());
        } else {
            clubs::add(rs, club);
            QCOMPARE(stored("codigo"), codigo);
            QCOMPARE(stored("nombre"), nombre);
        }
    }

    void refusedWriteLeavesTheResultUsable()
    {
        fixtures::addClub(m_db, "1", "Uno", "Soria");
        store::Recordset rs;
        clubs::reopen(m_db, rs, clubs::Order::CodeAsText);
        QVERIFY_THROWS_EXCEPTION(store::Error, clubs::changeAt(rs, 0, {"1", QString(60, u'x'), "Soria"}));
        clubs::add(rs, {"2", "Dos", "Soria"});
        QCOMPARE(stored("codigo"), "1,2");
        QCOMPARE(stored("nombre"), "Uno,Dos");
    }

    void quotesAreStoredAsTyped()
    {
        store::Recordset rs;
        clubs::reopen(m_db, rs, clubs::Order::CodeAsText);
        clubs::add(rs, {"7'", "L'Hospitalet 'Els Coloms'", "Girona'"});
        QCOMPARE(stored("codigo"), "7'");
        QCOMPARE(stored("nombre"), "L'Hospitalet 'Els Coloms'");
        QCOMPARE(stored("provincia"), "Girona'");
    }

    // Two clubs may share a code; each operation acts on the entry chosen, not on the first club
    // with its code.
    void changeAndDeleteTheChosenClubOfACode()
    {
        fixtures::addClub(m_db, "7", "Norte", "León");
        fixtures::addClub(m_db, "7", "Sur", "Cádiz");
        fixtures::addClub(m_db, " 3 ", "Blancos", "Ávila");
        store::Recordset rs;
        QCOMPARE(codes(clubs::reopen(m_db, rs, clubs::Order::CodeAsText)), " 3 ,7,7");
        clubs::changeAt(rs, 2, {"7", "Sur Nuevo", "Cádiz"});
        QCOMPARE(stored("nombre"), "Norte,Sur Nuevo,Blancos");
        clubs::removeAt(rs, 2);
        QCOMPARE(stored("nombre"), "Norte,Blancos");
        // After a deletion the indexes follow the list, which lost the entry too.
        clubs::changeAt(rs, 0, {"3", "Blancos", "Ávila"});
        QCOMPARE(stored("codigo"), "7,3");
        QVERIFY_THROWS_EXCEPTION(store::Error, clubs::removeAt(rs, 2));
        QCOMPARE(stored("codigo"), "7,3");
    }

    void wholeWord_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("word");
        QTest::addColumn<bool>("begins");
        QTest::newRow("the whole code") << "7"
                                        << "7" << true;
        QTest::newRow("a longer number") << "10"
                                         << "1" << false;
        QTest::newRow("followed by a blank") << "7 B"
                                             << "7" << true;
        QTest::newRow("followed by a letter") << "7B"
                                              << "7" << false;
        QTest::newRow("followed by a sign") << "7-B"
                                            << "7" << true;
        QTest::newRow("case ignored") << "ab"
                                      << "AB" << true;
        QTest::newRow("accents ignored") << "PEÑA SUR"
                                         << "pena" << true;
        QTest::newRow("longer word") << "7"
                                     << "77" << false;
        QTest::newRow("star is no wildcard") << "1 2"
                                             << "*" << false;
        QTest::newRow("a star matches a star") << "* 1"
                                               << "*" << true;
    }
    void wholeWord()
    {
        QFETCH(QString, text);
        QFETCH(QString, word);
        QFETCH(bool, begins);
        QCOMPARE(clubs::beginsWithWord(text, word), begins);
    }

    void findByCode_data()
    {
        QTest::addColumn<QStringList>("codes");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<int>("found"); // -1: not found
        QTest::newRow("7 finds 7") << QStringList{"2", "7", "10"} << "7" << 1;
        QTest::newRow("1 does not find 10") << QStringList{"2", "7", "10"} << "1" << -1;
        QTest::newRow("blanks around the pattern") << QStringList{"2", "10"} << " 10  " << 1;
        QTest::newRow("blanks around the code") << QStringList{"2", " 7 "} << "7" << 1;
        QTest::newRow("first of two") << QStringList{"7", "7"} << "7" << 0;
        QTest::newRow("empty pattern") << QStringList{"2"} << "  " << -1;
        QTest::newRow("preset untouched") << QStringList{"2", "7"} << "0000" << -1;
        QTest::newRow("letters, case ignored") << QStringList{"ab", "CD"} << "cd" << 1;
        QTest::newRow("quote matched as itself") << QStringList{"7", "7'"} << "7'" << 1;
    }
    void findByCode()
    {
        QFETCH(QStringList, codes);
        QFETCH(QString, pattern);
        QFETCH(int, found);
        QCOMPARE(clubs::findByCode(named(codes), pattern).value_or(-1), found);
    }

    void findByName_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("found");
        const QStringList names{"Real Club",   "San Blas", "SAN ROQUE", "Peña d'Or",
                                "Colombófila", "C*lub",    "Sin nombre"};
        QTest::newRow("san, case ignored") << names << "san" << 1;
        QTest::newRow("capitals typed") << names << "SAN R" << 2;
        QTest::newRow("blanks around") << names << "   san roque " << 2;
        QTest::newRow("accent ignored") << names << "pena" << 3;
        QTest::newRow("quote") << names << "peña d'o" << 3;
        QTest::newRow("star typed is a star") << names << "c*" << 5;
        QTest::newRow("question mark typed is one") << names << "s?n" << -1;
        QTest::newRow("not found") << names << "zamora" << -1;
        QTest::newRow("nothing typed finds the first") << names << QString(50, u' ') << 0;
        QTest::newRow("inside the name is not the beginning") << names << "club" << -1;
    }
    void findByName()
    {
        QFETCH(QStringList, names);
        QFETCH(QString, typed);
        QFETCH(int, found);
        QCOMPARE(clubs::findByName(named(QStringList(names.size(), "1"), names), typed).value_or(-1), found);
    }
};

QTEST_MAIN(TestClubs)
#include "test_clubs.moc"
