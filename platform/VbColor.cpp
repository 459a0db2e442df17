#include "VbColor.h"
#include <QApplication>
#include <QPalette>
#include <QVariant>
#include <initializer_list>

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

namespace {

// True when `w` was given `bbggrr` under `property` and its palette still shows it in
// every one of `roles`: setting it again would change nothing on the screen.
bool alreadyShows(const QWidget *w, const char *property, quint32 bbggrr, const QColor &c,
                  std::initializer_list<QPalette::ColorRole> roles)
{
    const QPalette &p = w->palette();
    for (QPalette::ColorRole role : roles) {
        if (p.color(role) != c)
            return false;
    }
    const QVariant set = w->property(property);
    return set.isValid() && set.toUInt() == bbggrr;
}

} // namespace

// Setting a palette, even an equal one, costs a comparison of every brush and sends
// change events; the status lines set the same colours every second, so an unchanged
// colour is left alone.
void setForeColor(QWidget *w, quint32 bbggrr)
{
    const QColor c = toQColor(bbggrr);
    if (alreadyShows(w, "foreColor", bbggrr, c, {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}))
        return;
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, c);
    p.setColor(QPalette::Text, c);
    p.setColor(QPalette::ButtonText, c);
    w->setPalette(p);
    w->setProperty("foreColor", bbggrr);
}

void setBackColor(QWidget *w, quint32 bbggrr)
{
    const QColor c = toQColor(bbggrr);
    if (w->autoFillBackground() && alreadyShows(w, "backColor", bbggrr, c, {QPalette::Window, QPalette::Base}))
        return;
    QPalette p = w->palette();
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
