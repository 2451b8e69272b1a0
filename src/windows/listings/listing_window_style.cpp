#include "windows/listings/listing_window_style.h"

#include <QFontMetricsF>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>

namespace listings
{

void styleTitles(QLabel* name, QLabel* general, QLabel* subtitle)
{
    QFont big = name->font();
    big.setPointSize(16);
    big.setBold(true);
    name->setFont(big);
    if (general != nullptr) {
        QFont medium = general->font();
        medium.setPointSize(12);
        general->setFont(medium);
    }
    QFont sub = subtitle->font();
    sub.setPointSize(14);
    sub.setBold(true);
    subtitle->setFont(sub);
}

void stylePreview(QPlainTextEdit* box)
{
    QFont courier(QStringLiteral("Courier New"));
    courier.setStyleHint(QFont::TypeWriter);
    courier.setPointSizeF(9.75);
    box->setFont(courier);
    const QFontMetricsF metrics(courier);
    const int lineWidth = int(metrics.horizontalAdvance(QString(96, u'_')) + 0.5);
    box->setMinimumWidth(lineWidth + box->verticalScrollBar()->sizeHint().width() + 2 * box->frameWidth() +
                         12);
}

void showTitles(QWidget* window, const ListingTitles& titles, QLabel* name, QLabel* general, QLabel* subtitle)
{
    window->setWindowTitle(titles.caption);
    name->setText(titles.label1);
    general->setText(titles.label2);
    subtitle->setText(titles.label3);
}

} // namespace listings
