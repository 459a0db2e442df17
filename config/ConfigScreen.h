#pragma once
#include "ConfigRecord.h"
#include "ConfigScreenHost.h"
#include <QDateTime>
#include <QList>
#include <QStringList>
#include <QWidget>
#include <initializer_list>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace tolvex {

// What the master's and the slave's configuration screens share: the controls both
// have, opening and loading, the timers and the closing countdown, the two-step Exit
// and leaving, topmost, the check box and list handlers, Restore, the field check's
// run and its markers, Save, and the two log buttons. Each screen adds its own
// controls, values, field states, value string and checks.
class ConfigScreen : public QWidget {
    Q_OBJECT
public:
    // The controls both screens have, found by their names once the form exists.
    struct Controls {
        QPushButton *ExitConfig, *Save, *Restore, *Archive, *ViewL;
        QLabel *Logo, *Status, *TMessage;
        QLineEdit *Park;
        QComboBox *LogLevelT, *ShutNameT;
        QLineEdit *LogNameT, *LogPathT, *StartDelayT, *CPUDelayT, *StopTimeT, *ShutTimeT, *Port1T, *Port2T;
        QCheckBox *LogR_OnT, *StartTimeT, *StartMinT, *RunOnTopT, *Stop_OnT, *ForceT, *NoWarnT, *UExitT, *DNameT;
        QLabel *StartDelayL, *IPAddL;
        // Marker labels.
        QLabel *CPUDelayM, *LogLevelM, *LogNameM, *LogPathM, *Port1M, *ShutTimeM, *ShutTypeM, *StartDelayM,
            *StopTimeM;
    };

    // What makes one screen differ from the other in the shared procedures.
    struct Traits {
        QString product;          // "Tolvex" or "Tolvex Slave": caption, box titles, tips, the fresh log
        QString configFile;       // "TolvexM.ini" or "TolvexS.ini" in "Data\"
        QString writeErrorLine;   // first line of the write-error box
        QString delayNote;        // StartDelayM in delay mode
        QStringList shutNames;    // the seven shut types by code
        CommonConfig defaults;    // what Restore puts into the shared inputs
        bool shutResetFirst;      // ReadShutType sets 0 before comparing
        bool logLevelResetFirst;  // the field check sets LogLevelIndex 0 before reading the list
        bool checkStartsTimeOut;  // the field check starts the status-line time-out
        bool tipsOnOpening;       // opening writes the button tips
        bool dNameWhileLoading;   // the address mode's handler runs while loading too
        bool restoreBeforeUnload; // leaving gives the main window its controls back first
    };

    ~ConfigScreen() override;

    // Opening, leaving and the handlers.
    void Form_Load();
    void Form_Activate();
    void Form_Unload();
    void Data_Load();
    void ExitConfig_Click();
    void Restore_Click();
    void Save_Click();
    void Archive_Click();
    void ViewL_Click();
    void Logo_Click();
    void Timer1_Timer();
    void Timer2_Timer();
    void DNameT_Click();
    void ForceT_Click();
    void NoWarnT_Click();
    void Stop_OnT_Click();
    void ShutNameT_Click();
    void StartTimeT_Click();
    void LogLevelT_Click();
    void RunOnTopT_Click();
    void ReadShutType();
    void SetButtonTips();
    // Runs every check of the screen, marks the failures and returns their number.
    int ValidateFields();
    void ClearHighlights();

    // Each screen's own procedures.
    virtual void UpdateFieldStates() = 0;
    virtual QString BuildValueString() const = 0;

    // Unloads the screen once (Form_Unload) and lets the window go. The main window's
    // cycle closes an idle screen this way.
    void unload();
    bool isUnloaded() const { return m_unloaded; }
    const Controls &controls() const { return c; }
    // The program's logo, shown in the picture that opens the maker's home page.
    void setLogo(const QPixmap &picture);

    // Fields of the window object.
    bool Loading = false;
    QString Signature;
    bool Changed = false;
    int LogLevelIndex = 0;
    int ShutTypeIndex = 0;
    QTimer *Timer1 = nullptr;  // closing countdown, 1000 ms, running from the start
    QTimer *Timer2 = nullptr;  // status-line time-out, 2000 ms

protected:
    ConfigScreen(ConfigScreenHost &host, const CommonConfig &running, Traits traits, QWidget *parent);
    // Called by the derived screen once its form exists: finds the shared controls,
    // paints the panels and connects the handlers.
    void setUpScreen(std::initializer_list<QWidget *> panels);

    // The screen's own parts of the shared procedures.
    // Its own inputs from the running configuration, and Restore's defaults for them.
    virtual void loadOwnValues() = 0;
    virtual void restoreOwnDefaults() = 0;
    // All its checks in its order, the common ones included; returns the failures.
    virtual int fieldChecks() = 0;
    // Its own marker labels, beside the shared ones.
    virtual QList<QLabel *> ownMarkers() const = 0;
    // The whole file text from the values on the screen.
    virtual QString screenFileText(const QDateTime &savedAt) const = 0;

    // Helpers of the screens' own procedures.
    static void setFlag(QCheckBox *box, int flag);
    static int flagOf(const QCheckBox *box);
    static QString stateText(const QCheckBox *box);
    // A text as one item of the value string: "," and "\" escaped, so that moving a
    // comma from one field to the next still counts as a change.
    static QString valueItem(const QString &text);
    // The number of a text made whole as the reader makes it (halves to even).
    static double wholeNumber(const QLineEdit *field);
    static bool hasControlCharacter(const QString &text);
    // A text as the reader takes it back: the line's trailing blanks are gone.
    static QString asReadBack(const QString &text);
    // A host name, as the reader will take it back, fails when it is too long, holds a
    // control character, or is an IPv4 address.
    static bool hostNameFails(const QString &text);
    // Marks the labels when the check failed; returns 1 for a failure, else 0.
    int failIf(bool failed, std::initializer_list<QLabel *> labels);
    // The values both screens keep, read back from the screen for Save.
    void readCommonValues(CommonConfig &rec) const;
    // The field states both screens set alike.
    void commonFieldStates();
    // The checks both screens run, in the order the master runs them after its
    // address and name checks; returns the failures.
    int commonChecks();
    void parkFocus();
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

    ConfigScreenHost &host;
    const CommonConfig &running;
    Traits traits;
    Controls c{};

    // Held by every handler that may show a box: while one runs, an unloaded screen
    // (closed by the cycle behind the box) is kept until the handler has returned.
    class Busy {
    public:
        explicit Busy(ConfigScreen &screen);
        ~Busy();
        Busy(const Busy &) = delete;
        Busy &operator=(const Busy &) = delete;

    private:
        ConfigScreen &m_screen;
    };

private:
    // Leaving after the two-step: unload, and apply the file when that is due.
    void leaveScreen();
    void putCommonInputs(const CommonConfig &r);
    // The end of the loader: the two lists and their indices.
    void loadLists(const CommonConfig &rec);
    void readLogLevel();
    void announceFailures(int count);
    void setTopmost(bool topmost);

    bool m_unloaded = false;
    int m_busy = 0;
};

} // namespace tolvex
