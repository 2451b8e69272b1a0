// The main window: what its opening shows and shares, its status bar, "Acerca de", and the
// configuration stored and shown behind its window at once.

#include "kit/messages.h"
#include "support/window_fixture.h"

#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

using guitest::child;

class TestMainWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<WindowFixture<MainWindow>> m_f;

    QString label(const char* name) const { return w<QLabel>(name)->text(); }
    void open() const { m_f->openMain(); }
    template <class T> T* w(const char* name) const { return guitest::child<T>(m_f->main.get(), name); }

private slots:
    void init() { m_f = std::make_unique<WindowFixture<MainWindow>>(5, true); }

    void cleanup() { m_f.reset(); }

    // The show's name and region, its file's path, the emblem when the program folder has it;
    // the shared results opened, the birds in numeric order, the configuration read.
    void openingShowsAndShares()
    {
        fixtures::addBird(m_f->db(), 10, "A", "M");
        fixtures::addBird(m_f->db(), 2, "A", "H");
        open();
        QCOMPARE(label("Label1") + "|" + label("Label2") + "|" + w<QLabel>("archivo")->toolTip(),
                 "Regional de Castilla|Castilla|" + QDir::toNativeSeparators(m_f->state.dbPath));
        QVERIFY(w<QLabel>("Picture1")->pixmap().isNull());
        QCOMPARE(m_f->state.receRs.recordCount(), 2);
        QCOMPARE(m_f->state.receRs.value("jaula").toInt(), 2);
        QCOMPARE(m_f->state.jueces(), 5);
        QVERIFY(m_f->state.clubRs.isOpen());

        QFile gif(m_f->path("Talvorena1.gif")); // the smallest GIF: one transparent pixel
        QVERIFY(gif.open(QIODevice::WriteOnly));
        gif.write(QByteArray::fromBase64("R0lGODlhAQABAIAAAAAAAP///yH5BAEAAAAALAAAAAABAAEAAAIBRAA7"));
        gif.close();
        open();
        QVERIFY(!w<QLabel>("Picture1")->pixmap().isNull());
    }

    // The switch flips at every click on any panel; the day panel shows the date only when it
    // was clicked and the switch is on.
    void dayPanelAlternatesBetweenDateAndTime()
    {
        open();
        QStringList seen;
        for (const char* panel : {"dia", "dia", "texto", "dia", "dia"}) {
            QTest::mouseClick(w<QLabel>(panel), Qt::LeftButton);
            seen << (label("dia").count(u'/') == 2 ? "fecha" : "hora");
        }
        QCOMPARE(seen.join(u' '), "fecha hora hora hora fecha");
    }

    // "Acerca de" tells the version the package carries and where this program keeps its files.
    void aboutTellsVersionAndDataFolder()
    {
        open();
        Messages::script(Messages::Answer::Ok);
        w<QAction>("actionAcercaDe")->trigger();
        QCOMPARE(
            Messages::last().title + ": " + Messages::last().text,
            "Acerca de: Programa para Exposiciones de Palomas Mensajeras<br>Versión " PALOMAS_PROJECT_VERSION
            "<br><br>Carpeta de los datos: " +
                QDir::toNativeSeparators(m_f->dir.path()));
        QVERIFY(m_f->main->isVisible());
    }

    // "Configuracion" types nothing while browsing and stores what "&Modificar" typed; the name
    // and region are shown at once, behind it, the line that says what a new show needs first
    // goes, and every later window reads the new settings.
    void configurationStoredAndShownAtOnce()
    {
        m_f->db().execute("DELETE FROM Config");
        open();
        const auto pending = [this] {
            const auto* line = w<QLabel>("primerosPasos");
            return line->isVisible() ? line->text() : QString();
        };
        QCOMPARE(pending(), "Para empezar: 3 Configuracion (número de jueces y criterio); después 4 Club; "
                            "después 1 Recepcion.");
        QString shownBehind;
        guitest::whenShown<QDialog>([&](QDialog* config) {
            guitest::type(child<QLineEdit>(config, "Text1"), "Tecleado"); // browsing: not typed
            shownBehind = child<QLineEdit>(config, "Text1")->text() + "|";
            QTest::mouseClick(child<QPushButton>(config, "confModificar"), Qt::LeftButton);
            guitest::type(child<QLineEdit>(config, "Text1"), "Exposicion de Invierno");
            guitest::type(child<QLineEdit>(config, "Text3"), "Castilla");
            guitest::type(child<QLineEdit>(config, "Text6"), "4");
            child<QRadioButton>(config, "Option1")->click();
            QTest::mouseClick(child<QPushButton>(config, "ConfAceptar"), Qt::LeftButton);
            shownBehind += label("Label1") + "|" + label("Label2") + "|" + pending();
            config->reject();
        });
        w<QAction>("actionConfiguracion")->trigger();
        QCOMPARE(shownBehind, "Sin Nombre|Exposicion de Invierno|Castilla|");
        QStringList stored;
        for (const char* field : {"nombre", "jueces", "media", "quitar"})
            stored << m_f->column("select * from config", field);
        QCOMPARE(stored.join(u'|') + '|' + QString::number(m_f->state.jueces()),
                 "Exposicion de Invierno|4|Verdadero|Falso|4");
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
