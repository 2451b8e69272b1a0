#include "kit/window_placement.h"

#include <QApplication>
#include <QEvent>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QProgressDialog>
#include <QScreen>
#include <QSettings>
#include <QWidget>

namespace placement
{

namespace
{

const char* const placedProperty = "palomasPlaced";

// The frame that the window manager adds, once the window has one; before its first showing,
// room for a title bar and borders.
QMargins frameMargins(const QWidget* window)
{
    const QRect outer = window->frameGeometry();
    const QRect inner = window->geometry();
    if (outer == inner)
        return {8, 30, 8, 8};
    return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
            outer.bottom() - inner.bottom()};
}

QSize frameRoom(const QWidget* window)
{
    const QMargins m = frameMargins(window);
    return {m.left() + m.right(), m.top() + m.bottom()};
}

const QWidget* windowBelow(const QWidget* window)
{
    const QWidget* below = window->parentWidget() != nullptr ? window->parentWidget()->window() : nullptr;
    return below != nullptr && below->isVisible() ? below : nullptr;
}

QRect availableArea(const QWidget* window)
{
    const QWidget* below = windowBelow(window);
    const QScreen* screen = below != nullptr ? below->screen() : window->screen();
    if (screen == nullptr)
        screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->availableGeometry() : QRect();
}

bool isManaged(const QWidget* widget)
{
    if (!widget->isWindow())
        return false;
    const Qt::WindowType type = widget->windowType();
    return type == Qt::Window || type == Qt::Dialog;
}

// Boxes that come and go with their own size are not worth remembering.
bool isRemembered(const QWidget* window)
{
    return qobject_cast<const QMessageBox*>(window) == nullptr &&
           qobject_cast<const QInputDialog*>(window) == nullptr &&
           qobject_cast<const QProgressDialog*>(window) == nullptr &&
           qobject_cast<const QFileDialog*>(window) == nullptr &&
           qobject_cast<const QPrintDialog*>(window) == nullptr;
}

QString settingsKey(const QWidget* window)
{
    const QString name = window->objectName().isEmpty()
                             ? QString::fromLatin1(window->metaObject()->className())
                             : window->objectName();
    return QStringLiteral("ventanas/") + name;
}

// Puts the window, frame included, at `outer` moved inside the available area, and made smaller
// when it is larger than the area. The window's own geometry leaves the frame out; before the
// window has a frame, the frame is estimated.
void placeFrame(QWidget* window, QRect outer, const QRect& area)
{
    outer.setSize(outer.size().boundedTo(area.size()));
    outer.moveLeft(std::clamp(outer.left(), area.left(), area.right() + 1 - outer.width()));
    outer.moveTop(std::clamp(outer.top(), area.top(), area.bottom() + 1 - outer.height()));
    const QRect inner = outer.marginsRemoved(frameMargins(window));
    if (inner != window->geometry())
        window->setGeometry(inner);
}

void centre(QWidget* window, const QRect& area)
{
    const QWidget* below = windowBelow(window);
    const QRect over = below != nullptr ? below->frameGeometry() : area;
    QRect outer(QPoint(), window->size() + frameRoom(window));
    outer.moveCenter(over.center());
    placeFrame(window, outer, area);
}

void place(QWidget* window)
{
    const QRect area = availableArea(window);
    if (area.isEmpty())
        return;
    if (isRemembered(window)) {
        const QByteArray saved = QSettings().value(settingsKey(window)).toByteArray();
        if (!saved.isEmpty() && window->restoreGeometry(saved)) {
            placeFrame(window, window->geometry().marginsAdded(frameMargins(window)), area);
            return;
        }
    }
    centre(window, area);
}

class Placement : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if ((type != QEvent::Show && type != QEvent::Hide) || event->spontaneous() ||
            !watched->isWidgetType())
            return false;
        auto* window = static_cast<QWidget*>(watched);
        if (!isManaged(window))
            return false;
        if (type == QEvent::Show && !window->property(placedProperty).toBool()) {
            window->setProperty(placedProperty, true);
            place(window);
        } else if (type == QEvent::Hide && window->property(placedProperty).toBool() &&
                   isRemembered(window)) {
            QSettings().setValue(settingsKey(window), window->saveGeometry());
        }
        return false;
    }
};

} // namespace

void installForApplication()
{
    qApp->installEventFilter(new Placement(qApp));
}

QSize fitted(const QWidget* window, QSize preferred)
{
    const QRect area = availableArea(window);
    if (area.isEmpty())
        return preferred;
    return preferred.boundedTo(area.size() - frameRoom(window));
}

} // namespace placement
