#pragma once

// The box of F2 in the reception: the status of the selected bird, "Presente", "Ausente" or
// "Descalificada", and the reason of a disqualification.

#include "rules/records/statuses.h"

#include <QDialog>

class QComboBox;
class QLineEdit;

class StatusDialog : public QDialog
{
    Q_OBJECT
public:
    StatusDialog(const QString& bird, const records::BirdStatus& current, QWidget* parent = nullptr);

    records::Status status() const;
    QString motivo() const;

private:
    QComboBox* m_status;
    QLineEdit* m_motivo;
};
