#pragma once

#include <QString>
#include <vector>

namespace store
{

// The store's field types, as the data model names them.
enum class FieldType {
    Text,   // at most size characters
    Long,   // 32-bit signed whole number
    Double, // 64-bit float
    Date,
    Boolean,
    Memo, // long text
};

struct FieldDef {
    QString name;
    FieldType type;
    int size = 0; // characters for Text; ignored for the other types
};

struct TableDef {
    QString name;
    std::vector<FieldDef> fields;

    // The index of a field, its name matched without regard to case; -1 when there is none.
    int fieldIndex(const QString& fieldName) const;
};

} // namespace store
