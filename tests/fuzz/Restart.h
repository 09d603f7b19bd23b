// A program started over a folder of settings files, closed, and started again: what the
// settings and backup targets share. Whatever the files held, the first start must come up
// with values the rules allow, and the second must come up exactly as the first was closed.
#pragma once

#include "Scratch.h"
#include "support/Guarantees.h"

#include "app/Configurator.h"
#include "link/NullSerialPort.h"

#include <filesystem>
#include <string>

namespace zentrola::testing {

struct StartedProgram {
    NullSerialPort port;
    View view;
    Configurator c{port, view};
    explicit StartedProgram(const std::filesystem::path& dir) {
        StartOptions options;
        options.configDir = dir;
        c.start(options);
    }
};

// The folder holds only the file just written (or nothing).
inline std::filesystem::path freshConfigDir() {
    const auto dir = scratchDir() / "config";
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
    std::filesystem::create_directories(dir);
    return dir;
}

// An INI line cannot hold a line break: one in a name read from a damaged file comes back
// as a blank.
inline std::string asSaved(std::string name) {
    for (char& ch : name)
        if (ch == '\r' || ch == '\n')
            ch = ' ';
    return name;
}

inline void checkRestart(const std::filesystem::path& dir) {
    StartedProgram first(dir);
    Configurator& c = first.c;
    require(c.language() >= 0 && c.language() < kLanguageCount, "language out of range");
    require(c.portIndex() >= 0 && c.portIndex() <= kAutoPortIndex, "port index out of range");
    require(c.scanPosition() >= 0 && c.scanPosition() < kAutoPortIndex,
            "scan position out of range");
    require(brokenRule(c.image()));
    // Whatever the backup held, the start put both curves in order.
    require(brokenNormalisation(c.image()));
    c.shutdown();
    const ParameterImage closed = c.image();

    StartedProgram second(dir);
    const Configurator& d = second.c;
    require(d.image() == closed, "the settings came back changed after a restart");
    require(d.language() == c.language() && d.portIndex() == c.portIndex() &&
                d.scanPosition() == c.scanPosition(),
            "language or port came back changed after a restart");
    require(d.fileName() == asSaved(c.fileName()) && d.lastFilePath() == asSaved(c.lastFilePath()),
            "the file names came back changed after a restart");
    const Settings& s = first.c.settings();
    const Settings& t = second.c.settings();
    require(s.left == t.left && s.top == t.top && s.width == t.width && s.height == t.height &&
                s.ignAll == t.ignAll,
            "the window's settings came back changed after a restart");
}

} // namespace zentrola::testing
