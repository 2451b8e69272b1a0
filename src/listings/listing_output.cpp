#include "listings/listing_output.h"

#include "listings/export_all.h"
#include "listings/printout_painter.h"
#include "listings/text_document.h"
#include "shell/app_state.h"
#include "shell/file_dialogs.h"
#include "shell/focus_events.h"
#include "shell/messages.h"
#include "shell/store_guard.h"
#include "shell/wait_cursor.h"
#include "shell/window_placement.h"

#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QTreeWidget>

namespace listings
{

namespace
{

template <class T> T* control(QDialog* window, const char* name)
{
    return window->findChild<T*>(QString::fromLatin1(name));
}

QString documentTitle(const Listing& listing)
{
    return QFileInfo(documentFileName(listing)).completeBaseName();
}

// Runs an output step; a failure is reported and the window stays as it was.
bool reported(QDialog* window, const std::function<void()>& step)
{
    try {
        step();
        return true;
    } catch (const OutputError& e) {
        Messages::inform(window, QStringLiteral("Aviso"), e.message(), Messages::Icon::Warning);
    }
    return false;
}

} // namespace

ListingOutput::ListingOutput(QDialog* window, AppState& state, QLineEdit* pathBox, QTreeWidget* list,
                             std::function<Listing()> shown)
    : QObject(window), m_window(window), m_state(state), m_pathBox(pathBox), m_list(list),
      m_shown(std::move(shown))
{
    connect(control<QPushButton>(window, "Command3"), &QPushButton::clicked, this, &ListingOutput::imprimir);
    connect(control<QPushButton>(window, "CommandVistaPrevia"), &QPushButton::clicked, this,
            &ListingOutput::vistaPrevia);
    connect(control<QPushButton>(window, "Command4"), &QPushButton::clicked, this, &ListingOutput::documento);
    connect(control<QPushButton>(window, "Command1"), &QPushButton::clicked, this,
            &ListingOutput::grabarDocumento);
    connect(control<QPushButton>(window, "Command5"), &QPushButton::clicked, this, &ListingOutput::cancelar);
    connect(m_pathBox, &QLineEdit::returnPressed, this, &ListingOutput::grabarDocumento);
}

void ListingOutput::reset()
{
    control<QGroupBox>(m_window, "Frame1")->hide();
    m_pathBox->clear();
}

void ListingOutput::imprimir()
{
    const Listing listing = m_shown();
    const Printout pages = printout(listing);
    if (pages.empty())
        return;
    const QPrinterInfo printer = QPrinterInfo::defaultPrinter();
    if (printer.isNull()) {
        offerPdf(listing);
        return;
    }
    QPrinter job(printer, QPrinter::HighResolution);
    job.setDocName(documentTitle(listing));
    setUpPage(job);
    if (reported(m_window, [&] { paintPrintout(pages, job); }) && job.printerState() == QPrinter::Error)
        Messages::inform(
            m_window, QStringLiteral("Aviso"),
            QStringLiteral("La impresora «%1» no ha podido imprimir el listado.").arg(printer.printerName()),
            Messages::Icon::Warning);
    selectRow(true);
}

void ListingOutput::offerPdf(const Listing& listing)
{
    if (!Messages::ask(
            m_window, QStringLiteral("Atención"),
            QStringLiteral("No hay ninguna impresora instalada. ¿Desea guardar el listado como PDF?")))
        return;
    const QString suggested =
        QDir(m_state.programFolder).filePath(documentTitle(listing) + QStringLiteral(".pdf"));
    QString path = FileDialogs::saveFile(m_window, QStringLiteral("Guardar el listado como PDF"),
                                         QStringLiteral("Documentos PDF (*.pdf)|*.pdf"), suggested);
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().compare(QStringLiteral("pdf"), Qt::CaseInsensitive) != 0)
        path += QStringLiteral(".pdf");
    if (reported(m_window, [&] { writePdf(printout(listing), path, documentTitle(listing)); }))
        Messages::inform(
            m_window, QStringLiteral("Aviso"),
            QStringLiteral("El listado se ha guardado en %1").arg(QDir::toNativeSeparators(path)));
}

void ListingOutput::vistaPrevia()
{
    const Listing listing = m_shown();
    const Printout pages = printout(listing);
    if (pages.empty())
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(documentTitle(listing));
    setUpPage(printer);
    QPrintPreviewDialog preview(&printer, m_window);
    preview.setWindowTitle(QStringLiteral("Vista previa"));
    connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
            [&](QPrinter* target) { reported(m_window, [&] { paintPrintout(pages, *target); }); });
    // A page's height where the screen has room for it; never taller than the screen.
    preview.resize(placement::fitted(&preview, QSize(900, 1000)));
    preview.exec();
}

void ListingOutput::documento()
{
    control<QGroupBox>(m_window, "Frame1")->show();
    m_pathBox->setFocus(Qt::OtherFocusReason);
}

void ListingOutput::grabarDocumento()
{
    const Listing listing = m_shown();
    if (!listing.canBeSaved())
        return;
    const QString fileName = documentFileName(listing);
    const QString path = documentPath(m_pathBox->text(), fileName, m_state.programFolder);
    if (!reported(m_window, [&] { writeFile(path, documentBytes(listing)); })) {
        focus::later(m_pathBox); // the folder refused, selected to be typed again
        return;
    }
    control<QGroupBox>(m_window, "Frame1")->hide();
    Messages::inform(m_window, QStringLiteral("Aviso"),
                     QStringLiteral("EL Archivo ") + fileName + QStringLiteral(" ha sido Grabado"));
    selectRow(false);
}

void ListingOutput::cancelar()
{
    control<QGroupBox>(m_window, "Frame1")->hide();
}

void ListingOutput::selectRow(bool last)
{
    if (m_list == nullptr || m_list->topLevelItemCount() == 0)
        return;
    m_list->setCurrentItem(m_list->topLevelItem(last ? m_list->topLevelItemCount() - 1 : 0));
}

void exportarTodosLosListados(QWidget* parent, AppState& state)
{
    const QString folder =
        FileDialogs::folder(parent, QStringLiteral("Exportar todos los listados"), state.programFolder);
    if (folder.isEmpty())
        return;
    int written = 0;
    QString failure;
    const bool ran = guarded(parent, [&] {
        WaitCursor wait;
        try {
            written = exportAll(state.mainDb, state.clubRs, folder, true);
        } catch (const OutputError& e) {
            failure = e.message();
        }
    });
    if (!ran)
        return;
    if (!failure.isEmpty())
        Messages::inform(parent, QStringLiteral("Aviso"), failure, Messages::Icon::Warning);
    else
        Messages::inform(parent, QStringLiteral("Aviso"),
                         QStringLiteral("%1 documentos grabados en %2")
                             .arg(written)
                             .arg(QDir::toNativeSeparators(folder)));
}

} // namespace listings
