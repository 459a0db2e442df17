#include "MessageBoxService.h"
#include "TestSupport.h"
#include "TrayService.h"
#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPixmap>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <QtTest>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

using namespace tolvex;

namespace {

BoxRequest box(const QString &title, BoxButtons buttons = BoxButtons::Ok, int timeout = 0)
{
    return {title, QStringLiteral("First line\r\nSecond line"), BoxIcon::Exclamation, buttons, timeout};
}

} // namespace

// Which windows of the program are shown when a box opens: "main" (topmost or not)
// and a "dialog" of the program opened over it, and which of them is active.
struct StackCase {
    QString main;       // "shown", "minimised" or "hidden"
    bool mainTopmost;
    bool dialog;        // a second window shown (not topmost)
    QString active;     // "main", "dialog" or "" (none active)
    QString owner;      // the window the box belongs to, "" for none
    bool topmost;       // the box itself
};
Q_DECLARE_METATYPE(StackCase)

class TestPlatformBoxes : public QObject {
    Q_OBJECT

private slots:
    void scriptedBoxesRecordAndAnswer()
    {
        ScriptedMessageBoxService boxes;
        QCOMPARE(boxes.show(box("Tolvex Master", BoxButtons::Ok, 5)), BoxAnswer::Ok);
        const BoxRequest ask = box("Ask", BoxButtons::YesNo);
        QCOMPARE(boxes.show(ask), BoxAnswer::No);  // the default
        boxes.setDefaultYesNo(BoxAnswer::Yes);
        // Scripted answers are used in order, then the default again.
        for (BoxAnswer answer : {BoxAnswer::No, BoxAnswer::Yes, BoxAnswer::No})
            boxes.setNextAnswer(answer);
        QCOMPARE(QList<BoxAnswer>({boxes.show(ask), boxes.show(ask), boxes.show(ask), boxes.show(ask)}),
                 QList<BoxAnswer>({BoxAnswer::No, BoxAnswer::Yes, BoxAnswer::No, BoxAnswer::Yes}));
        QCOMPARE(boxes.shown().size(), size_t(6));
        const BoxRequest &first = boxes.shown().front();
        QCOMPARE(std::make_tuple(first.title, first.text, first.icon, first.buttons, first.timeoutSeconds),
                 std::make_tuple(QString("Tolvex Master"), ask.text, BoxIcon::Exclamation, BoxButtons::Ok, 5));
        // clear() forgets the record and any answer not yet used.
        boxes.setNextAnswer(BoxAnswer::No);
        boxes.clear();
        QVERIFY(boxes.shown().empty());
        QCOMPARE(boxes.show(ask), BoxAnswer::Yes);

        // Asked to, each box is echoed as one line on stderr.
        QTemporaryDir dir;
        boxes.show(box("Silent"));
        boxes.setEchoToStderr(true);
        std::fflush(stderr);
        const int saved = ::dup(2);
        const int file = ::open(QFile::encodeName(dir.filePath("stderr.txt")).constData(), O_WRONLY | O_CREAT, 0600);
        QVERIFY(saved >= 0 && file >= 0);
        ::dup2(file, 2);
        ::close(file);
        boxes.show({"Tolvex Slave", "Log folder missing\r\n\r\nThe program will now terminate.", {}, {}, 0});
        ::dup2(saved, 2);
        ::close(saved);
        QCOMPARE(test::readFile(dir.filePath("stderr.txt")),
                 "[box] Tolvex Slave | Log folder missing /  / The program will now terminate.\n");
    }

    void realBoxesCloseThemselvesOrReturnTheClick()
    {
        test::quietOffscreenWindowWarnings();
        // Any box still open after 30 s is closed, so that a box that fails to close
        // itself fails the test instead of hanging it.
        bool hung = false;
        QTimer guard;
        guard.callOnTimeout([&hung] {
            hung = true;
            for (QWidget *w : QApplication::topLevelWidgets())
                if (auto *b = qobject_cast<QMessageBox *>(w))
                    b->done(0);
        });
        guard.start(30000);
        QtMessageBoxService boxes;

        // A timed box closes itself after its seconds, and nothing else: not even a
        // window that carries the same title. Its timer belongs to the box.
        const QString title = QStringLiteral("Tolvex timed %1").arg(QCoreApplication::applicationPid());
        QWidget sameTitle;
        sameTitle.setWindowTitle(title);
        sameTitle.show();
        QPointer<QTimer> timer;
        int interval = 0;
        QTimer::singleShot(0, [&] {
            if (auto *b = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                timer = b->findChild<QTimer *>(QStringLiteral("timeout"));
                interval = timer && timer->isActive() ? timer->interval() : -1;
            }
        });
        QCOMPARE(boxes.show(box(title, BoxButtons::Ok, 2)), BoxAnswer::Ok);
        QCOMPARE(interval, 2000);
        QVERIFY(timer.isNull());
        QVERIFY(sameTitle.isVisible());
        QCOMPARE(boxes.show(box(title, BoxButtons::YesNo, 1)), BoxAnswer::No);  // nobody answered

        // Closed by the user first, its timer ends with it: a later box of the same
        // title, answered after the first one's time would have run out, still gets
        // the user's answer (a close by a stale timer would answer No).
        const auto clickYesAfter = [](int ms) {
            QTimer::singleShot(ms, [] {
                if (auto *b = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
                    b->button(QMessageBox::Yes)->click();
            });
        };
        clickYesAfter(0);
        QCOMPARE(boxes.show(box(title, BoxButtons::YesNo, 1)), BoxAnswer::Yes);
        clickYesAfter(1500);
        QCOMPARE(boxes.show(box(title, BoxButtons::YesNo)), BoxAnswer::Yes);

        QString seen;
        QTimer::singleShot(0, [&seen] {
            if (auto *b = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                seen = QStringLiteral("%1|%2|%3|%4").arg(b->windowTitle(), b->text()).arg(b->icon())
                           .arg(b->buttons().size());
                b->button(QMessageBox::Yes)->click();
            }
        });
        QCOMPARE(boxes.show(box("Port in use", BoxButtons::YesNo)), BoxAnswer::Yes);
        QCOMPARE(seen, QStringLiteral("Port in use|First line\nSecond line|%1|2").arg(QMessageBox::Warning));
        QVERIFY(!hung);
    }

    // A box comes up above every window of its program: it belongs to the window
    // the user looks at and is topmost while any shown window of the program is.
    void realBoxesStandAboveTheProgram_data()
    {
        QTest::addColumn<StackCase>("c");
        QTest::newRow("no window shown") << StackCase{"hidden", true, false, "", "", false};
        QTest::newRow("the main window") << StackCase{"shown", false, false, "main", "main", false};
        QTest::newRow("a topmost main window") << StackCase{"shown", true, false, "main", "main", true};
        QTest::newRow("a topmost main window, not active") << StackCase{"shown", true, false, "", "main", true};
        QTest::newRow("a dialog active over a topmost main window") << StackCase{"shown", true, true, "dialog", "dialog", true};
        QTest::newRow("a topmost main window and a dialog, none active") << StackCase{"shown", true, true, "", "main", true};
        QTest::newRow("a minimised topmost window counts for nothing") << StackCase{"minimised", true, true, "", "dialog", false};
    }

    void realBoxesStandAboveTheProgram()
    {
        QFETCH(StackCase, c);
        test::quietOffscreenWindowWarnings();
        QWidget main;
        main.setObjectName("main");
        main.setWindowFlag(Qt::WindowStaysOnTopHint, c.mainTopmost);
        QWidget dialog;
        dialog.setObjectName("dialog");
        if (c.main == "shown")
            main.show();
        else if (c.main == "minimised")
            main.showMinimized();
        if (c.dialog)
            dialog.show();
        if (!c.active.isEmpty()) {
            QWidget *active = c.active == "main" ? &main : &dialog;
            active->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(active));
        } else {
            QApplication::setActiveWindow(nullptr);
        }
        QString owner = "?";
        bool topmost = false;
        QTimer::singleShot(0, [&] {
            if (auto *b = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                const QWindow *parent = b->windowHandle()->transientParent();
                owner = !parent                          ? ""
                        : parent == main.windowHandle()   ? "main"
                        : parent == dialog.windowHandle() ? "dialog"
                                                          : "another window";
                topmost = b->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
                b->done(0);
            }
        });
        QtMessageBoxService boxes;
        QCOMPARE(boxes.show(box("Tolvex Simulate Power Off")), BoxAnswer::Ok);
        QCOMPARE(owner, c.owner);
        QCOMPARE(topmost, c.topmost);
    }

    void trayWorksWithoutNotificationArea()
    {
        QPixmap picture(16, 16);
        picture.fill(Qt::green);
        QtTrayService tray;
        int messages = 0;
        tray.setMouseHandler([&messages](int) { ++messages; });
        tray.add(QIcon(picture), "Tolvex Master");
        QVERIFY(tray.isShown());
        tray.modify(QIcon(picture), "Tolvex Master - Run");
        tray.remove();
        QVERIFY(!tray.isShown());
        QCOMPARE(messages, 0);
    }
};

QTEST_MAIN(TestPlatformBoxes)
#include "test_platform_boxes.moc"
