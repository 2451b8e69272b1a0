#pragma once

// A small owner of a libxlsxwriter workbook, for every printout the program writes as an Excel
// workbook. The library writes the whole file only when the workbook is closed, and writes it
// under the name it was given: here that is a file in a private temporary folder, whose bytes
// then replace the file asked for in one step (listings::writeFile), so that a failure at any
// point leaves no half-written workbook under the final name, and an existing one untouched.

#include <QString>
#include <QTemporaryDir>
#include <memory>

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

namespace output::xlsx
{

class Sheet
{
public:
    // Rows and columns from 0, as the library counts them; a null format is the default one.
    void text(int row, int column, const QString& value, lxw_format* format = nullptr);
    void number(int row, int column, double value, lxw_format* format = nullptr);
    // Columns first to last as wide as `width` characters.
    void columnWidth(int first, int last, double width);
    // The rows above `row` stay in view while the rest scrolls.
    void freezeRowsAbove(int row);

private:
    friend class Workbook;
    explicit Sheet(lxw_worksheet* sheet) : m_sheet(sheet) {}
    lxw_worksheet* m_sheet;
};

class Workbook
{
public:
    // Raises listings::OutputError when no temporary file can be made.
    Workbook();
    ~Workbook(); // a workbook never saved leaves nothing behind
    Workbook(const Workbook&) = delete;
    Workbook& operator=(const Workbook&) = delete;

    // A new sheet at the end; its name as spreadsheets allow them (31 characters, none of
    // []:*?/\). Raises listings::OutputError for a name the library refuses.
    Sheet addSheet(const QString& name);

    // Bold text; numbers with two decimals ("#,##0.00"), bold or not.
    lxw_format* bold();
    lxw_format* twoDecimals();

    // The title and subject of the document's properties.
    void setProperties(const QString& title, const QString& subject);

    // Closes the workbook and writes it at path, replacing a file of that name only once it is
    // written whole. Raises listings::OutputError, naming the file and why, when it cannot.
    void saveAs(const QString& path);
    // Closes the workbook and gives its bytes, for a file named fileName (named by the
    // messages). Raises listings::OutputError.
    QByteArray bytes(const QString& fileName);

private:
    struct Closer {
        void operator()(lxw_workbook* workbook) const;
    };
    QTemporaryDir m_folder;
    QString m_temporary;
    std::unique_ptr<lxw_workbook, Closer> m_workbook;
    lxw_format* m_bold = nullptr;
    lxw_format* m_twoDecimals = nullptr;
    // The property texts live as long as the workbook: the library keeps their pointers.
    QByteArray m_title;
    QByteArray m_subject;
};

} // namespace output::xlsx
