#include "CycleDialogs.h"
#include "MonitorState.h"

namespace tolvex {

void CycleDialogs::opened(Dialog which, QWidget *window, std::function<void()> unload)
{
    Entry &e = entry(which);
    e.window = window;
    e.unload = std::move(unload);
    e.open = true;
    m_state().DialogOpen = true;
}

void CycleDialogs::closed(Dialog which)
{
    Entry &e = entry(which);
    e.open = false;
    e.window.clear();
    e.unload = nullptr;
    m_state().DialogOpen = isOpen(Dialog::About) || isOpen(Dialog::Config);
}

bool CycleDialogs::isOpen(Dialog which) const
{
    // A window that no longer exists is not open, whatever its handlers left behind.
    const Entry &e = entry(which);
    return e.open && !e.window.isNull();
}

void CycleDialogs::unload(Dialog which)
{
    // The unload handler ends in closed(); a handler that forgets it must not leave the
    // dialog counted as open.
    const std::function<void()> handler = entry(which).unload;
    if (handler)
        handler();
    if (entry(which).open)
        closed(which);
}

int CycleDialogs::closeIdle()
{
    MonitorState &st = m_state();
    // A dialog window deleted without its unload must not pause the cycle for good.
    for (Dialog which : {Dialog::About, Dialog::Config}) {
        if (entry(which).open && entry(which).window.isNull())
            closed(which);
    }
    int count = 0;
    if (st.AboutCountdown <= 0 && st.DialogOpen && isOpen(Dialog::About)) {
        unload(Dialog::About);
        ++count;
    }
    if (st.ConfigCountdown <= 0 && st.DialogOpen && isOpen(Dialog::Config)) {
        unload(Dialog::Config);
        ++count;
    }
    return count;
}

void CycleDialogs::closeAll()
{
    for (Dialog which : {Dialog::About, Dialog::Config}) {
        if (isOpen(which))
            unload(which);
    }
}

} // namespace tolvex
