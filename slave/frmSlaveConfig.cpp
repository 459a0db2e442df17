// The slave's configuration screen: its one master address, its field states, value
// string and checks, and "Tolvex Slave" wherever the master's screen names its program.
#include "frmSlaveConfig.h"
#include "ConfigFile.h"
#include "TolvexVersion.h"
#include "ui_frmSlaveConfig.h"

using namespace tolvex;

namespace {

ConfigScreen::Traits slaveTraits()
{
    ConfigScreen::Traits t;
    t.product = QStringLiteral("Tolvex Slave");
    t.configFile = QStringLiteral("TolvexS.ini");
    t.writeErrorLine = QStringLiteral("Unable to write to the configuration file. TolvexS.ini");
    t.delayNote = QStringLiteral("seconds (min 1, max 3600)");
    t.shutNames = {QStringLiteral("Power Off"), QStringLiteral("Reboot"),    QStringLiteral("Shutdown"),
                   QStringLiteral("Monitor"),   QStringLiteral("Hibernate"), QStringLiteral("Standby"),
                   QStringLiteral("Log Off")};
    t.defaults = slaveScreenDefaults();
    t.shutResetFirst = false;
    t.logLevelResetFirst = true;
    t.checkStartsTimeOut = false;
    t.tipsOnOpening = true;
    t.dNameWhileLoading = true;
    t.restoreBeforeUnload = true;
    return t;
}

} // namespace

frmSlaveConfig::frmSlaveConfig(ConfigScreenHost &screenHost, const SlaveConfig &runningConfig, QWidget *parent)
    : ConfigScreen(screenHost, runningConfig, slaveTraits(), parent),
      ui(std::make_unique<Ui::frmSlaveConfig>()),
      m_running(runningConfig)
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("frmConfig"));
    setUpScreen({ui->ActivationPanel, ui->ControlPanel, ui->ShutdownPanel, ui->CommunicationsPanel});
}

frmSlaveConfig::~frmSlaveConfig() = default;

void frmSlaveConfig::loadOwnValues()
{
    ui->IPAddT->setText(m_running.IPAdd);
}

void frmSlaveConfig::UpdateFieldStates()
{
    if (c.DNameT->isChecked()) {
        c.IPAddL->setText(QStringLiteral("Domain Name"));
        ui->IPAddT->setToolTip(QStringLiteral("Domain name of computer to communicate with (less than 100 characters)"));
        ui->IPAddM->setText(QStringLiteral("(a valid domain name)"));
    } else {
        c.IPAddL->setText(QStringLiteral("IP Address"));
        ui->IPAddT->setToolTip(QStringLiteral("IP Address of computer to communicate with"));
        ui->IPAddM->setText(QStringLiteral("(A valid IP address)"));
    }
    commonFieldStates();
}

QString frmSlaveConfig::BuildValueString() const
{
    return QStringList{valueItem(c.CPUDelayT->text()),   stateText(c.DNameT),
                       valueItem(ui->IPAddT->text()),    stateText(c.ForceT),
                       valueItem(c.LogNameT->text()),    valueItem(c.LogPathT->text()),
                       stateText(c.LogR_OnT),            valueItem(c.Port1T->text()),
                       valueItem(c.Port2T->text()),      stateText(c.RunOnTopT),
                       stateText(c.StartMinT),           valueItem(c.ShutTimeT->text()),
                       valueItem(c.StartDelayT->text()), stateText(c.StartTimeT),
                       valueItem(c.StopTimeT->text()),   stateText(c.Stop_OnT),
                       stateText(c.UExitT),              stateText(c.NoWarnT),
                       QString::number(LogLevelIndex),   QString::number(ShutTypeIndex)}
        .join(QLatin1Char(','));
}

// The master's address is required in both modes, judged as the reader will take it
// back: one of blanks only is an empty one there.
int frmSlaveConfig::fieldChecks()
{
    const QString address = asReadBack(ui->IPAddT->text());
    const bool names = c.DNameT->isChecked();
    int failures = failIf(!names && !mdIPCheck::IsIPAddress(address), {ui->IPAddM});
    failures += failIf(names && (address.isEmpty() || hostNameFails(address)), {ui->IPAddM});
    return failures + commonChecks();
}

// The address column's caption is never marked.
QList<QLabel *> frmSlaveConfig::ownMarkers() const
{
    return {ui->IPAddM};
}

QString frmSlaveConfig::screenFileText(const QDateTime &savedAt) const
{
    SlaveConfig rec;
    readCommonValues(rec);
    rec.IPAdd = ui->IPAddT->text();
    return slaveConfigFileText(rec, kVersionMajor, kVersionMinor, savedAt);
}
