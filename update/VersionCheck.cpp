#include "VersionCheck.h"
#include <charconv>
#include <limits>
#include <string>

namespace tolvex::update {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

bool found(const QString &field)
{
    return field != QLatin1String("Error");
}

} // namespace

double leadingNumber(const QString &text)
{
    std::string digits;
    bool point = false;
    for (const QChar c : text) {
        if (c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n'))
            continue;
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            digits.push_back(char(c.unicode()));
        } else if (c == QLatin1Char('.') && !point) {
            point = true;
            digits.push_back('.');
        } else {
            break;
        }
    }
    if (digits.find_first_of("0123456789") == std::string::npos)
        return 0;
    if (digits.front() == '.')
        digits.insert(digits.begin(), '0');
    if (digits.back() == '.')
        digits.pop_back();
    double value = 0;
    const auto parsed = std::from_chars(digits.data(), digits.data() + digits.size(), value, std::chars_format::fixed);
    if (parsed.ec == std::errc::result_out_of_range) {
        // Too large when the whole part has a digit other than 0, else too small.
        const std::string whole = digits.substr(0, digits.find('.'));
        return whole.find_first_not_of('0') == std::string::npos ? 0.0 : std::numeric_limits<double>::infinity();
    }
    return value;
}

VersionVerdict checkVersion(const UpdateReply &reply, const QString &localMajor, const QString &localMinor,
                            const QString &displayName)
{
    VersionVerdict v;
    v.Contact = found(reply.Contact);
    const double web = leadingNumber(reply.Version1 + QLatin1Char('.') + reply.Version2);
    const double local = leadingNumber(localMajor + QLatin1Char('.') + localMinor);
    if (web == local) {
        v.outcome = VersionOutcome::Latest;
        v.status = QStringLiteral("You have the latest version of ") + displayName;
        v.message = QStringLiteral("Click Known Issues to see any problems we are aware of.") + kCrLf + reply.Message;
        v.WebSite = found(reply.Index);
        v.KIssues = found(reply.KIssues);
        v.History = found(reply.History);
    } else if (web > local) {
        v.outcome = VersionOutcome::Newer;
        v.status = QStringLiteral("Version ") + reply.Version1 + QStringLiteral(" of ") + reply.Name
            + QStringLiteral(" is available ");
        v.message = QStringLiteral("Click Download to get it") + kCrLf
            + QStringLiteral("Click History for change info and Known Issues for any problems.") + kCrLf
            + reply.Message;
        if (reply.Uninstall == QLatin1String("Yes"))
            v.message += kCrLf + QStringLiteral("You must uninstall ") + displayName + QStringLiteral(" first.");
        v.WebSite = found(reply.Index);
        v.KIssues = found(reply.KIssues);
        v.History = found(reply.History);
        v.Download = found(reply.Download);
    } else {
        v.outcome = VersionOutcome::Unrecognised;
        v.status = QStringLiteral("Unrecognised version of ") + displayName;
        v.message = QStringLiteral("Contact Quillon for assistance.");
    }
    return v;
}

} // namespace tolvex::update
