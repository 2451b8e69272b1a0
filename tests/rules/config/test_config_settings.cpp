// The configuration's one row: what is stored of the boxes, the number of judges refused, and
// what the show still lacks before its day.

#include "rules/config/config_settings.h"
#include "store/error.h"
#include "support/fixtures.h"

class TestConfigSettings : public QObject
{
    Q_OBJECT

private slots:
    void store_data()
    {
        QTest::addColumn<bool>("haveRow");
        QTest::addColumn<QStringList>("typed"); // name, region, judges, remarks, average, drop
        QTest::addColumn<QString>("stored");    // name, region, emblem, judges, remarks, media, quitar
        QTest::addColumn<QString>("pending");   // the main window's line on the show's set-up
        const QString first = "Para empezar: 3 Configuracion (número de jueces y criterio); después 4 Club; "
                              "después 1 Recepcion.";
        QTest::newRow("empty boxes as one blank")
            << true << QStringList{"", "", "3", "", "1", "0"} << " | ||3| |Verdadero|Falso"
            << "";
        QTest::newRow("drop highest and lowest, 99 judges")
            << true << QStringList{"N", "R", " 99 ", "J", "0", "1"} << "N|R||99|J|Falso|Verdadero"
            << "";
        QTest::newRow("a new row: the emblem, no remarks, no criterion")
            << false << QStringList{"N", "", "1", "J", "0", "0"} << "N| |Talvorena1.Gif|1||Falso|Falso"
            << first;
        QTest::newRow("no row: no judges")
            << false << QStringList{"N", "", "0", "", "1", "0"} << "||||||"
            << "La configuración no tiene jueces: póngalos en 3 Configuracion, o no se podrá puntuar.";
        for (const char* judges : {"0", "", "100", "2,5", "tres"})
            QTest::addRow("%s judges refused", judges)
                << true << QStringList{"N", "", judges, "", "0", "0"} << "Sin Nombre| ||5||Falso|Verdadero"
                << "";
    }
    void store()
    {
        QFETCH(bool, haveRow);
        QFETCH(QStringList, typed);
        QTemporaryDir dir;
        const store::Database db =
            store::Database::create(dir.filePath("expo.mdb"), store::schema::exhibition());
        if (haveRow)
            fixtures::setConfig(db, 5, false);
        store::Recordset rs = db.openRecordset("select * from config");
        try {
            config::store(rs, {typed[0], typed[1], {}, typed[2], typed[3], typed[4] == "1", typed[5] == "1"});
        } catch (const base::Error& e) {
            QCOMPARE(e.message(), QStringLiteral("El número de jueces «%1» no es válido: debe ser un número "
                                                 "entero del 1 al 99.")
                                      .arg(typed[2]));
        }
        QTEST(config::pendingSetUp(config::read(db.openRecordset("select * from config"))), "pending");
        QStringList values;
        for (const char* field : {"nombre", "region", "dibujo", "jueces", "juez", "media", "quitar"})
            values << fixtures::column(db, "select * from config", field);
        QTEST(values.join(u'|'), "stored");
    }
};

QTEST_GUILESS_MAIN(TestConfigSettings)
#include "test_config_settings.moc"
