// The master's configuration screen: its own inputs (four remote computers, the
// fixed delay, the update check), their field states, value string and checks.
#include "frmConfig.h"
#include "ConfigFile.h"
#include "TolvexVersion.h"
#include "ui_frmConfig.h"

using namespace tolvex;

namespace {

ConfigScreen::Traits masterTraits(ConfigScreenHost &host)
{
    ConfigScreen::Traits t;
    t.product = host.programHost().productTitle();
    t.configFile = QStringLiteral("TolvexM.ini");
    t.writeErrorLine = QStringLiteral("Unable to write to the configuration file.");
    t.delayNote = QStringLiteral("sec (min 1, max 3600)");
    t.shutNames = {QStringLiteral("Power Off"), QStringLiteral("Reboot"),    QStringLiteral("Shutdown"),
                   QStringLiteral("Monitor"),   QStringLiteral("Hibernate"), QStringLiteral("StandBy"),
                   QStringLiteral("Log Off")};
    t.defaults = masterScreenDefaults();
    t.shutResetFirst = true;
    t.logLevelResetFirst = false;
    t.checkStartsTimeOut = true;
    t.tipsOnOpening = false;
    t.dNameWhileLoading = false;
    t.restoreBeforeUnload = false;
    return t;
}

} // namespace

frmConfig::frmConfig(ConfigScreenHost &screenHost, const MasterConfig &runningConfig, QWidget *parent)
    : ConfigScreen(screenHost, runningConfig, masterTraits(screenHost), parent),
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

// Its own inputs stand between the comms delay and the address mode; the update
// check's box has no handler, so it goes in with them.
void frmConfig::loadOwnValues()
{
    const MasterConfig &r = m_running;
    setFlag(ui->Del_OnT, r.Del_On);
    ui->DelTimeT->setText(QString::number(r.DelTime));
    for (int i = 1; i <= 4; ++i)
        IPAddT[i]->setText(r.IPAdd[i]);
    for (int i = 0; i <= 4; ++i)
        CompT[i]->setText(r.CName[i]);
    setFlag(ui->Update_OnT, r.Update_On);
}

void frmConfig::restoreOwnDefaults()
{
    const MasterConfig d = masterScreenDefaults();
    setFlag(ui->Del_OnT, d.Del_On);
    ui->DelTimeT->setText(QString::number(d.DelTime));
    setFlag(ui->Update_OnT, d.Update_On);
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

void frmConfig::Del_OnT_Click()
{
    if (!Loading)
        UpdateFieldStates();
}

// Names and addresses are judged as the reader will take them back: one of blanks
// only is an empty one there, and fails wherever an empty one fails.
int frmConfig::fieldChecks()
{
    int failures = 0;
    const bool names = c.DNameT->isChecked();
    std::array<QString, 5> address;
    std::array<QString, 5> name;
    for (int i = 1; i <= 4; ++i)
        address[i] = asReadBack(IPAddT[i]->text());
    for (int i = 0; i <= 4; ++i)
        name[i] = asReadBack(CompT[i]->text());

    for (int i = 1; i <= 4; ++i) {
        const QString &t = address[i];
        failures += failIf(!names && !t.isEmpty() && !mdIPCheck::IsIPAddress(t), {IPAddM[i], c.IPAddL});
        failures += failIf(names && hostNameFails(t), {IPAddM[i], c.IPAddL});
    }
    for (int i = 0; i <= 4; ++i) {
        const QString &t = name[i];
        failures += failIf((i == 0 && t.isEmpty()) || t.size() > 25 || hasControlCharacter(t), {IPAddM[i], ui->CompL});
    }

    failures += commonChecks();
    const double cpuDelay = wholeNumber(c.CPUDelayT);
    const double delTime = wholeNumber(ui->DelTimeT);
    failures += failIf(delTime < 60 || delTime > 10800, {ui->DelTimeM});
    if (ui->Del_OnT->isChecked() && cpuDelay >= delTime) {
        failures += failIf(true, {ui->DelTimeM});
        ui->DelTimeM->setText(QStringLiteral("< Comms Delay"));
    }

    bool anyAddress = false;
    for (int i = 1; i <= 4; ++i) {
        const bool empty = address[i].isEmpty();
        anyAddress = anyAddress || !empty;
        failures += failIf(empty && !name[i].isEmpty(), {IPAddM[i], c.IPAddL});
    }
    failures += failIf(!anyAddress, {IPAddM[1], c.IPAddL});
    // The reader takes addresses in rows 2 and 4 alone, without rows 1 and 3, for an
    // unusable configuration, and the master would then stop polling: rows 1 and 3
    // are wanted first.
    const auto ip = [&](int i) { return mdIPCheck::IsIPAddress(address[i]); };
    failures += failIf(ip(2) && ip(4) && !ip(1) && !ip(3), {IPAddM[1], IPAddM[3], c.IPAddL});
    return failures;
}

// The caption of the delay's marker is not put back: "< Comms Delay" stays until the
// screen is opened again.
QList<QLabel *> frmConfig::ownMarkers() const
{
    return {ui->CompL, c.IPAddL, IPAddM[0], IPAddM[1], IPAddM[2], IPAddM[3], IPAddM[4], ui->DelTimeM};
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
