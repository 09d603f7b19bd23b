// zentrola-cli: the Configurator without its window, for scripts and terminals.
#include "cli/Cli.h"

#if defined(_WIN32)
#include "cli/SteadyTickDriver.h"
#include "link/WinSerialPort.h"

#include <windows.h>
#else
#include "cli/QtTickDriver.h"
#include "link/QtSerialPort.h"

#include <QCoreApplication>
#endif

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char* argv[]) {
    // runCli catches what its commands throw; this catches what setting them up throws.
    try {
        // Taken before Qt sees the arguments, so that nothing on the line is Qt's.
        const std::vector<std::string> args(argv + 1, argv + argc);
#if defined(_WIN32)
        // The messages are UTF-8; the console shows them so only when told.
        SetConsoleOutputCP(CP_UTF8);
        // The native port needs no event loop: a steady clock gives the ticks.
        zentrola::SteadyTickDriver driver;
        zentrola::WinSerialPort port;
#else
        QCoreApplication app(argc, argv);
        zentrola::QtTickDriver driver;
        zentrola::QtSerialPort port;
#endif
        return zentrola::runCli(args, port, std::cout, std::cerr, driver);
    } catch (...) {
        return zentrola::reportUnexpected(std::cerr);
    }
}
