// The guide's screenshots: each window of the program as the guide describes it, opened by its
// menu item on a generated exhibition and grabbed as the user sees it. A new window is one line in
// the table of shots. The network window really serves, on 8080 or a free port, until the end.
//   palomas-capturas CARPETA_DE_SALIDA [NOMBRE ...]   (only the shots named, when names are given)

#include "generator.h"
#include "kit/messages.h"
#include "kit/window_placement.h"
#include "windows/clubs/club_search_window.h"
#include "windows/shell/app_state.h"
#include "windows/shell/main_window.h"
#include "windows/shell/startup_window.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTranslator>
#include <QTreeWidget>
#include <cstdio>
#include <functional>
#include <memory>

namespace
{

struct Shot {
    QString file;                        // the picture, without ".png"
    std::function<void()> open;          // opens the window; returns when it is closed
    std::function<void(QWidget*)> ready; // brings it to the moment the guide describes
};

void settle()
{
    for (int i = 0; i < 5; ++i) {
        QApplication::processEvents();
        QTest::qWait(30);
    }
}

// Types on the control with the focus, as the keyboard does.
void typeKeys(const QString& text)
{
    QTest::keyClicks(QApplication::focusWidget(), text);
}

void pressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
}

// A row of the window's first list chosen, as a click on it does.
void chooseRow(QWidget* window, int row)
{
    if (auto* list = window->findChild<QTreeWidget*>(); list && row < list->topLevelItemCount()) {
        list->setFocus();
        list->setCurrentItem(list->topLevelItem(row));
    }
}

// A workbook picked in an import window as the user does: Enter on it in the list of drive A:
// ("censo.xls", "juez 2.xls"), then "Aceptar"; returns once its rows are in the preview.
void previewWorkbook(QWidget* window, int row)
{
    auto* files = window->findChild<QListWidget*>(QStringLiteral("List1"));
    files->setFocus();
    files->setCurrentRow(row);
    QTest::keyClick(files, Qt::Key_Return);
    settle();
    QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
    auto* preview = window->findChild<QTreeWidget*>(QStringLiteral("ListView1"));
    for (int i = 0; i < 200 && preview->topLevelItemCount() == 0; ++i)
        QTest::qWait(50);
}

// The sheets the import windows find on drive A:, written by the tests' workbook maker.
void writeWorkbooks(const QString& programFolder)
{
    const QString driveA = QDir(programFolder).filePath(QStringLiteral("Unidades/A"));
    QDir().mkpath(driveA);
    const QString maker = QStringLiteral(PALOMAS_WORKBOOK_MAKER);
    QProcess::execute(QStringLiteral("/usr/bin/python3"),
                      {maker, QStringLiteral("reception"), QDir(driveA).filePath(QStringLiteral("censo.xls")),
                       QStringLiteral("60")});
    QProcess::execute(QStringLiteral("/usr/bin/python3"),
                      {maker, QStringLiteral("scores"), QDir(driveA).filePath(QStringLiteral("juez 2.xls")),
                       QStringLiteral("60"), QStringLiteral("2")});
}

// Keeps a picture only when it shows a window: not a sliver (the smallest window, the club
// help, is wider than 300 pixels) nor an empty grab, which is a single colour.
bool keep(const QPixmap& picture, const QString& path)
{
    const QImage image = picture.toImage();
    QSet<QRgb> colours;
    for (int y = 0; y < image.height() && colours.size() < 3; y += 7)
        for (int x = 0; x < image.width() && colours.size() < 3; x += 7)
            colours.insert(image.pixel(x, y));
    const bool shown = image.width() >= 300 && image.height() >= 200 && colours.size() >= 3;
    const bool saved = shown && picture.save(path);
    std::printf("%s %s\n", saved ? "grabada" : shown ? "NO GRABADA" : "VACÍA, NO GRABADA", qPrintable(path));
    return saved;
}

bool save(QWidget* window, const QString& path)
{
    return keep(window->grab(), path);
}

// Every picture a chapter of the guide shows, made by this run into the folder.
int missingFromTheGuide(const QString& folder)
{
    static const QRegularExpression image(QStringLiteral("!\\[[^\\]]*\\]\\(capturas/([^)]+)\\)"));
    int missing = 0;
    for (const QFileInfo& chapter :
         QDir(QStringLiteral(PALOMAS_GUIDE)).entryInfoList({QStringLiteral("*.md")})) {
        QFile file(chapter.filePath());
        if (!file.open(QIODevice::ReadOnly))
            qFatal("no se puede leer %s", qPrintable(chapter.filePath()));
        for (const QRegularExpressionMatch& m : image.globalMatch(QString::fromUtf8(file.readAll())))
            if (!QFileInfo::exists(QDir(folder).filePath(m.captured(1)))) {
                std::printf("FALTA %s, que muestra %s\n", qPrintable(m.captured(1)),
                            qPrintable(chapter.fileName()));
                ++missing;
            }
    }
    return missing;
}

// Runs open and, once its window is the active modal one, makes it ready, grabs and closes it.
bool shoot(const Shot& shot, QWidget* below, const QString& folder)
{
    bool saved = false;
    bool seen = false;
    QTimer poll;
    poll.setInterval(50);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* window = QApplication::activeModalWidget();
        if (window == nullptr || window == below || seen)
            return;
        seen = true;
        poll.stop();
        settle();
        if (shot.ready)
            shot.ready(window);
        settle();
        saved = save(window, QDir(folder).filePath(shot.file + QStringLiteral(".png")));
        window->close();
    });
    poll.start();
    shot.open();
    return saved;
}

QAction* action(QWidget* main, const char* name)
{
    auto* found = main->findChild<QAction*>(QString::fromLatin1(name));
    if (found == nullptr)
        qFatal("no hay acción %s", name);
    return found;
}

// The port the show is served at in the picture: the program's own 8080 when this machine has it
// free, so that the picture shows what the organiser sees; otherwise any free one, so that a
// busy machine still makes every picture.
quint16 servingPort()
{
    QTcpServer probe;
    if (probe.listen(QHostAddress::Any, 8080))
        return 8080;
    probe.listen(QHostAddress::Any, 0);
    return probe.serverPort();
}

// The server started as the organiser does: the port, a key of his own, "Iniciar". A key typed
// rather than drawn, so that the picture is the same every run.
void startServing(QWidget* window)
{
    window->findChild<QLineEdit*>(QStringLiteral("textPuerto"))->setText(QString::number(servingPort()));
    window->findChild<QLineEdit*>(QStringLiteral("textClave"))->setText(QStringLiteral("K7PXM-2QR9T"));
    QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("botonIniciar")), Qt::LeftButton);
}

// "Vista previa" of a printout window, grabbed once the first page is drawn, and closed.
bool shootPreview(QWidget* window, const QString& path)
{
    bool saved = false;
    QTimer::singleShot(0, window, [&] {
        auto* preview = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
        if (preview == nullptr)
            return;
        settle();
        saved = save(preview, path);
        preview->close();
    });
    QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("CommandVistaPrevia")), Qt::LeftButton);
    return saved;
}

// The main window with one of its menus open at an item: the menu is a window of its own, so it
// is drawn onto the main window's picture where the screen shows it.
bool shootMenu(QMainWindow* main, const char* menuName, const char* actionName, const QString& path)
{
    auto* menu = main->findChild<QMenu*>(QString::fromLatin1(menuName));
    main->menuBar()->setActiveAction(menu->menuAction());
    settle();
    menu->setActiveAction(action(main, actionName));
    settle();
    QPixmap picture = main->grab();
    {
        QPainter painter(&picture);
        painter.drawPixmap(menu->mapToGlobal(QPoint(0, 0)) - main->mapToGlobal(QPoint(0, 0)), menu->grab());
    }
    menu->close();
    settle();
    return keep(picture, path);
}

} // namespace

int main(int argc, char* argv[])
{
    // The size of the smallest screen the program is made for, whatever the machine.
    QTemporaryDir work;
    const QString screens = work.filePath(QStringLiteral("pantalla.json"));
    {
        QFile config(screens);
        config.open(QIODevice::WriteOnly);
        config.write(R"({"screens": [{"name": "1366x768", "x": 0, "y": 0, "width": 1366, "height": 768,
                         "logicalDpiX": 96, "logicalDpiY": 96}]})");
    }
    qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + screens).toUtf8());
    // Window placements of earlier runs would change the pictures.
    qputenv("XDG_CONFIG_HOME", work.filePath(QStringLiteral("config")).toUtf8());
    qputenv("XDG_DATA_HOME", work.filePath(QStringLiteral("data")).toUtf8());
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Palomas"));
    QApplication::setOrganizationName(QStringLiteral("Palomas"));
    QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Spain));
    placement::installForApplication();
    // Qt's own texts (the print preview's) in Spanish, as the program shows them.
    QTranslator qtSpanish;
    if (qtSpanish.load(QLocale(QLocale::Spanish), QStringLiteral("qtbase"), QStringLiteral("_"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtSpanish);
    if (argc < 2) {
        std::fprintf(stderr, "Uso: palomas-capturas CARPETA [NOMBRE ...]\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out);
    QStringList only;
    for (int i = 2; i < argc; ++i)
        only << QString::fromLocal8Bit(argv[i]);

    // An exhibition of a small club's show: 60 cages, three judges, clubs of a region.
    bench::ExhibitionSize size;
    size.cages = 60;
    size.judgesPerCage = 3;
    size.jueces = 3;
    size.clubs = 12;
    const QString folder = work.filePath(QStringLiteral("Exposiciones"));
    QDir().mkpath(folder);
    const bench::Generated generated = bench::generate(folder, QStringLiteral("Regional 2026.mdb"), size);

    // The emblems the package installs, as an installed program shows them.
    for (const char* picture : {"Talvorena1.gif", "Talvorena1.bmp"})
        QFile::copy(QStringLiteral(PALOMAS_EMBLEMS "/") + QString::fromLatin1(picture),
                    QDir(folder).filePath(QString::fromLatin1(picture)));

    writeWorkbooks(folder);

    AppState state;
    state.programFolder = folder;
    state.dbPath = generated.exhibition;
    // Boxes are answered without being shown; each is printed, to be seen in the guide's text.
    Messages::startScripting();

    StartupWindow startup(state);
    startup.show();
    settle();
    int failed = 0;
    auto wanted = [&](const QString& file) { return only.isEmpty() || only.contains(file); };
    if (wanted(QStringLiteral("inicio")))
        failed += !save(&startup, QDir(out).filePath(QStringLiteral("inicio.png")));
    if (wanted(QStringLiteral("inicio-nuevo"))) {
        action(&startup, "actionNuevo")->trigger();
        settle();
        typeKeys(QStringLiteral("Regional 2026"));
        settle();
        failed += !save(&startup, QDir(out).filePath(QStringLiteral("inicio-nuevo.png")));
    }

    MainWindow main(state, &startup);
    if (!main.openExhibition())
        qFatal("no se ha podido abrir la exposición generada");
    main.show();
    settle();
    if (wanted(QStringLiteral("principal")))
        failed += !save(&main, QDir(out).filePath(QStringLiteral("principal.png")));

    QString served; // the show's address, as the network window shows it
    auto trigger = [&main](const char* name) { return [&main, name] { action(&main, name)->trigger(); }; };
    // One line per window: the picture, how the user opens the window, what is done in it first.
    const Shot shots[] = {
        {QStringLiteral("configuracion"), trigger("actionConfiguracion"), nullptr},
        {QStringLiteral("clubes"), trigger("actionClub"), [](QWidget* w) { chooseRow(w, 2); }},
        {QStringLiteral("clubes-buscar"), trigger("actionClub"),
         [](QWidget* w) {
             action(w, "ps4")->trigger();
             settle();
             typeKeys(QStringLiteral("Club Colomb"));
         }},
        {QStringLiteral("recepcion"), trigger("actionRecepcion"), [](QWidget* w) { chooseRow(w, 11); }},
        {QStringLiteral("ayuda-club"), [&] { ClubSearchWindow(state, &main).choose(); }, nullptr},
        {QStringLiteral("puntuacion"), trigger("actionPuntuacion"),
         [](QWidget*) {
             typeKeys(QStringLiteral("12"));
             pressKey(Qt::Key_Return);
         }},
        {QStringLiteral("listado-grupo"), trigger("actionGrupoAMachos"), nullptr},
        {QStringLiteral("listado-documento"), trigger("actionGrupoAMachos"),
         [](QWidget* w) {
             QTest::mouseClick(w->findChild<QWidget*>(QStringLiteral("Command4")), Qt::LeftButton);
             settle();
             typeKeys(QStringLiteral("A:\\"));
         }},
        {QStringLiteral("listado-grupo-d"), trigger("actionGrupoDCategoriaA"), nullptr},
        {QStringLiteral("listado-provincias"), trigger("actionListadoPorClub"), nullptr},
        {QStringLiteral("importar-recepcion"), trigger("actionImpRecepcion"),
         [](QWidget* w) { previewWorkbook(w, 0); }},
        {QStringLiteral("importar-puntuacion"), trigger("actionImpPuntuacion"),
         [](QWidget* w) { previewWorkbook(w, 1); }},
        {QStringLiteral("copias"), trigger("actionCopias"), [](QWidget* w) { chooseRow(w, 0); }},
        // The server keeps serving once its window is closed: the labels below take its address.
        {QStringLiteral("red"), trigger("actionRed"),
         [&served, &failed](QWidget* w) {
             startServing(w);
             settle();
             served = w->findChild<QLabel*>(QStringLiteral("labelDireccion"))->text();
             if (served.isEmpty()) {
                 std::printf("el servidor no se ha puesto en marcha\n");
                 ++failed; // a stopped server is not what the guide shows
             }
         }},
        // The labels' window with the address of the show typed in, and, as "Vista previa"
        // shows it, their first page with the QR codes.
        {QStringLiteral("impresos"), trigger("actionEtiquetas"),
         [&](QWidget* w) {
             auto* address = w->findChild<QLineEdit*>(QStringLiteral("Direccion"));
             address->setFocus();
             address->selectAll();
             typeKeys(served);
             if (wanted(QStringLiteral("impresos-vista")))
                 failed += !shootPreview(w, QDir(out).filePath(QStringLiteral("impresos-vista.png")));
         }},
    };
    for (const Shot& shot : shots)
        if (wanted(shot.file) || (shot.file == u"impresos" && wanted(QStringLiteral("impresos-vista"))))
            failed += !shoot(shot, &main, out);
    if (wanted(QStringLiteral("exportar-excel")))
        failed += !shootMenu(&main, "menuListados", "actionExportarExcel",
                             QDir(out).filePath(QStringLiteral("exportar-excel.png")));

    if (only.isEmpty())
        failed += missingFromTheGuide(out);

    for (const Messages::Shown& box : Messages::shown())
        std::printf("aviso: «%s» %s\n", qPrintable(box.title), qPrintable(box.text));
    Messages::stopScripting();
    main.close();
    return failed == 0 ? 0 : 1;
}
