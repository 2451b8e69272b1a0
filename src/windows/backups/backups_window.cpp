#include "windows/backups/backups_window.h"

#include "kit/keyboard.h"
#include "kit/messages.h"
#include "kit/store_guard.h"
#include "kit/wait_cursor.h"
#include "rules/exhibition/exhibition.h"
#include "ui_backups_window.h"
#include "windows/shell/app_state.h"

#include <QDir>
#include <QLocale>

BackupsWindow::BackupsWindow(AppState& state, QWidget* parent)
    : QDialog(parent), m_state(state), m_ui(std::make_unique<Ui::BackupsWindow>())
{
    m_ui->setupUi(this);
    m_ui->copias->header()->setStretchLastSection(false);
    for (int column : {2, 3})
        m_ui->copias->headerItem()->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
    connect(m_ui->restaurar, &QPushButton::clicked, this, &BackupsWindow::restaurar);
    connect(m_ui->cerrar, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_ui->copias, &QTreeWidget::itemActivated, this, &BackupsWindow::restaurar);
    // Enter on a copy restores it; on a button, presses it; Esc closes.
    KeyboardHelper::install(this, {.enterAsTab = true, .escapeCloses = true, .legend = nullptr})
        ->keepEnter(m_ui->copias);
}

BackupsWindow::~BackupsWindow() = default;

int BackupsWindow::exec()
{
    load();
    return QDialog::exec();
}

void BackupsWindow::load()
{
    m_restored = false;
    m_ui->carpeta->setText(
        QStringLiteral("Carpeta: %1").arg(QDir::toNativeSeparators(backups::folderOf(m_state.dbPath))));
    m_copies = backups::copiesOf(m_state.dbPath);
    QTreeWidget* list = m_ui->copias;
    list->clear();
    const QLocale spanish(QLocale::Spanish, QLocale::Spain);
    for (const backups::Copy& copy : m_copies) {
        QStringList columns{copy.taken.toString(QStringLiteral("dd/MM/yyyy")),
                            copy.taken.toString(QStringLiteral("HH:mm:ss"))};
        if (copy.sequence > 1)
            columns[1] += QStringLiteral(" (%1)").arg(copy.sequence);
        try {
            const backups::Contents contents = backups::contentsOf(copy.path);
            columns << spanish.toString(contents.cages) << spanish.toString(contents.scoreRows);
        } catch (const base::Error&) {
            columns << QStringLiteral("dañada") << QString();
        }
        auto* item = new QTreeWidgetItem(columns);
        for (int column : {2, 3})
            item->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
        list->addTopLevelItem(item);
    }
    for (int column = 0; column < list->columnCount(); ++column)
        list->resizeColumnToContents(column);
    if (list->topLevelItemCount() > 0)
        list->setCurrentItem(list->topLevelItem(0));
    m_ui->restaurar->setEnabled(!m_copies.empty());
    list->setFocus(Qt::OtherFocusReason);
}

void BackupsWindow::restaurar()
{
    const int index = m_ui->copias->indexOfTopLevelItem(m_ui->copias->currentItem());
    if (index < 0 || std::size_t(index) >= m_copies.size())
        return;
    const backups::Copy& copy = m_copies[std::size_t(index)];
    if (!Messages::ask(
            this, QStringLiteral("Atención"),
            QStringLiteral("¿Desea restaurar la copia del %1 a las %2? La exposición volverá a estar "
                           "como estaba entonces; antes se guardará una copia de como está ahora.")
                .arg(copy.taken.toString(QStringLiteral("dd/MM/yyyy")),
                     copy.taken.toString(QStringLiteral("HH:mm:ss")))))
        return;
    const QString path = copy.path;
    const bool done = guarded(this, [&] {
        WaitCursor wait;
        backups::restore(m_state.mainDb, path);
        m_restored = true;
        // The opening sequence again, so that every shared result holds the restored rows.
        exhibition::open(m_state, m_state.dbPath);
    });
    if (!done) {
        load(); // the copy of the replaced state may be listed now
        return;
    }
    Messages::inform(
        this, QStringLiteral("Aviso"),
        QStringLiteral("Copia restaurada. La exposición tiene ahora %1 jaulas y %2 puntuaciones.")
            .arg(m_state.receRs.recordCount())
            .arg(m_state.puntosRs.recordCount()));
    accept();
}
