#include "TolvexMMain.h"
#include "CommandLine.h"
#include "FatalChecks.h"
#include "MasterLink.h"
#include "Priorities.h"
#include "StatusSetters.h"
#include "UpdateQuery.h"
#include "UpdateWindowHost.h"
#include "ui_TolvexMMain.h"
#include <QAction>

using namespace tolvex;

TolvexMMain::TolvexMMain(ProgramServices services, QString cmdLine, Options options, QWidget *parent)
    : MonitorWindow(std::move(services), std::move(cmdLine), options,
                    Identity{QStringLiteral("Tolvex"), QStringLiteral("Tolvex Master"), 500}, parent),
      ui(std::make_unique<Ui::TolvexMMain>())
{
    ui->setupUi(this);
    Comp = {ui->Comp_0, ui->Comp_1, ui->Comp_2, ui->Comp_3, ui->Comp_4};
    Shut1 = {ui->Shut1_0, ui->Shut1_1, ui->Shut1_2, ui->Shut1_3, ui->Shut1_4};
    Type1 = {ui->Type1_0, ui->Type1_1, ui->Type1_2, ui->Type1_3, ui->Type1_4};

    setUpWindow(Controls{ui->About, ui->Config, ui->Reset, ui->TestS, ui->Update, ui->Exit, ui->Park,
                         ui->ActivateIcon, ui->ActivityIcon, ui->ShutdownIcon, ui->Logo});

    link = std::make_unique<MasterLink>(*this);
    updates->keepScheduleIn(&st.NextUpdateCheck);
}

TolvexMMain::~TolvexMMain() = default;

bool TolvexMMain::writeLog(const QString &event, const QString &detail, mdInit::LogFailure onFailure)
{
    return mdInit::WriteLogLine(*this, event, detail, onFailure);
}

void TolvexMMain::setCounterText(const QString &text)
{
    setTextIfChanged(ui->Counter, text);
}

void TolvexMMain::closeLink()
{
    link->closeAll();
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
    st.NextUpdateCheck = svc.clock.now().addSecs(3);
    st.CentreOnShow = false;
    if (isMinimised() && svc.tray.isAvailable())
        hide();
    if (cfg.StartMin == 2)
        st.CentreOnShow = true;
}

// The daily update check, run by the monitoring cycle every second: loaded hidden, it
// shows itself only when it finds a newer version.
void TolvexMMain::CheckUpdateSchedule()
{
    const QDateTime now = svc.clock.now();
    if (!update::checkDue(st.CommandMode, now, st.NextUpdateCheck, cfg.Update_On, st.UpdaterBusy))
        return;
    updates->beginCheck(false);
    updates->load(false);
    st.NextUpdateCheck = update::nextCheckAfter(now, st.CommandMode);
}
