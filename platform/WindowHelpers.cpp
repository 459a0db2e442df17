#include "WindowHelpers.h"
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QMouseEvent>
#include <QScreen>
#include <algorithm>

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

void centreOnScreen(QWidget &window, const QScreen *screen)
{
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // The size the layout asks for, all of it: a window's adjustSize() would keep a
    // large window to two thirds of a small screen, below its own minimum.
    window.ensurePolished();
    if (QLayout *layout = window.layout())
        layout->activate();
    QSize size = window.sizeHint().expandedTo(window.minimumSizeHint()).expandedTo(window.minimumSize());
    if (window.hasHeightForWidth())
        size.setHeight(std::max(size.height(), window.heightForWidth(size.width())));
    window.resize(size);
    const QRect free = screen->availableGeometry();
    window.move(free.center() - window.rect().center());
}

} // namespace tolvex
