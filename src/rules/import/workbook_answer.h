#pragma once

// The decoding of the answer of palomas-lector (src/lector/protocol.h). The answer comes from a
// process that has just read an untrusted file: every count, size, position and text is checked
// before a cell is kept, and anything out of place rejects the answer whole.

#include "rules/import/cell.h"

#include <QByteArrayView>
#include <QString>
#include <array>
#include <optional>
#include <stdexcept>
#include <utility>
#include <vector>

namespace imports
{

// A sheet and its cells, sorted by row, then column.
struct SheetCells {
    QString name;
    int rows = 0;
    int columns = 0;
    std::vector<std::pair<quint64, Cell>> cells; // keyed by cellKey()

    static quint64 cellKey(int row, int column) { return (quint64(row) << 16) | quint64(column); }
};

// Why the reader could not read the workbook.
struct ReaderRefusal {
    enum class Kind { Format, Password, Dimensions, Size, Text, Damaged, Rows, Separators, Empty };
    Kind kind = Kind::Damaged;
    QString sheet;                       // Dimensions, Text, Rows
    std::array<quint64, 3> numbers = {}; // Dimensions: rows, columns; Size: cells;
                                         // Text: row, column, length; Rows: the row beyond;
                                         // Separators: the row
};

struct ReaderAnswer {
    std::vector<SheetCells> sheets;
    std::optional<ReaderRefusal> refusal;
};

// An answer that is not one: garbage, cut short, beyond the limits, or from a reader of another
// version. The text is for developers; the user is told the workbook cannot be read.
class AnswerError : public std::runtime_error
{
public:
    explicit AnswerError(const char* what, bool otherVersion = false)
        : std::runtime_error(what), m_otherVersion(otherVersion)
    {
    }
    bool otherVersion() const noexcept { return m_otherVersion; }

private:
    bool m_otherVersion;
};

// Raises AnswerError unless the bytes are exactly one complete answer within the limits.
ReaderAnswer decodeAnswer(QByteArrayView bytes);

} // namespace imports
