// The slave's status texts, shown after every arming.
#include "ConfigFile.h"
#include "LinkDatagram.h"
#include "LogFile.h"
#include "StatusSetters.h"
#include "TolvexSMain.h"
#include "VbColor.h"
#include "ui_TolvexSMain.h"

using namespace tolvex;

namespace {

// The armed rule, for example "Power Off if no communications for over 60 sec".
QString ruleDescription(const TolvexSMain &m)
{
    const SlaveConfig &cfg = m.cfg;
    const SlaveState &st = m.st;
    QString text = st.ActionName
        + (cfg.ShutType == 4 ? QStringLiteral(" until no communications") : QStringLiteral(" if no communications"));
    text += QStringLiteral(" for over ");
    text += st.CommandMode == 3 ? QStringLiteral("60") : QString::number(st.CommsLimit);
    text += QStringLiteral(" sec");
    if (cfg.Stop_On == 2)
        text += QStringLiteral(" or until ") + timeText(cfg.StopTime);
    return text;
}

} // namespace

namespace mdInit {

void ShowStatusText(TolvexSMain &m)
{
    SlaveState &st = m.st;
    const SlaveConfig &cfg = m.cfg;
    Ui::TolvexSMain &ui = *m.ui;

    m.showButtonTips();
    setTextIfChanged(ui.Title, ruleDescription(m));

    if (cfg.StartTime == 2)
        setTextIfChanged(ui.Counter, QStringLiteral("Program Activation at ") + timeText(cfg.StartDelay));
    if (cfg.StartTime == 1 || st.TestMode)
        setTextIfChanged(ui.Counter,
                         QStringLiteral("Program Activation in ") + shortNumber(st.Count) + QStringLiteral("s"));

    if (cfg.RunOnTop == 1 && (m.windowFlags() & Qt::WindowStaysOnTopHint)) {
        m.setWindowFlag(Qt::WindowStaysOnTopHint, false);
        if (!m.isMinimised())
            m.show();
    }

    if (st.ApplyStartMin && !st.NotConfigured
        && ((cfg.StartMin == 2 && !st.WindowToggled) || (cfg.StartMin == 1 && st.WindowToggled))) {
        m.setWindowState(m.windowState() | Qt::WindowMinimized);
    }
    st.ApplyStartMin = true;

    if (st.NotConfigured) {
        setTextIfChanged(ui.Counter, QString());
        colors::setForeColor(ui.Title, colors::kOrange);
        colors::setBold(ui.Title, true);
        setTextIfChanged(ui.Title, QStringLiteral("Click Configure To Set Up Tolvex Slave"));
    }
    if (cfg.LogLevel >= 2 && !st.NotConfigured)
        WriteLogLine(m, QStringLiteral("Start"), QStringLiteral("Initialise"));
    st.TxMessage = link::kReset;
    m.setTimerEnabled(true);
}

} // namespace mdInit
