// The configuration window on a real exhibition: what it shows, what it stores, and what it
// refuses.

#include "config/config_settings.h"
#include "config/config_window.h"
#include "shell/app_state.h"
#include "shell/exhibition.h"
#include "shell/main_window.h"
#include "shell/messages.h"
#include "store/error.h"
#include "support/fixtures.h"
#include "support/gui_test.h"

#include <QAction>
#include <QComboBox>
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

    QLineEdit* text(const char* name) const { return child<QLineEdit>(m_window.get(), name); }
    QPlainTextEdit* remarks() const { return child<QPlainTextEdit>(m_window.get(), "Text7"); }
    QPushButton* button(const char* name) const { return child<QPushButton>(m_window.get(), name); }
    QRadioButton* option(const char* name) const { return child<QRadioButton>(m_window.get(), name); }

    void open()
    {
        exhibition::open(*m_state, QDir(m_dir->path()).filePath("expo.mdb"));
        m_window = std::make_unique<ConfigWindow>(*m_state);
        m_window->load();
        QVERIFY(guitest::showActive(m_window.get()));
    }

    QString stored(const QString& field) const
    {
        return fixtures::column(m_db, "select * from config", field);
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_state = std::make_unique<AppState>();
        m_state->programFolder = m_dir->path();
        m_db = store::Database::create(QDir(m_dir->path()).filePath("expo.mdb"), store::schema::exhibition());
        guitest::startScripting();
    }

    void cleanup()
    {
        m_window.reset();
        VERIFY_SCRIPTED();
    }

    void opensBrowsingOnTheStoredRow()
    {
        fixtures::addRow(m_db, "Config",
                         {{"nombre", "Regional"},
                          {"region", "Castilla"},
                          {"dibujo", "logo.gif"},
                          {"jueces", 5},
                          {"juez", "Jueces de Toledo"},
                          {"media", true},
                          {"quitar", false}});
        open();
        QCOMPARE(m_window->windowTitle(), "Configuración de la Aplicación ");
        QCOMPARE(text("Text1")->text(), "Regional");
        QCOMPARE(text("Text3")->text(), "Castilla");
        QCOMPARE(text("Text5")->text(), "logo.gif");
        QCOMPARE(text("Text6")->text(), "5");
        QCOMPARE(remarks()->toPlainText(), "Jueces de Toledo");
        QVERIFY(option("Option1")->isChecked());
        QVERIFY(!option("Option2")->isChecked());
        QVERIFY(!button("ConfAceptar")->isEnabled());
        QVERIFY(button("confModificar")->isEnabled());
        QCOMPARE(child<QComboBox>(m_window.get(), "Combo1")->currentText(), "A4");
        QCOMPARE(text("Text4")->text(), "60");
    }

    void openedFromTheMainMenu()
    {
        m_state->dbPath = QDir(m_dir->path()).filePath("expo.mdb");
        MainWindow main(*m_state);
        QVERIFY(main.openExhibition());
        QString shown;
        guitest::whenShown<ConfigWindow>([&shown](ConfigWindow* window) {
            shown = child<QLineEdit>(window, "Text1")->text();
            window->close();
        });
        child<QAction>(&main, "actionConfiguracion")->trigger();
        QCOMPARE(shown, "Sin Nombre");
    }

    void defaultRowHasNeitherCriterion()
    {
        open(); // the opening sequence writes the default row
        QCOMPARE(text("Text1")->text(), "Sin Nombre");
        QCOMPARE(text("Text6")->text(), "3");
        QVERIFY(!option("Option1")->isChecked());
        QVERIFY(!option("Option2")->isChecked());
    }

    void emptyBoxesAreStoredAsOneBlank()
    {
        open();
        button("confModificar")->click();
        text("Text1")->clear();
        text("Text3")->clear();
        remarks()->clear();
        button("ConfAceptar")->click();
        QCOMPARE(stored("nombre"), " ");
        QCOMPARE(stored("region"), " ");
        QCOMPARE(stored("juez"), " ");
        QVERIFY(!button("ConfAceptar")->isEnabled());
        QVERIFY(button("confModificar")->isEnabled());

        m_window->load();
        QCOMPARE(text("Text1")->text(), " ");
        QCOMPARE(remarks()->toPlainText(), " ");
        remarks()->setFocus(Qt::TabFocusReason);
        QCOMPARE(remarks()->toPlainText(), QString());
    }

    void modificarBringsBackTheStoredValues()
    {
        open();
        guitest::type(text("Text1"), "Tecleado");
        guitest::type(text("Text6"), "9");
        button("confModificar")->click();
        QCOMPARE(text("Text1")->text(), "Sin Nombre");
        QCOMPARE(text("Text6")->text(), "3");
        QTRY_VERIFY(text("Text1")->hasFocus());
        QVERIFY(button("ConfAceptar")->isEnabled());
        QVERIFY(!button("confModificar")->isEnabled());
    }

    void criterion_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("media");
        QTest::addColumn<QString>("quitar");
        QTest::addColumn<bool>("averageRule");
        QTest::newRow("average") << "Option1"
                                 << "Verdadero"
                                 << "Falso" << true;
        QTest::newRow("drop highest and lowest") << "Option2"
                                                 << "Falso"
                                                 << "Verdadero" << false;
    }
    void criterion()
    {
        QFETCH(QString, chosen);
        QFETCH(bool, averageRule);
        open();
        button("confModificar")->click();
        option(qPrintable(chosen))->click();
        guitest::type(text("Text6"), "4");
        button("ConfAceptar")->click();
        QTEST(stored("media"), "media");
        QTEST(stored("quitar"), "quitar");
        QCOMPARE(stored("jueces"), "4");
        // Every later window reads the new settings through the shared ConfigRs.
        QCOMPARE(m_state->media(), averageRule);
        QCOMPARE(m_state->jueces(), 4);
    }

    void judgesRefusedBeforeStoring_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::newRow("zero") << "0";
        QTest::newRow("empty") << "";
        QTest::newRow("a hundred") << "100";
        QTest::newRow("negative") << "-3";
        QTest::newRow("decimal") << "2,5";
        QTest::newRow("letters") << "tres";
    }
    void judgesRefusedBeforeStoring()
    {
        QFETCH(QString, typed);
        open();
        button("confModificar")->click();
        guitest::type(text("Text1"), "Cambiado");
        guitest::type(text("Text6"), typed);
        if (typed.isEmpty())
            text("Text6")->clear();
        Messages::script(Messages::Answer::Ok);
        button("ConfAceptar")->click();
        QCOMPARE(Messages::last().title, "Aviso");
        QVERIFY2(Messages::last().text.contains("número de jueces"), qPrintable(Messages::last().text));
        QCOMPARE(stored("nombre"), "Sin Nombre");
        QCOMPARE(stored("jueces"), "3");
        QVERIFY(button("ConfAceptar")->isEnabled()); // still editing, to correct it
        QTRY_VERIFY(text("Text6")->hasFocus());

        guitest::type(text("Text6"), " 99 ");
        button("ConfAceptar")->click();
        QCOMPARE(stored("jueces"), "99");
        QCOMPARE(stored("nombre"), "Cambiado");
    }

    void withoutARowAceptarCreatesItWithTheEmblem()
    {
        open();
        m_db.execute("DELETE FROM Config");
        m_window->load();
        QCOMPARE(text("Text6")->text(), "0");
        QCOMPARE(text("Text1")->text(), QString());
        button("confModificar")->click();
        guitest::type(text("Text1"), "Nueva");
        guitest::type(text("Text6"), "3");
        remarks()->setPlainText("no se guarda al crear");
        button("ConfAceptar")->click();
        QCOMPARE(m_db.openRecordset("select * from config").recordCount(), 1);
        QCOMPARE(stored("nombre"), "Nueva");
        QCOMPARE(stored("dibujo"), "Talvorena1.Gif");
        QCOMPARE(stored("juez"), QString());
        QCOMPARE(stored("region"), " ");
        QCOMPARE(m_state->jueces(), 3);

        // With a row, the emblem's name never changes.
        m_db.execute("UPDATE Config SET Dibujo = 'otro.gif'");
        m_window->load();
        button("confModificar")->click();
        button("ConfAceptar")->click();
        QCOMPARE(stored("dibujo"), "otro.gif");
        QCOMPARE(m_db.openRecordset("select * from config").recordCount(), 1);
    }

    void storeRefusesBadJudgesWithoutWriting()
    {
        fixtures::setConfig(m_db, 3, false);
        store::Recordset rs = m_db.openRecordset("select * from config");
        config::Settings settings;
        settings.jueces = "0";
        settings.nombre = "X";
        QVERIFY_THROWS_EXCEPTION(store::Error, config::store(rs, settings));
        QCOMPARE(stored("nombre"), "Sin Nombre");
        settings.jueces = "12";
        config::store(rs, settings); // the result is usable after the refusal
        QCOMPARE(stored("jueces"), "12");
    }
};

QTEST_MAIN(TestConfigWindow)
#include "test_config_window.moc"
