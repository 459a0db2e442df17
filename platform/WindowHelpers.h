#pragma once
#include <QWidget>
#include <functional>

class QLabel;
class QScreen;

// Small things every window of the programs does with itself.
namespace tolvex {

// Gives a label (a logo, a web address) a click: `action` runs when the left button
// is pressed and released over it, as with a button.
void onLabelClick(QLabel *label, std::function<void()> action);

// Changes a window's flags (nothing when they are the same). The change hides a
// shown window; it is shown again, in the state it had.
void changeWindowFlags(QWidget &window, Qt::WindowFlags flags);

// Keeps a window above all others, or lets it go; changed only when it differs.
void setTopmost(QWidget &window, bool topmost);

// Gives a window, not shown yet, the size its layout asks for and puts it in the middle
// of the screen (of `screen`, else of the primary one), inside the part free of panels.
void centreOnScreen(QWidget &window, const QScreen *screen = nullptr);

} // namespace tolvex
