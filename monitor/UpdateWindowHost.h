#pragma once
#include "UpdaterHost.h"
#include "frmUpdater.h"
#include <QPointer>

namespace tolvex {

class MonitorWindow;

// The main window's side of the update check, the same in both programs: it loads the
// update window for one check, gives it what it needs of the program, and gets the
// Update button and menu item back when the window unloads.
class UpdateWindowHost : public update::UpdaterHost {
public:
    explicit UpdateWindowHost(MonitorWindow &window);
    ~UpdateWindowHost() override;

    // Where the master keeps the moment of its next automatic check; the slave has no
    // schedule, and the moments a check sets go nowhere.
    void keepScheduleIn(QDateTime *nextUpdateCheck) { m_nextUpdateCheck = nextUpdateCheck; }

    // The start of every check: an update window still loaded is closed, Update and
    // its menu item disabled, the check marked busy and opened by hand (`manual`) or
    // by the schedule.
    void beginCheck(bool manual);
    // Loads a new update window, which starts the check: shown when `manual`, else
    // hidden until it finds a newer version.
    void load(bool manual);
    // Update_Inhibit of both programs: true unloads the update window and leaves the
    // Update controls disabled; false enables them when no check runs.
    void inhibit(bool updateControl);
    // The loaded update window, or null.
    frmUpdater *window() const;

    // Where the check asks: the maker's web root unless a test points it elsewhere.
    QString webRoot;
    frmUpdater::Options windowOptions;

    // UpdaterHost
    ProgramHost &program() override;
    update::UpdaterSettings updaterSettings() const override;
    void setNextUpdateCheck(const QDateTime &moment) override;
    void openWebPage(const QString &page) override;
    void updaterUnloaded() override;
    QPixmap logo() const override;

private:
    MonitorWindow &m_window;
    QDateTime *m_nextUpdateCheck = nullptr;
    QPointer<frmUpdater> m_form;
};

} // namespace tolvex
