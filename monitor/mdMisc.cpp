#include "mdMisc.h"
#include "DesktopService.h"
#include "MonitorWindow.h"
#include "TolvexVersion.h"
#include "WindowHelpers.h"
#include <QAction>
#include <QPushButton>
#include <QUrl>
#include <QWidget>

namespace mdMisc {

void OpenWebPage(tolvex::ProgramHost &host, const QString &page)
{
    OpenWebPage(host.boxes(), host.desktop(), host.productTitle(), page);
}

void OpenWebPage(tolvex::MessageBoxService &boxes, tolvex::DesktopService &desktop, const QString &productTitle,
                 const QString &page)
{
    tolvex::BoxRequest box;
    box.title = productTitle + QStringLiteral(" Error");
    // The page is only ever appended to the root's path: it cannot change the host.
    // Blanks and other characters a browser would encode are encoded here.
    const QUrl address(QLatin1String(tolvex::kWebRoot) + page, QUrl::TolerantMode);
    if (!address.isValid()) {
        // The address cannot be handed to the desktop at all.
        box.text = tolvex::joinCrLf({QStringLiteral("A program error has occured"),
                                     QStringLiteral("Error Number: 5"),
                                     QStringLiteral("Error description: ") + address.errorString()});
        boxes.show(box);
        return;
    }
    if (!desktop.openUrl(address)) {
        box.text = QStringLiteral("Unable to launch Browser.");
        boxes.show(box);
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

void RemoveCloseMenu(QWidget &form, bool revert)
{
    const Qt::WindowFlags before = form.windowFlags();
    Qt::WindowFlags after = before;
    if (revert) {
        // The platform's default title bar: without any title-bar hint the window
        // system gives a window all of them, Close included.
        if ((before & Qt::WindowCloseButtonHint) && !(before & Qt::CustomizeWindowHint))
            return;
        after &= ~(Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint
                   | Qt::WindowContextHelpButtonHint | Qt::WindowFullscreenButtonHint);
    } else {
        // Every part of the title bar but Close.
        after |= Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
            | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint;
        after &= ~Qt::WindowCloseButtonHint;
    }
    tolvex::changeWindowFlags(form, after);
}

void DisableFormClose(tolvex::MonitorWindow &m, bool allow)
{
    m.setCloseAllowed(allow);
    RemoveCloseMenu(m, allow);
}

void EnableUpdateControls(tolvex::MonitorWindow &m)
{
    m.state().UpdaterBusy = false;
    m.controls().Update->setEnabled(true);
    m.mPopUpUpdate->setEnabled(true);
}

} // namespace mdMisc
