#pragma once
// The master's configuration screen on a running record that the tests vary.
#include "ScreenFixture.h"
#include "frmConfig.h"
#include <QTemporaryDir>

namespace tolvex::test {

// The screen's defaults with this computer "Master" and one remote computer.
inline MasterConfig masterRunning()
{
    MasterConfig rec = masterScreenDefaults();
    rec.CName[0] = QStringLiteral("Master");
    rec.CName[1] = QStringLiteral("Node1");
    rec.IPAdd[1] = QStringLiteral("10.1.1.1");
    return rec;
}

// The running record with some keys given as the file gives them ("ShutType=7").
inline MasterConfig masterRecordWith(const QStringList &lines)
{
    QString text = masterConfigFileText(masterRunning(), 1, 0, QDateTime::currentDateTime());
    for (const QString &line : lines) {
        const QString key = QStringLiteral("\r\n") + line.section(QLatin1Char('='), 0, 0) + QLatin1Char('=');
        const int at = int(text.indexOf(key)) + 2;
        const int end = int(text.indexOf(QStringLiteral("\r\n"), at));
        text.replace(at, end - at, line);
    }
    QTemporaryDir dir;
    writeFile(dir.filePath(QStringLiteral("x.ini")), text.toUtf8());
    MasterConfig rec;
    readMasterConfig(dir.filePath(QStringLiteral("x.ini")), rec);
    return rec;
}

struct MasterScreen : ScreenFixture<frmConfig, MasterConfig> {
    explicit MasterScreen(const MasterConfig &running = masterRunning())
        : ScreenFixture(QStringLiteral("Tolvex"), running, &masterConfigFileText, QStringLiteral("TolvexM.ini"),
                        QStringLiteral("TolvexM.log"))
    {
    }
};

} // namespace tolvex::test
