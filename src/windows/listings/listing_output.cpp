#include "windows/listings/listing_output.h"

#include "kit/file_dialogs.h"
#include "kit/focus_events.h"
#include "kit/messages.h"
#include "kit/print_preview.h"
#include "kit/store_guard.h"
#include "kit/wait_cursor.h"
#include "output/export_all.h"
#include "output/printout_painter.h"
#include "output/text_document.h"
#include "windows/shell/app_state.h"

#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QTreeWidget>

namespace listings
{

namespace
{

QString documentTitle(const Listing& listing)
{
    return QFileInfo(documentFileName(listing)).completeBaseName();
}

} // namespace

ListingOutput::ListingOutput(QDialog* window, AppState& state, const OutputControls& controls,
                             std::function<Listing()> shown)
    : QObject(window), m_window(window), m_state(state), m_controls(controls), m_pathBox(controls.pathBox),
      m_list(controls.list), m_shown(std::move(shown))
{
    connect(controls.imprimir, &QPushButton::clicked, this, &ListingOutput::imprimir);
    connect(controls.vistaPrevia, &QPushButton::clicked, this, &ListingOutput::vistaPrevia);
    connect(controls.documento, &QPushButton::clicked, this, &ListingOutput::documento);
    connect(controls.aceptar, &QPushButton::clicked, this, &ListingOutput::grabarDocumento);
    connect(controls.cancelar, &QPushButton::clicked, this, &ListingOutput::cancelar);
    connect(m_pathBox, &QLineEdit::returnPressed, this, &ListingOutput::grabarDocumento);
}

void ListingOutput::reset()
{
    m_controls.frame->hide();
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
    if (guarded(m_window, [&] { paintPrintout(pages, job); }) && job.printerState() == QPrinter::Error)
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
    if (guarded(m_window, [&] { writePdf(printout(listing), path, documentTitle(listing)); }))
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
    preview::show(printer, m_window,
                  [&](QPrinter* target) { guarded(m_window, [&] { paintPrintout(pages, *target); }); });
}

void ListingOutput::documento()
{
    m_controls.frame->show();
    m_pathBox->setFocus(Qt::OtherFocusReason);
}

void ListingOutput::grabarDocumento()
{
    const Listing listing = m_shown();
    if (!listing.canBeSaved())
        return;
    const QString fileName = documentFileName(listing);
    const QString path = documentPath(m_pathBox->text(), fileName, m_state.programFolder);
    if (!guarded(m_window, [&] { writeFile(path, documentBytes(listing)); })) {
        focus::later(m_pathBox); // the folder refused, selected to be typed again
        return;
    }
    m_controls.frame->hide();
    Messages::inform(m_window, QStringLiteral("Aviso"),
                     QStringLiteral("EL Archivo ") + fileName + QStringLiteral(" ha sido Grabado"));
    selectRow(false);
}

void ListingOutput::cancelar()
{
    m_controls.frame->hide();
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
    if (guarded(parent, [&] {
            WaitCursor wait;
            written = exportAll(state.mainDb, state.clubRs, folder, true);
        }))
        Messages::inform(parent, QStringLiteral("Aviso"),
                         QStringLiteral("%1 documentos grabados en %2")
                             .arg(written)
                             .arg(QDir::toNativeSeparators(folder)));
}

} // namespace listings
