#pragma once
#include <QString>

class QLabel;
class QLineEdit;
class QWidget;

// The main windows show the same status second after second. Each of these setters
// leaves a control alone when it already shows the value, so a steady second costs no
// repaint, no layout pass and no accessibility event; a changed value is set as ever.
// (Colours and bold text go through the colour setters, which skip unchanged values too.)
namespace tolvex {

void setTextIfChanged(QLabel *label, const QString &text);
void setTextIfChanged(QLineEdit *box, const QString &text);
void setToolTipIfChanged(QWidget *widget, const QString &tip);

} // namespace tolvex
