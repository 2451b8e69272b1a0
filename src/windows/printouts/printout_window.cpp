#include "windows/printouts/printout_window.h"

#include "kit/file_dialogs.h"
#include "kit/focus_events.h"
#include "kit/keyboard.h"
#include "kit/messages.h"
#include "kit/print_preview.h"
#include "kit/store_guard.h"
#include "kit/wait_cursor.h"
#include "output/printout_painter.h"
#include "output/text_document.h"
#include "output/xlsx/judge_workbooks.h"
#include "ui_printout_window.h"
#include "windows/shell/app_state.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QSettings>

namespace
{

QString purposeOf(printouts::Kind kind)
{
    switch (kind) {
    case printouts::Kind::Etiquetas:
        return QStringLiteral("Una etiqueta por paloma recibida, en el orden de las jaulas.");
    case printouts::Kind::HojasJueces:
        return QStringLiteral("Una hoja por juez con las palomas de los grupos A, B y C.");
    case printouts::Kind::Catalogo:
        return QStringLiteral(
            "Portada, palomas por grupo y sexo, grupo D por categoría e índice de expositores.");
    case printouts::Kind::Resguardos:
        return QStringLiteral("Un resguardo por expositor con las palomas que ha entregado.");
    }
    return {};
}

const QString topMarginKey = QStringLiteral("etiquetas/margenSuperior");
const QString leftMarginKey = QStringLiteral("etiquetas/margenIzquierdo");

bool reported(QWidget* window, const std::function<void()>& step)
{
    try {
        step();
        return true;
    } catch (const listings::OutputError& e) {
        Messages::inform(window, QStringLiteral("Aviso"), e.message(), Messages::Icon::Warning);
    }
    return false;
}

} // namespace

PrintoutWindow::PrintoutWindow(AppState& state, printouts::Kind kind, QWidget* parent)
    : QDialog(parent), m_state(state), m_kind(kind), m_ui(std::make_unique<Ui::PrintoutWindow>())
{
    m_ui->setupUi(this);
    setObjectName(QStringLiteral("Impreso-") + printouts::commandName(kind));
    setWindowTitle(printouts::title(kind));
    m_ui->Label1->setText(printouts::title(kind));
    QFont big = m_ui->Label1->font();
    big.setPointSize(14);
    big.setBold(true);
    m_ui->Label1->setFont(big);
    m_ui->Label2->setText(purposeOf(kind));

    const printouts::LabelSheet sheet;
    for (QDoubleSpinBox* margin : {m_ui->MargenSuperior, m_ui->MargenIzquierdo}) {
        margin->setLocale(QLocale(QLocale::Spanish, QLocale::Spain)); // "0,5 mm", as typed here
        margin->setRange(-printouts::labelMarginLimitMm, printouts::labelMarginLimitMm);
    }
    // The margins fit the printer and its sheets of labels, not the show: set once, they are
    // kept in the program's settings for every later show.
    const QSettings settings;
    m_ui->MargenSuperior->setValue(settings.value(topMarginKey, sheet.topMm).toDouble());
    m_ui->MargenIzquierdo->setValue(settings.value(leftMarginKey, sheet.leftMm).toDouble());
    connect(m_ui->MargenSuperior, &QDoubleSpinBox::valueChanged, this,
            [](double mm) { QSettings().setValue(topMarginKey, mm); });
    connect(m_ui->MargenIzquierdo, &QDoubleSpinBox::valueChanged, this,
            [](double mm) { QSettings().setValue(leftMarginKey, mm); });
    m_ui->FrameEtiquetas->setVisible(kind == printouts::Kind::Etiquetas);
    resize(width(), sizeHint().height());

    KeyboardHelper::install(this, {.enterAsTab = true, .escapeCloses = true, .legend = nullptr});
    connect(m_ui->CommandVistaPrevia, &QPushButton::clicked, this, &PrintoutWindow::vistaPrevia);
    connect(m_ui->CommandImprimir, &QPushButton::clicked, this, &PrintoutWindow::imprimir);
    connect(m_ui->CommandPdf, &QPushButton::clicked, this, &PrintoutWindow::pdf);
    connect(m_ui->CommandSalir, &QPushButton::clicked, this, &QDialog::reject);
    if (kind == printouts::Kind::HojasJueces) {
        auto* excel = new QPushButton(QStringLiteral("&Excel"), this);
        excel->setObjectName(QStringLiteral("CommandExcel"));
        excel->setAutoDefault(false);
        excel->setToolTip(
            QStringLiteral("Un libro de Excel por juez, para anotar sus puntuaciones e importarlas "
                           "con «6 Importar de PDA»."));
        extraButtons()->addWidget(excel);
        QWidget::setTabOrder(m_ui->CommandPdf, excel);
        QWidget::setTabOrder(excel, m_ui->CommandSalir);
        connect(excel, &QPushButton::clicked, this, &PrintoutWindow::libros);
    }
}

PrintoutWindow::~PrintoutWindow() = default;

void PrintoutWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // While the show is served the labels take its address, whatever was typed before.
    if (const QString served = m_state.networkAddress(); !served.isEmpty())
        m_ui->Direccion->setText(served);
    (m_kind == printouts::Kind::Etiquetas ? static_cast<QWidget*>(m_ui->MargenSuperior)
                                          : m_ui->CommandVistaPrevia)
        ->setFocus(Qt::OtherFocusReason);
}

void PrintoutWindow::libros()
{
    const QString folder =
        FileDialogs::folder(this, QStringLiteral("Hojas de los jueces en Excel"), m_state.programFolder);
    if (folder.isEmpty())
        return;
    int written = 0;
    if (guarded(this, [&] {
            WaitCursor wait;
            written = output::writeJudgeWorkbooks(m_state.mainDb, folder);
        }))
        Messages::inform(
            this, QStringLiteral("Aviso"),
            QStringLiteral("%1 libros grabados en %2").arg(written).arg(QDir::toNativeSeparators(folder)));
}

QBoxLayout* PrintoutWindow::extraButtons() const
{
    return m_ui->extraButtonsLayout;
}

printouts::Options PrintoutWindow::options() const
{
    printouts::Options options;
    options.sheet.topMm = m_ui->MargenSuperior->value();
    options.sheet.leftMm = m_ui->MargenIzquierdo->value();
    options.networkAddress = m_ui->Direccion->text().trimmed();
    return options;
}

// Labels whose QR codes point where the show is not served are a whole sheet to print again: an
// address typed over the server's asks first, No the answer of Enter.
bool PrintoutWindow::addressAgreed()
{
    const QString served = m_state.networkAddress();
    const QString typed = m_ui->Direccion->text().trimmed();
    if (m_kind != printouts::Kind::Etiquetas || served.isEmpty() || typed == served)
        return true;
    if (Messages::ask(this, QStringLiteral("Atención"),
                      QStringLiteral("La exposición se sirve en %1, y las etiquetas llevarían %2. ¿Desea "
                                     "imprimirlas así?")
                          .arg(served, typed.isEmpty() ? QStringLiteral("ninguna dirección")
                                                       : QStringLiteral("«%1»").arg(typed)),
                      Messages::Answer::No))
        return true;
    m_ui->Direccion->setText(served);
    focus::later(m_ui->Direccion);
    return false;
}

std::optional<listings::Printout> PrintoutWindow::pages()
{
    if (!addressAgreed())
        return std::nullopt;
    std::optional<listings::Printout> built;
    guarded(this, [&] {
        WaitCursor wait;
        const printouts::Show show = printouts::readShow(m_state.mainDb, &m_state.clubDb);
        reported(this, [&] { built = printouts::build(m_kind, show, options()); });
    });
    return built;
}

void PrintoutWindow::vistaPrevia()
{
    const std::optional<listings::Printout> printout = pages();
    if (!printout)
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(printouts::title(m_kind));
    listings::setUpPage(printer);
    preview::show(printer, this, [&](QPrinter* target) {
        reported(this, [&] { listings::paintPrintout(*printout, *target); });
    });
}

void PrintoutWindow::imprimir()
{
    const QPrinterInfo printer = QPrinterInfo::defaultPrinter();
    if (printer.isNull()) {
        // With no printer installed, the printout can be kept as a PDF instead.
        if (Messages::ask(
                this, QStringLiteral("Atención"),
                QStringLiteral("No hay ninguna impresora instalada. ¿Desea guardar el impreso como PDF?")))
            pdf();
        return;
    }
    const std::optional<listings::Printout> printout = pages();
    if (!printout)
        return;
    QPrinter job(printer, QPrinter::HighResolution);
    job.setDocName(printouts::title(m_kind));
    listings::setUpPage(job);
    if (reported(this, [&] { listings::paintPrintout(*printout, job); }) &&
        job.printerState() == QPrinter::Error)
        Messages::inform(
            this, QStringLiteral("Aviso"),
            QStringLiteral("La impresora «%1» no ha podido imprimir el impreso.").arg(printer.printerName()),
            Messages::Icon::Warning);
}

void PrintoutWindow::pdf()
{
    const std::optional<listings::Printout> printout = pages();
    if (!printout)
        return;
    const QString suggested =
        QDir(m_state.programFolder).filePath(printouts::title(m_kind) + QStringLiteral(".pdf"));
    QString path = FileDialogs::saveFile(this, QStringLiteral("Guardar el impreso como PDF"),
                                         QStringLiteral("Documentos PDF (*.pdf)|*.pdf"), suggested);
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().compare(QStringLiteral("pdf"), Qt::CaseInsensitive) != 0)
        path += QStringLiteral(".pdf");
    if (reported(this, [&] { listings::writePdf(*printout, path, printouts::title(m_kind)); }))
        Messages::inform(this, QStringLiteral("Aviso"),
                         QStringLiteral("El impreso se ha guardado en %1 (%2 páginas).")
                             .arg(QDir::toNativeSeparators(path))
                             .arg(printout->size()));
}
