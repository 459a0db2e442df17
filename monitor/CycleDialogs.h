#pragma once
#include <QPointer>
#include <QWidget>
#include <array>
#include <functional>

namespace tolvex {

struct MonitorState;

// The windows that pause the monitoring cycle while they are open, the About box and
// the configuration screen, and the cycle's step that closes one whose idle countdown
// (AboutCountdown, ConfigCountdown) has run out.
//
// A dialog joins in its load handler with opened() and leaves in its unload handler
// with closed(), after mdInit::RestoreMainControls. DialogOpen is true exactly while
// one of them is open, and the cycle only ever closes a dialog that is open: a
// countdown left at 0 by a box closed earlier closes nothing.
class CycleDialogs {
public:
    enum class Dialog { About, Config };

    // `state` is asked for the program's run state whenever it is needed.
    explicit CycleDialogs(std::function<MonitorState &()> state) : m_state(std::move(state)) {}

    // The dialog is open from now on; DialogOpen becomes true. `unload` runs the
    // dialog's unload handler (which ends in closed()); the cycle and the main
    // window's unload call it.
    void opened(Dialog which, QWidget *window, std::function<void()> unload);
    // The dialog has unloaded; DialogOpen stays true only while another one is open.
    void closed(Dialog which);
    bool isOpen(Dialog which) const;

    // The cycle's step: the About box is unloaded when AboutCountdown has run out, then
    // the configuration screen when ConfigCountdown has run out, each only when it is
    // open. Returns how many were unloaded.
    int closeIdle();
    // The main window's unload: every open dialog is unloaded.
    void closeAll();

private:
    struct Entry {
        QPointer<QWidget> window;
        std::function<void()> unload;
        bool open = false;
    };
    Entry &entry(Dialog which) { return m_entries[static_cast<size_t>(which)]; }
    const Entry &entry(Dialog which) const { return m_entries[static_cast<size_t>(which)]; }
    void unload(Dialog which);

    std::function<MonitorState &()> m_state;
    std::array<Entry, 2> m_entries;
};

} // namespace tolvex
