#include "LogArchive.h"
#include "FileSystem.h"
#include "LogFile.h"
#include "TolvexVersion.h"
#include <QFile>

namespace tolvex::logarchive {

namespace {
constexpr int kDataLines = 9;
}

QString archiveName(const QString &logPath, const QString &logName, const QDate &today)
{
    const int dot = int(logName.indexOf(QLatin1Char('.')));
    if (dot < 0)
        return QString();
    const QString stem = logPath + logName.left(dot) + QLatin1Char('_') + today.toString(QStringLiteral("yyMMdd"))
        + QLatin1Char('_');
    const QString extension = logName.mid(dot);
    for (int n = 1;; ++n) {
        const QString name = stem + QString::number(n) + extension;
        if (!fs::fileExists(name))
            return name;
    }
}

std::optional<bool> holdsData(const QString &path)
{
    QFile file(fs::nativePath(path));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    // Lines end at LF, CR LF or a lone CR; a last line without an end counts too.
    int lines = 0;
    char previous = 0;
    bool open = false;  // characters seen since the last line end
    while (lines < kDataLines) {
        const QByteArray chunk = file.read(64 * 1024);
        if (chunk.isEmpty()) {
            if (file.error() != QFile::NoError)
                return std::nullopt;
            break;
        }
        for (const char ch : chunk) {
            if (ch == '\n' && previous == '\r') {
                // the second half of a CR LF
            } else if (ch == '\n' || ch == '\r') {
                ++lines;
                open = false;
            } else {
                open = true;
            }
            previous = ch;
        }
    }
    if (open)
        ++lines;
    return lines >= kDataLines;
}

QString freshLogText(const QString &product, const QDateTime &now)
{
    const QString crLf = QStringLiteral("\r\n");
    return product + QStringLiteral(" Log") + crLf + QStringLiteral("Version ") + QString::number(kVersionMajor)
        + QLatin1Char('.') + QString::number(kVersionMinor) + crLf + QStringLiteral("File Created") + crLf
        + logStamp(now) + crLf + crLf + crLf;
}

} // namespace tolvex::logarchive
