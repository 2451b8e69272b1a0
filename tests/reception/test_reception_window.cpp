// Reception: the field rules of a bird and the store's refusals, then the flows through the real
// window offscreen.

#include "kit/messages.h"
#include "rules/backups/copies.h"
#include "rules/backups/keeper.h"
#include "rules/exhibition/exhibition.h"
#include "rules/reception/bird_entry.h"
#include "store/error.h"
#include "store/write_fault.h"
#include "support/fixtures.h"
#include "support/gui_test.h"
#include "windows/reception/reception_window.h"
#include "windows/shell/app_state.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

using guitest::child;
using reception::BirdEntry;
using reception::EntryMode;

Q_DECLARE_METATYPE(reception::BirdEntry)

namespace
{

BirdEntry bird(QString grupo, QString categ, QString conc, QString km, QString coef)
{
    return {"5", "1234567", "2024", "Hembra", "Azul", "12345", "Pérez", "7", grupo, categ, conc, km, coef};
}

// A group D bird that check() accepts, with one box typed over it.
BirdEntry entry(QString BirdEntry::*box = nullptr, const QString& typed = {})
{
    BirdEntry e = bird("D", "A", "0", "0", "0");
    if (box != nullptr)
        e.*box = typed;
    return e;
}

} // namespace

class TestReceptionWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<AppState> m_state;
    std::unique_ptr<ReceptionWindow> m_window;
    store::Database m_db;

    template <class T = QLineEdit> T* w(const char* name) const { return child<T>(m_window.get(), name); }
    QAction* tool(const char* key) const { return w<QAction>(key); }
    QTreeWidget* list() const { return w<QTreeWidget>("ListView1"); }
    void click(const char* button) const { w<QPushButton>(button)->click(); }
    int count(const char* t) const { return m_db.openRecordset(QString("select * from ") + t).recordCount(); }

    void open(std::initializer_list<int> cages = {})
    {
        for (int cage : cages)
            fixtures::addBird(m_db, cage, "A", "M");
        exhibition::open(*m_state, QDir(m_dir->path()).filePath("expo.mdb"));
        m_window = std::make_unique<ReceptionWindow>(*m_state);
        m_window->load();
        QVERIFY(guitest::showActive(m_window.get()));
    }

    // The listed cages, the enabled tools "1" to "6", the stored fields of the cages (each
    // field's values in cage order), joined.
    QString listed() const
    {
        QStringList cages;
        for (int i = 0; i < list()->topLevelItemCount(); ++i)
            cages << list()->topLevelItem(i)->text(0);
        return cages.join(u',');
    }
    QString tools() const
    {
        QString states;
        for (const char* key : {"p1", "p2", "p3", "p4", "p5", "p6"})
            states += tool(key)->isEnabled() ? u'1' : u'0';
        return states;
    }
    // The tools, then the legend's labels "1 Grabar" to "6 Borrar Todas " (1 shown in black).
    QString toolsAndLegend() const
    {
        QString states = tools() + u'|';
        for (const char* label : {"legend1", "legend2", "legend3", "legend4", "legend5", "legend6"})
            states += w<QLabel>(label)->isEnabled() ? u'1' : u'0';
        return states;
    }
    QString stored(const QStringList& fields, const QString& where = {}) const
    {
        QStringList values;
        for (const QString& field : fields)
            values << fixtures::column(m_db, "select * from recepcion " + where + " order by jaula", field);
        return values.join(u'|');
    }

    // "Grabar", then each box typed and left with Tab, in order: box names and texts.
    void grabar(const QStringList& typed)
    {
        tool("p1")->trigger();
        for (int i = 0; i < typed.size(); i += 2) {
            guitest::type(w(qPrintable(typed[i])), typed[i + 1]);
            guitest::tab(w(qPrintable(typed[i])));
        }
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_state = std::make_unique<AppState>();
        m_state->programFolder = m_dir->path();
        m_db = store::Database::create(QDir(m_dir->path()).filePath("expo.mdb"), store::schema::exhibition());
        fixtures::setConfig(m_db, 3, true);
        guitest::startScripting();
    }

    void cleanup()
    {
        m_window.reset();
        VERIFY_SCRIPTED();
    }

    void check_data()
    {
        QTest::addColumn<BirdEntry>("typed");
        QTest::addColumn<QString>("result"); // group, category and conditions stored, or the message
        const QString longer =
            QStringLiteral("El campo «%1» admite como máximo %2 caracteres, y «%3» tiene %4.");
        const QString notACategory = QStringLiteral("El campo «Categoria» admite solo las categorías de la A "
                                                    "a la E (o de 1 a 5), y «%1» no es ninguna de "
                                                    "ellas.");
        QTest::newRow("d, digit 5, leading numbers, coefficient with a dot")
            << bird("d", "5", "12x", "", "2.75") << "D|E|12|0|2.75";
        QTest::newRow("category in small letters stored in capitals")
            << bird("D", "c", "1", "1", "") << "D|C|1|1|0";
        QTest::newRow("group c: whatever its category") << bird("c", "long", "1", "", "x") << "C| |0|0|0";
        QTest::newRow("owner of 50") << entry(&BirdEntry::nombre, QString(50, u'ñ')) << "D|A|0|0|0";
        QTest::newRow("cage 1000")
            << entry(&BirdEntry::jaula, "1000")
            << "El número de jaula «1000» no es válido: debe ser un número entero del 1 al 999.";
        QTest::newRow("ring of 8") << entry(&BirdEntry::anilla, "12345678")
                                   << longer.arg("Anilla").arg(7).arg("12345678").arg(8);
        QTest::newRow("year of 5") << entry(&BirdEntry::anio, "20245")
                                   << longer.arg("Año").arg(4).arg("20245").arg(5);
        QTest::newRow("licence of 6")
            << entry(&BirdEntry::licencia, "123456") << longer.arg("Licencia").arg(5).arg("123456").arg(6);
        QTest::newRow("owner of 51")
            << entry(&BirdEntry::nombre, QString(51, u'x'))
            << longer.arg("Propietario").arg(50).arg(QString(40, u'x') + "… (51 caracteres)").arg(51);
        QTest::newRow("colour of 21") << entry(&BirdEntry::color, QString(21, u'a'))
                                      << longer.arg("Color").arg(20).arg(QString(21, u'a')).arg(21);
        QTest::newRow("club of 5") << entry(&BirdEntry::club, "12345")
                                   << longer.arg("Club").arg(4).arg("12345").arg(5);
        QTest::newRow("group of 3") << entry(&BirdEntry::grupo, "ABC")
                                    << longer.arg("Grupo").arg(2).arg("ABC").arg(3);
        QTest::newRow("category of 2") << entry(&BirdEntry::categ, "AB") << notACategory.arg("AB");
        QTest::newRow("digit 6 is no category") << entry(&BirdEntry::categ, "6") << notACategory.arg("6");
        QTest::newRow("digit 0 is no category") << entry(&BirdEntry::categ, "0") << notACategory.arg("0");
        QTest::newRow("letter F is no category") << entry(&BirdEntry::categ, "f") << notACategory.arg("f");
        QTest::newRow("Ñ is no category") << entry(&BirdEntry::categ, "Ñ") << notACategory.arg("Ñ");
        QTest::newRow("group D without category") << entry(&BirdEntry::categ, "")
                                                  << "El campo «Categoria» es obligatorio en el grupo D: "
                                                     "escriba una categoría de la A a la E (o de 1 "
                                                     "a 5).";
        QTest::newRow("group D with a blank category") << entry(&BirdEntry::categ, " ")
                                                       << "El campo «Categoria» es obligatorio en el grupo "
                                                          "D: escriba una categoría de la A a la E (o de 1 "
                                                          "a 5).";
        QTest::newRow("contests too big") << entry(&BirdEntry::conc, "99999999999")
                                          << "El campo «Conc» es un número demasiado grande: «99999999999».";
        QTest::newRow("km too big") << entry(&BirdEntry::km, "99999999999")
                                    << "El campo «Km» es un número demasiado grande: «99999999999».";
        QTest::newRow("contests of 60 digits, cut")
            << entry(&BirdEntry::conc, QString(60, u'9'))
            << "El campo «Conc» es un número demasiado grande: «" + QString(40, u'9') + "… (60 caracteres)».";
        QTest::newRow("coefficient") << entry(&BirdEntry::coef, "1,2,3")
                                     << "El campo «Coef» solo admite números, como 12,5, y «1,2,3» no lo es.";
    }
    void check()
    {
        QFETCH(BirdEntry, typed);
        QFETCH(QString, result);
        const auto problem = reception::check(typed);
        if (result.contains(u'«')) {
            QVERIFY(problem.has_value());
            QCOMPARE(problem->message, result);
            try {
                reception::toRecord(typed);
                QFAIL("an entry check() refuses was turned into a record");
            } catch (const base::Error& e) {
                QCOMPARE(e.message(), result);
            }
            return;
        }
        QVERIFY2(!problem, qPrintable(problem ? problem->message : QString()));
        const reception::BirdRecord r = reception::toRecord(typed);
        const QStringList stored{r.grupo, r.categ, QString::number(r.conc), QString::number(r.km),
                                 QString::number(r.coef)};
        QCOMPARE(stored.join(u'|'), result);
    }

    void storeRefusesAnotherCage()
    {
        fixtures::addBird(m_db, 5, "A", "M", {{"anilla", "ANTES"}});
        try {
            reception::storeBird(m_db, reception::toRecord(entry()), EntryMode::NewCage);
            QFAIL("a second cage 5 was stored");
        } catch (const base::Error& e) {
            QCOMPARE(e.message(), "Jaula Existente");
        }
        const reception::BirdRecord gone = reception::toRecord(entry(&BirdEntry::jaula, "6"));
        QVERIFY_THROWS_EXCEPTION(base::Error, reception::storeBird(m_db, gone, EntryMode::Modify));
        QCOMPARE(stored({"anilla"}), "ANTES"); // one row, untouched
    }

    void newCageProposedCheckedStoredAndListed()
    {
        open({10, 2, 1, 30, 3, 4, 5, 6, 7, 8, 9});
        QCOMPARE(listed(), "1,2,3,4,5,6,7,8,9,10,30");
        tool("p1")->trigger();
        QCOMPARE(tools(), "000000");                       // no command during an entry
        QCOMPARE(w("Text1")->text(), "12");                // the count plus one
        QVERIFY(!w<QPushButton>("Command1")->isEnabled()); // until the cage box has been left
        guitest::type(w("Text1"), "005");
        Messages::script(Messages::Answer::Ok);
        guitest::tab(w("Text1"));
        QCOMPARE(Messages::last().text, "Jaula Existente");
        QCOMPARE(w("Text1")->text(), "12");
        QTRY_VERIFY(w("Text1")->hasFocus());
        click("Command2");
        QCOMPARE(tools(), "111111");

        grabar({"Text1", "11", "Text7", "Juan Garcia", "Text8", "7", "Text9", "b"});
        w<QComboBox>("Combo1")->setCurrentText("Hembra");
        click("Command1");
        QCOMPARE(
            stored({"sexo", "nombre", "club", "grupo", "categ", "puntos", "termina"}, "where jaula = 11"),
            "H|Juan Garcia|7|B| |0|N");
        QCOMPARE(listed(), "1,2,3,4,5,6,7,8,9,10,11,30");
    }

    void modificationKeepsTheListPositionAndItsCage()
    {
        for (int cage = 1; cage <= 6; ++cage)
            fixtures::addBird(m_db, cage * 2, "A", "M", {{"anilla", "R" + QString::number(cage)}});
        open();
        list()->setCurrentItem(list()->topLevelItem(4));
        tool("p3")->trigger();
        QCOMPARE(tools(), "000000");
        QVERIFY(w("Text1")->isReadOnly()); // a modification cannot write into another cage
        guitest::type(w("Text2"), "NUEVA");
        click("Command1");
        QCOMPARE(stored({"anilla"}), "R1,R2,R3,R4,NUEVA,R6");
        QCOMPARE(list()->indexOfTopLevelItem(list()->currentItem()), 4);
        QCOMPARE(w("Text2")->text(), "NUEVA");
        QVERIFY(!w("Text1")->isReadOnly());
    }

    void enteredInTheFrame_data()
    {
        QTest::addColumn<QStringList>("typed"); // after cage 1: boxes and their text
        QTest::addColumn<QString>("result");    // group, category and conditions stored, or the message
        QTest::newRow("group D, digit category")
            << QStringList{"Text9", "d", "Text4", "3", "Text14", "12", "Text15", "350", "Text16", "1,375"}
            << "D|C|12|350|1,375";
        QTest::newRow("group B, whatever the frame shows")
            << QStringList{"Text9", "D", "Text4", "A", "Text14", "9", "Text9", "B"} << "B| |0|0|0";
        QTest::newRow("category in small letters") << QStringList{"Text9", "d", "Text4", "b"} << "D|B|0|0|0";
        // A cage or a ring refused: refusedValueIsSelected.
        QTest::newRow("group D, category 6") << QStringList{"Text4", "6", "Text9", "D"}
                                             << "El campo «Categoria» admite solo las categorías de la A a "
                                                "la E (o de 1 a 5), y «6» no es ninguna de "
                                                "ellas.";
        QTest::newRow("group D without category") << QStringList{"Text4", "", "Text9", "d"}
                                                  << "El campo «Categoria» es obligatorio en el grupo D: "
                                                     "escriba una categoría de la A a la E (o de 1 a "
                                                     "5).";
    }
    void enteredInTheFrame()
    {
        QFETCH(QStringList, typed);
        QFETCH(QString, result);
        open();
        QCOMPARE(tools(), "100010"); // no cages
        grabar(QStringList{"Text1", "1"} + typed);
        const bool refused = result.contains(u'«');
        if (refused)
            Messages::script(Messages::Answer::Ok);
        click("Command1");
        if (!refused) {
            QCOMPARE(stored({"grupo", "categ", "conc", "km", "coef"}), result);
            return;
        }
        // Refused with a message naming the box; nothing stored, the entry stays to be corrected.
        QCOMPARE(Messages::last().text, result);
        QCOMPARE(count("recepcion"), 0);
        QLineEdit* bad = w(qPrintable(typed[0]));
        QVERIFY(bad->text() == typed[1] && w<QWidget>("Frame3")->isVisible());
        QTRY_VERIFY(bad->hasFocus());
    }

    void reloadScoresAndDeleteOneCageWithItsScores()
    {
        for (int juez = 1; juez <= 3; ++juez) {
            fixtures::addScore(m_db, "7", juez, 87.5 + juez);
            fixtures::addScore(m_db, "17", juez, 89);
        }
        fixtures::addScore(m_db, "20", 1, 90);
        open({7, 17, 20});
        QCOMPARE(stored({"puntos", "termina"}), "89,5,89,90|S,S,N");
        QCOMPARE(w("Text10")->text() + w<QLabel>("Label12")->text(), "89,50Puntuacion Terminada");

        list()->setCurrentItem(list()->topLevelItem(1));
        Messages::script(Messages::Answer::No);
        tool("p2")->trigger();
        QCOMPARE(Messages::last().text, "¿Desea Borrar la Jaula?");
        QCOMPARE(count("recepcion"), 3);
        Messages::script(Messages::Answer::Yes);
        tool("p2")->trigger();
        QCOMPARE(stored({"jaula"}) + "/" + listed(), "7,20/7,20");
        QCOMPARE(fixtures::column(m_db, "select * from puntos", "jaula"), "7,7,7,20");
        QCOMPARE(w("Text1")->text(), "20");
        // The shared results hold every row again.
        QCOMPARE(m_state->receRs.recordCount() + m_state->puntosRs.recordCount(), 6);

        // Deleting the last cages leaves "Grabar", "Salir" and, until the window is activated, "6".
        for (int left = 2; left > 0; --left) {
            Messages::script(Messages::Answer::Yes);
            tool("p2")->trigger();
        }
        QCOMPARE(tools() + w("Text1")->text(), "100011");
        QVERIFY(!w<QLabel>("legend2")->isEnabled());
        QEvent activated(QEvent::WindowActivate);
        QApplication::sendEvent(m_window.get(), &activated);
        QCOMPARE(tools(), "100010");
    }

    // A disk that refuses the reload's scores: an "Aviso" says why, nothing of the pass is kept,
    // the cages are still listed, and the next reload stores them once the disk takes writes.
    void aReloadThatCannotWriteSaysSoAndKeepsTheList()
    {
        for (int juez = 1; juez <= 3; ++juez) {
            fixtures::addScore(m_db, "7", juez, 87.5 + juez);
            fixtures::addScore(m_db, "17", juez, 89);
        }
        fixtures::addScore(m_db, "20", 1, 90);
        for (int cage : {7, 17, 20})
            fixtures::addBird(m_db, cage, "A", "M");
        {
            const store::WriteFault fault(2, store::WriteFault::Kind::DiskFull);
            Messages::script(Messages::Answer::Ok);
            open();
            QVERIFY(fault.fired());
        }
        QCOMPARE(Messages::last().title, "Aviso");
        QCOMPARE(Messages::last().text,
                 "No queda espacio en el disco para guardar «expo.mdb». No se ha guardado "
                 "ninguna puntuación.");
        QCOMPARE(stored({"puntos", "termina"}), "0,0,0|N,N,N");
        QCOMPARE(listed(), "7,17,20");
        m_window->load();
        QCOMPARE(stored({"puntos", "termina"}), "89,5,89,90|S,S,N");
    }

    // The reception import may store a second bird in a cage in use (another ring). A deletion
    // removes the bird named and no other; the cage's scores go with its last bird; the
    // exhibition is copied first.
    void deletingABird_data()
    {
        QTest::addColumn<QStringList>("rings"); // of the birds of cage 5, in store order
        QTest::addColumn<int>("deleted");       // the bird deleted, from 0; one beyond: a bird gone
        QTest::addColumn<QString>("left");      // the rings left in cage 5, then its score rows
        QTest::newRow("the second of two: the scores stay") << QStringList{"111", "222"} << 1 << "111|1,2";
        QTest::newRow("the first of two") << QStringList{"111", "222"} << 0 << "222|1,2";
        QTest::newRow("the only bird: its scores go") << QStringList{"111"} << 0 << "|";
        QTest::newRow("a bird deleted meanwhile: nothing") << QStringList{"111"} << 1 << "111|1,2";
    }
    void deletingABird()
    {
        QFETCH(QStringList, rings);
        QFETCH(int, deleted);
        QFETCH(QString, left);
        for (const QString& ring : rings)
            fixtures::addBird(m_db, 5, "A", "M", {{"anilla", ring}});
        for (int juez = 1; juez <= 2; ++juez)
            fixtures::addScore(m_db, "5", juez, 90);
        store::Recordset cage = m_db.openRecordset("select * from recepcion where jaula = 5");
        for (int i = 0; i < deleted && !cage.eof(); ++i)
            cage.moveNext();
        const qint64 row = cage.eof() ? 99 : cage.rowid();
        backups::Keeper keeper;
        QCOMPARE(reception::deleteBird(m_db, keeper, {5, row}), deleted < rings.size());
        QCOMPARE(stored({"anilla"}, "where jaula = 5") + '|' +
                     fixtures::column(m_db, "select * from puntos", "juez"),
                 left);
        QCOMPARE(backups::contentsOf(keeper.lastCopy()).cages, int(rings.size()));
    }

    // Each of two birds of one cage is shown, modified and deleted as itself.
    void twoBirdsOfOneCageInTheWindow()
    {
        fixtures::addBird(m_db, 5, "A", "M", {{"anilla", "111"}, {"nombre", "Uno"}});
        fixtures::addBird(m_db, 5, "A", "M", {{"anilla", "222"}, {"nombre", "Dos"}});
        open({6});
        list()->setCurrentItem(list()->topLevelItem(1));
        QCOMPARE(w("Text2")->text() + w("Text7")->text(), "222Dos");
        tool("p3")->trigger();
        guitest::type(w("Text7"), "Ruiz");
        click("Command1");
        QCOMPARE(stored({"anilla", "nombre"}, "where jaula = 5"), "111,222|Uno,Ruiz");
        list()->setCurrentItem(list()->topLevelItem(1));
        Messages::script(Messages::Answer::Yes);
        tool("p2")->trigger();
        QCOMPARE(stored({"anilla"}) + '/' + listed(), "111,/5,6");
        QCOMPARE(backups::copiesOf(m_state->dbPath).size(), std::size_t(1));
    }

    void deleteAllAsksFirstAndKeepsTheConfiguration()
    {
        for (int cage = 1; cage <= 3; ++cage)
            fixtures::addScore(m_db, QString::number(cage), 1, 90);
        open({1, 2, 3});
        Messages::script(Messages::Answer::No);
        tool("p6")->trigger();
        QCOMPARE(Messages::last().text, "¿Desea Borrar Todas las Jaulas ?");
        QCOMPARE(count("recepcion") + count("puntos"), 6);
        Messages::script(Messages::Answer::Yes);
        tool("p6")->trigger();
        QCOMPARE(count("recepcion") + count("puntos"), 0);
        QCOMPARE(fixtures::column(m_db, "select * from config", "jueces"), "3");
        QCOMPARE(list()->topLevelItemCount(), 0);
    }

    // "Grabar" proposes a free cage within 1..999, so that leaving the box never meets "Jaula
    // Existente" (a box the test would fail on).
    void proposalIsAFreeCage_data()
    {
        QTest::addColumn<int>("received"); // cages 1 to received
        QTest::addColumn<int>("deleted");  // then this one deleted; 0 none
        QTest::addColumn<QString>("proposed");
        QTest::newRow("count plus one") << 3 << 0 << "4";
        QTest::newRow("after deleting cage 2 of 3: 3 is taken") << 3 << 2 << "4";
        QTest::newRow("after deleting the last cage") << 3 << 3 << "3";
        QTest::newRow("full show of 999 cages: nothing") << 999 << 0 << "";
        QTest::newRow("full show, cage 500 deleted") << 999 << 500 << "500";
    }
    void proposalIsAFreeCage()
    {
        QFETCH(int, received);
        QFETCH(int, deleted);
        m_db.execute(
            QStringLiteral("WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n WHERE x < %1) "
                           "INSERT INTO Recepcion (jaula, grupo, sexo, categ, termina, puntos) "
                           "SELECT x, 'A', 'M', ' ', 'N', 0 FROM n")
                .arg(received));
        open();
        if (deleted > 0) {
            list()->setCurrentItem(list()->topLevelItem(deleted - 1));
            Messages::script(Messages::Answer::Yes);
            tool("p2")->trigger();
        }
        guitest::key(Qt::Key_1, Qt::ControlModifier);
        QTEST(w("Text1")->text(), "proposed");
        QCOMPARE(w("Text1")->selectedText(), w("Text1")->text()); // typing replaces it
        guitest::key(Qt::Key_Tab);
        QVERIFY(w<QPushButton>("Command1")->isEnabled());
        QTEST(w("Text1")->text(), "proposed");
    }

    // The toolbar holds the states of its table at every moment: no command runs during an entry,
    // whatever box comes and goes; "6 Borrar Todas" follows the list at each reload.
    // Boxes are real ones here, and "activar" comes back to the window from another one.
    void toolbarStates_data()
    {
        QTest::addColumn<int>("cages");     // received before opening: 1 to cages
        QTest::addColumn<QString>("steps"); // done in order
        QTest::addColumn<QString>("tools"); // "p1" to "p6", 1 enabled; the legend's labels
        QTest::newRow("opened with cages") << 3 << ""
                                           << "111111|111111";
        QTest::newRow("opened without cages") << 0 << ""
                                              << "100010|100010";
        QTest::newRow("first cage stored: 6 on at once") << 0 << "grabar aceptar"
                                                         << "111111|111111";
        QTest::newRow("new cage: every command off") << 3 << "grabar"
                                                     << "000000|000000";
        QTest::newRow("new cage, a box") << 3 << "grabar existente"
                                         << "000000|000000";
        QTest::newRow("new cage, activated") << 3 << "grabar activar"
                                             << "000000|000000";
        QTest::newRow("modification, activated") << 3 << "modificar activar"
                                                 << "000000|000000";
        QTest::newRow("after Cancelar") << 3 << "grabar cancelar"
                                        << "111111|111111";
        QTest::newRow("last cage deleted: 6 unchanged") << 1 << "borrar"
                                                        << "100011|100001";
        QTest::newRow("last cage deleted, then activated") << 1 << "borrar activar"
                                                           << "100010|100000";
    }
    void toolbarStates()
    {
        QFETCH(int, cages);
        QFETCH(QString, steps);
        for (int cage = 1; cage <= cages; ++cage)
            fixtures::addBird(m_db, cage, "A", "M");
        open();
        QStringList seen;
        guitest::answerRealBoxes(&seen);
        QWidget elsewhere;
        for (const QString& step : steps.split(u' ', Qt::SkipEmptyParts)) {
            if (step == "grabar") {
                tool("p1")->trigger();
            } else if (step == "aceptar") {
                guitest::tab(w("Text1"));
                click("Command1");
            } else if (step == "cancelar") {
                click("Command2");
            } else if (step == "modificar") {
                tool("p3")->trigger();
            } else if (step == "existente") {
                guitest::type(w("Text1"), "1");
                guitest::key(Qt::Key_Tab);
                QTRY_COMPARE(seen.size(), 1);
                QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
            } else if (step == "borrar") {
                tool("p2")->trigger();
                QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
            } else if (step == "activar") {
                QVERIFY(guitest::showActive(&elsewhere));
                QVERIFY(guitest::showActive(m_window.get()));
            }
            QApplication::processEvents();
        }
        QTEST(toolsAndLegend(), "tools");
    }

    void buscarSelectsTheCage_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("selected");
        QTest::addColumn<QString>("message");
        QTest::newRow("found, with blanks and zeros") << " 030 " << 30 << QString();
        QTest::newRow("not found") << "31" << 1 << "No se ha encontrado";
    }
    void buscarSelectsTheCage()
    {
        QFETCH(QString, typed);
        QFETCH(QString, message);
        open({1, 7, 30});
        Messages::scriptText(typed);
        if (!message.isEmpty())
            Messages::script(Messages::Answer::Ok);
        tool("p4")->trigger();
        QTEST(w("Text1")->text().toInt(), "selected");
        if (!message.isEmpty())
            QCOMPARE(Messages::last().text, message);
    }
};

QTEST_MAIN(TestReceptionWindow)
#include "test_reception_window.moc"
