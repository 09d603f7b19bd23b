#include "cli/CommandLine.h"

#include "core/Jazyk1.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace zentrola {

namespace {

enum class Option : std::uint8_t { Port, Language, Output, Frames, Csv };

// The options beyond --port and --lang that a command takes.
namespace Extra {
inline constexpr unsigned None = 0;
inline constexpr unsigned Output = 1u << 0;
inline constexpr unsigned Frames = 1u << 1;
inline constexpr unsigned Csv = 1u << 2;
} // namespace Extra

struct CommandSpec {
    std::string_view name;
    CliCommand command;
    std::size_t files;
    bool needsPort; // convert and diff work without a unit and take no port
    unsigned extras;
};

constexpr std::array<CommandSpec, 7> kCommands{{
    {"info", CliCommand::Info, 0, true, Extra::None},
    {"read", CliCommand::Read, 0, true, Extra::Output},
    {"program", CliCommand::Program, 1, true, Extra::None},
    {"verify", CliCommand::Verify, 1, true, Extra::None},
    {"monitor", CliCommand::Monitor, 0, true, Extra::Frames | Extra::Csv},
    {"convert", CliCommand::Convert, 2, false, Extra::None},
    {"diff", CliCommand::Diff, 2, false, Extra::None},
}};

struct OptionSpec {
    std::string_view name;
    Option option;
    unsigned extra; // the bit a command must allow; None for the common options
};

constexpr std::array<OptionSpec, 5> kOptions{{
    {"--port", Option::Port, Extra::None},
    {"--lang", Option::Language, Extra::None},
    {"-o", Option::Output, Extra::Output},
    {"--frames", Option::Frames, Extra::Frames},
    {"--csv", Option::Csv, Extra::Csv},
}};

constexpr int kMaxFrames = 100'000'000;

ParsedCommandLine refused(std::string why) {
    ParsedCommandLine p;
    p.error = std::move(why);
    return p;
}

std::optional<int> positiveNumber(std::string_view text) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < 1 || value > kMaxFrames)
        return std::nullopt;
    return value;
}

} // namespace

ParsedCommandLine parseCommandLine(const std::vector<std::string>& args) {
    // --help wins over everything else on the line, so that "read --help" helps.
    if (std::any_of(args.begin(), args.end(), [](const std::string& a) { return a == "--help"; })) {
        ParsedCommandLine p;
        p.help = true;
        return p;
    }

    std::vector<std::string> positional;
    std::array<std::optional<std::string>, kOptions.size()> values;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.size() < 2 || arg[0] != '-') {
            positional.push_back(arg);
            continue;
        }
        std::string_view name = arg;
        std::optional<std::string> value;
        if (const auto eq = arg.find('='); eq != std::string::npos && arg.starts_with("--")) {
            name = std::string_view(arg).substr(0, eq);
            value = arg.substr(eq + 1);
        }
        const auto option = std::find_if(kOptions.begin(), kOptions.end(),
                                         [&](const OptionSpec& o) { return o.name == name; });
        if (option == kOptions.end())
            return refused("unknown option " + std::string(name));
        if (!value) {
            if (i + 1 == args.size())
                return refused(std::string(name) + " needs a value");
            value = args[++i];
        }
        if (value->empty())
            return refused(std::string(name) + " needs a value");
        auto& slot = values[static_cast<std::size_t>(option - kOptions.begin())];
        if (slot)
            return refused(std::string(name) + " given twice");
        slot = std::move(value);
    }

    if (positional.empty())
        return refused("no command");
    const auto command =
        std::find_if(kCommands.begin(), kCommands.end(),
                     [&](const CommandSpec& c) { return c.name == positional[0]; });
    if (command == kCommands.end())
        return refused("unknown command " + positional[0]);
    const std::string name(command->name);
    if (positional.size() - 1 != command->files)
        return refused(name + " takes " + std::to_string(command->files) + " file name" +
                       (command->files == 1 ? "" : "s"));

    CliRequest r;
    r.command = command->command;
    r.files.assign(positional.begin() + 1, positional.end());
    for (std::size_t k = 0; k < kOptions.size(); ++k) {
        auto& value = values[k];
        if (!value)
            continue;
        const OptionSpec& o = kOptions[k];
        if ((o.extra & command->extras) != o.extra ||
            (o.option == Option::Port && !command->needsPort))
            return refused(name + " takes no " + std::string(o.name));
        switch (o.option) {
        case Option::Port:
            r.port = std::move(value);
            break;
        case Option::Language:
            r.language = languageFromArgument(*value);
            if (!r.language)
                return refused("unknown language " + *value);
            break;
        case Option::Output:
            r.output = std::move(value);
            break;
        case Option::Frames:
            r.frames = positiveNumber(*value);
            if (!r.frames)
                return refused("--frames needs a whole number of at least 1");
            break;
        case Option::Csv:
            r.csv = std::move(value);
            break;
        }
    }
    if (command->needsPort && !r.port)
        return refused(name + " needs --port DEV");

    ParsedCommandLine p;
    p.request = std::move(r);
    return p;
}

std::string_view usageText() {
    return R"(Usage:
  zentrola-cli info    --port DEV
  zentrola-cli read    --port DEV [-o OUT.ign]
  zentrola-cli program IN.ign --port DEV
  zentrola-cli verify  IN.ign --port DEV
  zentrola-cli monitor --port DEV [--frames N] [--csv FILE]
  zentrola-cli convert IN.ign OUT.ign
  zentrola-cli diff    A.ign B.ign

Commands:
  info     Reads the unit's information page and prints, one a line: the unit program's
           name, its date, its time, the versions as "PC-92, IGN-n", and the unit's number
           of programmings from the next monitor frame. A unit that refuses reading still
           shows its page: exit 0. Another version: the lines, then exit 5.
  read     Reads the settings from the unit (ending in a verify). With -o they are saved
           to OUT.ign exactly as Save would; without it the 150 numbers of the parameter
           image are printed to stdout, ten a line.
  program  Opens IN.ign as Open does, programs it into the unit, verifies it, and waits
           until the unit reports that it has saved the settings.
  verify   Opens IN.ign as Open does and compares the unit's settings with it. On
           "Verify error!" it prints every setting that differs, as diff does
           (file -> unit): after a failure it also reads the part of the settings the
           verify did not compare (read requests only: nothing is programmed), so one
           difference does not hide another. A unit that falls silent on the way is not
           known: nothing is printed.
  monitor  Prints one line per monitor frame: the shown monitor labels joined by " | ".
           --frames N stops after N frames, otherwise Ctrl+C stops (exit 0). --csv FILE
           also writes the frames as numbers, the same file as the window's recording:
           a header of column names (time_s, rpm, advance_deg, base_advance, supply_v,
           ...), then one row per frame; time in seconds from the start, a decimal point
           in every language, advance_deg empty while the base advance is in force or
           there is no pick-up signal (man zentrola-cli lists every column).
  convert  Opens IN.ign and saves it as OUT.ign in this version's format, in a fresh
           program without a unit. An older file gives the older-version notice.
  diff     Opens A.ign and B.ign as Open does, each in a fresh program without a unit, and
           prints one line per setting that differs, "NAME: A -> B", named and shown as the
           window shows it (curve points by their row; points beyond a curve's number of
           points only when the other file uses them). Exit 0 when none differ, 1 when some
           do, 3 when a file cannot be read.

Options:
)"
#if defined(_WIN32)
           R"(  --port DEV   the serial port of the unit, for example COM5 (see the Device Manager)
)"
#else
           R"(  --port DEV   the serial device of the unit, for example /dev/ttyUSB0
)"
#endif
           R"(  --lang WORD  language of the messages and setting names: ENGLISH, DEUTSCH, FRANCE or
               CESKY
  --help       this text

Messages (status and message texts, as the window shows them) go to stderr, one a line;
results go to stdout. Unit commands wait at most 40 ticks (2.2 s) for a monitor frame
where they need one; without it they end with exit 4 and "No connection with PC".

Exit status:
  0 done   1 transfer failed (diff: settings differ)   2 usage   3 file error
  4 port error or no connection   5 version mismatch   6 unit refuses reading
  70 internal error (one line on stderr)
)";
}

} // namespace zentrola
