// A Configurator wired to the virtual unit in-process, with a view that records what the
// window would have shown, and helpers to run it tick by tick.
#pragma once

#include "app/Configurator.h"
#include "link/LoopbackPort.h"
#include "sim/VirtualUnit.h"

#include <functional>
#include <string>
#include <vector>

namespace zentrola::testing {

struct RecordingView : View {
    std::vector<std::string> messages;
    std::vector<std::string> details;
    std::vector<StatusLine> posted;
    int controlsShown = 0;
    Answer answer = Answer::Cancel;
    std::vector<std::string> questions;

    void showControls(const FormValues&) override { ++controlsShown; }
    void showMessage(const std::string& text, const std::string& detail) override {
        messages.push_back(text);
        details.push_back(detail);
    }
    Answer ask(const std::string& q) override {
        questions.push_back(q);
        return answer;
    }
    void statusPosted(const StatusLine& s) override { posted.push_back(s); }

    int frames = 0;
    std::function<void()> onMonitor; // what a front end does with each decoded frame
    void monitorUpdated() override {
        ++frames;
        if (onMonitor)
            onMonitor();
    }
};

// The unit as the loopback port's peer; remembers when each frame arrived.
struct UnitPeer : LoopbackPeer {
    VirtualUnit unit;
    const int* clock = nullptr;
    struct Sent {
        int tick;
        std::uint8_t lead;
    };
    std::vector<Sent> sent;

    void receive(std::span<const std::uint8_t> bytes) override {
        if (!bytes.empty())
            sent.push_back({clock ? *clock : 0, bytes[0]});
        unit.receive(bytes);
    }
    std::vector<std::uint8_t> takeOutput() override { return unit.takeOutput(); }
    void tick() override { unit.tick(); }

    std::vector<int> ticksOf(std::uint8_t lead) const {
        std::vector<int> t;
        for (const auto& s : sent)
            if (s.lead == lead)
                t.push_back(s.tick);
        return t;
    }
};

struct Bench {
    UnitPeer peer;
    LoopbackPort port{peer};
    RecordingView view;
    Configurator c{port, view};
    int now = 0;

    Bench() { peer.clock = &now; }
    VirtualUnit& unit() { return peer.unit; }

    void start(StartOptions options = {}) { c.start(options); }
    void tick(int n = 1) {
        for (int i = 0; i < n; ++i) {
            ++now;
            c.tick();
        }
    }
    // Ticks until the condition holds; false when it did not within the limit.
    bool runUntil(const std::function<bool()>& done, int limit = 2000) {
        for (int i = 0; i < limit; ++i) {
            if (done())
                return true;
            tick();
        }
        return done();
    }
    bool runTransfer(int limit = 400) {
        return runUntil([&] { return c.transfer().idle(); }, limit);
    }
};

} // namespace zentrola::testing
