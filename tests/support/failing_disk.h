#pragma once

// Disks that fail for real, for the tests of passes that promise to keep all or nothing: a tiny
// tmpfs that fills up, and a folder in which nothing can be created. Root ignores file modes, so
// these use a mount and the immutable attribute; where the machine cannot provide them (not root,
// no tmpfs, a file system without attributes) the test is skipped with the reason. And the whole
// content of an exhibition, to compare a file before and after a failed pass.

#include "store/database.h"

#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>

namespace failing_disk
{

// Runs the program; false, with what went wrong in *error, unless it ends well.
inline bool run(const QString& program, const QStringList& args, QString* error = nullptr)
{
    QProcess process;
    process.start(program, args);
    const bool ran = process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit &&
                     process.exitCode() == 0;
    if (!ran && error != nullptr)
        *error =
            program + u' ' + args.join(u' ') + ": " + QString::fromLocal8Bit(process.readAllStandardError());
    return ran;
}

// A tmpfs of the given size on a fresh folder, unmounted when it goes.
class SmallDisk
{
public:
    explicit SmallDisk(qint64 bytes)
        : m_mounted(run("mount", {"-t", "tmpfs", "-o", QString("size=%1").arg(bytes), "tmpfs", m_dir.path()},
                        &m_why))
    {
    }
    ~SmallDisk()
    {
        if (m_mounted)
            run("umount", {"-l", m_dir.path()});
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool mounted() const { return m_mounted; }
    QString why() const { return "No se puede montar un disco pequeño: " + m_why; }
    QString filePath(const QString& name) const { return m_dir.filePath(name); }
    // The whole disk becomes read-only, as a stick whose switch is moved.
    bool remountReadOnly() { return run("mount", {"-o", "remount,ro", m_dir.path()}, &m_why); }

    // Fills the disk with a file of zeros, leaving about the given bytes free.
    void fillLeaving(qint64 free)
    {
        QFile filler(filePath("relleno"));
        const QByteArray block(4096, '\0');
        if (filler.open(QIODevice::WriteOnly))
            while (filler.write(block) == block.size() && filler.flush()) {
            }
        filler.close();
        filler.resize(std::max<qint64>(0, filler.size() - free));
    }

private:
    QTemporaryDir m_dir;
    QString m_why;
    bool m_mounted;
};

// A folder (or file) marked immutable: nothing can be created, renamed or removed in it, not even
// by root, while the files already in it can still be written. Unmarked when it goes.
class LockedFolder
{
public:
    explicit LockedFolder(const QString& folder)
        : m_folder(folder), m_locked(run("chattr", {"+i", folder}, &m_why))
    {
    }
    ~LockedFolder()
    {
        if (m_locked)
            run("chattr", {"-i", m_folder});
    }
    LockedFolder(const LockedFolder&) = delete;
    LockedFolder& operator=(const LockedFolder&) = delete;

    bool locked() const { return m_locked; }
    QString why() const { return "No se puede proteger la carpeta: " + m_why; }

private:
    QString m_folder;
    QString m_why;
    bool m_locked;
};

// Every row of every table of an exhibition, in store order, each value with its type as SQLite's
// quote() writes it: two files with the same dump hold the same data.
inline QString dump(const QString& path)
{
    store::Database db =
        store::Database::open(path, store::schema::exhibition(), store::Database::Access::ReadOnly);
    QStringList lines;
    for (const store::TableDef& table : db.schema().tables) {
        QStringList columns{"quote(rowid)"};
        for (const store::FieldDef& field : table.fields)
            columns << QString("quote(\"%1\")").arg(field.name);
        store::Statement rows =
            db.prepare(QString("SELECT %1 FROM \"%2\" ORDER BY rowid").arg(columns.join(", "), table.name));
        while (rows.step()) {
            QStringList values{table.name};
            for (int i = 0; i < rows.columnCount(); ++i)
                values << rows.text(i);
            lines << values.join(u'|');
        }
    }
    return lines.join(u'\n');
}

} // namespace failing_disk
