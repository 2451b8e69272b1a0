// Where the program keeps its files, read from real folder trees: the program folder of an
// installed program and of one run from its build folder, the pictures, the guide, and the drive
// letters typed as in the original. The installed layout as a whole, its reader in libexec and
// nothing written under its prefix: test_installed.

#include "base/drives.h"
#include "base/install_layout.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <unistd.h>

class TestProgramFolder : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_tree;

    QString at(const QString& relative) const
    {
        return relative.isEmpty() ? QString() : m_tree->filePath(relative);
    }

    // The folders and files given (a name with a dot is a file) and the executable's folder p/bin.
    install::Layout tree(const QStringList& made, const QString& bin = "p/bin") const
    {
        for (const QString& path : made + QStringList{bin}) {
            const bool file = path.section(u'/', -1).contains(u'.');
            QDir().mkpath(file ? QFileInfo(at(path)).path() : at(path));
            if (file)
                QFile(at(path)).open(QIODevice::WriteOnly);
        }
        return install::layoutOf(at(bin));
    }

private slots:
    void init() { m_tree = std::make_unique<QTemporaryDir>(); }

    void programFolder_data()
    {
        QTest::addColumn<bool>("installed");
        QTest::addColumn<bool>("writable");
        QTest::addColumn<bool>("userFolder");
        QTest::newRow("build folder") << false << true << false;
        QTest::newRow("build folder that cannot be written") << false << false << true;
        // Root can write anywhere: the installed program must not write beside itself all the same.
        QTest::newRow("installed, writable by the user") << true << true << true;
    }
    void programFolder()
    {
        QFETCH(bool, installed);
        QFETCH(bool, writable);
        QFETCH(bool, userFolder);
        const install::Layout layout = tree(installed ? QStringList{"p/share/palomas"} : QStringList{});
        if (!writable && geteuid() == 0)
            QSKIP("root writes in any folder");
        QFile::setPermissions(at("p/bin"), QFile::ReadOwner | QFile::ExeOwner |
                                               (writable ? QFile::WriteOwner : QFile::Permission(0)));
        const QString user = at("home/.local/share/Palomas/Palomas");
        const QString folder = install::programFolder(layout, user);
        QFile::setPermissions(at("p/bin"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(folder, userFolder ? user : at("p/bin"));
        QVERIFY(QFileInfo(folder).isDir()); // handed out to be written in
    }

    // The emblem: the user's own first, then the installed one, never the other picture's name.
    // F1: the chapter's page of the guide, else its PDF; "Acerca de" links to it.
    void filesFound_data()
    {
        QTest::addColumn<bool>("guide");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("found");
        const QString own = "datos/Talvorena1.gif", shipped = "p/share/palomas/Talvorena1.gif";
        const QString page = "p/share/doc/palomas/guia/05-recepcion.html",
                      pdf = "p/share/doc/palomas/guia.pdf";
        QTest::newRow("the user's own picture first") << false << QStringList{own, shipped} << own;
        QTest::newRow("the installed picture") << false << QStringList{shipped} << shipped;
        QTest::newRow("only the listing's picture")
            << false << QStringList{"datos/Talvorena1.bmp", "p/share/palomas/Talvorena1.bmp"} << "";
        QTest::newRow("the chapter's page") << true << QStringList{page, pdf} << page;
        QTest::newRow("the PDF") << true << QStringList{pdf, "p/share/doc/palomas/guia/04-clubes.html"}
                                 << pdf;
        QTest::newRow("built: the page beside the executable")
            << true << QStringList{"p/bin/guia/05-recepcion.html"} << "p/bin/guia/05-recepcion.html";
    }
    void filesFound()
    {
        QFETCH(bool, guide);
        QFETCH(QStringList, files);
        QFETCH(QString, found);
        const bool built = found.startsWith("p/bin");
        const install::Layout layout =
            tree(files + QStringList{"datos"} + (built ? QStringList{} : QStringList{"p/share/palomas"}));
        if (!guide) {
            QCOMPARE(install::picture(layout, at("datos"), "Talvorena1.gif"), at(found));
            return;
        }
        const QString page = install::guidePage(install::guideFolder(layout), "05-recepcion");
        QCOMPARE(page, at(found));
        QCOMPARE(install::aboutText("/datos", page).section("<br><br>", 2),
                 "<a href=\"" + QUrl::fromLocalFile(page).toString() +
                     "\">Guía de la exposición</a> (F1 en cualquier ventana)");
    }

    // A drive letter is a folder "Unidades/<letra>" of the program folder, made when first used.
    void driveLetters_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected"); // within the program folder, unless absolute
        const auto row = [](const char* name, const char* typed, const char* expected) {
            QTest::newRow(name) << QString(typed) << QString(expected);
        };
        row("drive alone with a file name", "A:Grupo A Machos.txt", "Unidades/A/Grupo A Machos.txt");
        row("drive root", "A:\\x.txt", "Unidades/A/x.txt");
        row("small letter", "e:\\listados\\x.txt", "Unidades/E/listados/x.txt");
        row("folder without drive", "listados\\x.txt", "listados/x.txt");
        row("absolute path as it is", "/tmp/x.txt", "/tmp/x.txt");
    }
    void driveLetters()
    {
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        QCOMPARE(drives::resolve(typed, at("p")), QDir(at("p")).filePath(expected));
        QCOMPARE(drives::folderOf("F:", at("p")), at("p/Unidades/F"));
        QVERIFY(QDir(at("p/Unidades/F")).exists());
    }
};

QTEST_GUILESS_MAIN(TestProgramFolder)
#include "test_program_folder.moc"
