// The start-up flows through the real window: creating, picking, refusing, and opening a second
// exhibition in the same run.

#include "kit/file_dialogs.h"
#include "kit/messages.h"
#include "support/fixtures.h"
#include "support/gui_test.h"
#include "windows/shell/app_state.h"
#include "windows/shell/main_window.h"
#include "windows/shell/startup_window.h"

#include <QAction>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

using fixtures::fingerprint;
using guitest::child;

class TestStartupWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<AppState> m_state;
    std::unique_ptr<StartupWindow> m_window;
    QStringList m_opened; // the name shown by each main window that opened

    QString folder() const { return m_dir->path(); }

    // Every main window that opens notes the exhibition's name (and the start window, if it stays in
    // sight behind it), then is closed.
    void closeMainWindowsWhenShown()
    {
        guitest::whenShown<MainWindow>([this](MainWindow* main) {
            m_opened << child<QLabel>(main, "Label1")->text() +
                            (m_window->isVisible() ? " ante el inicio" : "");
            main->close();
            closeMainWindowsWhenShown();
        });
    }

    void nuevo(const QString& name)
    {
        child<QAction>(m_window.get(), "actionNuevo")->trigger();
        guitest::type(child<QLineEdit>(m_window.get(), "Text1"), name);
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_state = std::make_unique<AppState>();
        m_state->programFolder = folder();
        m_window = std::make_unique<StartupWindow>(*m_state);
        QVERIFY(guitest::showActive(m_window.get()));
        m_opened.clear();
        guitest::startScripting();
    }

    void cleanup()
    {
        m_window.reset();
        VERIFY_SCRIPTED();
    }

    void newNameCreatesTheFileAndOpensIt()
    {
        QVERIFY(!child<QGroupBox>(m_window.get(), "Frame1")->isVisible());
        nuevo("  Regional 2026 ");
        QVERIFY(child<QGroupBox>(m_window.get(), "Frame1")->isVisible());
        closeMainWindowsWhenShown();
        child<QPushButton>(m_window.get(), "Command1")->click();

        const QString path = QDir(folder()).filePath("Regional 2026.mdb");
        QCOMPARE(m_opened, QStringList{"Sin Nombre"});
        QCOMPARE(QDir::cleanPath(m_state->dbPath), QDir::cleanPath(path));
        QVERIFY(!child<QGroupBox>(m_window.get(), "Frame1")->isVisible());
        store::Database db = store::Database::open(path, store::schema::exhibition());
        QCOMPARE(fixtures::column(db, "select * from config", "jueces"), "3");
        QCOMPARE(fixtures::column(db, "select * from config", "region"), " ");
        QVERIFY(QFile::exists(QDir(folder()).filePath("Club.mdb")));
    }

    void nameWithExtensionKeepsIt()
    {
        nuevo("show.db");
        closeMainWindowsWhenShown();
        child<QPushButton>(m_window.get(), "Command1")->click();
        QVERIFY(QFile::exists(QDir(folder()).filePath("show.db")));
        QCOMPARE(m_opened.size(), 1);
    }

    void blankNameCreatesNothing()
    {
        nuevo("   ");
        child<QPushButton>(m_window.get(), "Command1")->click();
        QVERIFY(!child<QGroupBox>(m_window.get(), "Frame1")->isVisible());
        QCOMPARE(QDir(folder()).entryList(QDir::Files), QStringList());
        QVERIFY(m_state->dbPath.isEmpty());
    }

    void nameTheFileSystemRefuses()
    {
        nuevo("a/b");
        Messages::script(Messages::Answer::Ok);
        child<QPushButton>(m_window.get(), "Command1")->click();
        QCOMPARE(Messages::last().title, "Aviso");
        QCOMPARE(Messages::last().text,
                 "«a/b» no sirve como nombre de archivo. Escriba un nombre sin los caracteres "
                 "\\ / : * ? \" < > |.");
        QCOMPARE(QDir(folder()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot), QStringList());
        QVERIFY(m_opened.isEmpty());
    }

    // Club.mdb of the program folder is the clubs database: an exhibition of that name would take
    // its place, and from then on no exhibition would open.
    void clubIsNoExhibitionName_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::newRow("Club") << "Club";
        QTest::newRow("small letters") << "club";
        QTest::newRow("capitals with the extension") << "CLUB.MDB";
        QTest::newRow("blanks around") << "  cLuB ";
    }
    void clubIsNoExhibitionName()
    {
        QFETCH(QString, typed);
        nuevo(typed);
        Messages::script(Messages::Answer::Ok);
        child<QPushButton>(m_window.get(), "Command1")->click();
        QCOMPARE(Messages::last().title, "Aviso");
        QCOMPARE(Messages::last().text,
                 "«" + typed.trimmed() +
                     "» no puede ser el nombre de una exposición: Club.mdb es la base de "
                     "datos de los clubes del programa. Escriba otro nombre.");
        QCOMPARE(QDir(folder()).entryList(QDir::Files), QStringList());
        QVERIFY(m_opened.isEmpty());
        QVERIFY(m_state->dbPath.isEmpty());

        // A name that only begins like it is an exhibition like any other.
        closeMainWindowsWhenShown();
        nuevo("Club 2024");
        child<QPushButton>(m_window.get(), "Command1")->click();
        QCOMPARE(m_opened, QStringList{"Sin Nombre"});
        QCOMPARE(QDir(folder()).entryList(QDir::Files), (QStringList{"Club 2024.mdb", "Club.mdb"}));
    }

    // The clubs database chosen with "Existente", and an exhibition left where the clubs database
    // belongs (an earlier version let one be created there): each refused, saying which it is,
    // and left as it was.
    void clubsAndExhibitionToldApart()
    {
        const QString clubs = QDir(folder()).filePath("Club.mdb");
        store::Database::create(clubs, store::schema::clubs());
        const QByteArray clubsBefore = fingerprint(clubs);
        closeMainWindowsWhenShown();
        FileDialogs::scriptFileName(clubs);
        Messages::script(Messages::Answer::Ok);
        child<QAction>(m_window.get(), "actionExistente")->trigger();
        QCOMPARE(Messages::last().text, "«Club.mdb» es la base de datos de los clubes, no una exposición: "
                                        "elija el archivo de una exposición.");
        QVERIFY(m_opened.isEmpty());
        QCOMPARE(fingerprint(clubs), clubsBefore);

        QVERIFY(QFile::remove(clubs));
        store::Database::create(clubs, store::schema::exhibition());
        const QString expo = QDir(folder()).filePath("Expo.mdb");
        store::Database::create(expo, store::schema::exhibition());
        const QByteArray before = fingerprint(clubs);
        FileDialogs::scriptFileName(expo);
        Messages::script(Messages::Answer::Ok);
        child<QAction>(m_window.get(), "actionExistente")->trigger();
        QCOMPARE(Messages::last().text,
                 "«" + QDir::toNativeSeparators(clubs) +
                     "» es una exposición, no la base de datos de los clubes. Cámbiele el "
                     "nombre para abrirla como exposición; el programa creará entonces una "
                     "base de datos de clubes vacía.");
        QVERIFY(m_opened.isEmpty());
        QCOMPARE(fingerprint(clubs), before);
    }

    void cancelledDialogAtFirstUseOpensNothing()
    {
        FileDialogs::scriptFileName(QString());
        child<QAction>(m_window.get(), "actionExistente")->trigger();
        QCOMPARE(FileDialogs::titles(), QStringList{"Abrir"});
        QVERIFY(m_opened.isEmpty());
    }

    void secondExhibitionInTheSameRun()
    {
        for (const char* name : {"Primera", "Segunda"}) {
            store::Database db = store::Database::create(
                QDir(folder()).filePath(QString::fromLatin1(name) + ".mdb"), store::schema::exhibition());
            fixtures::addRow(db, "Config", {{"nombre", QString::fromLatin1(name)}, {"jueces", 5}});
        }
        closeMainWindowsWhenShown();
        FileDialogs::scriptFileName(QDir(folder()).filePath("Primera.mdb"));
        child<QAction>(m_window.get(), "actionExistente")->trigger();
        FileDialogs::scriptFileName(QDir(folder()).filePath("Segunda.mdb"));
        child<QAction>(m_window.get(), "actionExistente")->trigger();
        QCOMPARE(m_opened, (QStringList{"Primera", "Segunda"}));
        QVERIFY(m_window->isVisible());
    }

    void badFilesRefusedUntouched_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("message");
        const QString notOurs =
            "El archivo «otro.mdb» no es una base de datos de este programa (puede ser de otro "
            "programa o de una versión antigua).";
        QTest::newRow("empty file")
            << QByteArray() << "El archivo «otro.mdb» está vacío: no es una base de datos de este programa.";
        QTest::newRow("random bytes") << QByteArray(2048, '\x17') << notOurs;
        QTest::newRow("Jet file")
            << QByteArray("\x00\x01\x00\x00Standard Jet DB\x00\x01", 21).leftJustified(4096, '\0') << notOurs;
    }
    void badFilesRefusedUntouched()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        const QString path = QDir(folder()).filePath("otro.mdb");
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        const QByteArray before = fingerprint(path);
        closeMainWindowsWhenShown();
        FileDialogs::scriptFileName(path);
        Messages::script(Messages::Answer::Ok);
        child<QAction>(m_window.get(), "actionExistente")->trigger();
        QCOMPARE(Messages::last().title, "Aviso");
        QCOMPARE(Messages::last().text, message);
        QVERIFY(m_opened.isEmpty());
        QCOMPARE(fingerprint(path), before);
        QVERIFY(!QFile::exists(QDir(folder()).filePath("Club.mdb")));

        // The refused file is not opened again by a cancelled dialog.
        FileDialogs::scriptFileName(QString());
        child<QAction>(m_window.get(), "actionExistente")->trigger();
        QVERIFY(m_opened.isEmpty());
    }
};

QTEST_MAIN(TestStartupWindow)
#include "test_startup_window.moc"
