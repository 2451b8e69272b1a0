#include "kit/focus_events.h"

#include <QApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>

namespace focus
{

namespace
{

const char* const leavesProperty = "palomasLeavesWithoutChecks";

class FocusFilter : public QObject
{
public:
    FocusFilter(QWidget* control, QEvent::Type type, std::function<void()> handler)
        : QObject(control), m_type(type), m_handler(std::move(handler))
    {
        control->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != m_type)
            return false;
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
            return false;
        // A control of a hidden window (closed, or being destroyed with its window) is not in
        // the user's hands: its focus changes are the window going away, not a move to check.
        if (!static_cast<QWidget*>(parent())->isVisible())
            return false;
        if (m_type == QEvent::FocusOut) {
            const QWidget* next = QApplication::focusWidget();
            if (next != nullptr && next->property(leavesProperty).toBool())
                return false;
        }
        m_handler();
        return false;
    }

private:
    QEvent::Type m_type;
    std::function<void()> m_handler;
};

} // namespace

void onFocusOut(QWidget* control, std::function<void()> handler)
{
    new FocusFilter(control, QEvent::FocusOut, std::move(handler));
}

void onFocusIn(QWidget* control, std::function<void()> handler)
{
    new FocusFilter(control, QEvent::FocusIn, std::move(handler));
}

void leavesWithoutChecks(QWidget* control)
{
    control->setProperty(leavesProperty, true);
}

void selectAllOnFocus(QLineEdit* box)
{
    // After the click that gave the focus has placed the cursor.
    onFocusIn(box, [box] { QTimer::singleShot(0, box, &QLineEdit::selectAll); });
}

void later(QWidget* control)
{
    QPointer<QWidget> target(control);
    QTimer::singleShot(0, control, [target] {
        if (!target)
            return;
        target->setFocus(Qt::OtherFocusReason);
        if (auto* box = qobject_cast<QLineEdit*>(target.data()))
            box->selectAll();
    });
}

} // namespace focus
