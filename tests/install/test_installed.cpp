// The program as installed by cmake --install: the executables in <prefix>/bin, the reader in
// <prefix>/libexec/palomas. Installed, the user's files go to the user's data folder and nothing
// is written under the prefix, even for a user who could (the tests run as root in CI).

#include "import/workbooks.h"
#include "store/database.h"
#include "store/schema.h"

#include <QDirIterator>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TestInstalled : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_work;
    QString m_prefix;
    QString m_home;
    QString m_data; // the user's data folder of the installed program
    QStringList m_installedFiles;

    struct Result {
        int exitCode = -1;
        QString out;
        QString err;
    };

    Result run(const QString& program, const QStringList& args) const
    {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), m_home);
        env.insert(QStringLiteral("XDG_DATA_HOME"), m_work.filePath(QStringLiteral("datos")));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_work.filePath(QStringLiteral("config")));
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(m_home);
        process.start(QDir(m_prefix).filePath(QStringLiteral("bin/") + program), args);
        process.waitForFinished(120000);
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }

    QString filled(QString text) const
    {
        return text.replace(QStringLiteral("{home}"), m_home)
            .replace(QStringLiteral("{datos}"), m_data)
            .replace(QStringLiteral("{version}"), QStringLiteral(PALOMAS_PROJECT_VERSION));
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
        QVERIFY(m_work.isValid());
        m_prefix = m_work.filePath(QStringLiteral("prefijo"));
        m_home = m_work.filePath(QStringLiteral("home"));
        m_data = m_work.filePath(QStringLiteral("datos/Palomas/Palomas"));
        QVERIFY(QDir().mkpath(m_home));
        QProcess install;
        install.start(QStringLiteral("cmake"),
                      {QStringLiteral("--install"), QStringLiteral(PALOMAS_BUILD_DIR),
                       QStringLiteral("--prefix"), m_prefix});
        QVERIFY(install.waitForFinished(120000));
        QVERIFY2(install.exitCode() == 0, install.readAllStandardError().constData());
        m_installedFiles = filesUnderPrefix();
    }

    void commands_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");

        QTest::newRow("palomas-cli --version")
            << "palomas-cli" << QStringList{"--version"} << 0 << "palomas-cli {version}\n"
            << "";
        // Without a display: the version is told before any window system is reached.
        QTest::newRow("palomas --version")
            << "palomas" << QStringList{"--version"} << 0 << "palomas {version}\n"
            << "";
        QTest::newRow("crear") << "palomas-cli" << QStringList{"crear", "{home}", "Regional"} << 0
                               << "{home}/Regional.mdb\n"
                               << "";
        // The user's data folder is the program folder: Club.mdb there is the clubs database.
        QTest::newRow("crear Club in the user's data folder")
            << "palomas-cli" << QStringList{"crear", "{datos}", "Club"} << 1 << ""
            << "«Club» no puede ser el nombre de una exposición: Club.mdb es la base de datos de los clubes "
               "del programa. Escriba otro nombre.\n";
        QTest::newRow("listados looks for Club.mdb in the user's data folder")
            << "palomas-cli" << QStringList{"listados", "{home}/Regional.mdb", "{home}/listados"} << 1 << ""
            << "No se encuentra el archivo de clubes «{datos}/Club.mdb»; indíquelo con --clubs.\n";
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
        const Result result = run(program, args);
        QCOMPARE(result.err, filled(err));
        QCOMPARE(result.out, filled(out));
        QCOMPARE(result.exitCode, exitCode);
    }

    // The workbook is read by the installed palomas-lector, which is not beside palomas-cli.
    void importReadsThroughTheInstalledReader()
    {
        QVERIFY(!QFileInfo::exists(QDir(m_prefix).filePath(QStringLiteral("bin/palomas-lector"))));
        const QString exhibition = QDir(m_home).filePath(QStringLiteral("Importada.mdb"));
        store::Database::create(exhibition, store::schema::exhibition());
        const QString sheet = QDir(m_home).filePath(QStringLiteral("censo.xls"));
        workbooks::write(
            sheet,
            {{5, workbooks::bird(1, 1111)}, {6, workbooks::bird(2, 2222)}, {7, workbooks::bird(3, 3333)}});
        const Result result =
            run(QStringLiteral("palomas-cli"), {QStringLiteral("importar-recepcion"), exhibition, sheet});
        QVERIFY2(result.exitCode == 0, qPrintable(result.err));
        store::Database db = store::Database::open(exhibition, store::schema::exhibition());
        QCOMPARE(db.openRecordset(QStringLiteral("select * from Recepcion")).recordCount(), 3);
    }

    // Runs last: whatever the commands did, the installed tree is as cmake --install left it.
    void nothingWrittenUnderThePrefix() { QCOMPARE(filesUnderPrefix(), m_installedFiles); }
};

QTEST_GUILESS_MAIN(TestInstalled)
#include "test_installed.moc"
