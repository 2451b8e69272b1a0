#include "store/schema.h"

namespace store
{

int TableDef::fieldIndex(const QString& fieldName) const
{
    for (std::size_t i = 0; i < fields.size(); ++i)
        if (fields[i].name.compare(fieldName, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    return -1;
}

const TableDef* Schema::table(const QString& name) const
{
    for (const TableDef& t : tables)
        if (t.name.compare(name, Qt::CaseInsensitive) == 0)
            return &t;
    return nullptr;
}

namespace schema
{

namespace
{

using T = FieldType;

Schema makeExhibition()
{
    Schema s;
    s.tables = {
        {QStringLiteral("Config"),
         {{QStringLiteral("Nombre"), T::Text, 50},
          {QStringLiteral("fecha"), T::Date},
          {QStringLiteral("Jueces"), T::Long},
          {QStringLiteral("Dibujo"), T::Text, 50},
          {QStringLiteral("Region"), T::Text, 50},
          {QStringLiteral("media"), T::Boolean},
          {QStringLiteral("quitar"), T::Boolean},
          {QStringLiteral("juez"), T::Memo}}},
        {QStringLiteral("Puntos"),
         {{QStringLiteral("jaula"), T::Text, 3},
          {QStringLiteral("puntos1"), T::Double},
          {QStringLiteral("puntos2"), T::Double},
          {QStringLiteral("puntos3"), T::Double},
          {QStringLiteral("puntos4"), T::Double},
          {QStringLiteral("puntos5"), T::Double},
          {QStringLiteral("juez"), T::Long},
          {QStringLiteral("puntost"), T::Double},
          {QStringLiteral("sexo"), T::Text, 1},
          {QStringLiteral("grupo"), T::Text, 1},
          {QStringLiteral("categ"), T::Text, 1}}},
        {QStringLiteral("Recepcion"),
         {{QStringLiteral("jaula"), T::Long},
          {QStringLiteral("anilla"), T::Text, 7},
          {QStringLiteral("año"), T::Text, 4},
          {QStringLiteral("sexo"), T::Text, 1},
          {QStringLiteral("licencia"), T::Text, 5},
          {QStringLiteral("club"), T::Text, 4},
          {QStringLiteral("nombre"), T::Text, 50},
          {QStringLiteral("color"), T::Text, 20},
          {QStringLiteral("grupo"), T::Text, 2},
          {QStringLiteral("categ"), T::Text, 1},
          {QStringLiteral("puntos"), T::Double},
          {QStringLiteral("termina"), T::Text, 1},
          {QStringLiteral("conc"), T::Long},
          {QStringLiteral("km"), T::Long},
          {QStringLiteral("coef"), T::Double}}},
        {QStringLiteral("lclub"),
         {{QStringLiteral("puntos"), T::Double},
          {QStringLiteral("grupo"), T::Text, 1},
          {QStringLiteral("categoria"), T::Text, 1},
          {QStringLiteral("club"), T::Text, 4},
          {QStringLiteral("nclub"), T::Text, 50},
          {QStringLiteral("provincia"), T::Text, 25}}},
        {QStringLiteral("lclub1"),
         {{QStringLiteral("provincia"), T::Text, 25}, {QStringLiteral("puntos"), T::Double}}},
    };
    // A cage's score rows and its reception row are looked up by cage number all the time.
    s.indexes = {
        QStringLiteral("CREATE INDEX IF NOT EXISTS \"ix_Puntos_jaula\" ON \"Puntos\" (\"jaula\")"),
        QStringLiteral("CREATE INDEX IF NOT EXISTS \"ix_Recepcion_jaula\" ON \"Recepcion\" (\"jaula\")"),
    };
    s.records = true;
    return s;
}

Schema makeClubs()
{
    Schema s;
    s.tables = {{QStringLiteral("club"),
                 {{QStringLiteral("Nombre"), T::Text, 50},
                  {QStringLiteral("Codigo"), T::Text, 4},
                  {QStringLiteral("Provincia"), T::Text, 25}}}};
    return s;
}

} // namespace

const Schema& exhibition()
{
    static const Schema s = makeExhibition();
    return s;
}

const Schema& clubs()
{
    static const Schema s = makeClubs();
    return s;
}

} // namespace schema

} // namespace store
