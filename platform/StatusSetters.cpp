#include "StatusSetters.h"
#include <QLabel>
#include <QLineEdit>

namespace tolvex {

void setTextIfChanged(QLabel *label, const QString &text)
{
    if (label->text() != text)
        label->setText(text);
}

// A line edit repaints, resets its cursor and tells the accessibility layer on every
// setText, even of the text it holds.
void setTextIfChanged(QLineEdit *box, const QString &text)
{
    if (box->text() != text)
        box->setText(text);
}

void setToolTipIfChanged(QWidget *widget, const QString &tip)
{
    if (widget->toolTip() != tip)
        widget->setToolTip(tip);
}

} // namespace tolvex
