#pragma once
#include "Clock.h"
#include "DesktopService.h"
#include "MessageBoxService.h"
#include "ProgramEnd.h"
#include "ProgramHost.h"
#include "TrayService.h"
#include <functional>

namespace tolvex::test {

// A program host with scripted boxes, an end that throws ProgramEndedException, a
// recording tray and a fake clock (14-Mar-26 12:00:05 until set), all public.
class TestHost : public ProgramHost {
public:
    explicit TestHost(const QString &name = QStringLiteral("Tolvex")) : title(name) {}

    ScriptedMessageBoxService boxService;
    ThrowingProgramEnd end;
    RecordingTrayService trayService;
    FakeClock fakeClock;
    RecordingDesktopService desktopService;
    int timerStops = 0;  // calls of stopMainTimer()
    QString title;

    QString productTitle() const override { return title; }
    MessageBoxService &boxes() override { return boxService; }
    const Clock &clock() const override { return fakeClock; }
    ProgramEnd &programEnd() override { return end; }
    TrayService &tray() override { return trayService; }
    DesktopService &desktop() override { return desktopService; }
    void stopMainTimer() override { ++timerStops; }
    bool countdown = false;  // what countdownUnderWay() answers
    bool countdownUnderWay() const override { return countdown; }

    const std::vector<BoxRequest> &shown() const { return boxService.shown(); }
    BoxRequest lastBox() const { return shown().empty() ? BoxRequest() : shown().back(); }
    bool trayRemoved() const;
    // Runs `action`; true when it ended the program.
    static bool ends(const std::function<void()> &action);
};

} // namespace tolvex::test
