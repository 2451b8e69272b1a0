#pragma once

// The way out of the three listing windows, the same in each: "&Imprimir" on the default
// printer, "Vista previa", and "&Documento" with its frame, path box, "Aceptar" and "Cancelar".
// The controls carry the same names in every window; only the path box differs.

#include "listings/listing.h"

#include <QObject>
#include <functional>

class QDialog;
class QLineEdit;
class QTreeWidget;
class QWidget;
struct AppState;

namespace listings
{

class ListingOutput : public QObject
{
    Q_OBJECT
public:
    // list: the window's list, whose selection follows the output as the user saw it in the
    // original (last row after printing, first row after saving); nullptr for the preview text.
    ListingOutput(QDialog* window, AppState& state, QLineEdit* pathBox, QTreeWidget* list,
                  std::function<Listing()> shown);

    // The state of the output controls when the window opens.
    void reset();

    void imprimir();
    void vistaPrevia();
    void documento();
    void grabarDocumento();
    void cancelar();

private:
    // With no printer installed, the printout can be kept as a PDF instead.
    void offerPdf(const Listing& listing);
    void selectRow(bool last);

    QDialog* m_window;
    AppState& m_state;
    QLineEdit* m_pathBox;
    QTreeWidget* m_list;
    std::function<Listing()> m_shown;
};

// "Exportar todos los listados": asks for a folder and writes there the documents and PDFs of
// every listing, then says how many.
void exportarTodosLosListados(QWidget* parent, AppState& state);

} // namespace listings
