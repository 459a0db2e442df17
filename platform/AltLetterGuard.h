#pragma once
#include <QObject>

class QCoreApplication;
class QKeyEvent;

namespace tolvex {

// Alt+letter is a button's mnemonic and nothing else. Qt hands a key press that no
// shortcut took (the button is greyed, or no button has that letter) to the widget
// with the focus, and a text field or a list then takes the letter as typed text:
// Alt+A, Alt+V turned "TolvexM.log" into "TolvexM.logav". This filter, on the whole
// application, drops such a press before any widget sees it; the mnemonics of enabled
// buttons, handled before it, and the letters of an open menu are not touched.
class AltLetterGuard : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    // True for a press of Alt (without Ctrl, which with Alt stands for AltGr on some
    // keyboards) and a key that types a printable character.
    static bool isStrayMnemonic(const QKeyEvent &event);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

// Puts the guard on the application once; a second call changes nothing.
void guardAltLetters(QCoreApplication &app);

} // namespace tolvex
