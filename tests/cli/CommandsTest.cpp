// zentrola-cli's commands against the virtual unit in the same process, ticked in a loop.
#include "cli/Cli.h"

#include "app/Recording.h"

#include "files/ParameterFile.h"
#include "files/TestFiles.h"
#include "link/NullSerialPort.h"
#include "support/Bench.h"
#include "support/Environment.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <stdexcept>

using namespace zentrola;
using namespace zentrola::testing;
using zentrola::test::dataDir;
using zentrola::test::readText;
using zentrola::test::ScratchDir;
using zentrola::test::writeText;

namespace {

// Ticks as fast as the loop turns; optionally plays the user's Ctrl+C, or a fault that
// throws, after some ticks.
struct LoopDriver : TickDriver {
    int ticks = 0;
    int interruptAt = -1;
    int throwAt = -1;
    bool run(const std::function<bool()>& tick) override {
        for (;;) {
            if (ticks == interruptAt)
                return false;
            if (ticks == throwAt)
                throw std::runtime_error("injected\nfault");
            ++ticks;
            if (!tick())
                return true;
        }
    }
};

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

bool contains(const std::string& text, std::string_view part) {
    return text.find(part) != std::string::npos;
}

// The .ign text without the line that names this build's date and time.
std::string withoutExeLine(const std::string& text) {
    std::string kept;
    for (const auto& line : linesOf(text))
        if (!line.starts_with("EXE "))
            kept += line + "\n";
    return kept;
}

struct Commands : ::testing::Test {
    UnitPeer peer;
    LoopbackPort port{peer};
    LoopDriver driver;
    ScratchDir dir;
    std::string out;
    std::string err;

    VirtualUnit& unit() { return peer.unit; }

    int run(std::vector<std::string> args) {
        std::ostringstream o, e;
        const int code = runCli(args, port, o, e, driver);
        out = o.str();
        err = e.str();
        return code;
    }
    int onUnit(std::vector<std::string> args) {
        args.insert(args.end(), {"--port", "virtual-unit"});
        return run(args);
    }
    std::string fixture(std::string_view name) { return (dataDir() / name).string(); }
    std::string scratch(std::string_view name) { return (dir / name).string(); }
};

} // namespace

TEST_F(Commands, ProgramVerifiesAndWaitsForTheUnitToSave) {
    unit().eeprom()[Offset::BaseAdvance] = 33;
    ASSERT_EQ(onUnit({"program", fixture("default_v92.ign")}), ExitCode::Done) << err;
    EXPECT_EQ(unit().eeprom()[Offset::BaseAdvance], 10);
    EXPECT_EQ(unit().programmings(), 1);
    EXPECT_EQ(unit().savingCountdown(), 0);
    EXPECT_EQ(linesOf(err),
              (std::vector<std::string>{"Programing:", "Verify:", "Verify: OK", "Programing: OK",
                                        "Saving:", "Programing: OK"}));
    EXPECT_EQ(out, "");
    EXPECT_FALSE(port.isOpen()); // closed on the way out

    // The same file now verifies; another one does not.
    ASSERT_EQ(onUnit({"verify", fixture("default_v92.ign")}), ExitCode::Done) << err;
    EXPECT_EQ(linesOf(err), (std::vector<std::string>{"Verify:", "Verify: OK"}));
    EXPECT_EQ(onUnit({"verify", fixture("older_v46.ign")}), ExitCode::TransferFailed);
    EXPECT_TRUE(contains(err, "Verify error!"));
}

TEST_F(Commands, TransferRefusalsHaveTheirOwnExitCodes) {
    unit().options().version = 91;
    EXPECT_EQ(onUnit({"program", fixture("default_v92.ign")}), ExitCode::VersionMismatch);
    EXPECT_TRUE(contains(err, "Unmatched version of PC and Ignition programs!  PC-92, IGN-91\n"));
    EXPECT_EQ(unit().programmings(), 0);
    EXPECT_EQ(onUnit({"read"}), ExitCode::VersionMismatch);

    unit().options().version = kVersion;
    unit().options().noReadPermission = true;
    EXPECT_EQ(onUnit({"read"}), ExitCode::NoReading);
    EXPECT_TRUE(contains(err, "No reading!"));
    EXPECT_EQ(out, "");
}

TEST_F(Commands, SilentUnitFailsEachTransferInTheChosenLanguage) {
    unit().options().silent = true;
    EXPECT_EQ(onUnit({"read"}), ExitCode::TransferFailed);
    EXPECT_EQ(linesOf(err), (std::vector<std::string>{"Read:", "Read error!"}));
    EXPECT_EQ(onUnit({"read", "--lang", "DEUTSCH"}), ExitCode::TransferFailed);
    EXPECT_EQ(linesOf(err), (std::vector<std::string>{"Lesen:", "Lesefehler"}));
    EXPECT_EQ(onUnit({"program", fixture("default_v92.ign"), "--lang", "FRANCE"}),
              ExitCode::TransferFailed);
    EXPECT_TRUE(contains(err, "Erreur de programmation!"));
    EXPECT_EQ(onUnit({"verify", fixture("default_v92.ign")}), ExitCode::TransferFailed);
    EXPECT_TRUE(contains(err, "Verify error!"));
    EXPECT_LT(driver.ticks, 4 * kTransferTicks); // each ended by the transfer's own time-out
}

TEST_F(Commands, ProgramFailingOnPage2SaysTheUnitIsNotKnown) {
    unit().options().corruptEchoPage = 2;
    EXPECT_EQ(onUnit({"program", fixture("default_v92.ign")}), ExitCode::TransferFailed);
    EXPECT_EQ(linesOf(err),
              (std::vector<std::string>{
                  "Programing:", "Program error!",
                  "The programming did not finish: the unit's settings are not known. Read the "
                  "unit, or program it again."}));
    EXPECT_EQ(unit().eeprom()[Offset::BaseAdvance], 10) << "page 1 went in";
    EXPECT_EQ(onUnit({"program", fixture("default_v92.ign"), "--lang", "CESKY"}),
              ExitCode::TransferFailed);
    EXPECT_TRUE(contains(err, "Programování nebylo dokončeno"));

    // A unit that refuses the version takes nothing: no such line.
    unit().options().corruptEchoPage = 0;
    unit().options().version = 91;
    EXPECT_EQ(onUnit({"program", fixture("default_v92.ign")}), ExitCode::VersionMismatch);
    EXPECT_FALSE(contains(err, "did not finish"));
}

TEST_F(Commands, CtrlCAbandonsATransfer) {
    driver.interruptAt = 3;
    EXPECT_EQ(onUnit({"program", fixture("default_v92.ign")}), ExitCode::TransferFailed);
    EXPECT_EQ(linesOf(err), (std::vector<std::string>{"Programing:", "Interrupted"}));
    EXPECT_EQ(unit().programmings(), 0);
    EXPECT_FALSE(port.isOpen());
}

TEST_F(Commands, ReadPrintsTheImageOrSavesWhatSaveWould) {
    unit().eeprom()[Offset::BaseAdvance] = 21;
    unit().eeprom()[Offset::LimiterA] = 120;
    unit().eeprom()[Offset::ReservedLow] = 99;
    ASSERT_EQ(onUnit({"read"}), ExitCode::Done) << err;
    const auto lines = linesOf(out);
    ASSERT_EQ(lines.size(), kSpanSize / 10);
    std::vector<int> numbers;
    for (const auto& line : lines) {
        std::istringstream in(line);
        for (int n; in >> n;)
            numbers.push_back(n);
    }
    ASSERT_EQ(numbers.size(), kSpanSize);
    for (std::size_t i = 0; i < kRecordSize; ++i)
        EXPECT_EQ(numbers[i], unit().eeprom()[i]) << i;
    EXPECT_EQ(linesOf(err).back(), "Verify: OK");

    const std::string saved = scratch("read.ign");
    ASSERT_EQ(onUnit({"read", "-o", saved}), ExitCode::Done) << err;
    EXPECT_EQ(out, "");
    ParameterImage back;
    ASSERT_EQ(readParameterFile(readText(saved), back), FileOutcome::Current);
    for (std::size_t i = 0; i < kRecordSize; ++i) {
        const bool keyed = i < Offset::ReservedLow || (i >= Offset::RpmA && i <= Offset::TestRpm);
        if (keyed) {
            EXPECT_EQ(back[i], unit().eeprom()[i]) << i;
        }
    }
    EXPECT_TRUE(contains(readText(saved), "\r\nHEX  "));

    // A folder that does not exist cannot take the file.
    EXPECT_EQ(onUnit({"read", "-o", scratch("no/such/folder/x.ign")}), ExitCode::FileError);
    EXPECT_TRUE(contains(err, "Open file error!"));
}

TEST_F(Commands, InfoShowsTheUnitsPageEvenWhenItRefusesReading) {
    unit().setProgrammings(7);
    ASSERT_EQ(onUnit({"info"}), ExitCode::Done) << err;
    auto lines = linesOf(out);
    ASSERT_EQ(lines.size(), 5u) << out;
    EXPECT_TRUE(lines[0].starts_with("ZEN")) << lines[0];
    EXPECT_EQ(lines[3], "PC-92, IGN-92");
    EXPECT_EQ(lines[4], "Number of Programing= 7");

    unit().options().noReadPermission = true;
    ASSERT_EQ(onUnit({"info", "--lang", "CESKY"}), ExitCode::Done) << err;
    lines = linesOf(out);
    ASSERT_EQ(lines.size(), 5u) << out;
    EXPECT_EQ(lines[4], "Počet programování= 7");
    EXPECT_TRUE(contains(err, "Zákaz čtení!"));

    unit().options().version = 91;
    EXPECT_EQ(onUnit({"info"}), ExitCode::VersionMismatch);
    lines = linesOf(out);
    ASSERT_EQ(lines.size(), 5u) << out;
    EXPECT_EQ(lines[3], "PC-92, IGN-91");
}

TEST_F(Commands, PortAndFileErrorsStopBeforeAnyTransfer) {
    EXPECT_EQ(run({"read", "--port", "/dev/no-such-port"}), ExitCode::PortError);
    EXPECT_EQ(err, "Com opening error!: No such file or directory\n");
    port.setUnplugged(true);
    EXPECT_EQ(onUnit({"info", "--lang", "DEUTSCH"}), ExitCode::PortError);
    EXPECT_EQ(err, "Falscher COM-Anschlußes!: No such file or directory\n");
    port.setUnplugged(false);

    EXPECT_EQ(onUnit({"program", scratch("missing.ign")}), ExitCode::FileError);
    EXPECT_EQ(err, "Open file error!\n");
    writeText(dir / "notes.ign", "just some notes\n");
    EXPECT_EQ(onUnit({"verify", scratch("notes.ign")}), ExitCode::FileError);
    EXPECT_EQ(err, "Unmatched version of *.ign file!\n");
    EXPECT_EQ(unit().received(VirtualUnit::RequestKind::Program), 0u);
    EXPECT_EQ(unit().received(VirtualUnit::RequestKind::Read), 0u);

    // An older file is programmed after its notice.
    EXPECT_EQ(onUnit({"program", fixture("older_v19.ign")}), ExitCode::Done) << err;
    EXPECT_TRUE(linesOf(err).front().starts_with("Older version of *.ign file! Some parameters"));
}

TEST_F(Commands, MonitorPrintsLinesAndWritesCsv) {
    const std::string csv = scratch("monitor.csv");
    ASSERT_EQ(onUnit({"monitor", "--frames", "3", "--csv", csv}), ExitCode::Done) << err;
    const auto lines = linesOf(out);
    ASSERT_EQ(lines.size(), 3u);
    for (const auto& line : lines) {
        EXPECT_TRUE(line.starts_with("RPM = ")) << line;
        EXPECT_TRUE(contains(line, " | U = ")) << line;
        EXPECT_TRUE(contains(line, " | Number of Programing= ")) << line;
        EXPECT_FALSE(contains(line, "Test1")) << line; // test mode is off
    }
    // The window's recording columns, numbers, a monitor period apart.
    const std::string text = readText(csv);
    EXPECT_TRUE(text.starts_with(recordingCsvHeader()));
    const Recording rec = readRecording(text);
    ASSERT_FALSE(rec.problem) << static_cast<int>(rec.problem->fault);
    ASSERT_EQ(rec.rows, 3u);
    for (std::size_t ch = 0; ch < kChannelCount; ++ch)
        EXPECT_EQ(rec.columns[ch].size(), 3u) << kChannelNames[ch];
    EXPECT_NEAR(rec[Channel::Time][1] - rec[Channel::Time][0], 0.33, 1e-9);
    EXPECT_NEAR(rec[Channel::Time][2] - rec[Channel::Time][1], 0.33, 1e-9);
    EXPECT_EQ(rec[Channel::Version], (std::vector<double>{92, 92, 92}));
    // The line and the row tell of the same frame.
    const auto lastLine = lines.back();
    const auto rpm = std::to_string(static_cast<int>(rec[Channel::Rpm][2]));
    EXPECT_TRUE(lastLine.starts_with("RPM = " + rpm + " ")) << lastLine << " / " << rpm;
}

TEST_F(Commands, EndlessMonitorEndsCleanlyOnCtrlC) {
    const std::string csv = scratch("endless.csv");
    driver.interruptAt = 100;
    ASSERT_EQ(onUnit({"monitor", "--csv", csv, "--lang", "DEUTSCH"}), ExitCode::Done) << err;
    const auto lines = linesOf(out);
    EXPECT_GE(lines.size(), 10u);
    EXPECT_TRUE(contains(lines[0], "Vorzündung")) << lines[0];
    EXPECT_EQ(linesOf(readText(csv)).size(), lines.size() + 1);
    EXPECT_FALSE(port.isOpen());
}

TEST_F(Commands, MonitorWithoutAnAnsweringUnitIsAConnectionError) {
    unit().options().silent = true;
    const std::string csv = scratch("silent.csv");
    EXPECT_EQ(onUnit({"monitor", "--csv", csv}), ExitCode::PortError);
    EXPECT_EQ(err, "No connection with PC\n");
    EXPECT_EQ(out, "");
    EXPECT_EQ(linesOf(readText(csv)).size(), 1u); // the header
    EXPECT_LE(driver.ticks, kNoFrameTicks);

    EXPECT_EQ(onUnit({"monitor", "--csv", scratch("no/folder/m.csv")}), ExitCode::FileError);
    EXPECT_TRUE(contains(err, "Open file error!"));
}

TEST_F(Commands, ConvertIsOpenAndSaveInAFreshProgram) {
    const std::string current = scratch("current.ign");
    ASSERT_EQ(run({"convert", fixture("default_v92.ign"), current}), ExitCode::Done) << err;
    EXPECT_EQ(err, "");
    const auto withoutHex = [](const std::string& text) {
        std::string kept;
        for (const auto& line : linesOf(withoutExeLine(text)))
            if (!line.starts_with("HEX "))
                kept += line + "\n";
        return kept;
    };
    EXPECT_EQ(withoutHex(readText(current)), withoutHex(readText(dataDir() / "default_v92.ign")));
    EXPECT_TRUE(contains(readText(current), std::string("EXE  ") + std::string(buildDate())));
    // No unit has sent its information page: the HEX line names none.
    EXPECT_TRUE(contains(readText(current), "\r\nHEX       \r\n"));
    EXPECT_EQ(port.opens(), 0u);

    for (const char* older : {"older_v46.ign", "older_v19.ign"}) {
        const std::string converted = scratch(std::string(older) + ".out");
        ASSERT_EQ(run({"convert", fixture(older), converted}), ExitCode::Done) << older;
        EXPECT_EQ(linesOf(err).size(), 1u) << err;
        EXPECT_TRUE(err.starts_with("Older version of *.ign file! ")) << err;
        // What the window's Open then Save would write.
        NullSerialPort none;
        RecordingView view;
        Configurator window(none, view);
        window.start({});
        window.openFile(fixture(older));
        const std::string expected = scratch(std::string(older) + ".expected");
        ASSERT_EQ(window.saveFile(expected), FileResult::Done);
        EXPECT_EQ(readText(converted), readText(expected)) << older;
    }

    EXPECT_EQ(run({"convert", scratch("missing.ign"), scratch("x.ign")}), ExitCode::FileError);
    EXPECT_EQ(err, "Open file error!\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "x.ign"));
    EXPECT_EQ(run({"convert", fixture("default_v92.ign"), scratch("no/folder/x.ign"), "--lang",
                   "DEUTSCH"}),
              ExitCode::FileError);
    EXPECT_EQ(err, "Fehler beim öffnen der Datei!\n");
}

TEST_F(Commands, FilesThatCannotBeReadAreFileErrors) {
    std::filesystem::create_directory(dir / "folder.ign");
    std::vector<std::string> unreadable{scratch("folder.ign")};
    if (std::filesystem::exists("/proc/self/mem"))
        unreadable.emplace_back("/proc/self/mem");
    for (const std::string& path : unreadable) {
        EXPECT_EQ(run({"convert", path, scratch("out.ign")}), ExitCode::FileError) << path;
        EXPECT_EQ(err, "Open file error!\n");
        for (const char* command : {"program", "verify"}) {
            EXPECT_EQ(onUnit({command, path}), ExitCode::FileError) << command << path;
            EXPECT_EQ(err, "Open file error!\n");
        }
    }
    EXPECT_EQ(unit().received(VirtualUnit::RequestKind::Program), 0u);
    EXPECT_EQ(dir.entries(), 1u); // nothing written
}

TEST_F(Commands, AnExceptionThatReachesTheTopIsOneLineAndStatus70) {
    driver.throwAt = 2;
    EXPECT_EQ(onUnit({"read"}), ExitCode::Unexpected);
    EXPECT_EQ(linesOf(err), (std::vector<std::string>{"Read:", "zentrola-cli: injected fault"}));
}

TEST_F(Commands, NeverTouchesTheWindowsSettings) {
    ScratchDir config;
    {
        ScopedEnv dir("ZENTROLA_CONFIG_DIR", config.path().string().c_str());
        EXPECT_EQ(onUnit({"program", fixture("default_v92.ign")}), ExitCode::Done);
        EXPECT_EQ(onUnit({"read"}), ExitCode::Done);
        EXPECT_EQ(run({"convert", fixture("older_v46.ign"), scratch("c.ign")}), ExitCode::Done);
    }
    EXPECT_EQ(config.entries(), 0u);
}

namespace {

// The default file with pieces of its text replaced, saved in the scratch folder.
std::string variant(const ScratchDir& dir, std::string_view name,
                    std::vector<std::pair<std::string_view, std::string_view>> replacements) {
    std::string text = readText(dataDir() / "default_v92.ign");
    for (const auto& [from, to] : replacements) {
        const auto at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        text.replace(at, from.size(), to);
    }
    writeText(dir / name, text);
    return (dir / name).string();
}

} // namespace

TEST_F(Commands, DiffPrintsTheDifferingSettingsAsTheWindowNamesThem) {
    const std::string base = fixture("default_v92.ign");
    const std::string changed =
        variant(dir, "changed.ign",
                {{"ADVANCE_A      10    10", "ADVANCE_A      10    11"},
                 {"LIMITER     10000 15000 10000 15000", "LIMITER     10000 15000 10000 11500"}});

    ASSERT_EQ(run({"diff", base, changed}), ExitCode::SettingsDiffer) << err;
    EXPECT_EQ(out, "Curve A, point 2, advance [°]: 10 -> 11\n"
                   "Limiter [rpm], curve B: 15,000 -> 11,500\n");
    EXPECT_EQ(err, "");
    ASSERT_EQ(run({"diff", changed, base, "--lang", "DEUTSCH"}), ExitCode::SettingsDiffer);
    EXPECT_EQ(out, "Kurve A, Stützpunkt 2, Vorzündung [°]: 11 -> 10\n"
                   "Begrenzer [rpm], Kurve B: 11,500 -> 15,000\n");
    EXPECT_EQ(port.opens(), 0u);

    // The same settings written another way are no difference.
    const std::string converted = scratch("converted.ign");
    ASSERT_EQ(run({"convert", base, converted}), ExitCode::Done);
    EXPECT_EQ(run({"diff", base, converted}), ExitCode::Done);
    EXPECT_EQ(out, "");

    // Each file in a fresh program: an older file's notice goes to stderr only.
    EXPECT_EQ(run({"diff", fixture("older_v46.ign"), fixture("older_v46.ign")}), ExitCode::Done);
    EXPECT_EQ(out, "");
    EXPECT_EQ(linesOf(err).size(), 2u);
}

TEST_F(Commands, DiffOfAFileThatCannotBeReadIsAFileError) {
    EXPECT_EQ(run({"diff", fixture("default_v92.ign"), scratch("missing.ign")}),
              ExitCode::FileError);
    EXPECT_EQ(err, "Open file error!\n");
    EXPECT_EQ(out, "");
    writeText(dir / "notes.ign", "just some notes\n");
    EXPECT_EQ(run({"diff", scratch("notes.ign"), fixture("default_v92.ign")}), ExitCode::FileError);
    EXPECT_EQ(err, "Unmatched version of *.ign file!\n");
    EXPECT_EQ(out, "");
}

TEST_F(Commands, FailedVerifyNamesWhatTheUnitHoldsDifferently) {
    // Page 1 differs: page 2 is read after the failure, and agrees.
    ASSERT_EQ(onUnit({"program", fixture("default_v92.ign")}), ExitCode::Done) << err;
    unit().eeprom()[Offset::LimiterB] = 115;
    EXPECT_EQ(onUnit({"verify", fixture("default_v92.ign")}), ExitCode::TransferFailed);
    EXPECT_EQ(linesOf(err).back(), "Verify error!");
    EXPECT_EQ(out, "Limiter [rpm], curve B: 15,000 -> 11,500\n");

    // Both pages differ: the verify stops at page 1, and page 2's difference is named too,
    // with the unit only read.
    unit().eeprom()[Offset::AdvanceA + 1] = 11;
    const std::size_t programmed = unit().received(VirtualUnit::RequestKind::Program);
    EXPECT_EQ(onUnit({"verify", fixture("default_v92.ign")}), ExitCode::TransferFailed);
    EXPECT_EQ(linesOf(err).back(), "Verify error!");
    EXPECT_EQ(out, "Curve A, point 2, advance [°]: 10 -> 11\n"
                   "Limiter [rpm], curve B: 15,000 -> 11,500\n");
    EXPECT_EQ(unit().received(VirtualUnit::RequestKind::Program), programmed);
    EXPECT_EQ(unit().eeprom()[Offset::AdvanceA + 1], 11);

    // Page 1 passes, page 2 differs.
    unit().eeprom()[Offset::LimiterB] = 150;
    unit().eeprom()[Offset::AdvanceA + 1] = 11;
    EXPECT_EQ(onUnit({"verify", fixture("default_v92.ign"), "--lang", "CESKY"}),
              ExitCode::TransferFailed);
    EXPECT_EQ(linesOf(err).back(), "Chyba verifikace!");
    EXPECT_EQ(out, "Křivka A, bod 2, předstih [°]: 10 -> 11\n");

    // A unit that does not answer sent nothing to compare.
    unit().options().silent = true;
    EXPECT_EQ(onUnit({"verify", fixture("default_v92.ign")}), ExitCode::TransferFailed);
    EXPECT_EQ(out, "");
}
