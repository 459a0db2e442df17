// The field check of both configuration screens: its run, the markers, and the checks
// both screens make alike. A value the check accepts is one the reader accepts too.
#include "ConfigFile.h"
#include "ConfigScreen.h"
#include "FileSystem.h"
#include "VbColor.h"
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

namespace tolvex {

namespace {

bool outside(double value, double low, double high)
{
    return value < low || value > high;
}

} // namespace

// The master keeps the log level of an earlier run when the list names none; the
// slave sets 0 first, so that its check fails then. Only the master's check starts the
// status-line time-out.
int ConfigScreen::ValidateFields()
{
    const Busy busy(*this);
    ClearHighlights();
    ReadShutType();
    readLogLevel();
    const int failures = fieldChecks();
    announceFailures(failures);
    if (traits.checkStartsTimeOut)
        Timer2->start();
    return failures;
}

void ConfigScreen::ClearHighlights()
{
    QList<QLabel *> markers = ownMarkers();
    markers << c.Port1M << c.CPUDelayM << c.StopTimeM << c.LogLevelM << c.LogNameM << c.LogPathM << c.ShutTimeM
            << c.ShutTypeM << c.StartDelayM;
    for (QLabel *label : markers) {
        colors::setForeColor(label, colors::kDarkGreen);
        colors::setBold(label, false);
    }
    c.ShutTypeM->clear();
    UpdateFieldStates();
}

void ConfigScreen::readLogLevel()
{
    if (traits.logLevelResetFirst)
        LogLevelIndex = 0;
    static const QStringList levels = {QStringLiteral("None"), QStringLiteral("Normal"), QStringLiteral("Full")};
    const int code = int(levels.indexOf(c.LogLevelT->currentText())) + 1;
    if (code >= 1)
        LogLevelIndex = code;
}

int ConfigScreen::failIf(bool failed, std::initializer_list<QLabel *> labels)
{
    if (!failed)
        return 0;
    for (QLabel *label : labels) {
        colors::setForeColor(label, colors::kOrange);
        colors::setBold(label, true);
    }
    return 1;
}

int ConfigScreen::commonChecks()
{
    int failures = failIf(outside(wholeNumber(c.CPUDelayT), 5, 600), {c.CPUDelayM});
    failures += failIf(LogLevelIndex < 1 || LogLevelIndex > 3, {c.LogLevelM});

    // A log name is a plain file name of 8 to 20 characters as it will be read back,
    // and never the program's own configuration file; the folder too is judged as it
    // will be read back.
    const QString name = asReadBack(c.LogNameT->text());
    const QString path = asReadBack(c.LogPathT->text());
    failures += failIf(outside(double(name.size()), 8, 20) || hasControlCharacter(name)
                           || !isUsableLogName(path, name, QStringLiteral("Data\\") + traits.configFile),
                       {c.LogNameM});

    const bool folderForm = path.endsWith(QLatin1Char('\\')) || path.endsWith(QLatin1Char('/'));
    failures += failIf(!folderForm || path.size() < 2 || path.size() > 100 || hasControlCharacter(path), {c.LogPathM});
    failures += failIf(!fs::folderExists(path), {c.LogPathM});

    failures += failIf(outside(wholeNumber(c.Port1T), 1024, 65535), {c.Port1M});
    failures += failIf(outside(wholeNumber(c.Port2T), 1024, 65535), {c.Port1M});
    failures += failIf(outside(wholeNumber(c.ShutTimeT), 2, 600), {c.ShutTimeM});
    failures += failIf(ShutTypeIndex < 1 || ShutTypeIndex > 7, {c.ShutTypeM});

    const bool clockMode = c.StartTimeT->isChecked();
    failures += failIf(!clockMode && outside(wholeNumber(c.StartDelayT), 1, 3600), {c.StartDelayM});
    failures += failIf(clockMode && !mdInit::IsValidTime(c.StartDelayT->text()), {c.StartDelayM});

    if (!mdInit::IsValidTime(c.StopTimeT->text())) {
        failures += failIf(true, {c.StopTimeM});
        c.StopTimeT->setEnabled(true);
    }
    return failures;
}

void ConfigScreen::announceFailures(int count)
{
    if (host.commandMode() != 2 || count == 0)
        return;
    BoxRequest box;
    box.title = traits.product + QStringLiteral(" Data Error");
    box.text = QStringLiteral("Invalid Data");
    box.icon = BoxIcon::None;
    box.buttons = BoxButtons::Ok;
    host.programHost().boxes().show(box);
}

bool ConfigScreen::hasControlCharacter(const QString &text)
{
    for (const QChar ch : text) {
        if (ch.unicode() < 0x20)
            return true;
    }
    return false;
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
    const QString name = asReadBack(text);
    return name.size() > 100 || hasControlCharacter(name) || mdIPCheck::IsIPAddress(name);
}

} // namespace tolvex
