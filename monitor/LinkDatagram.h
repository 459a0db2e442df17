#pragma once
#include <QByteArray>
#include <QString>

// The link datagram between master and slaves: "<" + tag + letter + digit +
// two-digit payload length + payload + ">", one character per byte (Latin-1).
namespace tolvex::link {

inline const QString kPoll = QStringLiteral("<LOA100>");
inline const QString kReset = QStringLiteral("<LOC000>");
inline const QString kTest = QStringLiteral("<LOT000>");
inline const QString kErrorReply = QStringLiteral("<LOE100>");

// The slave sends at most this many error replies in one second of its cycle, so that
// a flood of junk against a slave is not passed on to its master.
constexpr int kErrorRepliesPerSecond = 30;

// Bytes to text and back, one character per byte.
QString fromBytes(const QByteArray &bytes);
QByteArray toBytes(const QString &text);

// The master's reading: characters 6 to 7 must form a decimal number.
// Unreadable: fewer than 6 characters, or characters 6 to 7 (only 6 when the text
// ends there) are not one number (blanks around it, a sign and a decimal point are
// part of a number: " 1", "1 ", "+1", "-1" and "1." all are).
// Invalid: readable but shorter than 8 characters, another tag than "<LO", "<AO" or
// "<PO", no final ">", or a length field other than the length minus 8 ("-1" never is).
enum class MasterFrame { Valid, Invalid, Unreadable };
MasterFrame judgeMasterFrame(const QString &datagram);

// Character 5 (the slave's state or the command's argument) as a digit 0-9; false
// when there is no such character or it is not a digit.
bool stateDigit(const QString &datagram, int &state);

// The slave's reading: characters 6 to 7 give the number they begin with (0 for none).
bool isValidSlaveFrame(const QString &datagram);

// The slave's status reply: "<LO" + type letter + state digit + "00>".
QString statusReply(QChar typeLetter, int runState);

// The type letter of an action word: its first letter, "B" for "Standby".
QChar typeLetter(const QString &actionName);

} // namespace tolvex::link
