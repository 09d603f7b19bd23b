// zentrola-soak: the Configurator against the virtual unit through the loopback port for a
// million ticks, with the unit's faults switched on and off at random (dropped frames, bad
// check bytes, a changed echo byte, silence, refused reads, the cable pulled and put back)
// and random commands between the ticks (Read, Verify, Program, edits, Undo, Redo, the
// language, program after change, the engine and inputs of the unit).
//
// After every tick it checks: every transfer ends within its bound of ticks; "Programing: OK"
// appears only after a programming whose verify passed, and then the unit holds exactly the
// image (the no-reading byte and a duty of 0 for full duty excused, as the verify excuses
// them); a Read that fails leaves the image as it was; the rules hold for the image. At the
// end the heap in use must be where it was after the warm-up. The report goes to stdout; the
// exit status is 1 when any check was violated.
//
//   zentrola-soak [--ticks N] [--seed S]

#include "support/Guarantees.h"

#include "app/Configurator.h"
#include "link/LoopbackPort.h"
#include "sim/VirtualUnit.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <optional>
#include <random>
#include <string>

#if defined(__GLIBC__)
#include <malloc.h>
#endif
#include <unistd.h>

using namespace zentrola;
using namespace zentrola::testing;

namespace {

constexpr long kDefaultTicks = 1'000'000;
constexpr unsigned kDefaultSeed = 1;
constexpr int kWarmUpTicks = 2000;
constexpr int kActionEvery = 120;    // ticks between actions, on average
constexpr int kFaultEvery = 250;     // ticks between faults switched on, on average
constexpr int kFaultAtPageEvery = 8; // pages of a transfer between faults, on average
constexpr std::uint8_t kNoPage = 0xFF;
constexpr int kShortestFault = 10; // ticks a fault stays on
constexpr int kLongestFault = 600;
constexpr int kLongestDropCycle = 7;      // dropEveryNth from 2 to this
constexpr std::size_t kMostReported = 10; // violations printed one by one
// The heap may hold a few more or fewer strings at the end than after the warm-up.
constexpr long kHeapSlack = 64 * 1024;

struct UnitPeer : LoopbackPeer {
    VirtualUnit unit;
    void receive(std::span<const std::uint8_t> bytes) override { unit.receive(bytes); }
    std::vector<std::uint8_t> takeOutput() override { return unit.takeOutput(); }
    void tick() override { unit.tick(); }
};

// Counts instead of showing: a million ticks must not pile up messages.
struct CountingView : View {
    long messages = 0;
    void showMessage(const std::string&, const std::string&) override { ++messages; }
    Answer ask(const std::string&) override { return Answer::Yes; }
};

enum class Fault : std::uint8_t { Drop, Check, Echo, Silence, Unplug, NoRead, Count };
constexpr std::array<const char*, static_cast<std::size_t>(Fault::Count)> kFaultNames{
    "dropped frames", "bad check bytes", "changed echo byte",
    "silence",        "unplugged",       "reading refused"};

enum class Action : std::uint8_t {
    Read,
    Verify,
    Program,
    Edit,
    Choice,
    Curve,
    Undo,
    Redo,
    Language,
    ProgramAfterChange,
    Test,
    Engine,
    UnitSettings,
    Count
};
constexpr std::array<const char*, static_cast<std::size_t>(Action::Count)> kActionNames{
    "Read",
    "Verify",
    "Program",
    "spinner edits",
    "choice edits",
    "curve selections",
    "Undo",
    "Redo",
    "language changes",
    "program after change toggled",
    "test buttons",
    "engine and inputs changed",
    "unit settings changed by another tool"};
// How often each action comes, relative to the others.
constexpr std::array<int, static_cast<std::size_t>(Action::Count)> kActionWeights{
    6, 4, 6, 8, 2, 2, 3, 2, 2, 1, 1, 2, 3};

struct Memory {
    long heap = 0;     // bytes in use by malloc
    long resident = 0; // KiB
};

Memory memoryNow() {
    Memory m;
#if defined(__GLIBC__)
    m.heap = static_cast<long>(mallinfo2().uordblks);
#endif
    std::ifstream statm("/proc/self/statm");
    long size = 0;
    long pages = 0;
    if (statm >> size >> pages)
        m.resident = pages * (::sysconf(_SC_PAGESIZE) / 1024);
    return m;
}

class Soak {
  public:
    explicit Soak(unsigned seed) : random_(seed) {
        c_.start({});
        peer_.unit.options().dropEveryNth = 0;
    }

    void run(long ticks) {
        for (int i = 0; i < kWarmUpTicks; ++i)
            tick();
        warmedUp_ = memoryNow();
        const auto begin = std::chrono::steady_clock::now();
        for (long i = 0; i < ticks; ++i) {
            // Faults come at any time, and often just as a transfer moves to its next page.
            const Transfer& t = c_.transfer();
            const bool nextPage = !t.idle() && t.pageIndexByte() != lastPage_;
            lastPage_ = t.idle() ? kNoPage : t.pageIndexByte();
            if (chance(kFaultEvery) || (nextPage && chance(kFaultAtPageEvery)))
                switchFaultOn();
            switchFaultsOff();
            if (chance(kActionEvery))
                act();
            tick();
        }
        // Whatever still runs ends with the faults gone.
        for (Fault f : allFaults())
            setFault(f, false);
        for (int i = 0; i <= transferBound(TransferMode::Program) && running_; ++i)
            tick();
        seconds_ = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
        end_ = memoryNow();
        if (end_.heap - warmedUp_.heap > kHeapSlack)
            violation("the heap grew from " + std::to_string(warmedUp_.heap) + " to " +
                      std::to_string(end_.heap) + " bytes");
        ticks_ = ticks;
    }

    int report(unsigned seed) const {
        std::printf("zentrola-soak: %ld ticks after %d of warm-up, seed %u, %.1f s\n\n", ticks_,
                    kWarmUpTicks, seed, seconds_);
        std::printf("Faults switched on:\n");
        for (std::size_t f = 0; f < kFaultNames.size(); ++f)
            std::printf("  %-40s %8ld\n", kFaultNames[f], faultsOn_[f]);
        std::printf("Actions:\n");
        for (std::size_t a = 0; a < kActionNames.size(); ++a)
            std::printf("  %-40s %8ld\n", kActionNames[a], actions_[a]);
        std::printf("Transfers:\n");
        std::printf("  %-40s %8ld\n", "started", started_);
        std::printf("  %-40s %8ld\n", "cut short by a later command", restarted_);
        for (const auto& [outcome, n] : outcomes_)
            std::printf("  %-40s %8ld\n", outcome.c_str(), n);
        std::printf("Longest transfer, in ticks (bound):\n");
        for (TransferMode m : {TransferMode::Program, TransferMode::Read, TransferMode::Verify})
            std::printf("  %-40s %8d (%d)\n", modeName(m), longest_[static_cast<int>(m)],
                        transferBound(m));
        std::printf("Memory after the warm-up and at the end:\n");
        std::printf("  %-40s %8ld %8ld\n", "heap in use, bytes", warmedUp_.heap, end_.heap);
        std::printf("  %-40s %8ld %8ld\n", "resident, KiB", warmedUp_.resident, end_.resident);
        std::printf("Checks:\n");
        std::printf("  %-40s %8ld\n", "ticks checked", checkedTicks_);
        std::printf("  %-40s %8ld\n", "\"Programing: OK\" checked against the unit", okChecks_);
        std::printf("  %-40s %8ld\n", "\"Verify: OK\" checked against the unit", verifyChecks_);
        std::printf("  %-40s %8ld\n", "failed Reads checked against the image", readChecks_);
        std::printf("  %-40s %8ld\n", "  of them after page 1 of other settings",
                    readChecksAfterPage1_);
        std::printf("  %-40s %8ld\n", "message boxes", view_.messages);
        std::printf("  %-40s %8ld\n", "violated", violations_);
        return violations_ == 0 ? 0 : 1;
    }

  private:
    static constexpr std::array<Fault, static_cast<std::size_t>(Fault::Count)> allFaults() {
        return {Fault::Drop,    Fault::Check,  Fault::Echo,
                Fault::Silence, Fault::Unplug, Fault::NoRead};
    }

    static const char* modeName(TransferMode m) {
        switch (m) {
        case TransferMode::Program:
            return "Program (with its verify)";
        case TransferMode::Read:
            return "Read (with its verify)";
        case TransferMode::Verify:
            return "Verify";
        case TransferMode::Idle:
            break;
        }
        return "idle";
    }

    bool chance(int every) { return std::uniform_int_distribution<int>(1, every)(random_) == 1; }
    int between(int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random_);
    }

    void setFault(Fault f, bool on) {
        VirtualUnit::Options& o = peer_.unit.options();
        switch (f) {
        case Fault::Drop:
            o.dropEveryNth = on ? between(2, kLongestDropCycle) : 0;
            break;
        case Fault::Check:
            o.corruptCheck = on;
            break;
        case Fault::Echo:
            o.corruptEcho = on;
            break;
        case Fault::Silence:
            o.silent = on;
            break;
        case Fault::Unplug:
            port_.setUnplugged(on);
            break;
        case Fault::NoRead:
            o.noReadPermission = on;
            break;
        case Fault::Count:
            break;
        }
        faultEnds_[static_cast<std::size_t>(f)] =
            on ? now_ + between(kShortestFault, kLongestFault) : 0;
    }

    void switchFaultOn() {
        const auto f = static_cast<Fault>(between(0, static_cast<int>(Fault::Count) - 1));
        if (faultEnds_[static_cast<std::size_t>(f)] != 0)
            return;
        ++faultsOn_[static_cast<std::size_t>(f)];
        setFault(f, true);
    }

    void switchFaultsOff() {
        for (Fault f : allFaults())
            if (faultEnds_[static_cast<std::size_t>(f)] != 0 &&
                faultEnds_[static_cast<std::size_t>(f)] <= now_)
                setFault(f, false);
    }

    Action pickAction() {
        std::discrete_distribution<int> pick(kActionWeights.begin(), kActionWeights.end());
        return static_cast<Action>(pick(random_));
    }

    void act() {
        const Action a = pickAction();
        ++actions_[static_cast<std::size_t>(a)];
        const ParameterImage before = c_.image();
        switch (a) {
        case Action::Read:
            c_.read();
            readSnapshot_ = c_.image();
            readSnapshotValid_ = true;
            unitDifferedAtRead_ = !std::equal(peer_.unit.eeprom().begin(),
                                              peer_.unit.eeprom().end(), c_.image().span().begin());
            break;
        case Action::Verify:
            c_.verify();
            break;
        case Action::Program:
            c_.program();
            break;
        case Action::Edit: {
            const auto id = static_cast<std::size_t>(between(0, Spin::Count - 1));
            const SpinnerSpec& spec = spinnerTable()[id];
            c_.form().setSpinner(id, between(spec.min, spec.max));
            c_.controlEdited();
            break;
        }
        case Action::Choice: {
            static constexpr std::array<std::size_t, 3> offsets{Offset::Polarity, Offset::Input1,
                                                                Offset::Input2};
            c_.choiceMade(offsets[static_cast<std::size_t>(between(0, 2))],
                          between(0, kInputItems - 1));
            break;
        }
        case Action::Curve:
            c_.curveSelected(between(0, kCurveSelectItems - 1));
            break;
        case Action::Undo:
            c_.undo();
            break;
        case Action::Redo:
            c_.redo();
            break;
        case Action::Language:
            c_.setLanguage(between(0, kLanguageCount - 1));
            break;
        case Action::ProgramAfterChange:
            c_.programAfterChange = !c_.programAfterChange;
            c_.checkBoxReleased();
            break;
        case Action::Test:
            c_.testIgnition();
            c_.testRpm();
            break;
        case Action::Engine:
            peer_.unit.setEngineRunning(between(0, 3) != 0);
            peer_.unit.setInputs(chance(3), chance(3));
            break;
        case Action::UnitSettings:
            // Another tool has the unit only while this program is not talking to it.
            if (!c_.transfer().idle())
                break;
            peer_.unit.eeprom()[static_cast<std::size_t>(between(0, kRecordSize - 1))] =
                static_cast<std::uint8_t>(between(0, 255));
            programmed_.reset(); // the unit no longer holds what was programmed
            break;
        case Action::Count:
            break;
        }
        // An edit while a transfer runs: the image was meant to change, after it left.
        if (a != Action::Read && c_.image() != before) {
            readSnapshotValid_ = false;
            if (running_)
                editedDuringTransfer_ = true;
        }
        noteStart();
    }

    // A command, or an edit with program after change, (re)starts a transfer from its first
    // page: nothing has been sent for it yet.
    void noteStart() {
        const Transfer& t = c_.transfer();
        if (t.idle() || t.attempts() != 0)
            return;
        const bool fresh = t.mode() == TransferMode::Verify
                               ? t.pageIndexByte() == (Lead::ReadFlag | 1)
                               : (t.pageIndexByte() & Lead::PageMask) == 0;
        if (!fresh)
            return;
        if (running_)
            ++restarted_;
        ++started_;
        running_ = true;
        editedDuringTransfer_ = false;
        startMode_ = t.mode();
        transferTicks_ = 0;
        if (startMode_ != TransferMode::Read)
            readSnapshotValid_ = false;
    }

    void tick() {
        const TransferMode before = c_.transfer().mode();
        ++now_;
        c_.tick();
        if (now_ <= kWarmUpTicks) {
            running_ = !c_.transfer().idle() && running_;
            return;
        }
        ++checkedTicks_;
        if (running_) {
            ++transferTicks_;
            if (c_.transfer().idle()) {
                ended(before);
            } else if (transferTicks_ >= transferBound(startMode_)) {
                violation(std::string(modeName(startMode_)) + " still running after " +
                          std::to_string(transferTicks_) + " ticks");
                running_ = false;
            }
        }
        if (const auto broken = brokenRule(c_.image()))
            violation(*broken);
        checkProgrammingOk();
    }

    void ended(TransferMode lastMode) {
        running_ = false;
        int& longest = longest_[static_cast<int>(startMode_)];
        longest = std::max(longest, transferTicks_);
        const TransferResult r = c_.lastResult();
        std::string outcome;
        switch (r) {
        case TransferResult::ProgramOk:
            outcome = "Programing: OK";
            break;
        case TransferResult::VerifyOk:
            outcome = startMode_ == TransferMode::Read ? "Read, then Verify: OK" : "Verify: OK";
            break;
        case TransferResult::Failed:
            outcome = lastMode == TransferMode::Program  ? "Program error!"
                      : lastMode == TransferMode::Verify ? "Verify error!"
                                                         : "Read error!";
            if (startMode_ != lastMode)
                outcome += startMode_ == TransferMode::Program ? " (verify after Program)"
                                                               : " (verify after Read)";
            break;
        case TransferResult::VersionMismatch:
            outcome = "version mismatch";
            break;
        case TransferResult::NoReading:
            outcome = "No reading!";
            break;
        case TransferResult::None:
            outcome = "ended without a result";
            violation("a transfer ended without a result");
            break;
        }
        ++outcomes_[outcome];
        // A Read that ended before its verify: the image is as it was at the command.
        if (lastMode == TransferMode::Read && readSnapshotValid_) {
            ++readChecks_;
            // Page 1 had come and the unit's differed: taking it would have shown.
            if (c_.transfer().pageIndexByte() == (Lead::ReadFlag | 2) && unitDifferedAtRead_)
                ++readChecksAfterPage1_;
            for (std::size_t i = 0; i < kSpanSize; ++i)
                if (c_.image()[i] != readSnapshot_[i]) {
                    violation("a failed Read changed byte " + std::to_string(i) + " from " +
                              std::to_string(readSnapshot_[i]) + " to " +
                              std::to_string(c_.image()[i]));
                    break;
                }
        }
        readSnapshotValid_ = false;
        // A verify that passed: the unit's pages are what a verify may pass.
        if (r == TransferResult::VerifyOk && !editedDuringTransfer_) {
            ++verifyChecks_;
            const auto& eeprom = peer_.unit.eeprom();
            for (int page : {1, 2})
                if (!verifyMayPass(std::span<const std::uint8_t>(eeprom).subspan(
                                       kPageSize * static_cast<std::size_t>(page - 1), kPageSize),
                                   page, c_.image()))
                    violation("\"Verify: OK\" but page " + std::to_string(page) +
                              " of the unit differs");
        }
        // The unit must hold the image, unless the user changed it after it was sent.
        if (r == TransferResult::ProgramOk && !editedDuringTransfer_)
            programmed_ = c_.image();
        else
            programmed_.reset();
    }

    // "Programing: OK" when it appears: the last transfer was a programming that passed its
    // verify, and the unit holds the image, as long as the image is still what was programmed.
    void checkProgrammingOk() {
        const bool shown = c_.status().text == c_.texts().TextProgramming + ": OK";
        const bool appeared = shown && !okShown_;
        okShown_ = shown;
        if (!appeared)
            return;
        ++okChecks_;
        if (c_.lastResult() != TransferResult::ProgramOk) {
            violation("\"Programing: OK\" after a transfer that did not pass");
            return;
        }
        if (!programmed_ || c_.image() != *programmed_)
            return;
        const auto& eeprom = peer_.unit.eeprom();
        if (const auto differs = unitDiffers(eeprom, c_.image()))
            violation("\"Programing: OK\" but " + *differs);
    }

    void violation(const std::string& what) {
        if (static_cast<std::size_t>(violations_) < kMostReported)
            std::fprintf(stderr, "tick %ld: violated: %s\n", now_, what.c_str());
        ++violations_;
    }

    std::mt19937 random_;
    UnitPeer peer_;
    LoopbackPort port_{peer_};
    CountingView view_;
    Configurator c_{port_, view_};

    long now_ = 0;
    long ticks_ = 0;
    double seconds_ = 0;
    std::array<long, static_cast<std::size_t>(Fault::Count)> faultEnds_{};
    std::array<long, static_cast<std::size_t>(Fault::Count)> faultsOn_{};
    std::array<long, static_cast<std::size_t>(Action::Count)> actions_{};

    bool running_ = false;
    std::uint8_t lastPage_ = kNoPage;
    bool editedDuringTransfer_ = false;
    TransferMode startMode_ = TransferMode::Idle;
    int transferTicks_ = 0;
    std::array<int, 4> longest_{};
    long started_ = 0;
    long restarted_ = 0;
    std::map<std::string, long> outcomes_;

    ParameterImage readSnapshot_;
    bool readSnapshotValid_ = false;
    bool unitDifferedAtRead_ = false;
    std::optional<ParameterImage> programmed_;
    bool okShown_ = false;

    long checkedTicks_ = 0;
    long okChecks_ = 0;
    long readChecks_ = 0;
    long readChecksAfterPage1_ = 0;
    long verifyChecks_ = 0;
    long violations_ = 0;
    Memory warmedUp_;
    Memory end_;
};

} // namespace

int main(int argc, char** argv) {
    long ticks = kDefaultTicks;
    unsigned seed = kDefaultSeed;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--ticks" && i + 1 < argc) {
            ticks = std::atol(argv[++i]);
        } else if (arg == "--seed" && i + 1 < argc) {
            seed = static_cast<unsigned>(std::strtoul(argv[++i], nullptr, 10));
        } else {
            std::fprintf(stderr, "usage: zentrola-soak [--ticks N] [--seed S]\n");
            return 2;
        }
    }
    Soak soak(seed);
    soak.run(ticks);
    return soak.report(seed);
}
