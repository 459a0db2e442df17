#include "WindowStacking.h"
#include "WindowHelpers.h"
#include <QApplication>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace tolvex {

namespace {

bool counts(const QWidget *w, const QWidget *except)
{
    if (!w || w == except || !w->isWindow() || !w->isVisible() || w->isMinimized())
        return false;
    switch (w->windowType()) {
    case Qt::Popup:
    case Qt::ToolTip:
    case Qt::SplashScreen:
    case Qt::Desktop:
        return false;
    default:
        return true;
    }
}

bool isTopmost(const QWidget *w)
{
    return w->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

// How many windows this one stands over: its owner, the owner's owner, and so on.
int ownerDepth(const QWidget *w)
{
    int depth = 0;
    for (const QWindow *window = w->windowHandle(); window && depth < 16; window = window->transientParent())
        ++depth;
    return depth;
}

} // namespace

QWidget *ownerWindow(const QWidget *except)
{
    if (QWidget *modal = QApplication::activeModalWidget(); counts(modal, except))
        return modal;
    if (QWidget *active = QApplication::activeWindow(); counts(active, except))
        return active;
    QWidget *best = nullptr;
    int bestRank = -1;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (!counts(w, except))
            continue;
        const int rank = (isTopmost(w) ? 1000 : 0) + ownerDepth(w);
        if (rank > bestRank) {
            best = w;
            bestRank = rank;
        }
    }
    return best;
}

bool programHasTopmostWindow(const QWidget *except)
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    return std::any_of(windows.begin(), windows.end(),
                       [except](const QWidget *w) { return counts(w, except) && isTopmost(w); });
}

void stackOverProgram(QWidget &window)
{
    QWidget *owner = ownerWindow(&window);
    if (programHasTopmostWindow(&window))
        setTopmost(window, true);
    // The owner is named on the window system's window, not as the Qt parent: a box
    // never dies with a window closed behind it, and a window that goes away leaves
    // the box without an owner rather than with a stale one.
    window.winId();
    if (QWindow *handle = window.windowHandle())
        handle->setTransientParent(owner ? owner->windowHandle() : nullptr);
}

} // namespace tolvex
