// zentrola-cli: the Configurator without its window, for scripts and terminals.
#include "cli/Cli.h"
#include "cli/QtTickDriver.h"
#include "link/QtSerialPort.h"

#include <QCoreApplication>

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char* argv[]) {
    // runCli catches what its commands throw; this catches what setting them up throws.
    try {
        // Taken before Qt sees the arguments, so that nothing on the line is Qt's.
        const std::vector<std::string> args(argv + 1, argv + argc);
        QCoreApplication app(argc, argv);
        zentrola::QtTickDriver driver;
        zentrola::QtSerialPort port;
        return zentrola::runCli(args, port, std::cout, std::cerr, driver);
    } catch (...) {
        return zentrola::reportUnexpected(std::cerr);
    }
}
