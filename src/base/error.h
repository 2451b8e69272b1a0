#pragma once

// The one error of the program. Every failure the user is told about is one of these or of a
// kind derived from it (the store's, a document's, a workbook's, a refused entry), so one
// handler, guarded() in the windows and main() in palomas-cli, shows any of them. The message
// is a complete Spanish sentence that can be shown as it stands.

#include <QString>
#include <stdexcept>

namespace base
{

class Error : public std::runtime_error
{
public:
    // What failed. A pass may skip a row whose own values the file refuses (Data) and go on; when
    // a file itself cannot be written, read or locked (Storage), nothing of the pass may be
    // kept, since SQLite may already have undone part of it.
    enum class Kind { Data, Storage };

    explicit Error(const QString& message, Kind kind = Kind::Data, int sqliteCode = 0);

    const QString& message() const noexcept { return m_message; }
    Kind kind() const noexcept { return m_kind; }
    bool isStorage() const noexcept { return m_kind == Kind::Storage; }
    // The SQLite result code (extended) behind a store failure; 0 when SQLite did not fail.
    int sqliteCode() const noexcept { return m_sqliteCode; }

private:
    QString m_message;
    Kind m_kind;
    int m_sqliteCode;
};

// What the user typed, chose or named is refused: an empty name, a judge out of range, a
// category that does not exist. Nothing was written.
class ValidationError : public Error
{
public:
    explicit ValidationError(const QString& message) : Error(message) {}
};

} // namespace base
