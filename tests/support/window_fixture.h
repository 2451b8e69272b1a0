#pragma once

// The one set-up of the window tests: a show in a folder of its own, opened as the program opens
// it, and the window over it loaded, shown and active, its boxes and dialogs answered by the test.

#include "kit/file_dialogs.h"
#include "kit/messages.h"
#include "rules/exhibition/exhibition.h"
#include "support/fixtures.h"
#include "support/gui_test.h"
#include "windows/shell/app_state.h"
#include "windows/shell/main_window.h"

#include <QAction>
#include <QDir>
#include <QPushButton>

namespace fixtures
{

// expo.mdb ("Regional de Castilla") and Club.mdb (club 1 of Toledo), opened; filled through db(),
// then open() again (the windows do) so that the shared results read it.
struct Show {
    QTemporaryDir dir;
    AppState state;

    explicit Show(int jueces = 3, bool media = true)
    {
        state.programFolder = dir.path();
        state.dbPath = path("expo.mdb");
        {
            store::Database db = store::Database::create(state.dbPath, store::schema::exhibition());
            setConfig(db, jueces, media);
            db.execute("UPDATE Config SET nombre = 'Regional de Castilla', region = 'Castilla'");
            addClub(store::Database::create(path("Club.mdb"), store::schema::clubs()), "1", "Club Uno",
                    "Toledo");
        }
        open();
    }

    QString path(const QString& name) const { return QDir(dir.path()).filePath(name); }
    store::Database& db() { return state.mainDb; }
    void open() { exhibition::open(state, state.dbPath); }
    // The main window over the show, shown and active; null when refused. One at a time.
    std::unique_ptr<MainWindow> main;
    MainWindow* openMain()
    {
        main.reset();
        main = guitest::openMain(state);
        return main.get();
    }
    // A field of a query's rows, in their order, read from the file.
    QString column(const QString& query, const QString& field) const
    {
        return fixtures::column(store::Database::open(state.dbPath, store::schema::exhibition()), query,
                                field);
    }
};

} // namespace fixtures

// The show and one window W over it: show() opens the show again, makes, loads and activates W.
template <class W> struct WindowFixture : fixtures::Show {
    std::unique_ptr<W> window;

    explicit WindowFixture(int jueces = 3, bool media = true) : Show(jueces, media)
    {
        Messages::startScripting(); // and the file dialogs: answered by the test
        FileDialogs::startScripting();
    }
    // Destroyed in cleanup(): fails on a box or dialog nobody answered, or an answer left.
    ~WindowFixture()
    {
        window.reset();
        main.reset();
        guitest::stopWaiting();
        const QStringList problems = Messages::stopScripting() + FileDialogs::stopScripting();
        if (!problems.isEmpty())
            QTest::qFail(qPrintable(problems.join(QStringLiteral("; "))), __FILE__, __LINE__);
    }

    // V: W or one of its kinds (the fixture of QDialog holds any window).
    template <class V = W, class... Args> V* show(Args&&... args)
    {
        window.reset();
        open();
        auto made = std::make_unique<V>(state, std::forward<Args>(args)...);
        if constexpr (requires { made->load(); })
            made->load();
        V* shown = made.get();
        window = std::move(made);
        if (!guitest::showActive(window.get()))
            qFatal("the window did not become active");
        return shown;
    }

    template <class T = QLineEdit> T* w(const char* name) const
    {
        return guitest::child<T>(window.get(), name);
    }
    // Triggers the action, or clicks the button, of that name.
    void press(const char* name) const
    {
        if (auto* action = window->template findChild<QAction*>(QString::fromLatin1(name)))
            action->trigger();
        else
            w<QAbstractButton>(name)->click();
    }
    // Types in the box as the user does and leaves it with Tab, so that its checks run.
    void enter(const char* box, const QString& text) const
    {
        guitest::type(w(box), text);
        guitest::tab(w(box));
    }
    QString text(const char* box) const { return w(box)->text(); }
    QTreeWidget* list() const { return w<QTreeWidget>("ListView1"); }
    QString listed() const // the list's first column
    {
        QStringList first;
        for (const QString& row : guitest::rows(list()))
            first << row.section(u'|', 0, 0);
        return first.join(u',');
    }
    void select(int row) const { list()->setCurrentItem(list()->topLevelItem(row)); }
};
