#pragma once

// The way out of the three listing windows, the same in each: "&Imprimir" on the default
// printer, "Vista previa", and "&Documento" with its frame, path box, "Aceptar" and "Cancelar".
// Each window hands its own controls over (outputControls() takes them from its form).

#include "rules/listings/listing.h"

#include <QObject>
#include <functional>

class QDialog;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QWidget;
struct AppState;

namespace listings
{

// The output controls of a listing window's form.
struct OutputControls {
    QPushButton* imprimir;    // "&Imprimir"
    QPushButton* vistaPrevia; // "Vista previa"
    QPushButton* documento;   // "&Documento"
    QPushButton* aceptar;     // "Aceptar" of the document frame
    QPushButton* cancelar;    // "Cancelar" of the document frame
    QGroupBox* frame;         // the document frame
    QLineEdit* pathBox;       // the document's path
    // The window's list, whose selection follows the output as the user saw it in the original
    // (last row after printing, first row after saving); nullptr for the preview text.
    QTreeWidget* list;
};

// The controls of a listing form, which name them alike in every window.
template <class Form> OutputControls outputControls(Form& form, QLineEdit* pathBox, QTreeWidget* list)
{
    return {form.Command3, form.CommandVistaPrevia,
            form.Command4, form.Command1,
            form.Command5, form.Frame1,
            pathBox,       list};
}

class ListingOutput : public QObject
{
    Q_OBJECT
public:
    ListingOutput(QDialog* window, AppState& state, const OutputControls& controls,
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
    OutputControls m_controls;
    QLineEdit* m_pathBox;
    QTreeWidget* m_list;
    std::function<Listing()> m_shown;
};

// "Exportar todos los listados": asks for a folder and writes there the documents and PDFs of
// every listing, then says how many.
void exportarTodosLosListados(QWidget* parent, AppState& state);

} // namespace listings
