#include "ConfigScreen.h"
#include "VbColor.h"
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QWindow>
#include <cstdio>
#include <cstdlib>
#include <functional>

namespace tolvex {

namespace {

template <typename T>
void findControl(const QWidget *form, T *&control, const char *name)
{
    control = form->findChild<T *>(QLatin1String(name));
    if (!control) {
        // A form without one of its controls is a build fault, not a user error.
        std::fprintf(stderr, "configuration screen: no control %s\n", name);
        std::abort();
    }
}

// Clicks on the logo picture.
class ClickFilter : public QObject {
public:
    ClickFilter(QObject *parent, std::function<void()> onClick) : QObject(parent), m_onClick(std::move(onClick)) {}
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::MouseButtonRelease)
            m_onClick();
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_onClick;
};

} // namespace

ConfigScreen::ConfigScreen(ConfigScreenHost &screenHost, const CommonConfig &runningConfig, Traits screenTraits,
                           QWidget *parent)
    : QWidget(parent, Qt::Window), host(screenHost), running(runningConfig), traits(std::move(screenTraits))
{
    setObjectName(QStringLiteral("frmConfig"));
}

ConfigScreen::~ConfigScreen() = default;

void ConfigScreen::setUpScreen(std::initializer_list<QWidget *> panels)
{
    findControl(this, c.ExitConfig, "ExitConfig");
    findControl(this, c.Save, "Save");
    findControl(this, c.Restore, "Restore");
    findControl(this, c.Archive, "Archive");
    findControl(this, c.ViewL, "ViewL");
    findControl(this, c.Logo, "Logo");
    findControl(this, c.Status, "Status");
    findControl(this, c.TMessage, "TMessage");
    findControl(this, c.Park, "Park");
    findControl(this, c.LogLevelT, "LogLevelT");
    findControl(this, c.ShutNameT, "ShutNameT");
    findControl(this, c.LogNameT, "LogNameT");
    findControl(this, c.LogPathT, "LogPathT");
    findControl(this, c.StartDelayT, "StartDelayT");
    findControl(this, c.CPUDelayT, "CPUDelayT");
    findControl(this, c.StopTimeT, "StopTimeT");
    findControl(this, c.ShutTimeT, "ShutTimeT");
    findControl(this, c.Port1T, "Port1T");
    findControl(this, c.Port2T, "Port2T");
    findControl(this, c.LogR_OnT, "LogR_OnT");
    findControl(this, c.StartTimeT, "StartTimeT");
    findControl(this, c.StartMinT, "StartMinT");
    findControl(this, c.RunOnTopT, "RunOnTopT");
    findControl(this, c.Stop_OnT, "Stop_OnT");
    findControl(this, c.ForceT, "ForceT");
    findControl(this, c.NoWarnT, "NoWarnT");
    findControl(this, c.UExitT, "UExitT");
    findControl(this, c.DNameT, "DNameT");
    findControl(this, c.StartDelayL, "StartDelayL");
    findControl(this, c.IPAddL, "IPAddL");
    findControl(this, c.CPUDelayM, "CPUDelayM");
    findControl(this, c.LogLevelM, "LogLevelM");
    findControl(this, c.LogNameM, "LogNameM");
    findControl(this, c.LogPathM, "LogPathM");
    findControl(this, c.Port1M, "Port1M");
    findControl(this, c.ShutTimeM, "ShutTimeM");
    findControl(this, c.ShutTypeM, "ShutTypeM");
    findControl(this, c.StartDelayM, "StartDelayM");
    findControl(this, c.StopTimeM, "StopTimeM");

    // Activation, Control, Shutdown, Communications.
    const quint32 panelColours[] = {colors::kLightGreen, colors::kLightYellow, colors::kLightRed, colors::kLightBlue};
    int i = 0;
    for (QWidget *panel : panels)
        colors::setBackColor(panel, panelColours[i++ % 4]);
    colors::setForeColor(c.Status, colors::kOrange);
    colors::setBold(c.Status, true);
    colors::setForeColor(c.TMessage, colors::kOrange);
    colors::setBackColor(c.TMessage, colors::kWhite);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    Timer1->setTimerType(Qt::PreciseTimer); // whole seconds, like the cycle that closes the screen
    connect(Timer1, &QTimer::timeout, this, &ConfigScreen::Timer1_Timer);
    Timer1->start();
    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(2000);
    Timer2->setTimerType(Qt::PreciseTimer);
    connect(Timer2, &QTimer::timeout, this, &ConfigScreen::Timer2_Timer);

    connect(c.ExitConfig, &QPushButton::clicked, this, &ConfigScreen::ExitConfig_Click);
    connect(c.Save, &QPushButton::clicked, this, &ConfigScreen::Save_Click);
    connect(c.Restore, &QPushButton::clicked, this, [this] { Restore_Click(); });
    connect(c.Archive, &QPushButton::clicked, this, &ConfigScreen::Archive_Click);
    connect(c.ViewL, &QPushButton::clicked, this, &ConfigScreen::ViewL_Click);
    c.Logo->installEventFilter(new ClickFilter(this, [this] { Logo_Click(); }));
    // A change made by code raises the handler as a click does.
    connect(c.ForceT, &QCheckBox::stateChanged, this, &ConfigScreen::ForceT_Click);
    connect(c.NoWarnT, &QCheckBox::stateChanged, this, &ConfigScreen::NoWarnT_Click);
    connect(c.Stop_OnT, &QCheckBox::stateChanged, this, &ConfigScreen::Stop_OnT_Click);
    connect(c.StartTimeT, &QCheckBox::stateChanged, this, &ConfigScreen::StartTimeT_Click);
    connect(c.RunOnTopT, &QCheckBox::stateChanged, this, &ConfigScreen::RunOnTopT_Click);
    connect(c.DNameT, &QCheckBox::stateChanged, this, [this] { DNameT_Click(); });
    connect(c.ShutNameT, &QComboBox::currentIndexChanged, this, &ConfigScreen::ShutNameT_Click);
    connect(c.LogLevelT, &QComboBox::currentIndexChanged, this, &ConfigScreen::LogLevelT_Click);
}

// The master enables Save and Restore before loading the values, the slave with its
// button tips after them; nothing shows in between.
void ConfigScreen::Form_Load()
{
    const Busy busy(*this);
    Loading = true;
    const bool admin = host.IsAdmin();
    if (admin) {
        c.Save->setEnabled(true);
        c.Restore->setEnabled(true);
    }
    Data_Load();
    Signature = BuildValueString();
    UpdateFieldStates();
    if (traits.tipsOnOpening)
        SetButtonTips();
    setWindowTitle(traits.product + QStringLiteral(" Configuration"));
    const bool logButtons = (admin || running.UserExitA == 2) && LogLevelIndex != 1;
    c.Archive->setEnabled(logButtons);
    c.ViewL->setEnabled(logButtons);
    int &countdown = host.configCountdown();
    countdown = admin ? 600 : 30;
    if (host.commandMode() == 1)
        countdown = admin ? 4 : 2;
    c.TMessage->clear();
    host.dialogOpen() = true;
    const int failures = ValidateFields();
    if (failures > 0)
        c.Status->setText(QString::number(failures) + QStringLiteral(" Item(s) Highlighted Contain Out Of Range Values"));
    else
        host.configSaved() = false;
    Loading = false;
}

void ConfigScreen::Form_Activate()
{
    if (running.RunOnTop == 2)
        setTopmost(true);
}

void ConfigScreen::Form_Unload()
{
    host.restoreMainControls();
    host.dialogOpen() = false;
}

void ConfigScreen::unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    Timer1->stop();
    Timer2->stop();
    Form_Unload();
    hide();
    if (m_busy == 0)
        deleteLater();
}

ConfigScreen::Busy::Busy(ConfigScreen &screen) : m_screen(screen)
{
    ++m_screen.m_busy;
}

ConfigScreen::Busy::~Busy()
{
    if (--m_screen.m_busy == 0 && m_screen.m_unloaded)
        m_screen.deleteLater();
}

void ConfigScreen::SetButtonTips()
{
    // Only administrators reach the tips with these buttons usable; enabling them
    // again here changes nothing for them.
    if (host.IsAdmin()) {
        c.Save->setEnabled(true);
        c.Restore->setEnabled(true);
    }
    const QString &t = traits.product;
    c.ViewL->setToolTip(QStringLiteral("View ") + t + QStringLiteral(" log file (It will not be updated while open)"));
    c.Restore->setToolTip(QStringLiteral("Restore ") + t
                          + QStringLiteral(" Default Configuration Values (Does not restore or delete any computer address set)"));
    c.Save->setToolTip(QStringLiteral("Save ") + t
                       + QStringLiteral(" Configuration Values (The program will be reset when you close this screen if values have been changed)"));
    if (c.ExitConfig->text() != QLatin1String("&Exit"))
        c.ExitConfig->setToolTip(QStringLiteral("Close ") + t + QStringLiteral(" Configuration Screen without saving changes"));
    else
        c.ExitConfig->setToolTip(QStringLiteral("Close ") + t
                                 + QStringLiteral(" Configuration Screen (The program will be reset if changed values have been saved)"));
}

void ConfigScreen::Logo_Click()
{
    host.openHomePage();
}

void ConfigScreen::Timer1_Timer()
{
    int &countdown = host.configCountdown();
    if (countdown <= 90)
        c.TMessage->setText(QStringLiteral("The Configuration Screen will close in ") + QString::number(countdown)
                            + QStringLiteral(" sec"));
    countdown -= 1;
}

void ConfigScreen::Timer2_Timer()
{
    c.Status->clear();
    Timer2->stop();
}

void ConfigScreen::setTopmost(bool topmost)
{
    if (bool(windowFlags() & Qt::WindowStaysOnTopHint) == topmost)
        return;
    Qt::WindowFlags flags = windowFlags();
    flags.setFlag(Qt::WindowStaysOnTopHint, topmost);
    if (QWindow *window = windowHandle()) {
        // An existing window is told directly: it is neither re-created nor moved,
        // and keeps the focus.
        overrideWindowFlags(flags);
        window->setFlags(flags);
    } else {
        setWindowFlags(flags);
    }
}

void ConfigScreen::setLogo(const QPixmap &picture)
{
    c.Logo->setPixmap(picture);
}

void ConfigScreen::parkFocus()
{
    if (!(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)))
        c.Park->setFocus();
}

void ConfigScreen::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && !m_unloaded)
        Form_Activate();
}

void ConfigScreen::closeEvent(QCloseEvent *event)
{
    // Closed from its title bar: unloaded without applying anything.
    event->accept();
    unload();
}

} // namespace tolvex
