#include "MultiInst.h"
#include "TrayPictures.h"
#include "WindowHelpers.h"
#include "ui_MultiInst.h"

MultiInst::MultiInst(Program program, QWidget *parent)
    : QWidget(parent), ui(std::make_unique<Ui::MultiInst>()), m_program(program)
{
    ui->setupUi(this);
    ui->Logo->setPixmap(tolvex::logoPicture().pixmap(36, 36));
    connect(ui->Exit, &QAbstractButton::clicked, this, &MultiInst::Exit_Click);
    tolvex::onLabelClick(ui->Logo, [this] { Logo_Click(); });
    Form_Load();
}

MultiInst::~MultiInst() = default;

void MultiInst::Form_Load()
{
    const QString crlf = QStringLiteral("\r\n");
    if (m_program == Program::Master) {
        setWindowTitle(QStringLiteral("Tolvex Start Up Error"));
        ui->ErrorMess->setText(QStringLiteral("Tolvex or Tolvex Slave") + crlf + QStringLiteral(" is already running.") + crlf
                               + QStringLiteral("Only one instance can") + crlf + QStringLiteral("be running at a time"));
    } else {
        setWindowTitle(QStringLiteral("Tolvex Slave Start Up Error"));
        ui->ErrorMess->setText(QStringLiteral("Tolvex Slave or Tolvex") + crlf + QStringLiteral(" is already running.") + crlf
                               + QStringLiteral("Only one instance can") + crlf + QStringLiteral("be running at a time."));
    }
}

void MultiInst::Form_Activate()
{
    tolvex::setTopmost(*this, true);
}

void MultiInst::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    Form_Activate();
}

void MultiInst::Exit_Click()
{
    if (m_exit)
        m_exit();
}

void MultiInst::Logo_Click()
{
    if (m_logo)
        m_logo();
}
