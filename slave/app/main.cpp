// TolvexSu: the slave program.
#include "AppStartup.h"
#include "LogindPowerBackend.h"
#include "TolvexSMain.h"
#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    tolvex::LogindPowerBackend power;
    return tolvex::app::runProgram(app, MultiInst::Program::Slave, power,
                                   [](tolvex::ProgramServices services, QString commandLine) {
                                       return std::make_unique<TolvexSMain>(std::move(services), std::move(commandLine));
                                   });
}
