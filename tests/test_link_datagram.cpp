#include "LinkDatagram.h"
#include <QtTest>

using namespace tolvex::link;

class TestLinkDatagram : public QObject {
    Q_OBJECT

private slots:
    // Tags <LO, <AO, <PO; a final ">"; characters 6-7 the payload length. Fewer than
    // six characters, or 6-7 that are no number, make the frame unreadable for the master.
    void masterReading_data()
    {
        QTest::addColumn<QString>("datagram");
        QTest::addColumn<MasterFrame>("expected");
        const MasterFrame V = MasterFrame::Valid, I = MasterFrame::Invalid, U = MasterFrame::Unreadable;
        const std::pair<const char *, MasterFrame> rows[] = {
            {"<LOP100>", V}, {"<LOS200>", V}, {"<LOC000>", V}, {"<AOP100>", V}, {"<POP100>", V},
            {"<XOP100>", I}, {"<LOP101x>", V}, {"<LOP101>", I}, {"<LOP100x", I}, {"<LOP100", I},
            {"<LOP10", I},   {"<LOP1a", U},   {"<LOP1", U},    {"<LOP1ab>", U}, {"LOP100>", U},
            {"", U},
            // The length field read as one number: blanks around it, a sign and a point.
            {"<LOP1 0>", V}, {"<LOP1 1x>", V}, {"<LOP11 x>", V}, {"<LOP1+1x>", V}, {"<LOP11.x>", V},
            {"<LOP1-1>", I}, {"<LOP1-1x>", I}, {"<LOP1.5>", I},  {"<LOP1 9>", I},  {"<LOP1  >", U},
            {"<LOP1- >", U}, {"<LOP1 a>", U}, {"<LOP1-", U},    {"<LOP1.>", U}};
        for (const auto &[datagram, expected] : rows)
            QTest::addRow("'%s'", datagram) << QString(datagram) << expected;
        QTest::newRow("99 payload chars") << "<LOP199" + QString(99, 'z') + ">" << V;
        QTest::newRow("NUL as letter") << QString::fromLatin1("<LO\0" "100>", 8) << V;
        QTest::newRow("NUL in length") << QString::fromLatin1("<LOP10\0>", 8) << U;
    }

    void masterReading()
    {
        QFETCH(QString, datagram);
        QFETCH(MasterFrame, expected);
        QCOMPARE(judgeMasterFrame(datagram), expected);
    }

    // The slave reads the number characters 6-7 begin with (letters read as 0).
    void slaveReading_data()
    {
        QTest::addColumn<QString>("datagram");
        QTest::addColumn<bool>("valid");
        for (const char *valid : {"<LOA100>", "<LOA1ab>", "<LOAB05hello>", "<LOA1 1x>", "<LOA11xy>"})
            QTest::addRow("'%s'", valid) << QString(valid) << true;
        for (const char *invalid : {"<LOA1x>X>", "<LOA10>", "LOA100>", "<XOA100>", "<LOA100", "<LOA101>"})
            QTest::addRow("'%s'", invalid) << QString(invalid) << false;
        QTest::newRow("NUL in length") << QString::fromLatin1("<LOA1\0\0>", 8) << true;
    }

    void slaveReading()
    {
        QFETCH(QString, datagram);
        QFETCH(bool, valid);
        QCOMPARE(isValidSlaveFrame(datagram), valid);
    }

    void hostileInput()
    {
        // Every byte value maps to one character and back unchanged.
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all.append(char(b));
        const QString text = fromBytes(all);
        QCOMPARE(text.size(), 256);
        QCOMPARE(toBytes(text), all);
        // A frame that is well formed except for its size, and plain junk.
        const QString overlong = "<LOA100" + QString(1024 * 1024, 'x') + ">";
        QCOMPARE(judgeMasterFrame(overlong), MasterFrame::Invalid);
        for (const QString &junk : {text, QString(4 * 1024 * 1024, QChar(0xFF))})
            QCOMPARE(judgeMasterFrame(junk), MasterFrame::Unreadable);
        for (const QString &junk : {text, QString(4 * 1024 * 1024, QChar(0xFF)), overlong})
            QVERIFY(!isValidSlaveFrame(junk));
    }

    void stateDigitRepliesAndLetters()
    {
        int state = -1;
        QVERIFY(stateDigit("<LOP200>", state));
        QCOMPARE(state, 2);
        for (const char *bad : {"<LOPx00>", "<LOP", ""})
            QVERIFY(!stateDigit(bad, state));

        QString letters;
        for (const char *word : {"Power Off", "Reboot", "Shutdown", "Monitor", "Hibernate", "Standby", "Log Off"})
            letters += typeLetter(word);
        QCOMPARE(letters, QStringLiteral("PRSMHBL"));
        QCOMPARE(statusReply('P', 1), QStringLiteral("<LOP100>"));
        QCOMPARE(statusReply(typeLetter("Standby"), 0), QStringLiteral("<LOB000>"));
        // Every message either program sends passes both readings.
        for (const QString &sent : {kPoll, kReset, kTest, kErrorReply, statusReply(typeLetter("Standby"), 0)}) {
            QCOMPARE(judgeMasterFrame(sent), MasterFrame::Valid);
            QVERIFY(isValidSlaveFrame(sent));
        }
    }
};

QTEST_MAIN(TestLinkDatagram)
#include "test_link_datagram.moc"
