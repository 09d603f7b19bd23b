// zentrola-cli: the Configurator without its window, for scripts and terminals.
#include "cli/Cli.h"

#if defined(_WIN32)
#include "cli/SteadyTickDriver.h"
#include "link/WinSerialPort.h"

#include <windows.h>
// After windows.h, whose types it uses.
#include <shellapi.h>
#else
#include "cli/QtTickDriver.h"
#include "link/QtSerialPort.h"

#include <QCoreApplication>
#endif

#include <iostream>
#include <string>
#include <vector>

#if defined(_WIN32)
namespace {
// The arguments in UTF-8 from the wide command line: argv holds them in the ANSI code page,
// which loses the letters of a file name it lacks.
std::vector<std::string> utf8Arguments() {
    std::vector<std::string> args;
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr)
        return args;
    for (int i = 1; i < count; ++i) {
        const int size = WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
        std::string arg(size > 0 ? static_cast<std::size_t>(size - 1) : 0, '\0');
        if (size > 1)
            WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, arg.data(), size, nullptr, nullptr);
        args.push_back(std::move(arg));
    }
    LocalFree(wide);
    return args;
}
} // namespace
#endif

int main(int argc, char* argv[]) {
    // runCli catches what its commands throw; this catches what setting them up throws.
    try {
#if defined(_WIN32)
        (void)argc;
        (void)argv;
        const std::vector<std::string> args = utf8Arguments();
        // The messages are UTF-8; the console shows them so only when told.
        SetConsoleOutputCP(CP_UTF8);
        // The native port needs no event loop: a steady clock gives the ticks.
        zentrola::SteadyTickDriver driver;
        zentrola::WinSerialPort port;
#else
        // Taken before Qt sees the arguments, so that nothing on the line is Qt's.
        const std::vector<std::string> args(argv + 1, argv + argc);
        QCoreApplication app(argc, argv);
        zentrola::QtTickDriver driver;
        zentrola::QtSerialPort port;
#endif
        return zentrola::runCli(args, port, std::cout, std::cerr, driver);
    } catch (...) {
        return zentrola::reportUnexpected(std::cerr);
    }
}
