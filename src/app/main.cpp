#include "base/install_layout.h"
#include "kit/window_placement.h"
#include "rules/exhibition/exhibition.h"
#include "windows/shell/app_state.h"
#include "windows/shell/guide_chapters.h"
#include "windows/shell/startup_window.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <cstdio>
#include <cstring>

int main(int argc, char* argv[])
{
    // Answered before any window system is reached: they work without a display.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::puts(install::versionLine(QStringLiteral("palomas")).toUtf8().constData());
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0) {
            std::puts("Uso: palomas [--version] [--help]\n"
                      "Programa para Exposiciones de Palomas Mensajeras. Véase palomas(1).");
            return 0;
        }
    }
    QApplication app(argc, argv);
    install::nameApplication();
    QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Spain));
    // Every window within the screen, where the user left it in the last run.
    placement::installForApplication();
    // F1 in any window: the guide at that window's chapter.
    installGuide();
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
