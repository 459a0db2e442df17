#include "LinkDatagram.h"

#include "ConfigFile.h"
#include "ConfigScan.h"

namespace tolvex::link {

namespace {

constexpr int kMinFrame = 8;   // "<", tag, letter, digit, two length digits, ">"
constexpr int kLengthPos = 5;  // 0-based index of the first length character

bool isDecimalDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Frame checks shared by both readings, everything except the length field.
bool hasFrameShape(const QString &datagram)
{
    if (datagram.size() < kMinFrame)
        return false;
    const QStringView head = QStringView(datagram).left(3);
    if (head != u"<LO" && head != u"<AO" && head != u"<PO")
        return false;
    return datagram.back() == QLatin1Char('>');
}

// The payload length the frame must carry to be consistent with its size.
qsizetype expectedPayload(const QString &datagram)
{
    return datagram.size() - kMinFrame;
}

} // namespace

QString fromBytes(const QByteArray &bytes)
{
    // Latin-1 maps every byte, NUL included, to the character of the same code.
    return QString::fromLatin1(bytes.constData(), bytes.size());
}

QByteArray toBytes(const QString &text)
{
    return text.toLatin1();
}

MasterFrame judgeMasterFrame(const QString &datagram)
{
    if (datagram.size() < kLengthPos + 1)
        return MasterFrame::Unreadable;

    // The length field is characters 6 to 7 (only 6 when the text ends there), read
    // as one number: blanks around it, a sign and a decimal point are allowed, anything
    // else makes the frame unreadable. A negative or broken length fails the frame.
    const std::optional<double> length = configscan::strictNumber(datagram.mid(kLengthPos, 2));
    if (!length)
        return MasterFrame::Unreadable;

    if (!hasFrameShape(datagram) || *length != static_cast<double>(expectedPayload(datagram)))
        return MasterFrame::Invalid;
    return MasterFrame::Valid;
}

bool stateDigit(const QString &datagram, int &state)
{
    if (datagram.size() < 5 || !isDecimalDigit(datagram.at(4)))
        return false;
    state = datagram.at(4).unicode() - '0';
    return true;
}

bool isValidSlaveFrame(const QString &datagram)
{
    if (!hasFrameShape(datagram))
        return false;
    // The slave reads the leading number of characters 6 to 7 (blanks skipped,
    // 0 when they start with no digit), so "ab" in a frame of 8 reads as 0.
    const double length = tolvex::numberOfText(datagram.mid(kLengthPos, 2));
    return length == static_cast<double>(expectedPayload(datagram));
}

QString statusReply(QChar typeLetter, int runState)
{
    return QStringLiteral("<LO") + typeLetter + QString::number(runState) + QStringLiteral("00>");
}

QChar typeLetter(const QString &actionName)
{
    if (actionName == QLatin1String("Standby"))
        return QLatin1Char('B');
    // Every action word is non-empty; an empty one gives a blank rather than a
    // missing character, so a reply keeps its shape.
    if (actionName.isEmpty())
        return QLatin1Char(' ');
    return actionName.at(0);
}

} // namespace tolvex::link
