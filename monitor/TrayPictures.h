#pragma once
#include <QColor>
#include <QIcon>

namespace tolvex {
// A small round picture in one colour, for the tray states and the logo.
QIcon roundPicture(const QColor &colour);
// The logo of every window: the picture of an armed run.
QIcon logoPicture();
}
