// The command line's grammar and the text helpers of the command line front end.
#include "cli/CommandLine.h"
#include "app/MonitorLines.h"
#include "cli/Cli.h"
#include "cli/CliView.h"
#include "link/NullSerialPort.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace zentrola;

namespace {

struct NoTicks : TickDriver {
    int runs = 0;
    double seconds() const override { return 0; }
    bool run(const std::function<bool()>&) override {
        ++runs;
        return true;
    }
};

ParsedCommandLine parse(std::vector<std::string> args) {
    return parseCommandLine(args);
}

} // namespace

TEST(CommandLine, EachCommandWithItsArguments) {
    auto p = parse({"read", "--port", "/dev/ttyUSB0", "-o", "out.ign", "--lang", "DEUTSCH"});
    ASSERT_TRUE(p.request) << p.error;
    EXPECT_EQ(p.request->command, CliCommand::Read);
    EXPECT_EQ(p.request->port, "/dev/ttyUSB0");
    EXPECT_EQ(p.request->output, "out.ign");
    EXPECT_EQ(p.request->language, 1);

    // Options may come first and in the --name=value form.
    p = parse({"--port=/dev/pts/3", "monitor", "--frames", "3", "--csv", "m.csv"});
    ASSERT_TRUE(p.request) << p.error;
    EXPECT_EQ(p.request->command, CliCommand::Monitor);
    EXPECT_EQ(p.request->port, "/dev/pts/3");
    EXPECT_EQ(p.request->frames, 3);
    EXPECT_EQ(p.request->csv, "m.csv");

    p = parse({"program", "in.ign", "--port", "p"});
    ASSERT_TRUE(p.request);
    EXPECT_EQ(p.request->files, std::vector<std::string>{"in.ign"});

    p = parse({"convert", "a.ign", "b.ign", "--lang", "CESKY"});
    ASSERT_TRUE(p.request);
    EXPECT_EQ(p.request->files, (std::vector<std::string>{"a.ign", "b.ign"}));
    EXPECT_FALSE(p.request->port);
    EXPECT_EQ(p.request->language, 3);

    EXPECT_TRUE(parse({"info", "--port", "p"}).request);
    EXPECT_TRUE(parse({"verify", "x.ign", "--port", "p"}).request);
    p = parse({"diff", "a.ign", "b.ign", "--lang", "FRANCE"});
    ASSERT_TRUE(p.request) << p.error;
    EXPECT_EQ(p.request->command, CliCommand::Diff);
    EXPECT_EQ(p.request->files, (std::vector<std::string>{"a.ign", "b.ign"}));
}

TEST(CommandLine, RefusesWhatItDoesNotKnowOrMisses) {
    const std::vector<std::vector<std::string>> refused{
        {},
        {"erase", "--port", "p"},
        {"info"},                                  // no port
        {"info", "--port"},                        // no value
        {"info", "--port", ""},                    // empty value
        {"info", "--port", "p", "--port", "q"},    // twice
        {"info", "--port", "p", "--baud", "9600"}, // unknown option
        {"info", "--port", "p", "extra.ign"},
        {"program", "--port", "p"},          // no file
        {"verify", "a", "b", "--port", "p"}, // two files
        {"convert", "a.ign"},
        {"convert", "a.ign", "b.ign", "--port", "p"},
        {"diff", "a.ign"},
        {"diff", "a.ign", "b.ign", "--port", "p"},
        {"read", "--port", "p", "--frames", "3"}, // not for read
        {"info", "--port", "p", "-o", "x.ign"},
        {"monitor", "--port", "p", "--frames", "0"},
        {"monitor", "--port", "p", "--frames", "3x"},
        {"monitor", "--port", "p", "--frames", "-1"},
        {"info", "--port", "p", "--lang", "deutsch"}, // keywords are exact
        {"info", "--port", "p", "--lang", "GERMAN"},
    };
    for (const auto& args : refused) {
        const auto p = parse(args);
        std::string line;
        for (const auto& a : args)
            line += a + " ";
        EXPECT_FALSE(p.request) << line;
        EXPECT_FALSE(p.help) << line;
        EXPECT_FALSE(p.error.empty()) << line;
    }
}

TEST(CommandLine, UsageErrorsAndHelpTouchNoPort) {
    NullSerialPort port;
    NoTicks ticks;
    std::ostringstream out, err;
    EXPECT_EQ(runCli({"info", "--port", "p", "--lang", "deutsch"}, port, out, err, ticks),
              ExitCode::Usage);
    EXPECT_EQ(out.str(), "");
    EXPECT_NE(err.str().find("unknown language deutsch"), std::string::npos);
    EXPECT_NE(err.str().find("Usage:"), std::string::npos);

    out.str("");
    err.str("");
    // --help wins over a line that is otherwise wrong.
    EXPECT_EQ(runCli({"read", "--help", "--bogus"}, port, out, err, ticks), ExitCode::Done);
    EXPECT_EQ(out.str(), usageText());
    EXPECT_EQ(err.str(), "");
    EXPECT_EQ(ticks.runs, 0);
}

TEST(CliView, StatusOncePerChangeMessagesOnOneLine) {
    std::ostringstream err;
    CliView view(err);
    StatusLine s;
    s.text = "Read:";
    view.statusPosted(s);
    view.statusPosted(s); // colour change only: the label reads the same
    s.text = "Read error!";
    view.statusPosted(s);
    view.showMessage("Com opening error!", "Permission denied");
    view.showMessage("Older version of *.ign file!\n\nSome parameters.\nThey are.", "");
    EXPECT_EQ(err.str(), "Read:\n"
                         "Read error!\n"
                         "Com opening error!: Permission denied\n"
                         "Older version of *.ign file! Some parameters. They are.\n");
}

TEST(MonitorLines, ShownLabelsOnly) {
    MonitorDisplay d;
    for (auto& label : d.labels)
        label.visible = false;
    d[MonLabel::Rpm] = {{true, true, Colour::Face}, "RPM = 1200 "};
    d[MonLabel::Voltage] = {{true, true, Colour::Face}, "U = 13.8 [V]"};
    d[MonLabel::Curve] = {{true, true, Colour::Face}, "Kurve - A"};
    d[MonLabel::Version] = {{false, true, Colour::Face}, "hidden"};
    EXPECT_EQ(monitorLine(d), "RPM = 1200 | U = 13.8 [V] | Kurve - A");
}
