// Any text as a query of the windows' language, run as the windows run theirs: as a whole query
// ("select * from recepcion where ... order by ...") opened as a result and read to its end, and
// as a condition searched with findFirst in the birds, the scores and the province tables of a
// real exhibition that holds a few rows. A text the store cannot run must end in a store::Error
// with its message; a crash, a hang or a sanitizer report is a fault.

#include "store/database.h"
#include "store/error.h"

#include <QString>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

namespace
{

std::unique_ptr<store::Database> exhibition;

void runQuery(const QString& text)
{
    try {
        store::Recordset rs = exhibition->openRecordset(text);
        for (rs.moveFirst(); !rs.eof(); rs.moveNext())
            for (const store::FieldDef& field : rs.table()->fields)
                rs.value(field.name);
    } catch (const store::Error& e) {
        if (e.message().isEmpty())
            __builtin_trap(); // every refusal tells the user why
    }
}

void runCondition(const QString& table, const QString& text)
{
    try {
        store::Recordset rs = exhibition->openRecordset(QStringLiteral("select * from ") + table);
        rs.findFirst(text);
    } catch (const store::Error& e) {
        if (e.message().isEmpty())
            __builtin_trap();
    }
}

void addRows(store::Database& db)
{
    // Values that meet the translator's special cases: numbers as text, blanks, accents, capitals,
    // NULLs and the wildcard characters of "like".
    db.execute(QStringLiteral(
        "INSERT INTO Recepcion (jaula, anilla, \"año\", sexo, club, nombre, grupo, categ, puntos, termina, "
        "conc, km, coef) VALUES "
        "(7, '0012345', '2005', 'M', '12', 'José Muñoz', 'A', ' ', 89.36, 'S', 0, 0, 0), "
        "(12, ' 12', '05', 'h', NULL, 'ÁNGEL [*?#]', 'd', 'B', 0, 'N', 12, 450, 1.5), "
        "(999, NULL, NULL, NULL, '-3', '', 'C', NULL, NULL, NULL, NULL, NULL, NULL)"));
    db.execute(QStringLiteral("INSERT INTO Puntos (jaula, puntos1, puntos2, puntos3, puntos4, puntos5, juez, "
                              "puntost, grupo, categ) "
                              "VALUES ('7', 8.5, 9, 18.25, 28, 27.75, 1, 91.5, 'A', ' '), ('07', 8, 8, 17, "
                              "27, 27, 2, 87, 'A', ' '), "
                              "('x', NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL)"));
    db.execute(QStringLiteral("INSERT INTO lclub (puntos, grupo, categoria, club, provincia) VALUES "
                              "(5, 'A', ' ', '12', 'Ávila'), (1, 'D', 'B', NULL, ' ')"));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    const std::string path =
        (std::filesystem::temp_directory_path() / ("palomas-fuzz-" + std::to_string(getpid()) + ".mdb"))
            .string();
    std::filesystem::remove(path);
    exhibition = std::make_unique<store::Database>(
        store::Database::create(QString::fromStdString(path), store::schema::exhibition()));
    addRows(*exhibition);
    // Read only from here on; the file is gone when the process ends.
    std::filesystem::remove(path);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    runQuery(text);
    for (const char* table : {"Recepcion", "Puntos", "lclub"})
        runCondition(QString::fromLatin1(table), text);
    return 0;
}
