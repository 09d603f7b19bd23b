// What the unit sends, in any order and shape, against the Configurator's poll and tick in
// every mode. The input is a script: each byte picks an action (a tick, raw bytes on the
// line, a frame with a good check byte, an honest answer from a virtual unit, one with a
// byte changed, a command, a language, the cable pulled or put back, the unit's settings or
// faults changed), and the bytes after it are its arguments.
//
// After every tick: the rules hold for the image; a transfer ends within its bound of ticks;
// "OK" is only ever shown or reported when every page of that transfer was answered as it
// must be since the command; a Read that fails leaves the image as it was.
#include "support/Guarantees.h"

#include "app/Configurator.h"
#include "sim/VirtualUnit.h"

#include <algorithm>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

using namespace zentrola;
using namespace zentrola::testing;

namespace {

constexpr std::size_t kInfoVersion = FrameByte::Payload + InfoByte::Version;
constexpr std::size_t kInfoReadPermission = FrameByte::Payload + InfoByte::ReadPermission;
constexpr int kMostTicksOfOneAction = 64;
constexpr std::uint8_t kActions = 14;

// The PC's serial port with the script on the other end.
struct ScriptedPort : SerialPort {
    std::deque<std::uint8_t> rx;
    std::vector<std::uint8_t> unanswered; // what the PC wrote since the unit last answered
    std::vector<Frame> taken;             // the frame of every block the PC read
    bool opened = false;
    bool unplugged = false;

    bool open(const std::string&, std::string& error) override {
        if (unplugged) {
            error = "unplugged";
            return false;
        }
        opened = true;
        rx.clear();
        return true;
    }
    void close() override {
        opened = false;
        rx.clear();
    }
    bool isOpen() const override { return opened; }
    std::size_t queued() override { return opened && !unplugged ? rx.size() : 0; }
    std::size_t read(std::span<std::uint8_t> buffer) override {
        const std::size_t n = std::min(buffer.size(), rx.size());
        std::copy_n(rx.begin(), n, buffer.begin());
        rx.erase(rx.begin(), rx.begin() + static_cast<std::ptrdiff_t>(n));
        // The PC looks at the first 52 bytes of a block only.
        if (n >= kFrameSize) {
            Frame f;
            std::copy_n(buffer.begin(), kFrameSize, f.begin());
            taken.push_back(f);
        }
        return n;
    }
    void write(std::span<const std::uint8_t> bytes) override {
        if (opened && !unplugged)
            unanswered.insert(unanswered.end(), bytes.begin(), bytes.end());
    }
    void waitTransmitted() override {}
    std::vector<std::string> devices() override { return {"scripted"}; }
};

struct Script {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t at = 0;
    bool more() const { return at < size; }
    std::uint8_t next() { return at < size ? data[at++] : 0; }
};

enum class Command : std::uint8_t { None, Read, Verify, Program };

using Step = std::function<bool(const Frame&)>;

ZENTROLA_NO_COVERAGE bool intact(const Frame& f) {
    std::uint8_t x = 0xFF;
    for (std::uint8_t b : f)
        x ^= b;
    return x == 0;
}

// Whether the status text is the word followed by ": OK".
ZENTROLA_NO_COVERAGE bool isOk(std::string_view text, std::string_view word) {
    constexpr std::string_view ok = ": OK";
    return text.size() == word.size() + ok.size() && text.starts_with(word) && text.ends_with(ok);
}

std::span<const std::uint8_t> payload(const Frame& f) {
    return std::span<const std::uint8_t>(f).subspan(FrameByte::Payload, kPageSize);
}

// Whether the frames taken hold the steps in their order.
ZENTROLA_NO_COVERAGE bool holds(const std::vector<Frame>& taken, const std::vector<Step>& steps) {
    std::size_t s = 0;
    for (const Frame& f : taken)
        if (s < steps.size() && intact(f) && steps[s](f))
            ++s;
    return s == steps.size();
}

// A program started with no settings files, its port and the unit as they were then: built
// once, so that every input does not repeat the start (default sets, language tables,
// strings) and its allocations. Each input starts from copies of them, member for member;
// every 64th input is run again on a program started afresh and must end the same.
struct Started {
    ScriptedPort port; // the port every copy of the program talks to
    View view;
    Configurator c{port, view};
    ScriptedPort portAtStart;
    VirtualUnit unitAtStart;

    Started() {
        c.start({});
        portAtStart = port;
    }
};

struct Session {
    ScriptedPort& port;
    VirtualUnit& unit;
    Configurator c;

    Command last = Command::None;
    ParameterImage beforeRead;
    TransferMode startMode = TransferMode::Idle;
    bool running = false;
    int ticksSinceCommand = 0;
    bool programOkBefore = false;
    bool verifyOkBefore = false;
    std::optional<ParameterImage> ruledImage; // the image the rules were last checked on

    Session(Started& started, VirtualUnit& reused)
        : port(started.port), unit(reused), c(started.c) {
        port = started.portAtStart;
        unit = started.unitAtStart;
    }

    Step lead(std::uint8_t l) const {
        return [l](const Frame& f) { return f[FrameByte::Lead] == l; };
    }
    Step echo(int page) const {
        return [this, page](const Frame& f) {
            const auto p = payload(f);
            return f[FrameByte::Lead] == (Lead::ReplyFlag | page) &&
                   std::equal(p.begin(), p.end(), c.image().page(page).begin());
        };
    }
    Step passes(int page) const {
        return [this, page](const Frame& f) {
            return f[FrameByte::Lead] == (Lead::ReplyFlag | Lead::ReadFlag | page) &&
                   verifyMayPass(payload(f), page, c.image());
        };
    }
    std::vector<Step> verifySteps() const { return {passes(1), passes(2)}; }
    std::vector<Step> programSteps() const {
        return {[](const Frame& f) {
                    return f[FrameByte::Lead] == Lead::ReplyFlag && f[kInfoVersion] == kVersion;
                },
                echo(1), echo(2), passes(1), passes(2)};
    }
    std::vector<Step> readSteps() const {
        return {[](const Frame& f) {
                    return f[FrameByte::Lead] == (Lead::ReplyFlag | Lead::ReadFlag) &&
                           f[kInfoVersion] == kVersion && f[kInfoReadPermission] == 1;
                },
                lead(Lead::ReplyFlag | Lead::ReadFlag | 1),
                lead(Lead::ReplyFlag | Lead::ReadFlag | 2), passes(1), passes(2)};
    }

    void command(Command what) {
        switch (what) {
        case Command::Read:
            beforeRead = c.image();
            c.read();
            break;
        case Command::Verify:
            c.verify();
            break;
        case Command::Program:
            c.program();
            break;
        case Command::None:
            return;
        }
        last = what;
        port.taken.clear();
        programOkBefore = verifyOkBefore = false;
        startMode = c.transfer().mode();
        running = !c.transfer().idle();
        ticksSinceCommand = 0;
    }

    void answer(bool changeOne, std::uint8_t where, std::uint8_t mask) {
        unit.receive(port.unanswered);
        port.unanswered.clear();
        std::vector<std::uint8_t> out = unit.takeOutput();
        if (changeOne && !out.empty())
            out[where % out.size()] ^= mask == 0 ? 1 : mask;
        port.rx.insert(port.rx.end(), out.begin(), out.end());
    }

    void tick() {
        const TransferMode before = c.transfer().mode();
        unit.tick();
        c.tick();
        const bool idle = c.transfer().idle();
        if (running) {
            ++ticksSinceCommand;
            require(idle || ticksSinceCommand < transferBound(startMode),
                    "a transfer ran past its bound of ticks");
            running = !idle;
        }
        // A Read that ended before its verify failed: the image is as it was.
        if (last == Command::Read && before == TransferMode::Read && idle)
            require(c.image() == beforeRead, "a failed Read changed the image");
        check();
    }

    ZENTROLA_NO_COVERAGE void check() {
        // The rules depend on the image alone, and most ticks leave it as it was.
        const ParameterImage& image = c.image();
        if (!ruledImage || image != *ruledImage) {
            require(brokenRule(image));
            ruledImage = image;
        }
        require(c.language() >= 0 && c.language() < kLanguageCount, "language out of range");
        const StatusLine& s = c.status();
        require(s.gauge >= 0 && s.gauge <= s.gaugeMax, "gauge out of range");

        // Checked when an OK appears: until the next command the frames taken only grow.
        const MessageTable& t = c.texts();
        const bool programOk =
            c.lastResult() == TransferResult::ProgramOk || isOk(s.text, t.TextProgramming);
        const bool verifyOk =
            c.lastResult() == TransferResult::VerifyOk || isOk(s.text, t.TextVerify);
        const bool appeared = (programOk && !programOkBefore) || (verifyOk && !verifyOkBefore);
        programOkBefore = programOk;
        verifyOkBefore = verifyOk;
        if (!appeared)
            return;
        if (programOk)
            require(last == Command::Program && holds(port.taken, programSteps()),
                    "programming reported OK without every page answered");
        if (verifyOk)
            require(last != Command::None &&
                        holds(port.taken, last == Command::Read      ? readSteps()
                                          : last == Command::Program ? programSteps()
                                                                     : verifySteps()),
                    "verify reported OK without every page answered");
    }

    void run(Script& in) {
        while (in.more()) {
            switch (in.next() % kActions) {
            case 0:
                tick();
                break;
            case 1: { // raw bytes on the line
                const std::size_t n = in.next();
                for (std::size_t i = 0; i < n && in.more(); ++i)
                    port.rx.push_back(in.next());
                tick();
                break;
            }
            case 2:
                command(Command::Read);
                break;
            case 3:
                command(Command::Verify);
                break;
            case 4:
                command(Command::Program);
                break;
            case 5: { // a frame whose check byte is right
                Frame f{};
                for (std::size_t i = 0; i < kFrameSize - 1; ++i)
                    f[i] = in.next();
                seal(f);
                port.rx.insert(port.rx.end(), f.begin(), f.end());
                tick();
                break;
            }
            case 6:
                answer(false, 0, 0);
                tick();
                break;
            case 7: {
                const int n = in.next() % kMostTicksOfOneAction;
                for (int i = 0; i < n; ++i)
                    tick();
                break;
            }
            case 8:
                c.setLanguage(in.next() % kLanguageCount);
                check();
                break;
            case 9: {
                const std::uint8_t where = in.next();
                answer(true, where, in.next());
                tick();
                break;
            }
            case 10:
                port.unplugged = !port.unplugged;
                tick();
                break;
            case 11:
                unit.options().noReadPermission = !unit.options().noReadPermission;
                break;
            case 12:
                unit.options().version = unit.options().version == kVersion ? in.next() : kVersion;
                break;
            case 13: { // the unit's settings hold anything
                const std::size_t at = in.next() % kRecordSize;
                unit.eeprom()[at] = in.next();
                break;
            }
            }
        }
        // Whatever was left running ends within its bound.
        for (int i = 0; i <= transferBound(TransferMode::Program) && !c.transfer().idle(); ++i)
            tick();
        require(c.transfer().idle(), "a transfer never ended");
    }
};

// What a script leaves behind, to compare a reused start with a fresh one.
struct Outcome {
    ParameterImage image;
    std::string status;
    TransferResult result;
    int language;
    VirtualUnit::Eeprom unit;
    std::vector<Frame> taken;
    bool operator==(const Outcome&) const = default;
};

ZENTROLA_NO_COVERAGE Outcome outcome(const Session& s) {
    return {s.c.image(),    s.c.status().text, s.c.lastResult(),
            s.c.language(), s.unit.eeprom(),   s.port.taken};
}

constexpr unsigned kFreshEvery = 64;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Started started;
    static VirtualUnit unit;
    static unsigned inputs = 0;
    Script in{data, size};
    Session session(started, unit);
    session.run(in);
    if (inputs++ % kFreshEvery == 0) {
        Started fresh;
        VirtualUnit freshUnit;
        Session again(fresh, freshUnit);
        Script same{data, size};
        again.run(same);
        require(outcome(again) == outcome(session),
                "a script ended otherwise on a program started afresh");
    }
    return 0;
}
