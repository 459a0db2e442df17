#include "mdMisc.h"

namespace mdMisc {

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

} // namespace mdMisc
