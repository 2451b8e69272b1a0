#include "windows/listings/listabc_window.h"

#include "kit/wait_cursor.h"
#include "rules/listings/openings.h"
#include "ui_listabc_window.h"
#include "windows/listings/listing_output.h"
#include "windows/listings/listing_window_style.h"
#include "windows/shell/app_state.h"

#include <QDir>
#include <QFileInfo>

ListabcWindow::ListabcWindow(AppState& state, QWidget* parent)
    : ListingWindow(state, parent), m_ui(std::make_unique<Ui::ListabcWindow>())
{
    m_ui->setupUi(this);
    listings::styleTitles(m_ui->Label1, m_ui->Label2, m_ui->Label3);
    listings::stylePreview(m_ui->Text1);
    setUpOutput(m_ui->Command2, listings::outputControls(*m_ui, m_ui->Text2, nullptr));
}

ListabcWindow::~ListabcWindow() = default;

void ListabcWindow::load()
{
    // Without the picture the window opens all the same, with an empty space where it goes.
    const QString picturePath = QDir(m_state.programFolder).filePath(QStringLiteral("Talvorena1.bmp"));
    QPixmap picture;
    const bool pictureShown = QFileInfo::exists(picturePath) && picture.load(picturePath);
    if (pictureShown)
        m_ui->Picture1->setPixmap(
            picture.scaled(m_ui->Picture1->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
    else
        m_ui->Picture1->clear();
    m_ui->Picture1->setFrameShape(pictureShown ? QFrame::StyledPanel : QFrame::NoFrame);

    listings::Listing listing;
    {
        WaitCursor wait;
        listing = listings::openClassification(m_state.mainDb, m_state.configText(QStringLiteral("nombre")),
                                               m_state.selGrupo, m_state.selCateg, m_state.selSexo);
    }
    listings::showTitles(this, listing.titles, m_ui->Label1, m_ui->Label2, m_ui->Label3);
    m_text = listing.text;
    // The box shows the lines; the listing keeps its CR LF line ends for the output.
    m_ui->Text1->setPlainText(QString(m_text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));

    const bool any = !m_text.isEmpty();
    m_ui->Command3->setEnabled(any);
    m_ui->CommandVistaPrevia->setEnabled(any);
    m_ui->Command4->setEnabled(any);
    m_output->reset();
}

listings::Listing ListabcWindow::shown() const
{
    listings::Listing listing;
    listing.kind = listings::ListingKind::Classification;
    listing.titles = {windowTitle(), m_ui->Label1->text(), m_ui->Label2->text(), m_ui->Label3->text()};
    listing.text = m_text;
    return listing;
}
