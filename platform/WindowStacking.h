#pragma once
class QWidget;

// Where a new window of the program stands among the program's other windows. A box or
// a dialog opened while another window of the program is topmost (a countdown, Run On
// Top) must come up above it, not hidden behind it.
namespace tolvex {

// The shown window of the program that a new box or dialog belongs to: the modal box
// already open, else the active window, else the shown window that stands highest (a
// topmost one first, and of those one that stands over another window of the
// program). Hidden, minimised and popup windows and `except` do not count; nullptr when
// no window is shown.
QWidget *ownerWindow(const QWidget *except = nullptr);

// True when a shown window of the program, other than `except`, stays on top.
bool programHasTopmostWindow(const QWidget *except = nullptr);

// Makes `window`, not shown yet, come up above every window of its program: it is
// made topmost when another shown window of the program is, and belongs to (is
// transient for) the owner window. The window manager keeps a box above its owner
// whatever the owner's layer; a plain window (a screen, the About box) is told of its
// owner too, but on X11 only the topmost flag lifts it. Nothing belongs to it when no
// other window is shown.
void stackOverProgram(QWidget &window);

} // namespace tolvex
