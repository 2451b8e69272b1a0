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
    // What failed. A pass may skip a row whose own values the file refuses (Data) and go on; when
    // the file itself cannot be written, read or locked (Storage), nothing of the pass may be
    // kept, since SQLite may already have undone part of it.
    enum class Kind { Data, Storage };

    explicit Error(const QString& message, Kind kind = Kind::Data);
    const QString& message() const noexcept { return m_message; }
    Kind kind() const noexcept { return m_kind; }
    bool isStorage() const noexcept { return m_kind == Kind::Storage; }

private:
    QString m_message;
    Kind m_kind;
};

} // namespace store
