// The two import windows driven offscreen: the drive box and the file list, the picking rules,
// reading into the preview, storing, and the messages that leave the window usable.

#include "base/drives.h"
#include "import/workbooks.h"
#include "kit/file_dialogs.h"
#include "kit/messages.h"
#include "rules/exhibition/exhibition.h"
#include "support/fixtures.h"
#include "support/gui_test.h"
#include "windows/import/reception_import_window.h"
#include "windows/import/score_import_window.h"
#include "windows/shell/app_state.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

using guitest::child;
using workbooks::bird;
using workbooks::scored;

namespace
{

// The controls of either window, as the user sees them.
struct View {
    QWidget* w;
    QListWidget* files = child<QListWidget>(w, "List1");
    QPushButton* aceptar = child<QPushButton>(w, "Command1");
    QPushButton* grabar = child<QPushButton>(w, "Command3");
    QLineEdit* status = child<QLineEdit>(w, "Text1");
    QTreeWidget* preview = child<QTreeWidget>(w, "ListView1");

    // "Ficheros en " and the drive, then the entries of the list.
    QString names() const
    {
        QStringList names{child<QLabel>(w, "Label1")->text()};
        for (int i = 0; i < files->count(); ++i)
            names << files->item(i)->text();
        return names.join(',');
    }
    void chooseDrive(const QString& letter) const
    {
        auto* drive = child<QComboBox>(w, "Combo1");
        drive->setCurrentIndex(drive->findText(letter));
        emit drive->activated(drive->currentIndex());
    }
    // Picks the entry with Enter, or with a double click; whether Aceptar is then shown, with the focus.
    bool pick(const QString& name, bool enter = false) const
    {
        const QPoint at = files->visualItemRect(files->findItems(name, Qt::MatchExactly).value(0)).center();
        // A double click acts only on the entry that its first click pressed.
        QTest::mouseClick(files->viewport(), Qt::LeftButton, {}, at);
        if (enter)
            QTest::keyClick(files, Qt::Key_Return);
        else
            QTest::mouseDClick(files->viewport(), Qt::LeftButton, {}, at);
        return QTest::qWaitFor([this] { return aceptar->hasFocus(); }, 1000);
    }
    QString cell(int row, int column) const { return preview->topLevelItem(row)->text(column); }
};

} // namespace

class TestImportWindows : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    AppState m_state;

    // A workbook of the rows in the folder of the drive ("" for a folder of no drive).
    QString file(const QString& drive, const QString& name, const QList<workbooks::Row>& rows = {})
    {
        const QDir folder(drive.isEmpty() ? m_dir.filePath("otra") : drives::folderOf(drive, m_dir.path()));
        folder.mkpath(".");
        workbooks::write(folder.filePath(name), rows);
        return folder.filePath(name);
    }

    template <class Window> View show(Window& window)
    {
        window.load();
        if (!guitest::showActive(&window))
            qFatal("the window did not show");
        return View{&window};
    }

private slots:
    void initTestCase()
    {
        m_state.programFolder = m_dir.path();
        m_state.dbPath = exhibition::create(m_dir.path(), "Expo", m_dir.path());
        exhibition::open(m_state, m_state.dbPath);
    }

    void init() { guitest::startScripting(); }

    void cleanup() { VERIFY_SCRIPTED(); }

    void receptionReadsMarksAndStores()
    {
        for (const QString name :
             {"b.xls", "A.XLS", "nuevo.xlsx", "censo.ODS", "datos.csv", "notas.txt", "libro.xlsm"})
            file("A:", name);
        file("A:", "censos OLMA (1).xls", {{5, bird(1, "100")}, {6, bird("x", "200")}, {7, bird(5, "500")}});
        m_state.mainDb.execute("CREATE TRIGGER refuse BEFORE INSERT ON Recepcion WHEN NEW.jaula = 5 "
                               "BEGIN SELECT RAISE(ABORT, 'disk I/O error'); END");
        ReceptionImportWindow window(m_state, nullptr);
        const View view = show(window);
        QCOMPARE(view.names(),
                 "Ficheros en A:,A.XLS,b.xls,censo.ODS,censos OLMA (1).xls,datos.csv,nuevo.xlsx");
        QVERIFY(!view.aceptar->isVisible() && !view.grabar->isEnabled() && !view.status->isVisible());
        QVERIFY(view.pick("b.xls", true)); // Enter on any workbook listed shows Aceptar
        QVERIFY(view.pick("censos OLMA (1).xls", true));
        view.aceptar->click();
        QCOMPARE(view.cell(0, 4) + ' ' + view.cell(0, 6) + ' ' + view.cell(0, 8), "Juan Pérez 2021 88,50");
        QCOMPARE(view.cell(1, 9),
                 "El número de jaula «x» no es válido: debe ser un número entero del 1 al 999.");
        QCOMPARE(view.status->text() + ", " + child<QLabel>(&window, "labelRechazadas")->text(),
                 "Proceso Terminado, 1 fila rechazada (en rojo): no se grabará");
        QVERIFY(!child<QProgressBar>(&window, "ProgressBar1")->isVisible() && view.grabar->isEnabled());
        view.files->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(view.files, Qt::Key_Down); // any key in the list hides the status line
        QVERIFY(!view.status->isVisible());

        Messages::script(Messages::Answer::Ok); // the store fails: a message, nothing stored
        view.grabar->click();
        QCOMPARE(fixtures::column(m_state.mainDb, "select * from recepcion", "jaula"), "");
        m_state.mainDb.execute("DROP TRIGGER refuse");
        Messages::script(Messages::Answer::Ok);
        view.grabar->click();
        QCOMPARE(Messages::last().text, "2 Grabadas Palomas\n1 fila rechazada por datos no válidos");
        QCOMPARE(fixtures::column(m_state.mainDb, "select * from recepcion", "jaula"), "1,5");
        QVERIFY(!window.isVisible() && m_state.receRs.recordCount() == 2);
    }

    void scoresTakeTheJudgeOfB2OrTheOneTyped()
    {
        file("E:", "juez.xls");
        const QString chosen = file(
            "", "juez.xls", {{2, {"Juez", 3}}, {5, scored(1)}, {6, scored(2, "SP")}, {7, scored(3, "nada")}});
        ScoreImportWindow window(m_state, nullptr);
        const View view = show(window);
        view.chooseDrive("E:");
        QCOMPARE(view.names(), "Ficheros en E:,juez.xls");
        FileDialogs::scriptFileName(chosen); // the same name as on E:, another file
        view.chooseDrive("C:");
        QVERIFY(view.pick("juez.xls"));
        view.aceptar->click();
        auto* juez = child<QLineEdit>(&window, "Text2");
        QCOMPARE(juez->text() + ' ' + view.cell(0, 3) + ' ' + view.cell(0, 8) + ' ' + view.cell(1, 5),
                 "3 8,50 92,00 SP");
        guitest::type(juez, "x"); // the preview tells again which rows the judge refuses
        guitest::tab(juez);
        QCOMPARE(view.cell(0, 9), "El campo «juez» solo admite números enteros, y «x» no lo es.");
        Messages::script(Messages::Answer::Ok); // storing is refused, and the window stays
        view.grabar->click();
        QCOMPARE(Messages::last().text, "El campo «juez» solo admite números enteros, y «x» no lo es.");
        QVERIFY(window.isVisible());
        QCOMPARE(m_state.mainDb.openRecordset("select * from puntos").recordCount(), 0);
        guitest::type(juez, "2");
        guitest::tab(juez);
        QCOMPARE(view.cell(0, 9), "");
        Messages::script(Messages::Answer::Ok);
        view.grabar->click();
        QCOMPARE(Messages::last().text, "1 Jaulas Pasadas\n1 fila rechazada por datos no válidos");
        QCOMPARE(fixtures::column(m_state.mainDb, "select * from puntos", "juez"), "2");
        QCOMPARE(m_state.puntosRs.recordCount(), 1);

        show(window); // every opening starts afresh
        QVERIFY(view.preview->topLevelItemCount() == 0 && juez->text().isEmpty());
        FileDialogs::scriptFileName(QString()); // cancelled: an empty entry, and a message
        view.chooseDrive("C:");
        QVERIFY(view.pick("", true)); // here Enter shows Aceptar on any entry
        Messages::script(Messages::Answer::Ok);
        view.aceptar->click();
        QCOMPARE(Messages::last().text,
                 "No se ha elegido ninguna hoja de cálculo (.xls, .xlsx, .ods o .csv).");
        QVERIFY(!view.grabar->isEnabled() && window.isVisible());
    }

    // While the reader process works, the bar runs busy and the window keeps handling its events
    // (a timer fires in the middle of the reading); then the bar goes.
    void readingShowsProgressAndKeepsTheWindowAlive()
    {
        file("A:", "censos OLMA (1).xls", {{5, bird(1, "100")}, {6, bird(2, "200")}});
        ReceptionImportWindow window(m_state, nullptr);
        const View view = show(window);
        QVERIFY(view.pick("censos OLMA (1).xls", true));
        auto* bar = child<QProgressBar>(&window, "ProgressBar1");
        QString seen = "the window did not run while reading";
        QTimer::singleShot(0, &window, [&] {
            seen =
                QString("bar %1, maximum %2").arg(bar->isVisible() ? "shown" : "hidden").arg(bar->maximum());
        });
        view.aceptar->click();
        QCOMPARE(seen, "bar shown, maximum 0");
        QVERIFY(!bar->isVisible());
        QCOMPARE(view.preview->topLevelItemCount(), 2);
    }

    // A workbook that crashes the reader is told in an "Aviso"; the window stays open and usable,
    // and another workbook is then read and stored.
    void aDamagedWorkbookLeavesTheWindowUsable()
    {
        const QDir damaged(QDir(qEnvironmentVariable("PALOMAS_TEST_DATA")).filePath("damaged"));
        const QString crash = damaged.entryList({"*.xls"}, QDir::Files, QDir::Name).value(0);
        QVERIFY2(!crash.isEmpty(), "no damaged workbook in the tests' data");
        const QString folder = drives::folderOf("F:", m_dir.path());
        QDir(folder).mkpath(".");
        QFile::remove(QDir(folder).filePath(crash));
        QVERIFY(QFile::copy(damaged.filePath(crash), QDir(folder).filePath(crash)));
        file("F:", "juez.xls", {{2, {"Juez", 2}}, {5, scored(4)}});
        const int before = m_state.mainDb.openRecordset("select * from puntos").recordCount();
        ScoreImportWindow window(m_state, nullptr);
        const View view = show(window);
        view.chooseDrive("F:");
        QVERIFY(view.pick(crash, true));
        Messages::script(Messages::Answer::Ok);
        view.aceptar->click();
        QCOMPARE(Messages::last().title + ": " + Messages::last().text,
                 "Aviso: El libro «" + crash + "» está dañado o no se puede leer.");
        QVERIFY(window.isVisible() && view.preview->topLevelItemCount() == 0 && !view.grabar->isEnabled());
        QCOMPARE(m_state.mainDb.openRecordset("select * from puntos").recordCount(), before);
        QVERIFY(view.pick("juez.xls", true));
        view.aceptar->click();
        QCOMPARE(view.preview->topLevelItemCount(), 1);
        Messages::script(Messages::Answer::Ok);
        view.grabar->click();
        QCOMPARE(Messages::last().text, "1 Jaulas Pasadas");
        QCOMPARE(m_state.mainDb.openRecordset("select * from puntos").recordCount(), before + 1);
    }

    // The judge typed must be one of the configuration's judges, as in the judging window.
    void aJudgeOutsideTheConfigurationIsRefused()
    {
        file("G:", "juez.xls", {{2, {"Juez", 9}}, {5, scored(5)}});
        ScoreImportWindow window(m_state, nullptr);
        const View view = show(window);
        view.chooseDrive("G:");
        QVERIFY(view.pick("juez.xls", true));
        view.aceptar->click();
        const QString refusal = "El número de juez debe ser un número entero del 1 al 3.";
        QCOMPARE(view.cell(0, 9), refusal);
        Messages::script(Messages::Answer::Ok);
        view.grabar->click();
        QCOMPARE(Messages::last().text, refusal);
        QVERIFY(window.isVisible());
        QCOMPARE(fixtures::column(m_state.mainDb, "select * from puntos where jaula = '5'", "juez"), "");
    }
};

QTEST_MAIN(TestImportWindows)
#include "test_import_windows.moc"
