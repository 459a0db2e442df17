// Save and leaving. Save checks the fields and, when they are valid and changed,
// replaces the whole configuration file with the text of the values on the screen;
// Exit leaves the screen in two steps when there are unsaved changes, and applies a
// saved file (or any file while the program is not configured).
#include "Clock.h"
#include "ConfigScreen.h"
#include "FatalChecks.h"
#include "FileSystem.h"
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace tolvex {

void ConfigScreen::Save_Click()
{
    const Busy busy(*this);
    parkFocus();
    c.Status->clear();
    UpdateFieldStates();
    if (ValidateFields() != 0) {
        c.Status->setText(QStringLiteral("Item(s) Highlighted Contain Out Of Range Values - Changes Not Saved"));
        return;
    }
    ProgramHost &program = host.programHost();
    Changed = BuildValueString() != Signature;
    if (flagOf(c.StartMinT) != running.StartMin)
        host.clearWindowToggled();
    const QString text = screenFileText(program.clock().now());

    if (!Changed) {
        c.Status->setText(QStringLiteral("No Changes To Save"));
    } else {
        mdInit::CheckDirectory(program, QStringLiteral("data"));
        mdInit::CheckInstalledFile(program, QStringLiteral("configuration"), QStringLiteral("Data\\"), traits.configFile);
        // The new text goes to a temporary file beside the old one, which then takes
        // its place: a failed write leaves the old file as it was.
        if (!fs::replaceWithText(QStringLiteral("Data\\") + traits.configFile, text)) {
            BoxRequest box;
            box.title = traits.product + QStringLiteral(" Configuration File Error");
            box.text = joinCrLf({traits.writeErrorLine, QStringLiteral("This may be a permissions problem.")});
            box.icon = BoxIcon::Exclamation;
            box.buttons = BoxButtons::Ok;
            program.boxes().show(box);
            Data_Load();
            return;
        }
        host.configSaved() = true;
        c.Status->setText(QStringLiteral("Changes Saved - Click Exit To Activate The Changes"));
        c.ExitConfig->setText(QStringLiteral("&Exit"));
        SetButtonTips();
    }
    Changed = false;
    Signature = BuildValueString();
    Timer2->start();
}

void ConfigScreen::ExitConfig_Click()
{
    const Busy busy(*this);
    if (!host.IsAdmin())
        Signature = BuildValueString();
    const QString cancel = QStringLiteral("&Cancel");
    if (BuildValueString() != Signature && c.ExitConfig->text() != cancel) {
        c.ExitConfig->setText(cancel);
        c.Status->setText(QStringLiteral("Click Cancel to exit without saving changes"));
        SetButtonTips();
        parkFocus();
        return;
    }
    leaveScreen();
}

// The slave gives the main window its controls back before the screen goes as well.
// The master's apply clears the dialog flag itself; clearing it again after the apply
// is the slave's last step, and changes nothing for the master.
void ConfigScreen::leaveScreen()
{
    ConfigScreenHost &h = host;
    if (traits.restoreBeforeUnload)
        h.restoreMainControls();
    unload();
    if (h.configSaved() || h.notConfigured())
        h.applyConfiguration();
    h.dialogOpen() = false;
}

} // namespace tolvex
