#pragma once
#include <QEvent>
#include <QObject>
#include <QString>
#include <QTemporaryDir>

namespace tolvex::test {

// Writes `text` to `dir`/`relativePath` (folders created), bytes as given.
bool writeFile(const QString &path, const QByteArray &bytes);
QByteArray readFile(const QString &path);

// Counts the times the widgets it watches are shown (installEventFilter).
struct ShowCounter : QObject {
    int shows = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Show)
            ++shows;
        return false;
    }
};

} // namespace tolvex::test
