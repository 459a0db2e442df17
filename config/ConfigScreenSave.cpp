// Save: check the fields, and when they are valid and changed, replace the whole
// configuration file with the text of the values on the screen.
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
        mdInit::CheckInstalledFile(program, QStringLiteral("configuration"), QStringLiteral("Data\\"), texts.configFile);
        // The new text goes to a temporary file beside the old one, which then takes
        // its place: a failed write leaves the old file as it was.
        if (!fs::replaceWithText(QStringLiteral("Data\\") + texts.configFile, text)) {
            BoxRequest box;
            box.title = texts.product + QStringLiteral(" Configuration File Error");
            box.text = joinCrLf({texts.writeErrorLine, QStringLiteral("This may be a permissions problem.")});
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

} // namespace tolvex
