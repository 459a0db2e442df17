#include "TrayService.h"

#include <QSystemTrayIcon>

namespace tolvex {

namespace {
constexpr int kDoubleClickMessage = 515;
constexpr int kContextMessage = 516;
}

// Where the desktop has no notification area (or under the offscreen platform)
// the icon object exists but shows nothing; every call stays harmless.
QtTrayService::QtTrayService()
    : m_icon(new QSystemTrayIcon)
{
    QObject::connect(m_icon, &QSystemTrayIcon::activated, m_icon,
                     [this](QSystemTrayIcon::ActivationReason reason) {
                         if (reason == QSystemTrayIcon::DoubleClick)
                             deliverMouseMessage(kDoubleClickMessage);
                         else if (reason == QSystemTrayIcon::Context)
                             deliverMouseMessage(kContextMessage);
                     });
}

QtTrayService::~QtTrayService()
{
    m_icon->hide();
    delete m_icon;
}

void QtTrayService::add(const QIcon &icon, const QString &tip)
{
    modify(icon, tip);
    m_icon->show();
}

// The monitoring cycle sets the picture of the second every second; the notification
// area is only told of a picture or tip that differs from the one it shows.
void QtTrayService::modify(const QIcon &icon, const QString &tip)
{
    if (m_icon->icon().cacheKey() != icon.cacheKey())
        m_icon->setIcon(icon);
    if (m_icon->toolTip() != tip)
        m_icon->setToolTip(tip);
}

void QtTrayService::remove()
{
    m_icon->hide();
}

bool QtTrayService::isShown() const
{
    return m_icon->isVisible();
}

bool QtTrayService::isAvailable() const
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void RecordingTrayService::add(const QIcon &icon, const QString &tip)
{
    m_calls.push_back({Call::Add, icon.cacheKey(), tip});
    m_iconKey = icon.cacheKey();
    m_shown = true;
}

void RecordingTrayService::modify(const QIcon &icon, const QString &tip)
{
    m_calls.push_back({Call::Modify, icon.cacheKey(), tip});
    m_iconKey = icon.cacheKey();
}

void RecordingTrayService::remove()
{
    m_calls.push_back({Call::Remove, 0, QString()});
    m_shown = false;
}

} // namespace tolvex
