#include "kit/window_placement.h"
#include "rules/exhibition/exhibition.h"
#include "windows/shell/app_state.h"
#include "windows/shell/startup_window.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Palomas"));
    QApplication::setOrganizationName(QStringLiteral("Palomas"));
    QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Spain));
    // Every window within the screen, where the user left it in the last run.
    placement::installForApplication();
    // Qt's own buttons and file dialogs in Spanish, when the translations are installed.
    QTranslator qtSpanish;
    if (qtSpanish.load(QLocale(QLocale::Spanish), QStringLiteral("qtbase"), QStringLiteral("_"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtSpanish);

    AppState state;
    state.programFolder = exhibition::programFolder();
    StartupWindow startup(state);
    startup.show();
    return QApplication::exec();
}
