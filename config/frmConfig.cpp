#include "frmConfig.h"
#include "ConfigFile.h"
#include "TolvexVersion.h"
#include "ui_frmConfig.h"
#include <QTimer>

using namespace tolvex;

namespace {

ConfigScreen::Texts masterTexts(ConfigScreenHost &host)
{
    ConfigScreen::Texts t;
    t.product = host.programHost().productTitle();
    t.configFile = QStringLiteral("TolvexM.ini");
    t.writeErrorLine = QStringLiteral("Unable to write to the configuration file.");
    t.delayNote = QStringLiteral("sec (min 1, max 3600)");
    t.shutNames = {QStringLiteral("Power Off"), QStringLiteral("Reboot"),    QStringLiteral("Shutdown"),
                   QStringLiteral("Monitor"),   QStringLiteral("Hibernate"), QStringLiteral("StandBy"),
                   QStringLiteral("Log Off")};
    t.shutResetFirst = true;
    return t;
}

} // namespace

frmConfig::frmConfig(ConfigScreenHost &screenHost, const MasterConfig &runningConfig, QWidget *parent)
    : ConfigScreen(screenHost, runningConfig, masterTexts(screenHost), parent),
      ui(std::make_unique<Ui::frmConfig>()),
      m_running(runningConfig)
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("frmConfig"));
    CompT = {ui->CompT0, ui->CompT1, ui->CompT2, ui->CompT3, ui->CompT4};
    IPAddT = {nullptr, ui->IPAddT1, ui->IPAddT2, ui->IPAddT3, ui->IPAddT4};
    IPAddM = {ui->IPAddM0, ui->IPAddM1, ui->IPAddM2, ui->IPAddM3, ui->IPAddM4};
    setUpScreen({ui->ActivationPanel, ui->ControlPanel, ui->ShutdownPanel, ui->CommunicationsPanel});
    connect(ui->Del_OnT, &QCheckBox::stateChanged, this, &frmConfig::Del_OnT_Click);
}

frmConfig::~frmConfig() = default;

QString frmConfig::caption() const
{
    return texts.product + QStringLiteral(" Configuration");
}

void frmConfig::Data_Load()
{
    const MasterConfig &r = m_running;
    c.CPUDelayT->setText(QString::number(r.CPUDelay));
    setFlag(ui->Del_OnT, r.Del_On);
    ui->DelTimeT->setText(QString::number(r.DelTime));
    setFlag(c.DNameT, r.DName);
    setFlag(c.ForceT, r.Force);
    for (int i = 1; i <= 4; ++i)
        IPAddT[i]->setText(r.IPAdd[i]);
    for (int i = 0; i <= 4; ++i)
        CompT[i]->setText(r.CName[i]);
    c.LogNameT->setText(r.LogName);
    c.LogPathT->setText(r.LogPath);
    setFlag(c.LogR_OnT, r.LogR_On);
    setFlag(c.NoWarnT, r.NoWarn);
    c.Port1T->setText(QString::number(r.Port1));
    c.Port2T->setText(QString::number(r.Port2));
    setFlag(c.RunOnTopT, r.RunOnTop);
    setFlag(c.StartMinT, r.StartMin);
    c.ShutTimeT->setText(QString::number(r.ShutTime));
    setFlag(ui->Update_OnT, r.Update_On);
    // The delay goes in before the mode, so that the mode's handler finds a value
    // of its own kind.
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

void frmConfig::UpdateFieldStates()
{
    const bool names = c.DNameT->isChecked();
    c.IPAddL->setText(names ? QStringLiteral("Domain Name") : QStringLiteral("IP Address"));
    for (int i = 1; i <= 4; ++i) {
        const QString n = QString::number(i);
        QString tip;
        if (names)
            tip = QStringLiteral("Domain name of remote computer ") + n
                + QStringLiteral("  (Empty or a valid domain name - must be set if Remote Computer ") + n
                + QStringLiteral(" name is set)");
        else if (i == 1)
            tip = QStringLiteral("IP Address of remote computer 1  (A valid IP address)");
        else
            tip = QStringLiteral("IP Address of remote computer ") + n
                + QStringLiteral("  (Empty or a valid IP address - must be set if Remote Computer ") + n
                + QStringLiteral(" name is set)");
        IPAddT[i]->setToolTip(tip);
    }
    commonFieldStates();
    ui->DelTimeT->setEnabled(ui->Del_OnT->isChecked());
}

QString frmConfig::BuildValueString() const
{
    QStringList first{valueItem(c.CPUDelayT->text()), stateText(c.DNameT), stateText(c.ForceT)};
    for (int i = 1; i <= 4; ++i)
        first << valueItem(IPAddT[i]->text());
    for (int i = 0; i <= 4; ++i)
        first << valueItem(CompT[i]->text());
    first << valueItem(c.LogNameT->text()) << valueItem(c.LogPathT->text()) << stateText(c.LogR_OnT)
          << valueItem(c.Port1T->text()) << valueItem(c.Port2T->text()) << stateText(c.RunOnTopT)
          << stateText(c.StartMinT) << valueItem(c.ShutTimeT->text()) << valueItem(c.StartDelayT->text())
          << QString::number(LogLevelIndex) << QString::number(ShutTypeIndex) << stateText(c.Stop_OnT)
          << valueItem(c.StopTimeT->text()) << stateText(c.UExitT);
    const QStringList last{stateText(ui->Del_OnT), valueItem(ui->DelTimeT->text()), stateText(c.NoWarnT),
                           stateText(ui->Update_OnT)};
    return first.join(QLatin1Char(',')) + QStringLiteral(", ") + last.join(QStringLiteral(", "));
}

void frmConfig::Restore_Click()
{
    const MasterConfig d = masterScreenDefaults();
    c.CPUDelayT->setText(QString::number(d.CPUDelay));
    setFlag(ui->Del_OnT, d.Del_On);
    ui->DelTimeT->setText(QString::number(d.DelTime));
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
    setFlag(ui->Update_OnT, d.Update_On);
    // Names, addresses and the address mode stay as they are.
    ClearHighlights();
    UpdateFieldStates();
    c.Status->setText(QStringLiteral("Defaults Restored - Click Save To Keep"));
    Timer2->start();
    c.ExitConfig->setText(QStringLiteral("&Exit"));
    parkFocus();
}

void frmConfig::DNameT_Click()
{
    if (Loading)
        return;
    ClearHighlights();
    ReadShutType();
}

void frmConfig::Del_OnT_Click()
{
    if (!Loading)
        UpdateFieldStates();
}

QString frmConfig::screenFileText(const QDateTime &savedAt) const
{
    MasterConfig rec;
    readCommonValues(rec);
    for (int i = 0; i <= 4; ++i)
        rec.CName[i] = CompT[i]->text();
    for (int i = 1; i <= 4; ++i)
        rec.IPAdd[i] = IPAddT[i]->text();
    rec.Del_On = flagOf(ui->Del_OnT);
    rec.DelTime = int(wholeNumber(ui->DelTimeT));
    rec.Update_On = flagOf(ui->Update_OnT);
    return masterConfigFileText(rec, kVersionMajor, kVersionMinor, savedAt);
}

void frmConfig::leaveScreen()
{
    ConfigScreenHost &h = host;
    unload();
    if (!h.configSaved() && !h.notConfigured()) {
        h.dialogOpen() = false;
        return;
    }
    h.applyConfiguration();
}
