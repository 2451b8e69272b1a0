// The three listing windows as the menu opens them: captions, lists, and what can be done with
// an empty listing.

#include "listing_exhibition.h"
#include "listings/listabc_window.h"
#include "listings/listadocl_window.h"
#include "listings/listados_window.h"
#include "shell/app_state.h"
#include "shell/exhibition.h"
#include "shell/main_window.h"
#include "support/fixtures.h"
#include "support/gui_test.h"

#include <QAction>
#include <QDir>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>

using guitest::child;

class TestListingWindows : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<AppState> m_state;

    QString path(const QString& name) const { return QDir(m_dir->path()).filePath(name); }
    const store::Database& db() const { return m_state->mainDb; }

    void select(const QString& grupo, const QString& categ, const QString& sexo)
    {
        m_state->selGrupo = grupo;
        m_state->selCateg = categ;
        m_state->selSexo = sexo;
    }

    static QStringList rowsOf(QDialog* window)
    {
        auto* list = child<QTreeWidget>(window, "ListView1");
        QStringList rows;
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            QStringList cells;
            for (int c = 0; c < list->columnCount(); ++c)
                cells << list->topLevelItem(i)->text(c);
            rows << cells.join('|');
        }
        return rows;
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_state = std::make_unique<AppState>();
        listingtest::openExhibition(*m_state, m_dir->path(), "Regional de Castilla");
        guitest::startScripting();
    }

    void cleanup() { VERIFY_SCRIPTED(); }

    void classificationCaptions_data()
    {
        QTest::addColumn<QString>("grupo");
        QTest::addColumn<QString>("sexo");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("label3");
        QTest::newRow("A males") << "A"
                                 << "M"
                                 << "Listado del Grupo A  Machos"
                                 << "Grupo A Machos";
        QTest::newRow("C females") << "C"
                                   << "H"
                                   << "Listado del Grupo C  Hembras"
                                   << "Grupo C Hembras";
    }
    void classificationCaptions()
    {
        QFETCH(QString, grupo);
        QFETCH(QString, sexo);
        QFETCH(QString, caption);
        QFETCH(QString, label3);
        fixtures::addBird(db(), 4, grupo, sexo, {{"anilla", "12345"}, {"año", "2005"}});
        select(grupo, "", sexo);
        ListabcWindow window(*m_state);
        window.load();
        QVERIFY(guitest::showActive(&window));
        QCOMPARE(window.windowTitle(), caption);
        QCOMPARE(child<QLabel>(&window, "Label1")->text(), "Regional de Castilla");
        QCOMPARE(child<QLabel>(&window, "Label2")->text(), "Clasificación General");
        QCOMPARE(child<QLabel>(&window, "Label3")->text(), label3);
        const QString text = child<QPlainTextEdit>(&window, "Text1")->toPlainText();
        QVERIFY(text.contains("* 1     0012345-05"));
        QVERIFY(child<QPushButton>(&window, "Command3")->isEnabled());
        QVERIFY(child<QPushButton>(&window, "Command4")->isEnabled());
        QVERIFY(!child<QGroupBox>(&window, "Frame1")->isVisible());
    }

    void emptyClassificationCanBeNeitherPrintedNorSaved()
    {
        fixtures::addBird(db(), 1, "A", "H"); // the other sex
        select("A", "", "M");
        ListabcWindow window(*m_state);
        window.load();
        QVERIFY(guitest::showActive(&window));
        QCOMPARE(child<QPlainTextEdit>(&window, "Text1")->toPlainText(), QString());
        QVERIFY(!child<QPushButton>(&window, "Command3")->isEnabled());
        QVERIFY(!child<QPushButton>(&window, "Command4")->isEnabled());
        QVERIFY(!child<QPushButton>(&window, "CommandVistaPrevia")->isEnabled());
        QVERIFY(child<QPushButton>(&window, "Command2")->isEnabled());
    }

    void previewShowsWholeLines()
    {
        fixtures::addBird(db(), 1, "B", "M");
        select("B", "", "M");
        ListabcWindow window(*m_state);
        window.load();
        QVERIFY(guitest::showActive(&window));
        auto* box = child<QPlainTextEdit>(&window, "Text1");
        QCOMPARE(box->lineWrapMode(), QPlainTextEdit::NoWrap);
        QVERIFY(QFontInfo(box->font()).fixedPitch());
        const int widest = box->fontMetrics().horizontalAdvance(QString(95, '_'));
        QVERIFY2(box->viewport()->width() >= widest, qPrintable(QString::number(box->viewport()->width())));
    }

    void pictureIsShownWhenPresent()
    {
        QImage picture(40, 30, QImage::Format_RGB32);
        picture.fill(Qt::darkBlue);
        QVERIFY(picture.save(path("Talvorena1.bmp")));
        select("A", "", "M");
        ListabcWindow window(*m_state);
        window.load();
        QVERIFY(!child<QLabel>(&window, "Picture1")->pixmap().isNull());
    }

    void groupDList()
    {
        fixtures::addBird(db(), 8, "D", "M",
                          {{"categ", "C"},
                           {"conc", 12},
                           {"coef", 2.0},
                           {"anilla", "1234567"},
                           {"año", "2005"},
                           {"nombre", "Pedro"}});
        fixtures::addBird(db(), 9, "D", "M",
                          {{"categ", "C"},
                           {"conc", 12},
                           {"coef", 3.456},
                           {"anilla", "7"},
                           {"año", "2019"},
                           {"nombre", "Juan"}});
        select("D", "C", "");
        ListadosWindow window(*m_state);
        window.load();
        QVERIFY(guitest::showActive(&window));
        QCOMPARE(window.windowTitle(), "Listado del Grupo D  Categoria C");
        QCOMPARE(child<QLabel>(&window, "Label3")->text(), "Grupo D  Categoria C");
        QCOMPARE(rowsOf(&window), (QStringList{"1|05-1234567|12|2,00|Pedro|8", "2|19-7|12|3,46|Juan|9"}));
        QVERIFY(child<QPushButton>(&window, "Command3")->isEnabled());
    }

    void provinceList()
    {
        fixtures::addBird(db(), 1, "A", "M", {{"club", "1"}, {"puntos", 90.0}});
        fixtures::addBird(db(), 2, "A", "M", {{"club", "7"}, {"puntos", 80.0}});
        ListadoClWindow window(*m_state);
        window.load();
        QVERIFY(guitest::showActive(&window));
        QCOMPARE(window.windowTitle(), "Listados");
        QCOMPARE(child<QLabel>(&window, "Label1")->text(), "Regional de Castilla");
        QCOMPARE(child<QLabel>(&window, "Label3")->text(), "Clasificación Por Provincia");
        QCOMPARE(rowsOf(&window), (QStringList{"1|Toledo|6", "2| |5"}));
        window.load();
        QCOMPARE(rowsOf(&window), (QStringList{"1|Toledo|6", "2| |5"}));
    }

    void menuSetsTheSelection_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("label3");
        QTest::newRow("Grupo B Hembras") << "actionGrupoBHembras"
                                         << "Grupo B Hembras";
        QTest::newRow("Grupo C Machos") << "actionGrupoCMachos"
                                        << "Grupo C Machos";
        QTest::newRow("Grupo D Categoria E") << "actionGrupoDCategoriaE"
                                             << "Grupo D  Categoria E";
        QTest::newRow("Listado Por Club") << "actionListadoPorClub"
                                          << "Clasificación Por Provincia";
    }
    void menuSetsTheSelection()
    {
        QFETCH(QString, action);
        QFETCH(QString, label3);
        MainWindow main(*m_state);
        QVERIFY(main.openExhibition());
        QString shown;
        guitest::whenShown<QDialog>([&shown](QDialog* window) {
            shown = child<QLabel>(window, "Label3")->text();
            window->reject();
        });
        auto* item = main.findChild<QAction*>(action);
        QVERIFY(item->isEnabled());
        item->trigger();
        QCOMPARE(shown, label3);
    }
};

QTEST_MAIN(TestListingWindows)
#include "test_listing_windows.moc"
