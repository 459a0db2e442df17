#pragma once
#include "ConfigRecord.h"
#include "MonitorWindow.h"
#include "SlaveState.h"
#include <memory>

namespace Ui { class TolvexSMain; }

namespace tolvex { class UdpEndpoint; }

// The slave's main window and the one object that holds the slave's state: its
// configuration record, its run state, its one socket and its services. The slave's
// variants of the procedures of mdInit take it as their first argument.
class TolvexSMain : public tolvex::MonitorWindow {
    Q_OBJECT
public:
    TolvexSMain(tolvex::ProgramServices services, QString cmdLine, Options options = {}, QWidget *parent = nullptr);
    ~TolvexSMain() override;

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
    void udpServ_DataArrival(const QString &datagram);
    void SendReply();
    void Reset_Click() override;
    void RestartMonitoring() override;
    void TestS_Click() override;
    void applyConfiguration() override;

    tolvex::SlaveConfig cfg;
    tolvex::SlaveState st;

    std::unique_ptr<Ui::TolvexSMain> ui;
    std::unique_ptr<tolvex::UdpEndpoint> udpServ;

protected:
    void closeLink() override;
    tolvex::ConfigScreen *createConfigScreen() override;

private:
    void markLinkError();
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
} // namespace mdInit
