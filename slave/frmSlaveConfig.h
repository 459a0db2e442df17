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

    void UpdateFieldStates() override;
    QString BuildValueString() const override;

    std::unique_ptr<Ui::frmSlaveConfig> ui;

protected:
    void loadOwnValues() override;
    void restoreOwnDefaults() override {}
    int fieldChecks() override;
    QList<QLabel *> ownMarkers() const override;
    QString screenFileText(const QDateTime &savedAt) const override;

private:
    const tolvex::SlaveConfig &m_running;
};
