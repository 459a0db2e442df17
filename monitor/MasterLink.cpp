// The master's side of the link: socket set-up, polls and the answers of the slaves.
#include "MasterLink.h"
#include "LinkDatagram.h"
#include "TolvexMMain.h"
#include "VbColor.h"
#include <QLineEdit>

using namespace tolvex;

MasterLink::MasterLink(TolvexMMain &owner)
{
    for (int i = 1; i <= 4; ++i) {
        m_rows[i] = std::make_unique<UdpEndpoint>();
        m_rows[i]->setArrivalHandler([&owner, i] { owner.udpServ_DataArrival(i); });
    }
}

MasterLink::~MasterLink() = default;

void MasterLink::closeAll()
{
    for (int i = 1; i <= 4; ++i)
        m_rows[i]->close();
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
    Type1[0]->setText(failed ? QStringLiteral(" No Network") : QStringLiteral(" Network OK"));
    colors::setForeColor(Type1[0], colour);
    colors::setForeColor(Comp[0], colour);
    colors::setForeColor(Shut1[0], colour);
    st.TxMessage = link::kPoll;
    st.NetworkOK = !failed;
}

void TolvexMMain::udpServ_DataArrival(int index)
{
    if (index < 1 || index > 4)
        return;
    auto noRowConnected = [this] {
        for (int i = 1; i <= 4; ++i) {
            if (st.CommsState[i] == 2)
                return false;
        }
        return true;
    };
    for (const QString &datagram : link->row(index).takePending()) {
        st.RxData = datagram;
        const link::MasterFrame frame = link::judgeMasterFrame(datagram);
        if (frame == link::MasterFrame::Valid) {
            st.NoComms = 0;
            st.CommsState[index] = 2;
            st.RemoteLetter[index] = datagram.mid(3, 1);
            const QChar state = datagram.at(4);
            if (state.isDigit() && state.unicode() < 128) {
                if (state == QLatin1Char('2'))
                    st.RemoteLetter[index] += QStringLiteral("**");
                continue;
            }
            st.CommsState[index] = 0; // a state that is no digit makes the answer unreadable
        } else {
            st.CommsState[index] = frame == link::MasterFrame::Invalid ? 1 : 0;
        }
        if (noRowConnected())
            st.NoComms = 1;
    }
}
