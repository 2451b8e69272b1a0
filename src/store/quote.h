#pragma once

#include <QString>

namespace store
{

// The one way a value enters the text of a query or a condition: as a string literal between
// single quotes, with every quote inside doubled. quote("O'Brien") gives 'O''Brien'.
QString quote(const QString& value);

// For a whole number, the same literal of its digits: quote(12) gives '12'.
QString quote(qint64 value);

} // namespace store
