#include "windows/reception/status_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace
{

constexpr records::Status choices[] = {records::Status::Presente, records::Status::Ausente,
                                       records::Status::Descalificada};

} // namespace

StatusDialog::StatusDialog(const QString& bird, const records::BirdStatus& current, QWidget* parent)
    : QDialog(parent), m_status(new QComboBox(this)), m_motivo(new QLineEdit(this))
{
    setObjectName(QStringLiteral("StatusDialog"));
    setWindowTitle(QStringLiteral("Estado"));
    m_status->setObjectName(QStringLiteral("estado"));
    m_motivo->setObjectName(QStringLiteral("motivo"));
    for (records::Status status : choices)
        m_status->addItem(records::statusName(status));
    m_status->setCurrentIndex(int(current.status));
    m_motivo->setText(current.motivo);
    auto* layout = new QFormLayout(this);
    layout->addRow(new QLabel(bird, this));
    layout->addRow(QStringLiteral("Estado"), m_status);
    layout->addRow(QStringLiteral("Motivo"), m_motivo);
    // Only a disqualification has a reason; the rule refuses one without it.
    const auto follow = [this] { m_motivo->setEnabled(status() == records::Status::Descalificada); };
    connect(m_status, &QComboBox::currentIndexChanged, this, follow);
    follow();
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("Aceptar"), QDialogButtonBox::AcceptRole)
        ->setObjectName(QStringLiteral("aceptar"));
    buttons->addButton(QStringLiteral("Cancelar"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addRow(buttons);
}

records::Status StatusDialog::status() const
{
    return choices[std::max(0, m_status->currentIndex())];
}

QString StatusDialog::motivo() const
{
    return status() == records::Status::Descalificada ? m_motivo->text() : QString();
}
