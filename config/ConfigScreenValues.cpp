// The values of both configuration screens: loaded from the running configuration,
// put back to the defaults by Restore, and read back from the screen for Save.
#include "ConfigFile.h"
#include "ConfigScan.h"
#include "ConfigScreen.h"
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <cmath>

namespace tolvex {

namespace {

// hh * 100 + mm of a valid "hh:mm" text.
int clockValue(const QLineEdit *field)
{
    const QString text = field->text();
    const double hours = configscan::strictNumber(text.left(2)).value_or(0);
    const double minutes = configscan::strictNumber(text.right(2)).value_or(0);
    return int(std::nearbyint(hours)) * 100 + int(std::nearbyint(minutes));
}

} // namespace

// Each screen's own inputs follow the comms delay; no handler of theirs depends on
// the inputs after them.
void ConfigScreen::Data_Load()
{
    const CommonConfig &r = running;
    c.CPUDelayT->setText(QString::number(r.CPUDelay));
    loadOwnValues();
    setFlag(c.DNameT, r.DName);
    putCommonInputs(r);
    loadLists(r);
    Signature = BuildValueString();
}

// The inputs Data_Load and Restore both fill. The delay goes in before the mode, so
// that the mode's handler (which runs while loading too) finds a value of its kind.
void ConfigScreen::putCommonInputs(const CommonConfig &r)
{
    setFlag(c.ForceT, r.Force);
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
}

void ConfigScreen::loadLists(const CommonConfig &rec)
{
    static const QStringList levels = {QStringLiteral("None"), QStringLiteral("Normal"), QStringLiteral("Full")};
    LogLevelIndex = 0;
    if (rec.LogLevel >= 1 && rec.LogLevel <= 3) {
        c.LogLevelT->setCurrentIndex(c.LogLevelT->findText(levels.at(rec.LogLevel - 1)));
        LogLevelIndex = rec.LogLevel;
    }
    ShutTypeIndex = 0;
    if (rec.ShutType >= 1 && rec.ShutType <= 7) {
        // Found by its name without regard to case ("StandBy", "Standby").
        c.ShutNameT->setCurrentIndex(c.ShutNameT->findText(traits.shutNames.at(rec.ShutType - 1), Qt::MatchFixedString));
        ShutTypeIndex = rec.ShutType;
        if (rec.ShutType == 5 || rec.ShutType == 6)
            c.ShutTypeM->clear();
    }
}

// Names, addresses and the address mode stay as they are. Every input whose value
// changes runs its handler; their end state does not depend on their order. The log
// level's index is left as it was: only the field check refreshes it.
void ConfigScreen::Restore_Click()
{
    const CommonConfig &d = traits.defaults;
    c.CPUDelayT->setText(QString::number(d.CPUDelay));
    restoreOwnDefaults();
    putCommonInputs(d);
    c.LogLevelT->setCurrentIndex(c.LogLevelT->findText(QStringLiteral("Normal")));
    c.ShutNameT->setCurrentIndex(c.ShutNameT->findText(QStringLiteral("Power Off")));
    ClearHighlights();  // ends with the field states
    c.Status->setText(QStringLiteral("Defaults Restored - Click Save To Keep"));
    Timer2->start();
    c.ExitConfig->setText(QStringLiteral("&Exit"));
    parkFocus();
}

void ConfigScreen::readCommonValues(CommonConfig &rec) const
{
    rec.StartTime = flagOf(c.StartTimeT);
    rec.LogLevel = LogLevelIndex;
    rec.LogName = c.LogNameT->text();
    rec.LogPath = c.LogPathT->text();
    rec.LogR_On = flagOf(c.LogR_OnT);
    rec.RunOnTop = flagOf(c.RunOnTopT);
    // Clock times are hhmm here; the writer adds 10000.
    rec.StartDelay = c.StartTimeT->isChecked() ? clockValue(c.StartDelayT) : int(wholeNumber(c.StartDelayT));
    rec.StartMin = flagOf(c.StartMinT);
    rec.DName = flagOf(c.DNameT);
    rec.Port1 = int(wholeNumber(c.Port1T));
    rec.Port2 = int(wholeNumber(c.Port2T));
    rec.CPUDelay = int(wholeNumber(c.CPUDelayT));
    rec.StopTime = clockValue(c.StopTimeT);
    rec.Stop_On = flagOf(c.Stop_OnT);
    rec.Force = flagOf(c.ForceT);
    rec.NoWarn = flagOf(c.NoWarnT);
    rec.ShutTime = int(wholeNumber(c.ShutTimeT));
    rec.ShutType = ShutTypeIndex;
    rec.UserExitA = flagOf(c.UExitT);
}

void ConfigScreen::setFlag(QCheckBox *box, int flag)
{
    box->setChecked(flag == 2);
}

int ConfigScreen::flagOf(const QCheckBox *box)
{
    return box->isChecked() ? 2 : 1;
}

// 0 unchecked, 1 checked, 2 greyed, as the screens' value strings count them.
QString ConfigScreen::stateText(const QCheckBox *box)
{
    switch (box->checkState()) {
    case Qt::Checked: return QStringLiteral("1");
    case Qt::PartiallyChecked: return QStringLiteral("2");
    case Qt::Unchecked: break;
    }
    return QStringLiteral("0");
}

QString ConfigScreen::valueItem(const QString &text)
{
    QString item = text;
    item.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    item.replace(QLatin1Char(','), QLatin1String("\\,"));
    return item;
}

double ConfigScreen::wholeNumber(const QLineEdit *field)
{
    return std::nearbyint(numberOfText(field->text()));
}

} // namespace tolvex
