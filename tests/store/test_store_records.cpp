// Reading, adding, changing and deleting records through results, as the windows do.

#include "store/error.h"
#include "store/write_fault.h"
#include "support/fixtures.h"

#include <QFileInfo>
#include <QTest>
#include <thread>

using fixtures::addBird;
using fixtures::column;

class TestStoreRecords : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    store::Database m_db;
    int m_file = 0;

private slots:
    void init()
    {
        m_db = store::Database::create(m_dir.filePath(QStringLiteral("expo%1.mdb").arg(++m_file)),
                                       store::schema::exhibition());
        for (int cage : {5, 3, 9, 3})
            addBird(m_db, cage, "A", "M", {{"anilla", QString::number(cage * 100)}});
    }

    void findFirstFollowsTheResultOrder()
    {
        store::Recordset rs = m_db.openRecordset("select * from recepcion order by val(jaula) desc");
        rs.moveLast();
        QVERIFY(rs.findFirst("jaula = 3"));
        QVERIFY(!rs.noMatch());
        // The first of the two cages 3 in this result's order is the one stored first.
        QCOMPARE(rs.value("anilla").toString(), "300");
        QVERIFY(rs.findFirst("cstr(jaula) = '9'"));
        QCOMPARE(rs.value("JAULA").toInt(), 9);
        QVERIFY(!rs.findFirst("cstr(jaula) = '4'"));
        QVERIFY(rs.noMatch());
        QCOMPARE(rs.value("jaula").toInt(), 9); // position kept
    }

    void findFirstOnlyWithinTheResult()
    {
        store::Recordset rs = m_db.openRecordset("select * from recepcion where jaula = 5");
        QVERIFY(!rs.findFirst("jaula = 9"));
        QVERIFY(rs.noMatch());
        store::Recordset closed;
        QVERIFY(!closed.findFirst("jaula = 9"));
        QCOMPARE(closed.recordCount(), 0);
        QVERIFY(closed.eof());
    }

    void walkAddChangeDelete()
    {
        store::Recordset rs = m_db.openRecordset("select * from Recepcion order by val(Jaula)");
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
        QCOMPARE(rs.text("puntos"), QString());
        rs.moveNext();
        QVERIFY(rs.eof());
        QVERIFY_THROWS_EXCEPTION(store::Error, rs.moveNext());

        // Seen by every query opened after the change.
        QCOMPARE(column(m_db, "select * from recepcion order by val(jaula)", "jaula"), "3,3,5,12");
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
        QCOMPARE(column(m_db, "select * from recepcion order by val(jaula)", "color"), ",,Rodado,");
    }

    void deletingWhileWalking()
    {
        store::Recordset rs = m_db.openRecordset("select * from recepcion order by val(jaula)");
        for (rs.moveFirst(); !rs.eof(); rs.moveNext())
            rs.remove();
        QCOMPARE(rs.recordCount(), 0);
        QCOMPARE(m_db.openRecordset("select * from recepcion").recordCount(), 0);
    }

    void anotherResultSeesAChange()
    {
        store::Recordset shared = m_db.openRecordset("select * from recepcion order by val(jaula)");
        store::Recordset own = m_db.openRecordset("select * from recepcion where cstr(jaula) = '5'");
        own.edit();
        own.setValue("puntos", 88.5);
        own.update();
        QVERIFY(shared.findFirst("jaula = 5"));
        QCOMPARE(shared.value("puntos").toDouble(), 88.5);
    }

    void valuesConvertedForTheirField_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QVariant>("written");
        QTest::addColumn<QVariant>("read");
        QTest::newRow("decimal comma into a Double") << "coef" << QVariant("3,456") << QVariant(3.456);
        QTest::newRow("grouped thousands") << "puntos" << QVariant("1.234,50") << QVariant(1234.5);
        QTest::newRow("digits into a Long") << "conc" << QVariant(" 12 ") << QVariant(12);
        QTest::newRow("whole decimal into a Long") << "km" << QVariant("350,0") << QVariant(350);
        QTest::newRow("number into a Text") << "anilla" << QVariant(12345) << QVariant("12345");
        QTest::newRow("text at its limit") << "anilla" << QVariant("1234567") << QVariant("1234567");
        QTest::newRow("empty text stays empty") << "color" << QVariant("") << QVariant("");
    }
    void valuesConvertedForTheirField()
    {
        QFETCH(QString, field);
        QFETCH(QVariant, written);
        QFETCH(QVariant, read);
        fixtures::addRow(m_db, "Recepcion", {{"jaula", 40}, {field, written}});
        store::Recordset rs = m_db.openRecordset("select * from recepcion where jaula = 40");
        QCOMPARE(rs.value(field), read);
    }

    void refusedValuesNameTheField_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QVariant>("written");
        QTest::addColumn<QString>("message");
        QTest::newRow("ring too long")
            << "anilla" << QVariant("12345678")
            << "El valor «12345678» no cabe en el campo «anilla», que admite como máximo 7 "
               "caracteres.";
        QTest::newRow("sex of two letters")
            << "sexo" << QVariant("MH")
            << "El valor «MH» no cabe en el campo «sexo», que admite como máximo 1 "
               "carácter.";
        QTest::newRow("letters in a Long")
            << "jaula" << QVariant("12x")
            << "El campo «jaula» solo admite números enteros, y «12x» no lo es.";
        QTest::newRow("decimals in a Long")
            << "conc" << QVariant("12,5")
            << "El campo «conc» solo admite números enteros, y «12,5» no lo es.";
        QTest::newRow("empty Long") << "km" << QVariant("")
                                    << "El campo «km» solo admite números enteros, y «» no lo es.";
        QTest::newRow("beyond 32 bits")
            << "jaula" << QVariant(qint64(3000000000))
            << "El campo «jaula» solo admite números enteros entre -2.147.483.648 y "
               "2.147.483.647, y «3000000000» no lo está.";
        QTest::newRow("letters in a Double")
            << "coef" << QVariant("abc") << "El campo «coef» solo admite números, y «abc» no lo es.";
    }
    void refusedValuesNameTheField()
    {
        QFETCH(QString, field);
        QFETCH(QVariant, written);
        QFETCH(QString, message);
        store::Recordset rs = m_db.openRecordset("select * from recepcion");
        rs.addNew();
        rs.setValue("jaula", 50);
        rs.setValue(field, written);
        try {
            rs.update();
            QFAIL("the value was stored");
        } catch (const store::Error& e) {
            QCOMPARE(e.message(), message);
        }
        QCOMPARE(m_db.openRecordset("select * from recepcion").recordCount(), 4);
    }

    void textStoredBehindTheStoresBackIsRefusedToo()
    {
        // The file itself refuses what the store's own checks would: another program writing
        // to it cannot put an over-long ring in.
        QVERIFY_THROWS_EXCEPTION(
            store::Error, m_db.execute("INSERT INTO Recepcion (jaula, anilla) VALUES (1, '12345678')"));
        QVERIFY_THROWS_EXCEPTION(store::Error, m_db.execute("INSERT INTO Recepcion (jaula) VALUES ('x')"));
    }

    void yesNoFieldsStartAsNo()
    {
        fixtures::addRow(m_db, "Config", {{"jueces", 3}, {"nombre", "Sin Nombre"}});
        store::Recordset rs = m_db.openRecordset("select * from config ");
        QCOMPARE(rs.value("media"), QVariant(false));
        QCOMPARE(rs.value("quitar"), QVariant(false));
        QVERIFY(!rs.value("juez").isValid());
    }

    void transactionRollsBackUnlessCommitted()
    {
        {
            store::Transaction transaction(m_db);
            fixtures::addBird(m_db, 77, "A", "M");
            {
                store::Transaction inner(m_db);
                fixtures::addBird(m_db, 78, "A", "M");
                inner.commit();
            }
            {
                store::Transaction inner(m_db);
                fixtures::addBird(m_db, 79, "A", "M");
            }
            QCOMPARE(column(m_db, "select * from recepcion where jaula > 70 order by jaula", "jaula"),
                     "77,78");
        }
        QCOMPARE(m_db.openRecordset("select * from recepcion where jaula > 70").recordCount(), 0);
    }

    // The seam the all-or-nothing tests rely on: it must count the writes of every path (results,
    // statements, whole-table deletions), skip reads, and fail with the store's own message.
    void forcedWriteFailure_data()
    {
        QTest::addColumn<int>("nth");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("cagesLeft");
        const QString full = QStringLiteral("No queda espacio en el disco para guardar «%1».");
        QTest::newRow("first write: the new bird")
            << 1 << int(store::WriteFault::Kind::DiskFull) << full << "3,3,5,9";
        QTest::newRow("second write: the change")
            << 2 << int(store::WriteFault::Kind::DiskFull) << full << "3,3,5,9";
        QTest::newRow("third write: the deletion of every bird")
            << 3 << int(store::WriteFault::Kind::ReadOnly)
            << QStringLiteral("No se puede escribir en «%1»: el archivo o su carpeta es de solo lectura.")
            << "3,3,5,9";
        QTest::newRow("fourth write never comes")
            << 4 << int(store::WriteFault::Kind::IoError) << QString() << "";
    }

    void forcedWriteFailure()
    {
        QFETCH(int, nth);
        QFETCH(int, kind);
        QFETCH(QString, message);
        QFETCH(QString, cagesLeft);
        store::WriteFault fault(nth, store::WriteFault::Kind(kind));
        QString raised;
        try {
            store::Transaction pass(m_db);
            fixtures::addBird(m_db, 40, "A", "M");
            store::Recordset rs = m_db.openRecordset("select * from recepcion where jaula = 5");
            rs.edit();
            rs.setValue("color", "Rojo");
            rs.update();
            m_db.execute("DELETE FROM Recepcion");
            pass.commit();
        } catch (const store::Error& error) {
            raised = error.message();
        }
        const QString fileName = QFileInfo(m_db.path()).fileName();
        QCOMPARE(raised, message.isEmpty() ? QString() : message.arg(fileName));
        QCOMPARE(fault.fired(), !message.isEmpty());
        QCOMPARE(fault.writesSeen(), std::min(nth, 3));
        QCOMPARE(column(m_db, "select * from recepcion order by jaula", "jaula"), cagesLeft);
    }

    void secondCopyWaitsForTheOthersWrite()
    {
        store::Database other = store::Database::open(m_db.path(), store::schema::exhibition());
        std::thread holder([&other] {
            store::Transaction transaction(other);
            fixtures::addBird(other, 60, "A", "M");
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            transaction.commit();
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        fixtures::addBird(m_db, 61, "A", "M"); // meets the lock, waits, then writes
        holder.join();
        QCOMPARE(column(m_db, "select * from recepcion where jaula > 59 order by jaula", "jaula"), "60,61");
    }
};

QTEST_GUILESS_MAIN(TestStoreRecords)
#include "test_store_records.moc"
