#pragma once
#include "ConfigRecord.h"
#include "MasterState.h"
#include "MonitorWindow.h"
#include <array>
#include <memory>

namespace Ui { class TolvexMMain; }
class QLineEdit;

namespace tolvex { class MasterLink; }

// The master's main window and the one object that holds the master's state: its
// configuration record, its run state, its link rows and its services. The master's
// procedures of mdInit take it as their first argument.
class TolvexMMain : public tolvex::MonitorWindow {
    Q_OBJECT
public:
    TolvexMMain(tolvex::ProgramServices services, QString cmdLine, Options options = {}, QWidget *parent = nullptr);
    ~TolvexMMain() override;

    tolvex::CommonConfig &common() override { return cfg; }
    tolvex::MonitorState &state() override { return st; }
    bool writeLog(const QString &event, const QString &detail, mdInit::LogFailure onFailure) override;
    void setCounterText(const QString &text) override;

    // Event handlers, named after the control and the event.
    void Form_Load() override;
    void tmrRefresh_Timer() override;
    void ActivationTick();
    void RunTick();
    void ShutdownTick();
    void SendToRemotes();
    void udpServ_DataArrival(int index, const QString &datagram);
    void Reset_Click() override;
    void RestartMonitoring() override;
    void TestS_Click() override;
    void CheckUpdateSchedule();
    void applyConfiguration() override;

    // The colour of the host row's name and letter cells, Comp(0) and Shut1(0). The
    // grid's refresh at the start of a cycle colours them black and the poll at the end
    // of the same tick colours them again by the network's state; shown as written, a
    // steady second would repaint them for nothing. So inside a tick the colour is only
    // noted, and shown when the tick ends or before its countdown step (which may open
    // a box); outside a tick it is shown at once. The last colour written wins either way.
    enum HostCell { HostName, HostLetter };
    void colourHostCell(HostCell cell, quint32 colour);
    void showHostCellColours();

    tolvex::MasterConfig cfg;
    tolvex::MasterState st;

    std::unique_ptr<Ui::TolvexMMain> ui;
    std::array<QLineEdit *, 5> Comp{};
    std::array<QLineEdit *, 5> Shut1{};
    std::array<QLineEdit *, 5> Type1{};
    std::unique_ptr<tolvex::MasterLink> link;

protected:
    void closeLink() override;
    tolvex::ConfigScreen *createConfigScreen() override;

private:
    int m_tickDepth = 0; // ticks under way (a box opened in a tick lets the next one run)
    std::array<quint32, 2> m_hostColour{};
    std::array<bool, 2> m_hostColourPending{};
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
} // namespace mdInit
