// zentrola-unit: the virtual unit on a pseudo-terminal, for trying the program without the
// real ignition on the desk.

#include "sim/PtyServer.h"
#include "sim/VirtualUnit.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <optional>
#include <signal.h>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kExitOk = 0;
constexpr int kExitUsage = 2;
constexpr int kExitFile = 3;
constexpr int kExitPort = 4;
constexpr int kStepMs = 20;

constexpr std::string_view kUsage =
    "usage: zentrola-unit [--link PATH] [--eeprom FILE] [--version N] [--no-read]\n"
    "                     [--corrupt-echo] [--corrupt-echo-page P] [--drop-every N]\n"
    "                     [--corrupt-check] [--silent] [--stopped] [--help]\n"
    "Serves a virtual ZENTROLA unit on a pseudo-terminal and prints the path of its slave\n"
    "side, or makes PATH a symbolic link to it. Runs until interrupted.\n"
    "  --link PATH      symbolic link to the serial device (an existing link is replaced)\n"
    "  --eeprom FILE    settings kept in FILE between runs (written on exit)\n"
    "  --version N      version number the unit reports (default 92)\n"
    "  --no-read        the unit refuses to be read\n"
    "  --corrupt-echo   programmed pages are echoed with one byte changed\n"
    "  --corrupt-echo-page P  only page P (1 or 2) is, after storing it\n"
    "  --drop-every N   every N-th reply is not sent\n"
    "  --corrupt-check  every reply carries a wrong check byte\n"
    "  --silent         the unit answers nothing\n"
    "  --stopped        the engine does not run\n"
    "SIGUSR1 pulls the unit's plug and puts it back (a new pseudo-terminal).\n";

volatile std::sig_atomic_t gStop = 0;
volatile std::sig_atomic_t gReplug = 0;

void onStop(int) {
    gStop = 1;
}
void onReplug(int) {
    gReplug = 1;
}

struct Arguments {
    std::string link;
    std::string eeprom;
    zentrola::VirtualUnit::Options options;
    bool stopped = false;
    bool help = false;
};

std::optional<int> number(std::string_view text, int low, int high) {
    const std::string s(text);
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(s.c_str(), &end, 10);
    if (s.empty() || *end != '\0' || errno != 0 || v < low || v > high)
        return std::nullopt;
    return static_cast<int>(v);
}

std::optional<Arguments> parse(int argc, char** argv) {
    Arguments a;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--help" || arg == "-h") {
            a.help = true;
        } else if (arg == "--link" && hasValue) {
            a.link = argv[++i];
        } else if (arg == "--eeprom" && hasValue) {
            a.eeprom = argv[++i];
        } else if (arg == "--version" && hasValue) {
            const auto v = number(argv[++i], 0, 255);
            if (!v)
                return std::nullopt;
            a.options.version = *v;
        } else if (arg == "--drop-every" && hasValue) {
            const auto v = number(argv[++i], 0, 1000000);
            if (!v)
                return std::nullopt;
            a.options.dropEveryNth = *v;
        } else if (arg == "--no-read") {
            a.options.noReadPermission = true;
        } else if (arg == "--corrupt-echo") {
            a.options.corruptEcho = true;
        } else if (arg == "--corrupt-echo-page" && hasValue) {
            const auto v = number(argv[++i], 1, 2);
            if (!v)
                return std::nullopt;
            a.options.corruptEchoPage = *v;
        } else if (arg == "--corrupt-check") {
            a.options.corruptCheck = true;
        } else if (arg == "--silent") {
            a.options.silent = true;
        } else if (arg == "--stopped") {
            a.stopped = true;
        } else {
            return std::nullopt;
        }
    }
    return a;
}

bool isSymlink(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

bool exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

// Points the link at the current slave; anything but an old link there is left alone.
bool publish(const std::string& link, const std::string& slave) {
    if (link.empty()) {
        std::cout << slave << std::endl;
        return true;
    }
    if (isSymlink(link))
        ::unlink(link.c_str());
    else if (exists(link)) {
        std::cerr << "zentrola-unit: " << link << " exists and is not a symbolic link\n";
        return false;
    }
    if (::symlink(slave.c_str(), link.c_str()) != 0) {
        std::cerr << "zentrola-unit: cannot link " << link << ": " << std::strerror(errno) << '\n';
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    const auto args = parse(argc, argv);
    if (!args) {
        std::cerr << kUsage;
        return kExitUsage;
    }
    if (args->help) {
        std::cout << kUsage;
        return kExitOk;
    }

    zentrola::VirtualUnit unit(args->options);
    unit.setEngineRunning(!args->stopped);
    // A missing file is a fresh unit; one that cannot be understood is not overwritten.
    if (!args->eeprom.empty() && exists(args->eeprom) && !unit.loadEeprom(args->eeprom)) {
        std::cerr << "zentrola-unit: cannot read EEPROM file " << args->eeprom << '\n';
        return kExitFile;
    }

    zentrola::PtyServer server(unit);
    if (!server.open()) {
        std::cerr << "zentrola-unit: " << server.error() << '\n';
        return kExitPort;
    }
    if (!publish(args->link, server.slavePath()))
        return kExitPort;

    struct sigaction stop {};
    stop.sa_handler = onStop;
    ::sigaction(SIGINT, &stop, nullptr);
    ::sigaction(SIGTERM, &stop, nullptr);
    struct sigaction replug {};
    replug.sa_handler = onReplug;
    ::sigaction(SIGUSR1, &replug, nullptr);

    int status = kExitOk;
    while (!gStop) {
        if (gReplug) {
            gReplug = 0;
            if (server.isOpen()) {
                server.close();
                std::cerr << "zentrola-unit: unplugged\n";
            } else if (!server.open() || !publish(args->link, server.slavePath())) {
                std::cerr << "zentrola-unit: cannot plug in again: " << server.error() << '\n';
                status = kExitPort;
                break;
            }
        }
        server.poll(kStepMs);
    }

    server.close();
    if (!args->link.empty() && isSymlink(args->link))
        ::unlink(args->link.c_str());
    if (!args->eeprom.empty() && !unit.saveEeprom(args->eeprom)) {
        std::cerr << "zentrola-unit: cannot write EEPROM file " << args->eeprom << '\n';
        return kExitFile;
    }
    return status;
}
