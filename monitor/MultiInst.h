#pragma once
#include <QWidget>
#include <functional>
#include <memory>

namespace Ui { class MultiInst; }

// The start-up error window shown when another master or slave already runs.
class MultiInst : public QWidget {
    Q_OBJECT
public:
    enum class Program { Master, Slave };
    explicit MultiInst(Program program, QWidget *parent = nullptr);
    ~MultiInst() override;

    void Form_Load();
    void Form_Activate();
    void Exit_Click();
    void Logo_Click();

    // What Exit does: ends the program (the real program quits its event loop).
    void setExitAction(std::function<void()> action) { m_exit = std::move(action); }
    // What the logo does: opens the maker's home page.
    void setLogoAction(std::function<void()> action) { m_logo = std::move(action); }

protected:
    void showEvent(QShowEvent *event) override;

private:
    std::unique_ptr<Ui::MultiInst> ui;
    Program m_program;
    std::function<void()> m_exit;
    std::function<void()> m_logo;
};
