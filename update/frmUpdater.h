#pragma once
#include "UpdateReply.h"
#include "UpdaterHost.h"
#include <QWidget>
#include <memory>

namespace Ui { class frmUpdater; }
class QTimer;
class urlGet;

// The update window: one check of the maker's web server for a newer version. Loading
// it starts the check; shown by the user it stays with the result, loaded hidden by
// the schedule it closes unseen unless a newer version exists. It closes itself about
// 120 s after loading (3 s with "-ShortUpdateTime"). Once unloaded it is only hidden
// and idle; the host deletes it.
class frmUpdater : public QWidget {
    Q_OBJECT
public:
    struct Options {
        // Tests step the window by calling Timer1_Timer() themselves.
        bool manualTimer = false;
    };

    frmUpdater(tolvex::update::UpdaterHost &host, QWidget *parent, Options options);
    explicit frmUpdater(tolvex::update::UpdaterHost &host, QWidget *parent = nullptr)
        : frmUpdater(host, parent, Options{}) {}
    ~frmUpdater() override;

    // Event handlers, named after the control and the event.
    void Form_Load();
    void Form_Unload();
    void Timer1_Timer();
    void urlGet1_DownloadComplete(int nBytes);
    void urlGet1_DownloadFailed(int ErrNum, const QString &ErrDesc);
    void urlGet1_DownloadProgress(int nBytes);
    void Contact_Click();
    void Download_Click();
    void History_Click();
    void KIssues_Click();
    void WebSite_Click();
    void Logo_Click();
    void Exit_Click() { Form_Unload(); }
    // Shows the loaded window centred, above every window of the program.
    void showOverProgram();

    void CreateLogFile();
    void WriteLogLine(const QString &text);
    void ParseUpdateXml();
    bool CheckVersion();

    bool unloaded() const { return m_unloaded; }

    urlGet *urlGet1 = nullptr;
    QTimer *Timer1 = nullptr;
    std::unique_ptr<Ui::frmUpdater> ui;

    int ErrCount = 0;
    int TickCount = 0;
    QString Page;
    QString LocalMajor;
    QString LocalMinor;
    QString URL;
    QString OSVer;
    tolvex::update::UpdateReply reply;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void openPage(const QString &page, bool parkFirst);
    QString displayName();

    tolvex::update::UpdaterHost &m_host;
    tolvex::update::UpdaterSettings m_settings;
    Options m_options;
    bool m_unloaded = false;
};
