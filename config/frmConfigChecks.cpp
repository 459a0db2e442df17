// The master screen's field checks and its markers.
#include "ConfigFile.h"
#include "frmConfig.h"
#include "ui_frmConfig.h"
#include <QTimer>

using namespace tolvex;

int frmConfig::ValidateFields()
{
    ClearHighlights();
    ReadShutType();
    readLogLevel(false);

    int failures = 0;
    auto check = [this, &failures](bool failed, std::initializer_list<QLabel *> labels) {
        if (!failed)
            return;
        ++failures;
        setMarked(labels);
    };

    const bool names = c.DNameT->isChecked();
    for (int i = 1; i <= 4; ++i) {
        const QString t = IPAddT[i]->text();
        check(!names && !t.isEmpty() && !mdIPCheck::IsIPAddress(t), {IPAddM[i], c.IPAddL});
        check(names && hostNameFails(t), {IPAddM[i], c.IPAddL});
    }
    for (int i = 0; i <= 4; ++i) {
        const QString t = CompT[i]->text();
        check((i == 0 && t.isEmpty()) || t.size() > 25 || hasControlCharacter(t), {IPAddM[i], ui->CompL});
    }

    failures += commonChecks();
    const double cpuDelay = wholeNumber(c.CPUDelayT);
    const double delTime = wholeNumber(ui->DelTimeT);
    check(delTime < 60 || delTime > 10800, {ui->DelTimeM});
    if (ui->Del_OnT->isChecked() && cpuDelay >= delTime) {
        check(true, {ui->DelTimeM});
        ui->DelTimeM->setText(QStringLiteral("< Comms Delay"));
    }

    bool anyAddress = false;
    for (int i = 1; i <= 4; ++i) {
        const bool empty = IPAddT[i]->text().isEmpty();
        anyAddress = anyAddress || !empty;
        check(empty && !CompT[i]->text().isEmpty(), {IPAddM[i], c.IPAddL});
    }
    check(!anyAddress, {IPAddM[1], c.IPAddL});

    announceFailures(failures);
    Timer2->start();
    return failures;
}

void frmConfig::ClearHighlights()
{
    clearMarkers({ui->CompL, c.IPAddL, IPAddM[0], IPAddM[1], IPAddM[2], IPAddM[3], IPAddM[4], c.Port1M, c.CPUDelayM,
                  ui->DelTimeM, c.StopTimeM, c.LogLevelM, c.LogNameM, c.LogPathM, c.ShutTimeM, c.ShutTypeM,
                  c.StartDelayM});
    c.ShutTypeM->clear();
    UpdateFieldStates();
}
