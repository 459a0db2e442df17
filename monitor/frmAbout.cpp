#include "frmAbout.h"
#include "MonitorWindow.h"
#include "TolvexVersion.h"
#include "TrayPictures.h"
#include "WindowHelpers.h"
#include "WindowStacking.h"
#include "mdMisc.h"
#include "ui_frmAbout.h"
#include <QCloseEvent>
#include <QTimer>

frmAbout::frmAbout(tolvex::MonitorWindow &main)
    : ui(std::make_unique<Ui::frmAbout>()), m_main(main)
{
    ui->setupUi(this);
    ui->Logo->setPixmap(tolvex::logoPicture().pixmap(40, 40));
    ui->WebSite->setText(QLatin1String(tolvex::kWebRoot));
    // The slave's box keeps its name label as designed: the slave's own name.
    if (m_main.isSlave())
        ui->ProgName->setText(QStringLiteral("Tolvex Slave"));
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    // Whole seconds: the box must not close before its time.
    Timer1->setTimerType(Qt::PreciseTimer);
    connect(Timer1, &QTimer::timeout, this, &frmAbout::Timer1_Timer);
    connect(ui->ExitAbout, &QAbstractButton::clicked, this, &frmAbout::ExitAbout_Click);
    tolvex::onLabelClick(ui->WebSite, [this] { WebSite_Click(); });
}

frmAbout::~frmAbout() = default;

void frmAbout::open()
{
    const bool opening = !isVisible();
    if (!m_loaded) {
        Form_Load();
        // Each opening comes up in the middle of the screen.
        tolvex::centreOnScreen(*this, m_main.screen());
    }
    // Topmost from the first moment, so that the flag need not change once shown.
    if (m_main.common().RunOnTop == 2)
        tolvex::setTopmost(*this, true);
    // Over a topmost window of the program (Run On Top) it comes up above it, not behind.
    if (opening)
        tolvex::stackOverProgram(*this);
    show();
    raise();
    activateWindow();
}

void frmAbout::Form_Load()
{
    tolvex::MonitorState &st = m_main.state();
    m_loaded = true;
    // Each opening starts from the design: not topmost, no countdown text.
    tolvex::setTopmost(*this, false);
    ui->TMessage->clear();
    setWindowTitle(QStringLiteral("About ") + m_main.productTitle());
    if (!m_main.isSlave())
        ui->ProgName->setText(m_main.productTitle());
    ui->ProgVersion->setText(QStringLiteral("Version ") + QString::number(tolvex::kVersionMajor) + QLatin1Char('.')
                             + QString::number(tolvex::kVersionMinor));
    st.DialogOpen = true; // the cycle's state steps pause from now on
    st.AboutCountdown = st.CommandMode == 1 ? 4 : 60;
    if (!m_main.manualTimers())
        Timer1->start();
}

void frmAbout::Form_Activate()
{
    if (m_main.common().RunOnTop == 2)
        tolvex::setTopmost(*this, true);
    if (m_main.isSlave() && !(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)))
        ui->Park->setFocus();
}

void frmAbout::Timer1_Timer()
{
    tolvex::MonitorState &st = m_main.state();
    ui->TMessage->setText(QStringLiteral("About will close in ") + QString::number(st.AboutCountdown)
                          + QStringLiteral(" sec"));
    st.AboutCountdown -= 1;
}

void frmAbout::WebSite_Click()
{
    mdMisc::OpenWebPage(m_main, QString());
}

void frmAbout::Form_Unload()
{
    mdInit::RestoreMainControls(m_main);
    m_main.dialogClosed(); // DialogOpen stays true while the configuration screen is open
}

void frmAbout::unload()
{
    if (!m_loaded)
        return;
    m_loaded = false;
    Timer1->stop();
    Form_Unload();
    hide();
}

void frmAbout::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && m_loaded)
        Form_Activate();
}

void frmAbout::closeEvent(QCloseEvent *event)
{
    event->accept();
    unload();
}
