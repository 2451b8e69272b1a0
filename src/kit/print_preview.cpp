#include "kit/print_preview.h"

#include "kit/window_placement.h"

#include <QKeySequence>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QShortcut>
#include <algorithm>

namespace preview
{

void show(QPrinter& printer, QWidget* parent, const std::function<void(QPrinter*)>& paint)
{
    QPrintPreviewDialog dialog(&printer, parent);
    dialog.setWindowTitle(QStringLiteral("Vista previa"));
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, paint);
    // The preview's own view scrolls a screen's height on these keys, which is a part of a page.
    if (auto* pages = dialog.findChild<QPrintPreviewWidget*>()) {
        for (const auto& [key, step] : {std::pair{Qt::Key_PageDown, 1}, std::pair{Qt::Key_PageUp, -1}}) {
            auto* turn = new QShortcut(QKeySequence(key), &dialog);
            turn->setContext(Qt::WidgetWithChildrenShortcut);
            QObject::connect(turn, &QShortcut::activated, pages, [pages, step] {
                pages->setCurrentPage(std::clamp(pages->currentPage() + step, 1, pages->pageCount()));
                emit pages->previewChanged(); // the dialog's page box and arrows follow it
            });
        }
    }
    // A page's height where the screen has room for it; never taller than the screen.
    dialog.resize(placement::fitted(&dialog, QSize(900, 1000)));
    dialog.exec();
}

} // namespace preview
