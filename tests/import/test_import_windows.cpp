// The two import windows driven offscreen: choosing the drive and the workbook, the picking
// rules, reading into the preview, storing, and the refusals that leave the window usable.

#include "import/reception_import_window.h"
#include "import/score_import_window.h"
#include "import/workbooks.h"
#include "shell/app_state.h"
#include "shell/drives.h"
#include "shell/exhibition.h"
#include "shell/file_dialogs.h"
#include "shell/main_window.h"
#include "shell/messages.h"
#include "support/fixtures.h"
#include "support/gui_test.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>

using guitest::child;
using workbooks::Row;

namespace
{

QVariantList bird(const QVariant& jaula, const QVariant& anilla)
{
    return {jaula, "A", "M", "12345", "Juan Pérez", "C001", 2021, anilla};
}

QVariantList scored(const QVariant& jaula, const QVariant& third = 18)
{
    return {jaula, "b", "m", {}, {}, {}, {}, {}, 8.5, 9, third, 28, 28.5, 92};
}

// What the user sees of a window's file choice and preview.
struct View {
    QComboBox* drive;
    QLabel* label;
    QListWidget* files;
    QPushButton* aceptar;
    QPushButton* grabar;
    QProgressBar* progress;
    QLineEdit* status;
    QTreeWidget* preview;
    QLabel* refused;

    explicit View(QWidget* w)
        : drive(child<QComboBox>(w, "Combo1")), label(child<QLabel>(w, "Label1")),
          files(child<QListWidget>(w, "List1")), aceptar(child<QPushButton>(w, "Command1")),
          grabar(child<QPushButton>(w, "Command3")), progress(child<QProgressBar>(w, "ProgressBar1")),
          status(child<QLineEdit>(w, "Text1")), preview(child<QTreeWidget>(w, "ListView1")),
          refused(child<QLabel>(w, "labelRechazadas"))
    {
    }

    QStringList names() const
    {
        QStringList result;
        for (int i = 0; i < files->count(); ++i)
            result << files->item(i)->text();
        return result;
    }

    void chooseDrive(const QString& letter) const
    {
        const int index = drive->findText(letter);
        QVERIFY(index >= 0);
        drive->setCurrentIndex(index);
        emit drive->activated(index);
    }

    void enterOn(const QString& name) const
    {
        const QList<QListWidgetItem*> found = files->findItems(name, Qt::MatchExactly);
        QCOMPARE(found.size(), 1);
        files->setCurrentItem(found[0]);
        files->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(files, Qt::Key_Return);
    }

    void doubleClickOn(const QString& name) const
    {
        const QList<QListWidgetItem*> found = files->findItems(name, Qt::MatchExactly);
        QCOMPARE(found.size(), 1);
        const QPoint at = files->visualItemRect(found[0]).center();
        // The list acts on a double click only on the entry the first click pressed.
        QTest::mouseClick(files->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(files->viewport(), Qt::LeftButton, {}, at);
    }

    QString cell(int row, const QString& column) const
    {
        for (int c = 0; c < preview->columnCount(); ++c)
            if (preview->headerItem()->text(c) == column)
                return preview->topLevelItem(row)->text(c);
        qFatal("no column %s", qPrintable(column));
    }
};

} // namespace

class TestImportWindows : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<AppState> m_state;

    QString path(const QString& name) const { return m_dir->filePath(name); }
    QString driveFile(const QString& drive, const QString& name) const
    {
        return QDir(drives::folderOf(drive, m_state->programFolder)).filePath(name);
    }

    store::Database reopened() const
    {
        return store::Database::open(m_state->dbPath, store::schema::exhibition());
    }

    template <class Window> std::unique_ptr<Window> open()
    {
        auto window = std::make_unique<Window>(*m_state, nullptr);
        window->load();
        if (!guitest::showActive(window.get()))
            qFatal("the window did not show");
        return window;
    }

    // Picks a workbook through the file dialog of drive "C:" and reads it.
    void readThroughDialog(const View& view, const QString& file)
    {
        FileDialogs::scriptFileName(file);
        view.chooseDrive("C:");
        view.doubleClickOn(QFileInfo(file).fileName());
        QVERIFY(view.aceptar->isVisible());
        view.aceptar->click();
    }

    void writeEmpty(const QString& file)
    {
        QDir().mkpath(QFileInfo(file).absolutePath());
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_state = std::make_unique<AppState>();
        m_state->programFolder = m_dir->path();
        m_state->dbPath = exhibition::create(m_dir->path(), "Expo");
        exhibition::open(*m_state, m_state->dbPath);
        guitest::startScripting();
    }

    void cleanup() { VERIFY_SCRIPTED(); }

    void openingListsTheWorkbooksOfDriveA()
    {
        for (const QString name : {"b.xls", "A.XLS", "nuevo.xlsx", "notas.txt"})
            writeEmpty(driveFile("A:", name));
        auto window = open<ReceptionImportWindow>();
        const View view(window.get());
        QCOMPARE(window->windowTitle(), "Importar Recepcion de Palomas");
        QCOMPARE(window->objectName(), "Idatosexr");
        QCOMPARE(view.drive->currentText(), "A:");
        QCOMPARE(view.label->text(), "Ficheros en A:");
        QCOMPARE(view.names(), (QStringList{"A.XLS", "b.xls"}));
        QCOMPARE(view.files->currentRow(), 0);
        QVERIFY(!view.aceptar->isVisible());
        QVERIFY(!view.grabar->isEnabled());
        QVERIFY(!view.progress->isVisible());
        QVERIFY(!view.status->isVisible());
    }

    void otherDrivesListTheirFolderWithoutDialog()
    {
        writeEmpty(driveFile("E:", "juez1.xls"));
        auto window = open<ScoreImportWindow>();
        const View view(window.get());
        QCOMPARE(view.names(), QStringList());
        view.chooseDrive("E:");
        QCOMPARE(view.label->text(), "Ficheros en E:");
        QCOMPARE(view.names(), QStringList{"juez1.xls"});
        QVERIFY(FileDialogs::titles().isEmpty());
    }

    void driveCOpensTheDialogAndReadsTheFileChosen()
    {
        const QString file = path("elsewhere/censo.xls");
        QDir().mkpath(path("elsewhere"));
        workbooks::write(file, {Row{5, bird(1, "100")}, Row{6, bird(2, "200")}});
        writeEmpty(driveFile("A:", "censo.xls")); // same name, another file: never read
        auto window = open<ReceptionImportWindow>();
        const View view(window.get());
        readThroughDialog(view, file);
        QCOMPARE(FileDialogs::titles(), QStringList{"Abrir"});
        QCOMPARE(view.label->text(), "Ficheros en C:");
        QCOMPARE(view.names(), QStringList{"censo.xls"});
        QCOMPARE(view.preview->topLevelItemCount(), 2);
    }

    void cancelledDialogLeavesAnEmptyEntry()
    {
        auto window = open<ReceptionImportWindow>();
        const View view(window.get());
        FileDialogs::scriptFileName(QString());
        view.chooseDrive("C:");
        QCOMPARE(view.names(), QStringList{""});
        view.doubleClickOn("");
        Messages::script(Messages::Answer::Ok);
        view.aceptar->click();
        QCOMPARE(Messages::last().title, "Aviso");
        QCOMPARE(Messages::last().text, "No se ha elegido ningún libro de Excel (.xls).");
        QVERIFY(!view.grabar->isEnabled());
        QVERIFY(window->isVisible());
    }

    void enterPicksTheCensusWithAceptar_data()
    {
        QTest::addColumn<bool>("scores");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("shown");
        QTest::newRow("reception: the census") << false << "censos OLMA (1).xls" << true;
        QTest::newRow("reception: the census, other case") << false << "CENSOS olma (1).XLS" << true;
        QTest::newRow("reception: another workbook") << false << "censo.xls" << false;
        QTest::newRow("scores: any workbook") << true << "juez2.xls" << true;
    }
    void enterPicksTheCensusWithAceptar()
    {
        QFETCH(bool, scores);
        QFETCH(QString, name);
        QFETCH(bool, shown);
        writeEmpty(driveFile("A:", name));
        writeEmpty(driveFile("A:", "otro.xls"));
        std::unique_ptr<QDialog> window;
        if (scores)
            window = open<ScoreImportWindow>();
        else
            window = open<ReceptionImportWindow>();
        const View view(window.get());
        view.enterOn(name);
        QCOMPARE(view.aceptar->isVisible(), shown);
        if (shown)
            QTRY_VERIFY(view.aceptar->hasFocus());
        view.doubleClickOn("otro.xls");
        QVERIFY(view.aceptar->isVisible());
    }

    void aKeyInTheListHidesTheStatusLine()
    {
        const QString file = driveFile("A:", "censo.xls");
        workbooks::write(file, {Row{5, bird(1, "100")}});
        auto window = open<ReceptionImportWindow>();
        const View view(window.get());
        view.doubleClickOn("censo.xls");
        view.aceptar->click();
        QVERIFY(view.status->isVisible());
        view.files->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(view.files, Qt::Key_Down);
        QVERIFY(!view.status->isVisible());
    }

    void receptionReadsMarksAndStores()
    {
        fixtures::addBird(m_state->mainDb, 3, "A", "M", {{"anilla", "300"}});
        const QString file = driveFile("A:", "censo.xls");
        workbooks::write(file, {Row{5, bird(1, "100")}, Row{6, bird("x", "200")}, Row{7, bird(3, "300")},
                                Row{8, bird(4, QVariant())}, Row{9, bird(5, "500")}});
        auto window = open<ReceptionImportWindow>();
        const View view(window.get());
        view.doubleClickOn("censo.xls");
        view.aceptar->click();

        QCOMPARE(view.preview->topLevelItemCount(), 5);
        QCOMPARE(view.preview->topLevelItem(0)->data(0, Qt::UserRole).toString(), "1");
        QCOMPARE(view.cell(0, "Propietario"), "Juan Pérez");
        QCOMPARE(view.cell(0, "Año"), "2021");
        QCOMPARE(view.cell(0, "Puntos"), "0,00");
        QVERIFY2(view.cell(1, "Motivo").contains("«x» no es válido"), qPrintable(view.cell(1, "Motivo")));
        QCOMPARE(view.cell(3, "Motivo"), "Sin anilla: no se graba.");
        QCOMPARE(view.cell(0, "Motivo"), "");
        QCOMPARE(view.refused->text(), "1 fila rechazada (en rojo): no se grabará");
        QCOMPARE(view.status->text(), "Proceso Terminado");
        QVERIFY(view.status->isVisible());
        QVERIFY(!view.progress->isVisible());
        QVERIFY(view.grabar->isEnabled());
        QCOMPARE(fixtures::column(reopened(), "select * from recepcion", "jaula"), "3"); // nothing stored yet

        Messages::script(Messages::Answer::Ok);
        view.grabar->click();
        QCOMPARE(Messages::last().title, "Aviso");
        QCOMPARE(Messages::last().text, "2 Grabadas Palomas\n1 fila rechazada por datos no válidos");
        QVERIFY(!window->isVisible());
        QCOMPARE(fixtures::column(reopened(), "select * from recepcion order by jaula", "jaula"), "1,3,5");
        QCOMPARE(m_state->receRs.recordCount(), 3);
    }

    void unreadableWorkbooksLeaveTheWindowUsable_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("message");
        QTest::newRow("not a workbook") << "text"
                                        << "El archivo «censo.xls» no es un libro de Excel (.xls)";
        QTest::newRow("no sheet Hoja1") << "no Hoja1"
                                        << "El libro «censo.xls» no tiene la hoja «Hoja1».";
        QTest::newRow("picked, then deleted") << "deleted"
                                              << "No se encuentra el archivo";
    }
    void unreadableWorkbooksLeaveTheWindowUsable()
    {
        QFETCH(QString, kind);
        QFETCH(QString, message);
        const QString file = driveFile("A:", "censo.xls");
        const QString good = driveFile("A:", "bueno.xls");
        workbooks::write(good, {Row{5, bird(1, "100")}});
        if (kind == "text") {
            QFile out(file);
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write("Jaula;Grupo\n1;A\n");
        } else {
            workbooks::write(file, {Row{5, bird(2, "200")}}, kind == "deleted" ? "Hoja1" : "Hoja2");
        }
        auto window = open<ReceptionImportWindow>();
        const View view(window.get());
        view.doubleClickOn("bueno.xls");
        view.aceptar->click();
        QCOMPARE(view.preview->topLevelItemCount(), 1);

        view.doubleClickOn("censo.xls");
        if (kind == "deleted")
            QVERIFY(QFile::remove(file));
        Messages::script(Messages::Answer::Ok);
        view.aceptar->click();
        QVERIFY2(Messages::last().text.contains(message), qPrintable(Messages::last().text));
        QCOMPARE(view.preview->topLevelItemCount(), 0);
        QVERIFY(!view.grabar->isEnabled());
        QVERIFY(!view.progress->isVisible());
        QVERIFY(window->isVisible());

        view.doubleClickOn("bueno.xls"); // and the window goes on working
        view.aceptar->click();
        QCOMPARE(view.preview->topLevelItemCount(), 1);
    }

    void failingStoreKeepsTheWindowAndStoresNothing()
    {
        m_state->mainDb.execute("CREATE TRIGGER refuse BEFORE INSERT ON Recepcion WHEN NEW.jaula = 2 "
                                "BEGIN SELECT RAISE(ABORT, 'disk I/O error'); END");
        const QString file = driveFile("A:", "censo.xls");
        workbooks::write(file, {Row{5, bird(1, "100")}, Row{6, bird(2, "200")}});
        auto window = open<ReceptionImportWindow>();
        const View view(window.get());
        view.doubleClickOn("censo.xls");
        view.aceptar->click();
        Messages::script(Messages::Answer::Ok);
        view.grabar->click();
        QCOMPARE(Messages::last().title, "Aviso");
        QVERIFY2(!Messages::last().text.contains("Grabadas"), qPrintable(Messages::last().text));
        QVERIFY(window->isVisible());
        QCOMPARE(view.preview->topLevelItemCount(), 2);
        QCOMPARE(fixtures::column(reopened(), "select * from recepcion", "jaula"), "");
    }

    void scoresTakeTheJudgeOfB2OrTheOneTyped()
    {
        const QString file = driveFile("A:", "juez.xls");
        workbooks::write(file, {Row{2, {"Juez", 3}}, Row{5, scored(1)}, Row{6, scored(2, "SP")},
                                Row{7, scored(3, "nada")}, Row{8, scored(4)}});
        auto window = open<ScoreImportWindow>();
        QCOMPARE(window->windowTitle(), "Importar Puntuacion de los Jueces");
        QCOMPARE(window->objectName(), "Idatosexc");
        const View view(window.get());
        auto* juez = child<QLineEdit>(window.get(), "Text2");
        view.doubleClickOn("juez.xls");
        view.aceptar->click();
        QCOMPARE(juez->text(), "3");
        QCOMPARE(view.preview->topLevelItemCount(), 4);
        QCOMPARE(view.cell(0, "Puntos1"), "8,50");
        QCOMPARE(view.cell(0, "Total"), "92,00");
        QCOMPARE(view.cell(1, "Puntos3"), "SP");
        QCOMPARE(view.cell(1, "Motivo"), "SP: no se graba.");
        QCOMPARE(view.cell(2, "Motivo"), "La puntuación «nada» de Puntos3 no es un número ni «SP».");

        // A judge that is not a whole number refuses every row to be stored, and the preview says so.
        guitest::type(juez, "x");
        guitest::tab(juez);
        QVERIFY2(view.cell(0, "Motivo").contains("«juez»"), qPrintable(view.cell(0, "Motivo")));
        QCOMPARE(view.refused->text(), "3 filas rechazadas (en rojo): no se grabarán");
        guitest::type(juez, "2");
        guitest::tab(juez);
        QCOMPARE(view.cell(0, "Motivo"), "");

        Messages::script(Messages::Answer::Ok);
        view.grabar->click();
        QCOMPARE(Messages::last().text, "2 Jaulas Pasadas\n1 fila rechazada por datos no válidos");
        QVERIFY(!window->isVisible());
        const store::Database db = reopened();
        QCOMPARE(fixtures::column(db, "select * from puntos order by val(jaula)", "jaula"), "1,4");
        QCOMPARE(fixtures::column(db, "select * from puntos", "juez"), "2,2");
        QCOMPARE(fixtures::column(db, "select * from puntos", "sexo"), "M,M");
        QCOMPARE(m_state->puntosRs.recordCount(), 2);
    }

    void everyOpeningStartsAfresh()
    {
        writeEmpty(driveFile("E:", "juez.xls"));
        const QString file = driveFile("A:", "juez.xls");
        workbooks::write(file, {Row{2, {"Juez", 1}}, Row{5, scored(1)}});
        auto window = open<ScoreImportWindow>();
        const View view(window.get());
        view.doubleClickOn("juez.xls");
        view.aceptar->click();
        view.chooseDrive("E:");
        window->load();
        QCOMPARE(view.drive->currentText(), "A:");
        QCOMPARE(view.preview->topLevelItemCount(), 0);
        QCOMPARE(child<QLineEdit>(window.get(), "Text2")->text(), "");
        QVERIFY(!view.aceptar->isVisible());
        QVERIFY(!view.grabar->isEnabled());
    }

    void theMainMenuOpensBothWindows_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("title");
        QTest::newRow("Imp Recepcion") << "actionImpRecepcion"
                                       << "Importar Recepcion de Palomas";
        QTest::newRow("Imp Puntuacion") << "actionImpPuntuacion"
                                        << "Importar Puntuacion de los Jueces";
    }
    void theMainMenuOpensBothWindows()
    {
        QFETCH(QString, action);
        QFETCH(QString, title);
        MainWindow main(*m_state);
        QVERIFY(main.openExhibition());
        QVERIFY(guitest::showActive(&main));
        QString shown;
        guitest::whenShown<QDialog>([&](QDialog* dialog) {
            shown = dialog->windowTitle();
            dialog->close();
        });
        auto* item = main.findChild<QAction*>(action);
        QVERIFY(item != nullptr && item->isEnabled());
        item->trigger();
        QCOMPARE(shown, title);
    }
};

QTEST_MAIN(TestImportWindows)
#include "test_import_windows.moc"
