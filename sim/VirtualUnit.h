// A virtual ignition unit: the PC program's peer on the wire. It keeps the settings in its
// EEPROM, answers page frames and monitor requests with the unit's frames, and runs a small
// engine model so that the monitor has something to show. Faults can be switched on for tests.
#pragma once

#include "link/Frame.h"
#include "link/LoopbackPort.h"
#include "link/Monitor.h"
#include "link/UnitInfo.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace zentrola {

class VirtualUnit : public LoopbackPeer {
  public:
    struct Options {
        int version = kVersion;
        bool noReadPermission = false;
        bool corruptEcho = false;  // echo programmed pages with one byte changed
        int corruptEchoPage = 0;   // the same for this page only (1 or 2); the page is stored
        int dropEveryNth = 0;      // drop every n-th reply frame; 0 drops none
        bool corruptCheck = false; // every reply with a wrong check byte
        bool silent = false;       // answer nothing
    };

    // What the unit made of a received frame.
    enum class RequestKind : std::uint8_t { Program, Read, Monitor };

    static constexpr std::uint16_t kSavingStart = 103;
    static constexpr std::uint16_t kIdleRpm = 1200;
    static constexpr std::uint16_t kCrankingRpm = 300;
    static constexpr int kCrankingTicks = 10;
    static constexpr int kCycleTicks = 300;               // idle, rev up, limiter, back down
    static constexpr int kPilotTestTicks = 36;            // about 2 s
    static constexpr int kRpmTestTicks = 55;              // about 3 s
    static constexpr std::size_t kCorruptedEchoByte = 10; // payload byte changed by corruptEcho

    using Eeprom = std::array<std::uint8_t, kRecordSize>;

    VirtualUnit();
    explicit VirtualUnit(const Options& options);

    // Bytes from the PC, in any pieces; replies are produced at once.
    void receive(std::span<const std::uint8_t> bytes) override;
    // Reply bytes produced since the last call.
    std::vector<std::uint8_t> takeOutput() override;
    // One PC tick (55 ms) of the unit's time.
    void tick() override;

    Options& options() { return options_; }
    const Options& options() const { return options_; }

    Eeprom& eeprom() { return eeprom_; }
    const Eeprom& eeprom() const { return eeprom_; }
    // Whitespace-separated numbers: the 100 settings bytes, then optionally the programming
    // count; lines starting with '#' are comments. On failure nothing changes.
    bool loadEeprom(const std::string& path);
    bool saveEeprom(const std::string& path) const;

    void setEngineRunning(bool running);
    bool engineRunning() const { return engineRunning_; }
    void setInputs(bool in1, bool in2);

    // What the unit would send now.
    Page informationPage() const;
    Frame monitorFrame() const;

    std::uint16_t rpm() const;
    int advance() const; // degrees, as reported
    Curve curveInUse() const;
    std::uint16_t savingCountdown() const { return saving_; }

    // Counters for tests.
    std::uint16_t programmings() const { return programmings_; }
    void setProgrammings(std::uint16_t n) { programmings_ = n; }
    std::size_t received(RequestKind kind) const;
    std::size_t receivedWithLead(std::uint8_t lead) const { return byLead_[lead]; }
    const std::optional<Frame>& lastRequest() const { return lastRequest_; }
    std::size_t bytesSkipped() const { return skipped_; }   // garbage dropped while resyncing
    std::size_t repliesDropped() const { return dropped_; } // by dropEveryNth
    std::size_t ignitionTests() const { return ignitionTests_; }

  private:
    void handle(const Frame& request);
    void reply(Frame frame);
    bool inputActive(int function) const;
    std::uint16_t curveRpm() const; // the engine model's speed, without the rpm test
    std::uint16_t peakRpm() const;
    int curveAdvance(std::uint16_t rpm) const;
    bool cranking() const;
    bool ignitionCut() const;

    Options options_;
    Eeprom eeprom_{};
    std::vector<std::uint8_t> pending_; // received, not yet a whole frame
    std::vector<std::uint8_t> output_;

    bool engineRunning_ = true;
    bool in1_ = false;
    bool in2_ = false;
    bool clutchInputBefore_ = false;
    int runTicks_ = 0; // since the engine last started
    int clutchTicks_ = 0;
    int clutchPauseTicks_ = 0;
    int pilotTestTicks_ = 0;
    int rpmTestTicks_ = 0;
    std::uint32_t ticks_ = 0;
    std::uint32_t noise_ = 1;
    std::uint16_t saving_ = 0;
    std::uint16_t programmings_ = 0;

    std::array<std::size_t, 256> byLead_{};
    std::optional<Frame> lastRequest_;
    std::size_t skipped_ = 0;
    std::size_t replies_ = 0;
    std::size_t dropped_ = 0;
    std::size_t ignitionTests_ = 0;
};

} // namespace zentrola
