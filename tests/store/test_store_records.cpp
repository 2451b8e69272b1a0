// Reading, adding, changing and deleting records through results, as the windows do.

#include "store/error.h"
#include "support/fixtures.h"

#include <QTest>

using fixtures::addBird;
using fixtures::column;

class TestStoreRecords : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    store::Database m_db;
    int m_file = 0;

    QString cages(const QString& field = "jaula") const
    {
        return column(m_db, "select * from recepcion order by val(jaula)", field);
    }

private slots:
    void init()
    {
        m_db = store::Database::create(m_dir.filePath(QString("expo%1.mdb").arg(++m_file)),
                                       store::schema::exhibition());
        for (int cage : {5, 3, 9, 3})
            addBird(m_db, cage, "A", "M", {{"anilla", QString::number(cage * 100)}});
    }

    void findFirstWithinTheResultInItsOrder()
    {
        store::Recordset rs = m_db.openRecordset("select * from recepcion order by val(jaula) desc");
        rs.moveLast();
        QVERIFY(rs.findFirst("jaula = 3"));
        QVERIFY(!rs.noMatch());
        QCOMPARE(rs.value("anilla").toString(), "300"); // the first of the two cages 3: stored first
        QVERIFY(rs.findFirst("cstr(jaula) = '9'"));
        QCOMPARE(rs.value("JAULA").toInt(), 9);
        QVERIFY(!rs.findFirst("cstr(jaula) = '4'"));
        QVERIFY(rs.noMatch());
        QCOMPARE(rs.value("jaula").toInt(), 9); // position kept
        QVERIFY(!m_db.openRecordset("select * from recepcion where jaula = 5").findFirst("jaula = 9"));
        store::Recordset closed;
        QVERIFY(!closed.findFirst("jaula = 9"));
        QCOMPARE(closed.recordCount(), 0);
        QVERIFY(closed.eof());
    }

    void walkAddChangeDelete()
    {
        store::Recordset rs = m_db.openRecordset("select * from Recepcion order by val(Jaula)");
        store::Recordset other = m_db.openRecordset("select * from recepcion where cstr(jaula) = '5'");
        QCOMPARE(rs.recordCount(), 4);
        rs.addNew();
        rs.setValue("jaula", "12");
        rs.setValue("año", "2005");
        rs.update();
        QCOMPARE(rs.recordCount(), 5);
        QCOMPARE(rs.value("jaula").toInt(), 3); // still on the record current before addNew
        QVERIFY(rs.findFirst("jaula = 9"));
        rs.edit();
        rs.setValue("color", "Azul");
        rs.update();
        rs.remove();
        QCOMPARE(rs.recordCount(), 4);
        QVERIFY_THROWS_EXCEPTION(store::Error, rs.value("jaula"));
        rs.moveNext();
        QCOMPARE(rs.value("jaula").toInt(), 12); // the added record is at the end
        QCOMPARE(rs.value("AÑO").toString(), "2005");
        QVERIFY(!rs.value("puntos").isValid()); // Null until written
        rs.moveNext();
        QVERIFY(rs.eof());
        QVERIFY_THROWS_EXCEPTION(store::Error, rs.moveNext());
        other.edit();
        other.setValue("puntos", 88.5);
        other.update();
        QVERIFY(rs.findFirst("jaula = 5")); // a change through one result is seen by the others
        QCOMPARE(rs.value("puntos").toDouble(), 88.5);
        QCOMPARE(cages(), "3,3,5,12");
        for (rs.moveFirst(); !rs.eof(); rs.moveNext())
            rs.remove();
        QCOMPARE(rs.recordCount(), 0);
        QCOMPARE(cages(), "");
    }

    // The values of an edit belong to the record it started on: moving on before update (to the
    // end of the result, where no record is) must neither write past the rows read nor into
    // another record.
    void updateAfterMovingStoresIntoTheEditedRecord()
    {
        store::Recordset rs = m_db.openRecordset("select * from recepcion order by val(jaula)");
        QVERIFY(rs.findFirst("jaula = 5"));
        rs.edit();
        rs.setValue("color", "Rodado");
        rs.moveLast();
        rs.moveNext();
        QVERIFY(rs.eof());
        rs.update();
        QCOMPARE(cages("color"), ",,Rodado,");
    }

    // Each value as its field keeps it, or its refusal naming the field and the limit; the file
    // itself refuses them too, whoever writes to it.
    void valuesForTheirField_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QVariant>("written");
        QTest::addColumn<QVariant>("read");
        QTest::addColumn<QString>("refusal");
        const auto row = [](const char* name, const char* field, const QVariant& written,
                            const QVariant& read, const QString& refusal = {}) {
            QTest::newRow(name) << field << written << read << refusal;
        };
        const QString tooLong = "El valor «%1» no cabe en el campo «%2», que admite como máximo %3.";
        const QString notWhole = "El campo «%1» solo admite números enteros, y «%2» no lo es.";
        row("decimal comma into a Double", "coef", "3,456", 3.456);
        row("digits into a Long", "conc", " 12 ", 12);
        row("number into a Text", "anilla", 12345, "12345");
        row("text at its limit", "anilla", "1234567", "1234567");
        row("ring too long", "anilla", "12345678", {}, tooLong.arg("12345678", "anilla", "7 caracteres"));
        row("sex of two letters", "sexo", "MH", {}, tooLong.arg("MH", "sexo", "1 carácter"));
        row("decimals in a Long", "conc", "12,5", {}, notWhole.arg("conc", "12,5"));
        row("empty Long", "km", "", {}, notWhole.arg("km", ""));
        row("beyond 32 bits", "jaula", qint64(3000000000), {},
            "El campo «jaula» solo admite números enteros entre -2.147.483.648 y 2.147.483.647, y "
            "«3000000000» no "
            "lo está.");
        row("letters in a Double", "coef", "abc", {},
            "El campo «coef» solo admite números, y «abc» no lo es.");
    }
    void valuesForTheirField()
    {
        QFETCH(QString, field);
        QFETCH(QVariant, written);
        QFETCH(QVariant, read);
        QFETCH(QString, refusal);
        try {
            fixtures::addRow(m_db, "Recepcion", {{"jaula", 40}, {field, written}});
            QCOMPARE(m_db.openRecordset("select * from recepcion where jaula = 40").value(field), read);
        } catch (const store::Error& e) {
            QCOMPARE(e.message(), refusal);
            QCOMPARE(cages(), "3,3,5,9");
        }
        QVERIFY_THROWS_EXCEPTION(
            store::Error, m_db.execute("INSERT INTO Recepcion (jaula, anilla) VALUES (1, '12345678')"));
        QVERIFY_THROWS_EXCEPTION(store::Error, m_db.execute("INSERT INTO Recepcion (jaula) VALUES ('x')"));
    }

    void transactionRollsBackUnlessCommitted()
    {
        {
            store::Transaction transaction(m_db);
            addBird(m_db, 77, "A", "M");
            for (const bool commit : {true, false}) {
                store::Transaction inner(m_db);
                addBird(m_db, commit ? 78 : 79, "A", "M");
                if (commit)
                    inner.commit();
            }
            QCOMPARE(cages(), "3,3,5,9,77,78");
        }
        QCOMPARE(cages(), "3,3,5,9");
    }
};

QTEST_GUILESS_MAIN(TestStoreRecords)
#include "test_store_records.moc"
