// The command line of zentrola-cli: which command, on which port and files, in which
// language. Parsing is strict: anything unknown, missing or given twice is a usage error.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zentrola {

enum class CliCommand : std::uint8_t { Info, Read, Program, Verify, Monitor, Convert, Diff };

struct CliRequest {
    CliCommand command = CliCommand::Info;
    std::vector<std::string> files; // IN for program and verify; IN and OUT for convert; A and B
                                    // for diff
    std::optional<std::string> port;
    std::optional<int> language; // from --lang
    std::optional<std::string> output;
    std::optional<int> frames;
    std::optional<std::string> csv;
};

struct ParsedCommandLine {
    std::optional<CliRequest> request; // none for --help and for errors
    bool help = false;
    std::string error; // why the line was refused; empty for --help
};

// The arguments without the program name.
ParsedCommandLine parseCommandLine(const std::vector<std::string>& args);

// The text of --help; also printed after a usage error.
std::string_view usageText();

} // namespace zentrola
