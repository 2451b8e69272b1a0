#pragma once

// For the passes that promise "all or nothing": the pass is run once on a copy of a file to
// count its writes, then once more for every one of those writes, each time on a fresh copy and
// with that write failing as a full disk would fail it. Each failed run must tell the user (a
// base::Error, or the message the window showed) and leave every table of the file exactly as
// it was.
//
//   const faults::Outcome outcome = faults::failEachWrite(path, store::schema::exhibition(),
//       [](const QString& copy) { reception::deleteCage(open(copy), 7); return QString(); });
//   QCOMPARE(outcome.problems, QStringList());
//   QCOMPARE(outcome.writes, 2);

#include "store/database.h"
#include "store/error.h"
#include "store/write_fault.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>

namespace faults
{

// Every table and index of the file (sqlite_master), and every row of every table with its rowid
// and each value with its type, as SQLite's quote() writes them: two files with the same dump
// hold the same data.
inline QString dump(const QString& path, const store::Schema& schema)
{
    const store::Database db = store::Database::open(path, schema);
    QStringList lines;
    store::Statement objects =
        db.prepare(QStringLiteral("SELECT type, name, sql FROM sqlite_master ORDER BY type, name"));
    while (objects.step())
        lines << objects.text(0) + u' ' + objects.text(1) + u' ' + objects.text(2);
    for (const store::TableDef& table : schema.tables) {
        QStringList columns{QStringLiteral("quote(rowid)")};
        for (const store::FieldDef& field : table.fields)
            columns << QStringLiteral("quote(\"%1\")").arg(field.name);
        store::Statement rows = db.prepare(QStringLiteral("SELECT %1 FROM \"%2\" ORDER BY rowid")
                                               .arg(columns.join(QStringLiteral(", ")), table.name));
        while (rows.step()) {
            QStringList values;
            for (int i = 0; i < rows.columnCount(); ++i)
                values << rows.text(i);
            lines << table.name + u':' + values.join(u'|');
        }
    }
    return lines.join(u'\n');
}

struct Outcome {
    int writes = 0;       // the writes of the pass when nothing fails
    QStringList problems; // one line for each failed run that broke the promise
};

// The pass: given the path of a copy of the file, runs on it and returns the message the user
// was shown, if any ("" when it showed none). A base::Error it lets through counts as told.
using Pass = std::function<QString(const QString& path)>;

inline Outcome failEachWrite(const QString& original, const store::Schema& schema, const Pass& pass)
{
    Outcome outcome;
    QTemporaryDir dir;
    // The copy keeps the file's name, so that the store's messages name the same file.
    const QString copy = QDir(dir.path()).filePath(QFileInfo(original).fileName());
    auto freshCopy = [&] {
        QFile::remove(copy);
        return QFile::copy(original, copy);
    };
    auto run = [&]() -> QString {
        try {
            return pass(copy);
        } catch (const base::Error& e) {
            return e.message();
        }
    };
    const QString before = dump(original, schema);

    if (!freshCopy())
        return {0, {QStringLiteral("no se puede copiar %1").arg(original)}};
    {
        store::WriteFault counter(1 << 30); // counts, never fires
        const QString shown = run();
        outcome.writes = counter.writesSeen();
        if (!shown.isEmpty())
            outcome.problems << QStringLiteral("sin fallo forzado: «%1»").arg(shown);
    }
    if (dump(copy, schema) == before)
        outcome.problems << QStringLiteral("sin fallo forzado, la pasada no cambia nada");

    // What the store says when a write of this file fails for a full disk.
    QString diskFull;
    {
        const store::Database db = store::Database::open(copy, schema);
        store::WriteFault fault(1);
        try {
            db.execute(QStringLiteral("CREATE TABLE palomas_probe (x)"));
        } catch (const base::Error& e) {
            diskFull = e.message();
        }
    }

    for (int nth = 1; nth <= outcome.writes; ++nth) {
        if (!freshCopy())
            return {outcome.writes,
                    outcome.problems << QStringLiteral("no se puede copiar %1").arg(original)};
        QString shown;
        bool fired = false;
        {
            store::WriteFault fault(nth);
            shown = run();
            fired = fault.fired();
        }
        if (!fired)
            outcome.problems << QStringLiteral("escritura %1: el fallo no llegó a producirse").arg(nth);
        else if (shown != diskFull)
            outcome.problems << QStringLiteral("escritura %1: se dijo «%2» en lugar de «%3»")
                                    .arg(nth)
                                    .arg(shown, diskFull);
        if (dump(copy, schema) != before)
            outcome.problems << QStringLiteral("escritura %1: el archivo quedó a medias").arg(nth);
    }
    return outcome;
}

} // namespace faults
