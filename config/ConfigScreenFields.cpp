// The check box and list handlers both configuration screens share, and the field
// states they set alike.
#include "ConfigScreen.h"
#include "VbColor.h"
#include "WindowStacking.h"
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace tolvex {

// The slave's runs while loading too.
void ConfigScreen::DNameT_Click()
{
    if (Loading && !traits.dNameWhileLoading)
        return;
    ClearHighlights();
    ReadShutType();
}

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
    // While another window of the program stays on top (the main window with Run On
    // Top), the screen stays on top too, so that it never drops behind that window.
    if (!Loading)
        setTopmost(c.RunOnTopT->isChecked() || programHasTopmostWindow(this));
}

void ConfigScreen::ReadShutType()
{
    if (traits.shutResetFirst)
        ShutTypeIndex = 0;
    const int code = int(traits.shutNames.indexOf(c.ShutNameT->currentText())) + 1;
    if (code < 1)
        return;
    ShutTypeIndex = code;
    if (code == 5 || code == 6)
        c.ShutTypeM->clear();
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
        c.StartDelayM->setText(traits.delayNote);
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

} // namespace tolvex
