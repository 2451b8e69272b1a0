// The configuration: the rules of storing it, and the window that shows, stores and refuses it.

#include "kit/messages.h"
#include "rules/config/config_settings.h"
#include "rules/exhibition/exhibition.h"
#include "store/error.h"
#include "support/fixtures.h"
#include "support/gui_test.h"
#include "windows/config/config_window.h"
#include "windows/shell/app_state.h"

#include <QApplication>
#include <QDir>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

using guitest::child;

class TestConfigWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<AppState> m_state;
    std::unique_ptr<ConfigWindow> m_window;
    store::Database m_db;

    template <class T = QLineEdit> T* w(const char* name) const { return child<T>(m_window.get(), name); }
    void click(const char* button) const { w<QPushButton>(button)->click(); }
    QString path() const { return QDir(m_dir->path()).filePath("expo.mdb"); }

    // The window over the exhibition as the program opens it, which writes the default row.
    void openWindow()
    {
        exhibition::open(*m_state, path());
        m_window = std::make_unique<ConfigWindow>(*m_state);
        m_window->load();
        QVERIFY(guitest::showActive(m_window.get()));
    }

    // The stored fields of the configuration, each field's values over its rows, joined.
    QString stored(const QStringList& fields) const
    {
        QStringList values;
        for (const QString& field : fields)
            values << fixtures::column(m_db, "select * from config", field);
        return values.join(u'|');
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_state = std::make_unique<AppState>();
        m_state->programFolder = m_dir->path();
        m_db = store::Database::create(path(), store::schema::exhibition());
        guitest::startScripting();
    }

    void cleanup()
    {
        m_window.reset();
        VERIFY_SCRIPTED();
    }

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
        const QString unchanged = "Sin Nombre| ||5||Falso|Verdadero";
        for (const char* judges : {"0", "", "100", "2,5", "tres"})
            QTest::addRow("%s judges refused", judges)
                << true << QStringList{"N", "", judges, "", "0", "0"} << unchanged << "";
    }
    void store()
    {
        QFETCH(bool, haveRow);
        QFETCH(QStringList, typed);
        if (haveRow)
            fixtures::setConfig(m_db, 5, false);
        store::Recordset rs = m_db.openRecordset("select * from config");
        try {
            config::store(rs, {typed[0], typed[1], {}, typed[2], typed[3], typed[4] == "1", typed[5] == "1"});
        } catch (const base::Error& e) {
            QCOMPARE(e.message(),
                     QStringLiteral("El número de jueces «%1» no es válido: debe ser un número entero "
                                    "del 1 al 99.")
                         .arg(typed[2]));
        }
        QTEST(config::pendingSetUp(config::read(m_db.openRecordset("select * from config"))), "pending");
        QTEST(stored({"nombre", "region", "dibujo", "jueces", "juez", "media", "quitar"}), "stored");
    }

    void windowStoresWhatIsTypedAndRefusesBadJudges()
    {
        openWindow();
        QVERIFY(!w<QRadioButton>("Option1")->isChecked() && !w<QRadioButton>("Option2")->isChecked());
        guitest::type(w("Text1"), "Tecleado"); // browsing: nothing is typed that "&Modificar" would drop
        w<QRadioButton>("Option1")->click();
        QCOMPARE(w("Text1")->text() + (w<QRadioButton>("Option1")->isChecked() ? " media" : ""),
                 "Sin Nombre");
        click("confModificar");
        w<QRadioButton>("Option1")->click();
        guitest::type(w("Text6"), "0");
        Messages::script(Messages::Answer::Ok);
        click("ConfAceptar");
        QCOMPARE(Messages::last().text,
                 "El número de jueces «0» no es válido: debe ser un número entero del 1 al 99.");
        QTRY_VERIFY(w("Text6")->hasFocus()); // still editing, to correct it
        QCOMPARE(stored({"jueces"}), "3");
        guitest::type(w("Text6"), "4");
        click("ConfAceptar");
        QCOMPARE(stored({"nombre", "jueces", "media", "quitar"}), "Sin Nombre|4|Verdadero|Falso");
        QCOMPARE(m_state->jueces(), 4); // every later window reads the settings through ConfigRs
        m_window->load();
        QVERIFY(w<QRadioButton>("Option1")->isChecked());
        w<QPlainTextEdit>("Text7")->setFocus(Qt::TabFocusReason);
        QCOMPARE(w<QPlainTextEdit>("Text7")->toPlainText(), QString()); // typing does not start after a blank
    }
};

QTEST_MAIN(TestConfigWindow)
#include "test_config_window.moc"
