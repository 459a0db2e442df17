#pragma once
#include "Clock.h"
#include "MessageBoxService.h"
#include "ProgramEnd.h"
#include "ProgramHost.h"
#include "TrayService.h"
#include <functional>

namespace tolvex::test {

// A program host for tests: scripted boxes, an end that throws
// ProgramEndedException, a recording tray and a fake clock, all public so that a
// test can script and inspect them (host.boxes.shown(), host.end.ended(),
// host.clock.set(...)). A TestHost converts to ProgramHost&, so it can be passed
// wherever the shared procedures take the program's host.
//
// ProgramHost's own accessors are called boxes(), clock() and tray(); the members
// keep those names here, so the ProgramHost side is a small adapter (host()).
class TestHost {
public:
    explicit TestHost(const QString &productTitle = QStringLiteral("Tolvex"));
    TestHost(const TestHost &) = delete;
    TestHost &operator=(const TestHost &) = delete;

    ScriptedMessageBoxService boxes;
    ThrowingProgramEnd end;
    RecordingTrayService tray;
    FakeClock clock;
    int timerStops = 0;  // calls of stopMainTimer()
    QString title;       // the product title

    ProgramHost &host() { return m_adapter; }
    operator ProgramHost &() { return m_adapter; }

    // The last box shown; an empty request when none was.
    BoxRequest lastBox() const;
    // Whether the tray icon was removed at least once.
    bool trayRemoved() const;
    // Runs `action`; true when it ended the program (ProgramEndedException caught).
    bool ends(const std::function<void()> &action);

private:
    class Adapter : public ProgramHost {
    public:
        explicit Adapter(TestHost &owner) : m_owner(owner) {}
        QString productTitle() const override { return m_owner.title; }
        MessageBoxService &boxes() override { return m_owner.boxes; }
        const Clock &clock() const override { return m_owner.clock; }
        ProgramEnd &programEnd() override { return m_owner.end; }
        TrayService &tray() override { return m_owner.tray; }
        void stopMainTimer() override { ++m_owner.timerStops; }

    private:
        TestHost &m_owner;
    };
    Adapter m_adapter;
};

} // namespace tolvex::test
