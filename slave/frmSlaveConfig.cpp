#include "frmSlaveConfig.h"
#include "ConfigFile.h"
#include "TolvexVersion.h"
#include "ui_frmSlaveConfig.h"
#include <QTimer>

using namespace tolvex;

namespace {

ConfigScreen::Texts slaveTexts()
{
    ConfigScreen::Texts t;
    t.product = QStringLiteral("Tolvex Slave");
    t.configFile = QStringLiteral("TolvexS.ini");
    t.writeErrorLine = QStringLiteral("Unable to write to the configuration file. TolvexS.ini");
    t.delayNote = QStringLiteral("seconds (min 1, max 3600)");
    t.shutNames = {QStringLiteral("Power Off"), QStringLiteral("Reboot"),    QStringLiteral("Shutdown"),
                   QStringLiteral("Monitor"),   QStringLiteral("Hibernate"), QStringLiteral("Standby"),
                   QStringLiteral("Log Off")};
    t.shutResetFirst = false;
    return t;
}

} // namespace

frmSlaveConfig::frmSlaveConfig(ConfigScreenHost &screenHost, const SlaveConfig &runningConfig, QWidget *parent)
    : ConfigScreen(screenHost, runningConfig, slaveTexts(), parent),
      ui(std::make_unique<Ui::frmSlaveConfig>()),
      m_running(runningConfig)
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("frmConfig"));
    setUpScreen({ui->ActivationPanel, ui->ControlPanel, ui->ShutdownPanel, ui->CommunicationsPanel});
}

frmSlaveConfig::~frmSlaveConfig() = default;

QString frmSlaveConfig::caption() const
{
    return QStringLiteral("Tolvex Slave Configuration");
}

void frmSlaveConfig::openingSteps()
{
    SetButtonTips();
}

void frmSlaveConfig::Data_Load()
{
    const SlaveConfig &r = m_running;
    c.CPUDelayT->setText(QString::number(r.CPUDelay));
    setFlag(c.DNameT, r.DName);
    setFlag(c.ForceT, r.Force);
    ui->IPAddT->setText(r.IPAdd);
    c.LogNameT->setText(r.LogName);
    c.LogPathT->setText(r.LogPath);
    setFlag(c.LogR_OnT, r.LogR_On);
    setFlag(c.NoWarnT, r.NoWarn);
    c.Port1T->setText(QString::number(r.Port1));
    c.Port2T->setText(QString::number(r.Port2));
    setFlag(c.RunOnTopT, r.RunOnTop);
    setFlag(c.StartMinT, r.StartMin);
    c.ShutTimeT->setText(QString::number(r.ShutTime));
    if (r.StartTime == 1)
        c.StartDelayT->setText(QString::number(r.StartDelay));
    else if (r.StartTime == 2)
        c.StartDelayT->setText(timeText(r.StartDelay));
    setFlag(c.StartTimeT, r.StartTime);
    setFlag(c.Stop_OnT, r.Stop_On);
    c.StopTimeT->setText(timeText(r.StopTime));
    setFlag(c.UExitT, r.UserExitA);
    loadLists(r);
    Signature = BuildValueString();
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

int frmSlaveConfig::ValidateFields()
{
    ClearHighlights();
    ReadShutType();
    readLogLevel(true);

    // The master's address is required in both modes.
    const QString address = ui->IPAddT->text();
    int failures = 0;
    if (!c.DNameT->isChecked() && !mdIPCheck::IsIPAddress(address))
        ++failures;
    if (c.DNameT->isChecked() && (address.isEmpty() || hostNameFails(address)))
        ++failures;
    if (failures > 0)
        setMarked({ui->IPAddM});

    failures += commonChecks();
    announceFailures(failures);
    return failures;
}

void frmSlaveConfig::ClearHighlights()
{
    clearMarkers({ui->IPAddM, c.CPUDelayM, c.LogLevelM, c.LogNameM, c.LogPathM, c.Port1M, c.ShutTimeM, c.ShutTypeM,
                  c.StartDelayM, c.StopTimeM});
    c.ShutTypeM->clear();
    UpdateFieldStates();
}

void frmSlaveConfig::Restore_Click()
{
    const SlaveConfig d = slaveScreenDefaults();
    c.CPUDelayT->setText(QString::number(d.CPUDelay));
    setFlag(c.ForceT, d.Force);
    c.LogLevelT->setCurrentIndex(c.LogLevelT->findText(QStringLiteral("Normal")));
    c.LogNameT->setText(d.LogName);
    c.LogPathT->setText(d.LogPath);
    setFlag(c.LogR_OnT, d.LogR_On);
    setFlag(c.NoWarnT, d.NoWarn);
    c.Port1T->setText(QString::number(d.Port1));
    c.Port2T->setText(QString::number(d.Port2));
    setFlag(c.RunOnTopT, d.RunOnTop);
    c.ShutTimeT->setText(QString::number(d.ShutTime));
    setFlag(c.StartMinT, d.StartMin);
    c.ShutNameT->setCurrentIndex(c.ShutNameT->findText(QStringLiteral("Power Off")));
    c.StartDelayT->setText(QString::number(d.StartDelay));
    setFlag(c.StartTimeT, d.StartTime);
    c.StopTimeT->setText(timeText(d.StopTime));
    setFlag(c.Stop_OnT, d.Stop_On);
    setFlag(c.UExitT, d.UserExitA);
    // The master's address and the address mode stay as they are.
    ClearHighlights();
    c.Status->setText(QStringLiteral("Defaults Restored - Click Save To Keep"));
    Timer2->start();
    parkFocus();
    c.ExitConfig->setText(QStringLiteral("&Exit"));
}

// Runs while loading too.
void frmSlaveConfig::DNameT_Click()
{
    ClearHighlights();
    ReadShutType();
}

QString frmSlaveConfig::screenFileText(const QDateTime &savedAt) const
{
    SlaveConfig rec;
    readCommonValues(rec);
    rec.IPAdd = ui->IPAddT->text();
    return slaveConfigFileText(rec, kVersionMajor, kVersionMinor, savedAt);
}

// The slave gives the main window its controls back before the screen goes, and
// clears the dialog flag only after applying.
void frmSlaveConfig::leaveScreen()
{
    ConfigScreenHost &h = host;
    h.restoreMainControls();
    unload();
    if (h.configSaved() || h.notConfigured())
        h.applyConfiguration();
    h.dialogOpen() = false;
}
