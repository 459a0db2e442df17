#pragma once
#include "ConfigScreen.h"
#include <array>
#include <memory>

namespace Ui { class frmConfig; }

// The master's configuration screen: every value of the master's configuration, its
// four remote computers, the fixed delay and the automatic update check.
class frmConfig : public tolvex::ConfigScreen {
    Q_OBJECT
public:
    frmConfig(tolvex::ConfigScreenHost &host, const tolvex::MasterConfig &running, QWidget *parent = nullptr);
    ~frmConfig() override;

    void UpdateFieldStates() override;
    QString BuildValueString() const override;
    void Del_OnT_Click();

    std::unique_ptr<Ui::frmConfig> ui;
    std::array<QLineEdit *, 5> CompT{};   // 0 = this computer
    std::array<QLineEdit *, 5> IPAddT{};  // 1..4 used
    std::array<QLabel *, 5> IPAddM{};     // row captions, 0 = this computer

protected:
    void loadOwnValues() override;
    void restoreOwnDefaults() override;
    int fieldChecks() override;
    QList<QLabel *> ownMarkers() const override;
    QString screenFileText(const QDateTime &savedAt) const override;

private:
    const tolvex::MasterConfig &m_running;
};
