// The check box and list handlers both configuration screens share, the field states
// they set alike, and the small helpers of their own procedures.
#include "ConfigScreen.h"
#include "ConfigScan.h"
#include "VbColor.h"
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <cmath>

namespace tolvex {

void ConfigScreen::ForceT_Click()
{
    if (!Loading)
        UpdateFieldStates();
}

void ConfigScreen::NoWarnT_Click()
{
    if (!Loading)
        UpdateFieldStates();
}

void ConfigScreen::Stop_OnT_Click()
{
    if (!Loading)
        UpdateFieldStates();
}

void ConfigScreen::ShutNameT_Click()
{
    if (Loading)
        return;
    ReadShutType();
    UpdateFieldStates();
}

// Runs while loading too: a delay in seconds and a clock time never stand in the
// box of the other mode.
void ConfigScreen::StartTimeT_Click()
{
    UpdateFieldStates();
    const QString delay = c.StartDelayT->text();
    const bool clock = delay.size() >= 3 && delay.at(2) == QLatin1Char(':');
    if (c.StartTimeT->isChecked() != clock)
        c.StartDelayT->clear();
}

void ConfigScreen::LogLevelT_Click()
{
    if (Loading)
        return;
    const bool enable = c.LogLevelT->currentText() != QLatin1String("None") && host.IsAdmin();
    c.Archive->setEnabled(enable);
    c.ViewL->setEnabled(enable);
}

void ConfigScreen::RunOnTopT_Click()
{
    if (!Loading)
        setTopmost(c.RunOnTopT->isChecked());
}

void ConfigScreen::ReadShutType()
{
    if (texts.shutResetFirst)
        ShutTypeIndex = 0;
    const int code = int(texts.shutNames.indexOf(c.ShutNameT->currentText())) + 1;
    if (code < 1)
        return;
    ShutTypeIndex = code;
    if (code == 5 || code == 6)
        c.ShutTypeM->clear();
}

void ConfigScreen::readLogLevel(bool resetFirst)
{
    if (resetFirst)
        LogLevelIndex = 0;
    static const QStringList levels = {QStringLiteral("None"), QStringLiteral("Normal"), QStringLiteral("Full")};
    const int code = int(levels.indexOf(c.LogLevelT->currentText())) + 1;
    if (code >= 1)
        LogLevelIndex = code;
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
        c.ShutNameT->setCurrentIndex(c.ShutNameT->findText(texts.shutNames.at(rec.ShutType - 1), Qt::MatchFixedString));
        ShutTypeIndex = rec.ShutType;
        if (rec.ShutType == 5 || rec.ShutType == 6)
            c.ShutTypeM->clear();
    }
}

void ConfigScreen::commonFieldStates()
{
    c.ForceT->setEnabled(!(ShutTypeIndex >= 4 && ShutTypeIndex <= 6));
    QString note;
    if ((ShutTypeIndex >= 1 && ShutTypeIndex <= 3) || (ShutTypeIndex == 7 && c.ForceT->isChecked()))
        note = QStringLiteral("(Forces Applications To Close)");
    else if (ShutTypeIndex == 4)
        note = QStringLiteral("(Monitor computer only)");
    c.ShutTypeM->setText(note);

    if (!c.StartTimeT->isChecked()) {
        c.StartDelayL->setText(QStringLiteral("Activate After:"));
        c.StartDelayM->setText(texts.delayNote);
        c.StartDelayT->setToolTip(QStringLiteral("Delay in seconds after startup before program is activated"));
    } else {
        c.StartDelayL->setText(QStringLiteral("Activate At:"));
        c.StartDelayM->setText(QStringLiteral("Time in the format xx:xx"));
        c.StartDelayT->setToolTip(QStringLiteral("Time at which program is activated in the format 'xx:xx' (24 hour clock)"));
    }
    c.StopTimeT->setEnabled(c.Stop_OnT->isChecked());
    const bool silent = c.NoWarnT->isChecked();
    c.ShutTimeT->setEnabled(!silent);
    colors::setBackColor(c.ShutTimeT, silent ? colors::kButtonFace : colors::kWindowBackground);
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

int ConfigScreen::clockValue(const QLineEdit *field)
{
    const QString text = field->text();
    const double hours = configscan::strictNumber(text.left(2)).value_or(0);
    const double minutes = configscan::strictNumber(text.right(2)).value_or(0);
    return int(std::nearbyint(hours)) * 100 + int(std::nearbyint(minutes));
}

bool ConfigScreen::hasControlCharacter(const QString &text)
{
    for (const QChar ch : text) {
        if (ch.unicode() < 0x20)
            return true;
    }
    return false;
}

void ConfigScreen::setMarked(std::initializer_list<QLabel *> labels)
{
    for (QLabel *label : labels) {
        colors::setForeColor(label, colors::kOrange);
        colors::setBold(label, true);
    }
}

void ConfigScreen::clearMarkers(std::initializer_list<QLabel *> labels)
{
    for (QLabel *label : labels) {
        colors::setForeColor(label, colors::kDarkGreen);
        colors::setBold(label, false);
    }
}

} // namespace tolvex
