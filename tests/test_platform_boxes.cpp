#include "MessageBoxService.h"
#include "TrayService.h"
#include "TestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <QtTest>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

using namespace tolvex;

namespace {

BoxRequest box(const QString &title, BoxButtons buttons = BoxButtons::Ok, int timeout = 0)
{
    BoxRequest r;
    r.title = title;
    r.text = QStringLiteral("First line\r\nSecond line");
    r.icon = BoxIcon::Exclamation;
    r.buttons = buttons;
    r.timeoutSeconds = timeout;
    return r;
}

// Closes any box still open after a generous bound, so that a box that fails to
// close itself fails the test instead of hanging it.
class BoxGuard {
public:
    BoxGuard()
    {
        m_timer.setSingleShot(true);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            m_fired = true;
            for (QWidget *w : QApplication::topLevelWidgets()) {
                if (auto *b = qobject_cast<QMessageBox *>(w))
                    b->done(0);
            }
        });
        m_timer.start(30000);
    }
    bool fired() const { return m_fired; }

private:
    QTimer m_timer;
    bool m_fired = false;
};

} // namespace

class TestPlatformBoxes : public QObject {
    Q_OBJECT

private slots:
    void scriptedBoxesRecordAndAnswer()
    {
        ScriptedMessageBoxService boxes;
        BoxRequest timed = box(QStringLiteral("Tolvex Master"), BoxButtons::Ok, 5);
        timed.icon = BoxIcon::Critical;
        QCOMPARE(boxes.show(timed), BoxAnswer::Ok);
        QCOMPARE(boxes.show(box(QStringLiteral("Ask"), BoxButtons::YesNo)), BoxAnswer::No);
        boxes.setDefaultYesNo(BoxAnswer::Yes);
        QCOMPARE(boxes.show(box(QStringLiteral("Ask"), BoxButtons::YesNo)), BoxAnswer::Yes);

        // Scripted answers are used in order, then the defaults again.
        boxes.setNextAnswer(BoxAnswer::No);
        boxes.setNextAnswer(BoxAnswer::Yes);
        QCOMPARE(boxes.show(box(QStringLiteral("Ask"), BoxButtons::YesNo)), BoxAnswer::No);
        QCOMPARE(boxes.show(box(QStringLiteral("Ask"), BoxButtons::YesNo)), BoxAnswer::Yes);
        QCOMPARE(boxes.show(box(QStringLiteral("Ask"), BoxButtons::YesNo)), BoxAnswer::Yes);

        QCOMPARE(boxes.shown().size(), size_t(6));
        const BoxRequest &first = boxes.shown().front();
        QCOMPARE(first.title, QStringLiteral("Tolvex Master"));
        QCOMPARE(first.text, QStringLiteral("First line\r\nSecond line"));
        QCOMPARE(first.icon, BoxIcon::Critical);
        QCOMPARE(first.buttons, BoxButtons::Ok);
        QCOMPARE(first.timeoutSeconds, 5);

        // clear() forgets the record and any answer not yet used.
        boxes.setNextAnswer(BoxAnswer::No);
        boxes.clear();
        QVERIFY(boxes.shown().empty());
        QCOMPARE(boxes.show(box(QStringLiteral("Ask"), BoxButtons::YesNo)), BoxAnswer::Yes);
    }

    void scriptedBoxesEchoOneLine()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("stderr.txt"));
        ScriptedMessageBoxService boxes;
        boxes.show(box(QStringLiteral("Silent")));
        boxes.setEchoToStderr(true);

        std::fflush(stderr);
        const int saved = ::dup(2);
        const int file = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        QVERIFY(saved >= 0 && file >= 0);
        ::dup2(file, 2);
        ::close(file);
        BoxRequest r = box(QStringLiteral("Tolvex Slave"));
        r.text = QStringLiteral("Log folder missing\r\n\r\nThe program will now terminate.");
        boxes.show(r);
        ::dup2(saved, 2);
        ::close(saved);

        QCOMPARE(test::readFile(path),
                 QByteArray("[box] Tolvex Slave | Log folder missing /  / The program will now terminate.\n"));
    }

    void timedBoxClosesItsTitledWindows()
    {
        const QString title = QStringLiteral("Tolvex timed %1").arg(QCoreApplication::applicationPid());
        QWidget sameTitle;
        sameTitle.setWindowTitle(title);
        sameTitle.show();
        QWidget otherTitle;
        otherTitle.setWindowTitle(QStringLiteral("Tolvex other"));
        otherTitle.show();

        BoxGuard guard;
        QtMessageBoxService boxes;
        QCOMPARE(boxes.show(box(title, BoxButtons::Ok, 1)), BoxAnswer::Ok);
        QVERIFY(!guard.fired());
        QVERIFY(!sameTitle.isVisible());
        QVERIFY(otherTitle.isVisible());

        // A timed Yes/No box that nobody answers counts as No.
        QCOMPARE(boxes.show(box(title, BoxButtons::YesNo, 1)), BoxAnswer::No);
        QVERIFY(!guard.fired());
    }

    void realBoxShowsRequestAndReturnsClick()
    {
        QString seenTitle;
        QString seenText;
        QMessageBox::Icon seenIcon = QMessageBox::NoIcon;
        int buttonCount = 0;
        QTimer::singleShot(0, [&] {
            auto *b = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!b)
                return;
            seenTitle = b->windowTitle();
            seenText = b->text();
            seenIcon = b->icon();
            buttonCount = int(b->buttons().size());
            b->button(QMessageBox::Yes)->click();
        });
        BoxGuard guard;
        QtMessageBoxService boxes;
        QCOMPARE(boxes.show(box(QStringLiteral("Port in use"), BoxButtons::YesNo)), BoxAnswer::Yes);
        QVERIFY(!guard.fired());
        QCOMPARE(seenTitle, QStringLiteral("Port in use"));
        QCOMPARE(seenText, QStringLiteral("First line\nSecond line"));
        QCOMPARE(seenIcon, QMessageBox::Warning);
        QCOMPARE(buttonCount, 2);
    }

    void trayWorksWithoutNotificationArea()
    {
        QPixmap picture(16, 16);
        picture.fill(Qt::green);
        const QIcon icon(picture);
        QtTrayService tray;
        int messages = 0;
        tray.setMouseHandler([&messages](int) { ++messages; });
        tray.add(icon, QStringLiteral("Tolvex Master"));
        QVERIFY(tray.isShown());
        tray.modify(icon, QStringLiteral("Tolvex Master - Run"));
        tray.remove();
        QVERIFY(!tray.isShown());
        QCOMPARE(messages, 0);

        RecordingTrayService recorded;
        recorded.setMouseHandler([&messages](int message) { messages = message; });
        recorded.add(icon, QStringLiteral("tip"));
        QCOMPARE(recorded.currentIconKey(), icon.cacheKey());
        recorded.simulateMouse(516);
        QCOMPARE(messages, 516);
    }
};

QTEST_MAIN(TestPlatformBoxes)
#include "test_platform_boxes.moc"
