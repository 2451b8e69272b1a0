// palomas-cli as a user runs it, in a folder that holds a show: every refusal of every command in
// one table, then each command's run, and servir until it is stopped. The rules the commands reach
// are tested in their layers.

#include "cli/cli_run.h"
#include "rules/records/statuses.h"
#include "support/workbooks.h"
#include "rules/backups/copies.h"
#include "rules/records/closing.h"
#include "rules/records/history.h"
#include "rules/records/seal.h"
#include "server/http_client.h"
#include "server/show_server.h"
#include "support/failing_disk.h"
#include "rules/records/checks.h"
#include "support/fixtures.h"

#include <QDirIterator>
#include <QRegularExpression>
#include <csignal>

class TestCli : public QObject
{
    Q_OBJECT

    QTemporaryDir m_master;  // the files each row starts from
    QTemporaryDir m_runtime; // Qt's runtime folder, for the commands that draw
    std::unique_ptr<QTemporaryDir> m_dir;

    QString path(const QString& name) const { return m_dir->filePath(name); }
    // "@" stands for the row's folder, "#" for the test data.
    QString filled(QString text) const
    {
        return text.replace(u'@', m_dir->path()).replace(u'#', qEnvironmentVariable("PALOMAS_TEST_DATA"));
    }
    CliResult run(QStringList args) const
    {
        args.replaceInStrings("@", m_dir->path())
            .replaceInStrings("#", qEnvironmentVariable("PALOMAS_TEST_DATA"));
        return runCli(args, m_dir->path());
    }

    // Every file of the folder but the backup copies, with its bytes' fingerprint.
    QStringList files() const
    {
        QStringList all;
        QDirIterator it(m_dir->path(), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            if (const QString file = it.next(); !file.startsWith(backups::folderOf(path("Expo.mdb"))))
                all << QDir(m_dir->path()).relativeFilePath(file) + ' ' + fixtures::fingerprint(file).toHex();
        all.sort();
        return all;
    }

    // The cages of a show with their final scores, and its judges' rows.
    QString stored(const QString& show) const
    {
        const store::Database db =
            store::Database::open(path(show), store::schema::exhibition(), store::Database::Access::ReadOnly);
        const QString cages = "select * from recepcion order by jaula";
        QString statuses;
        for (const records::BirdStatus& bird : records::unrankedBirds(db))
            statuses += QString(" | %1 %2").arg(bird.jaula).arg(bird.text());
        store::Statement last = db.query("SELECT origen FROM Historial ORDER BY id DESC LIMIT 1");
        return fixtures::column(db, cages, "jaula") + " | " + fixtures::column(db, cages, "puntos") + " | " +
               fixtures::column(db, cages, "termina") + " | jueces " +
               fixtures::column(db, "select * from puntos order by jaula, juez", "juez") + statuses + " | " +
               (last.step() ? last.text(0) : QString());
    }

private slots:
    // Expo.mdb, in use: three judges, two cages scored whose final scores are not stored yet.
    // Nueva.mdb as crear leaves it, without configuration, but for a bird.
    void initTestCase()
    {
        qputenv("XDG_RUNTIME_DIR", m_runtime.path().toUtf8());
        httptest::noProxy();
        const QDir master(m_master.path());
        const store::Database expo =
            store::Database::create(master.filePath("Expo.mdb"), store::schema::exhibition());
        fixtures::setConfig(expo, 3, false);
        fixtures::addBird(expo, 7, "A", "M");
        fixtures::addBird(expo, 8, "C", "H");
        for (int juez = 1; juez <= 3; ++juez) {
            fixtures::addScore(expo, "7", juez, 88 + juez);
            fixtures::addScore(expo, "8", juez, 90);
        }
        const store::Database nueva =
            store::Database::create(master.filePath("Nueva.mdb"), store::schema::exhibition());
        fixtures::addBird(nueva, 9, "A", "M");
        store::Database::create(master.filePath("Club.mdb"), store::schema::clubs());
        workbooks::write(master.filePath("juez.xls"), {{2, {"Juez", 4}}, {5, workbooks::scored(9)}});
    }
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        for (const QString& name : QDir(m_master.path()).entryList(QDir::Files))
            QVERIFY(QFile::copy(QDir(m_master.path()).filePath(name), path(name)));
    }

    // Wrong usage ends with 2, a file or folder that cannot be used with 1: the message alone on
    // standard error, and no file written or changed.
    void refusals_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("err");
        const auto row = [](const char* name, const QStringList& args, int exitCode, const QString& err) {
            QTest::newRow(name) << args << exitCode << err + '\n';
        };
        const QString usage =
            "Uso: palomas-cli ORDEN ARGUMENTOS...\nÓrdenes: cerrar, comprobar, copia, crear, estado, exportar-xlsx, "
            "historial, hojas-jueces-xlsx, importar-puntuacion, importar-recepcion, impreso, listados, "
            "reabrir, recalcular, restaurar, sello, servir, verificar";
        row("no command", {}, 2, usage);
        row("unknown command", {"borrar"}, 2, "Orden desconocida: «borrar»\n" + usage);
        row("crear without a name", {"crear", "@"}, 2, "Uso: palomas-cli crear CARPETA NOMBRE");
        row("an unknown option, named as typed", {"listados", "Expo.mdb", "@", "--tls=1"}, 2,
            "Opción desconocida: «--tls=1»\nUso: palomas-cli listados EXPOSICION.mdb CARPETA [--clubs CLUB.mdb] [--pdf]");
        row("an option given twice", {"servir", "Expo.mdb", "--clave", "abcdefgh", "--clave", "12345678"}, 2,
            "Uso: palomas-cli servir EXPOSICION.mdb [--puerto P] [--clave CLAVE] [--clubs CLUB.mdb]");
        row("crear over a show", {"crear", "@", "Expo"}, 1, "Base de Datos Existente");
        row("crear where no file can be made", {"crear", "/proc", "Otra"}, 1,
            "No se puede escribir en la carpeta «/proc»: no se ha podido crear «Otra.mdb».");
        row("recalcular two shows", {"recalcular", "Expo.mdb", "Nueva.mdb"}, 2,
            "Uso: palomas-cli recalcular EXPOSICION.mdb");
        row("estado, a disqualification without its reason", {"estado", "Expo.mdb", "7", "descalificada"}, 1,
            "Una paloma descalificada necesita un motivo");
        row("listados without a folder", {"listados", "Expo.mdb"}, 2,
            "Uso: palomas-cli listados EXPOSICION.mdb CARPETA [--clubs CLUB.mdb] [--pdf]");
        row("listados without the clubs", {"listados", "Expo.mdb", "@", "--clubs", "no.mdb"}, 1,
            "No se encuentra el archivo de clubes «no.mdb»; indíquelo con --clubs.");
        row("listados, a missing folder", {"listados", "Expo.mdb", "@/no", "--clubs", "Club.mdb"}, 1,
            "La carpeta «@/no» no existe.");
        row("exportar-xlsx over the clubs", {"exportar-xlsx", "Expo.mdb", "Club.mdb", "--clubs", "Club.mdb"},
            2, "«Club.mdb» es un archivo de la exposición: el libro necesita otro nombre.");
        row("exportar-xlsx, a missing folder",
            {"exportar-xlsx", "Expo.mdb", "@/no/r.xlsx", "--clubs", "Club.mdb"}, 1,
            "No se ha podido grabar el archivo r.xlsx: la carpeta «@/no» no existe.");
        row("hojas-jueces-xlsx without a folder", {"hojas-jueces-xlsx", "Expo.mdb"}, 2,
            "Uso: palomas-cli hojas-jueces-xlsx EXPOSICION.mdb CARPETA");
        row("hojas-jueces-xlsx, a missing folder", {"hojas-jueces-xlsx", "Expo.mdb", "@/no"}, 1,
            "La carpeta «@/no» no existe.");
        row("impreso, an unknown printout", {"impreso", "sobres", "Expo.mdb", "x.pdf"}, 2,
            "Impreso desconocido: «sobres»\nUso: palomas-cli impreso "
            "{etiquetas|hojas-jueces|catalogo|resguardos} "
            "EXPOSICION.mdb SALIDA.pdf [--clubs CLUB.mdb] [--url URL]");
        row("impreso without the clubs", {"impreso", "catalogo", "Expo.mdb", "x.pdf", "--clubs", "no.mdb"}, 1,
            "No se encuentra el archivo de clubes «no.mdb»; indíquelo con --clubs.");
        row("impreso over the show", {"impreso", "catalogo", "Expo.mdb", "@/./Expo.mdb"}, 2,
            "«@/./Expo.mdb» es un archivo de la exposición: el PDF necesita otro nombre.");
        row("impreso, a missing folder", {"impreso", "catalogo", "Expo.mdb", "@/no/x.pdf"}, 1,
            "No se ha podido grabar el archivo x.pdf: la carpeta «@/no» no existe.");
        row("importar-recepcion without a workbook", {"importar-recepcion", "Expo.mdb"}, 2,
            "Uso: palomas-cli importar-recepcion EXPOSICION.mdb HOJA.xls");
        row("importar-recepcion, a missing workbook", {"importar-recepcion", "Expo.mdb", "no.xls"}, 1,
            "No se encuentra el archivo «no.xls».");
        row("importar-puntuacion, --juez beyond the judges",
            {"importar-puntuacion", "Expo.mdb", "juez.xls", "--juez", "4"}, 2,
            "El número de juez debe ser un número entero del 1 al 3.");
        row("importar-puntuacion, B2 beyond the judges", {"importar-puntuacion", "Expo.mdb", "juez.xls"}, 1,
            "El número de juez debe ser un número entero del 1 al 3. El juez es el número de la celda B2; "
            "otro se indica con --juez N.");
        row("importar-puntuacion, a workbook that crashes the reader",
            {"importar-puntuacion", "Expo.mdb", "#/damaged/freexl-segv-1.xls"}, 1,
            "El libro «freexl-segv-1.xls» está dañado o no se puede leer.");
        row("copia without a show", {"copia"}, 2, "Uso: palomas-cli copia EXPOSICION.mdb");
        row("copia of a missing show", {"copia", "Nada.mdb"}, 1, "No se encuentra el archivo «Nada.mdb».");
        row("restaurar without a copy", {"restaurar", "Expo.mdb"}, 2,
            "Uso: palomas-cli restaurar EXPOSICION.mdb COPIA.mdb");
        row("restaurar a damaged copy", {"restaurar", "Expo.mdb", "#/damaged/copia-pagina-a-ceros.mdb"}, 1,
            "La copia «copia-pagina-a-ceros.mdb» está dañada: parte de su contenido no se puede leer. No se "
            "ha restaurado: la exposición sigue como estaba.");
        row("restaurar the show into itself", {"restaurar", "Expo.mdb", "./Expo.mdb"}, 1,
            "La copia elegida es la propia exposición.");
        const QString servir =
            "\nUso: palomas-cli servir EXPOSICION.mdb [--puerto P] [--clave CLAVE] [--clubs CLUB.mdb]";
        row("servir, a port not a number", {"servir", "Expo.mdb", "--puerto", "80x"}, 2,
            "El puerto debe ser un número del 0 al 65535." + servir);
        row("servir, an unknown option", {"servir", "Expo.mdb", "--tls"}, 2,
            "Opción desconocida: «--tls»" + servir);
        row("servir without the clubs", {"servir", "Expo.mdb", "--clubs", "no.mdb"}, 1,
            "No se encuentra el archivo de clubes «no.mdb»; indíquelo con --clubs.");
        row("servir a missing show", {"servir", "Nada.mdb", "--clubs", "Club.mdb"}, 1,
            "No se encuentra la exposición «Nada.mdb».");
        row("servir, a short key", {"servir", "Expo.mdb", "--clubs", "Club.mdb", "--clave", "1234567"}, 1,
            "La clave debe tener de 8 a 32 letras o cifras, sin acentos.");
    }
    void refusals()
    {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, err);
        const QStringList before = files();
        const CliResult result = run(args);
        QCOMPARE(result.err, filled(err));
        QCOMPARE(result.out, QString());
        QCOMPARE(result.exitCode, exitCode);
        QCOMPARE(files(), before);
        QVERIFY(!QFileInfo::exists(backups::folderOf(path("Expo.mdb"))));
    }

    // Each command runs its rule, says so in one line and writes what it says; those that only
    // read a show never write to it, not even the configuration a new show is given.
    void runs_data()
    {
        QTest::addColumn<QStringList>("args");    // on the show named first
        QTest::addColumn<QString>("out");         // "{copia}": the copy taken
        QTest::addColumn<QStringList>("written"); // new files, the backup copies aside
        QTest::addColumn<int>("copies");          // of the show as it was; -1: the copies cannot be made
        QTest::addColumn<QString>("stored");      // in the show, when it changes
        QTest::addColumn<QString>("err");
        const auto row = [](const char* name, const QStringList& args, const QString& out,
                            const QStringList& written, int copies = 0, const QString& stored = {},
                            const QString& err = {}) {
            QTest::newRow(name) << args << out + '\n' << written << copies << stored << err;
        };
        row("crear: club, a show's name outside the program folder", {"crear", "@", "club"}, "@/club.mdb",
            {"club.mdb"});
        row("recalcular", {"recalcular", "Expo.mdb"}, "2 jaulas recalculadas", {}, 0,
            "7,8 | 90,90 | S,S | jueces 1,2,3,1,2,3 | Línea de órdenes");
        row("estado", {"estado", "Expo.mdb", "8", "ausente"}, "Jaula 8: ausente", {}, 0,
            "7,8 | 0,0 | N,N | jueces 1,2,3,1,2,3 | 8 Ausente | Línea de órdenes");
        row("listados", {"listados", "Expo.mdb", "@", "--clubs", "Club.mdb"}, "8 documentos grabados",
            {"Grupo A Machos.txt", "Grupo C Hembras.txt", "Clasificación Por Provincia.txt",
             "sport DCategA.txt", "sport DCategB.txt", "sport DCategC.txt", "sport DCategD.txt",
             "sport DCategE.txt"});
        row("exportar-xlsx", {"exportar-xlsx", "Expo.mdb", "libro.xlsx", "--clubs", "Club.mdb"},
            "12 hojas grabadas", {"libro.xlsx"});
        row("hojas-jueces-xlsx: a new show's three judges", {"hojas-jueces-xlsx", "Nueva.mdb", "@"},
            "3 libros grabados", {"Juez 1.xlsx", "Juez 2.xlsx", "Juez 3.xlsx"});
        row("impreso: a page for each of a new show's judges",
            {"impreso", "hojas-jueces", "Nueva.mdb", "hojas.pdf", "--clubs", "Club.mdb"},
            "3 paginas grabadas", {"hojas.pdf"});
        const QString noteOfD = "1 paloma del grupo D sin categoría: complétela en Recepción\n";
        row("importar-recepcion", {"importar-recepcion", "Expo.mdb", "#/workbooks/censo-un-byte-malo.csv"},
            "4 Grabadas Palomas\n1 fila rechazada por datos no válidos\n" + noteOfD.chopped(1), {}, 1,
            "1,2,3,7,8,12 | 0,0,0,0,0,0 | N,N,N,N,N,N | jueces 1,2,3,1,2,3 | Importación censo-un-byte-malo.csv",
            "Fila 9: El valor «Se\uFFFDora Peñalver € ü» de «Propietario» lleva bytes que no se leen como "
            "letras (el archivo no es UTF-8 en esa fila): corríjalo y guarde el archivo en UTF-8.\n" +
                noteOfD);
        row("importar-puntuacion: --juez over B2, a new show's judges, no copy",
            {"importar-puntuacion", "Nueva.mdb", "juez.xls", "--juez", "3"}, "1 Jaulas Pasadas", {}, -1,
            "9 | 0 | N | jueces 3 | Importación juez.xls",
            "No se ha podido hacer la copia de seguridad antes de importar: No se puede crear la carpeta "
            "«@/Copias de seguridad».\n");
        row("copia", {"copia", "Expo.mdb"}, "Copia de seguridad guardada en «{copia}»", {}, 1);
        row("restaurar", {"restaurar", "Expo.mdb", "Nueva.mdb"},
            "Restaurada la copia «Nueva.mdb»: 1 jaulas y 0 puntuaciones; la exposición anterior está en "
            "«{copia}»",
            {}, 1, "9 | 0 | N | jueces  | Restauración");
    }
    void runs()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, out);
        QFETCH(QStringList, written);
        QFETCH(int, copies);
        QFETCH(QString, stored);
        QFETCH(QString, err);
        const QStringList shows = args.filter(".mdb");
        const QString show = shows.isEmpty() ? "Expo.mdb" : shows[0];
        const QString dump = failing_disk::dump(path(show));
        if (copies < 0)
            QVERIFY(QFile(backups::folderOf(path(show))).open(QIODevice::WriteOnly));
        QStringList before = files();
        const CliResult result = run(args);
        const auto taken = copies < 0 ? std::vector<backups::Copy>{} : backups::copiesOf(path(show));
        QCOMPARE(result.err, filled(err));
        QCOMPARE(result.out, filled(out).replace("{copia}", taken.empty() ? "" : taken[0].path));
        QCOMPARE(result.exitCode, 0);
        QStringList after = files();
        for (const QString& name : written + (stored.isEmpty() ? QStringList{} : QStringList{show})) {
            QVERIFY2(QFileInfo(path(name)).size() > 0, qPrintable(name));
            before.removeIf([&](const QString& file) { return file.startsWith(name + ' '); });
            after.removeIf([&](const QString& file) { return file.startsWith(name + ' '); });
        }
        QCOMPARE(after, before);
        if (!stored.isEmpty())
            QCOMPARE(this->stored(show), stored);
        QCOMPARE(int(taken.size()), std::max(copies, 0));
        for (const backups::Copy& copy : taken)
            QCOMPARE(failing_disk::dump(copy.path), dump);
    }

    // The history names the command line as the origin of what a command changed.
    void historyOfACommand()
    {
        QCOMPARE(run({"recalcular", "Expo.mdb"}).exitCode, 0);
        const CliResult result = run({"historial", "Expo.mdb", "--jaula", "7"});
        QCOMPARE(result.exitCode, 0);
        const QStringList lines = result.out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 6); // the bird and its three judges' rows, then what recalcular stored
        const QRegularExpression recomputed("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d  Línea de órdenes  "
                                            "jaula 7  (puntos: 0 -> 90|termina: N -> S)$");
        QVERIFY2(recomputed.match(lines[4]).hasMatch() && recomputed.match(lines[5]).hasMatch(),
                 qPrintable(lines.join('\n')));
    }

    // comprobar prints the rule's warnings and their count; exit 1 when there is any.
    void comprobar()
    {
        store::Database::create(path("Vacia.mdb"), store::schema::exhibition());
        for (const auto& [show, exitCode] : {std::pair{"Expo.mdb", 1}, {"Vacia.mdb", 0}}) {
            const CliResult result = run({"comprobar", "@/" + QString(show), "--clubs", "Club.mdb"});
            QStringList lines;
            for (const auto& warning : records::checkShow(store::Database::open(path(show), store::schema::exhibition()),
                                                          path("Club.mdb")))
                lines << warning.text;
            lines << records::warningsCount(lines.size()) << QString::number(exitCode);
            QCOMPARE(result.out + QString::number(result.exitCode), lines.join(u'\n'));
        }
    }

    // Closing, the seal and reopening; a closed show refuses the commands that would change it and
    // is still read. "{sello}": the show's seal, "{cambio}": its last change; "~" before the
    // arguments: the show is closed first.
    void closing_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("shown"); // standard output and error
        const QString no = "La exposición está cerrada\n";
        const auto row = [](const QStringList& args, int exitCode, const QString& shown) {
            QTest::newRow(qPrintable(args.join(' '))) << args << exitCode << shown;
        };
        row({"cerrar", "Expo.mdb", "--clubs", "Club.mdb"}, 1,
            "{avisos}La exposición no se ha cerrado: revise los avisos o ciérrela con --con-avisos.\n");
        row({"cerrar", "Expo.mdb", "--con-avisos"}, 0, "Exposición cerrada. Sello: {sello}\n");
        row({"sello", "Expo.mdb"}, 0, "{sello}\n");
        row({"~verificar", "Expo.mdb", " {sello-} "}, 0, "El sello coincide\n");
        row({"verificar", "Expo.mdb", "AAAA-AAAA-AAAA"}, 1, "El sello no coincide. Último cambio: {cambio}\n");
        row({"~reabrir", "Expo.mdb", "--motivo", "Jaula 7"}, 0, "Exposición reabierta\n");
        row({"~reabrir", "Expo.mdb"}, 1, records::reopenNeedsReason() + "\n");
        row({"~recalcular", "Expo.mdb"}, 1, no);
        row({"~importar-recepcion", "Expo.mdb", "#/workbooks/censo-un-byte-malo.csv"}, 1, no);
        row({"~listados", "Expo.mdb", "@", "--clubs", "Club.mdb"}, 0, "8 documentos grabados\n");
    }
    void closing()
    {
        QFETCH(QStringList, args);
        if (args[0].startsWith('~'))
            QCOMPARE(run({"cerrar", "Expo.mdb", "--con-avisos"}).exitCode, 0);
        args[0].remove('~');
        const auto show = [this] {
            return store::Database::open(path("Expo.mdb"), store::schema::exhibition(),
                                         store::Database::Access::ReadOnly);
        };
        args.replaceInStrings("{sello-}", records::seal(show()).toLower().remove('-'));
        QStringList avisos;
        for (const records::Warning& warning : records::checkShow(show(), path("Club.mdb")))
            avisos << warning.text;
        avisos << records::warningsCount(avisos.size()) << QString();
        const QByteArray bytes = fixtures::fingerprint(path("Expo.mdb"));
        const CliResult result = run(args);
        QFETCH(QString, shown);
        QCOMPARE(result.out + result.err, filled(shown)
                                              .replace("{avisos}", avisos.join('\n'))
                                              .replace("{sello}", records::seal(show()))
                                              .replace("{cambio}", records::lastChangeTime(show())));
        QTEST(result.exitCode, "exitCode");
        // Only a closing and a reopening change the show.
        QCOMPARE(fixtures::fingerprint(path("Expo.mdb")) != bytes,
                 result.exitCode == 0 && (args[0] == "cerrar" || args[0] == "reabrir"));
    }

    void servesUntilStopped_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGINT") << int(SIGINT);
    }
    // The show without configuration is served as the windows open it: with three judges.
    void servesUntilStopped()
    {
        QFETCH(int, signal);
        QProcess servir;
        servir.start(PALOMAS_CLI, {"servir", path("Nueva.mdb"), "--puerto", "0", "--clave", "abc12345",
                                   "--clubs", path("Club.mdb")});
        QTRY_VERIFY_WITH_TIMEOUT(servir.canReadLine(), 15000);
        const QString line = QString::fromUtf8(servir.readLine()).trimmed();
        const QRegularExpressionMatch serving =
            QRegularExpression("^Sirviendo en http://(\\S+):(\\d+)/ clave abc12345$").match(line);
        QVERIFY2(serving.hasMatch(), qPrintable(line));
        QCOMPARE(serving.captured(1), server::lanAddress());
        const quint16 port = quint16(serving.captured(2).toUInt());
        QNetworkAccessManager net;
        QCOMPARE(httptest::send(net, "GET", httptest::request(port, "/api/jaulas/9", "Bearer abc")).status,
                 401);
        QCOMPARE(httptest::send(net, "POST",
                                httptest::request(port, "/api/jaulas/9/puntuaciones", "Bearer ABC12345"),
                                R"({"juez":1,"puntos":[8,8,17,27,27]})")
                     .status,
                 201);

        ::kill(pid_t(servir.processId()), signal);
        QVERIFY(servir.waitForFinished(15000));
        QCOMPARE(servir.exitStatus(), QProcess::NormalExit);
        QCOMPARE(servir.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(servir.readAllStandardOutput()),
                 "1 clave equivocada en el último minuto\nServidor parado.\n");
        QVERIFY(!QFile::exists(path("Nueva.mdb-journal")));
        store::Database db = store::Database::open(path("Nueva.mdb"), store::schema::exhibition());
        store::Statement check = db.prepare("PRAGMA integrity_check");
        QVERIFY(check.step());
        QCOMPARE(check.text(0), "ok");
        QCOMPARE(stored("Nueva.mdb") + ' ' + fixtures::column(db, "select * from puntos", "puntost"),
                 "9 | 0 | N | jueces 1 | Teléfono juez 1 87");
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "test_cli.moc"
