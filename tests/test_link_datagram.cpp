#include <QtTest>

#include "LinkDatagram.h"

using namespace tolvex::link;

namespace {
QString bytes(const char *data, int size) { return fromBytes(QByteArray(data, size)); }
}

class TestLinkDatagram : public QObject {
    Q_OBJECT

private slots:
    void masterReading_data();
    void masterReading();
    void slaveReading_data();
    void slaveReading();
    void hostileInput();
    void stateDigitOfFrame();
    void repliesAndLetters();
};

void TestLinkDatagram::masterReading_data()
{
    QTest::addColumn<QString>("datagram");
    QTest::addColumn<int>("expected");
    const int valid = int(MasterFrame::Valid), invalid = int(MasterFrame::Invalid),
              unreadable = int(MasterFrame::Unreadable);

    QTest::newRow("reply P state 1") << "<LOP100>" << valid;
    QTest::newRow("reply counting down") << "<LOS200>" << valid;
    QTest::newRow("acknowledgement") << "<LOC000>" << valid;
    QTest::newRow("tag AO") << "<AOP100>" << valid;
    QTest::newRow("tag PO") << "<POP100>" << valid;
    QTest::newRow("other tag") << "<XOP100>" << invalid;
    QTest::newRow("one payload char") << "<LOP101x>" << valid;
    QTest::newRow("01 without payload") << "<LOP101>" << invalid;
    QTest::newRow("99 payload chars") << QString("<LOP199" + QString(99, 'z') + ">") << valid;
    QTest::newRow("no final >") << "<LOP100x" << invalid;
    QTest::newRow("7 chars") << "<LOP100" << invalid;
    QTest::newRow("6 chars, digit") << "<LOP10" << invalid;
    QTest::newRow("6 chars, letter") << "<LOP1a" << unreadable;
    QTest::newRow("5 chars") << "<LOP1" << unreadable;
    QTest::newRow("letters in 6-7") << "<LOP1ab>" << unreadable;
    QTest::newRow("blank in 6-7") << "<LOP1 0>" << unreadable;
    QTest::newRow("no < and > in 6-7") << "LOP100>" << unreadable;
    QTest::newRow("empty") << "" << unreadable;
    QTest::newRow("NUL as letter") << bytes("<LO\0" "100>", 8) << valid;
    QTest::newRow("NUL in length") << bytes("<LOP10\0>", 8) << unreadable;
}

void TestLinkDatagram::masterReading()
{
    QFETCH(QString, datagram);
    QFETCH(int, expected);
    QCOMPARE(int(judgeMasterFrame(datagram)), expected);
}

void TestLinkDatagram::slaveReading_data()
{
    QTest::addColumn<QString>("datagram");
    QTest::addColumn<bool>("valid");

    QTest::newRow("poll") << "<LOA100>" << true;
    QTest::newRow("letters read as 0") << "<LOA1ab>" << true;
    QTest::newRow("letters, 9 chars") << "<LOA1x>X>" << false;
    QTest::newRow("5 payload chars") << "<LOAB05hello>" << true;
    QTest::newRow("leading blank") << "<LOA1 1x>" << true;
    QTest::newRow("digit then letter") << "<LOA11xy>" << true;
    QTest::newRow("7 chars") << "<LOA10>" << false;
    QTest::newRow("no <") << "LOA100>" << false;
    QTest::newRow("other tag") << "<XOA100>" << false;
    QTest::newRow("no >") << "<LOA100" << false;
    QTest::newRow("length 1 in 8") << "<LOA101>" << false;
    QTest::newRow("NUL in length") << bytes("<LOA1\0\0>", 8) << true;
}

void TestLinkDatagram::slaveReading()
{
    QFETCH(QString, datagram);
    QFETCH(bool, valid);
    QCOMPARE(isValidSlaveFrame(datagram), valid);
}

void TestLinkDatagram::hostileInput()
{
    // Every byte value maps to one character and back unchanged.
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    const QString text = fromBytes(all);
    QCOMPARE(text.size(), 256);
    QCOMPARE(toBytes(text), all);
    QCOMPARE(judgeMasterFrame(text), MasterFrame::Unreadable);
    QVERIFY(!isValidSlaveFrame(text));

    const QString huge(4 * 1024 * 1024, QChar(0xFF));
    QCOMPARE(judgeMasterFrame(huge), MasterFrame::Unreadable);
    QVERIFY(!isValidSlaveFrame(huge));

    // A frame that is well formed except for its size.
    const QString overlong = QStringLiteral("<LOA100") + QString(1024 * 1024, 'x') + QStringLiteral(">");
    QCOMPARE(judgeMasterFrame(overlong), MasterFrame::Invalid);
    QVERIFY(!isValidSlaveFrame(overlong));
}

void TestLinkDatagram::stateDigitOfFrame()
{
    int state = -1;
    QVERIFY(stateDigit(QStringLiteral("<LOP200>"), state));
    QCOMPARE(state, 2);
    QVERIFY(!stateDigit(QStringLiteral("<LOPx00>"), state));
    QVERIFY(!stateDigit(QStringLiteral("<LOP"), state));
    QVERIFY(!stateDigit(QString(), state));
}

void TestLinkDatagram::repliesAndLetters()
{
    QCOMPARE(statusReply(QLatin1Char('P'), 1), QStringLiteral("<LOP100>"));
    QCOMPARE(statusReply(typeLetter(QStringLiteral("Standby")), 0), QStringLiteral("<LOB000>"));

    const QStringList words{"Power Off", "Reboot", "Shutdown", "Monitor", "Hibernate", "Standby", "Log Off"};
    QString letters;
    for (const QString &word : words)
        letters += typeLetter(word);
    QCOMPARE(letters, QStringLiteral("PRSMHBL"));

    // Every message either program sends passes both readings.
    for (const QString &sent : {kPoll, kReset, kTest, kErrorReply, statusReply(QLatin1Char('L'), 1)}) {
        QCOMPARE(judgeMasterFrame(sent), MasterFrame::Valid);
        QVERIFY(isValidSlaveFrame(sent));
    }
}

QTEST_MAIN(TestLinkDatagram)
#include "test_link_datagram.moc"
