// TolvexMu: the master program.
#include "AppStartup.h"
#include "LogindPowerBackend.h"
#include "TolvexMMain.h"
#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    tolvex::LogindPowerBackend power;
    return tolvex::app::runProgram(app, MultiInst::Program::Master, power,
                                   [](tolvex::ProgramServices services, QString commandLine) {
                                       return std::make_unique<TolvexMMain>(std::move(services), std::move(commandLine));
                                   });
}
