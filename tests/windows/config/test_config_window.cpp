// "Configuracion": browsing changes nothing, "&Modificar" stores what is typed, and every later
// window reads the new settings.

#include "support/window_fixture.h"
#include "windows/config/config_window.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

class TestConfigWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<WindowFixture<ConfigWindow>> m_f;

    void click(const char* button) const { m_f->w<QPushButton>(button)->click(); }
    QString stored() const
    {
        QStringList values;
        for (const char* field : {"nombre", "jueces", "media", "quitar"})
            values << m_f->column("select * from config", field);
        return values.join(u'|');
    }

private slots:
    void init() { m_f = std::make_unique<WindowFixture<ConfigWindow>>(5, false); }

    void cleanup() { m_f.reset(); }

    void storesWhatIsTyped()
    {
        m_f->show();
        guitest::type(m_f->w("Text1"), "Tecleado"); // browsing: nothing is typed that "&Modificar" would drop
        m_f->w<QRadioButton>("Option1")->click();
        QCOMPARE(m_f->w("Text1")->text() + (m_f->w<QRadioButton>("Option1")->isChecked() ? " media" : ""),
                 "Regional de Castilla");
        click("confModificar"); // a refused number of judges is the keyboard table's
        m_f->w<QRadioButton>("Option1")->click();
        guitest::type(m_f->w("Text6"), "4");
        click("ConfAceptar");
        QCOMPARE(stored(), "Regional de Castilla|4|Verdadero|Falso");
        QCOMPARE(m_f->state.jueces(), 4); // every later window reads the settings through ConfigRs
        m_f->window->load();
        QVERIFY(m_f->w<QRadioButton>("Option1")->isChecked());
        m_f->w<QPlainTextEdit>("Text7")->setFocus(Qt::TabFocusReason);
        QCOMPARE(m_f->w<QPlainTextEdit>("Text7")->toPlainText(),
                 QString()); // typing does not start after a blank
    }
};

QTEST_MAIN(TestConfigWindow)
#include "test_config_window.moc"
