// The master's status texts and its computer grid.
#include "ConfigFile.h"
#include "LogFile.h"
#include "StatusSetters.h"
#include "TolvexMMain.h"
#include "VbColor.h"
#include "ui_TolvexMMain.h"
#include <QLineEdit>

using namespace tolvex;

namespace {

QString ruleDescription(const TolvexMMain &m)
{
    const MasterConfig &cfg = m.cfg;
    const MasterState &st = m.st;
    const bool monitorOnly = cfg.ShutType == 4;
    QString text = st.ActionName + (monitorOnly ? QStringLiteral(" until no comms") : QStringLiteral(" if no comms"));
    text += QStringLiteral(" for over ");
    text += st.CommandMode == 3 ? QStringLiteral("60") : QString::number(st.CommsLimit);
    text += QStringLiteral(" sec");
    if (cfg.Stop_On == 2)
        text += (monitorOnly ? QStringLiteral(" or until") : QStringLiteral(" or at")) + QStringLiteral(" ") + timeText(cfg.StopTime);
    if (cfg.Del_On == 2) {
        text += QStringLiteral(" or");
        text += monitorOnly ? QStringLiteral(" for ") : QStringLiteral(" after ");
        text += QString::number(st.DelLimit) + QStringLiteral("s");
    }
    return text;
}

void paintLinkCells(TolvexMMain &m, int row, quint32 colour)
{
    colors::setForeColor(m.Type1[row], colour);
    colors::setForeColor(m.Comp[row], colour);
}

void paintRow(TolvexMMain &m, int row, quint32 colour)
{
    paintLinkCells(m, row, colour);
    colors::setForeColor(m.Shut1[row], colour);
}

} // namespace

namespace mdInit {

void ShowStatusText(TolvexMMain &m)
{
    MasterState &st = m.st;
    const MasterConfig &cfg = m.cfg;
    Ui::TolvexMMain &ui = *m.ui;

    m.showButtonTips();
    setTextIfChanged(ui.Title, ruleDescription(m));

    if (st.ApplyStartMin && !st.NotConfigured
        && ((cfg.StartMin == 2 && !st.WindowToggled) || (cfg.StartMin == 1 && st.WindowToggled))) {
        m.setWindowState(m.windowState() | Qt::WindowMinimized);
    }
    st.ApplyStartMin = true;

    if (cfg.RunOnTop == 1 && (m.windowFlags() & Qt::WindowStaysOnTopHint)) {
        m.setWindowFlag(Qt::WindowStaysOnTopHint, false);
        if (!m.isMinimised())
            m.show();
    }

    if (cfg.StartTime == 2)
        setTextIfChanged(ui.Counter, QStringLiteral("Program Activation at ") + timeText(cfg.StartDelay));
    if (cfg.StartTime == 1 || st.TestMode)
        setTextIfChanged(ui.Counter,
                         QStringLiteral("Program Activation in ") + shortNumber(st.Count) + QStringLiteral("s"));

    if (st.NotConfigured) {
        colors::setForeColor(ui.Title, colors::kOrange);
        colors::setBold(ui.Title, true);
        setTextIfChanged(ui.Title, QStringLiteral("Click Configure To Set Up Tolvex"));
        setTextIfChanged(ui.Counter, QString());
        ui.Reset->setEnabled(false);
        ui.TestS->setEnabled(false);
    }
    if (cfg.LogLevel >= 2 && !st.NotConfigured)
        WriteLogLine(m, QStringLiteral("Start"), QStringLiteral("Initialise"));
    m.setTimerEnabled(true);
}

void RefreshComputerList(TolvexMMain &m)
{
    MasterState &st = m.st;
    const MasterConfig &cfg = m.cfg;
    st.CommsSummary.clear();

    setTextIfChanged(m.Comp[0], QStringLiteral(" ") + cfg.CName[0]);
    m.colourHostCell(TolvexMMain::HostName, colors::kBlack);
    setTextIfChanged(m.Shut1[0],
                     st.ActionName == QLatin1String("Standby") ? QStringLiteral("B") : st.ActionName.left(1));
    m.colourHostCell(TolvexMMain::HostLetter, colors::kBlack);

    static const QString none = QStringLiteral(" ---");
    for (int i = 1; i <= 4; ++i) {
        if (!cfg.CName[i].isEmpty()) {
            setTextIfChanged(m.Comp[i], QStringLiteral(" ") + cfg.CName[i]);
        } else if (!cfg.IPAdd[i].isEmpty()) {
            setTextIfChanged(m.Comp[i], QStringLiteral(" ") + cfg.IPAdd[i]);
        } else {
            setTextIfChanged(m.Comp[i], none);
            setTextIfChanged(m.Type1[i], none);
            setTextIfChanged(m.Shut1[i], none);
        }
        if (m.Comp[i]->text() == none) {
            paintRow(m, i, colors::kBlack);
            continue;
        }
        if (st.RunState <= 0)
            continue;
        // The name and state cells take the colour of the link's state; the letter cell
        // gets its colour once, from the letter, right after (the state's colour would
        // only be replaced there).
        switch (st.CommsState[i]) {
        case 0:
            setTextIfChanged(m.Type1[i], QStringLiteral(" Not Connected"));
            paintLinkCells(m, i, colors::kOrangeRed);
            break;
        case 1:
            setTextIfChanged(m.Type1[i], QStringLiteral(" Data Error"));
            paintLinkCells(m, i, colors::kOrangeRed);
            break;
        case 2:
            setTextIfChanged(m.Type1[i], QStringLiteral(" Connected"));
            paintLinkCells(m, i, colors::kDarkGreen);
            break;
        default:
            break;
        }
        if (m.Shut1[i]->text() != none)
            setTextIfChanged(m.Shut1[i], st.RemoteLetter[i]);
        colors::setForeColor(m.Shut1[i], st.RemoteLetter[i].endsWith(QLatin1String("**")) ? colors::kOrangeRed
                                                                                        : colors::kDarkGreen);
    }
}

bool WriteLogLine(TolvexMMain &m, const QString &event, const QString &detail, mdInit::LogFailure onFailure)
{
    MasterState &st = m.st;
    QStringList states;
    for (int i = 1; i <= 4; ++i)
        states << QString::number(st.CommsState[i]);
    st.CommsSummary = states.join(QStringLiteral(", "));
    if (!st.NetworkOK)
        st.CommsSummary = QStringLiteral("No Network");
    const QString comms = m.cfg.LogLevel == 3 ? st.CommsSummary : QString();
    st.LogLine = formatLogLine(m.svc.clock.now(), st.TestMode, event, detail, st.Count, comms);
    return m.appendLogLine(st.LogLine, onFailure);
}

} // namespace mdInit

void TolvexMMain::colourHostCell(HostCell cell, quint32 colour)
{
    if (m_tickDepth > 0) {
        m_hostColour[cell] = colour;
        m_hostColourPending[cell] = true;
        return;
    }
    m_hostColourPending[cell] = false;
    colors::setForeColor(cell == HostName ? Comp[0] : Shut1[0], colour);
}

void TolvexMMain::showHostCellColours()
{
    for (HostCell cell : {HostName, HostLetter}) {
        if (!m_hostColourPending[cell])
            continue;
        m_hostColourPending[cell] = false;
        colors::setForeColor(cell == HostName ? Comp[0] : Shut1[0], m_hostColour[cell]);
    }
}
