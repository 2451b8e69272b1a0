// The one keyboard table: every window driven by the keys alone, over one show. Each row opens a
// window, reaches a state by keys, presses one key and tells what came of it: the real boxes shown
// (their comings and goings move the focus) and the key that answered them (Enter, as a hurried
// clerk does), the legend's label greyed, the guide opened, and where the focus ended, or
// "cerrada". Then the legend's coming and going, and the message boxes' test seam.

#include "kit/guide.h"
#include "kit/keyboard.h"
#include "kit/messages.h"
#include "support/window_fixture.h"
#include "windows/backups/backups_window.h"
#include "windows/clubs/club_maintenance_window.h"
#include "windows/clubs/club_search_window.h"
#include "windows/config/config_window.h"
#include "windows/import/reception_import_window.h"
#include "windows/import/score_import_window.h"
#include "windows/judging/judging_window.h"
#include "windows/listings/listabc_window.h"
#include "windows/network/network_window.h"
#include "windows/printouts/printout_window.h"
#include "windows/reception/reception_window.h"
#include "windows/shell/guide_chapters.h"
#include "windows/shell/startup_window.h"

#include <QDesktopServices>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QVBoxLayout>

using guitest::child;

namespace
{

// 3 judges, cages 1, 2 and 9 (judges 1 and 2), club 1, a workbook on A:; Etiquetas: two sheets.
std::unique_ptr<fixtures::Show> makeShow(const QString& window)
{
    auto show = std::make_unique<fixtures::Show>();
    store::Database& db = show->db();
    for (int cage : {1, 2, 9})
        fixtures::addBird(db, cage, "A", "M");
    for (int cage = 3; window == u"Etiquetas" && cage <= 30; ++cage)
        fixtures::addBird(db, cage, "A", "H");
    fixtures::addScore(db, "9", 1, 88);
    fixtures::addScore(db, "9", 2, 89);
    QDir(show->path("Unidades/A")).mkpath(".");
    QFile(show->path("Unidades/A/censo.xlsx")).open(QIODevice::WriteOnly);
    show->open();
    show->state.selGrupo = "A";
    show->state.selSexo = "M";
    return show;
}

std::unique_ptr<QWidget> makeWindow(const QString& name, AppState& state)
{
    using printouts::Kind;
    if (name == u"Principal")
        return guitest::openMain(state);
    if (name == u"Recepcion") {
        auto reception = std::make_unique<ReceptionWindow>(state);
        ReceptionWindow* window = reception.get();
        window->setClubPicker([&state, window] { return ClubSearchWindow(state, window).choose(); });
        return reception;
    }
    const std::map<QString, std::function<QWidget*()>> windows{
        {"Inicio", [&] { return new StartupWindow(state); }},
        {"Puntuacion", [&] { return new JudgingWindow(state); }},
        {"Configuracion", [&] { return new ConfigWindow(state); }},
        {"Club", [&] { return new ClubMaintenanceWindow(state, nullptr); }},
        {"Ayuda de Club", [&] { return new ClubSearchWindow(state, nullptr); }},
        {"Listado", [&] { return new ListabcWindow(state); }},
        {"Imp Recepcion", [&] { return new ReceptionImportWindow(state, nullptr); }},
        {"Imp Puntuacion", [&] { return new ScoreImportWindow(state, nullptr); }},
        {"Etiquetas", [&] { return new PrintoutWindow(state, Kind::Etiquetas); }},
        {"Hojas", [&] { return new PrintoutWindow(state, Kind::HojasJueces); }},
        {"Red", [&] { return new NetworkWindow(state); }},
        {"Copias", [&] { return new BackupsWindow(state, nullptr); }}};
    return std::unique_ptr<QWidget>(windows.at(name)());
}

} // namespace

class TestKeyboardTable : public QObject
{
    Q_OBJECT

    QTemporaryDir m_guide; // a guide of empty pages, one per chapter
    QWidget* m_window = nullptr;
    QStringList m_seen; // the boxes above the window and how each was answered; the guide opened

    // One token after another: 'text typed, @Control given the focus as Tab gives it, or a key.
    void play(const QString& steps)
    {
        for (const QString& step : steps.split(u' ', Qt::SkipEmptyParts)) {
            if (step.startsWith(u'\''))
                QTest::keyClicks(QApplication::focusWidget(), step.mid(1));
            else if (step.startsWith(u'@'))
                child<QWidget>(m_window, qPrintable(step.mid(1)))->setFocus(Qt::TabFocusReason);
            else
                press(QKeySequence(step)[0]);
            settle();
        }
    }

    QWidget* target() const
    {
        for (QWidget* w : {QApplication::activePopupWidget(), QApplication::focusWidget()})
            if (w != nullptr)
                return w;
        return m_window;
    }
    void press(QKeyCombination key) { QTest::keyClick(target(), key.key(), key.keyboardModifiers()); }

    // Until the boxes are gone and the window has its focus back (or is closed).
    void settle()
    {
        (void)QTest::qWaitFor([this] {
            const QWidget* modal = QApplication::activeModalWidget();
            return !m_window->isVisible() ||
                   ((modal == nullptr || modal == m_window) && QApplication::activeWindow() == m_window);
        });
        QTest::qWait(20); // the focus given back once the box's event is over
    }

    // The label of the legend for Ctrl and a digit, while Ctrl is held.
    QString legendFor(int digit)
    {
        QTest::keyPress(target(), Qt::Key_Control);
        const QString number = QString::number(digit) + u' ';
        for (const QLabel* label : m_window->findChildren<QLabel*>())
            if (label->isVisible() && label->text().startsWith(number))
                return label->isEnabled() ? QString() : QStringLiteral("gris");
        return QStringLiteral("sin leyenda");
    }

    // Enter on each button shown and enabled, reached by Tab, its handlers disconnected.
    QString pressEachButton()
    {
        QStringList pressed;
        for (QPushButton* button : m_window->findChildren<QPushButton*>()) {
            if (!button->isVisible() || !button->isEnabled())
                continue;
            disconnect(button, &QAbstractButton::clicked, nullptr, nullptr);
            QSignalSpy clicked(button, &QAbstractButton::clicked);
            for (int tabs = 0; QApplication::focusWidget() != button && tabs < 40; ++tabs)
                press(Qt::Key_Tab);
            press(Qt::Key_Return);
            pressed << button->objectName() + (clicked.count() == 1 ? "" : " sin pulsar");
        }
        return pressed.join(u' ');
    }

    // Where the focus is: the control, the titled box holding it, its text when wholly selected.
    QString focusShown() const
    {
        if (!m_window->isVisible())
            return QStringLiteral("cerrada");
        QWidget* focus = QApplication::focusWidget();
        if (focus == nullptr)
            return QStringLiteral("sin foco");
        QString shown = focus->objectName();
        for (QWidget* w = focus->parentWidget(); w != nullptr && w != m_window; w = w->parentWidget())
            if (auto* group = qobject_cast<QGroupBox*>(w); group != nullptr && !group->title().isEmpty()) {
                shown += " en «" + group->title() + "»";
                break;
            }
        if (auto* box = qobject_cast<QLineEdit*>(focus); box != nullptr && box->hasSelectedText())
            shown +=
                " «" + box->selectedText() + "»" + (box->selectedText() == box->text() ? "" : " en parte");
        return shown;
    }

public slots:
    void opened(const QUrl& url) { m_seen << "guía " + QFileInfo(url.toLocalFile()).completeBaseName(); }

private slots:
    void initTestCase()
    {
        QDir(m_guide.path()).mkpath("guia");
        for (const char* chapter : {"00-portada", "02-crear", "05-recepcion", "07-impresos"})
            QFile(m_guide.filePath(QStringLiteral("guia/%1.html").arg(chapter))).open(QIODevice::WriteOnly);
        guide::installForApplication(m_guide.path(), guideChapter); // before any window's own keys
        QDesktopServices::setUrlHandler("file", this, "opened");
    }

    void cleanupTestCase() { QDesktopServices::unsetUrlHandler("file"); }

    void keys_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("steps"); // from the window as it opens
        QTest::addColumn<QString>("key");   // a key, or "botones": Enter on each button
        QTest::addColumn<QString>("outcome");
        const auto row = [](const char* window, const char* steps, const char* key, const QString& outcome) {
            QTest::addRow("%s: %s %s", window, steps, key) << window << steps << key << outcome;
        };
        const QString nuevaJaula = "Text1 en «Grabar Una Jaula» «4»";
        const QString juez = "Text3 en «Grabar Puntuacion»";
        const QString club = "Text1 en «Grabar Un Club Nuevo»";

        // Ctrl with each number the legend shows; a command greyed in the legend does nothing.
        row("Recepcion", "", "Ctrl+1", nuevaJaula);
        row("Recepcion", "", "Ctrl+2", "«¿Desea Borrar la Jaula?» Sí ListView1");
        row("Recepcion", "", "Ctrl+3", "Text1 en «Modificar La Jaula»");
        row("Recepcion", "", "Ctrl+4", "«Buscar» ListView1");
        row("Recepcion", "", "Ctrl+5", "cerrada");
        row("Recepcion", "", "Ctrl+6", "«¿Desea Borrar Todas las Jaulas ?» No ListView1");
        row("Recepcion", "Ctrl+1", "Ctrl+6", "gris " + nuevaJaula);
        row("Recepcion", "Ctrl+3", "Ctrl+2", "gris Text1 en «Modificar La Jaula»");
        row("Puntuacion", "'9 Tab Down", "Ctrl+1", juez);
        row("Puntuacion", "'9 Tab Down", "Ctrl+2",
            "«¿Desea Borrar la Puntuacion de este Juez?» Sí ListView1");
        row("Puntuacion", "'9 Tab Down", "Ctrl+3", "Text4 en «Puntos» «8,00»");
        row("Puntuacion", "'9 Tab Down", "Ctrl+5", "Text1 en «Nº de Jaula»");
        row("Puntuacion", "'9 Tab Down", "Ctrl+6", "cerrada");
        row("Puntuacion", "'9 Tab Ctrl+1", "Ctrl+6", "gris " + juez);
        row("Club", "", "Ctrl+1", club);
        row("Club", "", "Ctrl+2", "«¿Desea Borrar el Club?» Sí ListView1");
        row("Club", "", "Ctrl+3", "Text1 en «Modificar el Club» «1»");
        row("Club", "", "Ctrl+4", "Text7 en «Buscar Club»");
        row("Club", "", "Ctrl+6", "cerrada");
        row("Club", "Ctrl+1", "Ctrl+4", "gris " + club);
        row("Club", "Ctrl+1", "Ctrl+3", "gris Text1 en «Modificar el Club»"); // its keys act always
        row("Ayuda de Club", "", "Ctrl+1", "Text1 en «&Patron de Busqueda» «0000»");
        row("Ayuda de Club", "", "Ctrl+2", "cerrada");

        // Enter on each button, reached by Tab; Enter in a box moves on.
        row("Recepcion", "Ctrl+1 Tab", "botones", "Command1 Command2");
        row("Puntuacion", "'9 Tab Ctrl+1 '3 Return '8 Return '8 Return '17 Return '27 Return '27", "botones",
            "Command1 Command2");
        row("Configuracion", "", "botones", "confModificar confSalir");
        row("Configuracion", "Return", "botones", "ConfAceptar confSalir");
        row("Club", "Ctrl+1 '12", "botones", "Command1 Command2");
        row("Club", "Ctrl+4", "botones", "Command3 Command4");
        row("Ayuda de Club", "Ctrl+1", "botones", "Command1 Command2");
        row("Inicio", "Alt+1 Return", "botones", "Command1 Command2");
        row("Listado", "", "botones", "Command3 CommandVistaPrevia Command4 Command2");
        row("Listado", "@Command4 Return", "botones",
            "Command1 Command5 Command3 CommandVistaPrevia Command4 Command2");
        row("Etiquetas", "", "botones", "CommandVistaPrevia CommandImprimir CommandPdf CommandSalir");
        row("Hojas", "", "botones",
            "CommandVistaPrevia CommandImprimir CommandPdf CommandSalir CommandExcel");
        row("Imp Recepcion", "", "botones", "Command2");
        row("Red", "", "botones", "botonIniciar botonCerrar");
        row("Copias", "", "botones", "cerrar");
        row("Red", "@textPuerto", "Return", "textClave");
        row("Imp Puntuacion", "@List1", "Return", "Command1");
        row("Configuracion", "", "Return", "Text1 «Regional de Castilla»");
        row("Configuracion", "Return @Text7", "Return", "Text2"); // out of a text of many lines too
        row("Etiquetas", "@CommandVistaPrevia", "Return", "«Vista previa» 2/2 CommandVistaPrevia");

        // F10 the first menu, Alt and a menu's number or letter, its first item for Enter; a command.
        row("Principal", "F10", "Return", "«Recepcion de Palomas » sin foco");
        row("Principal", "Alt+5", "Return", "«Listado del Grupo A Machos» sin foco");
        row("Principal", "Alt+I", "Return", "«Etiquetas de jaula» sin foco");
        row("Principal", "", "Alt+2", "«Puntuacion de los Jueces» sin foco");
        row("Principal", "", "Alt+R", "«Red de la Exposición» sin foco");
        row("Principal", "", "Alt+8", "sin foco");
        row("Principal", "", "Alt+7", "cerrada");
        row("Inicio", "", "F10", "sin foco");

        // Enter moves on; group "D" on to the category, a category on to the contests.
        row("Recepcion", "Ctrl+1 Tab @Text9 'd", "Return", "Text4 en «Categoria»");
        row("Recepcion", "Ctrl+1 Tab @Text9 'd Return '3", "Return",
            "Text14 en «Condiciones del Grupo D» «0»");
        row("Recepcion", "Ctrl+1 Tab @Text9 'b", "Return", "Command1");

        // Esc closes the windows with buttons on top and the listings, never a check's box.
        row("Recepcion", "Ctrl+1 '1", "Esc", "cerrada");
        row("Puntuacion", "'9 Tab Ctrl+1 '3 Tab '9,5", "Esc", "cerrada");
        row("Club", "Ctrl+1", "Esc", "cerrada");
        row("Ayuda de Club", "", "Esc", "cerrada");
        row("Listado", "", "Esc", "cerrada");
        row("Etiquetas", "", "Esc", "cerrada");
        row("Imp Recepcion", "", "Esc", "cerrada");
        row("Configuracion", "Return", "Esc", "Text1 «Regional de Castilla»");

        // A refused value comes back selected, so that typing replaces it.
        row("Recepcion", "Ctrl+1 '1", "Tab", "«Jaula Existente» " + nuevaJaula);
        row("Recepcion", "Ctrl+1 Tab '12345678 @Command1", "Return",
            "«El campo «Anilla» admite como máximo 7 caracteres, y «12345678» tiene 8.» Text2 en «Grabar Una "
            "Jaula» «12345678»");
        row("Puntuacion", "'9 Tab Ctrl+1 '3 Tab '9,5", "Tab",
            "«Puntuacion Erronea » Text4 en «Grabar Puntuacion» «0,00»");
        row("Puntuacion", "'77", "Tab", "«Jaula sin paloma» Text1 en «Nº de Jaula» «77»");
        row("Club", "Ctrl+1 '12 Tab '" + QByteArray(51, 'x') + " @Command1", "Return",
            "«El nombre del club admite como máximo 50 caracteres, y el escrito tiene 51. Acórtelo.» "
            "Text2 en «Grabar Un Club Nuevo» «" +
                QString(51, u'x') + "»");
        row("Configuracion", "Return @Text6 '0 @ConfAceptar", "Return",
            "«El número de jueces «0» no es válido: debe ser un número entero del 1 al 99.» Text6 en "
            "«Nº de Jueces» «0»");
        const QString existente = "«Base de Datos Existente» Text1 en «Nombre de la Base de Datos» «expo»";
        row("Inicio", "Alt+1 Return 'expo", "Tab", existente);
        row("Inicio", "Alt+1 Return 'expo", "Return", existente);
        row("Red", "@textClave '123 @botonIniciar", "Return",
            "«La clave debe tener de 8 a 32 letras o cifras, sin acentos.» textClave «123»");
        row("Red", "@textPuerto '0 @botonIniciar", "Return",
            "«El puerto debe ser un número del 1 al 65535.» textPuerto «80800»");

        // A check on leaving a box never stands in the way of Cancelar.
        row("Recepcion", "Ctrl+1 '1 @Command2", "Return", "ListView1");
        row("Puntuacion", "'9 Tab Ctrl+1 '3 Tab '9,5 @Command2", "Return", "ListView1");
        row("Inicio", "Alt+1 Return 'expo @Command2", "Return", "Command2 en «Nombre de la Base de Datos»");

        // F1: the guide at the window's chapter, the focus kept; in Recepción's club box, the search.
        row("Principal", "", "F1", "guía 02-crear sin foco");
        row("Recepcion", "", "F1", "guía 05-recepcion ListView1");
        row("Recepcion", "Ctrl+1 @Text8", "F1", "«Ayuda de Club» Text8 en «Grabar Una Jaula»");
        row("Etiquetas", "", "F1",
            "guía 07-impresos MargenSuperior en «Hoja de etiquetas (3 x 8 de 70 x 37 mm)»");
    }
    void keys()
    {
        QFETCH(QString, window);
        QFETCH(QString, steps);
        QFETCH(QString, key);
        const std::unique_ptr<fixtures::Show> show = makeShow(window);
        std::unique_ptr<QWidget> made = makeWindow(window, show->state);
        QVERIFY(made != nullptr);
        m_window = made.get();
        QString outcome;
        const auto act = [&] {
            play(steps);
            m_seen.clear();
            if (key == u"botones") {
                outcome = pressEachButton();
                return;
            }
            QString legend;
            const QKeyCombination pressed = QKeySequence(key)[0];
            if (pressed.keyboardModifiers() == Qt::ControlModifier)
                legend = legendFor(pressed.key() - Qt::Key_0);
            press(pressed);
            settle();
            outcome = QStringList({m_seen.join(u' '), legend, focusShown()}).join(u' ').simplified();
        };
        guitest::answerRealBoxes(&m_seen, m_window);
        if (auto* dialog = qobject_cast<QDialog*>(m_window)) {
            guitest::whenShown<QDialog>([&](QDialog* shown) {
                act();
                shown->reject();
            });
            dialog->exec();
        } else {
            QVERIFY(guitest::showActive(m_window));
            act();
        }
        guitest::stopWaiting();
        m_window = nullptr;
        QTEST(outcome, "outcome");
    }

    // Ctrl shows the legend until released, also when a box of the window took over meanwhile.
    void legendComesAndGoes()
    {
        QDialog window;
        auto* first = new QLineEdit(&window);
        auto* legend = new QGroupBox(QStringLiteral("1 Grabar"), &window);
        (new QVBoxLayout(&window))->addWidget(legend);
        legend->hide();
        KeyboardHelper::install(&window, {true, true, legend});
        QVERIFY(guitest::showActive(&window));
        first->setFocus();
        QTest::keyPress(first, Qt::Key_Control);
        QVERIFY(legend->isVisible());
        QTest::keyRelease(first, Qt::Key_Control);
        QVERIFY(!legend->isVisible());
        QTest::keyPress(first, Qt::Key_Control);
        QDialog box(&window);
        QVERIFY(guitest::showActive(&box));
        QTest::keyRelease(&box, Qt::Key_Control);
        box.hide();
        QVERIFY(guitest::showActive(&window));
        QVERIFY(!legend->isVisible());
    }

    // Every window test relies on it to fail on a box nobody expected.
    void scriptingReportsWhatWentWrong()
    {
        Messages::startScripting();
        Messages::inform(nullptr, "Aviso", "nadie lo esperaba");
        Messages::script(Messages::Answer::Yes);
        Messages::inform(nullptr, "Aviso", "solo ofrece Aceptar");
        Messages::script(Messages::Answer::No);
        QCOMPARE(Messages::stopScripting(),
                 (QStringList{"caja no esperada: «Aviso» / «nadie lo esperaba»",
                              "respuesta que la caja no ofrece: «Aviso» / «solo ofrece Aceptar»",
                              "1 respuesta(s) sin usar"}));
    }
};

QTEST_MAIN(TestKeyboardTable)
#include "test_keyboard_table.moc"
