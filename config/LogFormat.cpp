#include "LogFile.h"
#include <QRegularExpression>
#include <cmath>

namespace tolvex {

namespace {

const char *const kMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                 "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const QString kCrLf = QStringLiteral("\r\n");

QString twoDigits(int value) { return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0')); }

QString timeOfDay(const QTime &t)
{
    return twoDigits(t.hour()) + QLatin1Char(':') + twoDigits(t.minute()) + QLatin1Char(':') + twoDigits(t.second());
}

// Padded with blanks or cut to exactly `width` characters.
QString column(const QString &text, int width)
{
    return text.leftJustified(width, QLatin1Char(' '), true);
}

} // namespace

QString logDate(const QDateTime &t)
{
    const QDate d = t.date();
    return twoDigits(d.day()) + QLatin1Char('-') + QLatin1String(kMonths[d.month() - 1]) + QLatin1Char('-')
        + twoDigits(((d.year() % 100) + 100) % 100);
}

QString logStamp(const QDateTime &t)
{
    return logDate(t) + QLatin1Char(' ') + timeOfDay(t.time());
}

QDateTime parseLogStamp(const QString &text)
{
    static const QRegularExpression stamp(
        QStringLiteral("^\\s*(\\d{2})-([A-Za-z]{3})-(\\d{2}|\\d{4}) (\\d{2}):(\\d{2}):(\\d{2})\\s*$"));
    const QRegularExpressionMatch m = stamp.match(text);
    if (!m.hasMatch())
        return {};
    int month = 0;
    for (int i = 0; i < 12; ++i) {
        if (m.captured(2).compare(QLatin1String(kMonths[i]), Qt::CaseInsensitive) == 0)
            month = i + 1;
    }
    if (month == 0)
        return {};
    int year = m.captured(3).toInt();
    if (m.captured(3).size() == 2)
        year += 2000;
    const QDate date(year, month, m.captured(1).toInt());
    const QTime time(m.captured(4).toInt(), m.captured(5).toInt(), m.captured(6).toInt());
    if (!date.isValid() || !time.isValid())
        return {};
    return QDateTime(date, time);
}

bool rotationDue(const QDateTime &created, const QDateTime &now, int logLevel)
{
    const QDate a = created.date();
    const QDate b = now.date();
    if (logLevel == 3)
        return a != b;
    if (logLevel == 2)
        return a.year() != b.year() || a.month() != b.month();
    return false;
}

QString shortNumber(double value)
{
    if (std::isfinite(value) && value == std::trunc(value) && std::fabs(value) < 1e15)
        return QString::number(qint64(value));
    return QString::number(value, 'f', QLocale::FloatingPointShortest);
}

QString formatLogLine(const QDateTime &now, bool testMode, const QString &event, const QString &detail,
                      double count, const QString &comms)
{
    if (event.isEmpty() && detail.isEmpty())
        return kCrLf;
    QString line;
    const QString time = timeOfDay(now.time());
    if (time == QLatin1String("00:00:00"))
        line = kCrLf + logDate(now) + kCrLf + QStringLiteral("---------") + kCrLf;
    line += time + QStringLiteral(", ")
        + column((testMode ? QStringLiteral("*") : QStringLiteral(" ")) + event, 10) + QStringLiteral(", ")
        + column(detail, 10) + QStringLiteral(", Count:") + (QString(5, QLatin1Char(' ')) + shortNumber(count)).right(5);
    if (!comms.isNull())
        line += QStringLiteral(", Comms: ") + comms;
    return line;
}

} // namespace tolvex
