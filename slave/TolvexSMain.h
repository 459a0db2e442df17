#pragma once
#include "ConfigRecord.h"
#include "LogFile.h"
#include "ProgramHost.h"
#include "ProgramServices.h"
#include "SlaveState.h"
#include <QIcon>
#include <QWidget>
#include <memory>

namespace Ui { class TolvexSMain; }
class QAction;
class QMenu;
class QTimer;

namespace tolvex { class UdpEndpoint; }

// The slave's main window and the one object that holds the slave's state: its
// configuration record, its run state, its one socket and its services. The slave's
// variants of the shared procedures of mdInit and mdMisc take it as their first
// argument.
class TolvexSMain : public QWidget, public tolvex::ProgramHost {
    Q_OBJECT
public:
    struct Options {
        // Tests drive the cycle by calling tmrRefresh_Timer() themselves; the window
        // then only records whether its timer is enabled.
        bool manualTimer = false;
    };

    TolvexSMain(tolvex::ProgramServices services, QString cmdLine, Options options, QWidget *parent = nullptr);
    TolvexSMain(tolvex::ProgramServices services, QString cmdLine, QWidget *parent = nullptr)
        : TolvexSMain(std::move(services), std::move(cmdLine), Options{}, parent) {}
    ~TolvexSMain() override;

    // ProgramHost
    QString productTitle() const override { return QStringLiteral("Tolvex Slave"); }
    tolvex::MessageBoxService &boxes() override { return svc.boxes; }
    const tolvex::Clock &clock() const override { return svc.clock; }
    tolvex::ProgramEnd &programEnd() override { return svc.end; }
    tolvex::TrayService &tray() override { return svc.tray; }
    void stopMainTimer() override { setTimerEnabled(false); }

    // Event handlers, named after the control and the event.
    void Form_Load();
    void Form_Unload(mdInit::LogFailure exitLine = mdInit::LogFailure::Fatal);
    void Form_Resize();
    void Form_Activate();
    void Form_MouseMove(int message);
    void tmrRefresh_Timer();
    void ActivationTick();
    void RunTick();
    void ShutdownTick();
    void udpServ_DataArrival();
    void SendReply();
    void Reset_Click();
    void RestartMonitoring();
    void TestS_Click();
    void Exit_Click();
    void SetTrayIcon(const QString &trayState);
    void ShowMainWindow();

    bool IsAdmin() const { return svc.isAdmin(st.CommandMode); }
    tolvex::LogSettings logSettings() const;
    void setTimerEnabled(bool enabled);
    bool timerEnabled() const { return m_timerEnabled; }
    bool isMinimised() const;
    bool isNormalState() const;
    void setCloseAllowed(bool allowed);
    bool closeAllowed() const { return m_closeAllowed; }

    tolvex::ProgramServices svc;
    QString commandLine;
    tolvex::SlaveConfig cfg;
    tolvex::SlaveState st;

    std::unique_ptr<Ui::TolvexSMain> ui;
    QTimer *tmrRefresh = nullptr;
    std::unique_ptr<tolvex::UdpEndpoint> udpServ;

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
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildPopupMenu();
    void connectControls();
    void endCountdown();
    void takeDatagram(const QString &datagram);
    void markLinkError();

    bool m_manualTimer = false;
    bool m_timerEnabled = false;
    bool m_closeAllowed = true;
    bool m_inCountdownEnd = false;
    QIcon m_windowIcon;
    QIcon m_activateIcon;
    QIcon m_activityIcon;
    QIcon m_shutdownIcon;
    QIcon m_currentTrayIcon;
};

// The slave's variants of the shared procedures; overloads on the slave's window, so
// that master and slave can live in one process (the tests do).
namespace mdInit {
void Initialise(TolvexSMain &m);
void ReadConfigFile(TolvexSMain &m);
void ValidateConfig(TolvexSMain &m);
void ResetRun(TolvexSMain &m);
void ShowStatusText(TolvexSMain &m);
// The slave's event line: its LinkStatus after ", Comms: " at full level.
bool WriteLogLine(TolvexSMain &m, const QString &event, const QString &detail,
                  mdInit::LogFailure onFailure = mdInit::LogFailure::Fatal);
void DisableMainControls(TolvexSMain &m);
void DisableDialogButtons(TolvexSMain &m);
void RestoreMainControls(TolvexSMain &m);
} // namespace mdInit

namespace mdMisc {
void DisableFormClose(TolvexSMain &m, bool allow);
}
