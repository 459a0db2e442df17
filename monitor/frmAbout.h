#pragma once
#include <QWidget>
#include <memory>

namespace Ui { class frmAbout; }
class QTimer;

namespace tolvex { class MonitorWindow; }

// The About box of both programs: the program's name and version, the maker's web
// site and a countdown after which the monitoring cycle closes the box. While it is
// open the cycle's state steps pause (the link goes on) and the main window's dialog
// buttons stay disabled; its unload gives them back.
class frmAbout : public QWidget {
    Q_OBJECT
public:
    explicit frmAbout(tolvex::MonitorWindow &main);
    ~frmAbout() override;

    // Loads the box when it is not open, and shows it.
    void open();
    // Whatever closes the box (Exit, the title bar, the cycle, the main window's end)
    // comes here; nothing happens when it is not open.
    void unload();
    bool isLoaded() const { return m_loaded; }

    // Event handlers, named after the control and the event.
    void Form_Load();
    void Form_Activate();
    void Timer1_Timer();
    void ExitAbout_Click() { unload(); }
    void WebSite_Click();
    void Form_Unload();

    std::unique_ptr<Ui::frmAbout> ui;
    QTimer *Timer1 = nullptr;

protected:
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    tolvex::MonitorWindow &m_main;
    bool m_loaded = false;
};
