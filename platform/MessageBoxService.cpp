#include "MessageBoxService.h"
#include "WindowStacking.h"

#include <QMessageBox>
#include <QTimer>

#include <chrono>
#include <cstdio>

namespace tolvex {

namespace {

QMessageBox::Icon qtIcon(BoxIcon icon)
{
    switch (icon) {
    case BoxIcon::Critical: return QMessageBox::Critical;
    case BoxIcon::Exclamation: return QMessageBox::Warning;
    case BoxIcon::Information: return QMessageBox::Information;
    case BoxIcon::Question: return QMessageBox::Question;
    case BoxIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

BoxAnswer QtMessageBoxService::show(const BoxRequest &request)
{
    QMessageBox box;
    box.setWindowTitle(request.title);
    box.setTextFormat(Qt::PlainText);
    QString text = request.text;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    box.setText(text);
    box.setIcon(qtIcon(request.icon));
    if (request.buttons == BoxButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        // A close (by the time-out or the title bar) counts as No.
        box.setEscapeButton(QMessageBox::No);
    } else if (request.buttons == BoxButtons::YesNoCancel) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Yes);
        // A close counts as Cancel.
        box.setEscapeButton(QMessageBox::Cancel);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Ok);
    }

    // A timed box closes itself, as if its OK (or No) button had been pressed. The timer
    // belongs to the box: it ends with it when the user closes the box first, and it can
    // never close any other window, whatever that window's title.
    if (request.timeoutSeconds > 0) {
        auto *timeout = new QTimer(&box);
        timeout->setObjectName(QStringLiteral("timeout"));
        timeout->setSingleShot(true);
        timeout->setTimerType(Qt::PreciseTimer);
        timeout->setInterval(std::chrono::seconds(request.timeoutSeconds));
        QObject::connect(timeout, &QTimer::timeout, &box, &QWidget::close);
        timeout->start();
    }

    // Above every window of the program, also a topmost one (a countdown, Run On Top),
    // so that nobody answers a box they cannot see.
    stackOverProgram(box);
    const int result = box.exec();
    if (request.buttons == BoxButtons::YesNo)
        return result == QMessageBox::Yes ? BoxAnswer::Yes : BoxAnswer::No;
    if (request.buttons == BoxButtons::YesNoCancel) {
        if (result == QMessageBox::Yes)
            return BoxAnswer::Yes;
        return result == QMessageBox::No ? BoxAnswer::No : BoxAnswer::Cancel;
    }
    return BoxAnswer::Ok;
}

BoxAnswer ScriptedMessageBoxService::show(const BoxRequest &request)
{
    m_shown.push_back(request);
    if (m_echo) {
        QString text = request.text;
        text.replace(QLatin1String("\r\n"), QLatin1String(" / "));
        text.replace(QLatin1Char('\n'), QLatin1String(" / "));
        text.replace(QLatin1Char('\r'), QLatin1String(" / "));
        const QByteArray line = QStringLiteral("[box] %1 | %2\n").arg(request.title, text).toUtf8();
        std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stderr);
        std::fflush(stderr);
    }
    if (!m_answers.empty()) {
        const BoxAnswer answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    }
    if (request.buttons == BoxButtons::YesNoCancel)
        return BoxAnswer::Cancel;
    return request.buttons == BoxButtons::YesNo ? m_defaultYesNo : BoxAnswer::Ok;
}

} // namespace tolvex
