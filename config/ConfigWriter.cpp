#include "ConfigFile.h"
#include "LogFile.h"

// The file text as the configuration screen saves it: three comment lines, an empty
// line, then the four sections; every line ends with CR LF. Clock times are written
// as 10000 + hhmm (StartDelay only in clock mode).
namespace tolvex {

namespace {

class FileText {
public:
    void line(const QString &text) { m_text += text + QStringLiteral("\r\n"); }
    void key(const char *name, const QString &value) { line(QLatin1String(name) + QLatin1Char('=') + value); }
    void key(const char *name, int value) { key(name, QString::number(value)); }
    void section(const char *name, bool emptyLineBefore = true)
    {
        if (emptyLineBefore)
            line(QString());
        line(QLatin1String(name));
    }
    const QString &text() const { return m_text; }

private:
    QString m_text;
};

void heading(FileText &out, const QString &product, int major, int minor, const QDateTime &savedAt)
{
    out.line(QStringLiteral("# ") + product + QStringLiteral(" Version ") + QString::number(major) + QLatin1Char('.')
             + QString::number(minor));
    out.line(QStringLiteral("# Configuration File"));
    out.line(QStringLiteral("# ") + logStamp(savedAt));
}

int startDelayValue(const CommonConfig &rec) { return rec.StartTime == 2 ? rec.StartDelay + 10000 : rec.StartDelay; }

void activateStart(FileText &out, const CommonConfig &rec)
{
    out.section("[Activate]");
    out.key("FAT_On", rec.StartTime);
    out.key("LogLevel", rec.LogLevel);
    out.key("LogName", rec.LogName);
    out.key("LogPath", rec.LogPath);
    out.key("LogR_On", rec.LogR_On);
    out.key("RunOnTop", rec.RunOnTop);
    out.key("StartDelay", startDelayValue(rec));
    out.key("StartMin", rec.StartMin);
}

void shutdownSection(FileText &out, const CommonConfig &rec)
{
    out.section("[Shutdown]");
    out.key("Force", rec.Force);
    out.key("NoWarn", rec.NoWarn);
    out.key("ShutTime", rec.ShutTime);
    out.key("ShutType", rec.ShutType);
    out.key("UserExitA", rec.UserExitA);
}

} // namespace

QString masterConfigFileText(const MasterConfig &rec, int major, int minor, const QDateTime &savedAt)
{
    FileText out;
    heading(out, QStringLiteral("Tolvex"), major, minor, savedAt);
    activateStart(out, rec);
    out.key("Update_On", rec.Update_On);
    out.section("[Comms]");
    out.key("DName", rec.DName);
    const char *const names[5] = {"CName0", "CName1", "CName2", "CName3", "CName4"};
    for (int i = 0; i < 5; ++i)
        out.key(names[i], rec.CName[i]);
    const char *const addresses[5] = {nullptr, "IPAdd1", "IPAdd2", "IPAdd3", "IPAdd4"};
    for (int i = 1; i <= 4; ++i)
        out.key(addresses[i], rec.IPAdd[i]);
    out.key("Port1", rec.Port1);
    out.key("Port2", rec.Port2);
    out.section("[Run]");
    out.key("CPUDelay", rec.CPUDelay);
    out.key("Del_On", rec.Del_On);
    out.key("DelTime", rec.DelTime);
    out.key("StopTime", rec.StopTime + 10000);
    out.key("Stop_On", rec.Stop_On);
    shutdownSection(out, rec);
    return out.text();
}

QString slaveConfigFileText(const SlaveConfig &rec, int major, int minor, const QDateTime &savedAt)
{
    FileText out;
    heading(out, QStringLiteral("Tolvex Slave"), major, minor, savedAt);
    activateStart(out, rec);
    out.section("[Comms]");
    out.key("DName", rec.DName);
    out.key("IPAdd", rec.IPAdd);
    out.key("Port1", rec.Port1);
    out.key("Port2", rec.Port2);
    out.section("[Run]");
    out.key("CPUDelay", rec.CPUDelay);
    out.key("StopTime", rec.StopTime + 10000);
    out.key("Stop_On", rec.Stop_On);
    shutdownSection(out, rec);
    return out.text();
}

} // namespace tolvex
