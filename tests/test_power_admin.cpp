#include <QtTest>

#include <grp.h>
#include <unistd.h>

#include <vector>

#include "mdAdminTest.h"

class TestPowerAdmin : public QObject {
    Q_OBJECT

private slots:
    void rule_data();
    void rule();
    void currentProcess();
    void longGroupList();
    void cleanup();

private:
    std::vector<gid_t> m_savedGroups;
    bool m_groupsChanged = false;
};

void TestPowerAdmin::rule_data()
{
    QTest::addColumn<uint>("uid");
    QTest::addColumn<QStringList>("groups");
    QTest::addColumn<bool>("admin");

    QTest::newRow("root, no groups") << 0u << QStringList() << true;
    QTest::newRow("sudo") << 1000u << QStringList{"users", "sudo"} << true;
    QTest::newRow("wheel") << 1000u << QStringList{"wheel"} << true;
    QTest::newRow("admin") << 1000u << QStringList{"plugdev", "admin"} << true;
    QTest::newRow("adm is not admin") << 1000u << QStringList{"adm", "users"} << false;
    QTest::newRow("case matters") << 1000u << QStringList{"Sudo", "WHEEL"} << false;
    QTest::newRow("whole name only") << 1000u << QStringList{"sudoers", "admin ", ""} << false;
}

void TestPowerAdmin::rule()
{
    QFETCH(uint, uid);
    QFETCH(QStringList, groups);
    QFETCH(bool, admin);
    QCOMPARE(mdAdminTest::isAdminAccount(uid_t(uid), groups), admin);
}

void TestPowerAdmin::currentProcess()
{
    const QStringList names = mdAdminTest::processGroupNames();
    if (const group *effective = getgrgid(getegid()))
        QVERIFY(names.contains(QString::fromLocal8Bit(effective->gr_name)));

    const bool expected = mdAdminTest::isAdminAccount(geteuid(), names);
    for (int mode : {0, 1, 2, 3, 5, 6})
        QCOMPARE(mdAdminTest::IsAdmin(mode), expected);
    // "-InhibitAdmin" makes everybody an ordinary user, root included.
    QVERIFY(!mdAdminTest::IsAdmin(4));
}

void TestPowerAdmin::longGroupList()
{
    if (geteuid() != 0)
        QSKIP("Changing the group list needs root");
    const group *target = getgrnam("sudo");
    if (!target)
        target = getgrnam("wheel");
    if (!target)
        QSKIP("No sudo or wheel group on this system");
    const gid_t adminGid = target->gr_gid;
    const group *filler = getgrgid(0);
    QVERIFY(filler);
    const QString fillerName = QString::fromLocal8Bit(filler->gr_name);

    m_savedGroups.assign(size_t(getgroups(0, nullptr)), 0);
    QVERIFY(getgroups(int(m_savedGroups.size()), m_savedGroups.data()) >= 0);

    // Far more groups than any fixed table would hold; the administrators' group
    // is the last one.
    std::vector<gid_t> many(5000, 0);
    many.back() = adminGid;
    if (setgroups(many.size(), many.data()) != 0)
        QSKIP("The system refuses a list this long");
    m_groupsChanged = true;

    const QStringList names = mdAdminTest::processGroupNames();
    QVERIFY(names.count(fillerName) >= 4999);
    QVERIFY(mdAdminTest::isAdminAccount(1000, names));
}

void TestPowerAdmin::cleanup()
{
    if (m_groupsChanged) {
        QVERIFY(setgroups(m_savedGroups.size(), m_savedGroups.data()) == 0);
        m_groupsChanged = false;
    }
}

QTEST_MAIN(TestPowerAdmin)
#include "test_power_admin.moc"
