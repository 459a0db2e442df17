#include "WindowHelpers.h"
#include <QEvent>
#include <QLabel>
#include <QMouseEvent>

namespace tolvex {

namespace {

class ClickFilter : public QObject {
public:
    ClickFilter(QLabel *label, std::function<void()> action)
        : QObject(label), m_label(label), m_action(std::move(action))
    {
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != m_label)
            return false;
        if (event->type() == QEvent::MouseButtonPress) {
            m_pressed = static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton;
        } else if (event->type() == QEvent::MouseButtonRelease && m_pressed) {
            m_pressed = false;
            const auto *mouse = static_cast<QMouseEvent *>(event);
            if (mouse->button() == Qt::LeftButton && m_label->rect().contains(mouse->position().toPoint()) && m_action)
                m_action();
        }
        return false;
    }

private:
    QLabel *m_label;
    std::function<void()> m_action;
    bool m_pressed = false;
};

} // namespace

void onLabelClick(QLabel *label, std::function<void()> action)
{
    label->setCursor(Qt::PointingHandCursor);
    label->installEventFilter(new ClickFilter(label, std::move(action)));
}

void changeWindowFlags(QWidget &window, Qt::WindowFlags flags)
{
    if (window.windowFlags() == flags)
        return;
    const bool wasVisible = window.isVisible();
    window.setWindowFlags(flags);
    if (wasVisible)
        window.show();
}

void setTopmost(QWidget &window, bool topmost)
{
    Qt::WindowFlags flags = window.windowFlags();
    flags.setFlag(Qt::WindowStaysOnTopHint, topmost);
    changeWindowFlags(window, flags);
}

} // namespace tolvex
