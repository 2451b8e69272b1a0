#include "rules/reception/bird_entry.h"

#include "base/formats.h"
#include "base/kept_values.h"
#include "base/shown_value.h"
#include "rules/backups/keeper.h"
#include "rules/reception/cage_number.h"
#include "rules/records/closed_state.h"
#include "store/database.h"
#include "store/error.h"
#include "store/quote.h"

#include <cmath>

namespace reception
{

namespace
{

struct TextBox {
    EntryField field;
    const char* label;  // as the window shows it
    const char* column; // the Recepcion field it is stored in
    QString BirdEntry::*text;
};

// The text boxes stored as typed, in the order of the frame.
const TextBox textBoxes[] = {
    {EntryField::Anilla, "Anilla", "anilla", &BirdEntry::anilla},
    {EntryField::Anio, "Año", "año", &BirdEntry::anio},
    {EntryField::Color, "Color", "color", &BirdEntry::color},
    {EntryField::Licencia, "Licencia", "licencia", &BirdEntry::licencia},
    {EntryField::Nombre, "Propietario", "nombre", &BirdEntry::nombre},
    {EntryField::Club, "Club", "club", &BirdEntry::club},
    {EntryField::Grupo, "Grupo", "grupo", &BirdEntry::grupo},
};

int fieldSize(const char* column)
{
    const store::TableDef* recepcion = store::schema::exhibition().table(QStringLiteral("Recepcion"));
    return recepcion->fields[std::size_t(recepcion->fieldIndex(QString::fromUtf8(column)))].size;
}

std::optional<EntryProblem> tooLong(EntryField field, const char* label, const char* column,
                                    const QString& text)
{
    const int size = fieldSize(column);
    if (text.size() <= size)
        return std::nullopt;
    return EntryProblem{
        field, QStringLiteral("El campo «%1» admite como máximo %2, y «%3» tiene %4.")
                   .arg(QString::fromUtf8(label),
                        size == 1 ? QStringLiteral("1 carácter") : QStringLiteral("%1 caracteres").arg(size),
                        formats::shownValue(text))
                   .arg(text.size())};
}

// The leading number of a box, as a whole number: "12x" gives 12, an empty box 0.
std::optional<int> wholeLeadingNumber(const QString& text)
{
    const double value = std::nearbyint(formats::leadingNumber(text));
    if (!(value >= -2147483648.0 && value <= 2147483647.0))
        return std::nullopt;
    return int(value);
}

// The category a group D bird is stored with: one letter from A to E in capitals, also typed in
// small letters or as the digits 1 to 5. Nothing for any other text: a bird of another category
// would appear in no listing.
std::optional<QString> groupDCategory(const QString& typed)
{
    const QString category = categoryFromDigit(typed).toUpper();
    if (category.size() != 1 || category[0] < u'A' || category[0] > u'E')
        return std::nullopt;
    return category;
}

std::optional<EntryProblem> categoryProblem(const QString& typed)
{
    if (groupDCategory(typed))
        return std::nullopt;
    if (typed.trimmed().isEmpty())
        return EntryProblem{EntryField::Categ,
                            QStringLiteral("El campo «Categoria» es obligatorio en el grupo D: escriba una "
                                           "categoría de la A a la E (o de 1 a 5).")};
    return EntryProblem{
        EntryField::Categ,
        QStringLiteral("El campo «Categoria» admite solo las categorías de la A a la E (o de 1 "
                       "a 5), y «%1» no es ninguna de ellas.")
            .arg(formats::shownValue(typed))};
}

std::optional<double> coefficient(const QString& text)
{
    if (text.trimmed().isEmpty())
        return 0.0;
    return formats::parseNumber(text);
}

} // namespace

bool isGroupD(const QString& grupo)
{
    return grupo.toUpper() == u"D";
}

QString categoryFromDigit(const QString& text)
{
    if (text.size() == 1 && text[0] >= u'1' && text[0] <= u'5')
        return QString(QChar(u'A' + (text[0].unicode() - u'1')));
    return text;
}

std::optional<EntryProblem> check(const BirdEntry& entry)
{
    if (!parseCage(entry.jaula))
        return EntryProblem{EntryField::Jaula, invalidCageMessage(entry.jaula)};
    for (const TextBox& box : textBoxes) {
        const QString text = box.field == EntryField::Grupo ? entry.grupo.toUpper() : entry.*box.text;
        if (const QString refusal = values::textRefusal(QString::fromUtf8(box.label), text);
            !refusal.isEmpty())
            return EntryProblem{box.field, refusal};
        if (auto problem = tooLong(box.field, box.label, box.column, text))
            return problem;
    }
    if (!isGroupD(entry.grupo))
        return std::nullopt;
    if (auto problem = categoryProblem(entry.categ))
        return problem;
    if (!wholeLeadingNumber(entry.conc))
        return EntryProblem{EntryField::Conc,
                            QStringLiteral("El campo «Conc» es un número demasiado grande: «%1».")
                                .arg(formats::shownValue(entry.conc))};
    if (!wholeLeadingNumber(entry.km))
        return EntryProblem{EntryField::Km,
                            QStringLiteral("El campo «Km» es un número demasiado grande: «%1».")
                                .arg(formats::shownValue(entry.km))};
    if (!coefficient(entry.coef))
        return EntryProblem{EntryField::Coef,
                            QStringLiteral("El campo «Coef» solo admite números, como 12,5, y «%1» no lo es.")
                                .arg(formats::shownValue(entry.coef))};
    return std::nullopt;
}

BirdRecord toRecord(const BirdEntry& entry)
{
    if (const auto problem = check(entry))
        throw base::ValidationError(problem->message);
    BirdRecord bird;
    bird.jaula = *parseCage(entry.jaula);
    bird.anilla = entry.anilla;
    bird.anio = entry.anio;
    bird.sexo = entry.sexo.left(1);
    bird.color = entry.color;
    bird.licencia = entry.licencia;
    bird.nombre = entry.nombre;
    bird.club = entry.club;
    bird.grupo = entry.grupo.toUpper();
    if (isGroupD(entry.grupo)) {
        bird.categ = *groupDCategory(entry.categ);
        bird.conc = *wholeLeadingNumber(entry.conc);
        bird.km = *wholeLeadingNumber(entry.km);
        bird.coef = *coefficient(entry.coef);
    } else {
        bird.categ = QStringLiteral(" ");
    }
    return bird;
}

namespace
{

store::Recordset cageRecords(const store::Database& db, int cage)
{
    return db.openRecordset(QStringLiteral("select * from recepcion where cstr(jaula) = ") +
                            store::quote(cage));
}

} // namespace

store::Recordset birdRecord(const store::Database& db, const BirdRow& bird)
{
    store::Recordset rs = cageRecords(db, bird.jaula);
    for (rs.moveFirst(); !rs.eof(); rs.moveNext())
        if (bird.row == 0 || rs.rowid() == bird.row)
            return rs;
    return {};
}

void storeBird(store::Database& db, const BirdRecord& bird, EntryMode mode, qint64 row)
{
    store::Transaction transaction(db);
    store::Recordset rs =
        mode == EntryMode::NewCage ? cageRecords(db, bird.jaula) : birdRecord(db, {bird.jaula, row});
    if (mode == EntryMode::NewCage) {
        if (rs.recordCount() > 0)
            throw base::ValidationError(QStringLiteral("Jaula Existente"));
        rs.addNew();
        rs.setValue(QStringLiteral("puntos"), 0.0);
        rs.setValue(QStringLiteral("termina"), QStringLiteral("N"));
    } else {
        if (rs.recordCount() == 0)
            throw base::Error(
                QStringLiteral("La jaula %1 ya no existe: no se ha guardado nada.").arg(bird.jaula));
        rs.edit();
    }
    rs.setValue(QStringLiteral("jaula"), bird.jaula);
    rs.setValue(QStringLiteral("anilla"), bird.anilla);
    rs.setValue(QStringLiteral("año"), bird.anio);
    rs.setValue(QStringLiteral("sexo"), bird.sexo);
    rs.setValue(QStringLiteral("color"), bird.color);
    rs.setValue(QStringLiteral("licencia"), bird.licencia);
    rs.setValue(QStringLiteral("nombre"), bird.nombre);
    rs.setValue(QStringLiteral("club"), bird.club);
    rs.setValue(QStringLiteral("grupo"), bird.grupo);
    rs.setValue(QStringLiteral("categ"), bird.categ);
    rs.setValue(QStringLiteral("conc"), bird.conc);
    rs.setValue(QStringLiteral("km"), bird.km);
    rs.setValue(QStringLiteral("coef"), bird.coef);
    rs.update();
    transaction.commit();
}

bool cageExists(const store::Database& db, int cage)
{
    store::Statement found = db.query(QStringLiteral("SELECT 1 FROM Recepcion WHERE jaula = ? LIMIT 1"));
    found.bind(1, qint64(cage));
    return found.step();
}

std::vector<int> receivedCages(const store::Database& db)
{
    std::vector<int> cages;
    store::Statement all = db.query(QStringLiteral("SELECT jaula FROM Recepcion"));
    while (all.step())
        cages.push_back(all.isNull(0) ? 0 : int(all.int64(0)));
    return cages;
}

bool deleteBird(store::Database& db, backups::Keeper& keeper, const BirdRow& bird)
{
    // A closed show would refuse the deletion after its copy was taken: no copy for nothing.
    records::refuseIfClosed(db);
    keeper.take(db, backups::Occasion::BeforeDelete);
    store::Transaction transaction(db);
    const store::Recordset found = birdRecord(db, bird);
    if (found.recordCount() == 0)
        return false;
    store::Statement remove = db.prepare(QStringLiteral("DELETE FROM Recepcion WHERE rowid = ?"));
    remove.bind(1, found.rowid());
    remove.run();
    if (!cageExists(db, bird.jaula)) {
        // Score rows name their cage as text: "7" is cage 7, as every lookup of the program reads it.
        store::Statement scores = db.prepare(QStringLiteral("DELETE FROM Puntos WHERE jaula = ?"));
        scores.bind(1, QString::number(bird.jaula));
        scores.run();
        // A status goes with the cage's last bird, not to the next bird received in that cage.
        store::Statement statuses = db.prepare(QStringLiteral("DELETE FROM Estado WHERE jaula = ?"));
        statuses.bind(1, qint64(bird.jaula));
        statuses.run();
    }
    transaction.commit();
    return true;
}

void deleteAllCages(store::Database& db, backups::Keeper& keeper)
{
    records::refuseIfClosed(db);
    keeper.take(db, backups::Occasion::BeforeDeleteAll);
    store::Transaction transaction(db);
    db.execute(QStringLiteral("DELETE FROM Recepcion"));
    db.execute(QStringLiteral("DELETE FROM Puntos"));
    db.execute(QStringLiteral("DELETE FROM Estado"));
    transaction.commit();
}

} // namespace reception
