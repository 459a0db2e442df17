#include "mdMisc.h"
#include "DesktopService.h"
#include "MonitorWindow.h"
#include "TolvexVersion.h"
#include <QAction>
#include <QPushButton>
#include <QUrl>

namespace mdMisc {

void OpenWebPage(tolvex::ProgramHost &host, const QString &page)
{
    tolvex::BoxRequest box;
    box.title = host.productTitle() + QStringLiteral(" Error");
    const QUrl address(QLatin1String(tolvex::kWebRoot) + page, QUrl::StrictMode);
    if (!address.isValid()) {
        // The address cannot be handed to the desktop at all.
        box.text = tolvex::joinCrLf({QStringLiteral("A program error has occured"),
                                     QStringLiteral("Error Number: 5"),
                                     QStringLiteral("Error description: ") + address.errorString()});
        host.boxes().show(box);
        return;
    }
    if (!host.desktop().openUrl(address)) {
        box.text = QStringLiteral("Unable to launch Browser.");
        host.boxes().show(box);
    }
}

tolvex::BoxAnswer TimedMsgBox(tolvex::ProgramHost &host, const QString &prompt, int seconds,
                              tolvex::BoxButtons buttons, const QString &title)
{
    tolvex::BoxRequest request;
    request.title = title;
    request.text = prompt;
    request.buttons = buttons;
    request.timeoutSeconds = seconds == 0 ? 5 : seconds;
    return host.boxes().show(request);
}

void EnableUpdateControls(tolvex::MonitorWindow &m)
{
    m.state().UpdaterBusy = false;
    m.controls().Update->setEnabled(true);
    m.mPopUpUpdate->setEnabled(true);
}

} // namespace mdMisc
