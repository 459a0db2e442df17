#pragma once
#include <QIcon>
#include <QString>
#include <functional>
#include <vector>

class QSystemTrayIcon;
class QMenu;

namespace tolvex {

// The notification-area icon of one program: add, modify (picture and tip), delete.
// Mouse actions come back as the window messages the program acts on:
// 515 for a double click, 516 for a right-button press.
class TrayService {
public:
    virtual ~TrayService() = default;
    virtual void add(const QIcon &icon, const QString &tip) = 0;
    virtual void modify(const QIcon &icon, const QString &tip) = 0;
    virtual void remove() = 0;
    virtual bool isShown() const = 0;
    // False where the desktop has no notification area: a minimised window must then
    // stay on the task bar instead of hiding behind an icon nobody can see.
    virtual bool isAvailable() const = 0;
    void setMouseHandler(std::function<void(int message)> handler) { m_handler = std::move(handler); }

protected:
    void deliverMouseMessage(int message) { if (m_handler) m_handler(message); }

private:
    std::function<void(int)> m_handler;
};

class QtTrayService : public TrayService {
public:
    QtTrayService();
    ~QtTrayService() override;
    void add(const QIcon &icon, const QString &tip) override;
    void modify(const QIcon &icon, const QString &tip) override;
    void remove() override;
    bool isShown() const override;
    bool isAvailable() const override;

private:
    QSystemTrayIcon *m_icon = nullptr;
};

// For tests and headless runs: remembers what the icon would show.
class RecordingTrayService : public TrayService {
public:
    enum class Call { Add, Modify, Remove };
    struct Entry { Call call; qint64 iconKey; QString tip; };

    void add(const QIcon &icon, const QString &tip) override;
    void modify(const QIcon &icon, const QString &tip) override;
    void remove() override;
    bool isShown() const override { return m_shown; }
    bool isAvailable() const override { return m_available; }
    void setAvailable(bool available) { m_available = available; }

    const std::vector<Entry> &calls() const { return m_calls; }
    qint64 currentIconKey() const { return m_iconKey; }
    void simulateMouse(int message) { deliverMouseMessage(message); }

private:
    std::vector<Entry> m_calls;
    bool m_shown = false;
    bool m_available = true;
    qint64 m_iconKey = 0;
};

} // namespace tolvex
