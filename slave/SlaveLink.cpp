// The slave's side of the link: the master's datagrams, its commands and the answers.
#include "LinkDatagram.h"
#include "TolvexSMain.h"
#include "UdpEndpoint.h"
#include "VbColor.h"
#include "ui_TolvexSMain.h"

using namespace tolvex;

// Every datagram waiting now is handled in turn; the endpoint calls again for the
// rest of a flood, behind the other pending events. Whoever sent a datagram, it is
// taken as the master's: the answer always goes to the configured master.
void TolvexSMain::udpServ_DataArrival()
{
    for (const QString &datagram : udpServ->takePending()) {
        if (datagram.isNull()) {
            markLinkError(); // a failed receive: nothing is answered
            continue;
        }
        takeDatagram(datagram);
    }
}

void TolvexSMain::markLinkError()
{
    st.LinkStatus = QStringLiteral("Error");
    colors::setForeColor(ui->Counter, colors::kOrange);
    ui->Counter->setText(QStringLiteral("Connection Error"));
    st.NoComms = 1;
}

void TolvexSMain::takeDatagram(const QString &datagram)
{
    if (link::isValidSlaveFrame(datagram)) {
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
    // window in which the master polls.
    if ((st.Count == 1 && st.RunState == 0) || st.RunState == 1)
        SendReply();
}

void TolvexSMain::SendReply()
{
    // A failed send is dropped: the master notices the missing answer.
    udpServ->setRemoteHost(cfg.IPAdd);
    udpServ->send(cfg.Port1, st.TxMessage);
}
