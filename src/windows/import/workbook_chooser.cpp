#include "windows/import/workbook_chooser.h"

#include "base/drives.h"
#include "kit/file_dialogs.h"
#include "kit/keyboard.h"
#include "kit/messages.h"
#include "kit/wait_cursor.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace
{

constexpr int PathRole = Qt::UserRole;

QString driveLabel(const QString& drive)
{
    return QStringLiteral("Ficheros en ") + drive;
}

} // namespace

WorkbookChooser::WorkbookChooser(QWidget* window, KeyboardHelper* keyboard, QString programFolder,
                                 Controls controls)
    : QObject(window), m_window(window), m_programFolder(std::move(programFolder)), m_controls(controls)
{
    m_controls.drive->clear();
    m_controls.drive->addItems({QStringLiteral("A:"), QStringLiteral("C:"), QStringLiteral("E:"),
                                QStringLiteral("F:"), QStringLiteral("G:"), QStringLiteral("H:"),
                                QStringLiteral("I:"), QStringLiteral("J:"), QStringLiteral("K:")});
    // activated, not currentIndexChanged: choosing the drive shown again lists it again.
    connect(m_controls.drive, &QComboBox::activated, this, [this] { driveChosen(); });
    connect(m_controls.files, &QListWidget::itemDoubleClicked, this,
            [this](const QListWidgetItem* item) { pick(item); });
    keyboard->keepEnter(m_controls.files);
    keyboard->onKeyPress([this](QKeyEvent* key, QWidget* receiver) {
        return receiver == m_controls.files && listKey(key->key());
    });
}

void WorkbookChooser::start()
{
    m_pickedPath.clear();
    m_pickedName.clear();
    m_controls.aceptar->hide();
    m_controls.drive->setCurrentIndex(0);
    m_controls.label->setText(driveLabel(m_controls.drive->currentText()));
    m_controls.files->clear();
    listDrive(m_controls.drive->currentText());
}

void WorkbookChooser::driveChosen()
{
    const QString drive = m_controls.drive->currentText();
    m_controls.files->clear();
    m_controls.label->setText(driveLabel(drive));
    if (drive.compare(QStringLiteral("C:"), Qt::CaseInsensitive) == 0)
        archivoAbrir();
    else
        listDrive(drive);
}

void WorkbookChooser::listDrive(const QString& drive)
{
    QDir folder;
    {
        WaitCursor wait;
        folder = QDir(drives::folderOf(drive, m_programFolder));
        if (folder.exists()) {
            // Without QDir::CaseSensitive the patterns match "CENSO.XLS" as well.
            const QStringList names =
                folder.entryList({QStringLiteral("*.xls"), QStringLiteral("*.xlsx"), QStringLiteral("*.ods"),
                                  QStringLiteral("*.csv")},
                                 QDir::Files | QDir::Readable, QDir::Name | QDir::IgnoreCase);
            for (const QString& name : names) {
                auto* item = new QListWidgetItem(name, m_controls.files);
                item->setData(PathRole, folder.filePath(name));
            }
            if (m_controls.files->count() > 0)
                m_controls.files->setCurrentRow(0);
            return;
        }
    }
    Messages::inform(m_window, QStringLiteral("Aviso"), QStringLiteral("No existen Ficheros"));
}

void WorkbookChooser::archivoAbrir()
{
    const QString chosen = FileDialogs::openFile(
        m_window, QStringLiteral("Abrir"),
        QStringLiteral("Hojas de cálculo (*.xls;*.xlsx;*.ods;*.csv)|*.xls;*.xlsx;*.ods;*.csv"),
        m_dialogFolder);
    // A cancelled dialog leaves an empty entry, as the list has always shown it.
    auto* item = new QListWidgetItem(QFileInfo(chosen).fileName(), m_controls.files);
    item->setData(PathRole, chosen);
    m_controls.files->setCurrentItem(item);
    if (!chosen.isEmpty())
        m_dialogFolder = QFileInfo(chosen).absolutePath();
}

void WorkbookChooser::pick(const QListWidgetItem* item)
{
    if (item == nullptr)
        return;
    m_pickedName = item->text();
    m_pickedPath = item->data(PathRole).toString();
    m_controls.aceptar->show();
    m_controls.aceptar->setFocus(Qt::OtherFocusReason);
}

bool WorkbookChooser::listKey(int key)
{
    m_controls.status->hide();
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return false;
    pick(m_controls.files->currentItem());
    return true;
}
