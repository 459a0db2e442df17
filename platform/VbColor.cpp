#include "VbColor.h"
#include <QApplication>
#include <QPalette>

namespace tolvex::colors {

QColor toQColor(quint32 bbggrr)
{
    if (bbggrr == kButtonFace)
        return QApplication::palette().color(QPalette::Button);
    if (bbggrr == kButtonText)
        return QApplication::palette().color(QPalette::ButtonText);
    if (bbggrr == kWindowBackground)
        return QApplication::palette().color(QPalette::Base);
    return QColor(int(bbggrr & 0xFF), int((bbggrr >> 8) & 0xFF), int((bbggrr >> 16) & 0xFF));
}

void setForeColor(QWidget *w, quint32 bbggrr)
{
    QPalette p = w->palette();
    const QColor c = toQColor(bbggrr);
    p.setColor(QPalette::WindowText, c);
    p.setColor(QPalette::Text, c);
    p.setColor(QPalette::ButtonText, c);
    w->setPalette(p);
    w->setProperty("foreColor", bbggrr);
}

void setBackColor(QWidget *w, quint32 bbggrr)
{
    QPalette p = w->palette();
    const QColor c = toQColor(bbggrr);
    p.setColor(QPalette::Window, c);
    p.setColor(QPalette::Base, c);
    w->setPalette(p);
    w->setAutoFillBackground(true);
    w->setProperty("backColor", bbggrr);
}

void setBold(QWidget *w, bool bold)
{
    QFont f = w->font();
    if (f.bold() != bold) {
        f.setBold(bold);
        w->setFont(f);
    }
}

quint32 foreColor(const QWidget *w)
{
    return w->property("foreColor").toUInt();
}

quint32 backColor(const QWidget *w)
{
    return w->property("backColor").toUInt();
}

} // namespace tolvex::colors
