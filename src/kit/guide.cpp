#include "kit/guide.h"

#include "base/install_layout.h"
#include "kit/messages.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QKeyEvent>
#include <QUrl>
#include <QWidget>

namespace guide
{

namespace
{

const QString firstPage = QStringLiteral("00-portada");

struct Guide {
    QString folder;
    ChapterOf chapterOf;
};

Guide& installed()
{
    static Guide guide;
    return guide;
}

class F1Filter : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        // Once per key: at the widget it is sent to, not again at each parent it propagates to.
        auto* receiver = qobject_cast<QWidget*>(watched);
        if (key->key() != Qt::Key_F1 || key->modifiers() != Qt::NoModifier || receiver == nullptr ||
            (QApplication::focusWidget() != nullptr ? receiver != QApplication::focusWidget()
                                                    : !receiver->isWindow()))
            return false;
        QString chapter;
        for (const QWidget* w = receiver->window(); w != nullptr && chapter.isEmpty();
             w = w->parentWidget() != nullptr ? w->parentWidget()->window() : nullptr)
            chapter = installed().chapterOf(w);
        open(receiver->window(), chapter.isEmpty() ? firstPage : chapter);
        return true;
    }
};

} // namespace

void installForApplication(const QString& folder, ChapterOf chapterOf)
{
    static F1Filter* filter = nullptr;
    installed() = {folder, std::move(chapterOf)};
    if (filter == nullptr) {
        filter = new F1Filter(qApp);
        qApp->installEventFilter(filter);
    }
}

QString page(const QString& chapter)
{
    return installed().folder.isEmpty() ? QString() : install::guidePage(installed().folder, chapter);
}

void open(QWidget* parent, const QString& chapter)
{
    const QString file = page(chapter);
    if (file.isEmpty()) {
        Messages::inform(parent, QStringLiteral("Aviso"),
                         QStringLiteral("La guía no está en %1: vuelva a instalar el programa.")
                             .arg(QDir::toNativeSeparators(installed().folder)));
        return;
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(file)))
        Messages::inform(parent, QStringLiteral("Aviso"),
                         QStringLiteral("No hay ningún programa para abrir la guía, %1.")
                             .arg(QDir::toNativeSeparators(file)));
}

} // namespace guide
