#include "TolvexMMain.h"
#include "CommandLine.h"
#include "FatalChecks.h"
#include "MasterLink.h"
#include "Priorities.h"
#include "TrayPictures.h"
#include "UpdateSchedule.h"
#include "ui_TolvexMMain.h"
#include <QCloseEvent>
#include <QMenu>
#include <QScreen>
#include <QTimer>

using namespace tolvex;

TolvexMMain::TolvexMMain(ProgramServices services, QString cmdLine, Options options, QWidget *parent)
    : QWidget(parent),
      svc(std::move(services)),
      commandLine(std::move(cmdLine)),
      ui(std::make_unique<Ui::TolvexMMain>()),
      m_manualTimer(options.manualTimer)
{
    ui->setupUi(this);
    Comp = {ui->Comp_0, ui->Comp_1, ui->Comp_2, ui->Comp_3, ui->Comp_4};
    Shut1 = {ui->Shut1_0, ui->Shut1_1, ui->Shut1_2, ui->Shut1_3, ui->Shut1_4};
    Type1 = {ui->Type1_0, ui->Type1_1, ui->Type1_2, ui->Type1_3, ui->Type1_4};

    tmrRefresh = new QTimer(this);
    tmrRefresh->setObjectName(QStringLiteral("tmrRefresh"));
    tmrRefresh->setInterval(500);

    m_windowIcon = roundPicture(QColor(0x80, 0x80, 0x80));
    m_activateIcon = roundPicture(QColor(0x30, 0x60, 0xE0));
    m_activityIcon = roundPicture(QColor(0x20, 0xA0, 0x40));
    m_shutdownIcon = roundPicture(QColor(0xE0, 0x40, 0x20));
    setWindowIcon(m_windowIcon);
    ui->ActivateIcon->setPixmap(m_activateIcon.pixmap(16, 16));
    ui->ActivityIcon->setPixmap(m_activityIcon.pixmap(16, 16));
    ui->ShutdownIcon->setPixmap(m_shutdownIcon.pixmap(16, 16));
    ui->Logo->setPixmap(m_activateIcon.pixmap(40, 40));

    link = std::make_unique<MasterLink>(*this);
    buildPopupMenu();
    connectControls();
}

TolvexMMain::~TolvexMMain() = default;

void TolvexMMain::buildPopupMenu()
{
    MenuPopUp = new QMenu(QStringLiteral("Tolvex Master"), this);
    MenuPopUp->setObjectName(QStringLiteral("MenuPopUp"));
    auto add = [this](const char *name, const QString &caption) {
        QAction *a = MenuPopUp->addAction(caption);
        a->setObjectName(QLatin1String(name));
        return a;
    };
    mPopUpAbout = add("mPopUpAbout", QStringLiteral("About Tolvex Master"));
    MenuPopUp->addSeparator()->setObjectName(QStringLiteral("mPopUpLine1"));
    mPopUpCancel = add("mPopUpCancel", QStringLiteral("Cancel"));
    mPopUpCancel->setVisible(false);
    mPopUpConfig = add("mPopUpConfig", QStringLiteral("Configure"));
    mPopUpConfig->setEnabled(false);
    mPopUpMin = add("mPopUpMin", QStringLiteral("Minimise"));
    mPopUpReset = add("mPopUpReset", QStringLiteral("Reset"));
    mPopUpRestore = add("mPopUpRestore", QStringLiteral("Restore"));
    mPopUpTest = add("mPopUpTest", QStringLiteral("Test"));
    mPopUpTest->setEnabled(false);
    mPopUpUpdate = add("mPopUpUpdate", QStringLiteral("Update"));
    MenuPopUp->addSeparator()->setObjectName(QStringLiteral("mPopUpLine2"));
    mPopUpExit = add("mPopUpExit", QStringLiteral("Close Tolvex Master"));
}

void TolvexMMain::connectControls()
{
    connect(tmrRefresh, &QTimer::timeout, this, &TolvexMMain::tmrRefresh_Timer);
    connect(ui->Reset, &QAbstractButton::clicked, this, &TolvexMMain::Reset_Click);
    connect(ui->TestS, &QAbstractButton::clicked, this, &TolvexMMain::TestS_Click);
    connect(ui->Exit, &QAbstractButton::clicked, this, &TolvexMMain::Exit_Click);
    connect(mPopUpReset, &QAction::triggered, this, &TolvexMMain::Reset_Click);
    connect(mPopUpCancel, &QAction::triggered, this, &TolvexMMain::Reset_Click);
    connect(mPopUpTest, &QAction::triggered, this, &TolvexMMain::TestS_Click);
    connect(mPopUpExit, &QAction::triggered, this, &TolvexMMain::Exit_Click);
    connect(mPopUpMin, &QAction::triggered, this, [this] { setWindowState(windowState() | Qt::WindowMinimized); });
    connect(mPopUpRestore, &QAction::triggered, this, &TolvexMMain::ShowMainWindow);
}

LogSettings TolvexMMain::logSettings() const
{
    return LogSettings{cfg.LogLevel, cfg.LogPath, cfg.LogName, cfg.LogR_On};
}

void TolvexMMain::setTimerEnabled(bool enabled)
{
    m_timerEnabled = enabled;
    if (m_manualTimer)
        return;
    if (enabled && !tmrRefresh->isActive())
        tmrRefresh->start();
    else if (!enabled)
        tmrRefresh->stop();
}

bool TolvexMMain::isMinimised() const
{
    return windowState() & Qt::WindowMinimized;
}

bool TolvexMMain::isNormalState() const
{
    return !(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized));
}

void TolvexMMain::Form_Load()
{
    mdInit::Initialise(*this);
    mdInit::CheckDirectory(*this, QStringLiteral("data"));
    setWindowTitle(QStringLiteral("Tolvex"));
    st.CommandMode = cmdline::commandMode(commandLine);
    raiseProcessPriorities();
    mdInit::CheckLogDirectory(*this, cfg.LogPath);
    mdInit::StartLogFile(*this, logSettings());
    st.WindowToggled = false;
    mdInit::ResetRun(*this);
    mdInit::InitComms(*this);
    if (cfg.LogLevel > 1) {
        mdInit::WriteLogLine(*this, QString(), QString());
        mdInit::WriteLogHeader(*this, logSettings(), 0, st.LogText);
        if (st.NotConfigured)
            mdInit::WriteLogLine(*this, QStringLiteral("UnConfig"), QStringLiteral("********"));
    }
    mdInit::ShowStatusText(*this);
    mdInit::RefreshComputerList(*this);
    SetTrayIcon(QStringLiteral("Start"));
    st.UpdaterBusy = false;
    st.NextUpdateCheck = update::scheduleText(svc.clock.now().addSecs(3));
    st.CentreOnShow = false;
    if (isMinimised())
        hide();
    if (cfg.StartMin == 2)
        st.CentreOnShow = true;
}

void TolvexMMain::Form_Unload()
{
    setTimerEnabled(false);
    if (!st.NotConfigured && cfg.LogLevel >= 2) {
        const QString detail = st.RunState == 2 ? st.ActionName
                               : st.RunState == 1 ? QStringLiteral("Run")
                                                  : QStringLiteral("Initialise");
        mdInit::WriteLogLine(*this, QStringLiteral("Exit"), detail);
    }
    svc.tray.remove();
    svc.end.endProgram(0);
}

void TolvexMMain::Exit_Click()
{
    Form_Unload();
}

void TolvexMMain::SetTrayIcon(const QString &trayState)
{
    static const QString tip = QStringLiteral("Tolvex");
    QIcon icon;
    if (trayState == QLatin1String("Activity"))
        icon = m_activityIcon;
    else if (trayState == QLatin1String("NoActivity"))
        icon = m_windowIcon;
    else if (trayState == QLatin1String("Activate") || trayState == QLatin1String("Start"))
        icon = m_activateIcon;
    else if (trayState == QLatin1String("Shutdown"))
        icon = m_shutdownIcon;
    else
        icon = m_currentTrayIcon;
    m_currentTrayIcon = icon;
    if (trayState == QLatin1String("Start"))
        svc.tray.add(icon, tip);
    else
        svc.tray.modify(icon, tip);
}

void TolvexMMain::Form_Resize()
{
    const bool minimised = isMinimised();
    if (minimised) {
        svc.tray.add(m_currentTrayIcon, QStringLiteral("Tolvex"));
        hide();
    }
    mPopUpRestore->setVisible(minimised);
    mPopUpMin->setVisible(!minimised);
    if (st.RunState != 2) {
        const bool normal = isNormalState() && !minimised;
        st.WindowToggled = (minimised && cfg.StartMin == 1) || (normal && cfg.StartMin == 2);
    }
}

void TolvexMMain::ShowMainWindow()
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

void TolvexMMain::Form_Activate()
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

void TolvexMMain::setCloseAllowed(bool allowed)
{
    m_closeAllowed = allowed;
    if (bool(windowFlags() & Qt::WindowCloseButtonHint) != allowed) {
        const bool wasVisible = isVisible();
        setWindowFlag(Qt::WindowCloseButtonHint, allowed);
        if (wasVisible)
            show();
    }
}

void TolvexMMain::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        Form_Resize();
    else if (event->type() == QEvent::ActivationChange && isActiveWindow())
        Form_Activate();
}

void TolvexMMain::closeEvent(QCloseEvent *event)
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
void DisableFormClose(TolvexMMain &m, bool allow)
{
    m.setCloseAllowed(allow);
}
} // namespace mdMisc
