#pragma once

// The soak's journal of acknowledged operations, kept outside the database: what the exhibition
// must hold after any crash. Each operation is written as an intent before it runs ("I") and
// acknowledged after its transaction committed ("A"). After a crash the parent settles the one
// intent left open, if any: done ("R") when the file holds it, abandoned ("X") when not.
//
// The journal is a text file appended line by line; a line reaches the system when it is
// written, so a killed process loses none of the lines it wrote.

#include <QFile>
#include <QString>
#include <QStringList>
#include <map>
#include <optional>
#include <vector>

namespace store
{
class Database;
}

namespace soak
{

struct Bird {
    QString anilla, nombre, grupo, sexo;
    bool operator==(const Bird&) const = default;
};

// What the exhibition holds, as far as the soak checks it: the birds by cage and the judges'
// totals by cage and judge.
struct Model {
    std::map<int, Bird> birds;
    std::map<std::pair<int, int>, double> scores;
    bool operator==(const Model&) const = default;

    // Reads it from the file.
    static Model read(store::Database& db);
    // A sentence on the first difference, for the report.
    QString difference(const Model& other) const;
};

// One operation that changes the model: its kind and its fields, as journaled.
struct Operation {
    qint64 seq = 0;
    QStringList fields; // kind first: RECV, MOD, DEL, SCORE, IMPR, IMPS
    void applyTo(Model& model) const;
};

class Journal
{
public:
    explicit Journal(const QString& path);

    // The model after every acknowledged or settled operation, and the intent left open.
    struct State {
        Model model;
        std::optional<Operation> open;
        qint64 lastSeq = 0;
        int acknowledged = 0;
        int settledDone = 0;
        int abandoned = 0;
    };
    State read() const;

    void intent(const Operation& operation);
    void acknowledge(qint64 seq);
    void settle(qint64 seq, bool done);

private:
    void append(const QString& line);

    QString m_path;
};

} // namespace soak
