// The start window: "Nuevo" creating and opening a show, or telling why not; "Existente" opening
// one, refusing a file that is none, and opening a second exhibition in the same run.

#include "kit/file_dialogs.h"
#include "kit/messages.h"
#include "support/window_fixture.h"
#include "windows/shell/startup_window.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

using guitest::child;

class TestStartupWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<WindowFixture<StartupWindow>> m_f; // expo.mdb, "Regional de Castilla", in its folder
    QStringList m_opened;                              // the name shown by each main window that opened

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

private slots:
    // The program as it starts: no show open yet.
    void init()
    {
        m_f = std::make_unique<WindowFixture<StartupWindow>>();
        m_f->state = AppState{};
        m_f->state.programFolder = m_f->dir.path();
        m_f->window = std::make_unique<StartupWindow>(m_f->state);
        QVERIFY(guitest::showActive(m_f->window.get()));
        m_opened.clear();
        closeMainWindowsWhenShown();
    }

    void cleanup() { m_f.reset(); }

    // A name typed creates the show and opens it; blanks create nothing; a name that cannot be
    // a show's is told, and nothing is created.
    void nuevo_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("opened");
        QTest::addColumn<QString>("message");
        QTest::newRow("a name") << "  Regional 2026 "
                                << "Sin Nombre"
                                << "";
        QTest::newRow("blanks") << "   "
                                << ""
                                << "";
        QTest::newRow("the clubs' name")
            << "club"
            << ""
            << "«club» no puede ser el nombre de una exposición: Club.mdb es la base de "
               "datos de los clubes del programa. Escriba otro nombre.";
    }
    void nuevo()
    {
        QFETCH(QString, typed);
        QFETCH(QString, message);
        const QStringList before = files();
        m_f->w<QAction>("actionNuevo")->trigger();
        guitest::type(m_f->w("Text1"), typed);
        if (!message.isEmpty())
            Messages::script(Messages::Answer::Ok);
        m_f->w<QPushButton>("Command1")->click();
        QCOMPARE(Messages::shown().isEmpty() ? QString()
                                             : Messages::last().title + ": " + Messages::last().text,
                 message.isEmpty() ? message : "Aviso: " + message);
        QTEST(m_opened.join(u','), "opened");
        QCOMPARE(files().size() - before.size(), m_opened.size());
        if (!m_opened.isEmpty())
            QCOMPARE(QDir::cleanPath(m_f->state.dbPath), QDir::cleanPath(m_f->path("Regional 2026.mdb")));
        QCOMPARE(m_f->w<QGroupBox>("Frame1")->isVisible(), !message.isEmpty()); // typed again
    }

    // A file the program refuses is told, left as it was, and not opened again by a cancelled
    // dialog; a cancelled dialog at first use opens nothing.
    void aRefusedFileIsLeftAsItWas()
    {
        existente(QString());
        QCOMPARE(FileDialogs::titles(), QStringList{"Abrir"});
        const QString jet = m_f->path("otro.mdb");
        QFile file(jet);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray("\x00\x01\x00\x00Standard Jet DB\x00\x01", 21).leftJustified(4096, '\0'));
        file.close();
        const QByteArray before = fixtures::fingerprint(jet);
        Messages::script(Messages::Answer::Ok);
        existente(jet);
        QCOMPARE(Messages::last().title + ": " + Messages::last().text,
                 "Aviso: El archivo «otro.mdb» no es una base de datos de este programa (puede ser de otro "
                 "programa o de una versión antigua).");
        QCOMPARE(fixtures::fingerprint(jet), before);
        existente(QString());
        QVERIFY(m_opened.isEmpty());
    }

    void secondExhibitionInTheSameRun()
    {
        store::Database other =
            store::Database::create(m_f->path("Segunda.mdb"), store::schema::exhibition());
        fixtures::addRow(other, "Config", {{"nombre", "Segunda"}, {"jueces", 5}});
        existente(m_f->path("expo.mdb"));
        existente(m_f->path("Segunda.mdb"));
        QCOMPARE(m_opened.join(u','), "Regional de Castilla,Segunda");
        QVERIFY(m_f->window->isVisible());
    }
};

QTEST_MAIN(TestStartupWindow)
#include "test_startup_window.moc"
