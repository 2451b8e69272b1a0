// The clubs without windows: what a club may hold, and the searches by code and by name.

#include "rules/clubs/club.h"
#include "rules/clubs/club_search.h"

#include <QTest>

class TestClubs : public QObject
{
    Q_OBJECT

private slots:
    void refusal_data()
    {
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QString>("message"); // "": accepted
        const QString longer =
            "%1 del club admite como máximo %2 caracteres, y el escrito tiene %3. Acórtelo.";
        const QString noCode = "Escriba el código del club.";
        const QString rows[][4] = {
            {"1234", QString(50, u'n'), QString(25, u'p'), ""}, // all at their limits
            {"7'", "L'Hospitalet 'Els'", "Girona'", ""},        // quotes kept as typed
            {"", "Club", "Soria", noCode},
            {"   ", "Club", "Soria", noCode}, // blanks are no code
            {"12345", "Club", "Soria", longer.arg("El código").arg(4).arg(5)},
            {"7", QString(51, u'n'), "Soria", longer.arg("El nombre").arg(50).arg(51)},
            {"7", "Club", QString(26, u'p'), longer.arg("La provincia").arg(25).arg(26)}};
        for (const auto& [codigo, nombre, provincia, message] : rows)
            QTest::addRow("«%s» %d %d", qPrintable(codigo), int(nombre.size()), int(provincia.size()))
                << QStringList{codigo, nombre, provincia} << message;
    }
    void refusal()
    {
        QFETCH(QStringList, fields);
        QFETCH(QString, message);
        const auto refused = clubs::refusal({fields[0], fields[1], fields[2]});
        QCOMPARE(refused ? refused->message : QString(), message);
    }

    void find_data()
    {
        QTest::addColumn<bool>("byName");
        QTest::addColumn<QStringList>("entries"); // their codes, or their names
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("found"); // -1: not found
        QTest::newRow("7 does not find 77") << false << QStringList{"77"} << "7" << -1;
        QTest::newRow("7 then a letter") << false << QStringList{"7B"} << "7" << -1;
        QTest::newRow("7 then a blank") << false << QStringList{"7 B"} << "7" << 0;
        QTest::newRow("blanks around both") << false << QStringList{"2", " 7 "} << " 7  " << 1;
        QTest::newRow("the first of two") << false << QStringList{"7", "7"} << "7" << 0;
        QTest::newRow("empty code") << false << QStringList{"2"} << "  " << -1;
        QTest::newRow("letters, case ignored") << false << QStringList{"ab", "CD"} << "cd" << 1;
        QTest::newRow("quote in a code") << false << QStringList{"7", "7'"} << "7'" << 1;
        const QStringList names{"Real Club", "San Blas", "SAN ROQUE", "Peña d'Or", "Cuatro", "C*lub"};
        QTest::newRow("san, case ignored") << true << names << "san" << 1;
        QTest::newRow("capitals and blanks") << true << names << "   SAN R " << 2;
        QTest::newRow("accent ignored") << true << names << "pena" << 3;
        QTest::newRow("quote in a name") << true << names << "peña d'o" << 3;
        QTest::newRow("star in a name") << true << names << "c*" << 5;
        QTest::newRow("name not found") << true << names << "zamora" << -1;
        QTest::newRow("no name typed") << true << names << QString(50, u' ') << 0;
        QTest::newRow("inside a name") << true << names << "club" << -1;
    }
    void find()
    {
        QFETCH(bool, byName);
        QFETCH(QStringList, entries);
        QFETCH(QString, typed);
        QFETCH(int, found);
        std::vector<clubs::Club> list;
        for (const QString& entry : entries)
            list.push_back(byName ? clubs::Club{"1", entry, ""} : clubs::Club{entry, "", ""});
        QCOMPARE((byName ? clubs::findByName(list, typed) : clubs::findByCode(list, typed)).value_or(-1),
                 found);
    }
};

QTEST_MAIN(TestClubs)
#include "test_clubs.moc"
