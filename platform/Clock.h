#pragma once
#include <QDateTime>

namespace tolvex {

// The time of day and the date, as every part of the programs reads them.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
};

class SystemClock : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

class FakeClock : public Clock {
public:
    explicit FakeClock(const QDateTime &start = QDateTime(QDate(2026, 3, 14), QTime(12, 0, 5)))
        : m_now(start) {}
    QDateTime now() const override { return m_now; }
    void set(const QDateTime &t) { m_now = t; }
    void setTime(const QTime &t) { m_now.setTime(t); }
    void advanceSeconds(qint64 s) { m_now = m_now.addSecs(s); }

private:
    QDateTime m_now;
};

} // namespace tolvex
