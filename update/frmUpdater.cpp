#include "frmUpdater.h"
#include "Clock.h"
#include "FatalChecks.h"
#include "UpdateQuery.h"
#include "TolvexVersion.h"
#include "UpdaterLog.h"
#include "VersionCheck.h"
#include "WindowHelpers.h"
#include "WindowStacking.h"
#include "ui_frmUpdater.h"
#include "urlGet.h"
#include <QCloseEvent>
#include <QTimer>

using namespace tolvex;
using namespace tolvex::update;

namespace {
constexpr int kTickMs = 100;
constexpr int kLastTick = 1201;      // about 120 s
constexpr int kLastTickShort = 31;   // about 3 s with "-ShortUpdateTime"
} // namespace

frmUpdater::frmUpdater(UpdaterHost &host, QWidget *parent, Options options)
    : QWidget(parent, Qt::Window),
      ui(std::make_unique<Ui::frmUpdater>()),
      m_host(host),
      m_options(options)
{
    ui->setupUi(this);
    urlGet1 = new urlGet(this);
    urlGet1->setObjectName(QStringLiteral("urlGet1"));
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(kTickMs);
    Timer1->setTimerType(Qt::PreciseTimer);

    connect(Timer1, &QTimer::timeout, this, &frmUpdater::Timer1_Timer);
    connect(urlGet1, &urlGet::DownloadComplete, this, &frmUpdater::urlGet1_DownloadComplete);
    connect(urlGet1, &urlGet::DownloadFailed, this, &frmUpdater::urlGet1_DownloadFailed);
    connect(urlGet1, &urlGet::DownloadProgress, this, &frmUpdater::urlGet1_DownloadProgress);
    connect(ui->Contact, &QPushButton::clicked, this, &frmUpdater::Contact_Click);
    connect(ui->Download, &QPushButton::clicked, this, &frmUpdater::Download_Click);
    connect(ui->History, &QPushButton::clicked, this, &frmUpdater::History_Click);
    connect(ui->KIssues, &QPushButton::clicked, this, &frmUpdater::KIssues_Click);
    connect(ui->WebSite, &QPushButton::clicked, this, &frmUpdater::WebSite_Click);
    connect(ui->Exit, &QPushButton::clicked, this, &frmUpdater::Exit_Click);
    onLabelClick(ui->Logo, [this] { Logo_Click(); });
    ui->Logo->setPixmap(host.logo());
}

frmUpdater::~frmUpdater() = default;

QString frmUpdater::displayName()
{
    return m_host.program().productTitle();
}

void frmUpdater::Form_Load()
{
    m_settings = m_host.updaterSettings();
    const int mode = m_settings.commandMode;
    // The log folder must exist; the updater log is kept there when it is switched on.
    // A countdown is never ended for it (its log lines are the main log's business).
    if (!m_host.program().countdownUnderWay())
        mdInit::CheckLogDirectory(m_host.program(), m_settings.logPath);
    if (updaterLogOn(m_settings.logPath))
        CreateLogFile();
    LocalMajor = localMajor(kVersionMajor, kVersionMinor, mode);
    LocalMinor = localMinor();
    const QDateTime now = m_host.program().clock().now();
    m_host.setNextUpdateCheck(mode == 5 ? now.addSecs(7) : now.addSecs(24 * 3600));

    OSVer = clsGetOSVer().getVersion();
    URL = requestUrl(m_settings.webRoot, LocalMajor, LocalMinor, OSVer);
    WriteLogLine(requestEntry(now, URL));

    const QString name = displayName();
    setWindowTitle(name + QStringLiteral(" Update Check"));
    ui->Status->setText(QStringLiteral("Please Wait - Checking for the latest version"));
    ui->UVersion->setText(name + QStringLiteral(" Version ") + LocalMajor);
    ui->Contact->setToolTip(QStringLiteral("Contact Quillon"));
    ui->Exit->setToolTip(QStringLiteral("Close ") + name + QStringLiteral(" update check"));
    ui->WebSite->setToolTip(name + QStringLiteral(" website"));
    ui->KIssues->setToolTip(name + QStringLiteral(" known issues"));
    ui->History->setToolTip(name + QStringLiteral(" change history"));
    ui->Download->setToolTip(QStringLiteral("Download the latest version of ") + name);

    WriteLogLine(programEntry(mode, name, LocalMajor, LocalMinor, OSVer));

    // Each check counts its own missing elements.
    ErrCount = 0;
    TickCount = 0;
    if (!m_options.manualTimer)
        Timer1->start();
}

void frmUpdater::Form_Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    Timer1->stop();
    urlGet1->DownloadCancel();
    hide();
    m_host.updaterUnloaded();
}

void frmUpdater::Timer1_Timer()
{
    if (m_unloaded)
        return;
    TickCount += 1;
    if (TickCount == kLastTick || (TickCount == kLastTickShort && m_settings.commandMode == 5)) {
        Form_Unload();
        return;
    }
    if (TickCount == 2) {
        urlGet1->DownloadStart(trimSpaces(URL), urlGet::kFreshCopy);
        if (ErrCount != 0) {
            ui->Status->setText(QStringLiteral("Unable to contact web site - try later"));
            if (!m_settings.manualCheck)
                Form_Unload();
        }
    }
}

void frmUpdater::urlGet1_DownloadProgress(int)
{
    ui->Status->setText(QStringLiteral("Getting latest version of ") + displayName());
}

// The window comes up whole in the middle of the screen, above the program's windows
// (a topmost one too).
void frmUpdater::showOverProgram()
{
    tolvex::centreOnScreen(*this, screen());
    tolvex::stackOverProgram(*this);
    show();
}

void frmUpdater::urlGet1_DownloadComplete(int)
{
    Page = pageText(urlGet1->Bytes());
    ParseUpdateXml();
    bool newer = false;
    if (ErrCount == 0) {
        newer = CheckVersion();
        if (newer && !isVisible()) {
            // A silent check that found a newer version comes up now.
            showOverProgram();
        }
    } else {
        ui->Status->setText(QStringLiteral("Error getting data - try again later"));
    }
    if (!m_settings.manualCheck && !(newer && ErrCount == 0))
        Form_Unload();
}

void frmUpdater::urlGet1_DownloadFailed(int, const QString &)
{
    ui->Status->setText(QStringLiteral("Unable to contact web site"));
    if (!m_settings.manualCheck)
        Form_Unload();
}

void frmUpdater::CreateLogFile()
{
    createUpdaterLog(m_host.program(), m_settings.logPath, kVersionMajor, kVersionMinor);
}

void frmUpdater::WriteLogLine(const QString &text)
{
    writeUpdaterLog(m_host.program(), m_settings.logPath, text);
}

void frmUpdater::ParseUpdateXml()
{
    WriteLogLine(replyHeading());
    WriteLogLine(replyPageEntry(Page));
    reply = scanReply(Page);
    ErrCount = reply.ErrCount;
    WriteLogLine(replyDataEntry(reply));
}

bool frmUpdater::CheckVersion()
{
    const VersionVerdict v = checkVersion(reply, LocalMajor, LocalMinor, displayName());
    // The server's words are shown as plain text only.
    ui->Status->setText(v.status);
    ui->Message->setPlainText(QString(v.message).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    ui->Contact->setEnabled(ui->Contact->isEnabled() || v.Contact);
    ui->WebSite->setEnabled(ui->WebSite->isEnabled() || v.WebSite);
    ui->KIssues->setEnabled(ui->KIssues->isEnabled() || v.KIssues);
    ui->History->setEnabled(ui->History->isEnabled() || v.History);
    ui->Download->setEnabled(ui->Download->isEnabled() || v.Download);
    return v.newer();
}

void frmUpdater::openPage(const QString &page, bool parkFirst)
{
    if (parkFirst && !(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)))
        ui->Park->setFocus();
    m_host.openWebPage(page);
}

void frmUpdater::Contact_Click() { openPage(reply.Contact, true); }
void frmUpdater::Download_Click() { openPage(reply.Download, true); }
// The slave's History button leaves the focus where it is.
void frmUpdater::History_Click() { openPage(reply.History, !m_settings.slave); }
void frmUpdater::KIssues_Click() { openPage(reply.KIssues, true); }
void frmUpdater::WebSite_Click() { openPage(reply.Index, true); }
void frmUpdater::Logo_Click() { m_host.openWebPage(QString()); }

void frmUpdater::closeEvent(QCloseEvent *event)
{
    event->accept();
    Form_Unload();
}
