#include "TrayPictures.h"
#include <QPainter>
#include <QPixmap>

namespace tolvex {

QIcon roundPicture(const QColor &colour)
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(colour);
    painter.setPen(QPen(colour.darker(160), 2));
    painter.drawEllipse(3, 3, 26, 26);
    return QIcon(pixmap);
}

QIcon logoPicture()
{
    return roundPicture(QColor(0x30, 0x60, 0xE0));
}

} // namespace tolvex
