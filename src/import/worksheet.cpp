#include "import/worksheet.h"

#include "shell/formats.h"

#include <QFile>
#include <QFileInfo>
#include <cmath>
#include <freexl.h>

namespace imports
{

WorkbookError::WorkbookError(const QString& message)
    : std::runtime_error(message.toStdString()), m_message(message)
{
}

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

void Worksheet::Closer::operator()(const void* handle) const
{
    freexl_close(handle);
}

Worksheet::Worksheet(std::unique_ptr<const void, Closer> handle, unsigned rows, unsigned columns)
    : m_handle(std::move(handle)), m_rows(rows), m_columns(columns)
{
}

Worksheet::Worksheet(Worksheet&&) noexcept = default;
Worksheet& Worksheet::operator=(Worksheet&&) noexcept = default;
Worksheet::~Worksheet() = default;

Worksheet Worksheet::open(const QString& path, const QString& sheetName)
{
    const QString name = QFileInfo(path).fileName();
    if (path.trimmed().isEmpty())
        throw WorkbookError(QStringLiteral("No se ha elegido ningún libro de Excel (.xls)."));
    const QFileInfo info(path);
    if (!info.exists())
        throw WorkbookError(QStringLiteral("No se encuentra el archivo «%1».").arg(path));
    if (!info.isFile())
        throw WorkbookError(
            QStringLiteral("«%1» no es un archivo, y no se puede leer como libro de Excel.").arg(path));
    {
        QFile probe(path);
        if (!probe.open(QIODevice::ReadOnly))
            throw WorkbookError(
                QStringLiteral("No se puede leer el archivo «%1»: %2.").arg(path, probe.errorString()));
    }

    const void* raw = nullptr;
    const int opened = freexl_open(QFile::encodeName(path).constData(), &raw);
    std::unique_ptr<const void, Closer> handle(raw);
    if (opened != FREEXL_OK)
        throw WorkbookError(
            QStringLiteral("El archivo «%1» no es un libro de Excel (.xls) que se pueda leer.").arg(name));

    unsigned int password = 0;
    if (freexl_get_info(handle.get(), FREEXL_BIFF_PASSWORD, &password) == FREEXL_OK &&
        password == FREEXL_BIFF_OBFUSCATED)
        throw WorkbookError(
            QStringLiteral("El libro «%1» está protegido con contraseña y no se puede leer.").arg(name));

    // FreeXL has no look-up by name: walk the sheets.
    unsigned int sheets = 0;
    if (freexl_get_info(handle.get(), FREEXL_BIFF_SHEET_COUNT, &sheets) != FREEXL_OK)
        sheets = 0;
    for (unsigned int index = 0; index < sheets && index <= 0xFFFF; ++index) {
        const char* sheet = nullptr;
        if (freexl_get_worksheet_name(handle.get(), static_cast<unsigned short>(index), &sheet) !=
                FREEXL_OK ||
            sheet == nullptr)
            continue;
        if (QString::fromUtf8(sheet).trimmed().compare(sheetName, Qt::CaseInsensitive) != 0)
            continue;
        unsigned int rows = 0;
        unsigned short columns = 0;
        if (freexl_select_active_worksheet(handle.get(), static_cast<unsigned short>(index)) != FREEXL_OK ||
            freexl_worksheet_dimensions(handle.get(), &rows, &columns) != FREEXL_OK)
            throw WorkbookError(
                QStringLiteral("No se puede leer la hoja «%1» del libro «%2».").arg(sheetName, name));
        return Worksheet(std::move(handle), rows, columns);
    }
    throw WorkbookError(QStringLiteral("El libro «%1» no tiene la hoja «%2».").arg(name, sheetName));
}

Cell Worksheet::cell(int row, int column) const
{
    if (row < 1 || column < 1 || unsigned(row) > m_rows || unsigned(column) > m_columns)
        return {};
    FreeXL_CellValue value;
    if (freexl_get_cell_value(m_handle.get(), unsigned(row - 1), static_cast<unsigned short>(column - 1),
                              &value) != FREEXL_OK)
        return {};
    switch (value.type) {
    case FREEXL_CELL_INT:
        return Cell::ofNumber(value.value.int_value);
    case FREEXL_CELL_DOUBLE:
        return Cell::ofNumber(value.value.double_value);
    case FREEXL_CELL_TEXT:
    case FREEXL_CELL_SST_TEXT:
    case FREEXL_CELL_DATE:
    case FREEXL_CELL_DATETIME:
    case FREEXL_CELL_TIME:
        return value.value.text_value == nullptr ? Cell{}
                                                 : Cell::ofText(QString::fromUtf8(value.value.text_value));
    default:
        return {};
    }
}

} // namespace imports
