// Writes seeds for the replies target: sessions of the Configurator with the virtual unit,
// recorded tick by tick as the replies script reads them. Every byte the unit sent comes
// back on the tick it arrived, and every command on the tick it was given, so a replay takes
// the same course: a Program, a Read and a Verify that end in OK, and the same under faults.
//   fuzz_record_session FOLDER
#include "app/Configurator.h"
#include "link/LoopbackPort.h"
#include "sim/VirtualUnit.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using namespace zentrola;

namespace {

// The actions of the replies script that a recording uses.
namespace Op {
constexpr std::uint8_t Tick = 0;
constexpr std::uint8_t Bytes = 1; // a count, that many bytes, then a tick
constexpr std::uint8_t Read = 2;
constexpr std::uint8_t Verify = 3;
constexpr std::uint8_t Program = 4;
} // namespace Op

constexpr std::size_t kMostBytesOfOneAction = 255;

struct RecordingPeer : LoopbackPeer {
    VirtualUnit unit;
    std::vector<std::uint8_t> arrived; // taken by the PC in the current tick
    void receive(std::span<const std::uint8_t> bytes) override { unit.receive(bytes); }
    std::vector<std::uint8_t> takeOutput() override {
        auto out = unit.takeOutput();
        arrived.insert(arrived.end(), out.begin(), out.end());
        return out;
    }
    void tick() override { unit.tick(); }
};

struct Recorder {
    RecordingPeer peer;
    LoopbackPort port{peer};
    View view;
    Configurator c{port, view};
    std::vector<std::uint8_t> script;

    Recorder() { c.start({}); }

    void tick(int n = 1) {
        for (int i = 0; i < n; ++i) {
            peer.arrived.clear();
            c.tick();
            const auto& bytes = peer.arrived;
            if (bytes.empty()) {
                script.push_back(Op::Tick);
                continue;
            }
            // The bytes of one tick go in one action where they fit; the rest follow.
            for (std::size_t at = 0; at < bytes.size(); at += kMostBytesOfOneAction) {
                const std::size_t n = std::min(kMostBytesOfOneAction, bytes.size() - at);
                script.push_back(Op::Bytes);
                script.push_back(static_cast<std::uint8_t>(n));
                script.insert(script.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at),
                              bytes.begin() + static_cast<std::ptrdiff_t>(at + n));
            }
        }
    }
    void command(std::uint8_t op) {
        script.push_back(op);
        if (op == Op::Read)
            c.read();
        else if (op == Op::Verify)
            c.verify();
        else
            c.program();
    }
    void untilIdle() {
        for (int i = 0; i < 200 && !c.transfer().idle(); ++i)
            tick();
    }
    bool save(const std::filesystem::path& path) const {
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(script.data()),
                  static_cast<std::streamsize>(script.size()));
        return static_cast<bool>(out);
    }
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_record_session FOLDER\n");
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    std::filesystem::create_directories(dir);

    struct Session {
        const char* name;
        std::uint8_t command;
        void (*faults)(VirtualUnit::Options&);
    };
    const Session sessions[] = {
        {"session-program", Op::Program, [](VirtualUnit::Options&) {}},
        {"session-read", Op::Read, [](VirtualUnit::Options&) {}},
        {"session-verify", Op::Verify, [](VirtualUnit::Options&) {}},
        {"session-program-drops", Op::Program, [](VirtualUnit::Options& o) { o.dropEveryNth = 3; }},
        {"session-program-echo", Op::Program,
         [](VirtualUnit::Options& o) { o.corruptEcho = true; }},
        {"session-read-refused", Op::Read,
         [](VirtualUnit::Options& o) { o.noReadPermission = true; }},
        {"session-read-version", Op::Read, [](VirtualUnit::Options& o) { o.version = 91; }},
        {"session-verify-check", Op::Verify,
         [](VirtualUnit::Options& o) { o.corruptCheck = true; }},
    };
    for (const Session& s : sessions) {
        Recorder r;
        r.tick(20); // the monitor runs and the unit is found
        s.faults(r.peer.unit.options());
        r.command(s.command);
        r.untilIdle();
        r.tick(5);
        if (!r.save(dir / s.name)) {
            std::fprintf(stderr, "cannot write %s\n", (dir / s.name).string().c_str());
            return 1;
        }
    }
    return 0;
}
