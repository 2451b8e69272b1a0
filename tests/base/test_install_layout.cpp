// Where an installed program and one run from its build folder keep their files: the layout read
// from real folder trees, the program folder, the pictures and the helper program. The texts that
// tell the version are compared where they are shown: palomas --version installed, "Acerca de".

#include "base/install_layout.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <unistd.h>

class TestInstallLayout : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_tree;

    QString at(const QString& relative) const
    {
        return relative.isEmpty() ? QString() : m_tree.filePath(relative);
    }
    void makeFolders(const QStringList& folders) const
    {
        for (const QString& folder : folders)
            QVERIFY(QDir().mkpath(m_tree.filePath(folder)));
    }
    void makeFile(const QString& relative) const
    {
        QDir().mkpath(QFileInfo(m_tree.filePath(relative)).path());
        QFile file(m_tree.filePath(relative));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("GIF89a");
    }

private slots:
    void init() { QVERIFY(m_tree.isValid()); }
    void cleanup()
    {
        // A fresh tree for each row.
        QDir(m_tree.path()).removeRecursively();
        QDir().mkpath(m_tree.path());
    }

    void layoutOf_data()
    {
        QTest::addColumn<QStringList>("folders");
        QTest::addColumn<QString>("executableFolder");
        QTest::addColumn<bool>("installed");
        QTest::addColumn<QString>("sharedData");
        QTest::addColumn<QString>("reader");

        QTest::newRow("build folder") << QStringList{"build/bin"} << "build/bin" << false << ""
                                      << "build/bin/palomas-lector";
        QTest::newRow("installed in /usr")
            << QStringList{"usr/bin", "usr/share/palomas", "usr/libexec/palomas"} << "usr/bin" << true
            << "usr/share/palomas"
            << "usr/libexec/palomas/palomas-lector";
        QTest::newRow("installed in /usr/local") << QStringList{"usr/local/bin", "usr/local/share/palomas"}
                                                 << "usr/local/bin" << true << "usr/local/share/palomas"
                                                 << "usr/local/libexec/palomas/palomas-lector";
        // Another program's data folder beside a build folder does not make it installed.
        QTest::newRow("build folder beside another share")
            << QStringList{"work/bin", "work/share/other"} << "work/bin" << false << ""
            << "work/bin/palomas-lector";
    }

    void layoutOf()
    {
        QFETCH(QStringList, folders);
        QFETCH(QString, executableFolder);
        QFETCH(bool, installed);
        QFETCH(QString, sharedData);
        QFETCH(QString, reader);
        makeFolders(folders);
        const install::Layout layout = install::layoutOf(at(executableFolder));
        QCOMPARE(layout.installed, installed);
        QCOMPARE(layout.sharedData, at(sharedData));
        QCOMPARE(install::helperProgram(layout, QStringLiteral("palomas-lector")), at(reader));
    }

    void programFolder_data()
    {
        QTest::addColumn<bool>("installed");
        QTest::addColumn<bool>("writable");
        QTest::addColumn<bool>("userFolder");

        QTest::newRow("build folder") << false << true << false;
        QTest::newRow("build folder that cannot be written") << false << false << true;
        // Root can write anywhere: the installed program must not write beside itself all the same.
        QTest::newRow("installed, writable by the user") << true << true << true;
        QTest::newRow("installed") << true << false << true;
    }

    void programFolder()
    {
        QFETCH(bool, installed);
        QFETCH(bool, writable);
        QFETCH(bool, userFolder);
        makeFolders({QStringLiteral("p/bin")});
        if (installed)
            makeFolders({QStringLiteral("p/share/palomas")});
        const QString bin = m_tree.filePath(QStringLiteral("p/bin"));
        if (!writable) {
            if (geteuid() == 0)
                QSKIP("root writes in any folder");
            QFile::setPermissions(bin, QFile::ReadOwner | QFile::ExeOwner);
        }
        const QString user = m_tree.filePath(QStringLiteral("home/.local/share/Palomas/Palomas"));
        const QString folder = install::programFolder(install::layoutOf(bin), user);
        QFile::setPermissions(bin, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(folder, userFolder ? user : bin);
        // The folder handed out is there to be written in.
        QVERIFY(QFileInfo(folder).isDir());
        QCOMPARE(QFileInfo::exists(user), userFolder);
    }

    void picture_data()
    {
        QTest::addColumn<bool>("installed");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("found");

        const QString own = QStringLiteral("datos/Talvorena1.gif");
        const QString shipped = QStringLiteral("p/share/palomas/Talvorena1.gif");
        QTest::newRow("installed: the user's own first") << true << QStringList{own, shipped} << own;
        QTest::newRow("installed: the shipped one") << true << QStringList{shipped} << shipped;
        QTest::newRow("installed: none") << true << QStringList{} << "";
        QTest::newRow("build folder: the one in the program folder") << false << QStringList{own} << own;
        QTest::newRow("build folder: none") << false << QStringList{} << "";
        // The other picture's name is not taken for this one.
        QTest::newRow("installed: only the listing's picture")
            << true << QStringList{"datos/Talvorena1.bmp", "p/share/palomas/Talvorena1.bmp"} << "";
    }

    void picture()
    {
        QFETCH(bool, installed);
        QFETCH(QStringList, files);
        QFETCH(QString, found);
        makeFolders({QStringLiteral("p/bin"), QStringLiteral("datos")});
        if (installed)
            makeFolders({QStringLiteral("p/share/palomas")});
        for (const QString& file : files)
            makeFile(file);
        const install::Layout layout = install::layoutOf(m_tree.filePath(QStringLiteral("p/bin")));
        QCOMPARE(install::picture(layout, m_tree.filePath(QStringLiteral("datos")),
                                  QStringLiteral("Talvorena1.gif")),
                 at(found));
    }

    // F1 opens the chapter's page of the guide, else its PDF; "Acerca de" links to it.
    void guide_data()
    {
        QTest::addColumn<bool>("installed");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("found");
        const QString page = QStringLiteral("p/share/doc/palomas/guia/05-recepcion.html");
        const QString pdf = QStringLiteral("p/share/doc/palomas/guia.pdf");
        QTest::newRow("installed: the chapter's page") << true << QStringList{page, pdf} << page;
        QTest::newRow("installed: the PDF") << true << QStringList{pdf} << pdf;
        QTest::newRow("installed: another chapter only")
            << true << QStringList{"p/share/doc/palomas/guia/04-clubes.html"} << "";
        QTest::newRow("build folder: beside the executable")
            << false << QStringList{"p/bin/guia/05-recepcion.html", pdf} << "p/bin/guia/05-recepcion.html";
        QTest::newRow("build folder: its PDF") << false << QStringList{"p/bin/guia.pdf"} << "p/bin/guia.pdf";
    }

    void guide()
    {
        QFETCH(bool, installed);
        QFETCH(QStringList, files);
        QFETCH(QString, found);
        makeFolders({QStringLiteral("p/bin")});
        if (installed)
            makeFolders({QStringLiteral("p/share/palomas")});
        for (const QString& file : files)
            makeFile(file);
        const install::Layout layout = install::layoutOf(m_tree.filePath(QStringLiteral("p/bin")));
        const QString page = install::guidePage(install::guideFolder(layout), QStringLiteral("05-recepcion"));
        QCOMPARE(page, at(found));
        if (!page.isEmpty())
            QCOMPARE(
                install::aboutText(QStringLiteral("/datos"), page).section(QStringLiteral("<br><br>"), 2),
                "<a href=\"" + QUrl::fromLocalFile(page).toString() +
                    "\">Guía de la exposición</a> (F1 en cualquier ventana)");
    }
};

QTEST_GUILESS_MAIN(TestInstallLayout)
#include "test_install_layout.moc"
