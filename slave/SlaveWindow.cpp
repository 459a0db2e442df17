// The slave's window handling: minimising to the tray, restoring, topmost rules,
// the tray icon's mouse messages and the window's Close.
#include "TolvexSMain.h"
#include "ui_TolvexSMain.h"
#include <QAction>
#include <QCloseEvent>
#include <QCursor>
#include <QMenu>
#include <QScreen>

using namespace tolvex;

void TolvexSMain::Form_Resize()
{
    const bool minimised = isMinimised();
    if (minimised) {
        svc.tray.add(m_currentTrayIcon, QStringLiteral("Tolvex Slave"));
        hide();
    }
    mPopUpRestore->setVisible(minimised);
    mPopUpMin->setVisible(!minimised);
    if (st.RunState != 2) {
        const bool normal = isNormalState() && !minimised;
        st.WindowToggled = (minimised && cfg.StartMin == 1) || (normal && cfg.StartMin == 2);
    }
}

void TolvexSMain::ShowMainWindow()
{
    if (isMinimised() || isHidden()) {
        setWindowState(windowState() & ~Qt::WindowMinimized);
        show();
        if (st.CentreOnShow) {
            if (const QScreen *screen = this->screen()) {
                const QRect r = screen->geometry();
                move(r.width() / 2 - width() / 2, r.height() / 2 - height() / 2);
            }
            st.CentreOnShow = false;
        }
        ui->Park->setFocus();
    }
    const bool topmost = cfg.RunOnTop == 2 || st.RunState == 2;
    if (bool(windowFlags() & Qt::WindowStaysOnTopHint) != topmost) {
        setWindowFlag(Qt::WindowStaysOnTopHint, topmost);
        show();
    }
}

void TolvexSMain::Form_Activate()
{
    const bool topmost = cfg.RunOnTop == 2;
    if (bool(windowFlags() & Qt::WindowStaysOnTopHint) != topmost) {
        setWindowFlag(Qt::WindowStaysOnTopHint, topmost);
        show();
    }
    if (isMinimised())
        hide();
    if (st.NotConfigured) {
        ui->Reset->setEnabled(false);
        ui->TestS->setEnabled(false);
        mPopUpTest->setEnabled(false);
        mPopUpReset->setEnabled(false);
    }
    mPopUpExit->setEnabled(IsAdmin() || cfg.UserExitA == 2);
}

// The tray icon's mouse messages: 515 a double click, 516 the right button.
void TolvexSMain::Form_MouseMove(int message)
{
    if (message == 515) {
        ShowMainWindow();
        const bool minimised = isMinimised();
        st.WindowToggled = (isNormalState() && !minimised && cfg.StartMin == 2 && st.RunState != 2)
            || (minimised && cfg.StartMin == 1);
    } else if (message == 516) {
        if (!st.WindowToggled) {
            raise();
            activateWindow();
        }
        MenuPopUp->popup(QCursor::pos());
    }
}

void TolvexSMain::setCloseAllowed(bool allowed)
{
    m_closeAllowed = allowed;
    if (bool(windowFlags() & Qt::WindowCloseButtonHint) != allowed) {
        const bool wasVisible = isVisible();
        setWindowFlag(Qt::WindowCloseButtonHint, allowed);
        if (wasVisible)
            show();
    }
}

void TolvexSMain::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        Form_Resize();
    else if (event->type() == QEvent::ActivationChange && isActiveWindow())
        Form_Activate();
}

void TolvexSMain::closeEvent(QCloseEvent *event)
{
    // Users who may not exit get no Close; for everybody else closing ends the program.
    if (!m_closeAllowed) {
        event->ignore();
        return;
    }
    event->accept();
    Form_Unload();
}

namespace mdMisc {
void DisableFormClose(TolvexSMain &m, bool allow)
{
    m.setCloseAllowed(allow);
}
} // namespace mdMisc
