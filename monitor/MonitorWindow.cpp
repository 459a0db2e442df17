#include "MonitorWindow.h"
#include "TrayPictures.h"
#include "UpdateWindowHost.h"
#include "WindowHelpers.h"
#include "frmAbout.h"
#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

namespace tolvex {

MonitorWindow::MonitorWindow(ProgramServices services, QString cmdLine, Options options, Identity identity,
                             QWidget *parent)
    : QWidget(parent),
      svc(std::move(services)),
      commandLine(std::move(cmdLine)),
      m_identity(std::move(identity)),
      m_manualTimer(options.manualTimer)
{
    tmrRefresh = new QTimer(this);
    tmrRefresh->setObjectName(QStringLiteral("tmrRefresh"));
    tmrRefresh->setInterval(m_identity.timerMs);
    // The polls and the one-second cycle keep their beat to the millisecond: a coarse
    // timer may move each time-out by 5% of its interval, which eats into the margin
    // the master and the slaves allow each other.
    tmrRefresh->setTimerType(Qt::PreciseTimer);
    connect(tmrRefresh, &QTimer::timeout, this, [this] { tmrRefresh_Timer(); });
    m_windowIcon = roundPicture(QColor(0x80, 0x80, 0x80));
    setWindowIcon(m_windowIcon);
    buildPopupMenu();
}

MonitorWindow::~MonitorWindow()
{
    svc.tray.setMouseHandler(nullptr);
    updates.reset();
    m_about.reset();
}

void MonitorWindow::setUpWindow(const Controls &controls)
{
    ctl = controls;
    m_activateIcon = logoPicture();
    m_activityIcon = roundPicture(QColor(0x20, 0xA0, 0x40));
    m_shutdownIcon = roundPicture(QColor(0xE0, 0x40, 0x20));
    m_currentTrayIcon = m_activateIcon;
    ctl.ActivateIcon->setPixmap(m_activateIcon.pixmap(16, 16));
    ctl.ActivityIcon->setPixmap(m_activityIcon.pixmap(16, 16));
    ctl.ShutdownIcon->setPixmap(m_shutdownIcon.pixmap(16, 16));
    ctl.Logo->setPixmap(m_activateIcon.pixmap(40, 40));
    connect(ctl.Reset, &QAbstractButton::clicked, this, [this] { Reset_Click(); });
    connect(ctl.TestS, &QAbstractButton::clicked, this, [this] { TestS_Click(); });
    connect(ctl.Exit, &QAbstractButton::clicked, this, &MonitorWindow::Exit_Click);
    connect(ctl.About, &QAbstractButton::clicked, this, &MonitorWindow::About_Click);
    connect(mPopUpAbout, &QAction::triggered, this, &MonitorWindow::About_Click);
    onLabelClick(ctl.Logo, [this] { Logo_Click(); });
    connect(ctl.Config, &QAbstractButton::clicked, this, &MonitorWindow::Config_Click);
    connect(mPopUpConfig, &QAction::triggered, this, &MonitorWindow::Config_Click);
    connect(mPopUpReset, &QAction::triggered, this, [this] { Reset_Click(); });
    connect(mPopUpCancel, &QAction::triggered, this, [this] { Reset_Click(); });
    connect(mPopUpTest, &QAction::triggered, this, [this] { TestS_Click(); });
    connect(mPopUpExit, &QAction::triggered, this, &MonitorWindow::Exit_Click);
    connect(mPopUpMin, &QAction::triggered, this, [this] { setWindowState(windowState() | Qt::WindowMinimized); });
    connect(mPopUpRestore, &QAction::triggered, this, [this] {
        ShowMainWindow();
        updateWindowToggled();
    });
    svc.tray.setMouseHandler([this](int message) { Form_MouseMove(message); });
    updates = std::make_unique<UpdateWindowHost>(*this);
    connect(ctl.Update, &QAbstractButton::clicked, this, &MonitorWindow::Update_Click);
    connect(mPopUpUpdate, &QAction::triggered, this, &MonitorWindow::Update_Click);
}

void MonitorWindow::buildPopupMenu()
{
    MenuPopUp = new QMenu(m_identity.menuWord, this);
    MenuPopUp->setObjectName(QStringLiteral("MenuPopUp"));
    auto add = [this](const char *name, const QString &caption) {
        QAction *a = MenuPopUp->addAction(caption);
        a->setObjectName(QLatin1String(name));
        return a;
    };
    mPopUpAbout = add("mPopUpAbout", QStringLiteral("About ") + m_identity.menuWord);
    MenuPopUp->addSeparator()->setObjectName(QStringLiteral("mPopUpLine1"));
    mPopUpCancel = add("mPopUpCancel", QStringLiteral("Cancel"));
    mPopUpCancel->setVisible(false);
    mPopUpConfig = add("mPopUpConfig", QStringLiteral("Configure"));
    mPopUpConfig->setEnabled(false);
    mPopUpMin = add("mPopUpMin", QStringLiteral("Minimise"));
    mPopUpReset = add("mPopUpReset", QStringLiteral("Reset"));
    mPopUpRestore = add("mPopUpRestore", QStringLiteral("Restore"));
    mPopUpRestore->setVisible(false); // shown only while the window is minimised
    mPopUpTest = add("mPopUpTest", QStringLiteral("Test"));
    mPopUpTest->setEnabled(false);
    mPopUpUpdate = add("mPopUpUpdate", QStringLiteral("Update"));
    MenuPopUp->addSeparator()->setObjectName(QStringLiteral("mPopUpLine2"));
    mPopUpExit = add("mPopUpExit", QStringLiteral("Close ") + m_identity.menuWord);
    if (m_identity.slave)
        mPopUpExit->setEnabled(false); // the slave's item starts disabled
    connect(MenuPopUp, &QMenu::aboutToShow, this, &MonitorWindow::applyMenuRights);
}

LogSettings MonitorWindow::logSettings() const
{
    const CommonConfig &cfg = common();
    return LogSettings{cfg.LogLevel, cfg.LogPath, cfg.LogName, cfg.LogR_On};
}

bool MonitorWindow::appendLogLine(const QString &line, mdInit::LogFailure onFailure)
{
    if (m_deferLogFailures)
        onFailure = mdInit::LogFailure::Report;
    const bool written = mdInit::AppendLogLine(*this, logSettings(), line, onFailure);
    if (!written)
        m_logFailed = true;
    return written;
}

void MonitorWindow::setTimerEnabled(bool enabled)
{
    if (enabled && !m_timerEnabled)
        ++m_timerStarts;
    m_timerEnabled = enabled;
    if (m_manualTimer)
        return;
    if (enabled && !tmrRefresh->isActive())
        tmrRefresh->start();
    else if (!enabled)
        tmrRefresh->stop();
}

bool MonitorWindow::isMinimised() const
{
    return windowState() & Qt::WindowMinimized;
}

bool MonitorWindow::isNormalState() const
{
    return !(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized));
}

void MonitorWindow::Form_Unload(mdInit::LogFailure exitLine)
{
    const MonitorState &st = state();
    setTimerEnabled(false);
    endLogDeferral(); // closing in a countdown reports a log failure noted in it
    if (!st.NotConfigured && common().LogLevel >= 2)
        writeLog(QStringLiteral("Exit"), runStateWord(), exitLine);
    closeAbout();
    closeConfigScreen();
    closeLink();
    svc.tray.remove();
    svc.end.endProgram(0);
}

void MonitorWindow::SetTrayIcon(const QString &trayState)
{
    if (trayState == QLatin1String("Activity"))
        m_currentTrayIcon = m_activityIcon;
    else if (trayState == QLatin1String("NoActivity"))
        m_currentTrayIcon = m_windowIcon;
    else if (trayState == QLatin1String("Activate") || trayState == QLatin1String("Start"))
        m_currentTrayIcon = m_activateIcon;
    else if (trayState == QLatin1String("Shutdown"))
        m_currentTrayIcon = m_shutdownIcon;
    // any other state keeps the picture it had
    if (trayState == QLatin1String("Start"))
        svc.tray.add(m_currentTrayIcon, m_identity.product);
    else
        svc.tray.modify(m_currentTrayIcon, m_identity.product);
}

void MonitorWindow::setCloseAllowed(bool allowed)
{
    m_closeAllowed = allowed;
}

void MonitorWindow::closeEvent(QCloseEvent *event)
{
    // Users who may not exit get no Close; for everybody else closing ends the program.
    if (!m_closeAllowed) {
        event->ignore();
        return;
    }
    event->accept();
    Form_Unload();
}

} // namespace tolvex
