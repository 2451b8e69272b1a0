// The program as installed by cmake --install: the executables in <prefix>/bin, the reader in
// <prefix>/libexec/palomas. Installed, the user's files go to the user's data folder and nothing
// is written under the prefix, even for a user who could (the tests run as root in CI).

#include "cli/cli_run.h"
#include "support/workbooks.h"
#include "store/database.h"

#include <QDirIterator>
#include <QTemporaryDir>
#include <QTest>

class TestInstalled : public QObject
{
    Q_OBJECT

    QTemporaryDir m_work;
    const QString m_prefix = m_work.filePath("prefijo");
    const QString m_home = m_work.filePath("home");
    const QString m_data = m_work.filePath("datos/Palomas/Palomas"); // the installed program's folder
    QStringList m_installedFiles;

    QString filled(QString text) const
    {
        return text.replace("{home}", m_home)
            .replace("{datos}", m_data)
            .replace("{version}", PALOMAS_PROJECT_VERSION);
    }

    QStringList filesUnderPrefix() const
    {
        QStringList files;
        QDirIterator it(m_prefix, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            files << it.next();
        files.sort();
        return files;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(QDir().mkpath(m_home));
        const CliResult install = runProgram("cmake", {"--install", PALOMAS_BUILD_DIR, "--prefix", m_prefix});
        QVERIFY2(install.exitCode == 0, qPrintable(install.err));
        m_installedFiles = filesUnderPrefix();
        // The reader is not beside palomas-cli: an import finds it where it is installed.
        QVERIFY(!QFileInfo::exists(QDir(m_prefix).filePath("bin/palomas-lector")));
        store::Database::create(QDir(m_home).filePath("Importada.mdb"), store::schema::exhibition());
        workbooks::write(QDir(m_home).filePath("censo.xls"),
                         {{5, workbooks::bird(1, 1111)}, {6, workbooks::bird(2, 2222)}});
    }

    void commands_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        const auto row = [](const char* name, const QStringList& args, int exitCode, const QString& out,
                            const QString& err = {}) {
            QTest::newRow(name) << QString(name).section(' ', 0, 0) << args << exitCode << out << err;
        };
        row("palomas-cli --version", {"--version"}, 0, "palomas-cli {version}\n");
        // Without a display: the version is told before any window system is reached.
        row("palomas --version", {"--version"}, 0, "palomas {version}\n");
        row("palomas-cli crear", {"crear", "{home}", "Regional"}, 0, "{home}/Regional.mdb\n");
        // The user's data folder is the program folder: Club.mdb there is the clubs database.
        row("palomas-cli crear Club in the user's data folder", {"crear", "{datos}", "Club"}, 1, "",
            "«Club» no puede ser el nombre de una exposición: Club.mdb es la base de datos de los clubes del "
            "programa. Escriba otro nombre.\n");
        row("palomas-cli listados looks for Club.mdb in the user's data folder",
            {"listados", "{home}/Regional.mdb", "{home}"}, 1, "",
            "No se encuentra el archivo de clubes «{datos}/Club.mdb»; indíquelo con --clubs.\n");
        row("palomas-cli importar-recepcion through the installed reader",
            {"importar-recepcion", "{home}/Importada.mdb", "{home}/censo.xls"}, 0, "2 Grabadas Palomas\n");
    }
    void commands()
    {
        QFETCH(QString, program);
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, out);
        QFETCH(QString, err);
        for (QString& arg : args)
            arg = filled(arg);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", m_home);
        env.insert("XDG_DATA_HOME", m_work.filePath("datos"));
        env.insert("XDG_CONFIG_HOME", m_work.filePath("config"));
        const CliResult result = runProgram(QDir(m_prefix).filePath("bin/" + program), args, m_home, env);
        QCOMPARE(result.err, filled(err));
        QCOMPARE(result.out, filled(out));
        QCOMPARE(result.exitCode, exitCode);
    }

    // Runs last: whatever the commands did, the installed tree is as cmake --install left it.
    void nothingWrittenUnderThePrefix() { QCOMPARE(filesUnderPrefix(), m_installedFiles); }
};

QTEST_GUILESS_MAIN(TestInstalled)
#include "test_installed.moc"
