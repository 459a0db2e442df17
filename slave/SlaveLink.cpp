// The slave's side of the link: the master's datagrams, its commands and the answers.
#include "LinkDatagram.h"
#include "StatusSetters.h"
#include "TolvexSMain.h"
#include "UdpEndpoint.h"
#include "VbColor.h"
#include "ui_TolvexSMain.h"

using namespace tolvex;

// One datagram on the receive port (a null text: a failed receive, never answered).
// Whoever sent it, it is taken as the master's: the answer always goes to the
// configured master.
void TolvexSMain::udpServ_DataArrival(const QString &datagram)
{
    if (datagram.isNull()) {
        markLinkError();
        return;
    }
    const bool valid = link::isValidSlaveFrame(datagram);
    if (valid) {
        st.ValidThisSecond = true;
        st.LinkStatus = QStringLiteral("-OK-");
        if (st.RunState == 1)
            st.NoComms = 0;
        const QStringView command = QStringView(datagram).mid(3, 2);
        if (command == u"C0") {
            Reset_Click();
            SendReply();
        } else if (command == u"T0") {
            TestS_Click();
            SendReply();
        }
        st.TxMessage = link::statusReply(link::typeLetter(st.ActionName), st.RunState);
    } else {
        markLinkError();
        st.TxMessage = link::kErrorReply;
    }
    // Answers leave only in Run and in the last second of the activation delay, the
    // window in which the master polls; error replies only while this second allows.
    if (!((st.Count == 1 && st.RunState == 0) || st.RunState == 1))
        return;
    if (!valid) {
        if (st.ErrorRepliesLeft <= 0)
            return;
        --st.ErrorRepliesLeft;
    }
    SendReply();
}

// An invalid datagram or a failed receive is shown, but never undoes a valid datagram
// of the same second: liveness is judged by valid datagrams only.
void TolvexSMain::markLinkError()
{
    if (st.ValidThisSecond)
        return;
    st.LinkStatus = QStringLiteral("Error");
    colors::setForeColor(ui->Counter, colors::kOrange);
    setTextIfChanged(ui->Counter, QStringLiteral("Connection Error"));
    st.NoComms = 1;
}

void TolvexSMain::SendReply()
{
    // A failed send is dropped: the master notices the missing answer.
    udpServ->setRemoteHost(cfg.IPAdd);
    udpServ->send(cfg.Port1, st.TxMessage);
}
