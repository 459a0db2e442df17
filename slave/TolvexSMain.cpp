#include "TolvexSMain.h"
#include "CommandLine.h"
#include "FatalChecks.h"
#include "Priorities.h"
#include "TrayPictures.h"
#include "UdpEndpoint.h"
#include "ui_TolvexSMain.h"
#include <QMenu>
#include <QTimer>

using namespace tolvex;

namespace {
const QString kTrayTip = QStringLiteral("Tolvex Slave");
constexpr int kTrayDoubleClick = 515;
constexpr int kTrayRightButton = 516;
} // namespace

TolvexSMain::TolvexSMain(ProgramServices services, QString cmdLine, Options options, QWidget *parent)
    : QWidget(parent),
      svc(std::move(services)),
      commandLine(std::move(cmdLine)),
      ui(std::make_unique<Ui::TolvexSMain>()),
      udpServ(std::make_unique<UdpEndpoint>()),
      m_manualTimer(options.manualTimer)
{
    ui->setupUi(this);

    tmrRefresh = new QTimer(this);
    tmrRefresh->setObjectName(QStringLiteral("tmrRefresh"));
    tmrRefresh->setInterval(1000);
    udpServ->setObjectName(QStringLiteral("udpServ"));
    udpServ->setArrivalHandler([this] { udpServ_DataArrival(); });

    m_windowIcon = roundPicture(QColor(0x80, 0x80, 0x80));
    m_activateIcon = roundPicture(QColor(0x30, 0x60, 0xE0));
    m_activityIcon = roundPicture(QColor(0x20, 0xA0, 0x40));
    m_shutdownIcon = roundPicture(QColor(0xE0, 0x40, 0x20));
    setWindowIcon(m_windowIcon);
    ui->ActivateIcon->setPixmap(m_activateIcon.pixmap(16, 16));
    ui->ActivityIcon->setPixmap(m_activityIcon.pixmap(16, 16));
    ui->ShutdownIcon->setPixmap(m_shutdownIcon.pixmap(16, 16));
    ui->Logo->setPixmap(m_activateIcon.pixmap(40, 40));
    m_currentTrayIcon = m_activateIcon;

    buildPopupMenu();
    connectControls();
}

TolvexSMain::~TolvexSMain()
{
    svc.tray.setMouseHandler(nullptr);
}

void TolvexSMain::buildPopupMenu()
{
    MenuPopUp = new QMenu(QStringLiteral("Tolvex Slave"), this);
    MenuPopUp->setObjectName(QStringLiteral("MenuPopUp"));
    auto add = [this](const char *name, const QString &caption) {
        QAction *a = MenuPopUp->addAction(caption);
        a->setObjectName(QLatin1String(name));
        return a;
    };
    mPopUpAbout = add("mPopUpAbout", QStringLiteral("About Tolvex Slave"));
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
    mPopUpExit = add("mPopUpExit", QStringLiteral("Close Tolvex Slave"));
    mPopUpExit->setEnabled(false);
}

void TolvexSMain::connectControls()
{
    connect(tmrRefresh, &QTimer::timeout, this, &TolvexSMain::tmrRefresh_Timer);
    connect(ui->Reset, &QAbstractButton::clicked, this, &TolvexSMain::Reset_Click);
    connect(ui->TestS, &QAbstractButton::clicked, this, &TolvexSMain::TestS_Click);
    connect(ui->Exit, &QAbstractButton::clicked, this, &TolvexSMain::Exit_Click);
    connect(mPopUpReset, &QAction::triggered, this, &TolvexSMain::Reset_Click);
    connect(mPopUpCancel, &QAction::triggered, this, &TolvexSMain::Reset_Click);
    connect(mPopUpTest, &QAction::triggered, this, &TolvexSMain::TestS_Click);
    connect(mPopUpExit, &QAction::triggered, this, &TolvexSMain::Exit_Click);
    connect(mPopUpMin, &QAction::triggered, this, [this] { setWindowState(windowState() | Qt::WindowMinimized); });
    connect(mPopUpRestore, &QAction::triggered, this, [this] {
        ShowMainWindow();
        st.WindowToggled = (isMinimised() && cfg.StartMin == 1)
            || (isNormalState() && !isMinimised() && cfg.StartMin == 2 && st.RunState != 2);
    });
    svc.tray.setMouseHandler([this](int message) { Form_MouseMove(message); });
}

LogSettings TolvexSMain::logSettings() const
{
    return LogSettings{cfg.LogLevel, cfg.LogPath, cfg.LogName, cfg.LogR_On};
}

void TolvexSMain::setTimerEnabled(bool enabled)
{
    m_timerEnabled = enabled;
    if (m_manualTimer)
        return;
    if (enabled && !tmrRefresh->isActive())
        tmrRefresh->start();
    else if (!enabled)
        tmrRefresh->stop();
}

bool TolvexSMain::isMinimised() const
{
    return windowState() & Qt::WindowMinimized;
}

bool TolvexSMain::isNormalState() const
{
    return !(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized));
}

// The slave reads its switch before its configuration, so that a fatal box of the
// first read already counts the errors.
void TolvexSMain::Form_Load()
{
    mdInit::CheckDirectory(*this, QStringLiteral("data"));
    st.CommandMode = cmdline::commandMode(commandLine);
    raiseProcessPriorities();
    st.WindowToggled = false;
    mdInit::Initialise(*this);
    mdInit::ResetRun(*this);
    mdInit::CheckLogDirectory(*this, cfg.LogPath);
    mdInit::StartLogFile(*this, logSettings());
    if (cfg.LogLevel > 1) {
        mdInit::WriteLogLine(*this, QString(), QString());
        mdInit::WriteLogHeader(*this, logSettings(), 0, st.LogText);
        if (st.NotConfigured)
            mdInit::WriteLogLine(*this, QStringLiteral("UnConfig"), QStringLiteral("********"));
    }
    SetTrayIcon(QStringLiteral("Start"));
    mdInit::ShowStatusText(*this);
    st.DialogOpen = false;
    st.UpdaterBusy = false;
    st.CentreOnShow = false;
    if (isMinimised())
        hide();
    if (cfg.StartMin == 2)
        st.CentreOnShow = true;
}

// `exitLine` decides what a failing "Exit" line does; the program ends either way.
void TolvexSMain::Form_Unload(mdInit::LogFailure exitLine)
{
    setTimerEnabled(false);
    if (!st.NotConfigured && cfg.LogLevel >= 2) {
        const QString detail = st.RunState == 2 ? st.ActionName
                               : st.RunState == 1 ? QStringLiteral("Run")
                                                  : QStringLiteral("Initialise");
        mdInit::WriteLogLine(*this, QStringLiteral("Exit"), detail, exitLine);
    }
    udpServ->close();
    svc.tray.remove();
    svc.end.endProgram(0);
}

void TolvexSMain::Exit_Click()
{
    Form_Unload();
}

void TolvexSMain::SetTrayIcon(const QString &trayState)
{
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
        svc.tray.add(icon, kTrayTip);
    else
        svc.tray.modify(icon, kTrayTip);
}
