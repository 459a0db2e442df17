#pragma once
#include "ConfigScreen.h"
#include <memory>

namespace Ui { class frmSlaveConfig; }

// The slave's configuration screen: its one master address, its own checks and file,
// and "Tolvex Slave" wherever the master's screen names its program.
class frmSlaveConfig : public tolvex::ConfigScreen {
    Q_OBJECT
public:
    frmSlaveConfig(tolvex::ConfigScreenHost &host, const tolvex::SlaveConfig &running, QWidget *parent = nullptr);
    ~frmSlaveConfig() override;

    void Data_Load() override;
    void UpdateFieldStates() override;
    QString BuildValueString() const override;
    int ValidateFields() override;
    void ClearHighlights() override;
    void Restore_Click() override;
    void DNameT_Click() override;

    std::unique_ptr<Ui::frmSlaveConfig> ui;

protected:
    QString caption() const override;
    void openingSteps() override;
    QString screenFileText(const QDateTime &savedAt) const override;
    void leaveScreen() override;

private:
    const tolvex::SlaveConfig &m_running;
};
