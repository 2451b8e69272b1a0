#include "store/error.h"

namespace store
{

Error::Error(const QString& message, Kind kind)
    : std::runtime_error(message.toStdString()), m_message(message), m_kind(kind)
{
}

} // namespace store
