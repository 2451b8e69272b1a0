// The list of received cages and the cage shown in the entry frame.

#include "base/formats.h"
#include "kit/store_guard.h"
#include "rules/judging/final_score.h"
#include "rules/reception/bird_entry.h"
#include "rules/reception/cage_number.h"
#include "rules/records/history.h"
#include "rules/records/statuses.h"
#include "store/database.h"
#include "store/quote.h"
#include "ui_reception_window.h"
#include "windows/reception/reception_window.h"
#include "windows/shell/app_state.h"

#include <QMultiHash>
#include <QTreeWidget>

namespace
{

QString sexName(const QString& sexo)
{
    return sexo == u"M" ? QStringLiteral("Macho") : QStringLiteral("Hembra");
}

} // namespace

// The reload after opening, "Aceptar", "Cancelar" and "Borrar Todas". Each step goes on when an
// earlier one failed, so that the list always shows what is stored.
void ReceptionWindow::reload()
{
    store::Database& db = m_state.mainDb;
    // Every final score is recomputed and stored before the cages are read, so that the list
    // and the cage shown carry the stored scores.
    {
        const store::OriginScope origin(db, records::origins::reception());
        guarded(this, [&] { judging::recomputeFinalScores(db); });
    }
    const bool opened = guarded(this, [&] {
        m_state.receRs = db.openRecordset(QStringLiteral("select * from recepcion order by val(Jaula) "));
    });
    const bool haveCages = opened && m_state.receRs.recordCount() > 0;
    setBrowsingTools(haveCages);
    if (!haveCages) {
        m_ui->ListView1->clear();
        clearEntry(); // no cage to show: a deleted bird is not left on screen
        return;
    }
    guarded(this, [this] { fillList(); });
    selectPosition(m_position);
    m_ui->ListView1->setFocus(Qt::OtherFocusReason);
}

void ReceptionWindow::setBrowsingTools(bool haveCages)
{
    m_ui->p1->setEnabled(true);
    m_ui->p2->setEnabled(haveCages);
    m_ui->p3->setEnabled(haveCages);
    m_ui->p4->setEnabled(haveCages);
    m_ui->p5->setEnabled(true);
    m_ui->p6->setEnabled(haveCages); // the first cage stored, or the last deleted, counts at once
    // The legend's labels follow their buttons (KeyboardHelper::numberedCommands); "5 Salir" was
    // greyed by the deletion of the last cage while its button stayed on.
    for (QWidget* label : {m_ui->legend5, m_ui->labelJaula, m_ui->labelAnilla})
        label->setEnabled(true);
}

void ReceptionWindow::fillList()
{
    QTreeWidget* list = m_ui->ListView1;
    QList<QTreeWidgetItem*> items;
    items.reserve(m_state.receRs.recordCount());
    store::Recordset& rs = m_state.receRs;
    QMultiHash<int, records::BirdStatus> unranked;
    guarded(this, [&] {
        for (const records::BirdStatus& bird : records::unrankedBirds(m_state.mainDb))
            unranked.insert(bird.jaula, bird);
    });
    for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
        const QString jaula = rs.text(QStringLiteral("jaula")).trimmed();
        const QString anilla = rs.text(QStringLiteral("anilla"));
        QString estado = records::statusName(records::Status::Presente);
        for (const records::BirdStatus& bird : unranked.values(jaula.toInt()))
            if (bird.anilla.isEmpty() || bird.anilla == anilla.trimmed())
                estado = bird.text();
        auto* item = new QTreeWidgetItem(
            QStringList{jaula, anilla, rs.text(QStringLiteral("año")),
                        sexName(rs.text(QStringLiteral("sexo"))), rs.text(QStringLiteral("color")),
                        rs.text(QStringLiteral("grupo")), rs.text(QStringLiteral("categ")), estado});
        item->setData(0, Qt::UserRole, jaula); // the tag
        // The bird itself: the reception import may put two birds in one cage.
        item->setData(0, birdRowRole, rs.rowid());
        items.append(item);
    }
    const QSignalBlocker quiet(list);
    list->clear();
    list->addTopLevelItems(items);
}

// The remembered position, from 1; with none (or beyond the list) the first cage, which is the
// one the frame shows after a reload.
void ReceptionWindow::selectPosition(int position)
{
    QTreeWidget* list = m_ui->ListView1;
    if (list->topLevelItemCount() == 0)
        return;
    const int index = position >= 1 && position <= list->topLevelItemCount() ? position - 1 : 0;
    QTreeWidgetItem* item = list->topLevelItem(index);
    {
        const QSignalBlocker quiet(list);
        list->setCurrentItem(item);
    }
    list->scrollToItem(item);
    showCage(item);
}

void ReceptionWindow::showCage(QTreeWidgetItem* item)
{
    if (item == nullptr || m_entering)
        return;
    guarded(this, [&] {
        const store::Recordset rs = reception::birdRecord(m_state.mainDb, birdOf(item));
        if (rs.recordCount() == 0)
            return;
        m_ui->Combo1->setCurrentIndex(rs.text(QStringLiteral("sexo")) == u"M" ? 0 : 1);
        m_ui->Text1->setText(rs.text(QStringLiteral("jaula")));
        m_ui->Text2->setText(rs.text(QStringLiteral("anilla")));
        m_ui->Text3->setText(rs.text(QStringLiteral("año")));
        m_ui->Text5->setText(rs.text(QStringLiteral("color")));
        m_ui->Text6->setText(rs.text(QStringLiteral("licencia")));
        m_ui->Text7->setText(rs.text(QStringLiteral("nombre")));
        m_ui->Text8->setText(rs.text(QStringLiteral("club")));
        lookUpClub(m_ui->Text8->text().remove(u' '));
        const QString grupo = rs.text(QStringLiteral("grupo"));
        m_ui->Text9->setText(grupo);
        const QVariant puntos = rs.value(QStringLiteral("puntos"));
        m_ui->Text10->setText(puntos.isValid() ? formats::score(puntos.toDouble()) : QStringLiteral("0,00"));
        if (grupo == u"D") {
            showConditions(rs.value(QStringLiteral("conc")), rs.value(QStringLiteral("km")),
                           rs.value(QStringLiteral("coef")));
            m_ui->Text4->setText(rs.text(QStringLiteral("categ")));
            m_ui->Frame4->show();
            m_ui->Label12->clear();
        } else {
            m_ui->Frame6->hide();
            m_ui->Frame4->hide();
            m_ui->Label12->setText(rs.text(QStringLiteral("termina")) == u"S"
                                       ? QStringLiteral("Puntuacion Terminada")
                                       : QStringLiteral("Sin Terminar la Puntuacion"));
        }
    });
}

reception::BirdRow ReceptionWindow::birdOf(const QTreeWidgetItem* item)
{
    return {reception::parseCage(item->data(0, Qt::UserRole).toString()).value_or(0),
            item->data(0, birdRowRole).toLongLong()};
}

void ReceptionWindow::showConditions(const QVariant& conc, const QVariant& km, const QVariant& coef)
{
    m_ui->Text14->setText(QString::number(conc.toInt()));
    m_ui->Text15->setText(QString::number(km.toInt()));
    // Every decimal of the stored coefficient, so that a modification stores it unchanged.
    m_ui->Text16->setText(formats::plainNumber(coef.toDouble()));
    m_ui->Frame6->show();
}

void ReceptionWindow::lookUpClub(const QString& code)
{
    const bool found = m_state.clubRs.findFirst(QStringLiteral("Codigo = ") + store::quote(code));
    m_ui->Text11->setText(found ? m_state.clubRs.text(QStringLiteral("Nombre")) : QString());
}

void ReceptionWindow::clearEntry()
{
    for (QLineEdit* box : {m_ui->Text1, m_ui->Text2, m_ui->Text3, m_ui->Text4, m_ui->Text5, m_ui->Text6,
                           m_ui->Text7, m_ui->Text8, m_ui->Text9, m_ui->Text10, m_ui->Text11})
        box->clear();
    m_ui->Label12->clear();
    m_ui->Frame4->hide();
    m_ui->Frame6->hide();
}
