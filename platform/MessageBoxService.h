#pragma once
#include <QString>
#include <QStringList>
#include <deque>
#include <vector>

namespace tolvex {

enum class BoxIcon { None, Critical, Exclamation, Information, Question };
enum class BoxButtons { Ok, YesNo, YesNoCancel };
enum class BoxAnswer { Ok, Yes, No, Cancel };

// One modal message box as the program asks for it.
struct BoxRequest {
    QString title;
    QString text;          // lines joined by CR LF, as the program builds them
    BoxIcon icon = BoxIcon::None;
    BoxButtons buttons = BoxButtons::Ok;
    int timeoutSeconds = 0; // 0: stays until answered; otherwise closes itself after that many seconds
};

// Every modal box of the programs goes through this interface, so that tests and
// headless runs can script the answers and read what was shown.
class MessageBoxService {
public:
    virtual ~MessageBoxService() = default;
    // Shows the box and returns when it is closed (by the user or by its time-out).
    virtual BoxAnswer show(const BoxRequest &request) = 0;
};

// Real boxes on screen (QMessageBox), each above every window of the program. A timed
// box closes itself when its time runs out, and only itself; closed earlier by the
// user, its timer ends with it.
class QtMessageBoxService : public MessageBoxService {
public:
    BoxAnswer show(const BoxRequest &request) override;
};

// Records every box and answers from a script; used by tests and by the programs
// when they run without a screen (offscreen platform). Without a scripted answer an
// OK box answers Ok, a Yes/No box answers `defaultYesNo` and a Yes/No/Cancel box
// answers Cancel (as closing it does).
class ScriptedMessageBoxService : public MessageBoxService {
public:
    BoxAnswer show(const BoxRequest &request) override;

    void setNextAnswer(BoxAnswer answer) { m_answers.push_back(answer); }
    void setDefaultYesNo(BoxAnswer answer) { m_defaultYesNo = answer; }
    // When set, every box is also written to standard error as one line
    // "[box] <title> | <text with CR LF shown as ' / '>".
    void setEchoToStderr(bool echo) { m_echo = echo; }

    const std::vector<BoxRequest> &shown() const { return m_shown; }
    void clear() { m_shown.clear(); m_answers.clear(); }

private:
    std::vector<BoxRequest> m_shown;
    std::deque<BoxAnswer> m_answers;
    BoxAnswer m_defaultYesNo = BoxAnswer::No;
    bool m_echo = false;
};

} // namespace tolvex
