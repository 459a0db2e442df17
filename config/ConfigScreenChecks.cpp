// The field checks both configuration screens run alike, and the values both read
// back for Save.
#include "ConfigFile.h"
#include "ConfigScan.h"
#include "ConfigScreen.h"
#include "FileSystem.h"
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>

namespace tolvex {

namespace {

bool outside(double value, double low, double high)
{
    return value < low || value > high;
}

} // namespace

int ConfigScreen::commonChecks()
{
    int failures = 0;
    auto check = [this, &failures](bool failed, std::initializer_list<QLabel *> labels) {
        if (!failed)
            return;
        ++failures;
        setMarked(labels);
    };

    check(outside(wholeNumber(c.CPUDelayT), 5, 600), {c.CPUDelayM});
    check(LogLevelIndex < 1 || LogLevelIndex > 3, {c.LogLevelM});

    // A log name is a plain file name of 8 to 20 characters as it will be read back,
    // and never the program's own configuration file.
    const QString name = asReadBack(c.LogNameT->text());
    const QString path = c.LogPathT->text();
    check(outside(double(name.size()), 8, 20) || hasControlCharacter(name)
              || !isUsableLogName(path, name, QStringLiteral("Data\\") + texts.configFile),
          {c.LogNameM});

    const bool folderForm = path.endsWith(QLatin1Char('\\')) || path.endsWith(QLatin1Char('/'));
    check(!folderForm || path.size() < 2 || path.size() > 100 || hasControlCharacter(path), {c.LogPathM});
    check(!fs::folderExists(path), {c.LogPathM});

    check(outside(wholeNumber(c.Port1T), 1024, 65535), {c.Port1M});
    check(outside(wholeNumber(c.Port2T), 1024, 65535), {c.Port1M});
    check(outside(wholeNumber(c.ShutTimeT), 2, 600), {c.ShutTimeM});
    check(ShutTypeIndex < 1 || ShutTypeIndex > 7, {c.ShutTypeM});

    const bool clockMode = c.StartTimeT->isChecked();
    check(!clockMode && outside(wholeNumber(c.StartDelayT), 1, 3600), {c.StartDelayM});
    check(clockMode && !mdInit::IsValidTime(c.StartDelayT->text()), {c.StartDelayM});

    if (!mdInit::IsValidTime(c.StopTimeT->text())) {
        check(true, {c.StopTimeM});
        c.StopTimeT->setEnabled(true);
    }
    return failures;
}

QString ConfigScreen::asReadBack(const QString &text)
{
    int end = int(text.size());
    while (end > 0 && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return text.left(end);
}

bool ConfigScreen::hostNameFails(const QString &text)
{
    return text.size() > 100 || hasControlCharacter(text) || mdIPCheck::IsIPAddress(asReadBack(text));
}

void ConfigScreen::announceFailures(int count)
{
    if (host.commandMode() != 2 || count == 0)
        return;
    BoxRequest box;
    box.title = texts.product + QStringLiteral(" Data Error");
    box.text = QStringLiteral("Invalid Data");
    box.icon = BoxIcon::None;
    box.buttons = BoxButtons::Ok;
    host.programHost().boxes().show(box);
}

void ConfigScreen::readCommonValues(CommonConfig &rec) const
{
    rec.StartTime = flagOf(c.StartTimeT);
    rec.LogLevel = LogLevelIndex;
    rec.LogName = c.LogNameT->text();
    rec.LogPath = c.LogPathT->text();
    rec.LogR_On = flagOf(c.LogR_OnT);
    rec.RunOnTop = flagOf(c.RunOnTopT);
    // Clock times are hhmm here; the writer adds 10000.
    rec.StartDelay = c.StartTimeT->isChecked() ? clockValue(c.StartDelayT) : int(wholeNumber(c.StartDelayT));
    rec.StartMin = flagOf(c.StartMinT);
    rec.DName = flagOf(c.DNameT);
    rec.Port1 = int(wholeNumber(c.Port1T));
    rec.Port2 = int(wholeNumber(c.Port2T));
    rec.CPUDelay = int(wholeNumber(c.CPUDelayT));
    rec.StopTime = clockValue(c.StopTimeT);
    rec.Stop_On = flagOf(c.Stop_OnT);
    rec.Force = flagOf(c.ForceT);
    rec.NoWarn = flagOf(c.NoWarnT);
    rec.ShutTime = int(wholeNumber(c.ShutTimeT));
    rec.ShutType = ShutTypeIndex;
    rec.UserExitA = flagOf(c.UExitT);
}

} // namespace tolvex
