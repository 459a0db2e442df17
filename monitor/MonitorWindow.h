#pragma once
#include "ConfigRecord.h"
#include "ConfigScreenHost.h"
#include "LogFile.h"
#include "MonitorState.h"
#include "ProgramHost.h"
#include "ProgramServices.h"
#include <QIcon>
#include <QPointer>
#include <QWidget>
#include <memory>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTimer;
class frmAbout;

namespace tolvex {

class ConfigScreen;
class UpdateWindowHost;

// What both main windows share: the services, the monitoring timer, the tray icon,
// the popup menu, hiding and showing, the rights-dependent controls, the end of a
// countdown, the end of the program, and the main window's side of the configuration
// screen. The master's and the slave's windows build on it and keep their own cycle,
// link, texts and screen.
class MonitorWindow : public QWidget, public ProgramHost, public ConfigScreenHost {
    Q_OBJECT
public:
    struct Options {
        // Tests drive the cycle by calling tmrRefresh_Timer() themselves; the window
        // then only records whether its timer is enabled.
        bool manualTimer = false;
    };
    // The program's own words: "Tolvex" / "Tolvex Master" in the master,
    // "Tolvex Slave" / "Tolvex Slave" in the slave.
    struct Identity {
        QString product;
        QString menuWord;
        int timerMs;
        bool slave = false;
    };
    // The buttons and boxes every main window has, as its form created them.
    struct Controls {
        QPushButton *About = nullptr;
        QPushButton *Config = nullptr;
        QPushButton *Reset = nullptr;
        QPushButton *TestS = nullptr;
        QPushButton *Update = nullptr;
        QPushButton *Exit = nullptr;
        QLineEdit *Park = nullptr;
        // The pictures that hold the tray states, and the logo.
        QLabel *ActivateIcon = nullptr;
        QLabel *ActivityIcon = nullptr;
        QLabel *ShutdownIcon = nullptr;
        QLabel *Logo = nullptr;
    };

    MonitorWindow(ProgramServices services, QString cmdLine, Options options, Identity identity,
                  QWidget *parent = nullptr);
    ~MonitorWindow() override;

    // ProgramHost
    QString productTitle() const override { return m_identity.product; }
    MessageBoxService &boxes() override { return svc.boxes; }
    const Clock &clock() const override { return svc.clock; }
    ProgramEnd &programEnd() override { return svc.end; }
    TrayService &tray() override { return svc.tray; }
    DesktopService &desktop() override { return svc.desktop; }
    void stopMainTimer() override { setTimerEnabled(false); }
    bool countdownUnderWay() const override { return m_deferLogFailures; }

    virtual CommonConfig &common() = 0;
    virtual MonitorState &state() = 0;
    const CommonConfig &common() const { return const_cast<MonitorWindow *>(this)->common(); }
    const MonitorState &state() const { return const_cast<MonitorWindow *>(this)->state(); }

    // The program's event line.
    virtual bool writeLog(const QString &event, const QString &detail,
                          mdInit::LogFailure onFailure = mdInit::LogFailure::Fatal) = 0;
    virtual void tmrRefresh_Timer() = 0;
    virtual void Reset_Click() = 0;
    virtual void RestartMonitoring() = 0;
    virtual void TestS_Click() = 0;

    virtual void Form_Load() = 0;
    // Arms a monitoring run (state 0) as both programs do; each program's ResetRun
    // adds its own values and colours.
    void armRun();
    // The start of a countdown step: false while a countdown end's box is open (the
    // step must not run again then); at the first step of a warned countdown the
    // window comes to the front with the shutdown picture.
    bool beginCountdownStep();
    // The button tool tips and the window caption, from the product title.
    void showButtonTips();
    // The box for a receive port that cannot be bound; true when the user chose to
    // end the program. The slave's first line ends with a full stop, the master's not.
    bool portErrorEndsProgram(int port, bool fullStop);

    // Handlers both windows share.
    // `exitLine` decides what a failing "Exit" line does; the program ends either way.
    void Form_Unload(mdInit::LogFailure exitLine = mdInit::LogFailure::Fatal);
    void Form_Resize();
    void Form_Activate();
    void Form_MouseMove(int message);
    void Exit_Click() { Form_Unload(); }
    void About_Click();
    void Logo_Click();
    // The update check by hand (button and menu item), and Update_Inhibit: true unloads
    // the update window and leaves the Update controls disabled, false enables them
    // when no check runs.
    void Update_Click();
    void Update_Inhibit(bool UpdateControl);
    void SetTrayIcon(const QString &trayState);
    void ShowMainWindow();
    // Shows the window for the first time, minimised on the task bar when the start-up
    // rule minimised it.
    void showAtStart();

    // Appends one finished event line to the log. From the first step of a countdown
    // to its end a failure is only noted and reported once the countdown is over (after
    // the power action), so that a log that cannot be written never stops a countdown.
    bool appendLogLine(const QString &line, mdInit::LogFailure onFailure);

    // ConfigScreenHost; applyConfiguration() is each program's own.
    ProgramHost &programHost() override { return *this; }
    bool IsAdmin() const override { return svc.isAdmin(state().CommandMode); }
    int commandMode() const override { return state().CommandMode; }
    bool &dialogOpen() override { return state().DialogOpen; }
    int &configCountdown() override { return state().ConfigCountdown; }
    bool &configSaved() override { return state().ConfigSaved; }
    bool notConfigured() const override { return state().NotConfigured; }
    void clearWindowToggled() override { state().WindowToggled = false; }
    void restoreMainControls() override;
    void openHomePage() override;

    // The configuration screen: opened modeless by Configure, closed by the cycle once
    // its countdown has run out (true when a screen was open).
    void Config_Click();
    bool closeConfigScreen();
    ConfigScreen *configScreen() const;

    bool mayExit() const { return IsAdmin() || common().UserExitA == 2; }
    LogSettings logSettings() const;
    void setTimerEnabled(bool enabled);
    bool timerEnabled() const { return m_timerEnabled; }
    // How often the timer has been started (re-armed) so far: a change tells that a
    // monitoring run was armed anew and its first second begins now.
    int timerStarts() const { return m_timerStarts; }
    bool isMinimised() const;
    bool isNormalState() const;
    void setCloseAllowed(bool allowed);
    bool closeAllowed() const { return m_closeAllowed; }
    const Controls &controls() const { return ctl; }
    bool isSlave() const { return m_identity.slave; }
    // True when tests drive the timers themselves (the About box's countdown too).
    bool manualTimers() const { return m_manualTimer; }
    // The dialogs that pause the cycle while they are open: the About box and the
    // configuration screen. The cycle's dialog step unloads an idle one (its countdown
    // run out), only one that is open, and returns how many it unloaded.
    int closeIdleDialogs();
    // While a dialog is open the state steps pause, whoever cleared DialogOpen.
    void holdForOpenDialogs();
    // A dialog's unload: DialogOpen stays true only while another one is open.
    void dialogClosed();
    bool aboutOpen() const;
    // Unloads the About box when it is open; true when it was.
    bool closeAbout();
    // The About box, once it has been opened.
    frmAbout *aboutBox() const { return m_about.get(); }

    ProgramServices svc;
    QString commandLine;
    QTimer *tmrRefresh = nullptr;
    // The update window and what it needs of this program.
    std::unique_ptr<UpdateWindowHost> updates;

    QMenu *MenuPopUp = nullptr;
    QAction *mPopUpAbout = nullptr;
    QAction *mPopUpCancel = nullptr;
    QAction *mPopUpConfig = nullptr;
    QAction *mPopUpMin = nullptr;
    QAction *mPopUpReset = nullptr;
    QAction *mPopUpRestore = nullptr;
    QAction *mPopUpTest = nullptr;
    QAction *mPopUpUpdate = nullptr;
    QAction *mPopUpExit = nullptr;

protected:
    // Called by the derived window once its form exists.
    void setUpWindow(const Controls &controls);
    // The status line's text.
    virtual void setCounterText(const QString &text) = 0;
    // The activation step both programs share; true when the run has just entered Run.
    bool stepActivation();
    // Parts of the Run step both programs share: the tray picture of the second, the
    // stop-time test (true during the whole stop minute), and the step's end (into
    // the countdown at the limit or the stop, else the full-level line; then the
    // next second starts without a valid datagram).
    void showLinkActivity();
    bool stopTimeReached() const;
    void finishRunStep();
    // Reset is "&Reset" again and the menu offers "Reset", not "Cancel".
    void showResetNotCancel();
    // The word of the run state for the log: the action in a countdown, "Run" or
    // "Initialise".
    QString runStateWord() const;
    // Parts of the countdown step both programs share: the time-out of its boxes, the
    // test run's box, the controls of a countdown, and the step's end (the power
    // action when the time is up, else the full-level line; then one second more).
    int countdownBoxTimeout() const;
    void showTestRunBox(int timeout);
    void showCountdownControls();
    void finishCountdownStep();
    // The end of a countdown: the power action or its simulation, its log lines, and
    // the end of the program (or the re-arming after hibernate and standby).
    void endCountdown();
    // The countdown is over (ended, cancelled or re-armed): log failures are fatal
    // again, and one noted during the countdown ends the program now.
    void endLogDeferral();
    // Gives the program's sockets back before it ends.
    virtual void closeLink() = 0;
    // A new configuration screen of the program, not loaded yet.
    virtual ConfigScreen *createConfigScreen() = 0;
    // The log lines of a configuration applied anew, when the program is configured:
    // "Config" "Updated" above log level "None", and the configuration at "Full".
    void logConfigUpdated();

    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

    Controls ctl;
    // True while a countdown end (or a test run's box) is under way: the countdown
    // step must not run again for the same countdown while its box is open.
    bool m_inCountdownEnd = false;

private:
    void buildPopupMenu();
    void updateWindowToggled();
    // Whenever the popup menu is shown (also while the window is hidden): a user who
    // may not exit finds Close, Configure and Test disabled, and Update is disabled
    // while a check runs.
    void applyMenuRights();

    Identity m_identity;
    bool m_manualTimer = false;
    bool m_timerEnabled = false;
    int m_timerStarts = 0;
    bool m_closeAllowed = true;
    bool m_deferLogFailures = false;
    bool m_logFailed = false;
    QIcon m_windowIcon;
    QIcon m_activateIcon;
    QIcon m_activityIcon;
    QIcon m_shutdownIcon;
    QIcon m_currentTrayIcon;
    QPointer<ConfigScreen> m_configScreen;
    std::unique_ptr<frmAbout> m_about;
};

} // namespace tolvex

// The controls around the dialogs and test runs, the same in both programs.
namespace mdInit {
void DisableMainControls(tolvex::MonitorWindow &m);
void DisableDialogButtons(tolvex::MonitorWindow &m);
void RestoreMainControls(tolvex::MonitorWindow &m);
} // namespace mdInit

namespace mdMisc {
// Takes the window's Close away from users who may not exit (the title bar's close
// button, and a close request is refused), or gives it back.
void DisableFormClose(tolvex::MonitorWindow &m, bool allow);
}
