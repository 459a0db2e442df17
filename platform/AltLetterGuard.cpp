#include "AltLetterGuard.h"
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>

namespace tolvex {

namespace {
const char *const kGuardName = "tolvexAltLetterGuard";
} // namespace

bool AltLetterGuard::isStrayMnemonic(const QKeyEvent &event)
{
    const Qt::KeyboardModifiers mods = event.modifiers();
    if (!mods.testFlag(Qt::AltModifier) || mods.testFlag(Qt::ControlModifier))
        return false;
    const QString text = event.text();
    return !text.isEmpty() && text.at(0).isPrint();
}

bool AltLetterGuard::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return false;
    // An open menu chooses its items by their letters, with Alt too.
    if (qobject_cast<QMenu *>(watched) || qobject_cast<QMenuBar *>(watched))
        return false;
    return isStrayMnemonic(*static_cast<QKeyEvent *>(event));
}

void guardAltLetters(QCoreApplication &app)
{
    if (app.findChild<AltLetterGuard *>(QLatin1String(kGuardName), Qt::FindDirectChildrenOnly))
        return;
    auto *guard = new AltLetterGuard(&app);
    guard->setObjectName(QLatin1String(kGuardName));
    app.installEventFilter(guard);
}

} // namespace tolvex
