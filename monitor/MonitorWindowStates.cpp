// Hiding, showing, centring and raising the main window of both programs, and the
// tray icon's mouse messages.
#include "MonitorWindow.h"
#include "WindowHelpers.h"
#include <QAction>
#include <QCursor>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

namespace tolvex {

namespace {
constexpr int kTrayDoubleClick = 515;
constexpr int kTrayRightButton = 516;
} // namespace

void MonitorWindow::updateWindowToggled()
{
    const bool minimised = isMinimised();
    const CommonConfig &cfg = common();
    state().WindowToggled = (isNormalState() && cfg.StartMin == 2 && state().RunState != 2)
        || (minimised && cfg.StartMin == 1);
}

void MonitorWindow::Form_Resize()
{
    const bool minimised = isMinimised();
    // Minimised means hidden behind the tray icon; without a notification area the
    // window stays minimised on the task bar instead of disappearing for good.
    if (minimised && svc.tray.isAvailable()) {
        svc.tray.add(m_currentTrayIcon, m_identity.product);
        hide();
    }
    mPopUpRestore->setVisible(minimised);
    mPopUpMin->setVisible(!minimised);
    if (state().RunState != 2)
        updateWindowToggled();
}

void MonitorWindow::ShowMainWindow()
{
    MonitorState &st = state();
    if (isMinimised() || isHidden()) {
        // A window hidden behind the tray icon comes back as a new window of the window
        // system. The old one was minimised when it was hidden (before it was ever shown,
        // when the program starts hidden), and as it came back the window manager could
        // still see it minimised and send it straight back behind the icon.
        if (isHidden() && testAttribute(Qt::WA_WState_Created))
            destroy();
        setWindowState(windowState() & ~Qt::WindowMinimized);
        show();
        if (st.CentreOnShow) {
            if (const QScreen *screen = this->screen()) {
                const QRect r = screen->geometry();
                move(r.width() / 2 - width() / 2, r.height() / 2 - height() / 2);
            }
            st.CentreOnShow = false;
        }
        ctl.Park->setFocus();
    }
    // Topmost during a countdown too; the window comes up over the others either way.
    setTopmost(*this, common().RunOnTop == 2 || st.RunState == 2);
    raise();
}

void MonitorWindow::showAtStart()
{
    // Topmost from the first moment when the activation would make it so.
    setTopmost(*this, common().RunOnTop == 2);
    // Minimising before the first show made the window system's window at the size of
    // that moment, and a window resized while minimised comes up as a normal one. So a
    // minimised window is made anew at its final size, minimised from the start.
    if (isMinimised() && !isVisible()) {
        destroy();
        ensurePolished();
        if (layout())
            layout()->activate();
        create();
        windowHandle()->setWindowStates(Qt::WindowMinimized);
    }
    show();
}

void MonitorWindow::Form_Activate()
{
    setTopmost(*this, common().RunOnTop == 2);
    if (isMinimised() && svc.tray.isAvailable())
        hide();
    if (state().NotConfigured) {
        ctl.Reset->setEnabled(false);
        ctl.TestS->setEnabled(false);
        mPopUpTest->setEnabled(false);
        mPopUpReset->setEnabled(false);
    }
    mPopUpExit->setEnabled(mayExit());
}

// The tray icon's mouse messages: a double click brings the window back, the right
// button opens the popup menu.
void MonitorWindow::Form_MouseMove(int message)
{
    if (message == kTrayDoubleClick) {
        ShowMainWindow();
        updateWindowToggled();
    } else if (message == kTrayRightButton) {
        if (!state().WindowToggled) {
            raise();
            activateWindow();
        }
        MenuPopUp->popup(QCursor::pos());
    }
}

void MonitorWindow::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        Form_Resize();
    else if (event->type() == QEvent::ActivationChange && isActiveWindow())
        Form_Activate();
}

} // namespace tolvex
