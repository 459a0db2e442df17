#pragma once
// A configuration screen opened on a running record, in a temporary installation
// folder whose configuration file and log exist, without a main window; and the
// master's screen on a running record that the tests vary.
#include "ConfigFile.h"
#include "LogArchive.h"
#include "ScreenTestHost.h"
#include "VbColor.h"
#include "frmConfig.h"
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace tolvex::test {

// `Screen` is the screen's class; `Record` its program's configuration record.
template <typename Screen, typename Record>
class ScreenFixture {
public:
    using TextOf = QString (*)(const Record &, int, int, const QDateTime &);

    ScreenFixture(const QString &product, Record running, TextOf fileText, const QString &configFile,
                  const QString &logName)
        : host(product), config(std::move(running)), m_fileText(fileText), m_configFile(configFile), m_logName(logName)
    {
        writeConfig(config);
        writeFile(folder.path(QStringLiteral("Log/") + logName),
                  logarchive::freshLogText(product, host.program.fakeClock.now()).toUtf8());
    }
    ~ScreenFixture() { delete screen.data(); }

    QString configPath() const { return folder.path(QStringLiteral("Data/") + m_configFile); }
    QString logPath() const { return folder.path(QStringLiteral("Log/") + m_logName); }
    QByteArray configBytes() const { return readFile(configPath()); }
    QByteArray fileTextOf(const Record &rec) const { return m_fileText(rec, 1, 0, host.program.fakeClock.now()).toUtf8(); }
    void writeConfig(const Record &rec) { writeFile(configPath(), fileTextOf(rec)); }

    // Creates and opens the screen on `config`; its closing countdown is then driven
    // by the test alone.
    Screen &open()
    {
        delete screen.data();
        screen = new Screen(host, config);
        screen->Timer1->stop();
        screen->Form_Load();
        return *screen;
    }

    template <typename T = QWidget>
    T *control(const QString &name) const
    {
        T *found = screen->template findChild<T *>(name);
        if (!found)
            qFatal("no control %s", qPrintable(name));
        return found;
    }
    // The text of a label, a text box, a button, or the item a list shows.
    QString text(const QString &name) const
    {
        QWidget *w = control(name);
        return w->property(qobject_cast<QComboBox *>(w) ? "currentText" : "text").toString();
    }
    // "Name=value": a text, a check box (0 or 1) or a list item ("" selects none).
    void set(const QString &edit)
    {
        const QString name = edit.section(QLatin1Char('='), 0, 0);
        const QString value = edit.section(QLatin1Char('='), 1);
        QWidget *w = control(name);
        if (auto *line = qobject_cast<QLineEdit *>(w))
            line->setText(value);
        else if (auto *box = qobject_cast<QCheckBox *>(w))
            box->setChecked(value == QLatin1String("1"));
        else if (auto *list = qobject_cast<QComboBox *>(w))
            list->setCurrentIndex(list->findText(value));
    }
    void set(const QStringList &edits)
    {
        for (const QString &edit : edits)
            set(edit);
    }
    // The labels in the marked look, by name, sorted.
    QStringList marked() const
    {
        QStringList names;
        for (const QLabel *label : screen->template findChildren<QLabel *>()) {
            if (colors::foreColor(label) == colors::kOrange && label->font().bold() && label->objectName() != "Status")
                names << label->objectName();
        }
        names.sort();
        return names;
    }
    // Runs the field check once more after the edits: the count of failed checks,
    // then the marked labels ("2 IPAddL,IPAddM1").
    QString checked(const QStringList &edits)
    {
        set(edits);
        const int count = screen->ValidateFields();
        return (QString::number(count) + ' ' + marked().join(',')).trimmed();
    }
    QStringList boxTitles() const
    {
        QStringList titles;
        for (const BoxRequest &box : host.program.shown())
            titles << box.title;
        return titles;
    }

    InstallFolder folder;
    ScreenTestHost host;
    Record config;
    QPointer<Screen> screen;

private:
    TextOf m_fileText;
    QString m_configFile;
    QString m_logName;
};

// The screen's defaults with this computer "Master" and one remote computer.
inline MasterConfig masterRunning()
{
    MasterConfig rec = masterScreenDefaults();
    rec.CName[0] = QStringLiteral("Master");
    rec.CName[1] = QStringLiteral("Node1");
    rec.IPAdd[1] = QStringLiteral("10.1.1.1");
    return rec;
}

// The running record with some keys given as the file gives them ("ShutType=7").
inline MasterConfig masterRecordWith(const QStringList &lines)
{
    QString text = masterConfigFileText(masterRunning(), 1, 0, QDateTime::currentDateTime());
    for (const QString &line : lines) {
        const QString key = QStringLiteral("\r\n") + line.section(QLatin1Char('='), 0, 0) + QLatin1Char('=');
        const int at = int(text.indexOf(key)) + 2;
        const int end = int(text.indexOf(QStringLiteral("\r\n"), at));
        text.replace(at, end - at, line);
    }
    QTemporaryDir dir;
    writeFile(dir.filePath(QStringLiteral("x.ini")), text.toUtf8());
    MasterConfig rec;
    readMasterConfig(dir.filePath(QStringLiteral("x.ini")), rec);
    return rec;
}

struct MasterScreen : ScreenFixture<frmConfig, MasterConfig> {
    explicit MasterScreen(const MasterConfig &running = masterRunning())
        : ScreenFixture(QStringLiteral("Tolvex"), running, &masterConfigFileText, QStringLiteral("TolvexM.ini"),
                        QStringLiteral("TolvexM.log"))
    {
    }
};

} // namespace tolvex::test
