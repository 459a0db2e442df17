#pragma once
#include <functional>

class QLabel;

namespace tolvex {

// Gives a label (a logo, a web address) a click: `action` runs when the left button
// is pressed and released over it, as with a button.
void onLabelClick(QLabel *label, std::function<void()> action);

} // namespace tolvex
