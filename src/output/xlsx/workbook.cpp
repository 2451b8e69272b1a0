#include "output/xlsx/workbook.h"

#include "output/text_document.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <xlsxwriter.h>

namespace output::xlsx
{

namespace
{

[[noreturn]] void fail(const QString& what, lxw_error error)
{
    throw listings::OutputError(QStringLiteral("No se ha podido preparar el libro de Excel: %1 (%2).")
                                    .arg(what, QString::fromUtf8(lxw_strerror(error))));
}

void check(lxw_error error, const QString& what)
{
    if (error != LXW_NO_ERROR)
        fail(what, error);
}

} // namespace

void Workbook::Closer::operator()(lxw_workbook* workbook) const
{
    // The library has no way to drop a workbook but to write it: the file goes with the
    // temporary folder.
    workbook_close(workbook);
}

Workbook::Workbook()
{
    if (!m_folder.isValid())
        throw listings::OutputError(
            QStringLiteral(
                "No se ha podido preparar el libro de Excel: no se puede crear una carpeta temporal (%1).")
                .arg(m_folder.errorString()));
    m_temporary = m_folder.filePath(QStringLiteral("libro.xlsx"));
    const QByteArray temporaryFolder = QFile::encodeName(m_folder.path());
    lxw_workbook_options options{};
    options.constant_memory = LXW_FALSE;
    options.tmpdir = const_cast<char*>(temporaryFolder.constData());
    m_workbook.reset(workbook_new_opt(QFile::encodeName(m_temporary).constData(), &options));
    if (!m_workbook)
        throw listings::OutputError(
            QStringLiteral("No se ha podido preparar el libro de Excel: no hay memoria suficiente."));
    m_bold = workbook_add_format(m_workbook.get());
    format_set_bold(m_bold);
    m_twoDecimals = workbook_add_format(m_workbook.get());
    format_set_num_format(m_twoDecimals, "#,##0.00");
}

Workbook::~Workbook() = default;

Sheet Workbook::addSheet(const QString& name)
{
    const QByteArray utf8 = name.toUtf8();
    check(workbook_validate_sheet_name(m_workbook.get(), utf8.constData()),
          QStringLiteral("la hoja «%1»").arg(name));
    lxw_worksheet* sheet = workbook_add_worksheet(m_workbook.get(), utf8.constData());
    if (sheet == nullptr)
        fail(QStringLiteral("la hoja «%1»").arg(name), LXW_ERROR_MEMORY_MALLOC_FAILED);
    return Sheet(sheet);
}

lxw_format* Workbook::bold()
{
    return m_bold;
}

lxw_format* Workbook::twoDecimals()
{
    return m_twoDecimals;
}

void Workbook::setProperties(const QString& title, const QString& subject)
{
    m_title = title.toUtf8();
    m_subject = subject.toUtf8();
    lxw_doc_properties properties{};
    properties.title = m_title.data();
    properties.subject = m_subject.data();
    check(workbook_set_properties(m_workbook.get(), &properties), QStringLiteral("las propiedades"));
}

void Workbook::saveAs(const QString& path)
{
    listings::writeFile(path, bytes(QFileInfo(path).fileName()));
}

QByteArray Workbook::bytes(const QString& fileName)
{
    const lxw_error closed = workbook_close(m_workbook.release());
    QFile written(m_temporary);
    if (closed != LXW_NO_ERROR || !written.open(QIODevice::ReadOnly))
        throw listings::OutputError(QStringLiteral("No se ha podido grabar el archivo %1: %2.")
                                        .arg(fileName, closed != LXW_NO_ERROR
                                                           ? QString::fromUtf8(lxw_strerror(closed))
                                                           : written.errorString()));
    return written.readAll();
}

void Sheet::text(int row, int column, const QString& value, lxw_format* format)
{
    check(worksheet_write_string(m_sheet, lxw_row_t(row), lxw_col_t(column), value.toUtf8().constData(),
                                 format),
          QStringLiteral("la celda de la fila %1").arg(row + 1));
}

void Sheet::number(int row, int column, double value, lxw_format* format)
{
    check(worksheet_write_number(m_sheet, lxw_row_t(row), lxw_col_t(column), value, format),
          QStringLiteral("la celda de la fila %1").arg(row + 1));
}

void Sheet::columnWidth(int first, int last, double width)
{
    check(worksheet_set_column(m_sheet, lxw_col_t(first), lxw_col_t(last), width, nullptr),
          QStringLiteral("el ancho de las columnas"));
}

void Sheet::freezeRowsAbove(int row)
{
    worksheet_freeze_panes(m_sheet, lxw_row_t(row), 0);
}

} // namespace output::xlsx
