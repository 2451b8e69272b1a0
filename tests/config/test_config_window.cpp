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
        QTest::newRow("empty boxes as one blank")
            << true << QStringList{"", "", "3", "", "1", "0"} << " | ||3| |Verdadero|Falso";
        QTest::newRow("drop highest and lowest, 99 judges")
            << true << QStringList{"N", "R", " 99 ", "J", "0", "1"} << "N|R||99|J|Falso|Verdadero";
        QTest::newRow("a new row: the emblem, no remarks")
            << false << QStringList{"N", "", "1", "J", "0", "0"} << "N| |Talvorena1.Gif|1||Falso|Falso";
        const QString unchanged = "Sin Nombre| ||5||Falso|Verdadero";
        for (const char* judges : {"0", "", "100", "2,5", "tres"})
            QTest::addRow("%s judges refused", judges)
                << true << QStringList{"N", "", judges, "", "0", "0"} << unchanged;
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
        QTEST(stored({"nombre", "region", "dibujo", "jueces", "juez", "media", "quitar"}), "stored");
    }

    void windowStoresWhatIsTypedAndRefusesBadJudges()
    {
        openWindow();
        QVERIFY(!w<QRadioButton>("Option1")->isChecked() && !w<QRadioButton>("Option2")->isChecked());
        guitest::type(w("Text1"), "Tecleado");
        click("confModificar"); // brings back what is stored
        QCOMPARE(w("Text1")->text(), "Sin Nombre");
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

    // Enter moves on as Tab does and, on a button, presses it.
    void enterOnTheButtons_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("after"); // shown | stored name | "Aceptar" enabled
        QTest::newRow("&Aceptar stores") << "ConfAceptar"
                                         << "abierta|Nueva|no";
        QTest::newRow("&Salir closes") << "confSalir"
                                       << "cerrada|Sin Nombre|si";
    }
    void enterOnTheButtons()
    {
        QFETCH(QString, button);
        openWindow();
        w<QPushButton>("confModificar")->setFocus(Qt::TabFocusReason);
        guitest::key(Qt::Key_Return); // "&Modificar": editing, in the name
        QVERIFY(w("Text1")->hasFocus());
        QTRY_COMPARE(w("Text1")->selectedText(), "Sin Nombre"); // typing replaces it
        QTest::keyClicks(w("Text1"), "Nueva");
        guitest::key(Qt::Key_Return);
        for (int tabs = 0; QApplication::focusWidget() != w<QPushButton>(qPrintable(button)); ++tabs) {
            QVERIFY2(tabs < 20, "the buttons are out of the keyboard's reach");
            guitest::key(Qt::Key_Tab);
        }
        guitest::key(Qt::Key_Return);
        QTEST(QStringList({m_window->isVisible() ? "abierta" : "cerrada", stored({"nombre"}),
                           w<QPushButton>("ConfAceptar")->isEnabled() ? "si" : "no"})
                  .join(u'|'),
              "after");
    }

    // "&Modificar" brings the stored name back selected, also when the name box had the focus.
    void modificarSelectsTheName()
    {
        openWindow();
        guitest::type(w("Text1"), "Tecleado");
        click("confModificar"); // the focus stays in the name box
        QCOMPARE(w("Text1")->selectedText(), "Sin Nombre");
        QTest::keyClicks(w("Text1"), "Nueva");
        QCOMPARE(w("Text1")->text(), "Nueva");
    }

    // Esc has no role in this window: what is being typed is never thrown away by it.
    void escapeHasNoRole_data()
    {
        QTest::addColumn<bool>("editing");
        QTest::newRow("browsing") << false;
        QTest::newRow("during Modificar") << true;
    }
    void escapeHasNoRole()
    {
        QFETCH(bool, editing);
        openWindow();
        if (editing)
            click("confModificar");
        guitest::type(w("Text1"), "A medio escribir");
        guitest::key(Qt::Key_Escape);
        QApplication::processEvents();
        QVERIFY(m_window->isVisible());
        QCOMPARE(w("Text1")->text(), "A medio escribir");
        QCOMPARE(w<QPushButton>("ConfAceptar")->isEnabled(), editing);
        if (editing) {
            click("ConfAceptar");
            QCOMPARE(stored({"nombre"}), "A medio escribir");
        }
    }
};

QTEST_MAIN(TestConfigWindow)
#include "test_config_window.moc"
