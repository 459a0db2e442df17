#include "mdAdminTest.h"
#include <QtTest>
#include <grp.h>
#include <unistd.h>
#include <vector>

class TestPowerAdmin : public QObject {
    Q_OBJECT

private slots:
    void rule_data()
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

    void rule()
    {
        QFETCH(uint, uid);
        QFETCH(QStringList, groups);
        QFETCH(bool, admin);
        QCOMPARE(mdAdminTest::isAdminAccount(uid_t(uid), groups), admin);
    }

    void currentProcessAndModeFour()
    {
        const QStringList names = mdAdminTest::processGroupNames();
        if (const group *effective = getgrgid(getegid()))
            QVERIFY(names.contains(QString::fromLocal8Bit(effective->gr_name)));
        const bool expected = mdAdminTest::isAdminAccount(geteuid(), names);
        for (int mode : {0, 1, 2, 3, 5, 6})
            QCOMPARE(mdAdminTest::IsAdmin(mode), expected);
        QVERIFY(!mdAdminTest::IsAdmin(4));  // "-InhibitAdmin": an ordinary user, root included
    }

    // Far more groups than any fixed table would hold, the administrators' group last.
    void longGroupList()
    {
        const group *target = getgrnam("sudo") ? getgrnam("sudo") : getgrnam("wheel");
        if (geteuid() != 0 || !target)
            QSKIP("Needs root and a sudo or wheel group");
        std::vector<gid_t> many(5000, 0), saved(size_t(getgroups(0, nullptr)));
        many.back() = target->gr_gid;
        const group *root = getgrgid(0);
        const QString filler = QString::fromLocal8Bit(root ? root->gr_name : "?");
        QVERIFY(getgroups(int(saved.size()), saved.data()) >= 0);
        if (setgroups(many.size(), many.data()) != 0)
            QSKIP("The system refuses a list this long");
        const QStringList names = mdAdminTest::processGroupNames();
        const bool admin = mdAdminTest::isAdminAccount(1000, names);
        const qsizetype fillers = names.count(filler);
        QVERIFY(setgroups(saved.size(), saved.data()) == 0);
        QVERIFY(fillers >= 4999);
        QVERIFY(admin);
    }
};

QTEST_MAIN(TestPowerAdmin)
#include "test_power_admin.moc"
