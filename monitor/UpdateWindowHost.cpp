#include "UpdateWindowHost.h"
#include "MonitorWindow.h"
#include "TolvexVersion.h"
#include "TrayPictures.h"
#include "mdMisc.h"
#include <QAction>
#include <QPushButton>

namespace tolvex {

UpdateWindowHost::UpdateWindowHost(MonitorWindow &window)
    : webRoot(QLatin1String(kWebRoot)),
      m_window(window)
{
}

UpdateWindowHost::~UpdateWindowHost()
{
    delete m_form.data();
}

void UpdateWindowHost::beginCheck(bool manual)
{
    // One check at a time: a window still loaded is closed first.
    if (frmUpdater *old = window())
        old->Form_Unload();
    m_window.controls().Update->setEnabled(false);
    m_window.mPopUpUpdate->setEnabled(false);
    m_window.state().UpdaterBusy = true;
    m_window.state().ManualCheck = manual;
}

void UpdateWindowHost::load(bool manual)
{
    m_form = new frmUpdater(*this, &m_window, windowOptions);
    m_form->setObjectName(QStringLiteral("frmUpdater"));
    m_form->Form_Load();
    if (manual)
        m_form->showOverProgram();
}

void UpdateWindowHost::inhibit(bool updateControl)
{
    if (updateControl) {
        if (frmUpdater *form = window())
            form->Form_Unload();
        m_window.controls().Update->setEnabled(false);
        m_window.mPopUpUpdate->setEnabled(false);
        m_window.state().UpdaterBusy = false;
    } else if (!m_window.state().UpdaterBusy) {
        m_window.controls().Update->setEnabled(true);
        m_window.mPopUpUpdate->setEnabled(true);
    }
}

frmUpdater *UpdateWindowHost::window() const
{
    return m_form && !m_form->unloaded() ? m_form.data() : nullptr;
}

ProgramHost &UpdateWindowHost::program()
{
    return m_window;
}

update::UpdaterSettings UpdateWindowHost::updaterSettings() const
{
    update::UpdaterSettings s;
    s.webRoot = webRoot;
    s.logPath = m_window.common().LogPath;
    s.commandMode = m_window.state().CommandMode;
    s.manualCheck = m_window.state().ManualCheck;
    s.slave = m_window.isSlave();
    return s;
}

void UpdateWindowHost::setNextUpdateCheck(const QDateTime &moment)
{
    if (m_nextUpdateCheck)
        *m_nextUpdateCheck = moment;
}

void UpdateWindowHost::openWebPage(const QString &page)
{
    mdMisc::OpenWebPage(m_window, page);
}

void UpdateWindowHost::updaterUnloaded()
{
    mdMisc::EnableUpdateControls(m_window);
    if (m_form)
        m_form->deleteLater();
}

QPixmap UpdateWindowHost::logo() const
{
    return logoPicture().pixmap(40, 40);
}

} // namespace tolvex
