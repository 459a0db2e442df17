#pragma once
#include "ConfigRecord.h"
#include "LogFile.h"
#include "MasterState.h"
#include "ProgramHost.h"
#include "ProgramServices.h"
#include <QWidget>
#include <array>
#include <memory>

namespace Ui { class TolvexMMain; }
class QAction;
class QLineEdit;
class QMenu;
class QTimer;

namespace tolvex { class MasterLink; }

// The master's main window and the one object that holds the master's state: its
// configuration record, its run state, its link rows and its services. The shared
// procedures of mdInit and mdMisc take it as their first argument.
class TolvexMMain : public QWidget, public tolvex::ProgramHost {
    Q_OBJECT
public:
    struct Options {
        // Tests drive the cycle by calling tmrRefresh_Timer() themselves; the window
        // then only records whether its timer is enabled.
        bool manualTimer = false;
    };

    TolvexMMain(tolvex::ProgramServices services, QString cmdLine, Options options, QWidget *parent = nullptr);
    TolvexMMain(tolvex::ProgramServices services, QString cmdLine, QWidget *parent = nullptr)
        : TolvexMMain(std::move(services), std::move(cmdLine), Options{}, parent) {}
    ~TolvexMMain() override;

    // ProgramHost
    QString productTitle() const override { return QStringLiteral("Tolvex"); }
    tolvex::MessageBoxService &boxes() override { return svc.boxes; }
    const tolvex::Clock &clock() const override { return svc.clock; }
    tolvex::ProgramEnd &programEnd() override { return svc.end; }
    tolvex::TrayService &tray() override { return svc.tray; }
    void stopMainTimer() override { setTimerEnabled(false); }

    // Event handlers, named after the control and the event.
    void Form_Load();
    void Form_Unload();
    void Form_Resize();
    void Form_Activate();
    void tmrRefresh_Timer();
    void ActivationTick();
    void RunTick();
    void ShutdownTick();
    void SendToRemotes();
    void udpServ_DataArrival(int index);
    void Reset_Click();
    void RestartMonitoring();
    void TestS_Click();
    void Exit_Click();
    void SetTrayIcon(const QString &trayState);
    void ShowMainWindow();
    void CheckUpdateSchedule();

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
    tolvex::MasterConfig cfg;
    tolvex::MasterState st;

    std::unique_ptr<Ui::TolvexMMain> ui;
    QTimer *tmrRefresh = nullptr;
    std::array<QLineEdit *, 5> Comp{};
    std::array<QLineEdit *, 5> Shut1{};
    std::array<QLineEdit *, 5> Type1{};
    std::unique_ptr<tolvex::MasterLink> link;

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

namespace mdInit {
void Initialise(TolvexMMain &m);
void ReadConfigFile(TolvexMMain &m);
void ValidateConfig(TolvexMMain &m);
void ResetRun(TolvexMMain &m);
void ShowStatusText(TolvexMMain &m);
void RefreshComputerList(TolvexMMain &m);
void InitComms(TolvexMMain &m);
// The master's event line: the link summary of the rows at full level.
bool WriteLogLine(TolvexMMain &m, const QString &event, const QString &detail,
                  mdInit::LogFailure onFailure = mdInit::LogFailure::Fatal);
void DisableMainControls(TolvexMMain &m);
void DisableDialogButtons(TolvexMMain &m);
void RestoreMainControls(TolvexMMain &m);
} // namespace mdInit

namespace mdMisc {
void DisableFormClose(TolvexMMain &m, bool allow);
}
