#include "UpdateReply.h"
#include <QStringDecoder>
#include <array>

namespace tolvex::update {

QString pageText(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return QString::fromLatin1(bytes);
    return text;
}

UpdateReply scanReply(const QString &page)
{
    UpdateReply r;
    const std::array<std::pair<const char *, QString *>, 10> elements{{
        {"Contact", &r.Contact},
        {"Name", &r.Name},
        {"Version1", &r.Version1},
        {"Version2", &r.Version2},
        {"Download", &r.Download},
        {"History", &r.History},
        {"KIssues", &r.KIssues},
        {"Index", &r.Index},
        {"Message", &r.Message},
        {"Uninstall", &r.Uninstall},
    }};
    for (const auto &[name, field] : elements) {
        *field = QStringLiteral("Error");
        const QString opening = QLatin1Char('<') + QLatin1String(name) + QLatin1Char('>');
        const QString closing = QStringLiteral("</") + QLatin1String(name) + QLatin1Char('>');
        const qsizetype close = page.indexOf(closing);
        const qsizetype open = page.indexOf(opening);
        if (close < 0 || open < 0)
            continue;
        const qsizetype start = open + opening.size();
        if (close < start)
            continue; // closing tag first: no text between them
        *field = page.mid(start, close - start);
        r.ErrCount -= 1;
    }
    return r;
}

} // namespace tolvex::update
