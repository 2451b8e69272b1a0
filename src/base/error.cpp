#include "base/error.h"

namespace base
{

Error::Error(const QString& message, Kind kind, int sqliteCode)
    : std::runtime_error(message.toStdString()), m_message(message), m_kind(kind), m_sqliteCode(sqliteCode)
{
}

} // namespace base
