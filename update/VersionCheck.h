#pragma once
#include "UpdateReply.h"

// Comparing the published version with the program's own, and what the update window
// then says and offers.
namespace tolvex::update {

// The value of the longest decimal number at the start of `text`: digits with at
// most one decimal point, blanks, tabs and line feeds skipped; 0 when the text starts
// with anything else. So "3.4.0.0" gives 3.4, "Error.Error" 0, "3.10" 3.1 and
// "3.02" 3.02.
double leadingNumber(const QString &text);

enum class VersionOutcome { Latest, Newer, Unrecognised };

struct VersionVerdict {
    VersionOutcome outcome = VersionOutcome::Latest;
    QString status;  // the window's status line
    QString message; // the window's message, lines joined by CR LF
    // The page buttons to enable.
    bool Contact = false;
    bool WebSite = false;
    bool KIssues = false;
    bool History = false;
    bool Download = false;
    bool newer() const { return outcome == VersionOutcome::Newer; }
};

// The published version (Version1 "." Version2) against the program's own (major
// "." minor), both read as numbers; `displayName` is "Tolvex" or "Tolvex Slave".
// A button is offered only when its page was found.
VersionVerdict checkVersion(const UpdateReply &reply, const QString &localMajor, const QString &localMinor,
                            const QString &displayName);

} // namespace tolvex::update
