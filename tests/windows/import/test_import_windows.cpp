// The two import windows: the file list, reading into the preview, storing, the messages.

#include "base/drives.h"
#include "kit/file_dialogs.h"
#include "kit/messages.h"
#include "support/window_fixture.h"
#include "support/workbooks.h"
#include "windows/import/reception_import_window.h"
#include "windows/import/score_import_window.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>

using workbooks::bird;
using workbooks::scored;

class TestImportWindows : public QObject
{
    Q_OBJECT

    std::unique_ptr<WindowFixture<QDialog>> m_f; // the window: one of the two

    QListWidget* files() const { return m_f->w<QListWidget>("List1"); }
    QPushButton* button(const char* name) const { return m_f->w<QPushButton>(name); }
    QString cell(int row, int column) const { return m_f->list()->topLevelItem(row)->text(column); }
    int previewed() const { return m_f->list()->topLevelItemCount(); }
    QString stored(const QString& table, const QString& field) const
    {
        return m_f->column("select * from " + table, field);
    }

    // A workbook of the rows in the folder of the drive ("" for a folder of no drive).
    QString file(const QString& drive, const QString& name, const QList<workbooks::Row>& rows = {}) const
    {
        const QDir folder(drive.isEmpty() ? m_f->path("otra") : drives::folderOf(drive, m_f->dir.path()));
        folder.mkpath(".");
        workbooks::write(folder.filePath(name), rows);
        return folder.filePath(name);
    }

    template <class Window> Window* open() const { return m_f->template show<Window>(nullptr); }

    // "Ficheros en " and the drive, then the entries of the list.
    QString names() const
    {
        QStringList names{m_f->w<QLabel>("Label1")->text()};
        for (int i = 0; i < files()->count(); ++i)
            names << files()->item(i)->text();
        return names.join(',');
    }
    void chooseDrive(const QString& letter) const
    {
        auto* drive = m_f->w<QComboBox>("Combo1");
        drive->setCurrentIndex(drive->findText(letter));
        emit drive->activated(drive->currentIndex());
    }
    // Picks the entry with Enter, or with a double click; whether Aceptar is then shown, with the focus.
    bool pick(const QString& name, bool enter = false) const
    {
        const QPoint at =
            files()->visualItemRect(files()->findItems(name, Qt::MatchExactly).value(0)).center();
        // A double click acts only on the entry that its first click pressed.
        QTest::mouseClick(files()->viewport(), Qt::LeftButton, {}, at);
        if (enter)
            QTest::keyClick(files(), Qt::Key_Return);
        else
            QTest::mouseDClick(files()->viewport(), Qt::LeftButton, {}, at);
        return QTest::qWaitFor([this] { return button("Command1")->hasFocus(); }, 1000);
    }

private slots:
    void init() { m_f = std::make_unique<WindowFixture<QDialog>>(); }

    void cleanup() { m_f.reset(); }

    // The workbooks of the drive listed; the rows read into the preview, the refused ones told,
    // and the rows it takes stored (a store that fails is the all-or-nothing passes' test).
    void receptionReadsMarksAndStores()
    {
        for (const QString name :
             {"b.xls", "A.XLS", "nuevo.xlsx", "censo.ODS", "datos.csv", "notas.txt", "libro.xlsm"})
            file("A:", name);
        file("A:", "censos OLMA (1).xls", {{5, bird(1, "100")}, {6, bird("x", "200")}, {7, bird(5, "500")}});
        QDialog* window = open<ReceptionImportWindow>();
        QCOMPARE(names(), "Ficheros en A:,A.XLS,b.xls,censo.ODS,censos OLMA (1).xls,datos.csv,nuevo.xlsx");
        QVERIFY(!button("Command1")->isVisible() && !button("Command3")->isEnabled());
        QVERIFY(pick("censos OLMA (1).xls", true));
        // While the reader process works, the bar runs busy and the window keeps handling its
        // events (a timer fires in the middle of the reading); then the bar goes.
        auto* bar = m_f->w<QProgressBar>("ProgressBar1");
        QString seen = "the window did not run while reading";
        QTimer::singleShot(0, window,
                           [&] { seen = QString("bar %1, %2").arg(bar->isVisible()).arg(bar->maximum()); });
        m_f->press("Command1");
        QCOMPARE(seen + ' ' + QString::number(bar->isVisible()), "bar 1, 0 0");
        QCOMPARE(cell(0, 4) + ' ' + cell(0, 6) + ' ' + cell(0, 8), "Juan Pérez 2021 88,50");
        QCOMPARE(cell(1, 9), "El número de jaula «x» no es válido: debe ser un número entero del 1 al 999.");
        QCOMPARE(m_f->w("Text1")->text() + ", " + m_f->w<QLabel>("labelRechazadas")->text(),
                 "Proceso Terminado, 1 fila rechazada (en rojo): no se grabará");
        files()->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(files(), Qt::Key_Down); // any key in the list hides the status line
        QVERIFY(!m_f->w("Text1")->isVisible());

        Messages::script(Messages::Answer::Ok);
        m_f->press("Command3");
        QCOMPARE(Messages::last().text, "2 Grabadas Palomas\n1 fila rechazada por datos no válidos");
        QCOMPARE(stored("recepcion", "jaula"), "1,5");
        QVERIFY(!window->isVisible() && m_f->state.receRs.recordCount() == 2);
    }

    // The judge is that of B2, or the one typed, which must be one of the configuration's: the
    // preview tells again which rows it refuses, and storing is refused. A cancelled dialog is told.
    void scoresTakeTheJudgeOfB2OrTheOneTyped()
    {
        file("E:", "juez.xls");
        const QString chosen = file(
            "", "juez.xls", {{2, {"Juez", 3}}, {5, scored(1)}, {6, scored(2, "SP")}, {7, scored(3, "nada")}});
        QDialog* window = open<ScoreImportWindow>();
        chooseDrive("E:");
        QCOMPARE(names(), "Ficheros en E:,juez.xls");
        FileDialogs::scriptFileName(chosen); // the same name as on E:, another file
        chooseDrive("C:");
        QVERIFY(pick("juez.xls"));
        m_f->press("Command1");
        QLineEdit* juez = m_f->w("Text2");
        QCOMPARE(juez->text() + ' ' + cell(0, 3) + ' ' + cell(0, 8) + ' ' + cell(1, 5), "3 8,50 92,00 SP");
        const QString range = "El número de juez debe ser un número entero del 1 al 3.";
        guitest::type(juez, "4");
        guitest::tab(juez);
        QCOMPARE(cell(0, 9), range);
        Messages::script(Messages::Answer::Ok);
        m_f->press("Command3");
        QCOMPARE(Messages::last().text + ' ' + stored("puntos", "juez"), range + ' ');
        QVERIFY(window->isVisible());
        guitest::type(juez, "2");
        guitest::tab(juez);
        Messages::script(Messages::Answer::Ok);
        m_f->press("Command3");
        QCOMPARE(Messages::last().text, "1 Jaulas Pasadas\n1 fila rechazada por datos no válidos");
        QCOMPARE(stored("puntos", "juez") + ' ' + QString::number(m_f->state.puntosRs.recordCount()), "2 1");

        window = open<ScoreImportWindow>(); // every opening starts afresh
        QVERIFY(previewed() == 0 && m_f->w("Text2")->text().isEmpty());
        FileDialogs::scriptFileName(QString());
        chooseDrive("C:");
        QVERIFY(pick("", true)); // here Enter shows Aceptar on any entry
        Messages::script(Messages::Answer::Ok);
        m_f->press("Command1");
        QCOMPARE(Messages::last().text,
                 "No se ha elegido ninguna hoja de cálculo (.xls, .xlsx, .ods o .csv).");
        QVERIFY(!button("Command3")->isEnabled());

        // A workbook that crashes the reader is told; the window stays usable for another one.
        const QDir damaged(QDir(qEnvironmentVariable("PALOMAS_TEST_DATA")).filePath("damaged"));
        const QString crash = damaged.entryList({"*.xls"}, QDir::Files, QDir::Name).value(0);
        QVERIFY2(!crash.isEmpty(), "no damaged workbook in the tests' data");
        file("F:", "juez.xls", {{2, {"Juez", 2}}, {5, scored(4)}});
        QVERIFY(QFile::copy(damaged.filePath(crash),
                            QDir(drives::folderOf("F:", m_f->dir.path())).filePath(crash)));
        chooseDrive("F:");
        QVERIFY(pick(crash, true));
        Messages::script(Messages::Answer::Ok);
        m_f->press("Command1");
        QCOMPARE(guitest::told(), "Aviso: El libro «" + crash + "» está dañado o no se puede leer.");
        QVERIFY(window->isVisible() && previewed() == 0 && !button("Command3")->isEnabled());
        QVERIFY(pick("juez.xls", true));
        m_f->press("Command1");
        Messages::script(Messages::Answer::Ok);
        m_f->press("Command3");
        QCOMPARE(Messages::last().text + ' ' + stored("puntos", "jaula"), "1 Jaulas Pasadas 1,4");
    }
};

QTEST_MAIN(TestImportWindows)
#include "test_import_windows.moc"
