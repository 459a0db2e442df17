#pragma once
#include <QString>
#include <QTemporaryDir>

namespace tolvex::test {

// Writes `text` to `dir`/`relativePath` (folders created), bytes as given.
bool writeFile(const QString &path, const QByteArray &bytes);
QByteArray readFile(const QString &path);

} // namespace tolvex::test
