// The slave's configuration screen where it differs from the master's: its checks
// and markers, the log level's index, its defaults and value string, its 31-line
// file and its texts. What both screens share is tested on the master's.
#include "ScreenFixture.h"
#include "frmSlaveConfig.h"
#include <QRegularExpression>

using namespace tolvex;
using namespace tolvex::test;

namespace {

SlaveConfig slaveRunning()
{
    SlaveConfig rec = slaveScreenDefaults();
    rec.IPAdd = QStringLiteral("10.1.1.1");
    return rec;
}

struct SlaveScreen : ScreenFixture<frmSlaveConfig, SlaveConfig> {
    explicit SlaveScreen(const SlaveConfig &running = slaveRunning())
        : ScreenFixture(QStringLiteral("Tolvex Slave"), running, &slaveConfigFileText, QStringLiteral("TolvexS.ini"),
                        QStringLiteral("TolvexS.log"))
    {
    }
};

// The size a screen asks for once shown, with every marker in the bold of a failed
// check when `bold` is set, and the longest note of the shut type.
template <typename Fixture>
QSize shownSize(Fixture &f, bool bold)
{
    ConfigScreen &s = f.open();
    f.set("ShutNameT=Power Off");  // "(Forces Applications To Close)"
    if (bold) {
        static const QRegularExpression marker(QStringLiteral("M\\d?$|^CompL$|^IPAddL$"));
        for (QLabel *label : s.findChildren<QLabel *>()) {
            if (marker.match(label->objectName()).hasMatch())
                colors::setBold(label, true);
        }
    }
    s.show();
    QCoreApplication::processEvents();
    return s.sizeHint().expandedTo(s.minimumSizeHint());
}

} // namespace

class SlaveConfigScreenTest : public QObject {
    Q_OBJECT
private slots:
    void checks_data();
    void checks();
    void bothScreensFitASmallScreen_data();
    void bothScreensFitASmallScreen();
    void statusStaysAfterAFailedCheck();
    void itsOwnTexts();
    void activationModeCountsAsAChange();
    void restoreThenSaveWritesTheSlaveFile();
    void leavingRestoresFirstAndAppliesBeforeTheFlag_data();
    void leavingRestoresFirstAndAppliesBeforeTheFlag();
};

void SlaveConfigScreenTest::checks_data()
{
    QTest::addColumn<QStringList>("edits");
    QTest::addColumn<QString>("expected");  // the count of failed checks, then the marked labels
    QTest::newRow("valid") << QStringList{} << "0";
    QTest::newRow("empty address") << QStringList{"IPAddT="} << "1 IPAddM";
    QTest::newRow("empty name") << QStringList{"DNameT=1", "IPAddT="} << "1 IPAddM";
    // Blanks only are read back as nothing: the slave would come back unconfigured.
    QTest::newRow("name of blanks only") << QStringList{"DNameT=1", "IPAddT=   "} << "1 IPAddM";
    QTest::newRow("address of blanks only") << QStringList{"IPAddT=   "} << "1 IPAddM";
    QTest::newRow("address and a trailing blank") << QStringList{"IPAddT=10.1.1.2 "} << "0";
    QTest::newRow("name mode, an IPv4 address") << QStringList{"DNameT=1", "IPAddT=10.1.1.2"} << "1 IPAddM";
    QTest::newRow("name mode, an IPv4 address and a blank") << QStringList{"DNameT=1", "IPAddT=10.1.1.2 "} << "1 IPAddM";
    QTest::newRow("name mode, 100 characters") << QStringList{"DNameT=1", "IPAddT=" + QString(100, 'h')} << "0";
    QTest::newRow("name mode, 101 characters") << QStringList{"DNameT=1", "IPAddT=" + QString(101, 'h')} << "1 IPAddM";
    QTest::newRow("name with a line feed") << QStringList{"DNameT=1", "IPAddT=master\nPort1=1"} << "1 IPAddM";
    QTest::newRow("address mode, a name") << QStringList{"IPAddT=master"} << "1 IPAddM";
    // Unlike the master's, the slave's index is reset first: no item, no level.
    QTest::newRow("no log level") << QStringList{"LogLevelT="} << "1 LogLevelM";
    // ... while its shut type keeps the last that matched.
    QTest::newRow("no shut type") << QStringList{"ShutNameT="} << "0";
    QTest::newRow("highest ports") << QStringList{"Port1T=65535", "Port2T=65535"} << "0";
    QTest::newRow("ports outside") << QStringList{"Port1T=1023", "Port2T=65536"} << "2 Port1M";
    QTest::newRow("common checks") << QStringList{"CPUDelayT=4.5", "ShutTimeT=601", "StopTimeT=24:00", "LogNameT=short"}
                                   << "4 CPUDelayM,LogNameM,ShutTimeM,StopTimeM";
    QTest::newRow("log naming the configuration file") << QStringList{"LogPathT=Data/", "LogNameT=TolvexS.ini"} << "1 LogNameM";
}

void SlaveConfigScreenTest::checks()
{
    QFETCH(QStringList, edits);
    QFETCH(QString, expected);
    SlaveScreen f;
    frmSlaveConfig &s = f.open();
    const QByteArray before = f.configBytes();
    QCOMPARE(f.checked(edits), expected);
    // A failed check writes nothing.
    if (expected != QLatin1String("0")) {
        s.Save_Click();
        QCOMPARE(f.configBytes(), before);
    }
}

// Each screen fits a 1024x768 desktop with a panel of 40 pixels and the frame a window
// manager puts around it (openbox: 2 by 25 pixels), also once every marker is bold.
// The test font is the desktop's own, so the pixels are the ones a person sees.
void SlaveConfigScreenTest::bothScreensFitASmallScreen_data()
{
    QTest::addColumn<bool>("slave");
    QTest::addColumn<bool>("bold");
    QTest::newRow("master, as opened") << false << false;
    QTest::newRow("master, every marker bold") << false << true;
    QTest::newRow("slave, as opened") << true << false;
    QTest::newRow("slave, every marker bold") << true << true;
}

void SlaveConfigScreenTest::bothScreensFitASmallScreen()
{
    QFETCH(bool, slave);
    QFETCH(bool, bold);
    test::quietOffscreenWindowWarnings();
    QSize size;
    if (slave) {
        SlaveScreen f;
        size = shownSize(f, bold);
    } else {
        MasterScreen f;
        size = shownSize(f, bold);
    }
    const QSize room(1024 - 24, 768 - 40 - 48);
    QVERIFY2(size.width() <= room.width() && size.height() <= room.height(),
             qPrintable(QStringLiteral("%1x%2").arg(size.width()).arg(size.height())));
}

// The slave's check starts no status time-out: a text set after a failed one stays.
void SlaveConfigScreenTest::statusStaysAfterAFailedCheck()
{
    SlaveConfig running = slaveRunning();
    running.IPAdd.clear();
    SlaveScreen f(running);
    frmSlaveConfig &s = f.open();
    QCOMPARE(f.text("Status"), QStringLiteral("1 Item(s) Highlighted Contain Out Of Range Values"));
    QVERIFY(!s.Timer2->isActive());
    s.Save_Click();
    QCOMPARE(f.text("Status"), QStringLiteral("Item(s) Highlighted Contain Out Of Range Values - Changes Not Saved"));
    QVERIFY(!s.Timer2->isActive());
}

// Its list item "Standby", its address captions, tips and markers, and "Tolvex
// Slave" in its caption, tips, boxes and fresh log.
void SlaveConfigScreenTest::itsOwnTexts()
{
    SlaveConfig running = slaveRunning();
    running.ShutType = 6;
    running.DName = 2;
    running.IPAdd = QStringLiteral("master");
    SlaveScreen f(running);
    f.host.mode = 2;  // -AddErrorMessage
    frmSlaveConfig &s = f.open();
    QCOMPARE(s.windowTitle(), QStringLiteral("Tolvex Slave Configuration"));
    QCOMPARE(f.text("ShutNameT"), QStringLiteral("Standby"));
    QCOMPARE(s.ShutTypeIndex, 6);
    QCOMPARE(f.text("StartDelayM"), QStringLiteral("seconds (min 1, max 3600)"));
    QCOMPARE(f.control("ViewL")->toolTip(), QStringLiteral("View Tolvex Slave log file (It will not be updated while open)"));
    QCOMPARE(f.control("ExitConfig")->toolTip(),
             QStringLiteral("Close Tolvex Slave Configuration Screen (The program will be reset if changed values have been saved)"));
    QCOMPARE(f.control("Archive")->toolTip(), QStringLiteral("Archive Tolvex Slave log file and create new one"));
    QCOMPARE(f.text("IPAddL") + '|' + f.text("IPAddM") + '|' + f.control("IPAddT")->toolTip(),
             QStringLiteral("Domain Name|(a valid domain name)|Domain name of computer to communicate with (less than 100 characters)"));
    f.set({"DNameT=0", "IPAddT=10.1.1.1"});
    QCOMPARE(f.text("IPAddL") + '|' + f.text("IPAddM") + '|' + f.control("IPAddT")->toolTip(),
             QStringLiteral("IP Address|(A valid IP address)|IP Address of computer to communicate with"));

    f.set("CPUDelayT=1");
    s.ValidateFields();
    f.set("CPUDelayT=30");
    {
        const FileSizeLimit full(64);
        s.Save_Click();
    }
    s.Save_Click();
    QVERIFY(f.configBytes().contains("\r\nShutType=6\r\n"));
    f.host.program.boxService.setNextAnswer(BoxAnswer::No);
    s.Archive_Click();
    QCOMPARE(f.boxTitles(), QStringList({"Tolvex Slave Data Error", "Tolvex Slave Configuration File Error",
                                         "Archive Tolvex Slave Log File"}));
    QCOMPARE(f.host.program.shown()[1].text,
             QStringLiteral("Unable to write to the configuration file. TolvexS.ini\r\nThis may be a permissions problem."));
    QVERIFY(readFile(f.logPath()).startsWith("Tolvex Slave Log\r\nVersion 1.0\r\nFile Created\r\n"));
}

// The slave's value string holds the activation mode itself (the master's only the
// delay's text, which the mode's handler empties when it is of the other kind).
void SlaveConfigScreenTest::activationModeCountsAsAChange()
{
    SlaveScreen f;
    frmSlaveConfig &s = f.open();
    f.set("StartDelayT=08:30");
    s.Signature = s.BuildValueString();
    f.set("StartTimeT=1");
    QCOMPARE(f.text("StartDelayT"), QStringLiteral("08:30"));
    s.ExitConfig_Click();
    QCOMPARE(f.text("ExitConfig"), QStringLiteral("&Cancel"));
}

void SlaveConfigScreenTest::restoreThenSaveWritesTheSlaveFile()
{
    SlaveConfig running = slaveRunning();
    running.Port1 = 12001;
    running.Port2 = 12000;
    running.CPUDelay = 45;
    running.LogName = QStringLiteral("SlaveRun.log");
    running.RunOnTop = 2;
    running.DName = 2;
    running.IPAdd = QStringLiteral("master-host");
    SlaveScreen f(running);
    writeFile(f.folder.path("Log/SlaveRun.log"), "x\r\n");
    frmSlaveConfig &s = f.open();
    s.Restore_Click();
    QCOMPARE(f.text("Port1T") + '/' + f.text("Port2T") + ' ' + f.text("IPAddT"), QStringLiteral("10001/10000 master-host"));
    s.Save_Click();
    SlaveConfig expected = slaveScreenDefaults();
    expected.DName = 2;
    expected.IPAdd = QStringLiteral("master-host");
    const QByteArray file = f.configBytes();
    QCOMPARE(file, f.fileTextOf(expected));
    QCOMPARE(file.count("\r\n"), 31);
    QVERIFY(file.startsWith("# Tolvex Slave Version 1.0\r\n"));
}

void SlaveConfigScreenTest::leavingRestoresFirstAndAppliesBeforeTheFlag_data()
{
    QTest::addColumn<bool>("admin");
    QTest::addColumn<bool>("saved");
    QTest::addColumn<int>("applies");
    QTest::newRow("nothing saved") << true << false << 0;
    QTest::newRow("saved") << true << true << 1;
    // Anybody else gets no Save and no Restore, and leaves at once whatever he changed.
    QTest::newRow("user who changed a field") << false << false << 0;
}

void SlaveConfigScreenTest::leavingRestoresFirstAndAppliesBeforeTheFlag()
{
    QFETCH(bool, admin);
    QFETCH(bool, saved);
    QFETCH(int, applies);
    SlaveScreen f;
    f.host.admin = admin;
    frmSlaveConfig &s = f.open();
    QCOMPARE(f.control("Save")->isEnabled(), admin);
    QCOMPARE(f.control("Restore")->isEnabled(), admin);
    if (!admin)
        f.set("CPUDelayT=45");
    f.host.ConfigSaved = saved;
    s.ExitConfig_Click();
    QVERIFY(s.isUnloaded());
    QCOMPARE(f.host.restores, 2);  // before unloading, and by the unload itself
    QCOMPARE(f.host.applies, applies);
    QVERIFY(!f.host.DialogOpen);
}

QTEST_MAIN(SlaveConfigScreenTest)
#include "test_slave_config_screen.moc"
