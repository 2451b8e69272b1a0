#include "rules/import/cell.h"

#include "base/formats.h"

#include <cmath>

namespace imports
{

bool Cell::isBlank() const
{
    return kind == Kind::Empty || (kind == Kind::Text && text.trimmed().isEmpty());
}

QString Cell::toText() const
{
    switch (kind) {
    case Kind::Empty:
        return {};
    case Kind::Text:
        return text;
    case Kind::Number:
        // Doubles hold every whole number up to 2^53 exactly; below that, print the digits.
        if (std::isfinite(number) && number == std::floor(number) && std::fabs(number) < 9.0e15)
            return QString::number(static_cast<qint64>(number));
        return formats::plainNumber(number);
    }
    return {};
}

std::optional<double> Cell::toNumber() const
{
    switch (kind) {
    case Kind::Empty:
        return std::nullopt;
    case Kind::Number:
        return number;
    case Kind::Text:
        return formats::parseNumber(text);
    }
    return std::nullopt;
}

} // namespace imports
