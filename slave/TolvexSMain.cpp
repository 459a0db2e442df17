#include "TolvexSMain.h"
#include "CommandLine.h"
#include "FatalChecks.h"
#include "Priorities.h"
#include "StatusSetters.h"
#include "UdpEndpoint.h"
#include "ui_TolvexSMain.h"
#include <QAction>

using namespace tolvex;

TolvexSMain::TolvexSMain(ProgramServices services, QString cmdLine, Options options, QWidget *parent)
    : MonitorWindow(std::move(services), std::move(cmdLine), options,
                    Identity{QStringLiteral("Tolvex Slave"), QStringLiteral("Tolvex Slave"), 1000, true}, parent),
      ui(std::make_unique<Ui::TolvexSMain>()),
      udpServ(std::make_unique<UdpEndpoint>())
{
    ui->setupUi(this);
    udpServ->setObjectName(QStringLiteral("udpServ"));
    udpServ->setArrivalHandler([this](const QString &datagram) { udpServ_DataArrival(datagram); });

    setUpWindow(Controls{ui->About, ui->Config, ui->Reset, ui->TestS, ui->Update, ui->Exit, ui->Park,
                         ui->ActivateIcon, ui->ActivityIcon, ui->ShutdownIcon, ui->Logo});
}

TolvexSMain::~TolvexSMain() = default;

bool TolvexSMain::writeLog(const QString &event, const QString &detail, mdInit::LogFailure onFailure)
{
    return mdInit::WriteLogLine(*this, event, detail, onFailure);
}

void TolvexSMain::setCounterText(const QString &text)
{
    setTextIfChanged(ui->Counter, text);
}

void TolvexSMain::closeLink()
{
    udpServ->close();
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
    if (isMinimised() && svc.tray.isAvailable())
        hide();
    if (cfg.StartMin == 2)
        st.CentreOnShow = true;
}
