// The start window's "Nuevo" and "Existente"; the main window and the configuration from it.

#include "kit/file_dialogs.h"
#include "kit/messages.h"
#include "support/window_fixture.h"
#include "windows/shell/startup_window.h"

#include <QAction>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

using guitest::child;

class TestShellWindows : public QObject
{
    Q_OBJECT

    std::unique_ptr<WindowFixture<StartupWindow>> m_f; // expo.mdb, "Regional de Castilla", in its folder
    QStringList m_opened;                              // the name shown by each main window that opened

    QString label(const char* name) const { return w<QLabel>(name)->text(); }
    void open() const { m_f->openMain(); }
    template <class T> T* w(const char* name) const { return guitest::child<T>(m_f->main.get(), name); }

    QStringList files() const { return QDir(m_f->dir.path()).entryList(QDir::Files); }

    // Every main window that opens notes the exhibition's name, then is closed.
    void closeMainWindowsWhenShown()
    {
        guitest::whenShown<MainWindow>([this](MainWindow* main) {
            m_opened << child<QLabel>(main, "Label1")->text();
            main->close();
            closeMainWindowsWhenShown();
        });
    }

    void existente(const QString& chosen) const
    {
        FileDialogs::scriptFileName(chosen);
        m_f->w<QAction>("actionExistente")->trigger();
    }

    // The program as it starts: no show open yet, the start window shown.
    void startup()
    {
        m_f->state = AppState{};
        m_f->state.programFolder = m_f->dir.path();
        m_f->window = std::make_unique<StartupWindow>(m_f->state);
        QVERIFY(guitest::showActive(m_f->window.get()));
        m_opened.clear();
        closeMainWindowsWhenShown();
    }

private slots:
    void init() { m_f = std::make_unique<WindowFixture<StartupWindow>>(5, true); }

    void cleanup() { m_f.reset(); }

    // The show's name, its file, the emblem when there is one; the shared results and settings
    // read; the day panel's date at every second click on it; "Acerca de".
    void mainWindow()
    {
        fixtures::addBird(m_f->db(), 10, "A", "M");
        fixtures::addBird(m_f->db(), 2, "A", "H");
        open();
        QCOMPARE(label("Label1") + "|" + label("Label2") + "|" + w<QLabel>("archivo")->toolTip(),
                 "Regional de Castilla|Castilla|" + QDir::toNativeSeparators(m_f->state.dbPath));
        QVERIFY(w<QLabel>("Picture1")->pixmap().isNull());
        const AppState& state = m_f->state;
        QCOMPARE(QString("%1 %2 %3")
                     .arg(state.receRs.recordCount())
                     .arg(state.receRs.value("jaula").toInt())
                     .arg(state.jueces()),
                 "2 2 5"); // birds, the first of them, judges
        QVERIFY(state.clubRs.isOpen());
        QStringList seen;
        for (const char* panel : {"dia", "dia", "texto", "dia", "dia"}) {
            QTest::mouseClick(w<QLabel>(panel), Qt::LeftButton);
            seen << (label("dia").count(u'/') == 2 ? "fecha" : "hora");
        }
        QCOMPARE(seen.join(u' '), "fecha hora hora hora fecha");
        Messages::script(Messages::Answer::Ok);
        w<QAction>("actionAcercaDe")->trigger();
        QCOMPARE(
            guitest::told(),
            "Acerca de: Programa para Exposiciones de Palomas Mensajeras<br>Versión " PALOMAS_PROJECT_VERSION
            "<br><br>Carpeta de los datos: " +
                QDir::toNativeSeparators(m_f->dir.path()));
        QVERIFY(m_f->main->isVisible());

        QFile gif(m_f->path("Talvorena1.gif")); // the smallest GIF: one transparent pixel
        QVERIFY(gif.open(QIODevice::WriteOnly));
        gif.write(QByteArray::fromBase64("R0lGODlhAQABAIAAAAAAAP///yH5BAEAAAAALAAAAAABAAEAAAIBRAA7"));
        gif.close();
        open();
        QVERIFY(!w<QLabel>("Picture1")->pixmap().isNull());
    }

    // "Configuracion" types nothing while browsing and stores what "&Modificar" typed, shown at
    // once behind it (the first steps' line gone) and read by every later window.
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
        QCOMPARE(m_f->column("select * from config", "media") + '|' + QString::number(m_f->state.jueces()),
                 "Verdadero|4");
    }

    // A name typed creates the show and opens it; blanks create nothing; a name that cannot be
    // a show's is told, and nothing is created.
    void nuevo_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("opened");
        QTest::addColumn<QString>("message");
        QTest::newRow("a name") << "  Regional 2026 " << QString("Sin Nombre") << QString();
        QTest::newRow("blanks") << "   " << QString() << QString();
        QTest::newRow("the clubs' name")
            << "club" << QString()
            << "«club» no puede ser el nombre de una exposición: Club.mdb es la base de "
               "datos de los clubes del programa. Escriba otro nombre.";
    }
    void nuevo()
    {
        startup();
        QFETCH(QString, typed);
        QFETCH(QString, message);
        const QStringList before = files();
        m_f->w<QAction>("actionNuevo")->trigger();
        guitest::type(m_f->w("Text1"), typed);
        if (!message.isEmpty())
            Messages::script(Messages::Answer::Ok);
        m_f->w<QPushButton>("Command1")->click();
        QCOMPARE(guitest::told(), message.isEmpty() ? message : "Aviso: " + message);
        QTEST(m_opened.join(u','), "opened");
        QCOMPARE(files().size() - before.size(), m_opened.size());
        if (!m_opened.isEmpty())
            QCOMPARE(QDir::cleanPath(m_f->state.dbPath), QDir::cleanPath(m_f->path("Regional 2026.mdb")));
        QCOMPARE(m_f->w<QGroupBox>("Frame1")->isVisible(), !message.isEmpty()); // typed again
    }

    // A cancelled dialog opens nothing; a file the program refuses is told (what it refuses, left
    // untouched, is the store's test); two exhibitions open one after the other in the same run.
    void existente()
    {
        startup();
        existente(QString());
        QCOMPARE(FileDialogs::titles(), QStringList{"Abrir"});
        QFile jet(m_f->path("otro.mdb"));
        QVERIFY(jet.open(QIODevice::WriteOnly));
        jet.write(QByteArray("\x00\x01\x00\x00Standard Jet DB\x00\x01", 21).leftJustified(4096, '\0'));
        jet.close();
        Messages::script(Messages::Answer::Ok);
        existente(m_f->path("otro.mdb"));
        QCOMPARE(guitest::told(),
                 "Aviso: El archivo «otro.mdb» no es una base de datos de este programa (puede "
                 "ser de otro programa o de una versión antigua).");
        store::Database other =
            store::Database::create(m_f->path("Segunda.mdb"), store::schema::exhibition());
        fixtures::addRow(other, "Config", {{"nombre", "Segunda"}, {"jueces", 5}});
        existente(m_f->path("expo.mdb"));
        existente(m_f->path("Segunda.mdb"));
        QCOMPARE(m_opened.join(u','), "Regional de Castilla,Segunda");
        QVERIFY(m_f->window->isVisible());
    }
};

QTEST_MAIN(TestShellWindows)
#include "test_shell_windows.moc"
