// The master's side of the link: socket set-up, polls and the answers of the slaves.
#include "MasterLink.h"
#include "LinkDatagram.h"
#include "StatusSetters.h"
#include "TolvexMMain.h"
#include "VbColor.h"
#include <QLineEdit>

using namespace tolvex;

MasterLink::MasterLink(TolvexMMain &owner)
{
    for (int i = 1; i <= 4; ++i) {
        m_rows[i] = std::make_unique<UdpEndpoint>();
        m_rows[i]->setArrivalHandler([&owner, i](const QString &datagram) { owner.udpServ_DataArrival(i, datagram); });
    }
}

MasterLink::~MasterLink() = default;

void MasterLink::closeAll()
{
    for (int i = 1; i <= 4; ++i)
        m_rows[i]->close();
}

void MasterLink::drainAll()
{
    for (int i = 1; i <= 4; ++i)
        m_rows[i]->drain();
}

namespace mdInit {

void InitComms(TolvexMMain &m)
{
    MasterState &st = m.st;
    st.RxData.clear();
    st.TxMessage = link::kPoll;
    for (int i = 0; i <= 4; ++i) {
        colors::setForeColor(m.Type1[i], colors::kOrangeRed);
        m.Type1[i]->setText(QStringLiteral(" "));
        if (i == 0)
            m.colourHostCell(TolvexMMain::HostName, colors::kBlack);
        else
            colors::setForeColor(m.Comp[i], colors::kBlack);
        st.RemoteLetter[i].clear();
    }
    // Every row is released first, so that a moved base port never collides with a
    // neighbouring row's old binding and a row without an address holds no port.
    m.link->closeAll();
    for (int i = 1; i <= 4; ++i) {
        if (m.cfg.IPAdd[i].isEmpty())
            continue;
        st.CommsState[i] = 0;
        if (m.link->row(i).bind(m.cfg.IPAdd[i], m.cfg.Port2 + i - 1))
            continue;
        if (m.portErrorEndsProgram(m.cfg.Port2, false))
            m.svc.end.endProgram(0);
        st.NotConfigured = true;
        return;
    }
}

} // namespace mdInit

void TolvexMMain::SendToRemotes()
{
    // One unreachable slave must not leave the others unpolled: every configured row
    // is sent to, and any failure marks the network.
    bool failed = false;
    const QString message = st.TxMessage;
    for (int i = 1; i <= 4; ++i) {
        if (!cfg.IPAdd[i].isEmpty() && !link->row(i).send(cfg.Port1, message))
            failed = true;
    }
    const quint32 colour = failed ? colors::kOrangeRed : colors::kDarkGreen;
    setTextIfChanged(Type1[0], failed ? QStringLiteral(" No Network") : QStringLiteral(" Network OK"));
    colors::setForeColor(Type1[0], colour);
    colourHostCell(HostName, colour);
    colourHostCell(HostLetter, colour);
    st.TxMessage = link::kPoll;
    st.NetworkOK = !failed;
}

// One datagram on row `index`'s socket (a null text: a failed receive). Liveness is
// judged by valid answers only: a row that gave one in this second stays connected
// whatever else arrives on it, and NoComms goes back to 1 only while no row has.
void TolvexMMain::udpServ_DataArrival(int index, const QString &datagram)
{
    if (index < 1 || index > 4)
        return;
    st.RxData = datagram;
    const link::MasterFrame frame = link::judgeMasterFrame(datagram);
    int state = 0;
    const bool stateRead = link::stateDigit(datagram, state);
    if (frame == link::MasterFrame::Valid && stateRead) {
        st.NoComms = 0;
        st.CommsState[index] = 2;
        st.RemoteLetter[index] = datagram.mid(3, 1);
        if (state == 2)
            st.RemoteLetter[index] += QStringLiteral("**");
        return;
    }
    if (st.CommsState[index] == 2)
        return;
    if (frame == link::MasterFrame::Valid) {
        // A frame whose state is no digit: its letter is taken, the answer is unreadable.
        st.RemoteLetter[index] = datagram.mid(3, 1);
        st.CommsState[index] = 0;
    } else {
        st.CommsState[index] = frame == link::MasterFrame::Invalid ? 1 : 0;
    }
    for (int i = 1; i <= 4; ++i) {
        if (st.CommsState[i] == 2)
            return;
    }
    st.NoComms = 1;
}
