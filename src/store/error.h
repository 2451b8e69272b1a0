#pragma once

#include <QString>
#include <stdexcept>

namespace store
{

// Every failure of the store: a value a field cannot hold, a file that is not an exhibition, a
// query the store does not understand, a disk that refuses a write. The message is a complete
// Spanish sentence that can be shown to the user as it stands.
class Error : public std::runtime_error
{
public:
    explicit Error(const QString& message);
    const QString& message() const noexcept { return m_message; }

private:
    QString m_message;
};

} // namespace store
